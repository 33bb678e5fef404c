#pragma once
// The terminal under the walk-through, over ncurses: owning the screen (it is given back as it
// was on every way out), reading keys, and drawing text in a handful of colours. The screen
// is the controlling terminal even when the standard output goes to a file, so that what the
// walk-through prints at the end can be kept.
#include <climits>
#include <cstdio>
#include <map>
#include <string_view>
#include <utility>

namespace quillamor_sim::play {

enum class Colour { Default, Black, White, BrightWhite, Grey, Blue, Yellow, Green, Red, Cyan };

struct Style {
    Colour fg = Colour::Default;
    Colour bg = Colour::Default;
    bool bold = false;
    bool underline = false;
    bool reverse = false;
    bool dim = false;
};

struct Key {
    enum class Type {
        None, Char, Enter, Tab, BackTab, Esc, Backspace, Delete,
        Left, Right, Up, Down, Home, End, F4, Interrupt, Resize
    };
    Type type = Type::None;
    char32_t ch = 0;   // Char
    bool alt = false;  // Char: pressed with Alt (the terminal sends Esc first)

    bool is(char32_t c) const { return type == Type::Char && !alt && ch == c; }
};

class Screen {
public:
    // Throws std::runtime_error when there is no terminal to draw on.
    Screen();
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    int cols() const;
    int rows() const;
    bool colours() const { return colours_; }

    // The next key. Interrupt comes for Ctrl+C and when the process is asked to stop
    // (SIGINT, SIGTERM, SIGHUP), so that the caller can leave cleanly.
    Key read_key();

    void wipe();
    // Text on one row, clipped to the screen and to `max_width` cells.
    void text(int y, int x, std::u16string_view s, Style st, int max_width = INT_MAX);
    void fill(int y, int x, int h, int w, Style st);
    void rule(int y, int x, int w, Style st);
    // A single-line border around the rectangle.
    void frame(int y, int x, int h, int w, Style st);
    // Where the cursor shows in this frame (erase hides it again).
    void place_cursor(int y, int x);
    void hide_cursor();
    // Puts what was drawn on the terminal.
    void show();

private:
    void set_style(const Style& st);
    short pair(Colour fg, Colour bg);
    short colour_number(Colour c) const;

    bool colours_ = false;
    int colour_count_ = 0;
    std::map<std::pair<Colour, Colour>, short> pairs_;
    bool cursor_shown_ = false;
    bool cursor_wanted_ = false;  // a frame shows the cursor only where it places it
    int cursor_y_ = 0, cursor_x_ = 0;
    std::FILE* tty_ = nullptr;    // the terminal opened for the screen, when not stdout
    void* screen_ = nullptr;      // the ncurses SCREEN
};

}  // namespace quillamor_sim::play
