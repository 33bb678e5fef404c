// The substitute host's command bars as the add-in reaches them: bars by name, FindControl's
// criteria, Add's position, deleted controls, faces from the clipboard, clicks, and the
// profile's preset controls.
#include <cstring>
#include <functional>

#include "commands_fixture.h"
#include "sim/picture.h"

namespace commands_test {
namespace {

using host::FindCriteria;
using host::Variant;

constexpr int32_t invalid_argument = -2147024809;

class CommandBarsTest : public CommandsTest {
protected:
    host::CommandBars all() {
        host::Application app(host.application());
        return host::CommandBars(app.ActiveExplorer().GetCommandBars());
    }
    int32_t failure_number(const std::function<void()>& f) {
        try {
            f();
        } catch (const host::Failure& e) {
            return e.number();
        }
        return 0;
    }
};

TEST_F(CommandBarsTest, BarsAreFoundByNameIgnoringCaseAndAnUnknownNameFails) {
    create();
    EXPECT_EQ(all().Item(u"help").object().get(u"Name").as_text(), u"Help");
    EXPECT_EQ(all().Item(u"Standard").Controls().Count(), 8);
    EXPECT_EQ(failure_number([&] { all().Item(u"Formatting"); }), invalid_argument);
}

TEST_F(CommandBarsTest, FindControlMatchesEveryGivenCriterion) {
    create(foreign_about());
    auto b = all();
    host::CommandBarPopup actions(b.FindControl(FindCriteria{.id = 30037}));
    ASSERT_TRUE(actions);
    EXPECT_EQ(actions.object().get(u"Type").as_int32(), 10);
    EXPECT_GE(actions.Controls().Count(), 8);
    EXPECT_EQ(actions.GetCommandBar().object().get(u"Name").as_text(), u"Actions");

    // The collection looks through the popups; a bar only at its own controls unless asked.
    EXPECT_TRUE(b.FindControl(FindCriteria{.tag = u"About Snapwise"}));
    host::CommandBar help = b.Item(u"Help");
    EXPECT_FALSE(help.FindControl(FindCriteria{.tag = u"About Snapwise"}));
    Variant deep = help.object().call(u"FindControl", host::Missing{}, host::Missing{}, u"About Snapwise",
                                      host::Missing{}, Variant::boolean(true));
    EXPECT_FALSE(deep.is_nothing());

    // A button is not a popup, a hidden control is left out when only visible ones count.
    EXPECT_FALSE(b.FindControl(FindCriteria{.type = 1, .tag = u"Orvane About"}));
    tagged(u"Orvane About")->visible = false;
    EXPECT_TRUE(b.FindControl(FindCriteria{.tag = u"Orvane About"}));
    EXPECT_FALSE(b.FindControl(FindCriteria{.tag = u"Orvane About", .visible = Variant::boolean(true)}));
    EXPECT_FALSE(b.FindControl(FindCriteria{.id = 99999}));
}

TEST_F(CommandBarsTest, AddPutsTheControlBeforeTheGivenPositionOrAtTheEnd) {
    struct Case {
        Variant before;
        int32_t index;  // 0: refused
    };
    const Case cases[] = {{host::Missing{}, 9}, {int32_t{1}, 1}, {int32_t{2}, 2}, {int32_t{9}, 9},
                          {int32_t{0}, 0},      {int32_t{10}, 0}};
    create();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        host::CommandBarControls controls = all().Item(u"Standard").Controls();
        if (c.index == 0) {
            EXPECT_EQ(failure_number([&] { controls.Add(1, c.before, true); }), invalid_argument);
            continue;
        }
        host::Object added = controls.Add(1, c.before, true);
        EXPECT_EQ(added.get(u"Index").as_int32(), c.index);
        EXPECT_EQ(controls.Count(), 9);
        added.call(u"Delete");
    }
    EXPECT_EQ(failure_number([&] { all().Item(u"Standard").Controls().Add(4, host::Missing{}, true); }),
              invalid_argument);
}

TEST_F(CommandBarsTest, ADeletedControlStaysDeadForEveryProxyWithWhatItHeld) {
    create(foreign_about());
    auto b = all();
    host::CommandBarPopup about(b.FindControl(FindCriteria{.tag = u"Orvane About"}));
    host::Object entry = b.FindControl(FindCriteria{.tag = u"About Snapwise"});
    host::CommandBar about_bar = about.GetCommandBar();

    about.Delete();
    EXPECT_NE(failure_number([&] { about.Delete(); }), 0);
    EXPECT_NE(failure_number([&] { entry.get(u"Caption"); }), 0);
    EXPECT_NE(failure_number([&] { about_bar.Controls(); }), 0);
    EXPECT_FALSE(b.FindControl(FindCriteria{.tag = u"About Snapwise"}));
    ASSERT_EQ(events("control").size(), 1u);
    EXPECT_EQ(events("control")[0]["index"], 5);
}

TEST_F(CommandBarsTest, PasteFaceTakesTheFaceAndMaskOrFailsWithoutAFace) {
    create();
    host::CommandBarButton button(all().Item(u"Standard").Controls().Add(1, host::Missing{}, true));
    auto put = [&](std::string_view format, std::vector<uint8_t> bytes) {
        sim::store(host.world().clipboard, format, std::move(bytes));
    };

    EXPECT_EQ(failure_number([&] { button.PasteFace(); }), -2147467259);
    put("Toolbar Button Mask", std::vector<uint8_t>(50, 0xFF));
    EXPECT_NE(failure_number([&] { button.PasteFace(); }), 0);  // a mask alone is no face
    EXPECT_TRUE(model(button.object())->face.empty());

    std::vector<uint8_t> face(60, 0x11);
    face[0] = 40;
    put("Toolbar Button Face", face);
    button.PasteFace();
    EXPECT_EQ(model(button.object())->face, face);
    EXPECT_EQ(model(button.object())->mask, std::vector<uint8_t>(50, 0xFF));
    EXPECT_EQ(events("clipboard").back()["formats"], Json({"Toolbar Button Mask", "Toolbar Button Face"}));
}

// The face the add-in asks the host for: the three formats, stored again in their places on
// a clipboard that is not emptied; a picture the platform's code would reject leaves none.
TEST_F(CommandBarsTest, TheFaceOfABitmapPictureOnlyReachesTheClipboard) {
    struct Case {
        const char* name;
        host::Object picture;
        int32_t error;
    };
    const Case cases[] = {
        {"no picture", host::Object(), 481},
        {"an icon", sim::make_picture({1, 1, {0}}, sim::picture_icon), 481},
        {"no handle", sim::make_picture({}), 481},
        {"a bitmap", sim::make_picture({1, 1, {0}}), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.world().clipboard = {{"CF_TEXT", {}}};
        EXPECT_EQ(failure_number([&] { host.copy_button_face(c.picture, 0x80000009); }), c.error);
        EXPECT_EQ(failure_number([&] { host.copy_button_face(c.picture, 0x80000009); }), c.error);
        std::vector<std::string> formats;
        for (const auto& block : host.world().clipboard) formats.push_back(block.format);
        const std::vector<std::string> face = {"CF_TEXT", "CF_DIB", "Toolbar Button Face", "Toolbar Button Mask"};
        EXPECT_EQ(formats, c.error ? std::vector<std::string>{"CF_TEXT"} : face);
    }
}

TEST_F(CommandBarsTest, AClickReachesTheSubscribersOfEveryProxyOfTheButton) {
    create();
    host::Object button = all().Item(u"Standard").Controls().Add(1, host::Missing{}, true);
    button.put(u"Tag", u"Mine");
    int first = 0, second = 0;
    host::Subscription a = button.subscribe(u"Click", [&](std::vector<Variant>& args) {
        ++first;
        EXPECT_EQ(model(args.at(0).as_object()), model(button));
        EXPECT_FALSE(args.at(1).as_bool());
    });
    host::Subscription b =
        all().FindControl(FindCriteria{.tag = u"Mine"}).subscribe(u"Click", [&](std::vector<Variant>&) { ++second; });

    EXPECT_TRUE(host.click_button(u"Mine"));
    a.reset();
    EXPECT_TRUE(host.click_button(u"Mine"));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);

    button.put(u"Enabled", Variant::boolean(false));
    EXPECT_FALSE(button.get(u"Enabled").as_bool());
    EXPECT_TRUE(host.click_button(u"Mine"));  // greyed out: clicked, and nothing follows
    EXPECT_EQ(second, 2);
    button.put(u"Enabled", Variant::boolean(true));

    button.put(u"Visible", Variant::boolean(false));
    EXPECT_FALSE(host.click_button(u"Mine"));  // a hidden button cannot be clicked
    EXPECT_EQ(second, 2);
}

TEST_F(CommandBarsTest, MalformedPresetControlsAreScenarioErrors) {
    const char* profiles[] = {
        R"({"commandBars": {"Formatting": []}})",
        R"({"commandBars": {"Help": [{"type": 4}]}})",
        R"({"commandBars": {"Help": [{"caption": "x", "controls": []}]}})",
        R"({"commandBars": {"Help": [{"caption": 5}]}})",
        R"({"commandBars": {"Help": [{"face": "x"}]}})",
        R"({"commandBars": ["Help"]})",
    };
    for (const char* p : profiles) {
        SCOPED_TRACE(p);
        EXPECT_THROW(host.load_profile(Json::parse(p)), sim::ScenarioError);
    }
}

}  // namespace
}  // namespace commands_test
