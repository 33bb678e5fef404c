#pragma once
// The terminal walk-through's layout and editing rules, apart from the terminal itself: how
// twips become character cells, captions with their access key, word wrapping, the text
// box's line editing, the categories checklist and the folder tree as rows.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/model/model.h"
#include "wizard/form.h"

namespace quillamor_sim::play {

// Twips per character cell. The natural scale is 110 twips a column (a button's 1095 twips
// make the ten cells of "[ Next > ]") and 240 a row; a terminal too small for a page at that
// scale gets a coarser one that fits it.
struct Scale {
    int col = 110;
    int row = 240;
};

inline constexpr Scale natural_scale{};

// The smallest terminal the walk-through draws on: below it every page would need more rows
// or columns than it has, and texts would run into each other. A smaller terminal gets a
// message asking for a larger one instead.
inline constexpr int min_cols = 80;
inline constexpr int min_rows = 20;

// The key hints as lines of at most `width` columns. The hints are one text with three spaces
// between them; a line breaks only between hints (one that is longer than a line is cut), so
// that every hint shows whole at any width that has room for the longest.
std::vector<std::u16string> hint_lines(std::u16string_view hints, int width);

// The scale at which a window of `width` x `height` twips fits into `cols` x `rows` cells.
Scale fit_scale(int width, int height, int cols, int rows);

struct Cells {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Cells&) const = default;
};

// A rectangle in twips as cells: edges rounded to the nearest cell, at least one cell wide
// and high when the rectangle has any size.
Cells to_cells(const wizard::Rect& r, Scale s);
// Cells for a length in twips (at least 1 when the length is positive).
int cols_for(int twips, Scale s);
int rows_for(int twips, Scale s);

// The row of a control's text: the row in which the middle of its first line falls.
int text_row(const wizard::Rect& r, Scale s);
// The row of a line drawn at `y` twips: the row that it runs through.
int line_row(int y, Scale s);

// Where a visible control of a page goes, in cells of its client area. For a control with
// text, `cells.y` is its first text row and `cells.h` the rows that its text takes; labels
// and links come with their text wrapped into lines.
struct Placement {
    const wizard::Control* control = nullptr;
    Cells cells;
    std::vector<std::u16string> lines;
};

// Lays out a page's visible controls, in their order (which is the painting order). Shapes
// and pictures cover their rounded rectangles. A label may run on past its right edge by a
// third, since a cell is wider than the dialog font's average letter (about 82 twips), though
// not into the next control on its row nor out of the page; longer text wraps onto more
// rows. A control whose text would land on cells that another control's text took already
// (the one above it in the design) moves down a row, as long as the page has rows left.
std::vector<Placement> lay_out(const std::vector<wizard::Control>& controls, int client_cols, int client_rows,
                               Scale s);

// A caption as shown: without the "&" markers ("&&" shows one "&"), and where the access-key
// letter is (npos when there is none).
struct Caption {
    std::u16string text;
    size_t key = std::u16string::npos;
    std::optional<char16_t> key_letter() const {
        if (key == std::u16string::npos) return std::nullopt;
        return text[key];
    }
};
Caption parse_caption(std::u16string_view text);

// Splits a text into lines of at most `width` characters, breaking at spaces where it can
// and inside a word only when the word is longer than a line.
std::vector<std::u16string> wrap(std::u16string_view text, int width);

// The one-line text box's editing: a text and a cursor between characters.
struct LineEdit {
    std::u16string text;
    size_t cursor = 0;

    enum class Op { Left, Right, Home, End, Backspace, Delete };
    // True when the text changed.
    bool insert(char16_t c);
    bool apply(Op op);
};

// The categories dialog as a checklist.
struct Checklist {
    std::vector<std::u16string> names;
    std::vector<bool> ticked;
    size_t current = 0;

    std::u16string separator = u",";  // the user's list separator

    explicit Checklist(std::vector<std::u16string> n, std::u16string_view list_separator = u",")
        : names(std::move(n)), ticked(names.size(), false), separator(list_separator) {}
    void toggle();
    void move(int delta);
    // The selection text: the ticked names in the order of the list, joined by the list
    // separator and a space.
    std::u16string selection() const;
};

// The folder picker's tree as rows, each folder followed by its subfolders.
struct FolderRow {
    std::shared_ptr<sim::Folder> folder;
    int depth = 0;
};
std::vector<FolderRow> folder_rows(const std::vector<std::shared_ptr<sim::Folder>>& tree);

}  // namespace quillamor_sim::play
