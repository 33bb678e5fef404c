#pragma once
// One form as a top-level Win32 window. The window is created when the form loads and
// destroyed when it unloads; in between it follows every change of the model and reports
// what the user does to it.
//
// The model's handlers may unload the form (and so delete this view) while the view is
// reporting a click, a close or a key: every path that calls into the model returns at once
// afterwards without touching the view again.
#include <windows.h>

#include <memory>
#include <vector>

#include "wizard/form.h"
#include "wizard/win32/assets.h"
#include "wizard/win32/dpi.h"

namespace wizard::win32 {

class Runtime;

class FormWindow : public FormView {
public:
    explicit FormWindow(Form& form);
    ~FormWindow() override;

    void loaded(Form&) override;
    void shown(Form&) override;
    void hidden(Form&) override;
    void unloaded(Form&) override;
    void moved(Form&) override;
    void refreshed(Form&) override;
    void changed(Form&, const Control&, Change) override;

    static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

private:
    // A control of the design and its child window (none for what the form paints itself:
    // shapes, lines and the picture).
    struct Item {
        std::u16string name;
        Kind kind;
        int id;
        HWND window = nullptr;
        Picture picture;  // images
        // Progress bars: the value last drawn, and whether the bar is taking values without
        // drawing them.
        float drawn = 0;
        bool quiet = false;
    };

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT command(WORD id, WORD code, HWND child);
    void paint();
    LRESULT colour_static(HDC dc, HWND child);

    void create_children();
    // Puts the window, its controls, fonts and icons at the sizes of a DPI; the window's
    // top-left corner goes to `place` when one is given.
    void apply_dpi(int dpi, const POINT* place);
    void load_icons();
    SIZE outer_size() const;
    // Sizes the window so that its client area is the design's at the current DPI.
    void fit_client();
    HWND create_child(const Control& c, int id);
    HFONT font_for(const Control& c);
    HBRUSH brush_for(uint32_t ole_colour);
    void add_tooltip(const Control& c, HWND button);

    Item* item_by_window(HWND child);
    Item* item_by_id(int id);
    Item* item_by_name(std::u16string_view name);

    void set_bar_value(Item& bar, const Control& c);
    void draw_bar_again(Item& bar);

    void update_option_tab_stops();
    void focus_model_control();
    void mark_default_button(HWND focused);
    void destroy_window();

    Form& form_;
    std::shared_ptr<Runtime> runtime_;
    Scale scale_;

    // Resources the window uses; destroyed after it.
    unique_icon small_icon_, big_icon_;
    struct FontEntry {
        int height;
        bool bold, underline;
        unique_font font;
    };
    std::vector<FontEntry> fonts_;
    struct BrushEntry {
        COLORREF colour;
        unique_brush brush;
    };
    std::vector<BrushEntry> brushes_;

    std::vector<Item> items_;
    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND designed_default_ = nullptr;
    // Set once the window and its children exist and until the form unloads: only then do
    // messages reach the model.
    bool live_ = false;
    // Set while the view moves its own window, so the move is not reported back.
    bool moving_ = false;
};

}  // namespace wizard::win32
