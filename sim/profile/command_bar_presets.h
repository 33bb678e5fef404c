#pragma once
#include <vector>

#include "sim/model/command_bars.h"

namespace sim {

// The "commandBars" field of a profile: preset controls by bar name, e.g.
//   {"Help": [{"type": 10, "caption": "Orvane About", "tag": "Orvane About",
//              "controls": [{"caption": "About Snapwise", "tag": "About Snapwise"}]}]}
// Each control: "type" 1 (the default) or 10, "caption", "tag", "visible" (default true),
// "style" (buttons), "controls" (popups only). Malformed input or an unknown bar name is a
// ScenarioError.
std::vector<PresetBar> command_bar_presets_from_json(const Json& j);

}  // namespace sim
