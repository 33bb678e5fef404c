// frmStartUp, the welcome page: a coloured side panel instead of a header band, the two web
// links, and Next into the work type page.
#include "wizard/wizard_context.h"
#include "wizard/page_frame.h"

namespace wizard {

using namespace frame;

FormDesign design_frmStartUp() {
    FormDesign d = page(u"frmStartUp", u"Quillamor - Start Up", near_left, near_top, u"cmdStart");
    auto& c = d.controls;
    c.push_back(shape(u"Shape1", {-120, -240, 2655, 5775}, sys_highlight, sys_caption_text));
    Control image;
    image.name = u"Image1";
    image.kind = Kind::Image;
    image.rect = {840, 2280, 720, 720};
    image.picture = u"startup.gif";
    c.push_back(image);
    c.push_back(shape(u"Shape2", {2520, 0, 6015, 5535}, sys_window, sys_caption_text));
    add_separator(d, 2520, 8640, -120);

    Control title = band_label(u"lblTitle", u"Welcome", {2880, 240, 1575, 375}, true);
    title.font_size = 13.5f;
    c.push_back(title);
    c.push_back(band_label(u"lblblah",
                           u"This wizard will help file contacts into distribution lists in a few "
                           u"easy steps. You can choose the category that will be compiled into the "
                           u"distribution list and the distribution list's name. ",
                           {2880, 960, 3735, 855}));
    c.push_back(band_label(u"lblWelcome",
                           u"Please check that the contacts that will be worked on have categories, "
                           u"subjects, and email adresses.",
                           {2880, 3480, 3825, 615}));
    c.push_back(band_label(u"lblSupport", u"Support:", {2880, 4800, 735, 255}));
    Control link1 = band_label(u"lblAdres1", std::u16string(support_address), {4320, 4800, 3855, 255});
    link1.kind = Kind::Link;
    link1.fore = pure_blue;
    link1.underline = true;
    c.push_back(link1);
    c.push_back(band_label(u"lblSite", u"Web Site:", {2880, 5160, 735, 255}));
    Control link2 = link1;
    link2.name = u"lblAdres2";
    link2.text = std::u16string(site_address);
    link2.rect = {4320, 5160, 3855, 255};
    c.push_back(link2);

    c.push_back(button(u"cmdHelp", u"&Help", help_x, 2));
    Control back = button(u"cmdBack", u"< &Back", back_x, 3);
    back.enabled = false;  // the first page has nothing to go back to
    c.push_back(back);
    Control next = button(u"cmdStart", u"&Next >", next_x, 0);
    next.default_button = true;
    c.push_back(next);
    c.push_back(button(u"cmdStop", u"C&ancel", cancel_x, 1));
    return d;
}

FrmStartUp::FrmStartUp(ViewFactory& v, WizardContext& c) : Page(design_frmStartUp(), v, c) {
    handle(u"cmdStart", Event::Click, [this] { cmdStart_Click(); });
    handle(u"cmdStop", Event::Click, [this] { cmdStop_Click(); });
    handle(u"cmdHelp", Event::Click, [this] { cmdHelp_Click(); });
    handle(u"lblAdres1", Event::Click, [this] { lblAdres1_Click(); });
    handle(u"lblAdres2", Event::Click, [this] { lblAdres2_Click(); });
}

void FrmStartUp::cmdStart_Click() {
    auto& forms = context_.forms;
    context_.position.store(*this);
    hide();
    context_.position.place(forms.frmChoose);
    forms.frmChoose.show();
    unload();
}

void FrmStartUp::cmdStop_Click() { cancel_wizard(); }

void FrmStartUp::cmdHelp_Click() {
    help(u"hh.exe ", u"::/Contacting.htm");
}

void FrmStartUp::lblAdres1_Click() { open_link(u"lblAdres1"); }

void FrmStartUp::lblAdres2_Click() { open_link(u"lblAdres2"); }

}  // namespace wizard
