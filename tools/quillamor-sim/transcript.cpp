#include "tools/quillamor-sim/transcript.h"

#include <sstream>

namespace quillamor_sim {

namespace {

using nlohmann::json;

std::string quoted(const json& v) { return v.is_string() ? "\"" + v.get<std::string>() + "\"" : v.dump(); }

std::string number(const json& v) {
    if (v.is_number_float()) {
        double d = v.get<double>();
        if (d == static_cast<double>(static_cast<long long>(d))) return std::to_string(static_cast<long long>(d));
    }
    return v.dump();
}

std::string args_text(const json& args) {
    std::string out;
    for (const auto& a : args) {
        if (!out.empty()) out += ", ";
        out += a.is_object() ? "<" + a.value("object", std::string("object")) + ">" : a.dump();
    }
    return out;
}

}  // namespace

std::string readable(const json& e) {
    const std::string kind = e.value("event", "");
    std::ostringstream o;
    if (kind == "msgbox") {
        o << "message box \"" << e.value("title", "") << "\" (style " << e["style"].dump() << "): "
          << e.value("text", "") << "  -> " << e.value("answer", "");
    } else if (kind == "dialog") {
        o << e.value("kind", "") << " dialog -> " << (e["answer"].is_null() ? "cancelled" : quoted(e["answer"]));
    } else if (kind == "form") {
        o << "form " << e.value("form", "") << " " << e.value("action", "") << " at (" << number(e["left"]) << ", "
          << number(e["top"]) << ")";
    } else if (kind == "progress") {
        if (e.contains("max")) o << "progress bar maximum " << number(e["max"]);
        else o << "progress bar " << number(e["value"]);
    } else if (kind == "saved") {
        o << "saved list " << quoted(e["subject"]) << " [categories " << quoted(e["categories"]) << "] as "
          << e.value("entryId", "") << ", " << e["members"].size() << " members";
        for (const auto& m : e["members"]) o << "\n    " << m.get<std::string>();
    } else if (kind == "display") {
        o << "list window opens on " << e.value("entryId", "");
    } else if (kind == "service") {
        o << "service library " << e.value("call", "") << " -> " << e["result"].dump();
    } else if (kind == "control") {
        o << "command bar control " << e.value("action", "") << ": " << e.dump();
    } else if (kind == "clipboard") {
        o << "clipboard holds " << e["formats"].dump();
    } else if (kind == "process") {
        o << "process started: " << e.value("commandLine", "");
    } else if (kind == "navigate") {
        o << "browser opens " << e.value("url", "");
    } else if (kind == "failure") {
        o << "failure reached the user: " << e["number"].dump() << " " << e.value("description", "");
    } else if (kind == "result") {
        o << "host call " << e.value("call", "") << " failed: " << e["number"].dump() << " "
          << e.value("description", "");
    } else if (kind == "call") {
        o << "  call " << e.value("object", "") << "." << e.value("member", "") << "(" << args_text(e["args"]) << ")";
    } else if (kind == "end") {
        o << "end: " << e["liveObjects"].dump() << " host objects left alive";
    } else {
        o << e.dump();
    }
    return o.str();
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

void print_transcript(std::ostream& out, const std::vector<json>& events, const TranscriptOptions& options) {
    for (const auto& e : events) print_event(out, e, options);
}

}  // namespace quillamor_sim
