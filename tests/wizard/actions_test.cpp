// What the pages do besides moving between each other: help, the web links, the name rule,
// the work type descriptions, the keyboard, and failures of help, links and runs.
#include <gtest/gtest.h>

#include <stdexcept>

#include "fakes.h"

namespace {

using wizard_test::Log;
using wizard_test::utf8;
using wizard_test::World;

constexpr char fixed_help_file[] = "c:\\program files\\Orvane Corporation\\quillamor\\Quillamor.chm";
// Byte for byte, two spaces after hh.exe on the work type page. Every topic is named from the
// root of the help file ("::/Topic.htm"), the form the help viewer documents.
const std::string start_topic =
    "process c:\\windows\\hh.exe c:\\program files\\Orvane Corporation\\quillamor\\Quillamor.chm::/Contacting.htm";
const std::string custom_topic =
    "process c:\\windows\\hh.exe  c:\\program files\\Orvane Corporation\\quillamor\\Quillamor.chm::/Working_with.htm";
const std::string quick_topic =
    "process c:\\windows\\hh.exe  c:\\program files\\Orvane Corporation\\quillamor\\Quillamor.chm::/Printing.htm";
const std::string title_topic =
    "process c:\\windows\\hh.exe c:\\program files\\Orvane Corporation\\quillamor\\Quillamor.chm::/Backing_up.htm";
const std::string done_topic =
    "process c:\\windows\\hh.exe c:\\program files\\Orvane Corporation\\quillamor\\Quillamor.chm::/Other_Software.htm";

TEST(WizardHelp, CommandLines) {
    struct Case {
        const char* name;
        std::function<wizard::Form&(World&)> open;
        std::string line;
    } cases[] = {
        {"start", [](World& w) -> wizard::Form& { return w.forms.frmStartUp; }, start_topic},
        {"choose, custom", [](World& w) -> wizard::Form& { return w.forms.frmChoose; }, custom_topic},
        {"choose, quick clicked",
         [](World& w) -> wizard::Form& {
             w.forms.frmChoose.press(u"optQuick");
             return w.forms.frmChoose;
         },
         quick_topic},
        {"choose, quick then custom clicked",
         [](World& w) -> wizard::Form& {
             w.forms.frmChoose.press(u"optQuick");
             w.forms.frmChoose.press(u"optDist");
             return w.forms.frmChoose;
         },
         custom_topic},
        {"title", [](World& w) -> wizard::Form& { return w.forms.frmTitle; }, title_topic},
        {"done", [](World& w) -> wizard::Form& { return w.forms.frmDone; }, done_topic},
    };
    // The help file beside the add-in wins; without one there, the fixed path as always. The
    // viewer is in the Windows folder, which is named without a backslash except at a root.
    const std::pair<std::string, std::string> windows_folders[] = {
        {"c:\\windows", "c:\\windows\\"}, {"D:\\WINNT", "D:\\WINNT\\"}, {"E:", "E:\\"}, {"E:\\", "E:\\"}};
    for (const std::string folder : {"", "D:\\Apps\\Contact Lists\\"}) {
        for (const auto& [windows, viewer_folder] : windows_folders) {
            for (auto& c : cases) {
                SCOPED_TRACE(std::string(c.name) + " " + folder + " " + windows);
                World w;
                w.env.install_folder = folder;
                w.env.windows = windows;
                std::string line = c.line;
                line.replace(line.find("c:\\windows\\"), 11, viewer_folder);
                if (!folder.empty())
                    line.replace(line.find(fixed_help_file), sizeof fixed_help_file - 1, folder + "Quillamor.chm");
                wizard::Form& page = c.open(w);
                page.show();
                std::string before = w.pages() + " " + w.where(page);
                w.clear();
                page.press(u"cmdHelp");
                EXPECT_EQ(w.log, (Log{line}));
                EXPECT_EQ(w.pages() + " " + w.where(page), before);
                // Alt+H presses the same button.
                w.clear();
                EXPECT_TRUE(page.key(u"Alt+H"));
                EXPECT_EQ(w.log, (Log{line}));
            }
        }
    }
}

TEST(WizardHelp, ViewerThatCannotStartIsReportedAndThePageStays) {
    World w;
    auto& title = w.forms.frmTitle;
    title.show();
    title.type(u"txtSubject", u"Friends");
    w.env.fail_process = true;
    w.clear();
    title.press(u"cmdHelp");
    EXPECT_EQ(w.log, (Log{"failure 53", "msgbox Quillamor 0 Error 53: File not found"}));
    EXPECT_EQ(w.pages(), "frmTitle*");
    EXPECT_EQ(utf8(title.subject()), "Friends");
}

TEST(WizardLinks, OpenTheShownAddressInANewBrowser) {
    struct Case {
        const char16_t* label;
        const char* url;
    } cases[] = {{u"lblAdres1", "http://www.example.com/support/form.htm"},
                 {u"lblAdres2", "http://www.example.com/quillamor/"}};
    for (auto& c : cases) {
        SCOPED_TRACE(c.url);
        World w;
        w.forms.frmStartUp.show();
        w.clear();
        w.forms.frmStartUp.press(c.label);
        EXPECT_EQ(w.log, (Log{"create InternetExplorer.Application", std::string("browser Navigate ") + c.url,
                              "browser Visible True", "browser released"}));
        EXPECT_EQ(w.pages(), "frmStartUp*");
        EXPECT_EQ(utf8(w.forms.frmStartUp.focus()), "cmdStart");  // a link takes no focus
    }
}

TEST(WizardLinks, WithoutABrowserObjectTheSystemOpensTheAddress) {
    const std::string url = "http://www.example.com/quillamor/";
    struct Case {
        const char* what;
        bool fail_create, fail_navigate, fail_shell;
        Log log;
    } cases[] = {
        {"no browser object", true, false, false, {"create InternetExplorer.Application", "shell " + url}},
        {"a browser that cannot navigate is quit",
         false,
         true,
         false,
         {"create InternetExplorer.Application", "browser Quit", "browser released", "shell " + url}},
        {"nothing opens it: the user is given the address",
         true,
         false,
         true,
         {"create InternetExplorer.Application",
          "msgbox Quillamor 48 Quillamor could not open your web browser. To see the page, type this address in "
          "your browser: " +
              url}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        World w;
        w.forms.frmStartUp.show();
        w.env.fail_create = c.fail_create;
        w.env.fail_navigate = c.fail_navigate;
        w.env.fail_shell = c.fail_shell;
        w.clear();
        w.forms.frmStartUp.press(u"lblAdres2");
        EXPECT_EQ(w.log, c.log);
        EXPECT_EQ(w.pages(), "frmStartUp*");
    }
}

TEST(WizardNameRule, NextFollowsTheText) {
    World w;
    auto& title = w.forms.frmTitle;
    title.show();
    struct Step {
        const char16_t* text;
        bool enabled;
    } steps[] = {{u" ", true}, {u"", false}, {u"a", true}, {u"Team A", true}, {u"", false}, {u"\t", true}};
    EXPECT_FALSE(title.control(u"cmdOk").enabled);
    for (auto& s : steps) {
        SCOPED_TRACE(utf8(s.text));
        title.type(u"txtSubject", s.text);
        EXPECT_EQ(title.control(u"cmdOk").enabled, s.enabled);
    }
    // The run's own setting of the text is a change too.
    title.set_subject(u"x");
    EXPECT_TRUE(title.control(u"cmdOk").enabled);
    title.set_subject(u"");
    EXPECT_FALSE(title.control(u"cmdOk").enabled);
    // A disabled Next does nothing.
    bool ran = false;
    title.custom_run = [&](wizard::WizardContext&) { ran = true; };
    title.press(u"cmdOk");
    EXPECT_FALSE(title.key(u"Alt+N"));
    EXPECT_FALSE(ran);
    EXPECT_EQ(w.pages(), "frmTitle*");
}

TEST(WizardNameRule, HiddenPageKeepsTheNameUnloadedOneForgetsIt) {
    World w;
    auto& title = w.forms.frmTitle;
    title.type(u"txtSubject", u"Golf");
    title.hide();
    EXPECT_EQ(utf8(title.subject()), "Golf");
    EXPECT_TRUE(title.control(u"cmdOk").enabled);
    title.unload();
    EXPECT_EQ(utf8(title.subject()), "");
    EXPECT_FALSE(title.control(u"cmdOk").enabled);
}

TEST(WizardDescription, FollowsTheFocusedOption) {
    World w;
    auto& choose = w.forms.frmChoose;
    choose.show();
    auto shown = [&] {
        std::string s;
        if (choose.control(u"lblshrds").visible) s += "custom";
        if (choose.control(u"Label3").visible) s += "quick";
        return s;
    };
    EXPECT_EQ(shown(), "custom");
    choose.give_focus(u"optQuick");
    EXPECT_EQ(shown(), "quick");
    EXPECT_TRUE(choose.control(u"optDist").selected);  // focus alone does not select
    choose.give_focus(u"optDist");
    EXPECT_EQ(shown(), "custom");
    choose.press(u"optQuick");
    EXPECT_EQ(shown(), "quick");
    choose.give_focus(u"cmdHelp");  // leaving the group changes nothing
    EXPECT_EQ(shown(), "quick");
    choose.press(u"optDist");
    EXPECT_EQ(shown(), "custom");
    EXPECT_FALSE(choose.control(u"optQuick").selected);
}

TEST(WizardKeys, EnterPressesTheFocusedOrTheDefaultButton) {
    // frmStartUp: the focus starts on the default button Next.
    {
        World w;
        w.forms.frmStartUp.show();
        EXPECT_TRUE(w.forms.frmStartUp.key(u"Enter"));
        EXPECT_EQ(w.pages(), "frmChoose*");
    }
    // frmChoose and frmDone: the focus starts on Help, so Enter opens help; from an option
    // button Enter presses Next.
    {
        World w;
        auto& choose = w.forms.frmChoose;
        choose.show();
        w.clear();
        EXPECT_TRUE(choose.key(u"Enter"));
        EXPECT_EQ(w.log, (Log{custom_topic}));
        choose.give_focus(u"optDist");
        EXPECT_TRUE(choose.key(u"Enter"));
        EXPECT_EQ(w.pages(), "frmTitle*");
    }
    {
        World w;
        auto& done = w.forms.frmDone;
        done.show();
        w.clear();
        EXPECT_TRUE(done.key(u"Enter"));
        EXPECT_EQ(w.log, (Log{done_topic}));
        done.give_focus(u"cmdCancel");
        EXPECT_TRUE(done.key(u"Enter"));
        EXPECT_EQ(w.pages(), "");
    }
    // frmTitle has no default button: Enter in the name box does nothing.
    {
        World w;
        auto& title = w.forms.frmTitle;
        bool ran = false;
        title.custom_run = [&](wizard::WizardContext&) { ran = true; };
        title.show();
        title.type(u"txtSubject", u"Golf");
        EXPECT_FALSE(title.key(u"Enter"));
        EXPECT_FALSE(ran);
        EXPECT_EQ(w.pages(), "frmTitle*");
    }
    // No button answers Esc on any page.
    {
        World w;
        wizard::Form* pages[] = {&w.forms.frmStartUp, &w.forms.frmChoose, &w.forms.frmTitle, &w.forms.frmDone};
        for (wizard::Form* p : pages) {
            p->show();
            EXPECT_FALSE(p->key(u"Esc")) << utf8(p->name());
        }
        EXPECT_EQ(w.pages(), "frmStartUp* frmChoose* frmTitle* frmDone*");
    }
}

TEST(WizardKeys, AltLetterPressesTheButtonOfItsAccessKey) {
    struct Case {
        const char* name;
        std::function<wizard::Form&(World&)> open;
        const char16_t* key;
        bool taken;
        const char* pages;
    } cases[] = {
        {"start Next", [](World& w) -> wizard::Form& { return w.forms.frmStartUp; }, u"Alt+N", true, "frmChoose*"},
        {"start Cancel", [](World& w) -> wizard::Form& { return w.forms.frmStartUp; }, u"Alt+a", true, ""},
        {"start Back is disabled", [](World& w) -> wizard::Form& { return w.forms.frmStartUp; }, u"Alt+B", false, "frmStartUp*"},
        {"start no such key", [](World& w) -> wizard::Form& { return w.forms.frmStartUp; }, u"Alt+C", false, "frmStartUp*"},
        {"choose Back", [](World& w) -> wizard::Form& { return w.forms.frmChoose; }, u"Alt+B", true, "frmStartUp*"},
        {"choose Next", [](World& w) -> wizard::Form& { return w.forms.frmChoose; }, u"Alt+N", true, "frmTitle*"},
        {"choose Cancel", [](World& w) -> wizard::Form& { return w.forms.frmChoose; }, u"Alt+C", true, ""},
        {"title Back", [](World& w) -> wizard::Form& { return w.forms.frmTitle; }, u"Alt+B", true, "frmChoose*"},
        {"title Cancel", [](World& w) -> wizard::Form& { return w.forms.frmTitle; }, u"Alt+C", true, ""},
        {"done Yes", [](World& w) -> wizard::Form& { return w.forms.frmDone; }, u"Alt+Y", true, "frmChoose*"},
        {"done No", [](World& w) -> wizard::Form& { return w.forms.frmDone; }, u"Alt+N", true, ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        World w;
        wizard::Form& page = c.open(w);
        page.show();
        EXPECT_EQ(page.key(c.key), c.taken);
        EXPECT_EQ(w.pages(), c.pages);
    }
}

TEST(WizardKeys, TabFollowsTheTabOrder) {
    struct Case {
        const char* name;
        std::function<wizard::Form&(World&)> open;
        std::vector<std::string> forward;  // the focus after each Tab, starting from the first
    } cases[] = {
        {"start", [](World& w) -> wizard::Form& { return w.forms.frmStartUp; },
         {"cmdStart", "cmdStop", "cmdHelp", "cmdStart"}},
        {"choose", [](World& w) -> wizard::Form& { return w.forms.frmChoose; },
         {"cmdHelp", "cmdCancel", "cmdOk", "cmdBack", "optDist", "cmdHelp"}},
        {"choose, quick selected",
         [](World& w) -> wizard::Form& {
             w.forms.frmChoose.press(u"optQuick");
             w.forms.frmChoose.give_focus(u"cmdHelp");
             return w.forms.frmChoose;
         },
         {"cmdHelp", "cmdCancel", "cmdOk", "cmdBack", "optQuick", "cmdHelp"}},
        {"title, empty name", [](World& w) -> wizard::Form& { return w.forms.frmTitle; },
         {"txtSubject", "cmdCancel", "cmdBack", "cmdHelp", "txtSubject"}},
        {"title, with a name",
         [](World& w) -> wizard::Form& {
             w.forms.frmTitle.type(u"txtSubject", u"x");
             return w.forms.frmTitle;
         },
         {"txtSubject", "cmdOk", "cmdCancel", "cmdBack", "cmdHelp", "txtSubject"}},
        {"done", [](World& w) -> wizard::Form& { return w.forms.frmDone; },
         {"cmdHelp", "cmdCancel", "cmdOk", "cmdHelp"}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        World w;
        wizard::Form& page = c.open(w);
        page.show();
        std::vector<std::string> seen{utf8(page.focus())};
        for (size_t i = 1; i < c.forward.size(); ++i) {
            EXPECT_TRUE(page.key(u"Tab"));
            seen.push_back(utf8(page.focus()));
        }
        EXPECT_EQ(seen, c.forward);
        std::vector<std::string> back{utf8(page.focus())};
        for (size_t i = 1; i < c.forward.size(); ++i) {
            page.key(u"Shift+Tab");
            back.push_back(utf8(page.focus()));
        }
        EXPECT_EQ(back, std::vector<std::string>(c.forward.rbegin(), c.forward.rend()));
    }
}

// Tabbing into the option group lands on the selected option, and the description follows
// that focus as it follows any other.
TEST(WizardKeys, TabIntoTheOptionGroupShowsTheDescriptionOfTheSelectedOption) {
    World w;
    auto& choose = w.forms.frmChoose;
    choose.press(u"optQuick");
    choose.give_focus(u"optDist");  // focus alone: optQuick stays selected
    EXPECT_TRUE(choose.control(u"lblshrds").visible);
    choose.give_focus(u"cmdBack");
    EXPECT_TRUE(choose.key(u"Tab"));
    EXPECT_EQ(utf8(choose.focus()), "optQuick");
    EXPECT_TRUE(choose.control(u"Label3").visible);
    EXPECT_FALSE(choose.control(u"lblshrds").visible);
}

// A run that ends in a failure: the user is told, the progress window goes and the page that
// started the run comes back.
TEST(WizardRunFailure, QuickRunShowsChooseAgainAtTheRememberedPosition) {
    World w;
    auto& choose = w.forms.frmChoose;
    choose.show();
    choose.move_to(2000, 3000);
    choose.press(u"optQuick");
    choose.quick_run = [](wizard::WizardContext& s) {
        s.forms.frmPBar.show();
        s.forms.frmPBar.SetMax(12);
        host::raise(-2147221233, u"The operation failed.");
    };
    w.clear();
    choose.press(u"cmdOk");
    EXPECT_EQ(w.log, (Log{"unload frmChoose", "load frmPBar 5670,5227.5", "show frmPBar 5670,5227.5",
                          "unload frmPBar", "failure -2147221233",
                          "msgbox Quillamor 0 Error -2147221233: The operation failed.", "load frmChoose 5865,4530", "move frmChoose 2000,4530",
                          "move frmChoose 2000,3000", "show frmChoose 2000,3000"}));
    EXPECT_EQ(w.pages(), "frmChoose*");
    EXPECT_TRUE(choose.control(u"optDist").selected);  // loaded afresh
}

TEST(WizardRunFailure, CustomRunShowsTitleAgainWithItsName) {
    World w;
    auto& title = w.forms.frmTitle;
    title.show();
    title.move_to(2000, 3000);
    title.type(u"txtSubject", u"Suppliers");
    title.custom_run = [](wizard::WizardContext& s) { host::raise(-2147467259, u"Unspecified error"); };
    w.clear();
    title.press(u"cmdOk");
    EXPECT_EQ(w.log, (Log{"hide frmTitle 2000,3000", "failure -2147467259",
                          "msgbox Quillamor 0 Error -2147467259: Unspecified error",
                          "show frmTitle 2000,3000"}));
    EXPECT_EQ(w.pages(), "frmTitle*");
    EXPECT_EQ(utf8(title.subject()), "Suppliers");
    EXPECT_TRUE(title.control(u"cmdOk").enabled);
}

// Only failures of the host are caught; anything else is not the pages' business.
TEST(WizardRunFailure, OtherExceptionsTravelOn) {
    World w;
    auto& choose = w.forms.frmChoose;
    choose.press(u"optQuick");
    choose.quick_run = [](wizard::WizardContext&) { throw std::runtime_error("bug"); };
    EXPECT_THROW(choose.press(u"cmdOk"), std::runtime_error);
    auto& title = w.forms.frmTitle;
    title.type(u"txtSubject", u"x");
    title.custom_run = [](wizard::WizardContext&) { throw std::bad_alloc(); };
    EXPECT_THROW(title.press(u"cmdOk"), std::bad_alloc);
    for (auto& line : w.log) EXPECT_EQ(line.find("msgbox"), std::string::npos) << line;
}

}  // namespace
