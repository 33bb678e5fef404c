// The designs of the five forms: every control with its kind, text, place and state, the
// page frame, tab order, default buttons and start positions.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "fakes.h"

namespace {

using namespace wizard;
using wizard_test::utf8;

// State flags of a control as one short text: "hidden", "disabled", "selected", "default",
// "bold" in that order, space separated.
std::string flags(const Control& c) {
    std::string s;
    auto add = [&](bool on, const char* f) {
        if (!on) return;
        if (!s.empty()) s += ' ';
        s += f;
    };
    add(!c.visible, "hidden");
    add(!c.enabled, "disabled");
    add(c.selected, "selected");
    add(c.default_button, "default");
    add(c.bold, "bold");
    return s;
}

struct Row {
    const char16_t* name;
    Kind kind;
    const char16_t* text;
    Rect rect;
    const char* flags;
    int tab;  // -1: not a tab stop
};

void expect_controls(const FormDesign& d, const std::vector<Row>& rows) {
    std::set<std::u16string> expected;
    for (const Row& r : rows) {
        expected.insert(r.name);
        SCOPED_TRACE(utf8(d.name) + "." + utf8(r.name));
        const Control* c = nullptr;
        for (auto& x : d.controls)
            if (x.name == r.name) c = &x;
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->kind, r.kind);
        EXPECT_EQ(utf8(c->text), utf8(r.text));
        EXPECT_EQ(c->rect, r.rect);
        EXPECT_EQ(flags(*c), r.flags);
        EXPECT_EQ(c->tab_index, r.tab);
    }
    std::set<std::u16string> actual;
    for (auto& c : d.controls) EXPECT_TRUE(actual.insert(c.name).second) << utf8(c.name) << " twice";
    EXPECT_EQ(actual, expected);
}

const Control& find(const FormDesign& d, std::u16string_view name) {
    for (auto& c : d.controls)
        if (c.name == name) return c;
    throw std::runtime_error("no control " + utf8(name));
}

constexpr Rect help_rect{120, 5760, 1095, 375}, back_rect{4920, 5760, 1095, 375},
    next_rect{6000, 5760, 1095, 375}, cancel_rect{7320, 5760, 1095, 375};

TEST(WizardDesign, StartUpPage) {
    expect_controls(design_frmStartUp(), {
        {u"Shape1", Kind::Shape, u"", {-120, -240, 2655, 5775}, "", -1},
        {u"Image1", Kind::Image, u"", {840, 2280, 720, 720}, "", -1},
        {u"Shape2", Kind::Shape, u"", {2520, 0, 6015, 5535}, "", -1},
        {u"Line1", Kind::Line, u"", {-120, 5520, 8640, 0}, "", -1},
        {u"Line2", Kind::Line, u"", {2520, 5520, 6120, 0}, "", -1},
        {u"lblTitle", Kind::Label, u"Welcome", {2880, 240, 1575, 375}, "bold", -1},
        {u"lblblah", Kind::Label,
         u"This wizard will help file contacts into distribution lists in a few easy steps. You "
         u"can choose the category that will be compiled into the distribution list and the "
         u"distribution list's name. ",
         {2880, 960, 3735, 855}, "", -1},
        {u"lblWelcome", Kind::Label,
         u"Please check that the contacts that will be worked on have categories, subjects, and "
         u"email adresses.",
         {2880, 3480, 3825, 615}, "", -1},
        {u"lblSupport", Kind::Label, u"Support:", {2880, 4800, 735, 255}, "", -1},
        {u"lblAdres1", Kind::Link, u"http://www.example.com/support/form.htm", {4320, 4800, 3855, 255}, "", -1},
        {u"lblSite", Kind::Label, u"Web Site:", {2880, 5160, 735, 255}, "", -1},
        {u"lblAdres2", Kind::Link, u"http://www.example.com/quillamor/", {4320, 5160, 3855, 255}, "", -1},
        {u"cmdHelp", Kind::Button, u"&Help", help_rect, "", 2},
        {u"cmdBack", Kind::Button, u"< &Back", back_rect, "disabled", 3},
        {u"cmdStart", Kind::Button, u"&Next >", next_rect, "default", 0},
        {u"cmdStop", Kind::Button, u"C&ancel", cancel_rect, "", 1},
    });
}

TEST(WizardDesign, ChoosePage) {
    expect_controls(design_frmChoose(), {
        {u"Shape1", Kind::Shape, u"", {-120, -120, 8895, 975}, "", -1},
        {u"Line1", Kind::Line, u"", {0, 5520, 8520, 0}, "", -1},
        {u"Line2", Kind::Line, u"", {-120, 5520, 8640, 0}, "", -1},
        {u"lblCreate", Kind::Label, u"Letting the User Choose the Type of Distribution List.", {240, 120, 4815, 255}, "bold", -1},
        {u"Label1", Kind::Label, u"Select one of the following:", {480, 360, 2895, 255}, "", -1},
        {u"lblChose", Kind::Label, u"Select a work-type:", {240, 1200, 4095, 255}, "", -1},
        {u"optDist", Kind::Option, u"Custom Distribution List", {240, 1560, 3855, 375}, "selected", 4},
        {u"optQuick", Kind::Option, u"Quick List", {240, 1920, 3855, 255}, "", 5},
        {u"Label2", Kind::Label, u"Description:", {240, 2640, 3975, 255}, "bold", -1},
        {u"lblshrds", Kind::Label,
         u"This is an option that gives you the ability to create a distribution list out of "
         u"contacts of the same category in a single folder of your choice.",
         {240, 2880, 4935, 495}, "", -1},
        {u"Label3", Kind::Label,
         u"After clicking \"Next\" the default contacts folder will be used. A category dialog "
         u"will pop up. Select or type in the categories that exactly match the contacts. If you "
         u"need to add aditional contacts with other categories, click yes when a dialog asking "
         u"whether another category is needed pops up.",
         {240, 2880, 5175, 1095}, "hidden", -1},
        {u"cmdHelp", Kind::Button, u"&Help", help_rect, "", 0},
        {u"cmdBack", Kind::Button, u"< &Back", back_rect, "", 3},
        {u"cmdOk", Kind::Button, u"&Next >", next_rect, "default", 2},
        {u"cmdCancel", Kind::Button, u"&Cancel", cancel_rect, "", 1},
    });
}

TEST(WizardDesign, TitlePage) {
    FormDesign d = design_frmTitle();
    expect_controls(d, {
        {u"Shape1", Kind::Shape, u"", {-120, -120, 8895, 975}, "", -1},
        {u"Line1", Kind::Line, u"", {0, 5520, 8520, 0}, "", -1},
        {u"Line2", Kind::Line, u"", {0, 5520, 8520, 0}, "", -1},
        {u"lblName", Kind::Label, u"Creating a Distribution List Subject.", {120, 120, 3135, 255}, "bold", -1},
        {u"lblCreate", Kind::Label, u"Type in a Distribution List Subject:", {480, 360, 2895, 255}, "", -1},
        {u"lblTitle", Kind::Label, u"Enter the distribution list's name:", {240, 1200, 2415, 255}, "", -1},
        {u"txtSubject", Kind::TextBox, u"", {2760, 1200, 2895, 285}, "", 0},
        {u"Label2", Kind::Label, u"Description:", {240, 2040, 5415, 255}, "bold", -1},
        {u"Label1", Kind::Label,
         u"After clicking \"Next\" you will have to choose a folder in which the contacts that "
         u"will be worked with are stored. Double-click on the folder or click once and press "
         u"\"OK\". Then a category dialog will pop up. Select or type in the categories that "
         u"exactly match the contacts. If you need to add aditional contacts with other "
         u"categories, click yes when a dialog asking whether another category is needed pops up.",
         {240, 2520, 5415, 1215}, "", -1},
        {u"cmdHelp", Kind::Button, u"&Help", help_rect, "", 4},
        {u"cmdBack", Kind::Button, u"< &Back", back_rect, "", 3},
        {u"cmdOk", Kind::Button, u"&Next>", next_rect, "disabled", 1},
        {u"cmdCancel", Kind::Button, u"&Cancel", cancel_rect, "", 2},
    });
    EXPECT_EQ(utf8(find(d, u"cmdOk").tooltip), "Move the cursor over the text box.");
}

TEST(WizardDesign, DonePage) {
    expect_controls(design_frmDone(), {
        {u"Shape1", Kind::Shape, u"", {-120, -120, 8775, 975}, "", -1},
        {u"Line1", Kind::Line, u"", {0, 5520, 8520, 0}, "", -1},
        {u"Line2(0)", Kind::Line, u"", {0, 5520, 8520, 0}, "", -1},
        {u"Line2(1)", Kind::Line, u"", {0, 0, 5640, 0}, "", -1},
        {u"lblCreate", Kind::Label, u"Repetition", {120, 240, 3855, 255}, "bold", -1},
        {u"Label1", Kind::Label, u"Read the Following:", {360, 480, 2895, 255}, "", -1},
        {u"lblYesNo", Kind::Label, u"Do you want to make another distribution list?", {240, 1200, 5175, 255}, "", -1},
        {u"cmdHelp", Kind::Button, u"&Help", help_rect, "", 0},
        {u"cmdOk", Kind::Button, u"&Yes", back_rect, "default", 2},
        {u"cmdCancel", Kind::Button, u"&No", next_rect, "", 1},
    });
}

TEST(WizardDesign, ProgressWindow) {
    FormDesign d = design_frmPBar();
    expect_controls(d, {
        {u"Label1", Kind::Label, u"Creating distribution list....", {120, 240, 3735, 255}, "", -1},
        {u"ProgressBar1", Kind::ProgressBar, u"", {120, 600, 3735, 255}, "", -1},
    });
    EXPECT_EQ(utf8(d.caption), "Creating in progress");
    EXPECT_EQ(d.client_width, 4020);
    EXPECT_EQ(d.client_height, 1065);
    EXPECT_TRUE(d.centred);
    EXPECT_EQ(utf8(d.icon), "progress.ico");
    const Control& bar = find(d, u"ProgressBar1");
    EXPECT_EQ(bar.min, 0.0f);
    EXPECT_EQ(bar.max, 100.0f);
    EXPECT_EQ(bar.value, 0.0f);

    // It opens in the middle of the screen: the stated 1024 x 768 one by default.
    wizard_test::World w;
    w.forms.frmPBar.show();
    EXPECT_EQ(w.where(w.forms.frmPBar), "5670,5227.5");
}

TEST(WizardDesign, ProgressWindowIsCentredOnTheScreenItOpensOn) {
    // A screen of the views' own: its size, and its place beside other screens.
    struct Screen : wizard::HeadlessViews {
        wizard::ScreenArea area;
        wizard::ScreenArea screen() override { return area; }
    };
    struct Case {
        wizard::ScreenArea area;
        float left, top;
    } cases[] = {
        {{0, 0, 1920 * 15, 1080 * 15}, 12390, 7567.5f},
        {{0, 0, 2560 * 10, 1440 * 10}, 10790, 6667.5f},  // 144 dpi
        {{-1280 * 15, -200 * 15, 1280 * 15, 1024 * 15}, -11610, 4147.5f},  // left of the primary screen
    };
    for (const Case& c : cases) {
        Screen views;
        views.area = c.area;
        wizard::Form form(design_frmPBar(), views);
        EXPECT_EQ(form.left(), c.left);
        EXPECT_EQ(form.top(), c.top);
    }
}

TEST(WizardDesign, PageFrame) {
    struct Page {
        FormDesign d;
        const char* caption;
        int32_t left, top;
        const char* focus;
    };
    Page pages[] = {
        {design_frmStartUp(), "Quillamor - Start Up", 975, 1365, "cmdStart"},
        {design_frmChoose(), "Quillamor - Work Type", 5865, 4530, "cmdHelp"},
        {design_frmTitle(), "Quillamor - Name", 5865, 4530, "txtSubject"},
        {design_frmDone(), "Quillamor - Done!", 975, 1365, "cmdHelp"},
    };
    for (auto& p : pages) {
        SCOPED_TRACE(utf8(p.d.name));
        EXPECT_EQ(utf8(p.d.caption), p.caption);
        EXPECT_EQ(p.d.client_width, 8550);
        EXPECT_EQ(p.d.client_height, 6255);
        EXPECT_EQ(p.d.start_left, p.left);
        EXPECT_EQ(p.d.start_top, p.top);
        EXPECT_FALSE(p.d.centred);
        EXPECT_EQ(utf8(p.d.icon), "wizard.ico");
        EXPECT_EQ(utf8(p.d.initial_focus), p.focus);

        int defaults = 0;
        for (const Control& c : p.d.controls) {
            SCOPED_TRACE(utf8(c.name));
            EXPECT_EQ(c.font_size, c.name == u"lblTitle" && p.d.name == u"frmStartUp" ? 13.5f : 8.25f);
            defaults += c.default_button;
            if (c.kind == Kind::Line) {
                bool thin = c.name.starts_with(u"Line2");
                EXPECT_EQ(c.line_width, thin ? 1 : 2);
                EXPECT_EQ(c.fill, thin ? sys_app_workspace : sys_caption_text);
            }
            if (c.kind == Kind::Label && c.rect.top < 855) {  // on the band or the white panel
                EXPECT_EQ(c.fill, sys_window);
            }
        }
        EXPECT_EQ(defaults, p.d.name == u"frmTitle" ? 0 : 1);
        if (p.d.name != u"frmStartUp") {
            const Control& band = find(p.d, u"Shape1");
            EXPECT_EQ(band.fill, sys_window);
        }
    }
}

TEST(WizardDesign, WelcomePanelsAndLinks) {
    FormDesign d = design_frmStartUp();
    EXPECT_EQ(find(d, u"Shape1").fill, sys_highlight);
    EXPECT_EQ(find(d, u"Shape1").border, sys_caption_text);
    EXPECT_EQ(find(d, u"Shape2").fill, sys_window);
    EXPECT_EQ(find(d, u"Shape2").border, sys_caption_text);
    EXPECT_EQ(utf8(find(d, u"Image1").picture), "startup.gif");
    for (const Control& c : d.controls) {
        if (c.kind == Kind::Label || c.kind == Kind::Link) {
            EXPECT_EQ(c.fill, sys_window) << utf8(c.name);
        }
    }
    for (auto name : {u"lblAdres1", u"lblAdres2"}) {
        const Control& link = find(d, name);
        EXPECT_EQ(link.fore, 0x00FF0000u);  // red 0, green 0, blue 255
        EXPECT_TRUE(link.underline);
    }
}

// A loaded form starts from its design whatever it held before it was unloaded.
TEST(WizardDesign, ReloadBringsBackTheDesign) {
    wizard_test::World w;
    auto& choose = w.forms.frmChoose;
    choose.press(u"optQuick");
    choose.move_to(10, 20);
    choose.unload();
    EXPECT_TRUE(choose.control(u"optDist").selected);
    EXPECT_FALSE(choose.control(u"optQuick").selected);
    EXPECT_TRUE(choose.control(u"lblshrds").visible);
    EXPECT_FALSE(choose.control(u"Label3").visible);
    EXPECT_EQ(w.where(choose), "5865,4530");
    EXPECT_EQ(utf8(choose.focus()), "cmdHelp");
}

}  // namespace

// A handler bound to a control the design does not have would drop the user's click unseen:
// binding it fails as the form is made. (Every page binds its handlers when it is made, so a
// misspelt name in any of them fails every test that makes the pages.)
TEST(WizardDesign, AHandlerOfAControlTheDesignLacksIsRefused) {
    struct Probe : Form {
        explicit Probe(ViewFactory& v) : Form(design_frmDone(), v) {}
        using Form::handle;
    };
    HeadlessViews views;
    Probe form(views);
    int clicks = 0;
    form.handle(u"cmdOk", Form::Event::Click, [&] { ++clicks; });
    EXPECT_THROW(form.handle(u"cmdOkay", Form::Event::Click, [] {}), std::logic_error);
    form.show();
    form.press(u"cmdOk");
    form.press(u"cmdCancel");  // no handler: nothing happens
    EXPECT_EQ(clicks, 1);
}
