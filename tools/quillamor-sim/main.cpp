// quillamor-sim: plays scenarios over the substitute host.
//   quillamor-sim run SCENARIO.json [--json] [--calls]
//   quillamor-sim play PROFILE.json   (a person walks the wizard in the terminal)
#include <cstring>
#include <iostream>
#include <string>

#include "tools/quillamor-sim/play.h"
#include "tools/quillamor-sim/player.h"
#include "tools/quillamor-sim/transcript.h"

namespace {

int usage() {
    std::cerr << "usage: quillamor-sim run SCENARIO.json [--json] [--calls]\n"
                 "       quillamor-sim play PROFILE.json\n";
    return 2;
}

int run(int argc, char** argv) {
    std::string file;
    quillamor_sim::TranscriptOptions options;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) options.json = true;
        else if (std::strcmp(argv[i], "--calls") == 0) options.calls = true;
        else if (file.empty()) file = argv[i];
        else return usage();
    }
    if (file.empty()) return usage();
    try {
        auto scenario = quillamor_sim::read_scenario(file);
        // The transcript is written as the run goes, and host calls are logged only when
        // asked for: a run over a large profile makes millions of them.
        auto result = quillamor_sim::play(
            scenario, {},
            {.calls = options.calls,
             .write = [&](const nlohmann::json& e) { quillamor_sim::print_event(std::cout, e, options); }});
        if (result.error) {
            std::cout.flush();
            std::cerr << "quillamor-sim: " << file << ": " << *result.error << "\n";
            return 2;
        }
        return 0;
    } catch (const quillamor_sim::ScenarioFileError& e) {
        std::cout.flush();
        std::cerr << "quillamor-sim: " << file << ": " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "quillamor-sim: " << file << ": cannot be played: " << e.what() << "\n";
        return 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string command = argv[1];
    if (command == "run") return run(argc, argv);
    if (command == "play") {
        if (argc != 3) return usage();
        return quillamor_sim::play_in_terminal(argv[2], std::cout, std::cerr);
    }
    return usage();
}
