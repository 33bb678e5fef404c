#pragma once
// What a person sees of a progress bar, read from the messages the page sends it. The page
// sets the bar's range and then its value as it makes the bar and at every change of the
// range, and the value alone at a change of the value: a changed maximum is news, else the
// value is, once the bar has been made.
#include <cstdint>
#include <optional>

#include <nlohmann/json.hpp>

namespace outlook_sim {

class ProgressReading {
public:
    // The bar's range is set to 0..max: the "progress" event it makes, if any.
    std::optional<nlohmann::json> range(int64_t max);
    // The bar's position is set.
    std::optional<nlohmann::json> position(int64_t value);

private:
    bool made_ = false;         // the design's range and value are set, as the bar is made
    int64_t max_ = 100;
    bool max_changed_ = false;  // the range just set changed the maximum
    bool pending_ = false;      // a range was set; its value follows
};

}  // namespace outlook_sim
