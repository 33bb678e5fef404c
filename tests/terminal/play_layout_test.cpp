// The terminal walk-through's layout and editing rules: pages in cells, captions, wrapping, the
// name box, the categories checklist, the folder rows and the printed lists.
#include <gtest/gtest.h>

#include <sstream>

#include "addin/process_state.h"
#include "host/text.h"
#include "sim/sim_host.h"
#include "tools/quillamor-sim/play.h"
#include "tools/quillamor-sim/play_layout.h"
#include "wizard/forms.h"
#include "wizard/page_frame.h"

namespace {

using namespace quillamor_sim::play;
using nlohmann::json;

// At the natural scale and at the scale fitted to a small terminal, no two buttons of a page
// share a cell, every button is wide enough for its caption in brackets, and the button row
// lies inside the page.
TEST(PlayLayout, ButtonRowsKeepApartAndInside) {
    const int frame_cols = 78, frame_rows = 19;  // an 80 x 24 terminal less the chrome
    const Scale scales[] = {natural_scale, fit_scale(wizard::frame::client_width, wizard::frame::client_height,
                                                     frame_cols, frame_rows)};
    const wizard::FormDesign pages[] = {wizard::design_frmStartUp(), wizard::design_frmChoose(),
                                        wizard::design_frmTitle(), wizard::design_frmDone()};
    for (const auto& sc : scales) {
        for (const auto& page : pages) {
            SCOPED_TRACE(host::to_utf8(page.name) + " at " + std::to_string(sc.col) + "x" + std::to_string(sc.row));
            const int width = cols_for(page.client_width, sc), height = rows_for(page.client_height, sc);
            std::vector<Cells> buttons;
            for (const auto& c : page.controls) {
                if (c.kind != wizard::Kind::Button) continue;
                Cells r = to_cells(c.rect, sc);
                EXPECT_GE(r.x, 0);
                EXPECT_LE(r.x + r.w, width);
                EXPECT_LT(r.y, height);
                if (sc.col == natural_scale.col) {
                    EXPECT_GE(r.w, static_cast<int>(parse_caption(c.text).text.size()) + 2) << host::to_utf8(c.text);
                }
                for (const auto& o : buttons) EXPECT_TRUE(r.x >= o.x + o.w || o.x >= r.x + r.w);
                buttons.push_back(r);
            }
        }
    }
}

// Every page, with the work type page also as the quick list describes it.
std::vector<wizard::FormDesign> all_pages() {
    wizard::FormDesign quick_described = wizard::design_frmChoose();
    for (auto& c : quick_described.controls) {
        if (c.name == u"lblshrds") c.visible = false;
        if (c.name == u"Label3") c.visible = true;
    }
    return {wizard::design_frmStartUp(), wizard::design_frmChoose(), quick_described,
            wizard::design_frmTitle(), wizard::design_frmDone(), wizard::design_frmPBar()};
}

// What is wrong with a page laid out at a scale: texts that share a cell (a drawn line counts
// as text across its row), text outside the page, a separator that is not above the buttons.
std::vector<std::string> layout_faults(const wizard::FormDesign& page, Scale sc) {
    std::vector<std::string> faults;
    const int cols = cols_for(page.client_width, sc), rows = rows_for(page.client_height, sc);
    auto placed = lay_out(page.controls, cols, rows, sc);
    auto name = [](const Placement& p) { return host::to_utf8(p.control->name); };
    auto width = [](const Placement& p) {
        if (p.lines.empty()) return p.cells.w;
        int w = 0;
        for (const auto& l : p.lines) w = std::max(w, static_cast<int>(l.size()));
        return w;
    };
    auto is_rule = [](const Placement& p) { return p.control->kind == wizard::Kind::Line && p.control->rect.height == 0; };
    std::vector<const Placement*> taken;
    int lowest_line = -1, highest_button = rows;
    for (const auto& p : placed) {
        const auto kind = p.control->kind;
        if (is_rule(p)) lowest_line = std::max(lowest_line, p.cells.y);
        if (kind == wizard::Kind::Button) highest_button = std::min(highest_button, p.cells.y);
        if (kind == wizard::Kind::Shape || kind == wizard::Kind::Image || (kind == wizard::Kind::Line && !is_rule(p)))
            continue;
        const int h = is_rule(p) ? 1 : p.cells.h;
        // A line is cut at the page's edge when drawn; text would lose letters.
        const bool beyond = !is_rule(p) && p.cells.x + width(p) > cols;
        if (p.cells.y < 0 || p.cells.y + h > rows || beyond) faults.push_back(name(p) + " outside");
        if (!p.lines.empty()) {
            // Wrapped no narrower than its longest word: every word shows whole on a line.
            std::u16string_view text = p.control->text;
            for (size_t i = 0; i < text.size();) {
                size_t end = std::min(text.find_first_of(u" \n", i), text.size());
                std::u16string word(text.substr(i, end - i));
                bool whole = word.empty();
                for (const auto& l : p.lines) whole = whole || l.find(word) != std::u16string::npos;
                if (!whole) faults.push_back(name(p) + " cuts \"" + host::to_utf8(word) + "\"");
                i = end + 1;
            }
        }
        for (const auto* o : taken) {
            if (is_rule(p) && is_rule(*o)) continue;
            const int oh = is_rule(*o) ? 1 : o->cells.h;
            bool share = p.cells.x < o->cells.x + width(*o) && o->cells.x < p.cells.x + width(p) &&
                         p.cells.y < o->cells.y + oh && o->cells.y < p.cells.y + h;
            if (share) faults.push_back(name(p) + " on " + name(*o));
        }
        taken.push_back(&p);
    }
    if (lowest_line >= highest_button) faults.push_back("separator not above the buttons");
    return faults;
}

// The scale of the pages on a terminal: the window's title and edges, the toolbar, the status
// line and the key hints (two or three rows on a narrow terminal) take their rows.
Scale terminal_scale(int cols, int rows, int hint_rows) {
    return fit_scale(wizard::frame::client_width, wizard::frame::client_height, cols - 2, rows - 4 - hint_rows);
}

// Every page is legible at the natural scale and on every terminal from the smallest that the
// walk-through draws on up, with the rows that the busiest page's key hints take there (at
// most two, leaving among them).
TEST(PlayLayout, PagesLegibleFromTheSmallestTerminalUp) {
    struct Size {
        int cols, rows;
    };
    const std::u16string busiest =
        u"Tab, Shift+Tab: move   Enter: press   letter: button   Space: select   1, 2: links   F4: close   "
        u"w: wizard button   q: leave";
    std::vector<Size> sizes = {{100, 30}, {120, 40}, {200, 60}};
    for (int rows = min_rows; rows <= 30; ++rows) sizes.push_back({min_cols, rows});
    for (const auto& page : all_pages()) {
        auto faults = layout_faults(page, natural_scale);
        EXPECT_TRUE(faults.empty()) << host::to_utf8(page.name) << " natural: " << testing::PrintToString(faults);
        for (const auto& size : sizes) {
            const int hint_rows = static_cast<int>(hint_lines(busiest, size.cols - 2).size());
            faults = layout_faults(page, terminal_scale(size.cols, size.rows, hint_rows));
            EXPECT_TRUE(faults.empty()) << host::to_utf8(page.name) << " at " << size.cols << "x" << size.rows << ": "
                                        << testing::PrintToString(faults);
        }
    }
    auto lines = hint_lines(busiest, min_cols - 2);
    EXPECT_LE(lines.size(), 2u);
    EXPECT_NE(lines.back().find(u"q: leave"), std::u16string::npos);
}

// The name box stays beside its label, on the label's first row and clear of its text, at every
// size the walk-through draws on: a box pushed down onto the description's rows would show the
// typed name where the user does not look for it.
TEST(PlayLayout, TheNameBoxStaysBesideItsLabel) {
    const wizard::FormDesign title = wizard::design_frmTitle();
    for (int cols = min_cols; cols <= 240; cols += 8)
        for (int rows = min_rows; rows <= 70; rows += 2)
            for (int hint_rows = 1; hint_rows <= 3; ++hint_rows) {
                const auto placed = lay_out(title.controls, cols - 2, rows - 4 - hint_rows,
                                            terminal_scale(cols, rows, hint_rows));
                const Placement *label = nullptr, *box = nullptr;
                for (const auto& p : placed) {
                    if (p.control->name == u"lblTitle") label = &p;
                    if (p.control->name == u"txtSubject") box = &p;
                }
                ASSERT_TRUE(label && box);
                int label_width = 0;
                for (const auto& l : label->lines) label_width = std::max(label_width, static_cast<int>(l.size()));
                EXPECT_EQ(box->cells.y, label->cells.y) << cols << "x" << rows << ", " << hint_rows << " hint rows";
                EXPECT_GE(box->cells.x, label->cells.x + label_width) << cols << "x" << rows;
            }
}

TEST(PlayLayout, KeyHintsBreakBetweenHints) {
    struct Case {
        std::u16string hints;
        int width;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {u"a: one   b: two   q: leave", 40, {u"a: one   b: two   q: leave"}},
        {u"a: one   b: two   q: leave", 15, {u"a: one   b: two", u"q: leave"}},
        {u"a: one   b: two   q: leave", 8, {u"a: one", u"b: two", u"q: leave"}},
        {u"Tab, Shift+Tab: move   q: leave", 10, {u"Tab, Shift", u"q: leave"}},  // a hint longer than a line is cut
        {u"", 10, {}},
        {u"q: leave", 0, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(hint_lines(c.hints, c.width), c.lines) << host::to_utf8(c.hints) << " " << c.width;
}

TEST(PlayLayout, LabelsWrapWithinTheirRoomAndMoveDownOffTakenRows) {
    const Scale s{100, 240};
    auto label = [](std::u16string name, std::u16string text, wizard::Rect r) {
        wizard::Control c;
        c.name = std::move(name);
        c.kind = wizard::Kind::Label;
        c.text = std::move(text);
        c.rect = r;
        return c;
    };
    std::vector<wizard::Control> controls = {
        label(u"Short", u"Web Site:", {0, 0, 700, 240}),             // 7 cells, a third more fits 9
        label(u"Long", u"Enter the list's name:", {0, 480, 1000, 240}),  // stopped by the box at 14
        label(u"Below", u"Description:", {0, 720, 1000, 240}),       // lands on Long's second line
    };
    wizard::Control box;
    box.name = u"Box";
    box.kind = wizard::Kind::TextBox;
    box.rect = {1400, 480, 2000, 285};
    controls.push_back(box);

    auto placed = lay_out(controls, 40, 10, s);
    ASSERT_EQ(placed.size(), 4u);
    EXPECT_EQ(placed[0].lines, (std::vector<std::u16string>{u"Web Site:"}));
    EXPECT_EQ(placed[1].lines, (std::vector<std::u16string>{u"Enter the", u"list's name:"}));
    EXPECT_EQ(placed[1].cells.y, 2);
    EXPECT_EQ(placed[2].cells.y, 4);  // moved down from row 3
    EXPECT_EQ(placed[3].cells.y, 2);
    EXPECT_EQ(text_row({0, 5760, 1095, 375}, Scale{110, 240}), 24);
    EXPECT_EQ(line_row(5520, Scale{110, 240}), 23);
    EXPECT_EQ(text_row({0, 5760, 1095, 375}, Scale{110, 330}), 17);
    EXPECT_EQ(line_row(5520, Scale{110, 330}), 16);
}

TEST(PlayLayout, FittedScaleFitsAndNeverGrowsCells) {
    struct Case {
        int cols, rows;
    };
    for (auto c : {Case{78, 19}, Case{200, 60}, Case{40, 10}}) {
        Scale s = fit_scale(8550, 6255, c.cols, c.rows);
        EXPECT_GE(s.col, natural_scale.col);
        EXPECT_GE(s.row, natural_scale.row);
        EXPECT_LE(cols_for(8550, s), std::max(c.cols, cols_for(8550, natural_scale)));
        EXPECT_LE(rows_for(6255, s), std::max(c.rows, rows_for(6255, natural_scale)));
    }
    EXPECT_EQ(fit_scale(8550, 6255, 200, 60).col, natural_scale.col);
}

TEST(PlayLayout, TwipsToCells) {
    const Scale s{100, 200};
    EXPECT_EQ(to_cells({0, 0, 1000, 400}, s), (Cells{0, 0, 10, 2}));
    EXPECT_EQ(to_cells({-120, -240, 2655, 5775}, s), (Cells{-1, -1, 26, 29}));
    EXPECT_EQ(to_cells({240, 1560, 10, 10}, s), (Cells{2, 8, 1, 1}));  // tiny but not gone
    EXPECT_EQ(to_cells({0, 5520, 8520, 0}, s), (Cells{0, 28, 85, 0}));  // a line has no height
}

TEST(PlayLayout, CaptionsAndTheirAccessKeys) {
    struct Case {
        std::u16string in, text;
        size_t key;
    };
    const Case cases[] = {
        {u"&Next >", u"Next >", 0},
        {u"C&ancel", u"Cancel", 1},
        {u"< &Back", u"< Back", 2},
        {u"&Next>", u"Next>", 0},
        {u"Fish && Chips", u"Fish & Chips", std::u16string::npos},
        {u"A&&B &C", u"A&B C", 4},
        {u"Plain", u"Plain", std::u16string::npos},
        {u"Trailing&", u"Trailing&", std::u16string::npos},
    };
    for (const auto& c : cases) {
        Caption cap = parse_caption(c.in);
        EXPECT_EQ(cap.text, c.text) << host::to_utf8(c.in);
        EXPECT_EQ(cap.key, c.key) << host::to_utf8(c.in);
    }
    EXPECT_EQ(parse_caption(u"C&ancel").key_letter(), u'a');
    EXPECT_FALSE(parse_caption(u"Plain").key_letter());
}

TEST(PlayLayout, Wrapping) {
    struct Case {
        std::u16string text;
        int width;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {u"short", 10, {u"short"}},
        {u"one two three", 7, {u"one two", u"three"}},
        {u"one two three", 3, {u"one", u"two", u"thr", u"ee"}},
        {u"abcdefghij", 4, {u"abcd", u"efgh", u"ij"}},
        {u"trailing space ", 8, {u"trailing", u"space"}},
        {u"a  b", 10, {u"a  b"}},
        {u"", 5, {}},
        {u"anything", 0, {}},
        {u"a𐐔𐐔b", 2, {u"a", u"𐐔", u"𐐔", u"b"}},  // a pair is never cut between its halves
        {u"𐐔𐐔", 1, {u"𐐔", u"𐐔"}},             // ...even where a line is narrower than it
    };
    for (const auto& c : cases) EXPECT_EQ(wrap(c.text, c.width), c.lines) << host::to_utf8(c.text);
}

TEST(PlayLayout, NameBoxEditing) {
    using Op = LineEdit::Op;
    LineEdit e{u"frends", 6};
    EXPECT_FALSE(e.apply(Op::Left));
    EXPECT_FALSE(e.apply(Op::Left));
    EXPECT_FALSE(e.apply(Op::Left));
    EXPECT_FALSE(e.apply(Op::Left));
    EXPECT_TRUE(e.insert(u'i'));
    EXPECT_EQ(e.text, u"friends");
    EXPECT_EQ(e.cursor, 3u);
    EXPECT_FALSE(e.apply(Op::Home));
    EXPECT_FALSE(e.apply(Op::Backspace));  // nothing before the cursor
    EXPECT_TRUE(e.apply(Op::Delete));
    EXPECT_EQ(e.text, u"riends");
    EXPECT_FALSE(e.apply(Op::End));
    EXPECT_FALSE(e.apply(Op::Delete));  // nothing after the cursor
    EXPECT_FALSE(e.apply(Op::Right));
    EXPECT_EQ(e.cursor, 6u);
    EXPECT_TRUE(e.apply(Op::Backspace));
    EXPECT_EQ(e.text, u"riend");

    // A cursor left beyond a text that the run emptied is brought back to its end.
    LineEdit emptied{u"", 5};
    EXPECT_FALSE(emptied.apply(Op::Backspace));
    EXPECT_EQ(emptied.cursor, 0u);
    EXPECT_TRUE(emptied.insert(u' '));
    EXPECT_EQ(emptied.text, u" ");
}

TEST(PlayLayout, ChecklistSelectionFollowsTheListOrder) {
    Checklist list({u"Business", u"Café Owners", u"Key Customer", u"VIP"});
    EXPECT_EQ(list.selection(), u"");
    list.move(3);
    list.toggle();  // VIP first
    list.move(-2);
    list.toggle();  // then Café Owners
    EXPECT_EQ(list.selection(), u"Café Owners, VIP");
    list.move(-10);  // stops at the top
    EXPECT_EQ(list.current, 0u);
    list.toggle();
    list.toggle();  // ticked and unticked again
    EXPECT_EQ(list.selection(), u"Café Owners, VIP");
    list.move(10);
    EXPECT_EQ(list.current, 3u);

    Checklist none({});
    none.move(1);
    none.toggle();
    EXPECT_EQ(none.selection(), u"");
}

TEST(PlayLayout, FolderRowsInTreeOrder) {
    sim::SimHost host;
    host.load_profile(json::parse(R"({"folders": [
        {"name": "Contacts", "defaultFor": "contacts", "folders": [
            {"name": "Clients", "folders": [{"name": "Archive"}]}, {"name": "Suppliers"}]},
        {"name": "Inbox", "defaultFor": "inbox"}]})"));
    auto rows = folder_rows(host.profile().folders);
    std::vector<std::pair<std::u16string, int>> got;
    for (const auto& r : rows) got.emplace_back(r.folder->name, r.depth);
    EXPECT_EQ(got, (std::vector<std::pair<std::u16string, int>>{
                       {u"Contacts", 0}, {u"Clients", 1}, {u"Archive", 2}, {u"Suppliers", 1}, {u"Inbox", 0}}));
}

TEST(PlayLayout, SavedListsPrintedOnceEachAsLastSaved) {
    std::vector<json> events = {
        {{"event", "form"}, {"form", "frmDone"}},
        {{"event", "saved"}, {"entryId", "A"}, {"subject", "Business"}, {"categories", "Business"},
         {"members", {"Ann Lee ann@acme.example"}}},
        {{"event", "saved"}, {"entryId", "B"}, {"subject", "Friends"}, {"categories", "Personal"},
         {"members", json::array()}},
        {{"event", "saved"}, {"entryId", "A"}, {"subject", "Business"}, {"categories", "Business"},
         {"members", {"Ann Lee ann@acme.example", "Bob Stone bob@acme.example"}}},
    };
    std::ostringstream out;
    quillamor_sim::print_saved_lists(out, events);
    EXPECT_EQ(out.str(),
              "Saved list \"Business\" (categories \"Business\"), 2 members:\n"
              "    Ann Lee ann@acme.example\n"
              "    Bob Stone bob@acme.example\n"
              "Saved list \"Friends\" (categories \"Personal\"), 0 members:\n");

    std::ostringstream nothing;
    quillamor_sim::print_saved_lists(nothing, {{{"event", "display"}}});
    EXPECT_EQ(nothing.str(), "No list was saved.\n");
}

}  // namespace
