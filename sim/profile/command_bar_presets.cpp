// The "commandBars" field of a profile: the controls a window's bars hold before the add-in
// comes, checked strictly.
#include <limits>
#include <string>

#include "host/text.h"
#include "sim/profile/command_bar_presets.h"
#include "sim/profile/json_checks.h"

namespace sim {

namespace {

[[noreturn]] void bad(const std::string& where, const std::string& what) { throw ScenarioError(where + ": " + what); }

PresetControl preset_from_json(const Json& j, const std::string& where) {
    if (!j.is_object()) bad(where, "a control must be an object");
    only_fields(j, {"type", "caption", "tag", "style", "visible", "controls"}, where);
    PresetControl p;
    for (const auto& [key, value] : j.items()) {
        if (key == "type") {
            if (!value.is_number_integer() || (value.get<int64_t>() != control_button && value.get<int64_t>() != control_popup))
                bad(where, "\"type\" must be 1 (button) or 10 (popup)");
            p.type = value.get<int32_t>();
        } else if (key == "caption" || key == "tag") {
            if (!value.is_string()) bad(where, "\"" + key + "\" must be text");
            (key == "caption" ? p.caption : p.tag) = host::from_utf8(value.get<std::string>());
        } else if (key == "style") {
            if (!value.is_number_integer() || value.get<double>() < std::numeric_limits<int32_t>::min() ||
                value.get<double>() > std::numeric_limits<int32_t>::max())
                bad(where, "\"style\" must be a whole number within the 32-bit range");
            p.style = value.get<int32_t>();
        } else if (key == "visible") {
            if (!value.is_boolean()) bad(where, "\"visible\" must be true or false");
            p.visible = value.get<bool>();
        }
    }
    if (j.contains("controls")) {
        if (p.type != control_popup) bad(where, "only a popup (type 10) holds \"controls\"");
        if (!j["controls"].is_array()) bad(where, "\"controls\" must be a list");
        for (size_t i = 0; i < j["controls"].size(); ++i)
            p.controls.push_back(preset_from_json(j["controls"][i], element_place(field_place(where, "controls"), i)));
    }
    return p;
}

}  // namespace

std::vector<PresetBar> command_bar_presets_from_json(const Json& j) {
    const std::string where = "profile.commandBars";
    if (!j.is_object()) bad(where, "must be an object of command bar names");
    auto fresh = make_command_bar_set(Profile{});
    std::vector<PresetBar> out;
    for (const auto& [name, controls] : j.items()) {
        std::string here = field_place(where, name);
        PresetBar bar;
        bar.bar = host::from_utf8(name);
        if (!bar_named(*fresh, bar.bar)) bad(here, "there is no command bar of that name");
        if (!controls.is_array()) bad(here, "must be a list of controls");
        for (size_t i = 0; i < controls.size(); ++i)
            bar.controls.push_back(preset_from_json(controls[i], element_place(here, i)));
        out.push_back(std::move(bar));
    }
    return out;
}

}  // namespace sim
