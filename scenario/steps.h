#pragma once
// The steps of a scenario, one struct per kind: the name its "do" field gives and the fields
// it takes. The reader learns both from the struct, and each host driver (driver.h) has one
// method per struct, so that a new kind of step is a struct here, its place in Step, and a
// method of each driver.
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

namespace scenario {

// One field of a step as the file writes it: its name, the member it fills (text, or a page
// position in twips), and whether a step of the kind needs it or may leave it out.
template <class S, class T>
struct Field {
    std::string_view name;
    T S::*member;
    bool needed;
};
template <class S, class T>
constexpr Field<S, T> needs(std::string_view name, T S::*member) {
    return {name, member, true};
}
template <class S, class T>
constexpr Field<S, T> may_have(std::string_view name, T S::*member) {
    return {name, member, false};
}

// --- the host

// The host creates the add-in and calls OnConnection.
struct Connect {
    static constexpr std::string_view kind = "connect";
    static constexpr auto fields() { return std::tuple{}; }
};
// The host calls OnStartupComplete.
struct StartupComplete {
    static constexpr std::string_view kind = "startupComplete";
    static constexpr auto fields() { return std::tuple{}; }
};
// An explorer window opens.
struct NewExplorer {
    static constexpr std::string_view kind = "newExplorer";
    static constexpr auto fields() { return std::tuple{}; }
};
// The host calls OnDisconnection and lets go of the add-in.
struct Disconnect {
    static constexpr std::string_view kind = "disconnect";
    static constexpr auto fields() { return std::tuple{}; }
};

// --- the runs, started directly

struct QuickList {
    static constexpr std::string_view kind = "quickList";
    static constexpr auto fields() { return std::tuple{}; }
};
struct CustomList {
    static constexpr std::string_view kind = "customList";
    std::string name;  // typed into the list name box first
    static constexpr auto fields() { return std::tuple{needs("name", &CustomList::name)}; }
};

// --- the add-in's buttons

// The user clicks the command-bar button with this tag.
struct Click {
    static constexpr std::string_view kind = "click";
    std::string tag;
    static constexpr auto fields() { return std::tuple{needs("tag", &Click::tag)}; }
};
// On a ribbon host, the user presses the first ribbon button with this label (on this tab,
// by its idMso, when one is given) in the active explorer window, or in the window numbered
// `window` (from 1, in the order the windows opened).
struct RibbonPress {
    static constexpr std::string_view kind = "ribbon";
    std::string label, tab;
    double window = 0;  // 0: the active window
    static constexpr auto fields() {
        return std::tuple{needs("label", &RibbonPress::label), may_have("tab", &RibbonPress::tab),
                          may_have("window", &RibbonPress::window)};
    }
};
// The user brings the explorer window numbered `window` to the front: it is the active one.
struct Activate {
    static constexpr std::string_view kind = "activate";
    double window = 0;
    static constexpr auto fields() { return std::tuple{needs("window", &Activate::window)}; }
};

// --- the user on a page; `form` and `control` name them as the code does (frmTitle,
// txtSubject). The play checks both against the forms' designs before a driver sees them.

// A click on a button, an option button or a link label.
struct Press {
    static constexpr std::string_view kind = "press";
    std::string form, control;
    static constexpr auto fields() { return std::tuple{needs("form", &Press::form), needs("control", &Press::control)}; }
};
// The text box's text becomes `text`.
struct Type {
    static constexpr std::string_view kind = "type";
    std::string form, control, text;
    static constexpr auto fields() {
        return std::tuple{needs("form", &Type::form), needs("control", &Type::control), needs("text", &Type::text)};
    }
};
struct Focus {
    static constexpr std::string_view kind = "focus";
    std::string form, control;
    static constexpr auto fields() { return std::tuple{needs("form", &Focus::form), needs("control", &Focus::control)}; }
};
// "Enter", "Tab", "Shift+Tab" or "Alt+" and a letter (the reader refuses any other).
struct Key {
    static constexpr std::string_view kind = "key";
    std::string form, key;
    static constexpr auto fields() { return std::tuple{needs("form", &Key::form), needs("key", &Key::key)}; }
};
// The user drags the page to a position in twips.
struct Move {
    static constexpr std::string_view kind = "move";
    std::string form;
    double left = 0, top = 0;
    static constexpr auto fields() {
        return std::tuple{needs("form", &Move::form), needs("left", &Move::left), needs("top", &Move::top)};
    }
};
// The user closes the page through its window frame.
struct Close {
    static constexpr std::string_view kind = "close";
    std::string form;
    static constexpr auto fields() { return std::tuple{needs("form", &Close::form)}; }
};

// --- what the store holds

// A distribution list with this subject is in the store, saved (by a run, or there from the
// profile); else the scenario cannot be played on. Records nothing. Given, `folder` (a path
// from the top), `source` (the QuillamorSource the store keeps) and `note` (its Body) must
// hold for that list too.
struct CheckList {
    static constexpr std::string_view kind = "checkList";
    std::string name;
    std::optional<std::string> folder, source, note;
    static constexpr auto fields() {
        return std::tuple{needs("name", &CheckList::name), may_have("folder", &CheckList::folder),
                          may_have("source", &CheckList::source), may_have("note", &CheckList::note)};
    }
};

// The user selects these items in the active explorer window (or the one numbered
// `window`), each named by its subject (a list) or full name (a contact) as the store holds
// it; none clears the selection.
struct Select {
    static constexpr std::string_view kind = "select";
    std::vector<std::string> items;
    double window = 0;  // 0: the active window
    static constexpr auto fields() {
        return std::tuple{needs("items", &Select::items), may_have("window", &Select::window)};
    }
};

using Step = std::variant<Connect, StartupComplete, NewExplorer, Disconnect, QuickList, CustomList, Click, RibbonPress,
                          Press, Type, Focus, Key, Move, Close, CheckList, Select, Activate>;

// A step on a page: one with a "form" field.
template <class S>
concept PageStep = requires(const S& s) { s.form; };

// What the step's "do" field says.
std::string_view kind_of(const Step& step);

// One step as written; `place` names it in messages ("steps[3]"). Anything wrong is a
// ScenarioFileError that names the place.
Step read_step(const nlohmann::json& j, const std::string& place);

}  // namespace scenario
