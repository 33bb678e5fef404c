#include "tools/quillamor-sim/play.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "addin/connect.h"
#include "addin/process_state.h"
#include "host/failure.h"
#include "host/sim/command_bars.h"
#include "host/sim/interactive.h"
#include "host/sim/sim_host.h"
#include "host/text.h"
#include "tools/quillamor-sim/play_layout.h"
#include "tools/quillamor-sim/play_screen.h"
#include "tools/quillamor-sim/scenario.h"
#include "wizard/page_frame.h"

namespace quillamor_sim {

namespace {

using nlohmann::json;
using namespace play;
using wizard::Change;
using wizard::Control;
using wizard::Form;
using wizard::Kind;
using T = Key::Type;

// The person leaves: unwinds whatever is running, dialogs and runs included.
struct Leave {};

// The add-in's toolbar button, found by its tag as the add-in itself finds it.
constexpr std::u16string_view wizard_button_tag = u"QuillamorWiz";

// Message box buttons and the numbers that the box returns for them.
struct BoxButton {
    std::u16string caption;  // with the access key marked
    int32_t result;
};

Colour colour_of(uint32_t ole) {
    switch (ole) {
    case wizard::sys_window: return Colour::BrightWhite;
    case wizard::sys_button_face: return Colour::White;
    case wizard::sys_highlight: return Colour::Blue;
    case wizard::sys_caption_text: return Colour::BrightWhite;
    case wizard::sys_app_workspace: return Colour::Grey;
    case wizard::sys_window_text: return Colour::Black;
    default: break;
    }
    if (ole & 0x80000000u) return Colour::Black;
    // Plain colours (0x00BBGGRR): the nearest of the few the terminal has.
    int r = ole & 0xFF, g = (ole >> 8) & 0xFF, b = (ole >> 16) & 0xFF;
    if (r < 96 && g < 96 && b >= 128) return Colour::Blue;
    if (r >= 128 && g < 96 && b < 96) return Colour::Red;
    if (r < 96 && g >= 128 && b < 96) return Colour::Green;
    if (r >= 128 && g >= 128 && b < 96) return Colour::Yellow;
    if (r < 96 && g >= 128 && b >= 128) return Colour::Cyan;
    if (r + g + b >= 600) return Colour::BrightWhite;
    if (r + g + b >= 360) return Colour::White;
    return Colour::Black;
}

const Style face{Colour::Black, Colour::White};
const Style window_style{Colour::Black, Colour::BrightWhite};
const Style title_active{Colour::BrightWhite, Colour::Blue, true};
const Style title_inactive{Colour::White, Colour::Grey};
const Style desktop{};
const Style bar_style{Colour::Black, Colour::Cyan};

std::u16string u16(char32_t c) {
    if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
    c -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

std::u16string text(const json& v) { return v.is_string() ? host::from_utf8(v.get<std::string>()) : u""; }

// Draws inside a window's client area: positions from its top-left corner, clipped to it.
class Painter {
public:
    Painter(Screen& s, int y, int x, int h, int w) : s_(s), y_(y), x_(x), h_(h), w_(w) {}

    void text(int y, int x, std::u16string_view t, Style st, int max_width = INT_MAX) {
        if (y < 0 || y >= h_) return;
        int width = std::min<int>(max_width, static_cast<int>(t.size()));
        if (x < 0) {
            if (-x >= width) return;
            t.remove_prefix(static_cast<size_t>(-x));
            width += x;
            x = 0;
        }
        width = std::min(width, w_ - x);
        if (width <= 0) return;
        s_.text(y_ + y, x_ + x, t, st, width);
    }
    void fill(int y, int x, int h, int w, Style st) {
        for (int r = 0; r < h; ++r) text(y + r, x, std::u16string(static_cast<size_t>(std::max(w, 0)), u' '), st);
    }
    void rule(int y, int x, int w, Style st) {
        if (y < 0 || y >= h_) return;
        int x2 = std::min(x + w, w_);
        x = std::max(x, 0);
        if (x2 > x) s_.rule(y_ + y, x_ + x, x2 - x, st);
    }
    void cursor(int y, int x) {
        if (y >= 0 && y < h_ && x >= 0 && x < w_) s_.place_cursor(y_ + y, x_ + x);
    }

private:
    Screen& s_;
    int y_, x_, h_, w_;
};

class Session;

// A form's view: the substitute host's own (which records what a person would see) and a
// word to the session, which redraws.
class TapView : public wizard::FormView {
public:
    TapView(std::unique_ptr<wizard::FormView> inner, Session& session) : inner_(std::move(inner)), session_(session) {}
    void loaded(Form& f) override { inner_->loaded(f); }
    void shown(Form& f) override;
    void hidden(Form& f) override;
    void unloaded(Form& f) override;
    void moved(Form& f) override { inner_->moved(f); }
    void refreshed(Form& f) override;
    void changed(Form& f, const Control& c, Change what) override;

private:
    std::unique_ptr<wizard::FormView> inner_;
    Session& session_;
};

class Session : public sim::AnswerProvider, public wizard::ViewFactory {
public:
    explicit Session(const json& profile) {
        host_.load_profile(profile);
        // Only what a person sees is kept: the calls would pile up over a long walk.
        host_.world().log_calls = false;
        state_ = std::make_unique<addin::ProcessState>(host_, *this);
    }

    ~Session() override {
        host_.set_interactive(nullptr);
        connect_.reset();
        state_.reset();
    }

    // The host loads the add-in; its window opens if the profile starts without one.
    void connect() {
        connect_ = std::make_unique<addin::Connect>(*state_);
        host_call([&] {
            host::Object app = host_.create_application();
            connect_->OnConnection(app, 1, host::Object());
        });
        host_call([&] { connect_->OnStartupComplete(); });
        if (host_.world().explorers.open.empty()) host_.new_explorer();
    }

    void run(Screen& screen) {
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
                draw();
                screen.show();
                Key k = screen.read_key();
                if (k.type == T::Resize) continue;
                status_.clear();
                handle(k);
            }
        } catch (const Leave&) {
            // The person left; whatever was running has been unwound.
        }
    }

    // The host lets go of the add-in: it removes its buttons, then the add-in is released.
    void shut_down() {
        host_.set_interactive(nullptr);
        if (connect_) {
            host_call([&] { connect_->OnBeginShutdown(); });
            host_call([&] { connect_->OnDisconnection(1); });
        }
        connect_.reset();
        state_.reset();
    }

    const std::vector<json>& events() const { return host_.events(); }

    // --- the forms' views
    std::unique_ptr<wizard::FormView> create(Form& form) override {
        return std::make_unique<TapView>(host_.views().create(form), *this);
    }
    void form_shown(Form& f) {
        std::erase(stack_, &f);
        stack_.push_back(&f);
    }
    void form_gone(Form& f) { std::erase(stack_, &f); }
    // The progress window is only drawn when the run says so: redraw at once, the run holds
    // the thread until it ends.
    void form_repainted(Form& f) {
        if (f.visible()) repaint();
    }
    void form_changed(Form& f, const Control& c, Change what) {
        if (c.kind == Kind::ProgressBar && (what == Change::Value || what == Change::Max) && f.visible()) repaint();
    }

    // --- the host's dialogs, answered by the person
    std::optional<std::u16string> categories(const std::vector<std::u16string>& available) override {
        Checklist list(available);
        InDialog in(*this, u" Up, Down: move   Space: tick   Enter: OK   Esc: Cancel   Ctrl+C, q: leave");
        for (;;) {
            draw();
            draw_checklist(list);
            screen_->show();
            Key k = read();
            if (k.type == T::Up) list.move(-1);
            else if (k.type == T::Down) list.move(1);
            else if (k.type == T::Home) list.move(-static_cast<int>(list.names.size()));
            else if (k.type == T::End) list.move(static_cast<int>(list.names.size()));
            else if (k.is(U' ')) list.toggle();
            else if (k.type == T::Enter) return list.selection();
            else if (k.type == T::Esc) return std::nullopt;
        }
    }

    std::shared_ptr<sim::Folder> pick_folder(const std::vector<std::shared_ptr<sim::Folder>>& tree) override {
        auto rows = folder_rows(tree);
        size_t current = 0;
        auto contacts = host_.profile().contacts();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].folder == contacts) current = i;
        InDialog in(*this, u" Up, Down: move   Enter: OK   Esc: Cancel   Ctrl+C, q: leave");
        for (;;) {
            draw();
            draw_folders(rows, current);
            screen_->show();
            Key k = read();
            if (k.type == T::Up && current > 0) --current;
            else if (k.type == T::Down && current + 1 < rows.size()) ++current;
            else if (k.type == T::Home) current = 0;
            else if (k.type == T::End && !rows.empty()) current = rows.size() - 1;
            else if (k.type == T::Enter && !rows.empty()) return rows[current].folder;
            else if (k.type == T::Esc) return nullptr;
        }
    }

    int32_t msgbox(std::u16string_view message, int32_t style, std::u16string_view title) override {
        std::vector<BoxButton> buttons;
        switch (style & 15) {
        case 1: buttons = {{u"OK", host::vbOK}, {u"Cancel", 2}}; break;
        case 3: buttons = {{u"&Yes", host::vbYes}, {u"&No", host::vbNo}, {u"Cancel", 2}}; break;
        case host::vbYesNo: buttons = {{u"&Yes", host::vbYes}, {u"&No", host::vbNo}}; break;
        default: buttons = {{u"OK", host::vbOK}}; break;
        }
        size_t focus = std::min<size_t>(static_cast<size_t>((style >> 8) & 3), buttons.size() - 1);
        auto find = [&](int32_t result) -> const BoxButton* {
            for (const auto& b : buttons)
                if (b.result == result) return &b;
            return nullptr;
        };
        std::u16string keys = u" Enter: press   Left, Right, Tab: move";
        for (const auto& b : buttons) {
            Caption cap = parse_caption(b.caption);
            keys += u"   " + std::u16string(1, static_cast<char16_t>(cap.text[0] | 0x20)) + u": " + cap.text;
        }
        InDialog in(*this, keys + u"   Ctrl+C, q: leave");
        for (;;) {
            draw();
            draw_msgbox(message, style, title, buttons, focus);
            screen_->show();
            Key k = read();
            int32_t pressed = 0;
            if (k.type == T::Left || k.type == T::BackTab) focus = (focus + buttons.size() - 1) % buttons.size();
            else if (k.type == T::Right || k.type == T::Tab) focus = (focus + 1) % buttons.size();
            else if (k.type == T::Enter || k.is(U' ')) pressed = buttons[focus].result;
            else if (k.type == T::Esc) {
                // Esc is Cancel, or OK on a box that has only OK.
                if (find(2)) pressed = 2;
                else if (buttons.size() == 1) pressed = buttons[0].result;
            } else if (k.type == T::Char) {
                char32_t c = k.ch | 0x20;
                if (c == U'y' && find(host::vbYes)) pressed = host::vbYes;
                else if (c == U'n' && find(host::vbNo)) pressed = host::vbNo;
                else if (c == U'o' && find(host::vbOK)) pressed = host::vbOK;
                else if (c == U'c' && find(2)) pressed = 2;
            }
            if (pressed) return pressed;
        }
    }

private:
    // While a modal dialog is open: the keys line says its keys.
    struct InDialog {
        InDialog(Session& s, std::u16string keys) : s_(s), saved_(std::exchange(s.dialog_keys_, std::move(keys))) {}
        ~InDialog() { s_.dialog_keys_ = std::move(saved_); }
        Session& s_;
        std::u16string saved_;
    };

    // A key in a dialog: Ctrl+C and q leave from there too.
    Key read() {
        Key k = screen_->read_key();
        if (k.type == T::Interrupt || k.is(U'q')) throw Leave{};
        return k;
    }

    // A call of the host into the add-in: a failure goes back to the host, which says so.
    void host_call(const std::function<void()>& call) {
        try {
            call();
        } catch (const host::Failure& f) {
            status_.push_back(u"The host's call into the add-in failed: Error " + host::decimal(f.number()) + u": " +
                              f.description());
        }
    }

    // Something the person does: a failure that reaches the top is shown to the person.
    void act(const std::function<void()>& action) {
        try {
            action();
        } catch (const host::Failure& f) {
            host::ReportFailure(host_, f);
        } catch (const sim::ScenarioError& e) {
            status_.push_back(u"The substitute host cannot go on: " + host::from_utf8(e.what()));
        }
    }

    // The add-in's button on the active window's "Standard" toolbar (null when it has none).
    std::shared_ptr<sim::ControlModel> wizard_button() {
        auto& windows = host_.world().explorers.open;
        if (windows.empty()) return nullptr;
        auto set = sim::command_bars_of(host_.world(), *windows.back());
        auto button = sim::control_tagged(*set, wizard_button_tag, sim::control_button);
        return button && button->visible && !button->deleted ? button : nullptr;
    }

    // The person clicks the toolbar button: the host fires its Click event.
    void click_wizard_button() {
        act([&] {
            if (!host_.click_button(wizard_button_tag))
                status_.push_back(u"The Standard toolbar has no Quillamor button to click.");
        });
    }

    // The "Standard" toolbar as a row of buttons, the add-in's own one marked.
    void draw_toolbar() {
        Screen& s = *screen_;
        s.fill(0, 0, 1, s.cols(), bar_style);
        s.text(0, 0, u" Standard toolbar: ", bar_style);
        auto& windows = host_.world().explorers.open;
        if (windows.empty()) return;
        auto bar = sim::bar_named(*sim::command_bars_of(host_.world(), *windows.back()), u"Standard");
        if (!bar) return;
        auto ours = wizard_button();
        int x = 19;
        for (const auto& c : bar->controls) {
            if (!c->visible || c->deleted) continue;
            bool mine = c == ours;
            std::u16string face = u"[" + std::u16string(mine ? u"\u25A3 " : u"") + parse_caption(c->caption).text + u"]";
            s.text(0, x, face, mine ? Style{Colour::Black, Colour::White, true} : bar_style);
            x += static_cast<int>(face.size()) + 1;
        }
    }

    Form* active() {
        while (!stack_.empty() && !stack_.back()->visible()) stack_.pop_back();
        return stack_.empty() ? nullptr : stack_.back();
    }

    static const Control* control(Form& f, std::u16string_view name) {
        if (name.empty() || !f.loaded()) return nullptr;
        for (const auto& c : f.controls())
            if (c.name == name) return &c;
        return nullptr;
    }

    std::u16string cursor_key(Form& f, const Control& c) { return f.name() + u"." + c.name; }

    // --- keys
    void handle(const Key& k) {
        if (k.type == T::Interrupt) throw Leave{};
        Form* f = active();
        if (!f) {
            if (k.type == T::Enter || k.is(U'w')) click_wizard_button();
            else if (k.is(U'q')) throw Leave{};
            return;
        }
        page_key(*f, k);
    }

    void page_key(Form& f, const Key& k) {
        const Control* focused = control(f, f.focus());
        const bool in_text = focused && focused->kind == Kind::TextBox;
        if (k.type == T::Char && k.alt) {
            act([&] { f.key(u"Alt+" + u16(k.ch)); });
            return;
        }
        switch (k.type) {
        case T::Tab: act([&] { f.key(u"Tab"); }); return;
        case T::BackTab: act([&] { f.key(u"Shift+Tab"); }); return;
        case T::Enter: act([&] { f.key(u"Enter"); }); return;
        case T::F4: act([&] { f.close(); }); return;
        case T::Up:
        case T::Left:
            if (in_text && k.type == T::Left) edit(f, *focused, LineEdit::Op::Left);
            else if (focused && focused->kind == Kind::Option) move_in_group(f, *focused, -1);
            return;
        case T::Down:
        case T::Right:
            if (in_text && k.type == T::Right) edit(f, *focused, LineEdit::Op::Right);
            else if (focused && focused->kind == Kind::Option) move_in_group(f, *focused, 1);
            return;
        case T::Home:
        case T::End:
        case T::Backspace:
        case T::Delete:
            if (in_text) {
                auto op = k.type == T::Home ? LineEdit::Op::Home
                          : k.type == T::End ? LineEdit::Op::End
                          : k.type == T::Backspace ? LineEdit::Op::Backspace
                                                   : LineEdit::Op::Delete;
                edit(f, *focused, op);
            }
            return;
        case T::Char: break;
        default: return;
        }
        if (in_text) {
            LineEdit e{focused->text, cursor_of(f, *focused)};
            for (char16_t c : u16(k.ch)) e.insert(c);
            commit(f, *focused, e);
            return;
        }
        if (k.ch == U'q') throw Leave{};
        if (k.ch == U'w') return click_wizard_button();
        if (k.ch == U' ') {
            if (focused && (focused->kind == Kind::Button || focused->kind == Kind::Option)) {
                std::u16string name = focused->name;
                act([&] { f.press(name); });
            }
            return;
        }
        if (k.ch >= U'1' && k.ch <= U'9') {
            open_link(f, static_cast<size_t>(k.ch - U'1'));
            return;
        }
        // A plain letter presses the button of its access key.
        act([&] { f.key(u"Alt+" + u16(k.ch)); });
    }

    size_t cursor_of(Form& f, const Control& c) {
        auto it = cursors_.find(cursor_key(f, c));
        size_t at = it == cursors_.end() ? c.text.size() : it->second;
        return std::min(at, c.text.size());
    }

    void edit(Form& f, const Control& c, LineEdit::Op op) {
        LineEdit e{c.text, cursor_of(f, c)};
        if (e.apply(op)) commit(f, c, e);
        else cursors_[cursor_key(f, c)] = e.cursor;
    }

    void commit(Form& f, const Control& c, const LineEdit& e) {
        std::u16string name = c.name;
        cursors_[cursor_key(f, c)] = e.cursor;
        act([&] { f.type(name, e.text); });
    }

    // Arrow keys within the option group move to the next option and select it.
    void move_in_group(Form& f, const Control& from, int delta) {
        std::vector<std::u16string> options;
        for (const auto& c : f.controls())
            if (c.kind == Kind::Option && c.visible && c.enabled) options.push_back(c.name);
        auto it = std::find(options.begin(), options.end(), from.name);
        if (it == options.end() || options.size() < 2) return;
        long n = static_cast<long>(options.size());
        long i = ((it - options.begin()) + delta + n) % n;
        std::u16string next = options[static_cast<size_t>(i)];
        act([&] { f.press(next); });
    }

    void open_link(Form& f, size_t index) {
        std::vector<std::u16string> links;
        for (const auto& c : f.controls())
            if (c.kind == Kind::Link && c.visible && c.enabled) links.push_back(c.name);
        if (index >= links.size()) return;
        std::u16string name = links[index];
        act([&] { f.press(name); });
    }

    // --- drawing
    void repaint() {
        if (!screen_) return;
        draw();
        screen_->show();
    }

    Scale scale() const {
        return fit_scale(wizard::frame::client_width, wizard::frame::client_height, screen_->cols() - 2,
                         screen_->rows() - 5);
    }

    // The whole screen but the dialogs: the toolbar, the shown forms, the status and the keys.
    void draw() {
        collect_status();
        Screen& s = *screen_;
        s.wipe();
        draw_toolbar();
        Form* top = active();
        if (!top && dialog_keys_.empty()) {
            int y = std::max(1, (s.rows() - 3) / 2);
            auto button = wizard_button();
            std::u16string line = button ? u"The toolbar button \"" + parse_caption(button->caption).text +
                                               u"\" is there: press Enter or w to click it, q to leave."
                                         : u"The add-in has no button on the toolbar: q to leave.";
            s.text(y, std::max(0, (s.cols() - static_cast<int>(line.size())) / 2), line, desktop);
        }
        for (Form* f : stack_)
            if (f->visible()) draw_form(*f, f == top);
        // Status and keys.
        std::u16string st;
        for (const auto& m : status_) st += (st.empty() ? u" " : u"  |  ") + m;
        s.fill(s.rows() - 2, 0, 1, s.cols(), Style{Colour::Black, Colour::Cyan});
        s.text(s.rows() - 2, 0, st, Style{Colour::Black, Colour::Cyan});
        s.text(s.rows() - 1, 0, dialog_keys_.empty() ? keys_help(top) : dialog_keys_, Style{Colour::Default, Colour::Default, false, false, false, true});
    }

    std::u16string keys_help(Form* top) {
        if (!top) return u" Enter/w: click the toolbar button   q, Ctrl+C: leave";
        const Control* focused = control(*top, top->focus());
        if (focused && focused->kind == Kind::TextBox)
            return u" type the name, Backspace/Del/arrows edit   Tab/Shift+Tab: move   Alt+letter: button   "
                   u"Ctrl+C: leave";
        std::u16string h = u" Tab, Shift+Tab: move   Enter: press   letter: button   Space: select";
        bool links = false;
        for (const auto& c : top->controls())
            if (c.kind == Kind::Link && c.visible) links = true;
        if (links) h += u"   1, 2: links";
        h += u"   F4: close   w: wizard button   q: leave";
        return h;
    }

    void collect_status() {
        const auto& ev = host_.events();
        for (; seen_ < ev.size(); ++seen_) {
            const json& e = ev[seen_];
            std::string kind = e.value("event", "");
            if (kind == "process") status_.push_back(u"Help viewer started: " + text(e["commandLine"]));
            else if (kind == "navigate") status_.push_back(u"Browser opened: " + text(e["url"]));
            else if (kind == "saved")
                status_.push_back(u"List \"" + text(e["subject"]) + u"\" saved with " +
                                  host::decimal(static_cast<int64_t>(e["members"].size())) + u" members");
            else if (kind == "display") status_.push_back(u"the list's window is open");
            else if (kind == "failure")
                status_.push_back(u"Error " + host::from_utf8(e["number"].dump()) + u": " + text(e["description"]));
        }
    }

    // A window with a title bar at the middle of the desktop; returns its client area.
    Painter window(std::u16string_view caption, int w, int h, bool active) {
        Screen& s = *screen_;
        int area = s.rows() - 3;
        int x = std::max(0, (s.cols() - (w + 2)) / 2);
        int y = 1 + std::max(0, (area - (h + 2)) / 2);
        s.fill(y + 1, x + 1, h, w, face);
        s.frame(y, x, h + 2, w + 2, face);
        Style title = active ? title_active : title_inactive;
        s.fill(y, x, 1, w + 2, title);
        s.text(y, x + 1, u"\u25A0 " + std::u16string(caption), title, w);
        return Painter(s, y + 1, x + 1, h, w);
    }

    void draw_form(Form& f, bool is_active) {
        const Scale sc = scale();
        const auto& d = f.design();
        const int cols = cols_for(d.client_width, sc), rows = rows_for(d.client_height, sc);
        Painter p = window(d.caption, cols, rows, is_active);
        for (const auto& placed : lay_out(f.controls(), cols, rows, sc)) {
            const Control& c = *placed.control;
            const Cells& r = placed.cells;
            const bool focused = is_active && c.name == f.focus();
            switch (c.kind) {
            case Kind::Shape: p.fill(r.y, r.x, r.h, r.w, Style{Colour::Black, colour_of(c.fill)}); break;
            case Kind::Line:
                if (c.rect.height == 0) p.rule(r.y, r.x, r.w, Style{colour_of(c.fill), Colour::White});
                break;
            case Kind::Image: draw_picture(p, r); break;
            case Kind::Label:
            case Kind::Link: {
                Style st{colour_of(c.fore), c.fill ? colour_of(c.fill) : Colour::White};
                st.bold = c.bold || c.font_size > 10;
                st.underline = c.underline || c.kind == Kind::Link;
                for (size_t i = 0; i < placed.lines.size(); ++i)
                    p.text(r.y + static_cast<int>(i), r.x, placed.lines[i], st);
                break;
            }
            case Kind::Option: {
                Caption cap = parse_caption(c.text);
                Style st = face;
                st.reverse = focused;
                st.dim = !c.enabled;
                std::u16string mark = c.selected ? u"(o) " : u"( ) ";
                p.text(r.y, r.x, mark + cap.text, st, r.w);
                if (cap.key != std::u16string::npos) {
                    st.underline = true;
                    p.text(r.y, r.x + 4 + static_cast<int>(cap.key), std::u16string(1, cap.text[cap.key]), st);
                }
                break;
            }
            case Kind::TextBox: {
                p.fill(r.y, r.x, 1, r.w, window_style);
                size_t cur = cursor_of(f, c);
                size_t width = static_cast<size_t>(std::max(r.w - 1, 1));
                size_t first = cur >= width ? cur - width + 1 : 0;
                p.text(r.y, r.x, std::u16string_view(c.text).substr(std::min(first, c.text.size())), window_style,
                       r.w);
                if (focused) p.cursor(r.y, r.x + static_cast<int>(cur - first));
                break;
            }
            case Kind::Button: draw_button(p, r, c, focused); break;
            case Kind::ProgressBar: {
                int filled = 0;
                if (c.max > c.min) {
                    double part = (c.value - c.min) / (c.max - c.min);
                    filled = static_cast<int>(std::clamp(part, 0.0, 1.0) * r.w + 0.5);
                }
                p.text(r.y, r.x, std::u16string(static_cast<size_t>(filled), u'\u2588'), Style{Colour::Blue, Colour::White});
                p.text(r.y, r.x + filled, std::u16string(static_cast<size_t>(std::max(r.w - filled, 0)), u'\u2591'),
                       Style{Colour::Grey, Colour::White});
                break;
            }
            }
        }
    }

    // The welcome page's picture: a cream folder with a green plus.
    static void draw_picture(Painter& p, const Cells& r) {
        p.fill(r.y, r.x, r.h, r.w, Style{Colour::Black, Colour::Yellow});
        p.text(r.y + r.h / 2, r.x + r.w / 2, u"+", Style{Colour::Green, Colour::Yellow, true});
    }

    static void draw_button(Painter& p, const Cells& r, const Control& c, bool focused) {
        Caption cap = parse_caption(c.text);
        int inner = std::max(r.w - 2, static_cast<int>(cap.text.size()));
        int pad = (inner - static_cast<int>(cap.text.size())) / 2;
        std::u16string face_text = u"[" + std::u16string(static_cast<size_t>(pad), u' ') + cap.text +
                                   std::u16string(static_cast<size_t>(inner - pad - static_cast<int>(cap.text.size())), u' ') +
                                   u"]";
        Style st = face;
        st.bold = c.default_button;
        st.reverse = focused;
        if (!c.enabled) {
            st.fg = Colour::Grey;
            st.dim = true;
            st.bold = false;
        }
        p.text(r.y, r.x, face_text, st);
        if (cap.key != std::u16string::npos && c.enabled) {
            st.underline = true;
            p.text(r.y, r.x + 1 + pad + static_cast<int>(cap.key), std::u16string(1, cap.text[cap.key]), st);
        }
    }

    // A modal dialog box: the buttons at its foot.
    Painter dialog(std::u16string_view title, int w, int h) { return window(title, w, h, true); }

    void dialog_buttons(Painter& p, int y, int w, const std::vector<BoxButton>& buttons, size_t focus) {
        int total = static_cast<int>(buttons.size()) * 12;
        int x = std::max(0, (w - total) / 2);
        for (size_t i = 0; i < buttons.size(); ++i) {
            Control c;
            c.kind = Kind::Button;
            c.text = buttons[i].caption;
            c.default_button = i == focus;
            draw_button(p, Cells{x, y, 10, 1}, c, i == focus);
            x += 12;
        }
    }

    void draw_msgbox(std::u16string_view message, int32_t style, std::u16string_view title,
                     const std::vector<BoxButton>& buttons, size_t focus) {
        std::u16string icon;
        switch (style & 0x70) {
        case 16: icon = u"(x) "; break;
        case 32: icon = u"(?) "; break;
        case 48: icon = u"(!) "; break;
        case 64: icon = u"(i) "; break;
        default: break;
        }
        int limit = std::max(20, std::min(60, screen_->cols() - 8));
        auto lines = wrap(message, limit - static_cast<int>(icon.size()));
        int longest = 0;
        for (const auto& l : lines) longest = std::max(longest, static_cast<int>(l.size()));
        int w = std::max({longest + static_cast<int>(icon.size()) + 4, static_cast<int>(buttons.size()) * 12 + 2,
                          static_cast<int>(title.size()) + 6});
        int h = static_cast<int>(lines.size()) + 4;
        Painter p = dialog(title, w, h);
        if (!icon.empty()) p.text(1, 2, icon, Style{Colour::Blue, Colour::White, true});
        for (size_t i = 0; i < lines.size(); ++i)
            p.text(1 + static_cast<int>(i), 2 + static_cast<int>(icon.size()), lines[i], face);
        dialog_buttons(p, h - 2, w, buttons, focus);
    }

    void draw_checklist(const Checklist& list) {
        const int visible_rows = std::max(3, std::min(static_cast<int>(list.names.size()), screen_->rows() - 14));
        int widest = 30;
        for (const auto& n : list.names) widest = std::max(widest, static_cast<int>(n.size()) + 6);
        int w = std::min(std::max(widest + 4, 44), std::max(screen_->cols() - 4, 20));
        int h = visible_rows + 8;
        Painter p = dialog(u"Categories", w, h);
        p.text(1, 2, u"Item(s) belong to these categories:", face);
        p.fill(2, 2, 1, w - 4, window_style);
        p.text(2, 2, list.selection(), window_style, w - 4);
        p.text(3, 2, u"Available categories:", face);
        int first = std::max(0, static_cast<int>(list.current) - visible_rows + 1);
        p.fill(4, 2, visible_rows, w - 4, window_style);
        if (list.names.empty()) p.text(4, 3, u"(no item carries a category)", window_style);
        for (int i = 0; i < visible_rows && first + i < static_cast<int>(list.names.size()); ++i) {
            size_t n = static_cast<size_t>(first + i);
            Style st = window_style;
            st.reverse = n == list.current;
            p.text(4 + i, 2, (list.ticked[n] ? u"[x] " : u"[ ] ") + list.names[n], st, w - 4);
        }
        p.text(h - 3, 2, u"Space: tick   Enter: OK   Esc: Cancel", Style{Colour::Grey, Colour::White});
        dialog_buttons(p, h - 2, w, {{u"OK", host::vbOK}, {u"Cancel", 2}}, 0);
    }

    void draw_folders(const std::vector<FolderRow>& rows, size_t current) {
        const int visible_rows = std::max(3, std::min(static_cast<int>(rows.size()), screen_->rows() - 12));
        int widest = 40;
        for (const auto& r : rows) widest = std::max(widest, static_cast<int>(r.folder->name.size()) + 2 * r.depth + 4);
        int w = std::min(widest + 4, std::max(screen_->cols() - 4, 20));
        int h = visible_rows + 6;
        Painter p = dialog(u"Select Folder", w, h);
        p.text(1, 2, u"Folders:", face);
        p.fill(2, 2, visible_rows, w - 4, window_style);
        int first = std::max(0, static_cast<int>(current) - visible_rows + 1);
        for (int i = 0; i < visible_rows && first + i < static_cast<int>(rows.size()); ++i) {
            const auto& r = rows[static_cast<size_t>(first + i)];
            Style st = window_style;
            st.reverse = static_cast<size_t>(first + i) == current;
            p.text(2 + i, 2, std::u16string(static_cast<size_t>(2 * r.depth), u' ') + r.folder->name, st, w - 4);
        }
        p.text(h - 3, 2, u"arrows: move   Enter: OK   Esc: Cancel", Style{Colour::Grey, Colour::White});
        dialog_buttons(p, h - 2, w, {{u"OK", host::vbOK}, {u"Cancel", 2}}, 0);
    }

    sim::SimHost host_;
    std::unique_ptr<addin::ProcessState> state_;
    std::unique_ptr<addin::Connect> connect_;
    Screen* screen_ = nullptr;
    std::vector<Form*> stack_;  // the shown forms, the active one last
    std::vector<std::u16string> status_;
    size_t seen_ = 0;                             // events already turned into status
    std::map<std::u16string, size_t> cursors_;    // text-box cursors by "form.control"
    std::u16string dialog_keys_;                  // the open dialog's keys, if one is open
};

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

}  // namespace

void print_saved_lists(std::ostream& out, const std::vector<json>& events) {
    std::vector<std::string> order;
    std::map<std::string, json> lists;
    for (const auto& e : events) {
        if (e.value("event", "") != "saved") continue;
        std::string id = e.value("entryId", "");
        if (!lists.count(id)) order.push_back(id);
        lists[id] = e;
    }
    if (order.empty()) {
        out << "No list was saved.\n";
        return;
    }
    for (const auto& id : order) {
        const json& e = lists[id];
        const json& members = e.contains("members") ? e["members"] : json::array();
        out << "Saved list \"" << e.value("subject", "") << "\" (categories \"" << e.value("categories", "")
            << "\"), " << members.size() << (members.size() == 1 ? " member" : " members") << ":\n";
        for (const auto& m : members) out << "    " << (m.is_string() ? m.get<std::string>() : m.dump()) << "\n";
    }
}

int play_in_terminal(const std::filesystem::path& file, std::ostream& out, std::ostream& err) {
    std::unique_ptr<Session> session;
    try {
        session = std::make_unique<Session>(read_profile(file));
    } catch (const std::exception& e) {
        err << "quillamor-sim: " << file.string() << ": " << e.what() << "\n";
        return 2;
    }
    try {
        Screen screen;
        session->run(screen);
    } catch (const std::exception& e) {
        // The screen is given back before this is written.
        err << "quillamor-sim: " << e.what() << "\n";
        session->shut_down();
        print_saved_lists(out, session->events());
        return 2;
    }
    session->shut_down();
    print_saved_lists(out, session->events());
    return 0;
}

}  // namespace quillamor_sim
