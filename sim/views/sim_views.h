#pragma once
// The substitute host's form views: each records what a person would see of a form into the
// event log (loaded, shown, hidden, unloaded, with the form's position) and the progress
// bar's maximum and value as they change.
#include <memory>

#include "sim/model/world.h"
#include "wizard/form.h"

namespace sim {

class SimViews : public wizard::ViewFactory {
public:
    explicit SimViews(std::shared_ptr<World> world) : world_(std::move(world)) {}
    std::unique_ptr<wizard::FormView> create(wizard::Form& form) override;

private:
    std::shared_ptr<World> world_;
};

}  // namespace sim
