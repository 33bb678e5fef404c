#pragma once
// The walk-through's session and what its parts share: the person's keys, the drawing and the dialogs.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/model/command_bars.h"
#include "sim/model/interactive.h"
#include "sim/model/ribbon.h"
#include "sim/sim_host.h"
#include "tools/quillamor-sim/play_layout.h"
#include "tools/quillamor-sim/play_screen.h"
#include "tools/quillamor-sim/sim_driver.h"
#include "wizard/form.h"

namespace quillamor_sim::play {

using nlohmann::json;
using wizard::Change;
using wizard::Control;
using wizard::Form;
using wizard::Kind;
using T = Key::Type;

// The person leaves: unwinds whatever is running, dialogs and runs included.
struct Leave {};

// Message box buttons and the numbers that the box returns for them.
struct BoxButton {
    std::u16string caption;  // with the access key marked
    int32_t result;
};

inline const Style face{Colour::Black, Colour::White};
inline const Style window_style{Colour::Black, Colour::BrightWhite};
inline const Style title_active{Colour::BrightWhite, Colour::Blue, true};
inline const Style title_inactive{Colour::White, Colour::Grey};
inline const Style desktop{};
inline const Style bar_style{Colour::Black, Colour::Cyan};

// Draws inside a window's client area: positions from its top-left corner, clipped to it.
class Painter {
public:
    Painter(Screen& s, int y, int x, int h, int w) : s_(s), y_(y), x_(x), h_(h), w_(w) {}

    void text(int y, int x, std::u16string_view t, Style st, int max_width = INT_MAX) {
        if (y < 0 || y >= h_) return;
        int width = std::min<int>(max_width, static_cast<int>(t.size()));
        if (x < 0) {
            if (-x >= width) return;
            t.remove_prefix(static_cast<size_t>(-x));
            width += x;
            x = 0;
        }
        width = std::min(width, w_ - x);
        if (width <= 0) return;
        s_.text(y_ + y, x_ + x, t, st, width);
    }
    void fill(int y, int x, int h, int w, Style st) {
        for (int r = 0; r < h; ++r) text(y + r, x, std::u16string(static_cast<size_t>(std::max(w, 0)), u' '), st);
    }
    void rule(int y, int x, int w, Style st) {
        if (y < 0 || y >= h_) return;
        int x2 = std::min(x + w, w_);
        x = std::max(x, 0);
        if (x2 > x) s_.rule(y_ + y, x_ + x, x2 - x, st);
    }
    void cursor(int y, int x) {
        if (y >= 0 && y < h_ && x >= 0 && x < w_) s_.place_cursor(y_ + y, x_ + x);
    }

private:
    Screen& s_;
    int y_, x_, h_, w_;
};

class Session;

// A form's view: the substitute host's own (which records what a person would see) and a
// word to the session, which redraws.
class TapView : public wizard::FormView {
public:
    TapView(std::unique_ptr<wizard::FormView> inner, Session& session) : inner_(std::move(inner)), session_(session) {}
    void loaded(Form& f) override { inner_->loaded(f); }
    void shown(Form& f) override;
    void hidden(Form& f) override;
    void unloaded(Form& f) override;
    void moved(Form& f) override { inner_->moved(f); }
    void refreshed(Form& f) override;
    void changed(Form& f, const Control& c, Change what) override;

private:
    std::unique_ptr<wizard::FormView> inner_;
    Session& session_;
};

class Session : public sim::AnswerProvider, public wizard::ViewFactory {
public:
    explicit Session(const json& profile);
    ~Session() override;

    void connect();
    void run(Screen& screen);
    void shut_down();

    const std::vector<json>& events() const { return driver_->host().events(); }

    // --- the forms' views
    std::unique_ptr<wizard::FormView> create(Form& form) override;
    void form_shown(Form& f);
    void form_gone(Form& f);
    void form_repainted(Form& f);
    void form_changed(Form& f, const Control& c, Change what);

    // --- the host's dialogs, answered by the person
    std::optional<std::u16string> categories(const std::vector<std::u16string>& available,
                                             std::u16string_view separator) override;
    std::shared_ptr<sim::Folder> pick_folder(const std::vector<std::shared_ptr<sim::Folder>>& tree) override;
    int32_t msgbox(std::u16string_view message, int32_t style, std::u16string_view title) override;

private:
    // While a modal dialog is open: the keys line says its keys.
    struct InDialog {
        InDialog(Session& s, std::u16string keys) : s_(s), saved_(std::exchange(s.dialog_keys_, std::move(keys))) {}
        ~InDialog() { s_.dialog_keys_ = std::move(saved_); }
        Session& s_;
        std::u16string saved_;
    };

    Key read();
    sim::SimHost& host() { return driver_->host(); }
    // The ribbon a ribbon host built from the add-in's XML, or null.
    const sim::Ribbon* ribbon() const { return driver_->ribbon(); }
    void act(const std::function<void()>& action);
    std::shared_ptr<sim::ControlModel> wizard_button();
    const sim::RibbonButton* ribbon_wizard_button() const;
    void click_wizard_button();
    // On a ribbon host: the person selects the store's next distribution list (after the
    // last, nothing), and presses Update List.
    void select_next_list();
    void press_update_list();
    Form* active();
    void settle_focus();
    static const Control* control(Form& f, std::u16string_view name);
    std::u16string cursor_key(Form& f, const Control& c);

    // --- keys
    void handle(const Key& k);
    void page_key(Form& f, const Key& k);
    size_t cursor_of(Form& f, const Control& c);
    void edit(Form& f, const Control& c, LineEdit::Op op);
    void commit(Form& f, const Control& c, const LineEdit& e);
    void move_in_group(Form& f, const Control& from, int delta);
    void open_link(Form& f, size_t index);

    // --- drawing
    void repaint();
    Scale scale() const;
    bool too_small() const;
    bool draw();
    void draw_too_small();
    std::u16string keys_help(Form* top);
    void collect_status();
    void draw_toolbar();
    Painter window(std::u16string_view caption, int w, int h, bool active);
    void draw_form(Form& f, bool is_active);
    static void draw_picture(Painter& p, const Cells& r);
    static void draw_button(Painter& p, const Cells& r, const Control& c, bool focused);

    // --- the dialogs' drawing
    Painter dialog(std::u16string_view title, int w, int h);
    void dialog_buttons(Painter& p, int y, int w, const std::vector<BoxButton>& buttons, size_t focus);
    void draw_msgbox(std::u16string_view message, int32_t style, std::u16string_view title,
                     const std::vector<BoxButton>& buttons, size_t focus);
    void draw_checklist(const Checklist& list);
    void draw_folders(const std::vector<FolderRow>& rows, size_t current);

    // The substitute host with the add-in in it, driven as the scenario player drives it.
    std::unique_ptr<SimHostDriver> driver_;
    Screen* screen_ = nullptr;
    std::vector<Form*> stack_;  // the shown forms, the active one last
    std::vector<std::u16string> status_;
    size_t seen_ = 0;                             // events already turned into status
    std::map<std::u16string, size_t> cursors_;    // text-box cursors by "form.control"
    std::u16string dialog_keys_;                  // the open dialog's keys, if one is open
    int hint_rows_ = 1;                           // rows that the key hints took when last drawn
};

}  // namespace quillamor_sim::play
