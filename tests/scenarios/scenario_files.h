#pragma once
// The scenarios under tests/scenarios, and their transcripts as the runner prints them.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/quillamor-sim/player.h"
#include "scenario/transcript.h"

namespace scenario_files {

// A file's bytes as they stand (expected transcripts, the add-in's own files).
inline std::string read_text(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::filesystem::path dir() { return std::filesystem::path(QUILLAMOR_SOURCE_DIR) / "tests" / "scenarios"; }

inline std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir()))
        if (e.path().extension() == ".json") out.push_back(e.path().stem().string());
    std::sort(out.begin(), out.end());
    return out;
}

inline std::string transcript(const quillamor_sim::PlayResult& r) {
    std::ostringstream out;
    scenario::print_transcript(out, r.events, {.json = true});
    if (r.error) out << "error: " << *r.error << '\n';
    return out.str();
}

}  // namespace scenario_files
