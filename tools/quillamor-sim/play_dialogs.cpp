// The walk-through's dialogs: categories, folder and message box, answered by the person.
#include "tools/quillamor-sim/play_session.h"

#include "host/failure.h"

namespace quillamor_sim::play {

// --- the host's dialogs, answered by the person
std::optional<std::u16string> Session::categories(const std::vector<std::u16string>& available,
                                                  std::u16string_view separator) {
    Checklist list(available, separator);
    InDialog in(*this, u"Up, Down: move   Space: tick   Enter: OK   Esc: Cancel   Ctrl+C, q: leave");
    for (;;) {
        if (draw()) draw_checklist(list);
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

std::shared_ptr<sim::Folder> Session::pick_folder(const std::vector<std::shared_ptr<sim::Folder>>& tree) {
    auto rows = folder_rows(tree);
    size_t current = 0;
    auto contacts = host().profile().contacts();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].folder == contacts) current = i;
    InDialog in(*this, u"Up, Down: move   Enter: OK   Esc: Cancel   Ctrl+C, q: leave");
    for (;;) {
        if (draw()) draw_folders(rows, current);
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

int32_t Session::msgbox(std::u16string_view message, int32_t style, std::u16string_view title) {
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
    std::u16string keys = u"Enter: press   Left, Right, Tab: move";
    for (const auto& b : buttons) {
        Caption cap = parse_caption(b.caption);
        keys += u"   " + std::u16string(1, static_cast<char16_t>(cap.text[0] | 0x20)) + u": " + cap.text;
    }
    InDialog in(*this, keys + u"   Ctrl+C, q: leave");
    for (;;) {
        if (draw()) draw_msgbox(message, style, title, buttons, focus);
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

// A key in a dialog: Ctrl+C and q leave from there too. On a terminal too small to show the
// dialog, no other key counts: the person cannot see what it would do.
Key Session::read() {
    for (;;) {
        Key k = screen_->read_key();
        if (k.type == T::Interrupt || k.is(U'q')) throw Leave{};
        if (k.type == T::Resize || !too_small()) return k;
    }
}

// A modal dialog box: the buttons at its foot.
Painter Session::dialog(std::u16string_view title, int w, int h) { return window(title, w, h, true); }

void Session::dialog_buttons(Painter& p, int y, int w, const std::vector<BoxButton>& buttons, size_t focus) {
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

void Session::draw_msgbox(std::u16string_view message, int32_t style, std::u16string_view title,
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

void Session::draw_checklist(const Checklist& list) {
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

void Session::draw_folders(const std::vector<FolderRow>& rows, size_t current) {
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

}  // namespace quillamor_sim::play
