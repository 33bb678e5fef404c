// quillamor-sim: plays scenarios over the substitute host.
//   quillamor-sim run SCENARIO.json [--json] [--calls]
//   quillamor-sim play PROFILE.json   (a person walks the wizard in the terminal)
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/transcript.h"
#include "scenario/unused.h"
#include "sim/profile/json_checks.h"
#include "tools/quillamor-sim/commands.h"
#include "tools/quillamor-sim/play.h"
#include "tools/quillamor-sim/player.h"

namespace {

constexpr const char* usage_text = R"(usage: quillamor-sim run SCENARIO.json [--json] [--calls]
       quillamor-sim play PROFILE.json
       quillamor-sim walks --profile PROFILE.json --out DIR [--seed S] [--count N] [--steps M]
       quillamor-sim --help | --version

Runs the Quillamor add-in over a substitute mail host kept in memory.

  run SCENARIO.json   plays the scenario's steps and prints, one line each, what a person
                      would have seen and what the mail store kept
    --json            the same as one JSON object per line
    --calls           with every call of the add-in into the host in between
  play PROFILE.json   walk the wizard by hand in this terminal, then print the lists saved
  walks               write N seeded random walks over the profile into DIR, each as a
                      scenario file (walk-S-I.json) beside its transcript here (.jsonl);
                      a walk that does not play again the same way is named, status 1

A profile is what the mail host holds: its folders with their contacts and lists and their
categories, and whether the service library, the button picture and the safe-item library
are there. A scenario is a profile (or a "profileFile" naming one) with the steps the host
and the user take, the answers to give the dialogs and the faults to inject.
examples/ holds both; docs/reference/scenario-format.md describes every field.

Exit status: 0 when the scenario was played to its end; 2 when it cannot be played or the
command line is wrong, with one line on the error stream that says why. A fault that never
fired or an answer never used is a warning on the error stream; the status stays 0.
)";

int wrong(const std::string& what) {
    std::cerr << "quillamor-sim: " << sim::printable(what) << " (see quillamor-sim --help)\n";
    return 2;
}

std::string unknown_option(std::string_view option, const std::vector<std::string_view>& known) {
    std::string message = "unknown option \"" + std::string(option) + "\"";
    std::string near = sim::nearest_name(option, known);
    if (!near.empty()) message += "; did you mean \"" + near + "\"?";
    return message;
}

int run(const std::vector<std::string_view>& args) {
    std::string file;
    scenario::TranscriptOptions options;
    for (auto a : args) {
        if (a == "--json") options.json = true;
        else if (a == "--calls") options.calls = true;
        else if (a == "--log") options.log = true;
        else if (a.size() > 1 && a[0] == '-') return wrong(unknown_option(a, {"--json", "--calls", "--log"}));
        else if (file.empty()) file = a;
        else return wrong("run plays one scenario file, not \"" + file + "\" and \"" + std::string(a) + "\"");
    }
    if (file.empty()) return wrong("run needs a scenario file");
    const std::string name = sim::printable(file);
    try {
        auto scenario = scenario::read_scenario(file);
        // The transcript is written as the run goes, and host calls are logged only when
        // asked for: a run over a large profile makes millions of them. Only what the
        // scenario left unused is kept, for the warning at the end.
        std::vector<nlohmann::json> unused;
        std::optional<scenario::ReadableWriter> readable;
        if (!options.json) readable.emplace(std::cout, options.calls);
        quillamor_sim::LogOptions log{.calls = options.calls, .failures = options.log, .write = [&](const nlohmann::json& e) {
                                          if (readable) readable->event(e);
                                          else scenario::print_event(std::cout, e, options);
                                          if (e.value("event", "") == "unused") unused.push_back(e);
                                      }};
        // The user's steps are the readable transcript's alone: the JSON lines are the log.
        quillamor_sim::StepNote note;
        if (readable) note = [&](size_t number, const scenario::Step& step) { readable->step(number, step); };
        auto result = quillamor_sim::play(scenario, {}, log, note);
        if (readable) readable->flush();
        std::cout.flush();
        if (result.error) {
            std::cerr << "quillamor-sim: " << name << ": " << sim::printable(*result.error) << "\n";
            return 2;
        }
        if (auto warning = scenario::unused_warning(unused))
            std::cerr << "quillamor-sim: " << name << ": " << *warning << "\n";
        return 0;
    } catch (const scenario::ScenarioFileError& e) {
        std::cout.flush();
        std::cerr << "quillamor-sim: " << name << ": " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "quillamor-sim: " << name << ": cannot be played: " << sim::printable(e.what()) << "\n";
        return 2;
    }
}

int play(const std::vector<std::string_view>& args) {
    std::vector<std::string_view> files;
    for (auto a : args) {
        if (a == "--json" || a == "--calls" || a == "--log") return wrong("\"" + std::string(a) + "\" is an option of run, not of play");
        if (a.size() > 1 && a[0] == '-') return wrong(unknown_option(a, {}));
        files.push_back(a);
    }
    if (files.size() != 1) return wrong("play walks one profile file");
    return quillamor_sim::play_in_terminal(std::string(files.front()), std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    for (auto a : args)
        if (a == "--help" || a == "-h") {
            std::cout << usage_text;
            return 0;
        }
    if (args.empty()) {
        std::cerr << usage_text;
        return 2;
    }
    std::string_view command = args.front();
    std::vector<std::string_view> rest(args.begin() + 1, args.end());
    if (command == "help") {
        std::cout << usage_text;
        return 0;
    }
    if (command == "--version") {
        std::cout << "quillamor-sim " << QUILLAMOR_VERSION << "\n";
        return 0;
    }
    if (command == "run") return run(rest);
    if (command == "play") return play(rest);
    if (command == "walks") return quillamor_sim::walks_command(rest);
    if (command.size() > 1 && command[0] == '-') return wrong(unknown_option(command, {"--help", "--version"}));
    return wrong("unknown command \"" + std::string(command) + "\"; the commands are run, play and walks");
}
