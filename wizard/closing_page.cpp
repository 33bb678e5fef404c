// frmDone, the closing page: Yes leads back to the work type page for another list, No closes the
// wizard. It opens where the wizard last stood, unless the wizard has no remembered spot.
#include "wizard/wizard_context.h"
#include "wizard/page_frame.h"

namespace wizard {

using namespace frame;

FormDesign design_frmDone() {
    FormDesign d = page(u"frmDone", u"Quillamor - Done!", near_left, near_top, u"cmdHelp");
    auto& c = d.controls;
    add_header_band(d, 8775);
    // Line2 is a control array here: index 0 is the separator's thin line, index 1 runs
    // along the top edge of the client area.
    add_separator(d, 0, separator_right, 0, u"Line2(0)");
    c.push_back(line(u"Line2(1)", 0, 0, 5640, sys_app_workspace, 1));
    c.push_back(band_label(u"lblCreate", u"Repetition", {120, 240, 3855, 255}, true));
    c.push_back(band_label(u"Label1", u"Read the Following:", {360, 480, 2895, 255}));
    c.push_back(label(u"lblYesNo", u"Do you want to make another distribution list?",
                      {240, 1200, 5175, 255}));

    c.push_back(button(u"cmdHelp", u"&Help", help_x, 0));
    Control yes = button(u"cmdOk", u"&Yes", back_x, 2);
    yes.default_button = true;
    c.push_back(yes);
    c.push_back(button(u"cmdCancel", u"&No", next_x, 1));
    return d;
}

void FrmDone::Form_Load() {
    const auto& pos = context_.position;
    if (pos.left != 0 || pos.top != 0) {
        set_left(static_cast<float>(pos.left));
        set_top(static_cast<float>(pos.top));
    }
}

FrmDone::FrmDone(ViewFactory& v, WizardContext& c) : Page(design_frmDone(), v, c) {
    handle(u"cmdOk", Event::Click, [this] { cmdOk_Click(); });
    handle(u"cmdCancel", Event::Click, [this] { cmdCancel_Click(); });
    handle(u"cmdHelp", Event::Click, [this] { cmdHelp_Click(); });
}

void FrmDone::cmdOk_Click() {
    auto& forms = context_.forms;
    context_.position.store(*this);
    context_.position.place(forms.frmChoose);
    forms.frmChoose.show();
    unload();
    forms.frmStartUp.unload();
}

void FrmDone::cmdCancel_Click() { cancel_wizard(); }

void FrmDone::cmdHelp_Click() {
    help(u"hh.exe ", u"::/Other_Software.htm");
}

}  // namespace wizard
