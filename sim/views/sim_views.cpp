// Form views that record form and progress events.
#include "sim/views/sim_views.h"

#include <cmath>

namespace sim {

namespace {

// Whole numbers as integers, so that transcripts read 1500, not 1500.0.
Json number(double v) {
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 9.0e15) return static_cast<int64_t>(v);
    return v;
}

class RecordingView : public wizard::FormView {
public:
    explicit RecordingView(std::shared_ptr<World> world) : world_(std::move(world)) {}

    void loaded(wizard::Form& f) override { form_event(f, "load"); }
    void shown(wizard::Form& f) override { form_event(f, "show"); }
    void hidden(wizard::Form& f) override { form_event(f, "hide"); }
    // The form is no longer loaded here: asking it for its place would load it again, so the
    // place it had last is reported.
    void unloaded(wizard::Form& f) override { record(f, "unload"); }
    void moved(wizard::Form& f) override { remember(f); }

    void changed(wizard::Form&, const wizard::Control& c, wizard::Change what) override {
        if (c.kind != wizard::Kind::ProgressBar) return;
        if (what == wizard::Change::Max)
            world_->record({{"event", "progress"}, {"max", number(c.max)}});
        else if (what == wizard::Change::Value)
            world_->record({{"event", "progress"}, {"value", number(c.value)}});
    }

private:
    void remember(wizard::Form& f) {
        if (!f.loaded()) return;
        left_ = f.left();
        top_ = f.top();
    }
    void form_event(wizard::Form& f, const char* action) {
        remember(f);
        record(f, action);
    }
    void record(wizard::Form& f, const char* action) {
        world_->record({{"event", "form"},
                        {"form", utf8(f.name())},
                        {"action", action},
                        {"left", number(left_)},
                        {"top", number(top_)}});
    }

    std::shared_ptr<World> world_;
    float left_ = 0, top_ = 0;
};

}  // namespace

std::unique_ptr<wizard::FormView> SimViews::create(wizard::Form&) {
    return std::make_unique<RecordingView>(world_);
}

}  // namespace sim
