#include "tools/quillamor-sim/walks.h"

#include <random>

#include "addin/commands.h"
#include "host/text.h"
#include "scenario/play.h"
#include "sim/model/interactive.h"
#include "sim/model/restrict.h"
#include "tools/quillamor-sim/sim_driver.h"
#include "wizard/form.h"
#include "wizard/form_designs.h"

namespace quillamor_sim {

namespace {

using nlohmann::json;

// A person answering the dialogs at random, who writes down each answer as a scenario's
// answers list has it.
class RandomUser : public sim::AnswerProvider {
public:
    explicit RandomUser(std::mt19937_64& rng) : rng_(rng) {}

    json answers = json::array();

    std::optional<std::u16string> categories(const std::vector<std::u16string>& available,
                                             std::u16string_view separator) override {
        std::optional<std::u16string> pick;
        if (chance(0.85) && !tired()) {
            std::vector<std::u16string> picked;
            for (const auto& c : available)
                if (chance(0.4)) picked.push_back(c);
            std::u16string text = sim::join_categories(picked, separator);
            if (text.empty() && !available.empty() && chance(0.9)) text = available[index(available.size())];
            if (chance(0.05)) text = u"Nobody";  // a category no contact has
            pick = text;
        }
        answers.push_back({{"categories", pick ? json(host::to_utf8(*pick)) : json(nullptr)}});
        return pick;
    }

    std::shared_ptr<sim::Folder> pick_folder(const std::vector<std::shared_ptr<sim::Folder>>& tree) override {
        std::vector<std::shared_ptr<sim::Folder>> all;
        std::vector<std::u16string> paths;
        collect(tree, u"", all, paths);
        std::shared_ptr<sim::Folder> pick;
        json answer = nullptr;
        if (!all.empty() && chance(0.85) && !tired()) {
            size_t i = index(all.size());
            pick = all[i];
            answer = host::to_utf8(paths[i]);
        }
        answers.push_back({{"pickFolder", answer}});
        return pick;
    }

    int32_t msgbox(std::u16string_view, int32_t style, std::u16string_view) override {
        if ((style & 15) == 0) return 1;  // OK alone: nothing to choose, no answer used
        // Questions that loop (another category?) end after a few rounds.
        bool yes = !tired() && chance(0.5);
        if (!yes && (style & 15) == 3 && chance(0.3)) {  // Yes, No and Cancel
            answers.push_back({{"msgbox", "Cancel"}});
            return 2;
        }
        answers.push_back({{"msgbox", yes ? "Yes" : "No"}});
        return yes ? 6 : 7;
    }

private:
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    size_t index(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
    bool tired() const { return answers.size() > 12; }

    static void collect(const std::vector<std::shared_ptr<sim::Folder>>& folders, const std::u16string& parent,
                        std::vector<std::shared_ptr<sim::Folder>>& all, std::vector<std::u16string>& paths) {
        for (const auto& f : folders) {
            std::u16string path = parent.empty() ? f->name : parent + u"/" + f->name;
            all.push_back(f);
            paths.push_back(path);
            collect(f->folders, path, all, paths);
        }
    }

    std::mt19937_64& rng_;
};

// A step someone could take now, and how likely it is to be the one taken.
struct Choice {
    json step;
    double weight;
};

// What a person might type into a text box.
const char* const typed_texts[] = {"VIP clients", " ", "Team 2027", "a", "O'Brien & \"Co\"",
                                   "\xC3\x9Cn\xC3\xAF c\xC3\xB8" "d\xC3\xA9 \xE5\x90\x8D\xE5\x89\x8D", ""};

class Walker {
public:
    Walker(const json& profile, uint64_t seed) : rng_(seed), user_(rng_) {
        scenario_.file = "walk.json";
        scenario_.profile = profile;
    }

    Walk walk(size_t max_steps) {
        SimHostDriver driver(scenario_, {.extra_faults = {}, .log = {.calls = false, .write = {}}, .views = nullptr});
        driver.host().set_interactive(&user_);
        json steps = json::array();
        size_t started = 0;
        while (steps.size() < max_steps) {
            std::vector<Choice> choices = choices_now(driver);
            if (choices.empty()) break;
            const json& step = pick(choices);
            try {
                scenario::play_step(scenario::read_step(step, "steps[" + std::to_string(steps.size() + 1) + "]"), driver);
            } catch (const scenario::Unplayable&) {
                // Not there after all (a button the add-in did not place): nothing happened.
                if (++started > 4 * max_steps) break;
                continue;
            }
            steps.push_back(step);
            note(step);
            if (chance(0.03)) break;
        }
        scenario::finish(scenario_, driver, std::nullopt, steps.size());
        return {{{"profile", scenario_.profile}, {"answers", user_.answers}, {"steps", steps}}, driver.host().events()};
    }

private:
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    size_t index(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }

    const json& pick(const std::vector<Choice>& choices) {
        double total = 0;
        for (const auto& c : choices) total += c.weight;
        double at = std::uniform_real_distribution<double>(0, total)(rng_);
        for (const auto& c : choices)
            if ((at -= c.weight) <= 0) return c.step;
        return choices.back().step;
    }

    void note(const json& step) {
        const std::string what = step["do"];
        if (what == "connect") ++connections_, started_up_ = false;
        if (what == "startupComplete") started_up_ = true;
    }

    std::vector<Choice> choices_now(SimHostDriver& p) {
        std::vector<Choice> out;
        if (!p.connected()) {
            // The host loads the add-in again at most once more after letting it go.
            if (connections_ < 2) out.push_back({{{"do", "connect"}}, 1});
            return out;
        }
        if (!started_up_) out.push_back({{{"do", "startupComplete"}}, 0.3});
        out.push_back({{{"do", "newExplorer"}}, 0.15});
        out.push_back({{{"do", "disconnect"}}, 0.25});
        if (p.ribbon() && p.ribbon()->shown()) {
            out.push_back({{{"do", "ribbon"}, {"label", "Quillamor Wizard"}}, 1});
            out.push_back({{{"do", "ribbon"}, {"label", "About Quillamor"}}, 0.15});
            // A list of the store selected (or nothing), and Update List pressed on it.
            const std::vector<std::string> lists = saved_lists(p.host().profile());
            if (!lists.empty())
                out.push_back({{{"do", "select"}, {"items", json::array({lists[index(lists.size())]})}}, 0.3});
            out.push_back({{{"do", "select"}, {"items", json::array()}}, 0.05});
            out.push_back({{{"do", "ribbon"}, {"label", "Update List"}}, 0.3});
        } else if (!p.host().profile().ribbon()) {
            for (const auto* c : {&addin::toolbar_command, &addin::menu_command})
                out.push_back({{{"do", "click"}, {"tag", host::to_utf8(c->tag)}}, 0.6});
            out.push_back({{{"do", "click"}, {"tag", host::to_utf8(addin::about_command.tag)}}, 0.15});
        }
        for (const auto& page : wizard::form_designs()) {
            wizard::Form* f = p.form(page.name);
            if (!f || !f->visible()) continue;
            page_choices(*f, host::to_utf8(page.name), out);
        }
        return out;
    }

    static std::vector<std::string> saved_lists(const sim::Profile& store) {
        std::vector<std::string> out;
        for (const auto& item : store.stored_lists()) out.push_back(host::to_utf8(item->stored->field(u"Subject")));
        return out;
    }

    void page_choices(wizard::Form& f, const std::string& name, std::vector<Choice>& out) {
        using wizard::Kind;
        for (const wizard::Control& c : f.controls()) {
            if (!c.visible || !c.enabled) continue;
            const std::string control = host::to_utf8(c.name);
            const bool help = control == "cmdHelp";
            switch (c.kind) {
            case Kind::Button:
            case Kind::Option:
            case Kind::Link:
                out.push_back({{{"do", "press"}, {"form", name}, {"control", control}}, help || c.kind == Kind::Link ? 0.2 : 1});
                break;
            case Kind::TextBox: {
                std::string text = typed_texts[index(std::size(typed_texts))];
                if (host::from_utf8(text) == c.text) text += "x";  // a change, not the same text again
                out.push_back({{{"do", "type"}, {"form", name}, {"control", control}, {"text", text}}, 1.5});
                break;
            }
            default: break;
            }
            if (c.kind == Kind::Button || c.kind == Kind::Option || c.kind == Kind::TextBox)
                out.push_back({{{"do", "focus"}, {"form", name}, {"control", control}}, 0.1});
            // The access key of a caption ("&Next >": Alt+N).
            if (auto amp = c.text.find(u'&'); amp != std::u16string::npos && amp + 1 < c.text.size()) {
                char16_t letter = c.text[amp + 1];
                if (letter < 128 && std::isalpha(static_cast<int>(letter)))
                    out.push_back({{{"do", "key"}, {"form", name},
                                    {"key", std::string("Alt+") + static_cast<char>(std::toupper(static_cast<int>(letter)))}},
                                   0.2});
            }
        }
        out.push_back({{{"do", "key"}, {"form", name}, {"key", "Enter"}}, 0.5});
        out.push_back({{{"do", "key"}, {"form", name}, {"key", chance(0.5) ? "Tab" : "Shift+Tab"}}, 0.2});
        out.push_back({{{"do", "key"}, {"form", name}, {"key", "Alt+Q"}}, 0.05});  // no such key
        out.push_back({{{"do", "close"}, {"form", name}}, 0.4});
        // Whole pixels, as a window system places windows.
        out.push_back({{{"do", "move"}, {"form", name}, {"left", 15 * static_cast<int>(index(600))},
                        {"top", 15 * static_cast<int>(index(400))}},
                       0.1});
    }

    std::mt19937_64 rng_;
    RandomUser user_;
    scenario::Scenario scenario_;
    int connections_ = 0;
    bool started_up_ = false;
};

}  // namespace

uint64_t walk_seed(uint64_t seed, size_t index) {
    std::seed_seq seq{static_cast<uint32_t>(seed), static_cast<uint32_t>(seed >> 32), static_cast<uint32_t>(index)};
    uint64_t out[1];
    uint32_t words[2];
    seq.generate(words, words + 2);
    out[0] = (static_cast<uint64_t>(words[0]) << 32) | words[1];
    return out[0];
}

Walk generate_walk(const json& base, const WalkOptions& options) {
    std::mt19937_64 rng(options.seed);
    std::uniform_real_distribution<double> u(0, 1);
    json profile = base;
    // Half the walks on a ribbon host of 2010 and later, half on a command-bar host.
    profile["version"] = u(rng) < 0.5 ? "16.0" : "11.0";
    if (u(rng) < 0.15) profile["explorer"] = false;
    return Walker(profile, rng()).walk(options.max_steps);
}

}  // namespace quillamor_sim
