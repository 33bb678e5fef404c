#pragma once
// Printing the event log: one JSON object per line, or a readable text for people.
#include <ostream>
#include <vector>

#include <nlohmann/json.hpp>

namespace quillamor_sim {

struct TranscriptOptions {
    bool json = false;
    bool calls = false;  // include every host call
};

void print_transcript(std::ostream& out, const std::vector<nlohmann::json>& events, const TranscriptOptions& options);
// One event of the transcript, as it happens (nothing for a call unless calls are wanted).
void print_event(std::ostream& out, const nlohmann::json& event, const TranscriptOptions& options);

// One event as a readable line (several lines for a saved list).
std::string readable(const nlohmann::json& event);

}  // namespace quillamor_sim
