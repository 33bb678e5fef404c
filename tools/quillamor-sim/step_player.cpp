#include "tools/quillamor-sim/step_player.h"

#include "engine/mchoose.h"
#include "engine/mtitle.h"
#include "host/sim/sim_object.h"
#include "host/text.h"
#include "tools/quillamor-sim/ribbon_callbacks.h"
#include "tools/quillamor-sim/unused.h"

namespace quillamor_sim {

StepPlayer::StepPlayer(const Scenario& sc, const std::vector<ExtraFault>& extra, const LogOptions& log) : sc_(sc) {
    host_.world().log_calls = log.calls;
    host_.world().write_event = log.write;
    host_.load_profile(sc_.profile);
    host_.add_answers(sc_.answers);
    host_.add_faults(sc_.faults);
    for (const auto& f : extra) host_.fail(host::from_utf8(f.member), f.occurrence, host::from_utf8(f.object));
    state_ = std::make_unique<addin::ProcessState>(host_, host_.views());
}

StepPlayer::~StepPlayer() {
    ribbon_.reset();
    connect_.reset();
    state_.reset();
}

PlayResult StepPlayer::finish(std::optional<std::string> error) {
    // The host releases the add-in, then the add-in is unloaded.
    ribbon_.reset();
    connect_.reset();
    state_.reset();
    if (!error)
        for (auto& e : unused_events(sc_, host_)) host_.record(std::move(e));
    host_.record(host_.world().end_event(host_.live_objects()));
    PlayResult result;
    result.events = host_.events();
    result.error = std::move(error);
    return result;
}

void StepPlayer::wrong(const std::string& what) const {
    throw ScenarioFileError("step " + std::to_string(index_) + ": " + what);
}

addin::Connect& StepPlayer::connected_addin() {
    if (!connect_) wrong("the add-in is not connected (no \"connect\" step before)");
    return *connect_;
}

// A call of the host into the add-in: a failure goes back to the host as its result.
bool StepPlayer::host_call(const char* name, const std::function<void()>& call) {
    try {
        call();
        return true;
    } catch (const host::Failure& f) {
        host_.record({{"event", "result"}, {"call", name}, {"number", f.number()},
                      {"description", host::to_utf8(f.description())}});
        return false;
    }
}

// Something the user does: a failure that reaches the top is shown to the user.
void StepPlayer::user_action(const std::function<void()>& act) {
    try {
        act();
    } catch (const host::Failure& f) {
        host::ReportFailure(host_, f);
    }
}

// A run started directly, not from a page: a failure takes down the progress window and
// is shown to the user.
void StepPlayer::direct_run(void (*run)(addin::ProcessState&)) {
    user_action([&] {
        try {
            run(*state_);
        } catch (const host::Failure&) {
            state_->forms.frmPBar.unload();
            throw;
        }
    });
}

// A ribbon host asks the add-in for the explorer's ribbon right after the connection,
// and shows it once an explorer window is there.
void StepPlayer::load_ribbon() {
    if (!host_.profile().ribbon()) return;
    std::u16string xml;
    if (!host_call("GetCustomUI", [&] { xml = connect_->GetCustomUI(sim::explorer_ribbon); })) return;
    ribbon_.emplace(host_.world_ptr(), xml);
    if (!host_.world().explorers.open.empty()) ribbon_->show(ribbon_invoker());
}

sim::RibbonInvoker StepPlayer::ribbon_invoker() { return ribbon_callbacks(connected_addin()); }

wizard::Form* StepPlayer::form(const std::string& name) {
    auto& f = state_->forms;
    if (name == "frmStartUp") return &f.frmStartUp;
    if (name == "frmChoose") return &f.frmChoose;
    if (name == "frmTitle") return &f.frmTitle;
    if (name == "frmDone") return &f.frmDone;
    if (name == "frmPBar") return &f.frmPBar;
    return nullptr;
}

wizard::Form& StepPlayer::form_with(const Step& s) {
    wizard::Form* f = form(s.form);
    if (!f) wrong("unknown form \"" + s.form + "\"");
    if (!s.control.empty() && !f->has_control(host::from_utf8(s.control)))
        wrong("form " + s.form + " has no control \"" + s.control + "\"");
    return *f;
}

void StepPlayer::step(const Step& s, size_t index) {
    index_ = index;
    const std::string& a = s.action;
    if (a == "connect") {
        if (connect_) wrong("the add-in is connected already");
        connect_ = std::make_unique<addin::Connect>(*state_);
        // An add-in whose connection failed is not loaded: the host asks it for nothing.
        if (host_call("OnConnection", [&] {
                host::Object app = host_.create_application();
                connect_->OnConnection(app, 1, host::Object());
            }))
            load_ribbon();
    } else if (a == "startupComplete") {
        host_call("OnStartupComplete", [&] { connected_addin().OnStartupComplete(); });
    } else if (a == "newExplorer") {
        host_.new_explorer();
        if (ribbon_) ribbon_->show(ribbon_invoker());
    } else if (a == "disconnect") {
        host_call("OnDisconnection", [&] { connected_addin().OnDisconnection(1); });
        ribbon_.reset();
        connect_.reset();  // the host lets go of the add-in
        // ... and the add-in's process-wide state goes with its last object, pages and all,
        // as the DLL's does; a later connection starts from a fresh one.
        state_.reset();
        state_ = std::make_unique<addin::ProcessState>(host_, host_.views());
    } else if (a == "quickList") {
        direct_run(&engine::MakeQuickList);
    } else if (a == "customList") {
        state_->forms.frmTitle.set_subject(host::from_utf8(s.name));
        direct_run(&engine::MakeCustomList);
    } else if (a == "click") {
        connected_addin();
        bool found = false;
        user_action([&] { found = host_.click_button(host::from_utf8(s.tag)); });
        if (!found) wrong("no command-bar button with the tag \"" + s.tag + "\"");
    } else if (a == "ribbon") {
        connected_addin();
        const sim::RibbonButton* button =
            ribbon_ && ribbon_->shown() ? ribbon_->find(host::from_utf8(s.label), host::from_utf8(s.tab)) : nullptr;
        if (!button) wrong("no ribbon button labelled \"" + s.label + "\"" + (s.tab.empty() ? "" : " on " + s.tab));
        ribbon_->press(*button, ribbon_invoker());
    } else {
        wizard::Form& f = form_with(s);
        // A person can only act on a page that is on the screen.
        if (!f.visible()) return;
        std::u16string control = host::from_utf8(s.control);
        if (a == "press") user_action([&] { f.press(control); });
        else if (a == "type") user_action([&] { f.type(control, host::from_utf8(s.text)); });
        else if (a == "focus") user_action([&] { f.give_focus(control); });
        else if (a == "key") user_action([&] { f.key(host::from_utf8(s.key)); });
        else if (a == "move") f.move_to(static_cast<float>(s.left), static_cast<float>(s.top));
        else if (a == "close") f.close();
    }
}

}  // namespace quillamor_sim
