#include "tools/outlook-sim/progress.h"

namespace outlook_sim {

std::optional<nlohmann::json> ProgressReading::range(int64_t max) {
    max_changed_ = made_ && max != max_;
    max_ = max;
    pending_ = true;
    if (!max_changed_) return std::nullopt;
    return nlohmann::json{{"event", "progress"}, {"max", max}};
}

std::optional<nlohmann::json> ProgressReading::position(int64_t value) {
    const bool news = made_ && !(pending_ && max_changed_);
    made_ = true;
    pending_ = false;
    if (!news) return std::nullopt;
    return nlohmann::json{{"event", "progress"}, {"value", value}};
}

}  // namespace outlook_sim
