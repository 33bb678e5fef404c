// The walk-through's session: the add-in connected over the substitute host, its run and its shutdown.
#include "tools/quillamor-sim/play_session.h"

#include <exception>

#include "host/failure.h"
#include "host/text.h"
#include "tools/quillamor-sim/ribbon_callbacks.h"
#include "scenario/scenario.h"

namespace quillamor_sim::play {

namespace {

// The add-in's toolbar button, found by its tag as the add-in itself finds it.
constexpr std::u16string_view wizard_button_tag = u"QuillamorWiz";
// Its button on a ribbon host, found by its label as a person finds it.
constexpr std::u16string_view wizard_button_label = u"Quillamor Wizard";

}  // namespace

Session::Session(const json& profile) {
    host_.load_profile(profile);
    // Only what a person sees is kept: the calls would pile up over a long walk.
    host_.world().log_calls = false;
    state_ = std::make_unique<addin::ProcessState>(host_, *this);
}

Session::~Session() {
    host_.set_interactive(nullptr);
    ribbon_.reset();
    connect_.reset();
    state_.reset();
}

// The host loads the add-in, asks a ribbon host's add-in for its ribbon, and opens its window
// if the profile starts without one; the window shows the ribbon.
void Session::connect() {
    connect_ = std::make_unique<addin::Connect>(*state_);
    if (host_call([&] {
            host::Object app = host_.create_application();
            connect_->OnConnection(app, 1, host::Object());
        }))
        load_ribbon();
    host_call([&] { connect_->OnStartupComplete(); });
    if (host_.world().explorers.open.empty()) host_.new_explorer();
    if (ribbon_ && !ribbon_->shown()) act([&] { ribbon_->show(ribbon_callbacks(*connect_)); });
}

void Session::load_ribbon() {
    if (!host_.profile().ribbon()) return;
    std::u16string xml;
    if (!host_call([&] { xml = connect_->GetCustomUI(sim::explorer_ribbon); })) return;
    act([&] { ribbon_.emplace(host_.world_ptr(), xml); });
}

void Session::run(Screen& screen) {
    // The person and the screen are there only for as long as this runs, however it ends.
    struct Attached {
        Attached(Session& s, Screen& screen) : s_(s) {
            s_.screen_ = &screen;
            s_.host_.set_interactive(&s_);
        }
        ~Attached() {
            s_.host_.set_interactive(nullptr);
            s_.screen_ = nullptr;
        }
        Session& s_;
    } attached(*this, screen);
    try {
        connect();
        for (;;) {
            settle_focus();
            draw();
            screen.show();
            Key k = screen.read_key();
            if (k.type == T::Resize) continue;
            // Keys for a page that the person cannot see do nothing, but leaving.
            if (too_small() && k.type != T::Interrupt && !k.is(U'q')) continue;
            status_.clear();
            handle(k);
        }
    } catch (const Leave&) {
        // The person left; whatever was running has been unwound.
    }
}

// The host lets go of the add-in: it removes its buttons, then the add-in is released.
void Session::shut_down() {
    host_.set_interactive(nullptr);
    ribbon_.reset();
    if (connect_) {
        host_call([&] { connect_->OnBeginShutdown(); });
        host_call([&] { connect_->OnDisconnection(1); });
    }
    connect_.reset();
    state_.reset();
}

// --- the forms' views
std::unique_ptr<wizard::FormView> Session::create(Form& form) {
    return std::make_unique<TapView>(host_.views().create(form), *this);
}
void Session::form_shown(Form& f) {
    std::erase(stack_, &f);
    stack_.push_back(&f);
}
void Session::form_gone(Form& f) { std::erase(stack_, &f); }
// The progress window is only drawn when the run says so: redraw at once, the run holds
// the thread until it ends.
void Session::form_repainted(Form& f) {
    if (f.visible()) repaint();
}
void Session::form_changed(Form& f, const Control& c, Change what) {
    if (c.kind == Kind::ProgressBar && (what == Change::Value || what == Change::Max) && f.visible()) repaint();
}

// A call of the host into the add-in: a failure goes back to the host, which says so.
bool Session::host_call(const std::function<void()>& call) {
    try {
        call();
        return true;
    } catch (const host::Failure& f) {
        status_.push_back(u"The host's call into the add-in failed: Error " + host::decimal(f.number()) + u": " +
                          f.description());
        return false;
    }
}

// Something the person does: a failure that reaches the top is shown to the person.
void Session::act(const std::function<void()>& action) {
    try {
        action();
    } catch (const host::Failure& f) {
        host::ReportFailure(host_, f);
    } catch (const sim::ScenarioError& e) {
        status_.push_back(u"The substitute host cannot go on: " + host::from_utf8(e.what()));
    }
}

// The add-in's button on the active window's "Standard" toolbar (null when it has none).
std::shared_ptr<sim::ControlModel> Session::wizard_button() {
    auto& windows = host_.world().explorers.open;
    if (windows.empty()) return nullptr;
    auto set = sim::command_bars_of(host_.world(), *windows.back());
    auto button = sim::control_tagged(*set, wizard_button_tag, sim::control_button);
    return button && button->visible && !button->deleted ? button : nullptr;
}

// The add-in's wizard button on a ribbon host's ribbon (null when it shows none).
const sim::RibbonButton* Session::ribbon_wizard_button() const {
    return ribbon_ && ribbon_->shown() ? ribbon_->find(wizard_button_label) : nullptr;
}

// The person clicks the wizard's button: on a ribbon host the host calls the button's
// onAction, on a toolbar it fires the button's Click event.
void Session::click_wizard_button() {
    if (ribbon_) {
        const sim::RibbonButton* button = ribbon_wizard_button();
        if (!button) status_.push_back(u"The ribbon has no Quillamor Wizard button to press.");
        else act([&] { ribbon_->act(*button, ribbon_callbacks(*connect_)); });
        return;
    }
    act([&] {
        if (!host_.click_button(wizard_button_tag))
            status_.push_back(u"The Standard toolbar has no Quillamor button to click.");
    });
}

Form* Session::active() {
    while (!stack_.empty() && !stack_.back()->visible()) stack_.pop_back();
    return stack_.empty() ? nullptr : stack_.back();
}

// A page shown again keeps the focus where it last was, even on a control that its run has
// since disabled (the name page's Next once the name was cleared); typed letters would then
// go to the buttons' access keys. The focus goes where a person would start typing: the
// page's text box, or else its first button that can be pressed.
void Session::settle_focus() {
    Form* f = active();
    if (!f) return;
    const Control* focused = control(*f, f->focus());
    if (focused && focused->visible && focused->enabled) return;
    std::u16string target;
    for (const auto& c : f->controls())
        if (c.kind == Kind::TextBox && c.visible && c.enabled) {
            target = c.name;
            break;
        }
    if (target.empty())
        for (const auto& c : f->controls())
            if (c.kind == Kind::Button && c.visible && c.enabled) {
                target = c.name;
                break;
            }
    if (!target.empty()) act([&] { f->give_focus(target); });
}

const Control* Session::control(Form& f, std::u16string_view name) {
    if (name.empty() || !f.loaded()) return nullptr;
    for (const auto& c : f.controls())
        if (c.name == name) return &c;
    return nullptr;
}

std::u16string Session::cursor_key(Form& f, const Control& c) { return f.name() + u"." + c.name; }

void TapView::shown(Form& f) {
    inner_->shown(f);
    session_.form_shown(f);
}
void TapView::hidden(Form& f) {
    inner_->hidden(f);
    session_.form_gone(f);
}
void TapView::unloaded(Form& f) {
    inner_->unloaded(f);
    session_.form_gone(f);
}
void TapView::refreshed(Form& f) {
    inner_->refreshed(f);
    session_.form_repainted(f);
}
void TapView::changed(Form& f, const Control& c, Change what) {
    inner_->changed(f, c, what);
    session_.form_changed(f, c, what);
}

}  // namespace quillamor_sim::play
