// The walk-through's drawing: the toolbar, the shown forms with their controls, the status and the keys.
#include "tools/quillamor-sim/play_session.h"

#include "host/letter_case.h"
#include "host/text.h"
#include "wizard/page_frame.h"

namespace quillamor_sim::play {

namespace {

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

std::u16string text(const json& v) { return v.is_string() ? host::from_utf8(v.get<std::string>()) : u""; }

}  // namespace

// The "Standard" toolbar as a row of buttons, the add-in's own one marked.
void Session::draw_toolbar() {
    Screen& s = *screen_;
    s.fill(0, 0, 1, s.cols(), bar_style);
    if (ribbon()) {
        // A ribbon host: the first tab that shows the add-in's group, with its buttons.
        const sim::RibbonButton* wizard = ribbon_wizard_button();
        if (!wizard) return;
        std::u16string line = u" " + wizard->tab + u", group \"" + wizard->group + u"\": ";
        s.text(0, 0, line, bar_style);
        int x = static_cast<int>(line.size());
        for (const auto& b : ribbon()->buttons()) {
            if (b.tab != wizard->tab) continue;
            bool mine = &b == wizard;
            bool on = true;
            act([&] { on = driver_->ribbon()->enabled(b, driver_->ribbon_invoker()); });
            std::u16string face = u"[" + std::u16string(mine ? u"\u25A3 " : u"") + b.label + (on ? u"" : u" (off)") + u"]";
            s.text(0, x, face, mine ? Style{Colour::Black, Colour::White, true} : bar_style);
            x += static_cast<int>(face.size()) + 1;
        }
        return;
    }
    s.text(0, 0, u" Standard toolbar: ", bar_style);
    auto& window = host().world().explorers.active;
    if (!window) return;
    auto bar = sim::bar_named(*sim::command_bars_of(host().world(), *window), u"Standard");
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

// --- drawing
void Session::repaint() {
    if (!screen_) return;
    draw();
    screen_->show();
}

// The rows that the pages have: all but the toolbar, the window's title and bottom edge, the
// status and the key hints.
Scale Session::scale() const {
    return fit_scale(wizard::frame::client_width, wizard::frame::client_height, screen_->cols() - 2,
                     screen_->rows() - 4 - hint_rows_);
}

bool Session::too_small() const { return screen_->cols() < min_cols || screen_->rows() < min_rows; }

// The whole screen but the dialogs: the toolbar, the shown forms, the status and the keys.
// False when the terminal is too small to draw on, and a message says so instead.
bool Session::draw() {
    collect_status();
    Screen& s = *screen_;
    s.wipe();
    if (too_small()) {
        draw_too_small();
        return false;
    }
    Form* top = active();
    std::u16string hints = dialog_keys_.empty() ? keys_help(top) : dialog_keys_;
    auto hint_rows = hint_lines(hints, s.cols() - 2);
    hint_rows_ = std::max(1, static_cast<int>(hint_rows.size()));
    draw_toolbar();
    if (!top && dialog_keys_.empty()) {
        int y = std::max(1, (s.rows() - 3) / 2);
        std::u16string line;
        if (ribbon()) {
            line = ribbon_wizard_button() ? u"The ribbon button \"Quillamor Wizard\" is there: Enter or w presses it."
                                          : u"The add-in has no button on the ribbon: q to leave.";
        } else {
            auto button = wizard_button();
            line = button ? u"The toolbar button \"" + parse_caption(button->caption).text +
                                u"\" is there: Enter or w clicks it."
                          : u"The add-in has no button on the toolbar: q to leave.";
        }
        s.text(y, std::max(0, (s.cols() - static_cast<int>(line.size())) / 2), line, desktop);
    }
    for (Form* f : stack_)
        if (f->visible()) draw_form(*f, f == top);
    // Status and keys.
    std::u16string st;
    for (const auto& m : status_) st += (st.empty() ? u" " : u"  |  ") + m;
    const int status_row = s.rows() - 1 - hint_rows_;
    s.fill(status_row, 0, 1, s.cols(), Style{Colour::Black, Colour::Cyan});
    s.text(status_row, 0, st, Style{Colour::Black, Colour::Cyan});
    for (size_t i = 0; i < hint_rows.size(); ++i)
        s.text(status_row + 1 + static_cast<int>(i), 1, hint_rows[i], Style{Colour::Default, Colour::Default, false, false, false, true});
    return true;
}

void Session::draw_too_small() {
    Screen& s = *screen_;
    std::u16string message = u"This terminal is " + host::decimal(s.cols()) + u" x " + host::decimal(s.rows()) +
                             u"; the walk-through needs at least " + host::decimal(min_cols) + u" x " +
                             host::decimal(min_rows) + u". Please make it larger, or press q to leave.";
    auto lines = wrap(message, std::max(1, s.cols() - 2));
    int y = std::max(0, (s.rows() - static_cast<int>(lines.size())) / 2);
    for (const auto& l : lines)
        s.text(y++, std::max(0, (s.cols() - static_cast<int>(l.size())) / 2), l, desktop);
}

// The keys that work now, leaving always among them; three spaces part one hint from the next.
std::u16string Session::keys_help(Form* top) {
    if (!top)
        return ribbon() ? u"Enter/w: press the ribbon button   s: select the next list   u: Update List   q, Ctrl+C: leave"
                       : u"Enter/w: click the toolbar button   q, Ctrl+C: leave";
    const Control* focused = control(*top, top->focus());
    // In the name box q is a letter of the name.
    if (focused && focused->kind == Kind::TextBox)
        return u"type the name   Backspace/Del/arrows: edit   Tab/Shift+Tab: move   Alt+letter: button   "
               u"Ctrl+C: leave";
    std::u16string h = u"Tab, Shift+Tab: move   Enter: press   letter: button   Space: select";
    bool links = false;
    for (const auto& c : top->controls())
        if (c.kind == Kind::Link && c.visible) links = true;
    if (links) h += u"   1, 2: links";
    h += u"   F4: close   w: wizard button   q: leave";
    return h;
}

void Session::collect_status() {
    const auto& ev = host().events();
    for (; seen_ < ev.size(); ++seen_) {
        const json& e = ev[seen_];
        std::string kind = e.value("event", "");
        if (kind == "process") status_.push_back(u"Help viewer started: " + text(e["commandLine"]));
        else if (kind == "navigate") status_.push_back(u"Browser opened: " + text(e["url"]));
        else if (kind == "shell") status_.push_back(u"Opened in the default browser: " + text(e["address"]));
        else if (kind == "saved")
            status_.push_back(u"List \"" + text(e["subject"]) + u"\" saved with " +
                              host::decimal(static_cast<int64_t>(e["members"].size())) + u" members");
        else if (kind == "display") status_.push_back(u"the list's window is open");
        else if (kind == "failure")
            status_.push_back(u"Error " + host::from_utf8(e["number"].dump()) + u": " + text(e["description"]));
        else if (kind == "result")
            status_.push_back(u"The host's call into the add-in failed: Error " + host::from_utf8(e["number"].dump()) +
                              u": " + text(e["description"]));
    }
}

// A window with a title bar at the middle of the desktop; returns its client area.
Painter Session::window(std::u16string_view caption, int w, int h, bool active) {
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

void Session::draw_form(Form& f, bool is_active) {
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
            if (first > 0 && host::whole_characters(c.text, first) != first) ++first;  // not from a pair's second half
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
void Session::draw_picture(Painter& p, const Cells& r) {
    p.fill(r.y, r.x, r.h, r.w, Style{Colour::Black, Colour::Yellow});
    p.text(r.y + r.h / 2, r.x + r.w / 2, u"+", Style{Colour::Green, Colour::Yellow, true});
}

void Session::draw_button(Painter& p, const Cells& r, const Control& c, bool focused) {
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

}  // namespace quillamor_sim::play
