#pragma once
// Many scenarios in one host process, one after another and round after round, as one mail
// host loads, drops and loads the add-in again in a day: each transcript goes to a file of
// its own as it is played, and one line a play on `out` says how it ended.
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace outlook_sim {

struct BatchOptions {
    std::vector<std::filesystem::path> scenarios;
    std::filesystem::path out_dir;  // NAME.jsonl for the first round, NAME.R.jsonl for round R
    unsigned rounds = 1;
    std::u16string crash_member;  // as PlayOptions has it
    int64_t crash_occurrence = 1;
};

// The scenarios of a list file: one path a line, relative to the list's folder; blank lines
// and lines starting with '#' are left out.
std::vector<std::filesystem::path> read_list(const std::filesystem::path& list);

// Plays them; 0 when every play reached its end and left nothing alive, else 1.
int play_batch(const BatchOptions& options, const std::wstring& program_folder, std::ostream& out);

}  // namespace outlook_sim
