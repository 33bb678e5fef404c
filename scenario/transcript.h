#pragma once
// Printing the event log: one JSON object per line, or a readable text for people.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "scenario/steps.h"

namespace scenario {

struct TranscriptOptions {
    bool json = false;
    bool calls = false;  // include every host call
    bool log = false;    // include the support log's events
};

void print_transcript(std::ostream& out, const std::vector<nlohmann::json>& events, const TranscriptOptions& options);
// One event of the transcript, as it happens (nothing for a call unless calls are wanted).
void print_event(std::ostream& out, const nlohmann::json& event, const TranscriptOptions& options);

// One event as a readable line (several lines for a saved list).
std::string readable(const nlohmann::json& event);

// What a step of the scenario did, as a line of the readable transcript: "step 4: the user
// presses "Start" on "Quillamor - Start Up"". Pages are named by their captions, controls by
// their text where they have one. Empty for a step whose events already say it (a ribbon
// press) or that the transcript has no place for.
std::string step_sentence(size_t number, const Step& step);

// A run's progress bar as one line: its maximum, then how many steps it took from where to
// where ("progress bar maximum 9: 7 steps, 0 to 6").
std::string progress_line(const std::optional<nlohmann::json>& max, const std::vector<nlohmann::json>& values);

// The readable transcript as a play writes it: the user's steps among the host's events, and
// each run's progress folded into one line. The steps are the player's notes to this writer
// only; the event log, and so the JSON-lines transcript, never holds them.
class ReadableWriter {
public:
    ReadableWriter(std::ostream& out, bool calls) : out_(out), calls_(calls) {}
    ReadableWriter(const ReadableWriter&) = delete;
    ReadableWriter& operator=(const ReadableWriter&) = delete;
    ~ReadableWriter() { flush(); }

    void step(size_t number, const Step& step);
    void event(const nlohmann::json& event);
    // Writes the progress line still being folded; anything else written first flushes it.
    void flush();

private:
    void line(const std::string& text);

    std::ostream& out_;
    bool calls_;
    bool folding_ = false;
    std::optional<nlohmann::json> max_;
    std::vector<nlohmann::json> values_;
};

// A message box style in words: "Yes/No with the information icon (68)".
std::string message_box_style(int64_t style);
// A "control" event as a sentence: "added button "Quillamor Wizard" to the Standard toolbar at 2".
std::string command_bar_sentence(const nlohmann::json& event);
// Any value in words: text quoted, lists joined by commas, objects as "field value" pairs.
std::string words(const nlohmann::json& value);

}  // namespace scenario
