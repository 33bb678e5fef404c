// outlook-sim: plays the mail host for the real add-in under Windows (or Wine).
//   outlook-sim SCENARIO.json [--json] [--calls] [--counts FILE] [--timings FILE] [--ribbon-xml FILE]
//   outlook-sim --face PICTURE
//   outlook-sim SCENARIO.json --sweep [--sample N] [--from K]
//   outlook-sim --batch LIST --out DIR [--rounds R]
// Prints the same transcript as `quillamor-sim run`. --counts writes what the add-in asked of
// the host's objects (GetIDsOfNames and Invoke by type and member), the objects left alive
// and the add-in DLLs that could not be unloaded, as one JSON object; --timings how long each step took (see PlayResult::timings);
// --ribbon-xml the ribbon XML that the add-in returned (for checking against the host's schema).
// --face prints the button face the add-in makes of a picture. --sweep fails each call the
// add-in makes of the host in turn (N of them, evenly spread, from the Kth on) and prints how
// each run ended (see sweep.h). --batch plays every scenario of a list file, R rounds, in this
// one process, each transcript into DIR (see batch.h). --crash-on MEMBER[#N] makes that call of
// the add-in's fault as a wild pointer would, to show what a dying host does (see crash.h).
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iostream>
#include <string>

#include "host/com/bstr.h"
#include "host/text.h"
#include "tools/outlook-sim/adapter.h"
#include "tools/outlook-sim/batch.h"
#include "tools/outlook-sim/crash.h"
#include "tools/outlook-sim/face.h"
#include "tools/outlook-sim/player.h"
#include "tools/outlook-sim/sweep.h"
#include "scenario/transcript.h"
#include "scenario/unused.h"

namespace {

std::string narrow(const wchar_t* text) { return host::to_utf8(host::com::from_wide(text)); }

int usage() {
    std::cerr << "usage: outlook-sim SCENARIO.json [--json] [--calls] [--counts FILE] [--timings FILE] [--ribbon-xml FILE]\n"
                 "       outlook-sim --face PICTURE\n"
                 "       outlook-sim SCENARIO.json --sweep [--sample N] [--from K]\n"
                 "       outlook-sim --batch LIST --out DIR [--rounds R]\n"
                 "  any of them with --crash-on MEMBER[#N] and --require-signed\n";
    return 2;
}

std::wstring program_folder() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return path.substr(0, path.find_last_of(L"\\/"));
}

void write_counts(const std::wstring& file, const outlook_sim::PlayResult& result) {
    using nlohmann::json;
    auto list = [](const auto& counts) {
        json out = json::array();
        for (const auto& [key, n] : counts)
            out.push_back({{"type", host::to_utf8(key.first)}, {"member", host::to_utf8(key.second)}, {"count", n}});
        return out;
    };
    const auto& counts = outlook_sim::call_counts();
    json still_loaded = json::array();
    for (const auto& f : result.still_loaded) still_loaded.push_back(narrow(f.c_str()));
    json j = {{"getIDsOfNames", list(counts.ids)},
              {"invoke", list(counts.invokes)},
              {"liveAdapters", result.live_adapters},
              {"stillLoaded", still_loaded},
              {"liveObjects", result.live_objects}};
    std::ofstream out(std::filesystem::path(file), std::ios::binary);
    out << j.dump() << '\n';
}

// COM for the thread, as the mail host's user-interface thread has it.
struct OleThread {
    HRESULT hr = OleInitialize(nullptr);
    ~OleThread() {
        if (SUCCEEDED(hr)) OleUninitialize();
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Lines end in "\n" alone, as the native player's do.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    std::wstring file, counts, timings, face, ribbon_xml, batch, out_dir, crash_on;
    unsigned rounds = 1;
    bool require_signed = false;
    scenario::TranscriptOptions options;
    bool sweeping = false;
    outlook_sim::SweepOptions sweep_options;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"--json") options.json = true;
        else if (a == L"--calls") options.calls = true;
        else if (a == L"--counts" && i + 1 < argc) counts = argv[++i];
        else if (a == L"--timings" && i + 1 < argc) timings = argv[++i];
        else if (a == L"--face" && i + 1 < argc) face = argv[++i];
        else if (a == L"--sweep") sweeping = true;
        else if (a == L"--sample" && i + 1 < argc) sweep_options.sample = std::wcstoul(argv[++i], nullptr, 10);
        else if (a == L"--from" && i + 1 < argc) sweep_options.from = std::wcstoul(argv[++i], nullptr, 10);
        else if (a == L"--ribbon-xml" && i + 1 < argc) ribbon_xml = argv[++i];
        else if (a == L"--batch" && i + 1 < argc) batch = argv[++i];
        else if (a == L"--out" && i + 1 < argc) out_dir = argv[++i];
        else if (a == L"--rounds" && i + 1 < argc) rounds = static_cast<unsigned>(std::wcstoul(argv[++i], nullptr, 10));
        else if (a == L"--crash-on" && i + 1 < argc) crash_on = argv[++i];
        else if (a == L"--require-signed") require_signed = true;
        else if (file.empty() && a.rfind(L"--", 0) != 0) file = a;
        else return usage();
    }
    if (!batch.empty() && (out_dir.empty() || !file.empty() || !face.empty() || rounds == 0)) return usage();
    if (batch.empty() && file.empty() == face.empty()) return usage();
    const std::string name = narrow((batch.empty() ? file : batch).c_str());
    outlook_sim::end_at_a_crash();
    outlook_sim::now_playing(name.c_str());
    // The call that is to crash: MEMBER, or MEMBER#N for its Nth call.
    std::u16string crash_member = host::com::from_wide(crash_on.c_str());
    int64_t crash_occurrence = 1;
    if (auto hash = crash_member.find(u'#'); hash != std::u16string::npos) {
        crash_occurrence = std::wcstoll(crash_on.c_str() + hash + 1, nullptr, 10);
        crash_member.resize(hash);
    }

    OleThread ole;
    if (FAILED(ole.hr)) {
        std::cerr << "outlook-sim: COM cannot be started\n";
        return 2;
    }
    if (!face.empty()) return outlook_sim::print_face(face);
    try {
        if (!batch.empty())
            return outlook_sim::play_batch({.scenarios = outlook_sim::read_list(std::filesystem::path(batch)),
                                            .out_dir = std::filesystem::path(out_dir),
                                            .rounds = rounds,
                                            .crash_member = crash_member,
                                            .crash_occurrence = crash_occurrence},
                                           program_folder(), std::cout);
        auto scenario = scenario::read_scenario(std::filesystem::path(file));
        if (sweeping) return outlook_sim::sweep(scenario, program_folder(), sweep_options, std::cout);
        // The transcript is written step by step, so that a host that dies leaves what it had.
        outlook_sim::PlayOptions play_options;
        play_options.calls = options.calls;
        play_options.ribbon_xml = ribbon_xml;
        play_options.write = [&options](std::span<const nlohmann::json> events) {
            for (const auto& e : events) scenario::print_event(std::cout, e, options);
            std::cout.flush();
        };
        play_options.crash_member = crash_member;
        play_options.require_signed = require_signed;
        play_options.crash_occurrence = crash_occurrence;
        auto result = outlook_sim::play(scenario, program_folder(), play_options);
        if (!counts.empty()) write_counts(counts, result);
        if (!timings.empty()) std::ofstream(std::filesystem::path(timings), std::ios::binary) << result.timings.dump() << '\n';
        if (result.error) {
            std::cerr << "outlook-sim: " << name << ": " << *result.error << "\n";
            return 2;
        }
        if (auto warning = scenario::unused_warning(result.events))
            std::cerr << "outlook-sim: " << name << ": " << *warning << "\n";
        return 0;
    } catch (const scenario::ScenarioFileError& e) {
        std::cout.flush();
        std::cerr << "outlook-sim: " << name << ": " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "outlook-sim: " << name << ": cannot be played: " << e.what() << "\n";
        return 2;
    }
}
