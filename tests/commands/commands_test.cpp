// The add-in's command buttons and about submenu: built on a first run, found again on a
// second, a foreign submenu respected, removed at disconnection even when some are missing,
// not built when the service library refuses or the picture is missing, and their clicks.
#include "commands_fixture.h"

namespace commands_test {
namespace {

const std::vector<std::string> face_formats = {"CF_DIB", "Toolbar Button Face", "Toolbar Button Mask"};

std::vector<std::string> clipboard_names(const sim::World& world) {
    std::vector<std::string> out;
    for (const auto& block : world.clipboard) out.push_back(block.format);
    return out;
}

TEST_F(CommandsTest, AFirstRunPlacesTheSubmenuAndTheThreeButtonsWithTheirFaces) {
    connected();

    // The "add" events carry each control as the add-in left it, at its place.
    auto add = [](const char* bar, const char* tag, const char* caption, int type, Json style, int index) {
        return Json{{"event", "control"}, {"action", "add"}, {"bar", bar},   {"tag", tag},
                    {"caption", caption}, {"type", type},    {"style", style}, {"index", index}};
    };
    EXPECT_EQ(events("control"),
              (std::vector<Json>{add("Help", "Orvane About", "Orvane About", 10, nullptr, 5),
                                 add("Orvane About", "About Quillamor", "About Quillamor", 1, 3, 1),
                                 add("Actions", "Quillamor", "Quillamor", 1, 3, 8),
                                 add("Standard", "QuillamorWiz", "Quillamor Wizard", 1, 1, 2)}));

    struct Expect {
        const char16_t* tag;
        const host::Object& member;
        const char16_t* bar;
        int32_t index;
    };
    const Expect buttons[] = {{u"About Quillamor", connect->myBut2(), u"Orvane About", 1},
                              {u"Quillamor", connect->myBut1(), u"Actions", 8},
                              {u"QuillamorWiz", connect->myBut3(), u"Standard", 2}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(host::to_utf8(b.tag));
        auto c = tagged(b.tag, 1);
        ASSERT_TRUE(c);
        EXPECT_EQ(model(b.member), c);
        EXPECT_EQ(c->parent.lock()->display_name(), b.bar);
        EXPECT_EQ(sim::control_index(*c), b.index);
        EXPECT_TRUE(c->temporary);
    }
    auto about = tagged(u"Orvane About");
    EXPECT_TRUE(about->temporary);
    EXPECT_EQ(about->bar->controls.size(), 1u);

    // Each paste found the picture and both toolbar formats; they stay on the clipboard.
    for (const auto& e : events("clipboard")) EXPECT_EQ(e["formats"], Json(face_formats));
    EXPECT_EQ(events("clipboard").size(), 3u);
    EXPECT_EQ(clipboard_names(host.world()), face_formats);
}

TEST_F(CommandsTest, ASecondRunAddsNothingRebindsTheMembersAndPutsThePictureOnTheClipboardAgain) {
    connected();
    std::vector<std::shared_ptr<sim::ControlModel>> first = {model(connect->myBut1()), model(connect->myBut2()),
                                                             model(connect->myBut3())};
    const size_t help = bar(u"Help").controls.size(), actions = bar(u"Actions").controls.size(),
                 standard = bar(u"Standard").controls.size();
    connect->set_myBut1({});
    connect->set_myBut2({});
    connect->set_myBut3({});
    host.world().clipboard.clear();
    host.world().clear_events();

    connect->ContactsList1();

    EXPECT_TRUE(events("control").empty());
    EXPECT_EQ(calls("CommandBarControls.Add"), 0);
    EXPECT_EQ(calls("CommandBarButton.PasteFace"), 0);
    EXPECT_EQ(calls("Runtime.LoadPicture"), 1);
    EXPECT_EQ(clipboard_names(host.world()), face_formats);
    EXPECT_EQ(model(connect->myBut1()), first[0]);
    EXPECT_EQ(model(connect->myBut2()), first[1]);
    EXPECT_EQ(model(connect->myBut3()), first[2]);
    EXPECT_EQ(bar(u"Help").controls.size(), help);
    EXPECT_EQ(bar(u"Actions").controls.size(), actions);
    EXPECT_EQ(bar(u"Standard").controls.size(), standard);

    // The re-bound members still receive the clicks.
    EXPECT_TRUE(host.click_button(u"QuillamorWiz"));
    EXPECT_TRUE(state->forms.frmStartUp.visible());
}

TEST_F(CommandsTest, SettingAButtonMemberToAnObjectWithoutItsEventsLeavesItAsItWas) {
    connected();
    const std::shared_ptr<sim::ControlModel> before[] = {model(connect->myBut1()), model(connect->myBut2()),
                                                          model(connect->myBut3())};
    void (addin::Connect::*setters[])(host::Object) = {&addin::Connect::set_myBut1, &addin::Connect::set_myBut2,
                                                       &addin::Connect::set_myBut3};
    const host::Object not_a_button = host.application();
    for (auto set : setters) EXPECT_THROW((connect.get()->*set)(not_a_button), host::Failure);
    EXPECT_EQ(model(connect->myBut1()), before[0]);
    EXPECT_EQ(model(connect->myBut2()), before[1]);
    EXPECT_EQ(model(connect->myBut3()), before[2]);
    // Still subscribed: a click on the wizard button opens the first page.
    EXPECT_TRUE(host.click_button(u"Quillamor"));
    EXPECT_TRUE(state->forms.frmStartUp.visible());
}

TEST_F(CommandsTest, AnotherProgramsAboutSubmenuIsUsedUnchanged) {
    connected(foreign_about());

    const auto& help = bar(u"Help").controls;
    ASSERT_EQ(help.size(), 5u);  // no second submenu
    auto about = help.back();
    EXPECT_EQ(about->caption, u"Orvane A&bout");
    EXPECT_FALSE(about->temporary);
    ASSERT_EQ(about->bar->controls.size(), 2u);
    EXPECT_EQ(about->bar->controls[0]->tag, u"About Snapwise");
    EXPECT_EQ(about->bar->controls[1], model(connect->myBut2()));
    EXPECT_EQ(events("control").size(), 3u);  // the three buttons only
}

TEST_F(CommandsTest, RemovalDeletesTheButtonsAndTheSubmenuOnlyWhenItIsLeftEmpty) {
    for (bool foreign : {false, true}) {
        SCOPED_TRACE(foreign ? "with another program's entry" : "alone");
        TearDown();
        host.world().clear_events();
        connected(foreign ? foreign_about() : Json::object());
        host.world().clear_events();

        connect->OnDisconnection(1);

        std::vector<std::string> deleted;
        for (const auto& e : events("control")) {
            EXPECT_EQ(e["action"], "delete");
            deleted.push_back(e["tag"]);
        }
        std::vector<std::string> expected = {"Quillamor", "About Quillamor", "QuillamorWiz"};
        if (!foreign) expected.push_back("Orvane About");
        EXPECT_EQ(deleted, expected);
        EXPECT_EQ(bar(u"Actions").controls.size(), 12u);
        EXPECT_EQ(bar(u"Standard").controls.size(), 8u);
        auto about = tagged(u"Orvane About");
        EXPECT_EQ(static_cast<bool>(about), foreign);
        if (about) {
            ASSERT_EQ(about->bar->controls.size(), 1u);
            EXPECT_EQ(about->bar->controls[0]->tag, u"About Snapwise");
        }
        // The members keep their (now dead) buttons.
        EXPECT_TRUE(model(connect->myBut1())->deleted);
    }
}

TEST_F(CommandsTest, RemovalPassesOverControlsThatAreMissingAndRemovesTheRest) {
    struct Case {
        const char* name;
        Json profile;
        std::vector<const char16_t*> gone_before;  // deleted by someone else after the start
        std::vector<std::string> deleted;          // what the removal deletes
    };
    const Case cases[] = {
        {"never built: the service library refused", {{"serviceLibrary", {{"initResult", -3}}}}, {}, {}},
        {"never built: no picture", {{"picture", false}}, {}, {}},
        {"menu button deleted", Json::object(), {u"Quillamor"}, {"About Quillamor", "QuillamorWiz", "Orvane About"}},
        {"submenu deleted with its entry", Json::object(), {u"Orvane About"}, {"Quillamor", "QuillamorWiz"}},
        {"all three deleted", Json::object(), {u"Quillamor", u"About Quillamor", u"QuillamorWiz"}, {"Orvane About"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        connected(c.profile);
        for (const char16_t* tag : c.gone_before) delete_elsewhere(tag);
        host.world().clear_events();

        EXPECT_NO_THROW(connect->OnDisconnection(1));

        std::vector<std::string> deleted;
        for (const auto& e : events("control")) deleted.push_back(e["tag"]);
        EXPECT_EQ(deleted, c.deleted);
        EXPECT_FALSE(tagged(u"Quillamor", 1) || tagged(u"About Quillamor", 1) || tagged(u"QuillamorWiz", 1));
    }
}

TEST_F(CommandsTest, AFailingDeleteOfAButtonThatIsStillThereEndsTheRemoval) {
    connected();
    host.fail(u"Delete", 1);
    EXPECT_THROW(connect->OnDisconnection(1), host::Failure);
    EXPECT_TRUE(tagged(u"Quillamor", 1));
    EXPECT_TRUE(tagged(u"QuillamorWiz", 1));  // the steps after it are not done
}

TEST_F(CommandsTest, ARefusingServiceLibraryShowsItsResultAndBuildsNoControls) {
    connected({{"serviceLibrary", {{"initResult", -3}}}});

    auto boxes = events("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["text"], "Error#-3");
    EXPECT_EQ(boxes[0]["style"], 0);
    EXPECT_EQ(boxes[0]["title"], "Quillamor");
    EXPECT_TRUE(events("control").empty());
    EXPECT_EQ(calls("Explorer.CommandBars"), 0);
    EXPECT_FALSE(connect->myBut1() || connect->myBut2() || connect->myBut3());
}

TEST_F(CommandsTest, AMissingPictureEndsTheRunBeforeAnyControlIsCreated) {
    connected({{"picture", false}});

    EXPECT_EQ(calls("Runtime.LoadPicture"), 1);
    EXPECT_EQ(calls("CommandBarControls.Add"), 0);
    EXPECT_FALSE(tagged(u"Orvane About"));
    EXPECT_EQ(bar(u"Help").controls.size(), 4u);
    EXPECT_TRUE(events("msgbox").empty());  // start-up skips the failure
}

TEST_F(CommandsTest, BothWizardButtonsShowTheOneWelcomePage) {
    connected();
    EXPECT_FALSE(host.click_button(u"No Such Button"));
    EXPECT_TRUE(host.click_button(u"QuillamorWiz"));
    state->forms.frmStartUp.move_to(900, 600);
    EXPECT_TRUE(host.click_button(u"Quillamor"));

    int loads = 0, shows = 0;
    for (const auto& e : events("form")) {
        EXPECT_EQ(e["form"], "frmStartUp");
        loads += e["action"] == "load";
        shows += e["action"] == "show";
    }
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(shows, 2);
    EXPECT_TRUE(state->forms.frmStartUp.visible());
    EXPECT_EQ(state->forms.frmStartUp.left(), 900);  // the same window, where it was
}

TEST_F(CommandsTest, TheAboutButtonShowsTheAboutBoxOrSaysWhyItCannot) {
    for (bool present : {true, false}) {
        SCOPED_TRACE(present ? "library there" : "library missing");
        TearDown();
        host.world().clear_events();
        connected({{"serviceLibrary", {{"present", present}}}});
        ASSERT_TRUE(tagged(u"About Quillamor", 1));  // built either way
        host.world().clear_events();

        EXPECT_TRUE(host.click_button(u"About Quillamor"));

        if (present) {
            ASSERT_EQ(events("service").size(), 1u);
            EXPECT_EQ(events("service")[0]["call"], "LibOrvaneShowAbout");
            EXPECT_TRUE(events("msgbox").empty());
        } else {
            ASSERT_EQ(events("msgbox").size(), 1u);
            EXPECT_EQ(events("msgbox")[0]["text"],
                      "The about box is not available: the service library LibOrvane.dll is not installed.");
        }
    }
}

TEST_F(CommandsTest, NothingOfTheHostStaysAliveAfterDisconnectionAndRelease) {
    connected(foreign_about());
    host.click_button(u"QuillamorWiz");
    host.click_button(u"About Quillamor");
    connect->OnDisconnection(1);
    connect.reset();
    state.reset();
    EXPECT_EQ(host.live_objects(), 0);
}

}  // namespace
}  // namespace commands_test
