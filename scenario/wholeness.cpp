#include "scenario/wholeness.h"

#include <algorithm>
#include <map>
#include <string>

#include "engine/messages.h"
#include "host/text.h"

namespace scenario {

namespace {

using Events = std::vector<nlohmann::json>;

bool is(const nlohmann::json& e, const char* kind) { return e.value("event", "") == kind; }

// The members of every list a play saved, as each was saved last, sorted.
std::vector<std::string> saved_members(const Events& events) {
    std::map<std::string, nlohmann::json> last;
    for (const auto& e : events)
        if (is(e, "saved")) last[e.value("entryId", "")] = e["members"];
    std::vector<std::string> out;
    for (const auto& [id, members] : last)
        for (const auto& m : members) out.push_back(m);
    std::sort(out.begin(), out.end());
    return out;
}

// A failure shown, or the message that names what was left out or kept under an Exchange
// address that could not be looked up (on its own, or in Update List's question).
bool told(const Events& events) {
    // Messages that open with what was left out, and lines that end Update List's question.
    const std::string openings[] = {host::to_utf8(engine::text::left_out_opening),
                                    host::to_utf8(engine::text::not_looked_up_opening)};
    const std::string lines[] = {host::to_utf8(engine::text::update_not_read),
                                 host::to_utf8(engine::text::update_not_looked_up),
                                 host::to_utf8(engine::text::update_not_searched)};
    for (const auto& e : events) {
        if (is(e, "failure")) return true;
        if (!is(e, "msgbox")) continue;
        const std::string text = e.value("text", "");
        for (const auto& opening : openings)
            if (text.rfind(opening, 0) == 0) return true;
        for (const auto& line : lines)
            if (text.find(line) != std::string::npos) return true;
    }
    return false;
}

// A run's closing message.
bool thanked(const Events& events) {
    const std::string quick = host::to_utf8(engine::text::quick_thanks);
    const std::string custom = host::to_utf8(engine::text::custom_thanks);
    return std::any_of(events.begin(), events.end(), [&](const nlohmann::json& e) {
        return is(e, "msgbox") && (e.value("text", "") == quick || e.value("text", "") == custom);
    });
}

}  // namespace

Wholeness wholeness(const Events& clean, const Events& events, bool stopped) {
    if (stopped) return Wholeness::not_judged;
    const auto members = saved_members(events), clean_members = saved_members(clean);
    if (std::includes(members.begin(), members.end(), clean_members.begin(), clean_members.end()))
        return Wholeness::whole;
    if (told(events)) return Wholeness::told;
    if (members.empty() && !thanked(events)) return Wholeness::nothing_made;
    return Wholeness::silent_loss;
}

bool failure_traced(const Events& events, std::string_view object, std::string_view member) {
    const std::u16string name = host::folded(host::from_utf8(std::string(object) + "." + std::string(member)));
    return std::any_of(events.begin(), events.end(), [&](const nlohmann::json& e) {
        return is(e, "failure") || is(e, "result") ||
               (is(e, "log") && host::folded(host::from_utf8(e.value("member", ""))) == name);
    });
}

const char* name_of(Wholeness w) {
    switch (w) {
    case Wholeness::whole: return "whole";
    case Wholeness::told: return "told";
    case Wholeness::nothing_made: return "nothing made";
    case Wholeness::silent_loss: return "LIST LACKS MEMBERS, USER NOT TOLD";
    case Wholeness::not_judged: return "not judged";
    }
    return "?";
}

}  // namespace scenario
