#pragma once
// A person who answers the modal dialogs as they open, in place of the scripted answers: the
// terminal walk-through sets one on the host.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/model/model.h"

namespace sim {

class AnswerProvider {
public:
    virtual ~AnswerProvider() = default;
    // The categories dialog over the categories there are to pick from: the selection text
    // (the names joined by the user's list separator and a space), or nothing when the
    // dialog is cancelled.
    virtual std::optional<std::u16string> categories(const std::vector<std::u16string>& available,
                                                     std::u16string_view separator) = 0;
    // The folder picker over the profile's folder tree (its top-level folders): the folder
    // picked, or null when the picker is cancelled.
    virtual std::shared_ptr<Folder> pick_folder(const std::vector<std::shared_ptr<Folder>>& tree) = 0;
    // A message box: the button pressed (host::vbOK, host::vbYes, host::vbNo, ...).
    virtual int32_t msgbox(std::u16string_view text, int32_t style, std::u16string_view title) = 0;
};

// Every category that some item of the profile carries, in any folder, each once, sorted.
std::vector<std::u16string> categories_in_use(const Profile& profile);

}  // namespace sim
