#include "wizard/form.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "host/failure.h"
#include "host/text.h"

namespace wizard {

Form::Form(FormDesign design, ViewFactory& views) : design_(std::move(design)), views_(views) {}

Form::~Form() = default;

void Form::load() {
    if (loaded_) return;
    controls_ = design_.controls;
    if (design_.centred) {
        const ScreenArea screen = views_.screen();
        left_ = screen.left + (screen.width - static_cast<float>(design_.client_width)) / 2;
        top_ = screen.top + (screen.height - static_cast<float>(design_.client_height)) / 2;
    } else {
        left_ = static_cast<float>(design_.start_left);
        top_ = static_cast<float>(design_.start_top);
    }
    focus_ = design_.initial_focus;
    visible_ = false;
    loaded_ = true;
    // A window that cannot be made leaves the form unloaded, so that the next show tries
    // again rather than reaching a view that is not there.
    try {
        view_ = views_.create(*this);
    } catch (...) {
        loaded_ = false;
        controls_.clear();
        focus_.clear();
        throw;
    }
    view_->loaded(*this);
    Form_Load();
}

void Form::show() {
    load();
    visible_ = true;
    view_->shown(*this);
}

void Form::hide() {
    load();
    visible_ = false;
    view_->hidden(*this);
}

void Form::unload() {
    if (!loaded_) return;
    auto view = std::move(view_);
    loaded_ = false;
    visible_ = false;
    view->unloaded(*this);
    controls_.clear();
    focus_.clear();
}

void Form::refresh() {
    load();
    view_->refreshed(*this);
}

float Form::left() {
    load();
    return left_;
}

float Form::top() {
    load();
    return top_;
}

void Form::set_left(float twips) {
    load();
    left_ = twips;
    view_->moved(*this);
}

void Form::set_top(float twips) {
    load();
    top_ = twips;
    view_->moved(*this);
}

Control* Form::find(std::u16string_view name) {
    for (auto& c : controls_)
        if (c.name == name) return &c;
    return nullptr;
}

bool Form::has_control(std::u16string_view name) const {
    for (auto& c : design_.controls)
        if (c.name == name) return true;
    return false;
}

Control& Form::control(std::u16string_view name) {
    load();
    if (auto c = find(name)) return *c;
    host::raise(host::errors::member_not_found,
                u"Form " + design_.name + u" has no control " + std::u16string(name));
}

const std::vector<Control>& Form::controls() {
    load();
    return controls_;
}

void Form::notify(const Control& c, Change what) {
    if (view_) view_->changed(*this, c, what);
}

void Form::set_text(std::u16string_view name, std::u16string text) {
    Control& c = control(name);
    c.text = std::move(text);
    notify(c, Change::Text);
    fire(c.name, Event::Change);
}

void Form::set_visible(std::u16string_view name, bool visible) {
    Control& c = control(name);
    c.visible = visible;
    notify(c, Change::Visible);
}

void Form::set_enabled(std::u16string_view name, bool enabled) {
    Control& c = control(name);
    c.enabled = enabled;
    notify(c, Change::Enabled);
}

void Form::set_value(std::u16string_view name, float value) {
    Control& c = control(name);
    c.value = value;
    notify(c, Change::Value);
}

void Form::set_max(std::u16string_view name, float max) {
    Control& c = control(name);
    c.max = max;
    notify(c, Change::Max);
}

void Form::handle(std::u16string_view control, Event event, std::function<void()> handler) {
    const bool designed = std::any_of(design_.controls.begin(), design_.controls.end(),
                                      [&](const Control& c) { return c.name == control; });
    if (!designed)
        throw std::logic_error("form " + host::to_utf8(design_.name) + " has no control " + host::to_utf8(control) +
                               " to handle");
    handlers_.push_back({std::u16string(control), event, std::move(handler)});
}

void Form::fire(std::u16string_view control, Event event) {
    // Copied first: a handler may unload the form, never the handlers.
    for (const Handler& h : handlers_)
        if (h.event == event && h.control == control) {
            const std::function<void()> run = h.run;
            run();
            return;
        }
}

void Form::press(std::u16string_view name) {
    Control& c = control(name);
    if (!c.visible || !c.enabled) return;
    std::u16string n = c.name;  // the handler may unload the form
    if (c.kind == Kind::Option) {
        for (auto& o : controls_) {
            if (o.kind == Kind::Option && o.selected != (o.name == n)) {
                o.selected = (o.name == n);
                notify(o, Change::Selected);
            }
        }
    }
    if (c.kind == Kind::Button || c.kind == Kind::Option) give_focus(n);
    if (loaded_) fire(n, Event::Click);
}

void Form::type(std::u16string_view name, std::u16string text) {
    give_focus(name);
    if (loaded_) set_text(name, std::move(text));
}

void Form::give_focus(std::u16string_view name) {
    Control& c = control(name);
    if (!c.visible || !c.enabled || focus_ == c.name) return;
    focus_ = c.name;
    notify(c, Change::Focus);
    fire(focus_, Event::GotFocus);
}

bool Form::key(std::u16string_view key) {
    load();
    if (key == u"Enter") {
        if (Control* f = find(focus_); f && f->kind == Kind::Button) {
            press(f->name);
            return true;
        }
        for (auto& c : controls_) {
            if (c.default_button && c.visible && c.enabled) {
                press(std::u16string(c.name));
                return true;
            }
        }
        return false;
    }
    if (key == u"Tab" || key == u"Shift+Tab") {
        // The option group is one stop: its selected button (the first one while none is).
        bool any_selected = false;
        for (auto& c : controls_)
            if (c.kind == Kind::Option && c.selected) any_selected = true;
        std::vector<const Control*> stops;
        for (auto& c : controls_)
            if (c.tab_index >= 0 && c.visible && c.enabled &&
                (c.kind != Kind::Option || c.selected || !any_selected))
                stops.push_back(&c);
        std::stable_sort(stops.begin(), stops.end(), [](const Control* a, const Control* b) {
            return a->tab_index < b->tab_index;
        });
        if (!any_selected) {
            // Keep only the first option button of the group.
            bool seen = false;
            std::erase_if(stops, [&](const Control* c) {
                if (c->kind != Kind::Option) return false;
                return std::exchange(seen, true);
            });
        }
        if (stops.empty()) return false;
        const bool forward = key == u"Tab";
        const size_t n = stops.size();
        size_t next = forward ? 0 : n - 1;
        for (size_t i = 0; i < n; ++i) {
            if (stops[i]->name == focus_) {
                next = forward ? (i + 1) % n : (i + n - 1) % n;
                break;
            }
        }
        give_focus(std::u16string(stops[next]->name));
        return true;
    }
    if (key.size() == 5 && key.substr(0, 4) == u"Alt+") {
        char16_t letter = key[4];
        for (auto& c : controls_) {
            if (c.kind != Kind::Button && c.kind != Kind::Option) continue;
            auto amp = c.text.find(u'&');
            if (amp == std::u16string::npos || amp + 1 >= c.text.size()) continue;
            if (host::equal_ignoring_case(std::u16string_view(&c.text[amp + 1], 1),
                                          std::u16string_view(&letter, 1))) {
                if (!c.visible || !c.enabled) return false;
                press(std::u16string(c.name));
                return true;
            }
        }
        return false;
    }
    return false;
}

void Form::move_to(float left, float top) {
    load();
    left_ = left;
    top_ = top;
    view_->moved(*this);
}

void Form::close() { unload(); }

}  // namespace wizard
