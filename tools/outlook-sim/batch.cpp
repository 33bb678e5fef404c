#include "tools/outlook-sim/batch.h"

#include <windows.h>

#include <fstream>
#include <ostream>

#include "tools/outlook-sim/adapter.h"
#include "tools/outlook-sim/crash.h"
#include "tools/outlook-sim/player.h"
#include "scenario/transcript.h"

namespace outlook_sim {

std::vector<std::filesystem::path> read_list(const std::filesystem::path& list) {
    std::ifstream in(list, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read the list " + list.string());
    std::vector<std::filesystem::path> out;
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::filesystem::path p(line);
        out.push_back(p.is_absolute() ? p : list.parent_path() / p);
    }
    return out;
}

int play_batch(const BatchOptions& options, const std::wstring& program_folder, std::ostream& out) {
    int bad = 0;
    for (unsigned round = 1; round <= options.rounds; ++round) {
        for (const auto& file : options.scenarios) {
            const std::string name = file.stem().string();
            const std::string label = name + (round > 1 ? " (round " + std::to_string(round) + ")" : "");
            out << "playing " << label << "\n" << std::flush;
            now_playing(label.c_str());
            const std::filesystem::path transcript =
                options.out_dir / (name + (round > 1 ? "." + std::to_string(round) : "") + ".jsonl");
            std::ofstream written(transcript, std::ios::binary);
            PlayOptions play_options;
            play_options.crash_member = options.crash_member;
            play_options.crash_occurrence = options.crash_occurrence;
            play_options.write = [&written](std::span<const nlohmann::json> events) {
                for (const auto& e : events) scenario::print_event(written, e, {.json = true});
                written.flush();
            };
            const long adapters_before = live_adapters();
            std::string ending;
            try {
                PlayResult r = play(scenario::read_scenario(file), program_folder, play_options);
                const long adapters = live_adapters() - adapters_before;
                if (r.error) {
                    written << "error: " << *r.error << '\n';
                    ending = "cannot be played: " + *r.error;
                } else if (adapters != 0 || r.live_objects != 0 || !r.still_loaded.empty()) {
                    ending = "LEFT ALIVE: " + std::to_string(adapters) + " COM objects, " +
                             std::to_string(r.live_objects) + " host objects" +
                             (r.still_loaded.empty() ? "" : ", the add-in's DLL");
                }
            } catch (const std::exception& e) {
                ending = std::string("cannot be played: ") + e.what();
            }
            now_playing("");
            out << name << ": " << (ending.empty() ? "ok" : ending) << "\n" << std::flush;
            if (!ending.empty()) ++bad;
        }
    }
    out << "batch: " << options.scenarios.size() * options.rounds << " played, " << bad << " failed\n" << std::flush;
    return bad ? 1 : 0;
}

}  // namespace outlook_sim
