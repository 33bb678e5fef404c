#pragma once
// Plays a scenario file against the real add-in over COM: the substitute host's objects as
// COM objects, the add-in loaded through the registry, the user on the add-in's real
// windows. The event log becomes the same transcript the native player prints.
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "scenario/scenario.h"

namespace outlook_sim {

struct PlayResult {
    std::vector<nlohmann::json> events;  // the whole log, calls included, ending with "end"
    // Set when a step could not be played; the play stopped there.
    std::optional<std::string> error;
    long live_adapters = 0;  // COM objects of the host still alive at the end
    int64_t live_objects = 0;  // the substitute host's own objects still alive at the end
    // The add-in DLLs that were loaded and are still loaded once released and freed (the
    // DLL said it could not be unloaded: some object of it is still alive).
    std::vector<std::wstring> still_loaded;
    // How long the steps took: {"step", "do", "ms"} for each, and for "connect" also the
    // add-in's creation and OnConnection, for the direct runs the run itself.
    nlohmann::json timings = nlohmann::json::array();
};

struct PlayOptions {
    bool calls = false;  // keep every host call in the event log (costs time)
    std::wstring ribbon_xml;  // where to write the ribbon XML the add-in returned (none when empty)
    // When set, the events go here as well: those of the steps played so far before each
    // step, the rest at the end. A host that dies part way has its transcript up to the
    // step it died in.
    std::function<void(std::span<const nlohmann::json>)> write;
    // For the tests of a dying host: this call of this member, made by the add-in, faults
    // as a wild pointer would (occurrence counted from 1 over the play).
    bool require_signed = false;  // load only add-in DLLs whose signature holds
    std::u16string crash_member;
    int64_t crash_occurrence = 1;
};

// `program_folder` holds this program and the service library stand-in's folder.
PlayResult play(const scenario::Scenario& scenario, const std::wstring& program_folder,
                const PlayOptions& options = {});

}  // namespace outlook_sim
