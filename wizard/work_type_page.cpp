// frmChoose, the work type page: custom list (on to the name page) or quick list (straight
// into the quick run), with a description that follows the focused option.
#include "engine/quick_list.h"
#include "host/environment.h"
#include "wizard/wizard_context.h"
#include "wizard/page_frame.h"

namespace wizard {

using namespace frame;

FormDesign design_frmChoose() {
    FormDesign d = page(u"frmChoose", u"Quillamor - Work Type", far_left, far_top, u"cmdHelp");
    auto& c = d.controls;
    add_header_band(d, 8895);
    add_separator(d, -120, separator_right, 0);
    c.push_back(band_label(u"lblCreate", u"Letting the User Choose the Type of Distribution List.",
                           {240, 120, 4815, 255}, true));
    c.push_back(band_label(u"Label1", u"Select one of the following:", {480, 360, 2895, 255}));
    c.push_back(label(u"lblChose", u"Select a work-type:", {240, 1200, 4095, 255}));

    Control dist;
    dist.name = u"optDist";
    dist.kind = Kind::Option;
    dist.text = u"Custom Distribution List";
    dist.rect = {240, 1560, 3855, 375};
    dist.selected = true;
    dist.tab_index = 4;
    c.push_back(dist);
    Control quick = dist;
    quick.name = u"optQuick";
    quick.text = u"Quick List";
    quick.rect = {240, 1920, 3855, 255};
    quick.selected = false;
    quick.tab_index = 5;
    c.push_back(quick);

    Control caption = label(u"Label2", u"Description:", {240, 2640, 3975, 255});
    caption.bold = true;
    c.push_back(caption);
    c.push_back(label(u"lblshrds",
                      u"This is an option that gives you the ability to create a distribution list "
                      u"out of contacts of the same category in a single folder of your choice.",
                      {240, 2880, 4935, 495}));
    Control quick_text = label(
        u"Label3",
        u"After clicking \"Next\" the default contacts folder will be used. A category dialog will "
        u"pop up. Select or type in the categories that exactly match the contacts. If you need to "
        u"add aditional contacts with other categories, click yes when a dialog asking whether "
        u"another category is needed pops up.",
        {240, 2880, 5175, 1095});
    quick_text.visible = false;  // shares its spot with lblshrds
    c.push_back(quick_text);

    c.push_back(button(u"cmdHelp", u"&Help", help_x, 0));
    c.push_back(button(u"cmdBack", u"< &Back", back_x, 3));
    Control next = button(u"cmdOk", u"&Next >", next_x, 2);
    next.default_button = true;
    c.push_back(next);
    c.push_back(button(u"cmdCancel", u"&Cancel", cancel_x, 1));
    return d;
}

FrmChoose::FrmChoose(ViewFactory& v, WizardContext& c) : Page(design_frmChoose(), v, c) {
    handle(u"cmdOk", Event::Click, [this] { cmdOk_Click(); });
    handle(u"cmdBack", Event::Click, [this] { cmdBack_Click(); });
    handle(u"cmdCancel", Event::Click, [this] { cmdCancel_Click(); });
    handle(u"cmdHelp", Event::Click, [this] { cmdHelp_Click(); });
    handle(u"optDist", Event::GotFocus, [this] { optDist_GotFocus(); });
    handle(u"optQuick", Event::GotFocus, [this] { optQuick_GotFocus(); });
}

void FrmChoose::cmdOk_Click() {
    auto& forms = context_.forms;
    if (control(u"optDist").selected) {
        context_.position.store(*this);
        context_.position.place(forms.frmTitle);
        forms.frmTitle.show();
        unload();
    } else if (control(u"optQuick").selected) {
        context_.position.store(*this);
        unload();
        run_list(quick_run, [](WizardContext& c) { engine::MakeQuickList(c); }, true);
    }
}

void FrmChoose::cmdBack_Click() {
    auto& forms = context_.forms;
    context_.position.store(*this);
    context_.position.place(forms.frmStartUp);
    unload();
    forms.frmStartUp.show();
}

void FrmChoose::cmdCancel_Click() { cancel_wizard(); }

void FrmChoose::cmdHelp_Click() {
    // The option is read now: the topic follows whatever the user selected last.
    if (control(u"optDist").selected)
        help(u"hh.exe  ", u"::/Working_with.htm");
    else if (control(u"optQuick").selected)
        help(u"hh.exe  ", u"::/Printing.htm");
}

void FrmChoose::optDist_GotFocus() {
    set_visible(u"Label3", false);
    set_visible(u"lblshrds", true);
}

void FrmChoose::optQuick_GotFocus() {
    set_visible(u"Label3", true);
    set_visible(u"lblshrds", false);
}

}  // namespace wizard
