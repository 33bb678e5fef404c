// What the four wizard pages share: the Cancel action, help and the web links.
#include "addin/process_state.h"
#include "host/dispatch.h"
#include "host/environment.h"
#include "wizard/forms.h"

namespace wizard {

void Page::cancel_wizard() {
    state_.position.reset();
    unload();
    // frmTitle is not closed here: only its own Back and Cancel unload it.
    state_.forms.frmChoose.unload();
    state_.forms.frmDone.unload();
    state_.forms.frmStartUp.unload();
}

void Page::help(std::u16string_view command_line) {
    try {
        state_.env.start_process(command_line);
    } catch (const host::Failure& f) {
        // Starting the viewer is the only effect, so the page is left exactly as it was.
        host::ReportFailure(state_.env, f);
    }
}

void Page::open_link(std::u16string_view label) {
    try {
        host::Object browser = state_.env.create_object(u"InternetExplorer.Application");
        browser.call(u"Navigate", control(label).text);
        browser.put(u"Visible", host::Variant::boolean(true));
        // Releasing our reference leaves the browser window open on its own.
    } catch (const host::Failure& f) {
        host::ReportFailure(state_.env, f);
    }
}

}  // namespace wizard
