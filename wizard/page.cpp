// What the four wizard pages share: the Cancel action, help and the web links.
#include "host/dispatch.h"
#include "engine/messages.h"
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

namespace {

// The help file beside the add-in, else where setups always installed it (written as the
// command lines always named it).
constexpr std::u16string_view help_file = u"Quillamor.chm";
constexpr std::u16string_view fixed_help_file = u"c:\\program files\\Orvane Corporation\\quillamor\\Quillamor.chm";

}  // namespace

void Page::help(std::u16string_view viewer, std::u16string_view topic) {
    try {
        // The viewer is Windows' own, wherever Windows was installed.
        std::u16string line = context_.env.windows_folder();
        if (!line.empty() && line.back() != u'\\') line += u'\\';
        context_.env.start_process(line + std::u16string(viewer) +
                                   host::shipped_file(context_.env, help_file, fixed_help_file) + std::u16string(topic));
    } catch (const host::Failure& f) {
        // Starting the viewer is the only effect, so the page is left exactly as it was.
        host::ReportFailure(context_.env, f);
    }
}

void Page::run_list(const Run& run, void (*engine_run)(WizardContext&), bool unloaded) {
    try {
        if (run) run(context_);
        else engine_run(context_);
    } catch (const host::Failure& f) {
        context_.forms.frmPBar.unload();
        host::ReportFailure(context_.env, f);
        if (unloaded) context_.position.place(*this);
        show();
    }
}

void Page::open_link(std::u16string_view label) {
    const std::u16string address = control(label).text;
    try {
        host::Object browser = context_.env.create_object(u"InternetExplorer.Application");
        try {
            browser.call(u"Navigate", address);
            browser.put(u"Visible", host::Variant::boolean(true));
            // Releasing our reference leaves the browser window open on its own.
            return;
        } catch (const host::Failure&) {
            // A browser that cannot show the page is not left running unseen.
            try {
                browser.call(u"Quit");
            } catch (const host::Failure&) {
            }
            throw;
        }
    } catch (const host::Failure&) {
        // Internet Explorer is gone from current Windows, switched off or blocked by policy:
        // the browser the system opens web addresses with shows the page instead.
    }
    try {
        context_.env.open_address(address);
    } catch (const host::Failure&) {
        host::MsgBox(context_.env, engine::text::link_not_opened(address), host::vbOKOnly | host::vbExclamation);
    }
}

}  // namespace wizard
