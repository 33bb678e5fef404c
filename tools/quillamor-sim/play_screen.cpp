#include "tools/quillamor-sim/play_screen.h"

#include <clocale>
#include <csignal>
#include <stdexcept>
#include <string>

// Functions, not macros: this file has members named like some of the macros.
#define NCURSES_NOMACROS
#include <ncurses.h>
#include <unistd.h>

namespace quillamor_sim::play {

namespace {

volatile std::sig_atomic_t leave_asked = 0;

extern "C" void ask_to_leave(int) { leave_asked = 1; }

constexpr int leave_signals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[3];

// How long a read waits before it looks at the leave flag again (ms), and how long after an
// Esc a following key still counts as pressed with Alt.
constexpr int poll_ms = 200;
constexpr int alt_ms = 40;

std::wstring wide(std::u16string_view s) {
    std::wstring out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        // Control characters would move the terminal's cursor: show them as spaces.
        if (c < 0x20 || c == 0x7F) c = U' ';
        out += static_cast<wchar_t>(c);
    }
    return out;
}

Key function_key(wint_t k) {
    using T = Key::Type;
    switch (k) {
    case KEY_ENTER: return {T::Enter};
    case KEY_BTAB: return {T::BackTab};
    case KEY_BACKSPACE: return {T::Backspace};
    case KEY_DC: return {T::Delete};
    case KEY_LEFT: return {T::Left};
    case KEY_RIGHT: return {T::Right};
    case KEY_UP: return {T::Up};
    case KEY_DOWN: return {T::Down};
    case KEY_HOME: return {T::Home};
    case KEY_END: return {T::End};
    case KEY_RESIZE: return {T::Resize};
    default:
        if (k == static_cast<wint_t>(KEY_F(4))) return {T::F4};
        return {T::None};
    }
}

Key char_key(wint_t c) {
    using T = Key::Type;
    switch (c) {
    case 3: return {T::Interrupt};
    case '\n':
    case '\r': return {T::Enter};
    case '\t': return {T::Tab};
    case 8:
    case 127: return {T::Backspace};
    case 27: return {T::Esc};
    default:
        if (c < 0x20) return {T::None};
        return {T::Char, static_cast<char32_t>(c)};
    }
}

}  // namespace

Screen::Screen() {
    leave_asked = 0;
    struct sigaction sa {};
    sa.sa_handler = ask_to_leave;
    sigemptyset(&sa.sa_mask);
    for (size_t i = 0; i < 3; ++i) sigaction(leave_signals[i], &sa, &previous[i]);

    std::setlocale(LC_ALL, "");
    // The screen goes to the terminal itself when the standard output is redirected.
    std::FILE* out = stdout;
    if (!isatty(STDOUT_FILENO)) {
        tty_ = std::fopen("/dev/tty", "w");
        out = tty_;
    }
    SCREEN* screen = out && isatty(STDIN_FILENO) ? newterm(nullptr, out, stdin) : nullptr;
    if (!screen) {
        if (tty_) std::fclose(tty_);
        for (size_t i = 0; i < 3; ++i) sigaction(leave_signals[i], &previous[i], nullptr);
        throw std::runtime_error("the walk-through needs a terminal");
    }
    screen_ = screen;
    set_term(screen);
    set_escdelay(25);
    raw();  // Ctrl+C comes as a key, so that leaving goes through the same clean path
    noecho();
    keypad(stdscr, TRUE);
    timeout(poll_ms);
    curs_set(0);
    if (has_colors()) {
        start_color();
        use_default_colors();
        colours_ = true;
        colour_count_ = COLORS;
    }
}

Screen::~Screen() {
    endwin();
    delscreen(static_cast<SCREEN*>(screen_));
    if (tty_) std::fclose(tty_);
    for (size_t i = 0; i < 3; ++i) sigaction(leave_signals[i], &previous[i], nullptr);
}

int Screen::cols() const { return COLS; }
int Screen::rows() const { return LINES; }

Key Screen::read_key() {
    for (;;) {
        if (leave_asked) return {Key::Type::Interrupt};
        wint_t c = 0;
        int r = get_wch(&c);
        if (r == ERR) continue;
        if (r == KEY_CODE_YES) {
            Key k = function_key(c);
            if (k.type != Key::Type::None) return k;
            continue;
        }
        Key k = char_key(c);
        if (k.type == Key::Type::Esc) {
            // Alt+letter arrives as Esc followed by the letter.
            timeout(alt_ms);
            wint_t next = 0;
            int r2 = get_wch(&next);
            timeout(poll_ms);
            if (r2 == OK) {
                Key n = char_key(next);
                if (n.type == Key::Type::Char) {
                    n.alt = true;
                    return n;
                }
                if (n.type != Key::Type::None && n.type != Key::Type::Esc) return n;
            } else if (r2 == KEY_CODE_YES) {
                Key n = function_key(next);
                if (n.type != Key::Type::None) return n;
            }
            return k;
        }
        if (k.type != Key::Type::None) return k;
    }
}

void Screen::wipe() {
    ::erase();
    cursor_wanted_ = false;
}

short Screen::colour_number(Colour c) const {
    const bool bright = colour_count_ >= 16;
    switch (c) {
    case Colour::Default: return -1;
    case Colour::Black: return COLOR_BLACK;
    case Colour::White: return COLOR_WHITE;
    case Colour::BrightWhite: return bright ? 15 : COLOR_WHITE;
    case Colour::Grey: return bright ? 8 : COLOR_BLACK;
    case Colour::Blue: return COLOR_BLUE;
    case Colour::Yellow: return COLOR_YELLOW;
    case Colour::Green: return COLOR_GREEN;
    case Colour::Red: return COLOR_RED;
    case Colour::Cyan: return COLOR_CYAN;
    }
    return -1;
}

short Screen::pair(Colour fg, Colour bg) {
    if (!colours_) return 0;
    auto key = std::make_pair(fg, bg);
    if (auto it = pairs_.find(key); it != pairs_.end()) return it->second;
    if (static_cast<int>(pairs_.size()) + 1 >= COLOR_PAIRS) return 0;
    short n = static_cast<short>(pairs_.size() + 1);
    init_pair(n, colour_number(fg), colour_number(bg));
    pairs_[key] = n;
    return n;
}

void Screen::set_style(const Style& st) {
    attr_t a = A_NORMAL;
    if (st.bold) a |= A_BOLD;
    if (st.underline) a |= A_UNDERLINE;
    if (st.reverse) a |= A_REVERSE;
    if (st.dim) a |= A_DIM;
    attr_set(a, pair(st.fg, st.bg), nullptr);
}

void Screen::text(int y, int x, std::u16string_view s, Style st, int max_width) {
    if (y < 0 || y >= LINES) return;
    std::wstring w = wide(s);
    if (max_width < static_cast<int>(w.size())) w.resize(max_width < 0 ? 0 : max_width);
    if (x < 0) {
        if (-x >= static_cast<int>(w.size())) return;
        w.erase(0, static_cast<size_t>(-x));
        x = 0;
    }
    if (x >= COLS) return;
    if (static_cast<int>(w.size()) > COLS - x) w.resize(static_cast<size_t>(COLS - x));
    set_style(st);
    mvaddnwstr(y, x, w.c_str(), static_cast<int>(w.size()));
    attr_set(A_NORMAL, 0, nullptr);
}

void Screen::fill(int y, int x, int h, int w, Style st) {
    if (w <= 0) return;
    std::u16string blank(static_cast<size_t>(w), u' ');
    for (int r = 0; r < h; ++r) text(y + r, x, blank, st);
}

void Screen::rule(int y, int x, int w, Style st) {
    if (y < 0 || y >= LINES || w <= 0) return;
    if (x < 0) {
        w += x;
        x = 0;
    }
    if (x + w > COLS) w = COLS - x;
    if (w <= 0) return;
    set_style(st);
    mvhline(y, x, ACS_HLINE, w);
    attr_set(A_NORMAL, 0, nullptr);
}

void Screen::frame(int y, int x, int h, int w, Style st) {
    if (h < 2 || w < 2) return;
    set_style(st);
    auto corner = [](int yy, int xx, chtype c) {
        if (yy >= 0 && yy < LINES && xx >= 0 && xx < COLS) mvaddch(yy, xx, c);
    };
    for (int r = y + 1; r < y + h - 1; ++r) {
        corner(r, x, ACS_VLINE);
        corner(r, x + w - 1, ACS_VLINE);
    }
    attr_set(A_NORMAL, 0, nullptr);
    rule(y, x + 1, w - 2, st);
    rule(y + h - 1, x + 1, w - 2, st);
    set_style(st);
    corner(y, x, ACS_ULCORNER);
    corner(y, x + w - 1, ACS_URCORNER);
    corner(y + h - 1, x, ACS_LLCORNER);
    corner(y + h - 1, x + w - 1, ACS_LRCORNER);
    attr_set(A_NORMAL, 0, nullptr);
}

void Screen::place_cursor(int y, int x) {
    if (y < 0 || y >= LINES || x < 0 || x >= COLS) return hide_cursor();
    cursor_y_ = y;
    cursor_x_ = x;
    cursor_wanted_ = true;
}

void Screen::hide_cursor() { cursor_wanted_ = false; }

void Screen::show() {
    if (cursor_wanted_ != cursor_shown_) {
        curs_set(cursor_wanted_ ? 1 : 0);
        cursor_shown_ = cursor_wanted_;
    }
    // The cursor goes last: it shows where typing goes, or sits out of the way.
    if (cursor_shown_) move(cursor_y_, cursor_x_);
    else move(LINES - 1, COLS - 1);
    refresh();
}

}  // namespace quillamor_sim::play
