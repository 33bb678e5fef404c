// The add-in on a ribbon host: which hosts get the ribbon and which the command bars, the XML
// it hands out (checked against the host's own schema), its callbacks, and what the
// substitute host refuses to build a ribbon from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "addin/connect.h"
#include "addin/ribbon.h"
#include "host/outlook.h"
#include "host/text.h"
#include "sim/model/ribbon.h"
#include "sim/sim_host.h"
#include "tests/scenarios/scenario_files.h"

namespace ribbon_test {
namespace {

using sim::Json;

struct AddIn {
    explicit AddIn(const std::string& version, bool explorer = true) {
        host.load_profile(Json{{"version", version}, {"explorer", explorer}});
        state = std::make_unique<addin::ProcessState>(host, host.views());
        connect = std::make_unique<addin::Connect>(*state);
    }
    ~AddIn() {
        connect.reset();
        state.reset();
    }
    void connected() { connect->OnConnection(host.application(), 1, host::Object()); }
    bool touched_command_bars() const {
        for (const auto& c : host.call_names())
            if (c.find("CommandBar") != std::string::npos || c == "Explorer.CommandBars") return true;
        for (const auto& e : host.effects())
            if (e["event"] == "clipboard" || e["event"] == "control") return true;
        return false;
    }
    // The ribbon as the substitute host builds it from the add-in's XML.
    sim::Ribbon ribbon() { return sim::Ribbon(host.world_ptr(), connect->GetCustomUI(sim::explorer_ribbon)); }
    sim::RibbonInvoker invoker() {
        return [this](std::u16string_view name, std::vector<host::Variant>& args) -> host::Variant {
            host::Object control = args[0].as_object();
            if (name == u"Ribbon_Load") connect->Ribbon_Load(control);
            else if (name == u"Ribbon_GetImage") return connect->Ribbon_GetImage(control);
            else if (name == u"Ribbon_Click") connect->Ribbon_Click(control);
            else if (name == u"Ribbon_GetEnabled") return host::Variant::boolean(connect->Ribbon_GetEnabled(control));
            else ADD_FAILURE() << "unknown callback " << host::to_utf8(name);
            return {};
        };
    }

    sim::SimHost host;
    std::unique_ptr<addin::ProcessState> state;
    std::unique_ptr<addin::Connect> connect;
};


TEST(MajorVersion, ReadsTheNumberBeforeTheFirstDot) {
    struct Case {
        const char16_t* text;
        int32_t major;
    } cases[] = {{u"16.0.17928.20114", 16}, {u"14.0.7268.5000", 14}, {u"12.0", 12}, {u"11.0", 11}, {u"9", 9},
                 {u"", 0}, {u"Outlook", 0}, {u"16x.0", 0}, {u"1234567.0", 0}, {u".16", 0}};
    for (const auto& c : cases) EXPECT_EQ(host::MajorVersion(c.text), c.major) << host::to_utf8(c.text);
}

// 14 and later show a ribbon: no command bar, face or clipboard, and nothing to remove;
// below 14, or when the version cannot be read, the command bars as ever.
TEST(RibbonTest, TheVersionDecidesBetweenRibbonAndCommandBars) {
    struct Case {
        const char* version;
        bool fail_version;
        bool ribbon;
    } cases[] = {{"16.0.17928.20114", false, true}, {"14.0", false, true}, {"12.0.6423.1000", false, false},
                 {"11.0", false, false}, {"16.0", true, false}, {"beta", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.version) + (c.fail_version ? " (Version fails)" : ""));
        AddIn a(c.version);
        if (c.fail_version) a.host.fail(u"Version", 1);
        a.connected();
        EXPECT_EQ(a.connect->ribbon_host(), c.ribbon);
        EXPECT_EQ(a.host.service_calls().size(), 1u) << "the service library starts either way";
        a.connect->OnDisconnection(1);
        EXPECT_EQ(a.touched_command_bars(), !c.ribbon);
        size_t version_reads = 0;
        for (const auto& n : a.host.call_names()) version_reads += n == "Application.Version";
        EXPECT_EQ(version_reads, 1u);
    }
}

TEST(RibbonTest, OnlyTheExplorersRibbonGetsTheXmlThatTheAddInKeeps) {
    AddIn a("16.0");
    a.connected();
    const std::string kept = scenario_files::read_text(std::filesystem::path(QUILLAMOR_SOURCE_DIR) / "addin" / "ribbon.xml");
    EXPECT_EQ(host::to_utf8(a.connect->GetCustomUI(addin::explorer_ribbon_id)), kept);
    for (const char16_t* other : {u"Microsoft.Outlook.Contact", u"Microsoft.Outlook.Mail.Read", u"", u"microsoft.outlook.explorer"})
        EXPECT_EQ(a.connect->GetCustomUI(other), u"") << host::to_utf8(other);
}

// The host checks the XML against its schema and shows nothing of an add-in whose XML fails.
TEST(RibbonTest, TheXmlValidatesAgainstTheHostsSchema) {
    // The schema is the host's, kept beside the project rather than in it.
    if (!std::filesystem::exists(QUILLAMOR_RIBBON_SCHEMA))
        GTEST_SKIP() << "the host's ribbon schema is not at " QUILLAMOR_RIBBON_SCHEMA "; the XML is not checked";
    AddIn a("16.0");
    a.connected();
    auto file = std::filesystem::temp_directory_path() / "quillamor-ribbon-test.xml";
    std::ofstream(file, std::ios::binary) << host::to_utf8(a.connect->GetCustomUI(addin::explorer_ribbon_id));
    const std::string command = "xmlschema-validate --schema '" QUILLAMOR_RIBBON_SCHEMA "' '" + file.string() + "' >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::filesystem::remove(file);
}

TEST(RibbonTest, EachTabGetsAGroupWithTheWizardAndTheAboutButton) {
    AddIn a("16.0");
    a.connected();
    sim::Ribbon r = a.ribbon();
    ASSERT_EQ(r.buttons().size(), 5u);
    // Update List works on a selected list, which only the Contacts module shows.
    ASSERT_TRUE(r.find(u"Update List", u"TabContacts"));
    EXPECT_FALSE(r.find(u"Update List", u"TabMail"));
    for (const char16_t* tab : {u"TabContacts", u"TabMail"}) {
        const sim::RibbonButton* wizard = r.find(u"Quillamor Wizard", tab);
        const sim::RibbonButton* about = r.find(u"About Quillamor", tab);
        ASSERT_TRUE(wizard && about) << host::to_utf8(tab);
        EXPECT_EQ(wizard->group, u"Quillamor");
        EXPECT_EQ(wizard->size, u"large");
        EXPECT_EQ(about->size, u"normal");
    }
}

TEST(RibbonTest, ThePicturesComeFromTheButtonPictureAndAreMissingWithIt) {
    for (bool picture : {true, false}) {
        AddIn a("16.0");
        a.host.profile().picture = picture;
        a.connected();
        host::Object image = a.connect->Ribbon_GetImage(host::Object());
        EXPECT_EQ(static_cast<bool>(image), picture);
        EXPECT_TRUE(a.host.effects().empty() || a.host.effects().back()["event"] != "msgbox");
    }
}

// Both kinds of host load the picture from the add-in's own folder when it was installed
// elsewhere, and from the fixed path when the folder tells nothing.
TEST(RibbonTest, TheButtonPictureIsTakenFromTheAddInsFolderElseTheFixedPath) {
    struct Case {
        const char* version;
        const char16_t* folder;
        const char* path;
    } cases[] = {
        {"16.0", u"", "C:\\Program Files\\Orvane Corporation\\Quillamor\\contactsicon.gif"},
        {"16.0", u"D:\\Apps\\Contact Lists\\", "D:\\Apps\\Contact Lists\\contactsicon.gif"},
        {"11.0", u"", "C:\\Program Files\\Orvane Corporation\\Quillamor\\contactsicon.gif"},
        {"11.0", u"D:\\Apps\\Contact Lists\\", "D:\\Apps\\Contact Lists\\contactsicon.gif"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " " + c.path);
        AddIn a(c.version);
        a.host.profile().install_folder = c.folder;
        a.connected();
        bool loaded = true;
        if (std::string(c.version) == "16.0") loaded = static_cast<bool>(a.connect->Ribbon_GetImage(host::Object()));
        std::vector<std::string> paths;
        for (const auto& e : a.host.events())
            if (e["event"] == "call" && e["member"] == "LoadPicture") paths.push_back(e["args"][0].get<std::string>());
        EXPECT_EQ(paths, std::vector<std::string>{c.path});
        EXPECT_TRUE(loaded);
        for (const auto& e : a.host.effects()) EXPECT_NE(e["event"], "msgbox") << e.dump();
    }
}

TEST(RibbonTest, TheButtonsDoWhatTheCommandBarButtonsDo) {
    AddIn a("16.0");
    a.connected();
    sim::Ribbon r = a.ribbon();
    r.show(a.invoker());
    r.press(*r.find(u"Quillamor Wizard", u"TabMail"), a.invoker());
    EXPECT_TRUE(a.state->forms.frmStartUp.visible());
    r.press(*r.find(u"About Quillamor"), a.invoker());
    ASSERT_EQ(a.host.service_calls().size(), 2u);
    EXPECT_EQ(a.host.service_calls().back().call, "LibOrvaneShowAbout");
}

// As a command-bar host builds no buttons for a start the service library refuses, no ribbon
// button works until a start succeeds; one that does, at a later window, turns them on.
TEST(RibbonTest, TheButtonsFollowTheAddInsStartUp) {
    AddIn a("16.0", /*explorer=*/false);
    a.host.profile().service_init_result = -5;
    a.connected();
    sim::Ribbon r = a.ribbon();
    r.show(a.invoker());
    auto all_off = [&] {
        for (const auto& b : r.buttons())
            if (r.enabled(b, a.invoker())) return false;
        return true;
    };
    EXPECT_TRUE(all_off());
    a.host.new_explorer();  // refused again
    EXPECT_TRUE(all_off());
    r.press(*r.find(u"Quillamor Wizard"), a.invoker());
    EXPECT_FALSE(a.state->forms.frmStartUp.visible());

    a.host.profile().service_init_result = 0;
    a.host.new_explorer();
    EXPECT_TRUE(r.enabled(*r.find(u"Quillamor Wizard", u"TabMail"), a.invoker()));
    EXPECT_TRUE(r.enabled(*r.find(u"About Quillamor"), a.invoker()));
    // Nothing is selected: Update List stays off.
    EXPECT_FALSE(r.enabled(*r.find(u"Update List"), a.invoker()));
    r.press(*r.find(u"Quillamor Wizard"), a.invoker());
    EXPECT_TRUE(a.state->forms.frmStartUp.visible());
}

// A failure inside the click callback is shown to the user and never reaches the host.
TEST(RibbonTest, AFailedClickIsShownToTheUser) {
    AddIn a("16.0");
    a.connected();
    sim::Ribbon r = a.ribbon();
    a.host.fail(u"Tag", 1);
    r.press(*r.find(u"Quillamor Wizard"), a.invoker());
    const auto effects = a.host.effects();
    ASSERT_GE(effects.size(), 2u);
    EXPECT_EQ(effects[effects.size() - 2]["event"], "failure");
    EXPECT_EQ(effects.back()["event"], "msgbox");
    for (const auto& e : effects) EXPECT_NE(e["event"], "result");
}

TEST(RibbonHost, RefusesXmlItCannotBuildARibbonFrom) {
    const std::string ns = R"(xmlns="http://schemas.microsoft.com/office/2009/07/customui")";
    struct Case {
        const char* name;
        std::string xml;
        const char* message;
    } cases[] = {
        {"not XML", "<customUI " + ns + "><ribbon>", "not well-formed"},
        {"mismatched", "<customUI " + ns + "><ribbon></tabs></customUI>", "end tag"},
        {"old namespace", R"(<customUI xmlns="http://schemas.microsoft.com/office/2006/01/customui"/>)", "namespace"},
        {"other root", "<ribbon " + ns + "/>", "root element"},
        {"twice the same id", "<customUI " + ns + R"(><ribbon><tabs><tab idMso="TabMail"><group id="g" label="G">)"
                              R"(<button id="b" label="B"/><button id="b" label="C"/></group></tab></tabs></ribbon></customUI>)",
         "used twice"},
        {"button without label", "<customUI " + ns + R"(><ribbon><tabs><tab idMso="TabMail"><group id="g">)"
                                 R"(<button id="b"/></group></tab></tabs></ribbon></customUI>)",
         "label"},
    };
    auto world = std::make_shared<sim::World>();
    for (const auto& c : cases) {
        try {
            sim::Ribbon r(world, host::from_utf8(c.xml));
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const sim::ScenarioError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
        }
    }
    // Character references and comments are read as XML reads them.
    sim::Ribbon r(world, host::from_utf8("<?xml version=\"1.0\"?><!-- c --><customUI " + ns +
                                         R"(><ribbon><tabs><tab idMso="TabMail"><group id="g" label="A &amp; B">)"
                                         R"(<button id="b" label="&#81;uill &lt;1&gt;"/></group></tab></tabs></ribbon></customUI>)"));
    ASSERT_EQ(r.buttons().size(), 1u);
    EXPECT_EQ(r.buttons()[0].group, u"A & B");
    EXPECT_EQ(r.buttons()[0].label, u"Quill <1>");
}

}  // namespace
}  // namespace ribbon_test
