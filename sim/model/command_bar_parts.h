#pragma once
// What the command bars' files share inside the substitute host: making a control on a bar,
// finding controls the way FindControl does, and reading a button face off the clipboard.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/model/command_bars.h"
#include "sim/model/sim_object.h"

namespace sim {

// A control at the end of a bar, its popup bar made with it; the caller sets the rest.
std::shared_ptr<ControlModel> append_control(const std::shared_ptr<CommandBarModel>& bar, int32_t type,
                                             std::u16string caption);

// What FindControl looks for; each criterion left out matches anything.
struct Criteria {
    std::optional<int32_t> type, id;
    std::optional<std::u16string> tag;
    bool visible_only = false;
    bool recursive = false;
};

// Whether argument i is there and not left empty.
bool given(const Args& a, size_t i);
// FindControl(Type, Id, Tag, Visible, Recursive).
Criteria criteria(const Args& a);
// The first match in a bar, depth first through its popups when recursive.
std::shared_ptr<ControlModel> find_in(const CommandBarModel& bar, const Criteria& k);
// The first match in all bars, through every popup.
std::shared_ptr<ControlModel> find_everywhere(const CommandBarSet& set, Criteria k);

// What a button takes from the clipboard at PasteFace.
struct ClipboardFace {
    std::vector<uint8_t> face, mask;
    Json formats = Json::array();  // the names of every format the clipboard held
};
// The face, and the mask when there is one, from the world's clipboard. Without a face the
// paste fails, as the host's does.
ClipboardFace face_from_clipboard(const World& world);

}  // namespace sim
