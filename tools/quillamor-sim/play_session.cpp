// The walk-through's session: the add-in connected over the substitute host, its run and its shutdown.
#include "tools/quillamor-sim/play_session.h"

#include <exception>

#include "addin/commands.h"
#include "host/failure.h"
#include "host/text.h"
#include "scenario/play.h"
#include "sim/model/objects.h"

namespace quillamor_sim::play {

namespace {

// The add-in's toolbar button, found by its tag as the add-in itself finds it.
constexpr std::u16string_view wizard_button_tag = addin::toolbar_command.tag;
// Its button on a ribbon host, found by its label as a person finds it.
constexpr std::u16string_view wizard_button_label = addin::toolbar_command.caption;
constexpr std::u16string_view update_button_label = u"Update List";

}  // namespace

Session::Session(const json& profile) {
    scenario::Scenario walk;
    walk.profile = profile;
    // Only what a person sees is kept: the calls would pile up over a long walk.
    driver_ = std::make_unique<SimHostDriver>(
        walk, SimHostOptions{.extra_faults = {}, .log = {.calls = false, .write = {}}, .views = this});
}

Session::~Session() {
    host().set_interactive(nullptr);
    driver_.reset();
}

// The host loads the add-in (asking a ribbon host's add-in for its ribbon) and tells it the
// start-up is complete, as the scenario steps do, and opens its window if the profile starts
// without one; the window shows the ribbon. What the host's calls into the add-in return
// comes to the status line from the transcript.
void Session::connect() {
    act([&] { driver_->play(scenario::Connect{}); });
    act([&] { driver_->play(scenario::StartupComplete{}); });
    if (host().world().explorers.open.empty()) act([&] { driver_->play(scenario::NewExplorer{}); });
}

void Session::run(Screen& screen) {
    // The person and the screen are there only for as long as this runs, however it ends.
    struct Attached {
        Attached(Session& s, Screen& screen) : s_(s) {
            s_.screen_ = &screen;
            s_.host().set_interactive(&s_);
        }
        ~Attached() {
            s_.host().set_interactive(nullptr);
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

// The host is shut down: it tells the add-in, which removes its buttons, then lets go of it.
void Session::shut_down() {
    host().set_interactive(nullptr);
    if (driver_->connected()) {
        act([&] { driver_->connected_addin().OnBeginShutdown(); });
        act([&] { driver_->play(scenario::Disconnect{}); });
    }
    driver_->release();
}

// --- the forms' views
std::unique_ptr<wizard::FormView> Session::create(Form& form) {
    return std::make_unique<TapView>(host().views().create(form), *this);
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

// Something the person does: a failure that reaches the top is shown to the person.
void Session::act(const std::function<void()>& action) {
    try {
        action();
    } catch (const host::Failure& f) {
        host::ReportFailure(host(), f);
    } catch (const sim::ScenarioError& e) {
        status_.push_back(u"The substitute host cannot go on: " + host::from_utf8(e.what()));
    } catch (const scenario::Unplayable& e) {
        status_.push_back(u"The substitute host cannot do that: " + host::from_utf8(e.what()));
    }
}

// The add-in's button on the active window's "Standard" toolbar (null when it has none).
std::shared_ptr<sim::ControlModel> Session::wizard_button() {
    auto& window = host().world().explorers.active;
    if (!window) return nullptr;
    auto set = sim::command_bars_of(host().world(), *window);
    auto button = sim::control_tagged(*set, wizard_button_tag, sim::control_button);
    return button && button->visible && !button->deleted ? button : nullptr;
}

// The add-in's wizard button on a ribbon host's ribbon (null when it shows none).
const sim::RibbonButton* Session::ribbon_wizard_button() const {
    const sim::Ribbon* r = ribbon();
    return r && r->shown() ? r->find(wizard_button_label) : nullptr;
}

// The person clicks the wizard's button: on a ribbon host the host calls the button's
// onAction, on a toolbar it fires the button's Click event.
void Session::click_wizard_button() {
    if (ribbon()) {
        const sim::RibbonButton* button = ribbon_wizard_button();
        if (!button) status_.push_back(u"The ribbon has no Quillamor Wizard button to press.");
        else act([&] { driver_->ribbon()->act(*button, driver_->ribbon_invoker()); });
        return;
    }
    act([&] {
        if (!host().click_button(wizard_button_tag))
            status_.push_back(u"The Standard toolbar has no Quillamor button to click.");
    });
}

void Session::select_next_list() {
    auto& world = host().world();
    if (!world.explorers.active) return;
    sim::ExplorerWindow& window = *world.explorers.active;
    // The store's lists in folder order, as the explorer would list them.
    const std::vector<std::shared_ptr<sim::Item>> lists = world.profile.stored_lists();
    std::vector<std::shared_ptr<sim::Item>> next;
    auto at = window.selection.size() == 1 ? std::find(lists.begin(), lists.end(), window.selection[0]) : lists.end();
    if (at == lists.end() && !lists.empty() && window.selection.empty()) next = {lists.front()};
    else if (at != lists.end() && at + 1 != lists.end()) next = {*(at + 1)};
    act([&] { sim::select_items(world, window, next); });
    status_.push_back(next.empty() ? u"Nothing is selected."
                                   : u"Selected: the list \"" + next[0]->stored->field(u"Subject") + u"\".");
}

void Session::press_update_list() {
    sim::Ribbon* r = driver_->ribbon();
    const sim::RibbonButton* button = r && r->shown() ? r->find(update_button_label) : nullptr;
    if (!button) {
        status_.push_back(u"The ribbon has no Update List button.");
        return;
    }
    bool enabled = true;
    act([&] { enabled = r->enabled(*button, driver_->ribbon_invoker()); });
    if (!enabled) status_.push_back(u"Update List is off: select one distribution list first (s).");
    else act([&] { r->act(*button, driver_->ribbon_invoker()); });
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
