#pragma once
// The add-in's process state over a substitute host, with readers for what a run did: its
// host calls, what the user saw, the progress values and the saved list.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "addin/process_state.h"
#include "host/outlook.h"
#include "host/redemption.h"
#include "host/text.h"
#include "sim/sim_host.h"

namespace engine_test {

using sim::Json;
using Strings = std::vector<std::string>;

inline std::u16string u(const char* s) { return host::from_utf8(s); }
inline std::string utf8(std::u16string_view s) { return host::to_utf8(s); }

// The substitute host's form views, plus a "move" event for every change of a form's left or
// top, so that the order in which a run places a page shows.
class MoveRecordingViews : public wizard::ViewFactory {
public:
    explicit MoveRecordingViews(sim::SimHost& host) : host_(host) {}

    std::unique_ptr<wizard::FormView> create(wizard::Form& form) override {
        return std::make_unique<View>(host_, host_.views().create(form));
    }

private:
    class View : public wizard::FormView {
    public:
        View(sim::SimHost& host, std::unique_ptr<wizard::FormView> inner) : host_(host), inner_(std::move(inner)) {}
        void loaded(wizard::Form& f) override { inner_->loaded(f); }
        void shown(wizard::Form& f) override { inner_->shown(f); }
        void hidden(wizard::Form& f) override { inner_->hidden(f); }
        void unloaded(wizard::Form& f) override { inner_->unloaded(f); }
        void refreshed(wizard::Form& f) override {
            inner_->refreshed(f);
            host_.record({{"event", "form"}, {"form", utf8(f.name())}, {"action", "refresh"}});
        }
        void changed(wizard::Form& f, const wizard::Control& c, wizard::Change what) override {
            inner_->changed(f, c, what);
        }
        void moved(wizard::Form& f) override {
            inner_->moved(f);
            host_.record({{"event", "move"},
                          {"form", utf8(f.name())},
                          {"left", static_cast<int64_t>(f.left())},
                          {"top", static_cast<int64_t>(f.top())}});
        }

    private:
        sim::SimHost& host_;
        std::unique_ptr<wizard::FormView> inner_;
    };
    sim::SimHost& host_;
};

// One event as a short line: "msgbox 0 Thank you for your time.", "form frmPBar show",
// "form frmChoose show 1500,900" (the pages a run sends the user back to, with their place),
// "move frmChoose 1500,900", "max 4", "value 2", "saved Business | Business | 2 members",
// "dialog categories Business", "display", "failure -2147467259".
inline std::string describe(const Json& e) {
    std::string kind = e["event"];
    if (kind == "msgbox") return "msgbox " + std::to_string(e["style"].get<int>()) + " " + e["text"].get<std::string>();
    if (kind == "form") {
        std::string line = "form " + e["form"].get<std::string>() + " " + e["action"].get<std::string>();
        if (e["action"] == "show" && (e["form"] == "frmChoose" || e["form"] == "frmTitle"))
            line += " " + std::to_string(e["left"].get<int64_t>()) + "," + std::to_string(e["top"].get<int64_t>());
        return line;
    }
    if (kind == "move")
        return "move " + e["form"].get<std::string>() + " " + std::to_string(e["left"].get<int64_t>()) + "," +
               std::to_string(e["top"].get<int64_t>());
    if (kind == "progress")
        return e.contains("max") ? "max " + e["max"].dump() : "value " + e["value"].dump();
    if (kind == "saved")
        return "saved " + e["subject"].get<std::string>() + " | " + e["categories"].get<std::string>() + " | " +
               std::to_string(e["members"].size()) + " members";
    if (kind == "dialog")
        return "dialog " + e["kind"].get<std::string>() + " " +
               (e["answer"].is_null() ? std::string("(cancelled)") : e["answer"].get<std::string>());
    if (kind == "display") return "display";
    if (kind == "failure") return "failure " + std::to_string(e["number"].get<int64_t>());
    return e.dump();
}

// The add-in's state as the runs find it once the host has connected the add-in: the host's
// own Application in hand.
inline std::unique_ptr<addin::ProcessState> connected_state(sim::SimHost& h, wizard::ViewFactory& views) {
    auto state = std::make_unique<addin::ProcessState>(h, views);
    state->set_application(h.application());
    return state;
}

class EngineTest : public ::testing::Test {
protected:
    void profile(const char* json) { host.load_profile(Json::parse(json)); }

    addin::ProcessState& s() { return *state; }
    wizard::Forms& forms() { return state->forms; }

    host::Application app() { return host::Application(host.application()); }
    host::MAPIFolder contacts() { return app().GetNamespace(u"MAPI").GetDefaultFolder(host::olFolderContacts); }

    // The host calls so far as "Type.Member", only those of the given members when any are given.
    Strings calls(std::initializer_list<const char*> only = {}) const {
        Strings out;
        for (const auto& e : host.events()) {
            if (e["event"] != "call") continue;
            std::string member = e["member"];
            bool wanted = only.size() == 0;
            for (const char* m : only) wanted = wanted || member == m;
            if (wanted) out.push_back(e["object"].get<std::string>() + "." + member);
        }
        return out;
    }
    // The host calls with their arguments: "Application.CreateItem 7", "SafeMailItem.Item = MailItem".
    Strings calls_with_args() const {
        Strings out;
        for (const auto& e : host.events()) {
            if (e["event"] != "call") continue;
            std::string line = e["object"].get<std::string>() + "." + e["member"].get<std::string>();
            if (e["kind"] == "put") line += " =";
            for (const auto& a : e["args"]) line += " " + (a.is_object() ? a["object"].get<std::string>() : a.dump());
            out.push_back(line);
        }
        return out;
    }
    // What the user saw and the store kept, one line per event.
    Strings effects() const {
        Strings out;
        for (const auto& e : host.effects()) out.push_back(describe(e));
        return out;
    }
    std::vector<Json> events(const std::string& kind) const {
        std::vector<Json> out;
        for (const auto& e : host.events())
            if (e["event"] == kind) out.push_back(e);
        return out;
    }
    std::vector<double> progress_values() const {
        std::vector<double> out;
        for (const auto& e : events("progress"))
            if (e.contains("value")) out.push_back(e["value"].get<double>());
        return out;
    }
    // The members of the one list the run saved.
    Strings saved_members() const {
        auto saved = events("saved");
        EXPECT_EQ(saved.size(), 1u);
        return saved.empty() ? Strings{} : saved.back()["members"].get<Strings>();
    }
    std::vector<std::string> messages() const {
        Strings out;
        for (const auto& e : events("msgbox")) out.push_back(e["text"]);
        return out;
    }

    // The run released every host object it got; only the host's application stays with the
    // process state, and goes with it (then it is handed over again, for a next run).
    void expect_nothing_alive() {
        state->release_application();
        EXPECT_EQ(host.live_objects(), 0);
        state->set_application(host.application());
    }

    // The counters and the answer as an earlier run left them; a run sent back early must
    // keep them.
    void set_earlier_run_state() {
        s().ItemTotal = 42;
        s().ProgressCount = 7;
        s().AllEmails = host::True;
    }
    void expect_earlier_run_state_kept() {
        EXPECT_EQ(s().ItemTotal, 42);
        EXPECT_EQ(s().ProgressCount, 7);
        EXPECT_EQ(s().AllEmails, host::True);
    }

    sim::SimHost host;
    MoveRecordingViews views{host};
    std::unique_ptr<addin::ProcessState> state = connected_state(host, views);
};

// Plays a run once without faults, then once more for every host call it made, failing that
// call: the run may end early, but never with anything other than a host failure, and it
// leaves no host object alive. `setup` prepares a fresh host and state, `run` plays the run
// and `check` looks at the outcome (whether the run raised a failure).
template <class Setup, class Run, class Check>
size_t sweep_faults(Setup setup, Run run, Check check) {
    struct Call {
        std::u16string member, object;
        int64_t occurrence;
    };
    std::vector<Call> plan;
    {
        sim::SimHost h;
        addin::ProcessState st(h, h.views());
        st.set_application(h.application());
        setup(h, st);
        run(st);
        std::map<std::string, int64_t> seen;
        for (const auto& e : h.events()) {
            if (e["event"] != "call") continue;
            std::string object = e["object"], member = e["member"];
            plan.push_back({host::from_utf8(member), host::from_utf8(object), ++seen[object + "." + member]});
        }
    }
    for (const auto& c : plan) {
        sim::SimHost h;
        addin::ProcessState st(h, h.views());
        st.set_application(h.application());
        setup(h, st);
        h.fail(c.member, c.occurrence, c.object);
        bool raised = false;
        try {
            run(st);
        } catch (const host::Failure&) {
            raised = true;
        }
        std::string what = utf8(c.object) + "." + utf8(c.member) + " call " + std::to_string(c.occurrence);
        SCOPED_TRACE(what);
        check(h, st, raised);
        st.release_application();
        EXPECT_EQ(h.live_objects(), 0);
    }
    return plan.size();
}

}  // namespace engine_test
