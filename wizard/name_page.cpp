// frmTitle, the list name page: the name box whose text names the custom list, and Next
// into the custom run. Next can only be pressed while the box holds text.
#include "engine/custom_list.h"
#include "host/environment.h"
#include "wizard/wizard_context.h"
#include "wizard/page_frame.h"

namespace wizard {

using namespace frame;

FormDesign design_frmTitle() {
    FormDesign d = page(u"frmTitle", u"Quillamor - Name", far_left, far_top, u"txtSubject");
    auto& c = d.controls;
    add_header_band(d, 8895);
    add_separator(d, 0, separator_right, 0);
    c.push_back(band_label(u"lblName", u"Creating a Distribution List Subject.",
                           {120, 120, 3135, 255}, true));
    c.push_back(band_label(u"lblCreate", u"Type in a Distribution List Subject:",
                           {480, 360, 2895, 255}));
    c.push_back(label(u"lblTitle", u"Enter the distribution list's name:", {240, 1200, 2415, 255}));

    Control name;
    name.name = u"txtSubject";
    name.kind = Kind::TextBox;
    name.rect = {2760, 1200, 2895, 285};
    name.tab_index = 0;
    c.push_back(name);

    Control caption = label(u"Label2", u"Description:", {240, 2040, 5415, 255});
    caption.bold = true;
    c.push_back(caption);
    c.push_back(label(
        u"Label1",
        u"After clicking \"Next\" you will have to choose a folder in which the contacts that will "
        u"be worked with are stored. Double-click on the folder or click once and press \"OK\". "
        u"Then a category dialog will pop up. Select or type in the categories that exactly match "
        u"the contacts. If you need to add aditional contacts with other categories, click yes "
        u"when a dialog asking whether another category is needed pops up.",
        {240, 2520, 5415, 1215}));

    c.push_back(button(u"cmdHelp", u"&Help", help_x, 4));
    c.push_back(button(u"cmdBack", u"< &Back", back_x, 3));
    // Not the default button: Enter in the name box must not start the run.
    Control next = button(u"cmdOk", u"&Next>", next_x, 1);
    next.enabled = false;
    next.tooltip = u"Move the cursor over the text box.";
    c.push_back(next);
    c.push_back(button(u"cmdCancel", u"&Cancel", cancel_x, 2));
    return d;
}

FrmTitle::FrmTitle(ViewFactory& v, WizardContext& c) : Page(design_frmTitle(), v, c) {
    handle(u"cmdOk", Event::Click, [this] { cmdOk_Click(); });
    handle(u"cmdBack", Event::Click, [this] { cmdBack_Click(); });
    handle(u"cmdCancel", Event::Click, [this] { cmdCancel_Click(); });
    handle(u"cmdHelp", Event::Click, [this] { cmdHelp_Click(); });
    handle(u"txtSubject", Event::Change, [this] { txtSubject_Change(); });
}

void FrmTitle::cmdOk_Click() {
    context_.position.store(*this);
    hide();  // still loaded: the run reads the name from the box, and it comes back with it
    run_list(custom_run, [](WizardContext& c) { engine::MakeCustomList(c); }, false);
}

void FrmTitle::cmdBack_Click() {
    auto& choose = context_.forms.frmChoose;
    // Moves frmChoose to this page's spot without touching the remembered position.
    choose.set_left(left());
    choose.set_top(top());
    unload();
    choose.show();
}

void FrmTitle::cmdCancel_Click() { cancel_wizard(); }

void FrmTitle::cmdHelp_Click() {
    help(u"hh.exe ", u"::/Backing_up.htm");
}

void FrmTitle::txtSubject_Change() {
    // Any character counts, a lone space included: the name is not trimmed.
    set_enabled(u"cmdOk", !control(u"txtSubject").text.empty());
}

}  // namespace wizard
