// The forms as the windows of a run: what the quick and custom runs show, fill and read.
#include "host/skip.h"
#include "wizard/wizard_context.h"

namespace wizard {

using host::skip;

void WizardContext::back_to_work_type() {
    position.place(forms.frmChoose);
    forms.frmChoose.show();
}

void WizardContext::back_to_name_page_at_position() {
    auto& page = forms.frmTitle;
    skip([&] { page.set_top(static_cast<float>(position.top)); });
    skip([&] { page.set_left(static_cast<float>(position.left)); });
    skip([&] { page.show(); });
}

void WizardContext::back_to_name_page() { forms.frmTitle.show(); }

void WizardContext::show_progress() { forms.frmPBar.show(); }
void WizardContext::set_progress_max(float max) { forms.frmPBar.SetMax(max); }
void WizardContext::refresh_progress() { forms.frmPBar.refresh(); }
float WizardContext::progress_max() { return forms.frmPBar.Max(); }
void WizardContext::set_progress_value(float value) { forms.frmPBar.SetValue(value); }
void WizardContext::unload_progress() { forms.frmPBar.unload(); }

std::u16string WizardContext::list_name() { return forms.frmTitle.subject(); }
void WizardContext::clear_list_name() { forms.frmTitle.set_subject(u""); }

void WizardContext::show_done() { forms.frmDone.show(); }

}  // namespace wizard
