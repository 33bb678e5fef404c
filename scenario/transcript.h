#pragma once
// Printing the event log: one JSON object per line, or a readable text for people.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace scenario {

struct TranscriptOptions {
    bool json = false;
    bool calls = false;  // include every host call
};

void print_transcript(std::ostream& out, const std::vector<nlohmann::json>& events, const TranscriptOptions& options);
// One event of the transcript, as it happens (nothing for a call unless calls are wanted).
void print_event(std::ostream& out, const nlohmann::json& event, const TranscriptOptions& options);

// One event as a readable line (several lines for a saved list).
std::string readable(const nlohmann::json& event);

// A message box style in words: "Yes/No with the information icon (68)".
std::string message_box_style(int64_t style);
// A "control" event as a sentence: "added button "Quillamor Wizard" to the Standard toolbar at 2".
std::string command_bar_sentence(const nlohmann::json& event);
// Any value in words: text quoted, lists joined by commas, objects as "field value" pairs.
std::string words(const nlohmann::json& value);

}  // namespace scenario
