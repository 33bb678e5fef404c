#include "tools/quillamor-sim/play_layout.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "host/letter_case.h"
#include "sim/model/restrict.h"

namespace quillamor_sim::play {

namespace {

int round_div(int twips, int per_cell) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / per_cell));
}

int ceil_div(int a, int b) { return b <= 0 ? a : (a + b - 1) / b; }

}  // namespace

Scale fit_scale(int width, int height, int cols, int rows) {
    Scale s = natural_scale;
    if (cols > 0) s.col = std::max(s.col, ceil_div(width, cols));
    if (rows > 0) s.row = std::max(s.row, ceil_div(height, rows));
    return s;
}

int cols_for(int twips, Scale s) { return twips > 0 ? std::max(1, round_div(twips, s.col)) : 0; }
int rows_for(int twips, Scale s) { return twips > 0 ? std::max(1, round_div(twips, s.row)) : 0; }

Cells to_cells(const wizard::Rect& r, Scale s) {
    Cells c;
    c.x = round_div(r.left, s.col);
    c.y = round_div(r.top, s.row);
    c.w = round_div(r.left + r.width, s.col) - c.x;
    c.h = round_div(r.top + r.height, s.row) - c.y;
    if (r.width > 0) c.w = std::max(c.w, 1);
    if (r.height > 0) c.h = std::max(c.h, 1);
    return c;
}

int text_row(const wizard::Rect& r, Scale s) {
    int middle = r.top + std::min(std::max(r.height, 0), s.row) / 2;
    return static_cast<int>(std::floor(static_cast<double>(middle) / s.row));
}

int line_row(int y, Scale s) { return static_cast<int>(std::floor(static_cast<double>(y) / s.row)); }

namespace {

using wizard::Kind;

bool has_text(Kind k) {
    return k == Kind::Label || k == Kind::Link || k == Kind::Option || k == Kind::TextBox || k == Kind::Button ||
           k == Kind::ProgressBar;
}

// A drawn line takes its row: text squeezed onto it by a coarse scale would be cut through.
bool is_rule(const wizard::Control& c) { return c.kind == Kind::Line && c.rect.height == 0; }

bool takes_cells(const wizard::Control& c) { return has_text(c.kind) || is_rule(c); }

// The columns a placed control's text covers.
int text_width(const Placement& p) {
    if (p.control->kind != Kind::Label && p.control->kind != Kind::Link) return p.cells.w;
    int w = 0;
    for (const auto& l : p.lines) w = std::max(w, static_cast<int>(l.size()));
    return w;
}

bool overlaps(const Placement& a, const Placement& b) {
    int aw = text_width(a), bw = text_width(b);
    if (aw <= 0 || bw <= 0 || (is_rule(*a.control) && is_rule(*b.control))) return false;
    if ((a.cells.h <= 0 && !is_rule(*a.control)) || (b.cells.h <= 0 && !is_rule(*b.control))) return false;
    const int ah = is_rule(*a.control) ? 1 : a.cells.h, bh = is_rule(*b.control) ? 1 : b.cells.h;
    bool cols = a.cells.x < b.cells.x + bw && b.cells.x < a.cells.x + aw;
    bool rows = a.cells.y < b.cells.y + bh && b.cells.y < a.cells.y + ah;
    return cols && rows;
}

}  // namespace

std::vector<Placement> lay_out(const std::vector<wizard::Control>& controls, int client_cols, int client_rows,
                               Scale s) {
    std::vector<Placement> out;
    for (const auto& c : controls) {
        if (!c.visible) continue;
        Placement p{&c, to_cells(c.rect, s), {}};
        if (c.kind == Kind::Line) {
            p.cells.y = line_row(c.rect.top, s);
        } else if (has_text(c.kind)) {
            p.cells.y = text_row(c.rect, s);
            p.cells.h = 1;
        }
        out.push_back(std::move(p));
    }
    // A text box stands on the row of the label that names it on the same design line, and
    // moves with it: its taller box would otherwise round to the next row at a coarse scale,
    // or be pushed down alone, out from beside the label's text.
    std::map<const Placement*, Placement*> label_of;
    for (auto& box : out) {
        const auto& b = box.control->rect;
        if (box.control->kind != Kind::TextBox) continue;
        Placement* nearest = nullptr;
        for (auto& label : out) {
            const auto& l = label.control->rect;
            if (label.control->kind != Kind::Label || l.left + l.width > b.left) continue;
            if (!(l.top < b.top + b.height && b.top < l.top + l.height)) continue;
            if (!nearest || std::abs(l.top - b.top) < std::abs(nearest->control->rect.top - b.top)) nearest = &label;
        }
        if (nearest) {
            box.cells.y = nearest->cells.y;
            label_of[&box] = nearest;
        }
    }
    // Labels wrap at the width that the controls beside them leave them: controls that the
    // design puts past the label's right edge. One that starts under the label only shares
    // its row because the scale squeezed the rows, and it moves down below instead.
    for (auto& p : out) {
        const auto& c = *p.control;
        if (c.kind != Kind::Label && c.kind != Kind::Link) continue;
        int limit = client_cols - p.cells.x;
        for (const auto& o : out) {
            if (&o == &p || !has_text(o.control->kind)) continue;
            const bool beside = o.control->rect.left >= c.rect.left + c.rect.width;
            if (beside && o.cells.y == p.cells.y) limit = std::min(limit, o.cells.x - 1 - p.cells.x);
        }
        int width = std::max(1, std::min(limit, (p.cells.w * 4 + 2) / 3));
        p.lines = wrap(c.text, width);
        p.cells.h = static_cast<int>(p.lines.size());
    }
    // Text that would land on text placed above it moves down, top to bottom.
    std::vector<Placement*> order;
    for (auto& p : out)
        if (takes_cells(*p.control)) order.push_back(&p);
    std::stable_sort(order.begin(), order.end(), [](const Placement* a, const Placement* b) {
        return a->control->rect.top < b->control->rect.top;
    });
    auto height = [](const Placement& p) { return is_rule(*p.control) ? 1 : p.cells.h; };
    for (size_t i = 0; i < order.size(); ++i) {
        Placement& p = *order[i];
        auto label = label_of.find(&p);
        Placement* partner = label == label_of.end() ? nullptr : label->second;
        if (partner) p.cells.y = partner->cells.y = std::max(p.cells.y, partner->cells.y);
        for (;;) {
            bool taken = false;
            for (size_t j = 0; j < i && !taken; ++j)
                taken = (order[j] != partner && overlaps(*order[j], p)) ||
                        (partner && order[j] != partner && overlaps(*order[j], *partner));
            if (!taken) break;
            ++p.cells.y;
            if (partner) ++partner->cells.y;
        }
    }
    // What the pushing ran off the foot of the page comes back up into the rows left free
    // above it, bottom first, taking along whatever it would land on.
    for (size_t i = order.size(); i-- > 0;) {
        Placement& p = *order[i];
        for (;;) {
            bool wrong = p.cells.y + height(p) > client_rows;
            for (size_t j = i + 1; j < order.size() && !wrong; ++j) wrong = overlaps(*order[j], p);
            if (!wrong || p.cells.y <= 0) break;
            --p.cells.y;
        }
    }
    // A label that came back up takes its box along where the box's row is free.
    for (auto& [box, label] : label_of) {
        Placement& b = *const_cast<Placement*>(box);
        if (b.cells.y == label->cells.y) continue;
        const int was = b.cells.y;
        b.cells.y = label->cells.y;
        for (const Placement* o : order)
            if (o != box && o != label && overlaps(*o, b)) {
                b.cells.y = was;
                break;
            }
    }
    return out;
}

Caption parse_caption(std::u16string_view text) {
    Caption c;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&' && c.key == std::u16string::npos) c.key = c.text.size();
        }
        c.text += text[i];
    }
    return c;
}

std::vector<std::u16string> wrap(std::u16string_view text, int width) {
    std::vector<std::u16string> lines;
    if (width <= 0) return lines;
    const size_t w = static_cast<size_t>(width);
    std::u16string line;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == u'\n') {
            lines.push_back(std::move(line));
            line.clear();
            ++i;
            continue;
        }
        if (text[i] == u' ') {
            if (!line.empty() && line.size() < w) line += u' ';
            ++i;
            continue;
        }
        size_t end = text.find_first_of(u" \n", i);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view word = text.substr(i, end - i);
        if (!line.empty() && line.size() + word.size() > w) {
            while (!line.empty() && line.back() == u' ') line.pop_back();
            lines.push_back(std::move(line));
            line.clear();
        }
        while (word.size() > w) {
            // A word longer than a line is cut where the line ends, never inside a pair (on a
            // line one column wide, a pair takes its line whole).
            size_t cut = host::whole_characters(word, w);
            if (cut == 0) cut = 2;
            lines.emplace_back(word.substr(0, cut));
            word.remove_prefix(cut);
        }
        line += word;
        i = end;
    }
    while (!line.empty() && line.back() == u' ') line.pop_back();
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

std::vector<std::u16string> hint_lines(std::u16string_view hints, int width) {
    std::vector<std::u16string> lines;
    if (width <= 0) return lines;
    constexpr std::u16string_view gap = u"   ";
    const size_t w = static_cast<size_t>(width);
    std::u16string line;
    while (!hints.empty()) {
        size_t end = hints.find(gap);
        std::u16string_view hint = hints.substr(0, end);
        hints.remove_prefix(end == std::u16string_view::npos ? hints.size() : end + gap.size());
        if (hint.empty()) continue;
        if (!line.empty() && line.size() + gap.size() + hint.size() > w) {
            lines.push_back(std::move(line));
            line.clear();
        }
        if (!line.empty()) line += gap;
        line += hint.substr(0, host::whole_characters(hint, w - std::min(w, line.size())));
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

bool LineEdit::insert(char16_t c) {
    cursor = std::min(cursor, text.size());
    text.insert(text.begin() + static_cast<std::ptrdiff_t>(cursor), c);
    ++cursor;
    return true;
}

bool LineEdit::apply(Op op) {
    cursor = std::min(cursor, text.size());
    switch (op) {
    case Op::Left:
        if (cursor > 0) --cursor;
        return false;
    case Op::Right:
        if (cursor < text.size()) ++cursor;
        return false;
    case Op::Home: cursor = 0; return false;
    case Op::End: cursor = text.size(); return false;
    case Op::Backspace:
        if (cursor == 0) return false;
        text.erase(--cursor, 1);
        return true;
    case Op::Delete:
        if (cursor >= text.size()) return false;
        text.erase(cursor, 1);
        return true;
    }
    return false;
}

void Checklist::toggle() {
    if (current < ticked.size()) ticked[current] = !ticked[current];
}

void Checklist::move(int delta) {
    if (names.empty()) return;
    long next = static_cast<long>(current) + delta;
    next = std::clamp(next, 0L, static_cast<long>(names.size()) - 1);
    current = static_cast<size_t>(next);
}

std::u16string Checklist::selection() const {
    std::vector<std::u16string> picked;
    for (size_t i = 0; i < names.size(); ++i)
        if (ticked[i]) picked.push_back(names[i]);
    return sim::join_categories(picked, separator);
}

namespace {

void add_rows(const std::vector<std::shared_ptr<sim::Folder>>& folders, int depth, std::vector<FolderRow>& out) {
    for (const auto& f : folders) {
        if (!f) continue;
        out.push_back({f, depth});
        add_rows(f->folders, depth + 1, out);
    }
}

}  // namespace

std::vector<FolderRow> folder_rows(const std::vector<std::shared_ptr<sim::Folder>>& tree) {
    std::vector<FolderRow> rows;
    add_rows(tree, 0, rows);
    return rows;
}

}  // namespace quillamor_sim::play
