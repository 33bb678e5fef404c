#include "scenario/transcript.h"

#include <functional>
#include <map>
#include <sstream>
#include <variant>

#include "host/text.h"
#include "sim/model/world.h"
#include "wizard/form_designs.h"

namespace scenario {

namespace {

using nlohmann::json;

// Text in quotes, with control characters escaped so that one event stays one line.
std::string quoted(const json& v) {
    return v.is_string() ? "\"" + sim::printable(v.get<std::string>()) + "\"" : words(v);
}

std::string text(const json& e, const char* field) {
    return e.contains(field) && e[field].is_string() ? sim::printable(e[field].get<std::string>()) : words(e.value(field, json()));
}

std::string number(const json& v) {
    if (v.is_number_float()) {
        double d = v.get<double>();
        if (d == static_cast<double>(static_cast<long long>(d))) return std::to_string(static_cast<long long>(d));
    }
    return v.dump();
}

std::string list(const json& v) {
    if (!v.is_array()) return words(v);
    std::string out;
    for (const auto& item : v) out += (out.empty() ? "" : ", ") + (item.is_string() ? sim::printable(item.get<std::string>()) : words(item));
    return out.empty() ? "nothing" : out;
}

std::string args_text(const json& args) {
    std::string out;
    for (const auto& a : args) {
        if (!out.empty()) out += ", ";
        out += a.is_object() ? "<" + a.value("object", std::string("object")) + ">" : quoted(a);
    }
    return out;
}

// ------------------------------------------------------------ one function per event

std::string msgbox(const json& e) {
    return "message box " + quoted(e.value("title", json(""))) + ", " + message_box_style(e.value("style", 0)) + ": " +
           text(e, "text") + "  -> " + text(e, "answer");
}

std::string dialog(const json& e) {
    return text(e, "kind") + " dialog -> " + (e["answer"].is_null() ? "cancelled" : quoted(e["answer"]));
}

// A page by its caption, as the user reads it on the window's title bar; a form no design
// has by the name the log gives.
std::string window_name(const std::string& form) {
    const wizard::FormDesign* design = wizard::form_design(host::from_utf8(form));
    if (!design || design->caption.empty()) return "form " + sim::printable(form);
    return "\"" + sim::printable(host::to_utf8(design->caption)) + "\"";
}

// A control by what the user reads on it: a caption without its access-key marker ("&&"
// stands for "&"), else its name.
std::string control_name(const wizard::FormDesign& page, const std::string& name) {
    const std::u16string wanted = host::from_utf8(name);
    for (const auto& c : page.controls) {
        if (c.name != wanted || c.kind == wizard::Kind::TextBox) continue;
        const std::u16string caption = host::without_access_key(c.text);
        if (!caption.empty()) return "\"" + sim::printable(host::to_utf8(caption)) + "\"";
    }
    return sim::printable(name);
}

std::string form(const json& e) {
    static const std::map<std::string, std::string, std::less<>> actions = {
        {"load", "is loaded"}, {"show", "shows"}, {"hide", "is hidden"}, {"unload", "is unloaded"}};
    const std::string action = e.value("action", std::string());
    auto said = actions.find(action);
    return "window " + window_name(e.value("form", std::string())) + " " +
           (said != actions.end() ? said->second : sim::printable(action)) + " at (" + number(e["left"]) + ", " +
           number(e["top"]) + ")";
}

std::string progress(const json& e) {
    return e.contains("max") ? "progress bar maximum " + number(e["max"]) : "progress bar " + number(e["value"]);
}

std::string saved(const json& e) {
    const json& members = e.contains("members") ? e["members"] : json::array();
    std::string out = "saved list " + quoted(e["subject"]) + " [categories " + quoted(e["categories"]) + "] as " +
                      text(e, "entryId") + ", " + std::to_string(members.size()) + " members";
    for (const auto& m : members) out += "\n    " + (m.is_string() ? sim::printable(m.get<std::string>()) : words(m));
    return out;
}

std::string display(const json& e) { return "list window opens on " + text(e, "entryId"); }

std::string service(const json& e) { return "service library " + text(e, "call") + " -> " + number(e["result"]); }

std::string control(const json& e) { return command_bar_sentence(e); }

std::string ribbon(const json& e) {
    if (e.value("action", "") == "press")
        return "the user presses the ribbon button " + quoted(e.value("label", json(""))) + " (" + text(e, "id") + ")" +
               (e.value("enabled", true) ? "" : ", which is disabled: nothing happens");
    const json& controls = e.contains("controls") && e["controls"].is_array() ? e["controls"] : json::array();
    std::string out = "the ribbon " + text(e, "ribbonId") + " shows " + std::to_string(controls.size()) +
                      " buttons of the add-in";
    for (const auto& c : controls)
        out += "\n    on " + text(c, "tab") + ", group " + quoted(c.value("group", json(""))) + ": a " +
               text(c, "size") + " button " + quoted(c.value("label", json(""))) + " (" + text(c, "id") + "), " +
               (c.value("image", false) ? "with" : "without") + " a picture" +
               (c.value("enabled", true) ? "" : ", disabled");
    return out;
}

// What the explorer shows selected; a list with its members as they are now.
std::string select(const json& e) {
    const json& items = e.contains("items") && e["items"].is_array() ? e["items"] : json::array();
    if (items.empty()) return "nothing is selected";
    std::string out = "selected:";
    for (const auto& i : items) {
        if (!i.contains("members")) {
            out += "\n    " + quoted(i.value("name", json(""))) + " (" + text(i, "entryId") + ")";
            continue;
        }
        const json& members = i["members"];
        out += "\n    list " + quoted(i.value("subject", json(""))) + " [categories " +
               quoted(i.value("categories", json(""))) + "] (" + text(i, "entryId") + "), " +
               std::to_string(members.size()) + " members";
        for (const auto& m : members) out += "\n        " + (m.is_string() ? sim::printable(m.get<std::string>()) : words(m));
    }
    return out;
}

std::string clipboard(const json& e) { return "clipboard holds " + list(e["formats"]); }

std::string process(const json& e) { return "process started: " + text(e, "commandLine"); }

std::string navigate(const json& e) { return "browser opens " + text(e, "url"); }

std::string shell(const json& e) { return "the system opens " + text(e, "address"); }

std::string failure(const json& e) {
    return "failure reached the user: " + number(e["number"]) + " " + text(e, "description");
}

std::string support_log(const json& e) {
    return "support log: " + text(e, "member") + " failed: " + number(e["number"]) +
           (e.value("shown", false) ? " (shown)" : " (went on)");
}

std::string result(const json& e) {
    return "host call " + text(e, "call") + " failed: " + number(e["number"]) + " " + text(e, "description");
}

std::string call(const json& e) {
    return "  call " + text(e, "object") + "." + text(e, "member") + "(" + args_text(e["args"]) + ")";
}

std::string unused(const json& e) {
    if (e.contains("fault")) {
        const json& f = e["fault"];
        std::string out = "fault never fired: " + text(f, "member") + ", call " + number(f.value("occurrence", json(1)));
        if (f.contains("object")) out += " of " + text(f, "object");
        return out;
    }
    const json& a = e.value("answer", json::object());
    if (!a.is_object() || a.empty()) return "answer never used: " + words(a);
    auto first = a.begin();
    return "answer never used: " + sim::printable(first.key()) + " " +
           (first.value().is_null() ? "cancelled" : quoted(first.value()));
}

std::string guard(const json& e) {
    return "the address book warning for " + text(e, "object") + "." + text(e, "member") + ": " + text(e, "answer");
}

std::string end(const json& e) { return "end: " + number(e["liveObjects"]) + " host objects left alive"; }

const std::map<std::string, std::string (*)(const json&), std::less<>>& printers() {
    static const std::map<std::string, std::string (*)(const json&), std::less<>> table = {
        {"msgbox", msgbox},
        {"dialog", dialog},
        {"form", form},
        {"progress", progress},
        {"saved", saved},
        {"display", display},
        {"select", select},
        {"service", service},
        {"control", control},
        {"ribbon", ribbon},
        {"clipboard", clipboard},
        {"process", process},
        {"navigate", navigate},
        {"shell", shell},
        {"failure", failure},
        {"log", support_log},
        {"guard", guard},
        {"result", result},
        {"call", call},
        {"unused", unused},
        {"end", end},
    };
    return table;
}

// ------------------------------------------------------------ one function per step

template <class S>
std::string on_page(const S& s) {
    return " on " + window_name(s.form);
}

struct StepSentence {
    std::string operator()(const Connect&) const { return "the host connects the add-in"; }
    std::string operator()(const StartupComplete&) const { return "the host has finished starting"; }
    std::string operator()(const NewExplorer&) const { return "an explorer window opens"; }
    std::string operator()(const Disconnect&) const { return "the host disconnects the add-in"; }
    std::string operator()(const QuickList&) const { return "a quick list is made directly"; }
    std::string operator()(const CustomList& s) const {
        return "a custom list named \"" + sim::printable(s.name) + "\" is made directly";
    }
    std::string operator()(const Click& s) const {
        return "the user clicks the add-in's button tagged \"" + sim::printable(s.tag) + "\"";
    }
    // The host's own "ribbon" event says which button was pressed.
    std::string operator()(const RibbonPress&) const { return {}; }
    std::string operator()(const Press& s) const {
        const wizard::FormDesign* page = wizard::form_design(host::from_utf8(s.form));
        return "the user presses " + (page ? control_name(*page, s.control) : sim::printable(s.control)) + on_page(s);
    }
    std::string operator()(const Type& s) const {
        return "the user types \"" + sim::printable(s.text) + "\" into " + sim::printable(s.control) + on_page(s);
    }
    std::string operator()(const Focus& s) const {
        const wizard::FormDesign* page = wizard::form_design(host::from_utf8(s.form));
        return "the user moves the focus to " + (page ? control_name(*page, s.control) : sim::printable(s.control)) +
               on_page(s);
    }
    std::string operator()(const Key& s) const { return "the user presses " + sim::printable(s.key) + on_page(s); }
    std::string operator()(const Move& s) const {
        return "the user drags " + window_name(s.form) + " to (" + number(json(s.left)) + ", " + number(json(s.top)) +
               ")";
    }
    std::string operator()(const Close& s) const { return "the user closes " + window_name(s.form) + " by its frame"; }
    std::string operator()(const CheckList& s) const {
        std::string kept;
        if (s.folder) kept += " in \"" + sim::printable(*s.folder) + "\"";
        if (s.source) kept += " with the source \"" + sim::printable(*s.source) + "\"";
        if (s.note) kept += " with the note \"" + sim::printable(*s.note) + "\"";
        return "the store holds a list \"" + sim::printable(s.name) + "\"" + kept;
    }
    std::string operator()(const Select& s) const {
        const std::string where = s.window ? " in window " + number(json(s.window)) : "";
        if (s.items.empty()) return "the user clears the selection" + where;
        std::string names;
        for (const auto& item : s.items) names += (names.empty() ? "\"" : ", \"") + sim::printable(item) + "\"";
        return "the user selects " + names + where;
    }
    std::string operator()(const Activate& s) const {
        return "the user brings explorer window " + number(json(s.window)) + " to the front";
    }
};

}  // namespace

std::string step_sentence(size_t number, const Step& step) {
    std::string said = std::visit(StepSentence{}, step);
    return said.empty() ? said : "step " + std::to_string(number) + ": " + said;
}

std::string progress_line(const std::optional<json>& max, const std::vector<json>& values) {
    std::string out = "progress bar";
    if (max) out += " maximum " + number(*max);
    if (values.size() == 1) out += (max ? ": at " : " ") + number(values.front());
    else if (!values.empty())
        out += ": " + std::to_string(values.size()) + " steps, " + number(values.front()) + " to " + number(values.back());
    return out;
}

std::string words(const json& v) {
    switch (v.type()) {
    case json::value_t::null: return "nothing";
    case json::value_t::boolean: return v.get<bool>() ? "yes" : "no";
    case json::value_t::string: return "\"" + sim::printable(v.get<std::string>()) + "\"";
    case json::value_t::array: return v.empty() ? "nothing" : list(v);
    case json::value_t::object: {
        std::string out;
        for (const auto& [k, x] : v.items()) out += (out.empty() ? "" : ", ") + sim::printable(k) + " " + words(x);
        return out.empty() ? "nothing" : out;
    }
    default: return number(v);
    }
}

std::string message_box_style(int64_t style) {
    static const char* const buttons[] = {"OK",  "OK/Cancel",   "Abort/Retry/Ignore",       "Yes/No/Cancel",
                                          "Yes/No", "Retry/Cancel", "Cancel/Try Again/Continue"};
    static const char* const icons[] = {nullptr, "the critical icon", "the question icon", "the exclamation icon",
                                        "the information icon"};
    static const char* const defaults[] = {nullptr, "the second button as default", "the third button as default",
                                           "the fourth button as default"};
    int64_t b = style & 0xF, i = (style >> 4) & 0xF, d = (style >> 8) & 0xF;
    std::string out = b < 7 ? buttons[b] : "buttons " + std::to_string(b);
    std::vector<std::string> with;
    if (i > 0) with.push_back(i < 5 ? icons[i] : "icon " + std::to_string(i << 4));
    if (d > 0) with.push_back(d < 4 ? defaults[d] : "default button " + std::to_string(d << 8));
    if (style & 0x1000) with.push_back("system modal");
    if (style & 0x2000) with.push_back("task modal");
    if (style & 0x4000) with.push_back("a Help button");
    for (size_t k = 0; k < with.size(); ++k) out += (k == 0 ? " with " : k + 1 == with.size() ? " and " : ", ") + with[k];
    return out + " (" + std::to_string(style) + ")";
}

std::string command_bar_sentence(const json& e) {
    const std::string bar = e.value("bar", std::string());
    std::string where;
    // The host's own bars by name: the toolbars and the menu bar; any other bar is a menu
    // (a popup control's bar, named by its caption).
    if (bar == "Standard" || bar == "Advanced" || bar == "Web") where = "the " + bar + " toolbar";
    else if (bar == "Menu Bar") where = "the menu bar";
    else where = "the " + sim::printable(bar) + " menu";
    const bool add = e.value("action", "") == "add";
    const bool popup = e.value("type", 0) == 10;
    std::string out = std::string(add ? "added " : "deleted ") + (popup ? "menu " : "button ") + quoted(e.value("caption", json(""))) +
                      (add ? " to " : " from ") + where + " at " + number(e.value("index", json(0)));
    std::string tag = e.value("tag", std::string());
    if (!tag.empty() && tag != e.value("caption", std::string())) out += ", tag \"" + sim::printable(tag) + "\"";
    static const char* const styles[] = {"automatic style", "icon only", "caption only", "icon and caption"};
    if (e.contains("style") && e["style"].is_number_integer()) {
        int64_t s = e["style"].get<int64_t>();
        out += ", " + (s >= 0 && s < 4 ? std::string(styles[s]) : "style " + std::to_string(s));
    }
    return out;
}

std::string readable(const json& e) {
    const std::string kind = e.value("event", "");
    auto printer = printers().find(kind);
    if (printer != printers().end()) return printer->second(e);
    // An event this printer does not know yet still reads as words: its kind, then its fields.
    json rest = e;
    rest.erase("event");
    return sim::printable(kind) + ": " + words(rest);
}

void print_event(std::ostream& out, const json& e, const TranscriptOptions& options) {
    if (!options.calls && e.value("event", "") == "call") return;
    if (options.json) {
        // The kind of event first, then its fields, so a line reads from the left.
        nlohmann::ordered_json line;
        line["event"] = e.value("event", "");
        for (const auto& [k, v] : e.items())
            if (k != "event") line[k] = v;
        out << line.dump() << '\n';
    }
    else out << readable(e) << '\n';
}

void ReadableWriter::line(const std::string& text) {
    flush();
    out_ << text << '\n';
}

void ReadableWriter::flush() {
    if (!folding_) return;
    folding_ = false;
    out_ << progress_line(max_, values_) << '\n';
    max_.reset();
    values_.clear();
}

void ReadableWriter::step(size_t number, const Step& step) {
    std::string said = step_sentence(number, step);
    if (!said.empty()) line(said);
}

void ReadableWriter::event(const json& e) {
    const std::string kind = e.value("event", "");
    if (kind == "call" && !calls_) return;
    if (kind == "progress") {
        // A new maximum is a new run's bar.
        if (e.contains("max")) {
            flush();
            max_ = e["max"];
        }
        else values_.push_back(e.value("value", json()));
        folding_ = true;
        return;
    }
    line(readable(e));
}

void print_transcript(std::ostream& out, const std::vector<json>& events, const TranscriptOptions& options) {
    if (options.json) {
        for (const auto& e : events) print_event(out, e, options);
        return;
    }
    ReadableWriter writer(out, options.calls);
    for (const auto& e : events) writer.event(e);
}

}  // namespace scenario
