#include "tools/outlook-sim/sweep.h"

#include <windows.h>

#include <map>
#include <ostream>

#include "tools/outlook-sim/adapter.h"
#include "scenario/wholeness.h"
#include "tools/outlook-sim/player.h"

namespace outlook_sim {

namespace {

std::string lower(std::string s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool is(const nlohmann::json& e, const char* kind) { return e.value("event", "") == kind; }

}  // namespace

std::vector<SweepFault> faults_of(const std::vector<nlohmann::json>& events) {
    std::vector<SweepFault> out;
    std::map<std::string, int64_t> seen;  // member names match whatever their case
    for (const auto& e : events) {
        if (!is(e, "call")) continue;
        std::string member = e.value("member", "");
        out.push_back({e.value("object", ""), member, ++seen[lower(member)]});
    }
    return out;
}

std::vector<size_t> even_sample(size_t total, size_t count) {
    std::vector<size_t> out;
    if (count == 0 || count >= total) count = total;
    for (size_t i = 0; i < count; ++i) out.push_back(i * total / count);
    return out;
}

const char* name_of(Ending e) {
    switch (e) {
    case Ending::Shown: return "shown";
    case Ending::Returned: return "returned to the host";
    case Ending::Skipped: return "skipped";
    case Ending::NotFired: return "not made";
    case Ending::Unshown: return "NOT SHOWN";
    }
    return "?";
}

Ending ending_of(const std::vector<nlohmann::json>& events, const SweepFault& fault) {
    int64_t calls = 0;
    for (const auto& e : events)
        if (is(e, "call") && lower(e.value("member", "")) == lower(fault.member)) ++calls;
    if (calls < fault.occurrence) return Ending::NotFired;
    bool shown = false, returned = false;
    for (size_t i = 0; i < events.size(); ++i) {
        if (is(events[i], "result")) returned = true;
        if (!is(events[i], "failure")) continue;
        // The next thing the user sees is the message that tells of it.
        size_t next = i + 1;
        while (next < events.size() && is(events[next], "call")) ++next;
        if (next == events.size() || !is(events[next], "msgbox") ||
            events[next].value("text", "").rfind("Error ", 0) != 0)
            return Ending::Unshown;
        shown = true;
    }
    return shown ? Ending::Shown : returned ? Ending::Returned : Ending::Skipped;
}

int sweep(const scenario::Scenario& scenario, const std::wstring& program_folder, const SweepOptions& options,
          std::ostream& out) {
    PlayOptions with_calls;
    with_calls.calls = true;
    const PlayResult clean = play(scenario, program_folder, with_calls);
    const auto all = faults_of(clean.events);
    const auto picked = even_sample(all.size(), options.sample);
    out << "sweep: " << all.size() << " calls, " << picked.size() << " to fail\n" << std::flush;

    std::map<Ending, int> endings;
    std::map<scenario::Wholeness, int> lists;
    int alive = 0, tried = 0;
    for (size_t n = std::max<size_t>(options.from, 1); n <= picked.size(); ++n) {
        const SweepFault& fault = all[picked[n - 1]];
        scenario::Scenario sc = scenario;
        sc.faults.push_back({{"member", fault.member}, {"occurrence", fault.occurrence}});
        const long adapters_before = live_adapters();
        PlayResult r = play(sc, program_folder, with_calls);
        const Ending ending = ending_of(r.events, fault);
        // A play whose script no longer fits the questions asked is not judged.
        const scenario::Wholeness list = scenario::wholeness(clean.events, r.events, r.error.has_value());
        ++lists[list];
        const long adapters = live_adapters() - adapters_before;
        const bool left = adapters != 0 || r.live_objects != 0 || !r.still_loaded.empty();
        ++tried;
        ++endings[ending];
        alive += left ? 1 : 0;
        out << "fault " << n << "/" << picked.size() << " " << fault.object << "." << fault.member << " #"
            << fault.occurrence << ": " << name_of(ending) << ", " << scenario::name_of(list);
        if (left)
            out << "; LEFT ALIVE: " << adapters << " COM objects, " << r.live_objects << " host objects"
                << (r.still_loaded.empty() ? "" : ", the add-in's DLL");
        if (r.error) out << " (the play stopped: " << *r.error << ")";
        out << "\n" << std::flush;
    }
    out << "sweep: " << tried << " tried, " << endings[Ending::Shown] << " shown, " << endings[Ending::Returned]
        << " returned to the host, " << endings[Ending::Skipped] << " skipped, " << endings[Ending::NotFired]
        << " not made, " << endings[Ending::Unshown] << " not shown, " << alive << " left objects alive; lists: "
        << lists[scenario::Wholeness::whole] << " whole, " << lists[scenario::Wholeness::told] << " told, "
        << lists[scenario::Wholeness::nothing_made] << " none made, " << lists[scenario::Wholeness::not_judged]
        << " not judged, " << lists[scenario::Wholeness::silent_loss]
        << " lacking members untold\n"
        << std::flush;
    return endings[Ending::Unshown] || endings[Ending::NotFired] || alive || lists[scenario::Wholeness::silent_loss] ? 1
                                                                                                                     : 0;
}

}  // namespace outlook_sim
