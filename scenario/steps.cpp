// Reading a step: its kind from the "do" field, then the fields its struct declares.
#include "scenario/steps.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <limits>
#include <map>
#include <utility>
#include <vector>

#include "scenario/scenario.h"
#include "sim/profile/json_checks.h"

namespace scenario {

namespace {

using nlohmann::json;

[[noreturn]] void bad(const std::string& place, const std::string& what) {
    throw ScenarioFileError(place.empty() ? what : place + ": " + what);
}

template <size_t... I>
constexpr bool kinds_differ(std::index_sequence<I...>) {
    const std::array<std::string_view, sizeof...(I)> kinds = {std::variant_alternative_t<I, Step>::kind...};
    for (size_t i = 0; i < kinds.size(); ++i)
        for (size_t j = i + 1; j < kinds.size(); ++j)
            if (kinds[i] == kinds[j]) return false;
    return true;
}
static_assert(kinds_differ(std::make_index_sequence<std::variant_size_v<Step>>{}),
              "two kinds of step have the same \"do\" name");

// --- the fields' values

void read_value(const json& v, const std::string& place, std::string& out) {
    if (!v.is_string()) bad(place, "must be text");
    out = v.get<std::string>();
}

void read_value(const json& v, const std::string& place, std::optional<std::string>& out) {
    read_value(v, place, out.emplace());
}

void read_value(const json& v, const std::string& place, std::vector<std::string>& out) {
    if (!v.is_array()) bad(place, "must be a list of texts");
    for (size_t i = 0; i < v.size(); ++i) {
        if (!v[i].is_string()) bad(sim::element_place(place, i), "must be text");
        out.push_back(v[i].get<std::string>());
    }
}

// A page position in twips; anything beyond the 32-bit range is no place on any screen.
void read_value(const json& v, const std::string& place, double& out) {
    if (!v.is_number()) bad(place, "must be a number (twips)");
    double d = v.get<double>();
    if (d < std::numeric_limits<int32_t>::min() || d > std::numeric_limits<int32_t>::max())
        bad(place, "is out of range (" + v.dump() + " twips)");
    out = d;
}

// --- what a kind asks beyond its fields' types

void check(const Key& s, const std::string& place) {
    const std::string& k = s.key;
    if (k != "Enter" && k != "Tab" && k != "Shift+Tab" &&
        !(k.size() == 5 && k.rfind("Alt+", 0) == 0 && std::isalpha(static_cast<unsigned char>(k[4]))))
        bad(sim::field_place(place, "key"),
            "must be \"Enter\", \"Tab\", \"Shift+Tab\" or \"Alt+\" and a letter, not \"" + k + "\"");
}

// A window is numbered from 1 in the order the windows opened.
void check_window(double window, bool needed, const std::string& place) {
    if (window != static_cast<int32_t>(window) || window < (needed ? 1 : 0))
        bad(sim::field_place(place, "window"), "must be a window's number, counted from 1");
}
void check(const Activate& s, const std::string& place) { check_window(s.window, true, place); }
void check(const Select& s, const std::string& place) { check_window(s.window, false, place); }
void check(const RibbonPress& s, const std::string& place) { check_window(s.window, false, place); }

// A step of kind S: no field it does not take, every field it needs, each of the right type.
template <class S>
Step read_as(const json& j, const std::string& place) {
    constexpr auto fields = S::fields();
    std::vector<std::string_view> allowed = {"do"};
    std::apply([&](const auto&... f) { (allowed.push_back(f.name), ...); }, fields);
    try {
        sim::only_fields(j, allowed, place);
    } catch (const sim::ScenarioError& e) {
        throw ScenarioFileError(e.what());
    }
    auto need = [&](const auto& f) {
        if (f.needed && !j.contains(f.name))
            bad(place, "missing \"" + std::string(f.name) + "\" (a \"" + std::string(S::kind) + "\" step needs it)");
    };
    std::apply([&](const auto&... f) { (need(f), ...); }, fields);
    S s;
    auto read = [&](const auto& f) {
        if (j.contains(f.name)) read_value(j.at(std::string(f.name)), sim::field_place(place, f.name), s.*(f.member));
    };
    std::apply([&](const auto&... f) { (read(f), ...); }, fields);
    if constexpr (requires { check(s, place); }) check(s, place);
    return s;
}

using Reader = Step (*)(const json&, const std::string&);

template <size_t... I>
std::map<std::string_view, Reader, std::less<>> make_readers(std::index_sequence<I...>) {
    return {{std::variant_alternative_t<I, Step>::kind, &read_as<std::variant_alternative_t<I, Step>>}...};
}

// Every kind by its name, in the order of the names (the order "did you mean" weighs them in).
const std::map<std::string_view, Reader, std::less<>>& readers() {
    static const auto table = make_readers(std::make_index_sequence<std::variant_size_v<Step>>{});
    return table;
}

}  // namespace

Step read_step(const json& j, const std::string& place) {
    if (!j.is_object() || !j.contains("do") || !j["do"].is_string()) bad(place, "a step needs a \"do\" field");
    const std::string kind = j["do"].get<std::string>();
    auto reader = readers().find(kind);
    if (reader == readers().end()) {
        std::vector<std::string_view> names;
        for (const auto& [name, read] : readers()) names.push_back(name);
        std::string message = "unknown step \"" + kind + "\"";
        std::string near = sim::nearest_name(kind, names);
        if (!near.empty()) message += "; did you mean \"" + near + "\"?";
        bad(sim::field_place(place, "do"), message);
    }
    return reader->second(j, place);
}

std::string_view kind_of(const Step& step) {
    return std::visit([](const auto& s) { return std::remove_cvref_t<decltype(s)>::kind; }, step);
}

}  // namespace scenario
