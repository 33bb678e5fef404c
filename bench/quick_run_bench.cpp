// The quick run over generated profiles of a given number of contacts, on the substitute
// host: time and host calls per contact, which should not grow with the profile (the calls
// also without those a run makes whatever the profile holds). Run with
// the call log off (the log keeps every call as an event and would measure itself), and once
// with it on for the smallest profile. The largest profile runs once.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "addin/process_state.h"
#include "engine/quick_list.h"
#include "host/text.h"
#include "sim/sim_host.h"

namespace {

// A profile like an office's: most contacts in the default Contacts folder, the rest in three
// subfolders and in a subfolder of the first (which the run does not reach); one to three
// addresses each, a few shared between contacts; one or two of four categories each, and a
// distribution list now and then. The same number always gives the same profile.
sim::Profile make_profile(int contacts) {
    sim::Profile p = sim::default_profile();
    auto root = p.contacts();
    std::shared_ptr<sim::Folder> subs[3];
    for (int i = 0; i < 3; ++i) {
        subs[i] = std::make_shared<sim::Folder>();
        subs[i]->name = u"Group " + host::decimal(i + 1);
        subs[i]->item_type = 2;
        root->folders.push_back(subs[i]);
    }
    auto archive = std::make_shared<sim::Folder>();
    archive->name = u"Archive";
    archive->item_type = 2;
    subs[0]->folders.push_back(archive);

    uint32_t seed = 12345;
    auto next = [&seed](uint32_t below) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % below;
    };
    const char16_t* categories[] = {u"Business", u"Personal", u"VIP", u"Key Customer"};
    for (int i = 0; i < contacts; ++i) {
        auto item = std::make_shared<sim::Item>();
        auto& f = item->current.fields;
        std::u16string n = host::decimal(i);
        f[u"FullName"] = next(20) == 0 ? u"" : u"Contact " + n;
        f[u"CompanyName"] = u"Company " + host::decimal(i % 50);
        f[u"Email1Address"] = next(20) == 0 ? u"shared" + host::decimal(i % 10) + u"@example.org"
                                            : u"c" + n + u"@example.com";
        if (next(100) < 40) f[u"Email2Address"] = u"c" + n + u".home@example.net";
        if (next(100) < 15) f[u"Email3Address"] = u"c" + n + u".club@example.org";
        uint32_t first = next(4);
        item->current.categories = categories[first];
        if (next(100) < 30) item->current.categories += std::u16string(u", ") + categories[(first + 1 + next(3)) % 4];

        uint32_t where = next(100);
        auto folder = where < 70 ? root : where < 80 ? subs[0] : where < 90 ? subs[1] : where < 97 ? subs[2] : archive;
        folder->items.push_back(item);
        if (i % 50 == 49) {
            auto list = std::make_shared<sim::Item>();
            list->current.cls = 69;
            list->current.fields[u"Subject"] = u"List " + n;
            list->current.categories = u"Business";
            root->items.push_back(list);
        }
    }
    return p;
}

// The same profile in a mailbox of Microsoft 365 (version 16): below Contacts also the hidden
// system folders, holding `hidden` contacts that carry no category, as the server makes them
// (most in the Recipient Cache), and two that are empty.
sim::Profile make_mailbox(int contacts, int hidden) {
    sim::Profile p = make_profile(contacts);
    p.version = u"16.0.17928.20114";
    const std::pair<const char16_t*, int> system[] = {{u"Recipient Cache", hidden * 6 / 10},
                                                      {u"GAL Contacts", hidden * 3 / 10},
                                                      {u"Organizational Contacts", hidden - hidden * 6 / 10 - hidden * 3 / 10},
                                                      {u"PeopleCentricConversation Buddies", 0},
                                                      {u"Companies", 0}};
    int n = 0;
    for (const auto& [name, count] : system) {
        auto folder = std::make_shared<sim::Folder>();
        folder->name = name;
        folder->item_type = 2;
        folder->hidden = true;
        for (int i = 0; i < count; ++i, ++n) {
            auto item = std::make_shared<sim::Item>();
            item->current.fields[u"FullName"] = u"Person " + host::decimal(n);
            item->current.fields[u"Email1Address"] = u"p" + host::decimal(n) + u"@contoso.example";
            folder->items.push_back(item);
        }
        p.contacts()->folders.push_back(folder);
    }
    return p;
}

struct Run {
    std::unique_ptr<sim::SimHost> host = std::make_unique<sim::SimHost>();
    std::unique_ptr<addin::ProcessState> process;

    Run(int contacts, bool log_calls) : Run(make_profile(contacts), log_calls) {}
    Run(sim::Profile profile, bool log_calls) {
        host->set_profile(std::move(profile));
        host->world().log_calls = log_calls;
        host->answer_categories(u"Business, VIP");
        host->answer_msgbox(false);  // every address
        process = std::make_unique<addin::ProcessState>(*host, host->views());
        process->set_application(host->application());
    }
    void play() { engine::MakeQuickList(*process); }
};

// The calls a run makes whatever the profile holds: its items, dialogs, pages and the list.
uint64_t fixed_calls() {
    Run run(0, false);
    run.play();
    return run.host->world().call_count();
}

// One run an iteration, only the run itself timed: the host calls and the list's members of
// the last one.
template <class MakeRun>
std::pair<uint64_t, size_t> timed_runs(benchmark::State& state, MakeRun make_run) {
    uint64_t calls = 0;
    size_t members = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Run> run = make_run();
        state.ResumeTiming();

        run->play();

        state.PauseTiming();
        calls = run->host->world().call_count();
        for (const auto& e : run->host->events())
            if (e["event"] == "saved") members = e["members"].size();
        run.reset();
        state.ResumeTiming();
    }
    return {calls, members};
}

void QuickRun(benchmark::State& state) {
    const int contacts = static_cast<int>(state.range(0));
    const bool log_calls = state.range(1) != 0;
    const auto [calls, members] = timed_runs(state, [&] { return std::make_unique<Run>(contacts, log_calls); });
    state.counters["contacts"] = contacts;
    state.counters["members"] = static_cast<double>(members);
    state.counters["calls_per_contact"] = static_cast<double>(calls) / contacts;
    state.counters["beyond_fixed"] = static_cast<double>(calls - fixed_calls()) / contacts;
    state.counters["time_per_contact"] = benchmark::Counter(
        contacts, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The quick run in a mailbox of Microsoft 365: `contacts` as above (the categorised ones) and
// `hidden` more in the hidden system folders. The calls per categorised contact, and what the
// hidden folders cost beyond the same mailbox with them empty (listing them: their mark read).
void QuickRunMailbox(benchmark::State& state) {
    const int contacts = static_cast<int>(state.range(0)), hidden = static_cast<int>(state.range(1));
    const auto [calls, members] =
        timed_runs(state, [&] { return std::make_unique<Run>(make_mailbox(contacts, hidden), false); });
    const auto calls_of = [](sim::Profile p) {
        Run run(std::move(p), false);
        run.play();
        return run.host->world().call_count();
    };
    state.counters["contacts"] = contacts;
    state.counters["hidden"] = hidden;
    state.counters["members"] = static_cast<double>(members);
    state.counters["calls_per_contact"] = static_cast<double>(calls) / contacts;
    state.counters["hidden_calls"] = static_cast<double>(calls - calls_of(make_mailbox(contacts, 0)));
    state.counters["listing_calls"] = static_cast<double>(calls - calls_of([&] {
        sim::Profile p = make_profile(contacts);
        p.version = u"16.0.17928.20114";
        return p;
    }()));
}

BENCHMARK(QuickRunMailbox)->ArgNames({"contacts", "hidden"})->Args({5000, 20000})->Unit(benchmark::kMillisecond);

BENCHMARK(QuickRun)
    ->ArgNames({"contacts", "log"})
    ->Args({100, 0})
    ->Args({200, 0})
    ->Args({1000, 0})
    ->Args({2000, 0})
    ->Args({5000, 0})
    ->Args({10000, 0})
    ->Args({100, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(QuickRun)->ArgNames({"contacts", "log"})->Args({50000, 0})->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
