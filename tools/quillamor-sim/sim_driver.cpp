#include "tools/quillamor-sim/sim_driver.h"

#include "engine/custom_list.h"
#include "engine/quick_list.h"
#include "host/text.h"
#include "scenario/play.h"
#include "tools/quillamor-sim/ribbon_callbacks.h"

namespace quillamor_sim {

namespace sc = scenario;

SimHostDriver::SimHostDriver(const sc::Scenario& scenario, const SimHostOptions& options)
    : views_(options.views ? options.views : &host_.views()) {
    host_.world().log_calls = options.log.calls;
    host_.world().log_failures = options.log.failures;
    host_.world().write_event = options.log.write;
    sc::load_into(host_, scenario);
    for (const auto& f : options.extra_faults)
        host_.fail(host::from_utf8(f.member), f.occurrence, host::from_utf8(f.object));
    new_state();
}

SimHostDriver::~SimHostDriver() {
    ribbon_.reset();
    connect_.reset();
    state_.reset();
}

// The add-in's process-wide state, pages and all, as a freshly loaded add-in has it.
void SimHostDriver::new_state() {
    state_.reset();
    state_ = std::make_unique<addin::ProcessState>(host_, *views_);
}

void SimHostDriver::begin_step(size_t number, const sc::Step& step) {
    if (step_note_) step_note_(number, step);
}

void SimHostDriver::release() {
    ribbon_.reset();
    connect_.reset();
    state_.reset();
}

addin::Connect& SimHostDriver::connected_addin() {
    if (!connect_) throw sc::not_connected();
    return *connect_;
}

// A call of the host into the add-in: a failure goes back to the host as its result.
bool SimHostDriver::host_call(const char* name, const std::function<void()>& call) {
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
void SimHostDriver::user_action(const std::function<void()>& act) {
    try {
        act();
    } catch (const host::Failure& f) {
        host::ReportFailure(host_, f);
    }
}

// A run started directly, not from a page: a failure takes down the progress window and
// is shown to the user.
void SimHostDriver::direct_run(const std::function<void()>& run) {
    user_action([&] {
        try {
            run();
        } catch (const host::Failure&) {
            state_->forms.frmPBar.unload();
            throw;
        }
    });
}

// A ribbon host asks the add-in for the explorer's ribbon right after the connection,
// and shows it once an explorer window is there.
void SimHostDriver::load_ribbon() {
    if (!host_.profile().ribbon()) return;
    std::u16string xml;
    if (!host_call("GetCustomUI", [&] { xml = connect_->GetCustomUI(sim::explorer_ribbon); })) return;
    ribbon_.emplace(host_.world_ptr(), xml);
    if (!host_.world().explorers.open.empty()) ribbon_->show(ribbon_invoker());
}

sim::RibbonInvoker SimHostDriver::ribbon_invoker() { return ribbon_callbacks(connected_addin()); }

wizard::Form* SimHostDriver::form(std::u16string_view name) {
    for (wizard::Form* form : state_->forms.all())
        if (form->name() == name) return form;
    return nullptr;
}

// A person can only act on a page that is on the screen.
void SimHostDriver::on_page(const wizard::FormDesign& page, const std::function<void(wizard::Form&)>& act) {
    wizard::Form* f = form(page.name);
    if (f && f->visible()) act(*f);
}

// ---------------------------------------------------------------- the steps

void SimHostDriver::play(const sc::Connect&) {
    if (connect_) throw sc::connected_already();
    connect_ = std::make_unique<addin::Connect>(*state_);
    // An add-in whose connection failed is not loaded: the host asks it for nothing.
    if (host_call("OnConnection", [&] {
            host::Object app = host_.application();
            connect_->OnConnection(app, 1, host::Object());
        }))
        load_ribbon();
}

void SimHostDriver::play(const sc::StartupComplete&) {
    host_call("OnStartupComplete", [&] { connected_addin().OnStartupComplete(); });
}

void SimHostDriver::play(const sc::NewExplorer&) {
    host_.new_explorer();
    if (ribbon_) ribbon_->show(ribbon_invoker());
}

void SimHostDriver::play(const sc::Disconnect&) {
    host_call("OnDisconnection", [&] { connected_addin().OnDisconnection(1); });
    ribbon_.reset();
    connect_.reset();  // the host lets go of the add-in
    // ... and the add-in's process-wide state goes with its last object, pages and all, as
    // the DLL's does; a later connection starts from a fresh one.
    new_state();
}

void SimHostDriver::play(const sc::QuickList&) {
    direct_run([&] { engine::MakeQuickList(*state_); });
}

void SimHostDriver::play(const sc::CustomList& s) {
    state_->forms.frmTitle.set_subject(host::from_utf8(s.name));
    direct_run([&] { engine::MakeCustomList(*state_); });
}

void SimHostDriver::play(const sc::Click& s) {
    connected_addin();
    bool found = false;
    user_action([&] { found = host_.click_button(host::from_utf8(s.tag)); });
    if (!found) throw sc::Unplayable("no command-bar button with the tag \"" + s.tag + "\"");
}

void SimHostDriver::play(const sc::RibbonPress& s) {
    connected_addin();
    const sim::RibbonButton* button =
        ribbon_ && ribbon_->shown() ? ribbon_->find(host::from_utf8(s.label), host::from_utf8(s.tab)) : nullptr;
    if (!button) throw sc::no_ribbon_button(s);
    ribbon_->press(*button, ribbon_invoker(), sc::explorer_window(host_, s.window));
}

void SimHostDriver::play(const sc::Press& s, const wizard::FormDesign& page) {
    on_page(page, [&](wizard::Form& f) { user_action([&] { f.press(host::from_utf8(s.control)); }); });
}

void SimHostDriver::play(const sc::Type& s, const wizard::FormDesign& page) {
    on_page(page, [&](wizard::Form& f) {
        user_action([&] { f.type(host::from_utf8(s.control), host::from_utf8(s.text)); });
    });
}

void SimHostDriver::play(const sc::Focus& s, const wizard::FormDesign& page) {
    on_page(page, [&](wizard::Form& f) { user_action([&] { f.give_focus(host::from_utf8(s.control)); }); });
}

void SimHostDriver::play(const sc::Key& s, const wizard::FormDesign& page) {
    on_page(page, [&](wizard::Form& f) { user_action([&] { f.key(host::from_utf8(s.key)); }); });
}

void SimHostDriver::play(const sc::Move& s, const wizard::FormDesign& page) {
    on_page(page, [&](wizard::Form& f) { f.move_to(static_cast<float>(s.left), static_cast<float>(s.top)); });
}

void SimHostDriver::play(const sc::Close&, const wizard::FormDesign& page) {
    on_page(page, [](wizard::Form& f) { f.close(); });
}

void SimHostDriver::play(const sc::CheckList& s) { sc::check_list(host_.profile(), s); }
void SimHostDriver::play(const sc::Select& s) { sc::select_items(host_, s); }
void SimHostDriver::play(const sc::Activate& s) { sc::activate(host_, s); }

}  // namespace quillamor_sim
