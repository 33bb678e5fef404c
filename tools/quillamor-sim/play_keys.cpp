// The walk-through's keys: what each key the person presses does on the active form.
#include "tools/quillamor-sim/play_session.h"

namespace quillamor_sim::play {

namespace {

std::u16string u16(char32_t c) {
    if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
    c -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

}  // namespace

// --- keys
void Session::handle(const Key& k) {
    if (k.type == T::Interrupt) throw Leave{};
    Form* f = active();
    if (!f) {
        if (k.type == T::Enter || k.is(U'w')) click_wizard_button();
        else if (ribbon() && k.is(U's')) select_next_list();
        else if (ribbon() && k.is(U'u')) press_update_list();
        else if (k.is(U'q')) throw Leave{};
        return;
    }
    page_key(*f, k);
}

void Session::page_key(Form& f, const Key& k) {
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

size_t Session::cursor_of(Form& f, const Control& c) {
    auto it = cursors_.find(cursor_key(f, c));
    size_t at = it == cursors_.end() ? c.text.size() : it->second;
    return std::min(at, c.text.size());
}

void Session::edit(Form& f, const Control& c, LineEdit::Op op) {
    LineEdit e{c.text, cursor_of(f, c)};
    if (e.apply(op)) commit(f, c, e);
    else cursors_[cursor_key(f, c)] = e.cursor;
}

void Session::commit(Form& f, const Control& c, const LineEdit& e) {
    std::u16string name = c.name;
    cursors_[cursor_key(f, c)] = e.cursor;
    act([&] { f.type(name, e.text); });
}

// Arrow keys within the option group move to the next option and select it.
void Session::move_in_group(Form& f, const Control& from, int delta) {
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

void Session::open_link(Form& f, size_t index) {
    std::vector<std::u16string> links;
    for (const auto& c : f.controls())
        if (c.kind == Kind::Link && c.visible && c.enabled) links.push_back(c.name);
    if (index >= links.size()) return;
    std::u16string name = links[index];
    act([&] { f.press(name); });
}

}  // namespace quillamor_sim::play
