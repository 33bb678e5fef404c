#pragma once
// The form model: a window of the add-in as data (controls with text, state and place) plus
// its handlers. Each form exists at most once; any use of a form that is not loaded loads
// it from its design. A view only mirrors the model and reports the user's acts back.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wizard {

enum class Kind { Label, Link, Button, Option, TextBox, Shape, Line, Image, ProgressBar };

// Colours: an OLE colour; with the high bit set the low bits index a system colour.
inline constexpr uint32_t sys_highlight = 0x8000000D;
inline constexpr uint32_t sys_window = 0x80000005;
inline constexpr uint32_t sys_caption_text = 0x80000009;
inline constexpr uint32_t sys_app_workspace = 0x8000000C;
inline constexpr uint32_t sys_button_face = 0x8000000F;
inline constexpr uint32_t sys_window_text = 0x80000008;
inline constexpr uint32_t pure_blue = 0x00FF0000;  // OLE colours are 0x00BBGGRR

struct Rect {
    int32_t left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

struct Control {
    std::u16string name;
    Kind kind = Kind::Label;
    std::u16string text;  // captions keep "&" before the access-key letter
    Rect rect;            // twips; a line runs from (left, top) to (left + width, top + height)
    bool visible = true;
    bool enabled = true;
    bool selected = false;        // option buttons
    bool default_button = false;  // pressed by Enter
    bool bold = false;
    bool underline = false;
    float font_size = 8.25f;
    uint32_t fill = 0;      // shapes, lines: fill or line colour; labels: back colour (0: none)
    uint32_t border = 0;    // shapes: border colour
    uint32_t fore = sys_window_text;
    int32_t line_width = 1;  // lines, in pixels
    std::u16string tooltip;
    std::u16string picture;  // images: asset name of the picture
    int32_t tab_index = -1;  // position in the tab order; -1 when not a tab stop
    // Progress bars: single-precision range and value.
    float min = 0, max = 100, value = 0;
};

struct FormDesign {
    std::u16string name;
    std::u16string caption;
    int32_t client_width = 0, client_height = 0;  // twips
    // Where the form opens when shown without being placed (twips); centred on the
    // screen when `centred` is set.
    int32_t start_left = 0, start_top = 0;
    bool centred = false;
    std::u16string icon;           // asset name of the 16 x 16 window icon
    std::u16string initial_focus;  // control that has the focus when the form opens
    std::vector<Control> controls;
};

class Form;

enum class Change { Text, Visible, Enabled, Selected, Value, Max, Min, Focus };

class FormView {
public:
    virtual ~FormView() = default;
    virtual void loaded(Form&) {}
    virtual void shown(Form&) {}
    virtual void hidden(Form&) {}
    virtual void unloaded(Form&) {}
    virtual void moved(Form&) {}
    virtual void refreshed(Form&) {}
    virtual void changed(Form&, const Control&, Change) {}
};

// A screen: its place among the screens and its size, in twips.
struct ScreenArea {
    float left = 0, top = 0, width = 0, height = 0;
};

// The screen of the substitute host and the headless views: 1024 x 768 pixels at 96 dpi.
inline constexpr ScreenArea stated_screen{0, 0, 1024 * 15, 768 * 15};

class ViewFactory {
public:
    virtual ~ViewFactory() = default;
    virtual std::unique_ptr<FormView> create(Form& form) = 0;
    // The screen a form opens on; forms that open centred are centred on it.
    virtual ScreenArea screen() { return stated_screen; }
};

// The view of no window at all: the default, used by headless tests.
class HeadlessViews : public ViewFactory {
public:
    std::unique_ptr<FormView> create(Form&) override { return std::make_unique<FormView>(); }
};

class Form {
public:
    Form(FormDesign design, ViewFactory& views);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const FormDesign& design() const { return design_; }
    const std::u16string& name() const { return design_.name; }

    void load();
    void show();  // not modal, no owner window
    void hide();
    void unload();
    void refresh();
    bool loaded() const { return loaded_; }
    bool visible() const { return loaded_ && visible_; }

    float left();
    float top();
    void set_left(float twips);
    void set_top(float twips);

    // Any use of a control loads the form.
    Control& control(std::u16string_view name);
    bool has_control(std::u16string_view name) const;
    const std::vector<Control>& controls();

    void set_text(std::u16string_view name, std::u16string text);  // a change, handlers run
    void set_visible(std::u16string_view name, bool visible);
    void set_enabled(std::u16string_view name, bool enabled);
    void set_value(std::u16string_view name, float value);
    void set_max(std::u16string_view name, float max);

    const std::u16string& focus() const { return focus_; }

    // What the user does, as the view reports it.
    void press(std::u16string_view name);    // click on a button, option button or link
    void type(std::u16string_view name, std::u16string text);
    void give_focus(std::u16string_view name);
    // "Enter", "Alt+X", "Tab" or "Shift+Tab"; false when nothing took it.
    bool key(std::u16string_view key);
    void move_to(float left, float top);
    void close();                            // through the window frame

    // What a control's handler answers.
    enum class Event { Click, Change, GotFocus };

protected:
    virtual void Form_Load() {}
    // Binds the handler of one event of one of the design's controls. A name the design does
    // not have is a fault of the form's code: refused at once (std::logic_error) when the form
    // is made, rather than dropping the user's click unseen.
    void handle(std::u16string_view control, Event event, std::function<void()> handler);

    void notify(const Control& c, Change what);

private:
    Control* find(std::u16string_view name);
    void fire(std::u16string_view control, Event event);

    struct Handler {
        std::u16string control;
        Event event;
        std::function<void()> run;
    };

    FormDesign design_;
    ViewFactory& views_;
    std::unique_ptr<FormView> view_;
    std::vector<Handler> handlers_;
    std::vector<Control> controls_;
    bool loaded_ = false;
    bool visible_ = false;
    float left_ = 0, top_ = 0;
    std::u16string focus_;
};

}  // namespace wizard
