// What the four wizard pages share: the Cancel action, help and the web links.
#include "host/dispatch.h"
#include "host/environment.h"
#include "wizard/wizard_context.h"

namespace wizard {

void Page::cancel_wizard() {
    context_.position.reset();
    unload();
    // frmTitle is not closed here: only its own Back and Cancel unload it.
    context_.forms.frmChoose.unload();
    context_.forms.frmDone.unload();
    context_.forms.frmStartUp.unload();
}

void Page::help(std::u16string_view command_line) {
    try {
        context_.env.start_process(command_line);
    } catch (const host::Failure& f) {
        // Starting the viewer is the only effect, so the page is left exactly as it was.
        host::ReportFailure(context_.env, f);
    }
}

void Page::open_link(std::u16string_view label) {
    try {
        host::Object browser = context_.env.create_object(u"InternetExplorer.Application");
        browser.call(u"Navigate", control(label).text);
        browser.put(u"Visible", host::Variant::boolean(true));
        // Releasing our reference leaves the browser window open on its own.
    } catch (const host::Failure& f) {
        host::ReportFailure(context_.env, f);
    }
}

}  // namespace wizard
