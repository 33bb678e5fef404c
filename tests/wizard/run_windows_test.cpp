// The wizard as the runs' windows, where it takes more than one step of a form: the name
// page sent back to the remembered position, whose steps are each passed over when they
// fail, so that the page is shown even when it cannot be placed.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fakes.h"
#include "host/failure.h"

namespace {

using wizard_test::Log;
using wizard_test::twips;
using wizard_test::utf8;

// Records moves and shows of every form; those of the form named `failing` fail after they
// are recorded.
class FailingViews : public wizard::ViewFactory {
public:
    FailingViews(Log& log, std::u16string failing_form, bool moves, bool shows)
        : log_(log), failing_(std::move(failing_form)), moves_(moves), shows_(shows) {}

    std::unique_ptr<wizard::FormView> create(wizard::Form&) override { return std::make_unique<View>(*this); }

private:
    class View : public wizard::FormView {
    public:
        explicit View(FailingViews& views) : views_(views) {}
        void moved(wizard::Form& f) override { record("move", f, views_.moves_); }
        void shown(wizard::Form& f) override { record("show", f, views_.shows_); }

    private:
        void record(const char* what, wizard::Form& f, bool fails) {
            views_.log_.push_back(std::string(what) + " " + utf8(f.name()) + " " + twips(f.left()) + "," +
                                  twips(f.top()));
            if (fails && f.name() == views_.failing_) host::raise(-2147467259, u"Unspecified error");
        }
        FailingViews& views_;
    };
    Log& log_;
    std::u16string failing_;
    bool moves_, shows_;
};

TEST(WizardRunWindows, TheNamePageGoesBackToTheRememberedPositionStepByStep) {
    struct Case {
        const char* what;
        bool moves_fail, shows_fail;
    };
    const Case cases[] = {
        {"nothing fails", false, false},
        {"its moves fail", true, false},
        {"its show fails", false, true},
        {"everything fails", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Log log;
        wizard_test::FakeEnv env(log);
        FailingViews views(log, u"frmTitle", c.moves_fail, c.shows_fail);
        wizard::WizardContext context(env, views);
        context.position.left = 1500;
        context.position.top = 900;

        EXPECT_NO_THROW(context.windows.back_to_name_page_at_position());
        // Top first, then left: the page loads at its own spot and is moved twice.
        EXPECT_EQ(log, (Log{"move frmTitle 5865,900", "move frmTitle 1500,900", "show frmTitle 1500,900"}));
        EXPECT_TRUE(context.forms.frmTitle.visible());
    }
}

}  // namespace
