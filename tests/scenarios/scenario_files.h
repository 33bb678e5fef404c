#pragma once
// The scenarios under tests/scenarios (and those the user guide cites, in its guide/ folder),
// and their transcripts as the runner prints them.
#include <algorithm>
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

// The scenarios of one folder under tests/scenarios, each named by its path from there
// without ".json": "quick-list", or "guide/fill-order" for a `folder` "guide".
inline std::vector<std::string> names(const std::string& folder = "") {
    std::vector<std::string> out;
    if (!std::filesystem::is_directory(dir() / folder)) return out;
    for (const auto& e : std::filesystem::directory_iterator(dir() / folder))
        if (e.path().extension() == ".json")
            out.push_back(folder.empty() ? e.path().stem().string() : folder + "/" + e.path().stem().string());
    std::sort(out.begin(), out.end());
    return out;
}

// The scenarios the user guide cites as showing what it says (tests/scenarios/guide).
inline std::vector<std::string> guide_names() { return names("guide"); }

// A scenario's file, and its golden transcript in the expected/ folder beside it.
inline std::filesystem::path file(const std::string& name) { return dir() / (name + ".json"); }
inline std::filesystem::path expected(const std::string& name) {
    const auto f = file(name);
    return f.parent_path() / "expected" / (f.stem().string() + ".jsonl");
}

inline std::string transcript(const quillamor_sim::PlayResult& r) {
    std::ostringstream out;
    scenario::print_transcript(out, r.events, {.json = true});
    if (r.error) out << "error: " << *r.error << '\n';
    return out.str();
}

}  // namespace scenario_files
