// quillamor-sim walks: writes seeded random walks as scenario files, each beside the
// transcript that playing it gives here, for another host to play and compare.
#include <fstream>
#include <iostream>
#include <sstream>

#include "scenario/transcript.h"
#include "sim/profile/json_checks.h"
#include "tools/quillamor-sim/commands.h"
#include "tools/quillamor-sim/player.h"
#include "tools/quillamor-sim/walks.h"

namespace quillamor_sim {

namespace {

std::string transcript_of(const std::vector<nlohmann::json>& events, const std::optional<std::string>& error) {
    std::ostringstream out;
    scenario::print_transcript(out, events, {.json = true});
    if (error) out << "error: " << *error << '\n';
    return out.str();
}

bool number(std::string_view text, uint64_t& out) {
    if (text.empty() || text.size() > 19) return false;
    out = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

}  // namespace

int walks_command(const std::vector<std::string_view>& args) {
    uint64_t seed = 1, count = 10, steps = 30;
    std::string out_dir, profile_file;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--seed" && has_value && number(args[i + 1], seed)) ++i;
        else if (a == "--count" && has_value && number(args[i + 1], count)) ++i;
        else if (a == "--steps" && has_value && number(args[i + 1], steps) && steps > 0) ++i;
        else if (a == "--out" && has_value) out_dir = args[++i];
        else if (a == "--profile" && has_value) profile_file = args[++i];
        else {
            std::cerr << "quillamor-sim: walks: \"" << sim::printable(std::string(a))
                      << "\" is not understood (see quillamor-sim --help)\n";
            return 2;
        }
    }
    if (out_dir.empty() || profile_file.empty()) {
        std::cerr << "quillamor-sim: walks needs --profile FILE and --out DIR (see quillamor-sim --help)\n";
        return 2;
    }
    nlohmann::json profile;
    try {
        profile = scenario::read_profile(profile_file);
    } catch (const scenario::ScenarioFileError& e) {
        std::cerr << "quillamor-sim: " << sim::printable(profile_file) << ": " << e.what() << "\n";
        return 2;
    }
    std::filesystem::create_directories(out_dir);
    std::cout << "walks: " << count << " from seed " << seed << ", " << steps << " steps at most\n";
    int bad = 0;
    for (size_t i = 0; i < count; ++i) {
        const std::string name = "walk-" + std::to_string(seed) + "-" + std::to_string(i + 1);
        const std::filesystem::path file = std::filesystem::path(out_dir) / (name + ".json");
        Walk walk = generate_walk(profile, {.seed = walk_seed(seed, i), .max_steps = steps});
        std::ofstream(file, std::ios::binary) << walk.scenario.dump(1) << '\n';
        // Played again from its file, a walk must do what it did while it was made.
        PlayResult replay = play(scenario::read_scenario(file), {}, {.calls = false, .write = {}});
        const std::string transcript = transcript_of(replay.events, replay.error);
        std::ofstream(std::filesystem::path(out_dir) / (name + ".jsonl"), std::ios::binary) << transcript;
        std::string wrong;
        if (replay.error) wrong = "cannot be played again: " + *replay.error;
        else if (transcript != transcript_of(walk.events, std::nullopt)) wrong = "played again, it does something else";
        else if (replay.events.back().value("liveObjects", -1) != 0) wrong = "leaves host objects alive";
        if (!wrong.empty()) {
            std::cout << name << ": " << wrong << "\n";
            ++bad;
        }
    }
    if (bad) std::cout << "walks: " << bad << " of " << count << " FAILED\n";
    return bad ? 1 : 0;
}

}  // namespace quillamor_sim
