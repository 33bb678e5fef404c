// The page graph: which pages are loaded and shown after each action, where they stand,
// and what the remembered wizard position holds, including the order of the steps.
#include <gtest/gtest.h>

#include <functional>

#include "fakes.h"

namespace {

using wizard_test::Log;
using wizard_test::World;

// A fresh wizard with short walks to each page.
struct Walk : World {
    wizard::FrmStartUp& startup = forms.frmStartUp;
    wizard::FrmChoose& choose = forms.frmChoose;
    wizard::FrmTitle& title = forms.frmTitle;
    wizard::FrmDone& done = forms.frmDone;

    // Opens the wizard as the toolbar command does and walks to the given page, which the
    // user then drags to (left, top).
    void open_start(float left, float top) {
        startup.show();
        startup.move_to(left, top);
    }
    void open_choose(float left, float top) {
        open_start(100, 100);
        startup.press(u"cmdStart");
        choose.move_to(left, top);
    }
    void open_title(float left, float top) {
        open_choose(200, 200);
        choose.press(u"cmdOk");
        title.move_to(left, top);
    }
    // frmDone as a finished custom run leaves it, with frmTitle hidden and emptied.
    void open_done(float left, float top) {
        title.custom_run = [](wizard::WizardContext& s) {
            s.forms.frmTitle.set_subject(u"");
            s.forms.frmDone.show();
        };
        open_title(300, 300);
        title.type(u"txtSubject", u"Team");
        title.press(u"cmdOk");
        done.move_to(left, top);
    }
};

class Navigation : public ::testing::Test {
protected:
    Walk w;
    wizard::FrmStartUp& startup = w.startup;
    wizard::FrmChoose& choose = w.choose;
    wizard::FrmTitle& title = w.title;
    wizard::FrmDone& done = w.done;
    void open_start(float l, float t) { w.open_start(l, t); }
    void open_choose(float l, float t) { w.open_choose(l, t); }
    void open_title(float l, float t) { w.open_title(l, t); }
    void open_done(float l, float t) { w.open_done(l, t); }
};

TEST_F(Navigation, WizardCommandShowsTheWelcomePageAtItsOwnPlace) {
    w.state.position = {4000, 5000};  // a spot from an earlier visit is not used
    startup.show();
    EXPECT_EQ(w.pages(), "frmStartUp*");
    EXPECT_EQ(w.where(startup), "975,1365");
}

// A page whose window cannot be made stays unloaded: the failure goes to the caller, and the
// next try shows the page as usual instead of reaching a view that was never made.
TEST_F(Navigation, APageWhoseWindowCannotBeMadeIsShownAtTheNextTry) {
    w.views.refuse_next = true;
    EXPECT_THROW(startup.show(), host::Failure);
    EXPECT_FALSE(startup.loaded());
    EXPECT_EQ(w.pages(), "");
    startup.show();
    EXPECT_EQ(w.pages(), "frmStartUp*");
    EXPECT_EQ(w.where(startup), "975,1365");
}

TEST_F(Navigation, StartUpNextShowsChooseWhereStartUpStood) {
    open_start(1500, 2500);
    w.clear();
    startup.press(u"cmdStart");
    EXPECT_EQ(w.pages(), "frmChoose*");
    EXPECT_EQ(w.remembered(), "1500,2500");
    EXPECT_EQ(w.log, (Log{"hide frmStartUp 1500,2500", "load frmChoose 5865,4530",
                          "move frmChoose 1500,4530", "move frmChoose 1500,2500",
                          "show frmChoose 1500,2500", "unload frmStartUp"}));
}

TEST_F(Navigation, ChooseBackShowsStartUpWhereChooseStood) {
    open_choose(700, 800);
    w.clear();
    choose.press(u"cmdBack");
    EXPECT_EQ(w.pages(), "frmStartUp*");
    EXPECT_EQ(w.remembered(), "700,800");
    EXPECT_EQ(w.log, (Log{"load frmStartUp 975,1365", "move frmStartUp 700,1365",
                          "move frmStartUp 700,800", "unload frmChoose", "show frmStartUp 700,800"}));
}

TEST_F(Navigation, ChooseNextWithCustomShowsTitleWhereChooseStood) {
    open_choose(700, 800);
    w.clear();
    choose.press(u"cmdOk");
    EXPECT_EQ(w.pages(), "frmTitle*");
    EXPECT_EQ(w.remembered(), "700,800");
    EXPECT_EQ(w.log, (Log{"load frmTitle 5865,4530", "move frmTitle 700,4530",
                          "move frmTitle 700,800", "show frmTitle 700,800", "unload frmChoose"}));
}

TEST_F(Navigation, ChooseNextWithQuickUnloadsChooseBeforeTheRun) {
    open_choose(700, 800);
    choose.press(u"optQuick");
    std::string seen;
    choose.quick_run = [&](wizard::WizardContext& s) { seen = w.pages() + " at " + w.remembered(); };
    w.clear();
    choose.press(u"cmdOk");
    EXPECT_EQ(seen, " at 700,800");
    EXPECT_EQ(w.log, (Log{"unload frmChoose"}));
    EXPECT_EQ(w.pages(), "");
}

TEST_F(Navigation, TitleBackShowsChooseWhereTitleStoodWithoutStoring) {
    open_title(900, 1000);
    w.clear();
    title.press(u"cmdBack");
    EXPECT_EQ(w.pages(), "frmChoose*");
    EXPECT_EQ(w.where(choose), "900,1000");
    EXPECT_EQ(w.remembered(), "200,200");  // what frmChoose stored on the way in
    EXPECT_EQ(w.log, (Log{"load frmChoose 5865,4530", "move frmChoose 900,4530",
                          "move frmChoose 900,1000", "unload frmTitle", "show frmChoose 900,1000"}));
    // frmChoose comes back in its designed state, and its Next stores the new spot.
    EXPECT_TRUE(choose.control(u"optDist").selected);
    choose.press(u"cmdOk");
    EXPECT_EQ(w.remembered(), "900,1000");
    EXPECT_EQ(w.where(title), "900,1000");
}

TEST_F(Navigation, TitleNextHidesTitleWithItsNameForTheRun) {
    open_title(900, 1000);
    title.type(u"txtSubject", u"Board members");
    std::string seen;
    title.custom_run = [&](wizard::WizardContext& s) {
        seen = w.pages() + " at " + w.remembered() + " name " + wizard_test::utf8(s.forms.frmTitle.subject());
    };
    title.press(u"cmdOk");
    EXPECT_EQ(seen, "frmTitle at 900,1000 name Board members");
}

TEST_F(Navigation, DoneYesShowsChooseWhereDoneStood) {
    open_done(1200, 1300);
    startup.show();  // the wizard command while frmDone is open
    w.clear();
    done.press(u"cmdOk");
    EXPECT_EQ(w.pages(), "frmChoose* frmTitle");
    EXPECT_EQ(w.remembered(), "1200,1300");
    EXPECT_EQ(w.log, (Log{"load frmChoose 5865,4530", "move frmChoose 1200,4530",
                          "move frmChoose 1200,1300", "show frmChoose 1200,1300", "unload frmDone",
                          "unload frmStartUp"}));
}

// After a finished custom run the name page comes back empty, with Next disabled.
TEST_F(Navigation, NameIsEmptyAfterAFinishedRun) {
    open_done(1200, 1300);
    done.press(u"cmdOk");
    choose.press(u"cmdOk");
    EXPECT_EQ(w.pages(), "frmTitle*");
    EXPECT_EQ(wizard_test::utf8(title.subject()), "");
    EXPECT_FALSE(title.control(u"cmdOk").enabled);
    EXPECT_EQ(w.where(title), "1200,1300");
}

// Cancel on every page: the page and frmChoose, frmDone and frmStartUp are unloaded, in that
// order, and the remembered position is reset. frmTitle stays unless it is the page itself.
TEST(NavigationCancel, OnEveryPage) {
    struct Case {
        const char* name;
        std::function<void(Walk&)> open;
        std::function<wizard::Form&(Walk&)> page;
        std::u16string button;
        Log log;
        const char* left;
    };
    Case cases[] = {
        {"start", [](Walk& w) { w.open_start(10, 20); }, [](Walk& w) -> wizard::Form& { return w.startup; },
         u"cmdStop", {"unload frmStartUp"}, ""},
        {"choose", [](Walk& w) { w.open_choose(10, 20); }, [](Walk& w) -> wizard::Form& { return w.choose; },
         u"cmdCancel", {"unload frmChoose"}, ""},
        {"title", [](Walk& w) { w.open_title(10, 20); }, [](Walk& w) -> wizard::Form& { return w.title; },
         u"cmdCancel", {"unload frmTitle"}, ""},
        {"done", [](Walk& w) { w.open_done(10, 20); }, [](Walk& w) -> wizard::Form& { return w.done; },
         u"cmdCancel", {"unload frmDone"}, "frmTitle"},
        // The wizard command beside an open frmChoose: both go.
        {"start beside choose", [](Walk& w) { w.open_choose(10, 20); w.startup.show(); },
         [](Walk& w) -> wizard::Form& { return w.startup; }, u"cmdStop",
         {"unload frmStartUp", "unload frmChoose"}, ""},
        // The same through the access key of the button.
        {"done by Alt+N", [](Walk& w) { w.open_done(10, 20); }, [](Walk& w) -> wizard::Form& { return w.done; },
         u"Alt+N", {"unload frmDone"}, "frmTitle"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        Walk w;
        c.open(w);
        w.state.position = {5, 5};
        w.clear();
        if (c.button.starts_with(u"Alt+")) EXPECT_TRUE(c.page(w).key(c.button));
        else c.page(w).press(c.button);
        EXPECT_EQ(w.pages(), c.left);
        EXPECT_EQ(w.remembered(), "0,0");
        EXPECT_EQ(w.log, c.log);
    }
}

TEST_F(Navigation, DoneOpensAtTheRememberedPositionUnlessItIsZero) {
    struct Case {
        int32_t left, top;
        const char* at;
        Log log;
    };
    Case cases[] = {
        {0, 0, "975,1365", {"load frmDone 975,1365", "show frmDone 975,1365"}},
        {3000, 0, "3000,0", {"load frmDone 975,1365", "move frmDone 3000,1365", "move frmDone 3000,0", "show frmDone 3000,0"}},
        {0, 2000, "0,2000", {"load frmDone 975,1365", "move frmDone 0,1365", "move frmDone 0,2000", "show frmDone 0,2000"}},
        {-15, 4500, "-15,4500", {"load frmDone 975,1365", "move frmDone -15,1365", "move frmDone -15,4500", "show frmDone -15,4500"}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.left) + "," + std::to_string(c.top));
        done.unload();
        w.state.position = {c.left, c.top};
        w.clear();
        done.show();
        EXPECT_EQ(w.where(done), c.at);
        EXPECT_EQ(w.log, c.log);
    }
}

// Store reads top then left, rounds each half to even and keeps whole twips.
TEST_F(Navigation, StoreRoundsHalfToEven) {
    struct Case {
        float left, top;
        const char* stored;
    } cases[] = {
        {975, 1365.5f, "975,1366"}, {975, 1364.5f, "975,1364"}, {1000.5f, 2.5f, "1000,2"},
        {1001.5f, -0.5f, "1002,0"}, {-1.5f, 1364.4f, "-2,1364"}, {12.75f, 1364.6f, "13,1365"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.stored);
        startup.unload();
        open_start(c.left, c.top);
        startup.press(u"cmdStart");
        EXPECT_EQ(w.remembered(), c.stored);
        EXPECT_EQ(w.where(choose), c.stored);
        choose.unload();
    }
}

TEST_F(Navigation, StoreOutOfRangeIsAnOverflow) {
    startup.move_to(0, 3e9f);
    try {
        w.state.position.store(startup);
        FAIL() << "no failure";
    } catch (const host::Failure& f) {
        EXPECT_EQ(f.number(), 6);
    }
}

TEST_F(Navigation, ClosingAPageOnlyUnloadsIt) {
    open_title(900, 1000);
    startup.show();
    title.close();
    EXPECT_EQ(w.pages(), "frmStartUp*");
    EXPECT_EQ(w.remembered(), "200,200");
    startup.close();
    EXPECT_EQ(w.pages(), "");
    EXPECT_EQ(w.remembered(), "200,200");
}

// The wizard command while frmChoose is open shows frmStartUp beside it; its Next then
// moves the one frmChoose to frmStartUp's spot.
TEST_F(Navigation, WelcomePageBesideAnOpenChoosePage) {
    open_choose(700, 800);
    choose.press(u"optQuick");
    startup.show();
    EXPECT_EQ(w.pages(), "frmStartUp* frmChoose*");
    startup.press(u"cmdStart");
    EXPECT_EQ(w.pages(), "frmChoose*");
    EXPECT_EQ(w.where(choose), "975,1365");
    EXPECT_TRUE(choose.control(u"optQuick").selected);  // the same instance, not a fresh one
}

}  // namespace
