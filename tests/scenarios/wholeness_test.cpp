// What the fault sweeps make of a play that met a failure: the list whole, or the user told.
#include <gtest/gtest.h>

#include "engine/messages.h"
#include "host/text.h"
#include "scenario/wholeness.h"

namespace {

using nlohmann::json;
using scenario::Wholeness;

json saved(std::vector<std::string> members, const char* id = "1") {
    return {{"event", "saved"}, {"entryId", id}, {"members", members}};
}
json msgbox(std::u16string_view text) { return {{"event", "msgbox"}, {"text", host::to_utf8(text)}}; }

TEST(Wholeness, AListThatLacksMembersIsToldOrTheSweepFails) {
    const std::vector<json> clean = {msgbox(engine::text::quick_thanks), saved({"Ann a@x", "Bob b@x"})};
    const json thanks = msgbox(engine::text::quick_thanks), failure = {{"event", "failure"}, {"number", 5}};
    const std::u16string question = u"Update?" + std::u16string(engine::text::update_not_read) + u"1";
    struct Case {
        const char* name;
        std::vector<json> events;
        Wholeness expected;
    };
    const Case cases[] = {
        {"the same members", {thanks, saved({"Bob b@x", "Ann a@x"})}, Wholeness::whole},
        {"more members", {thanks, saved({"Ann a@x", "Bob b@x", "Cy c@x"})}, Wholeness::whole},
        {"in two parts", {thanks, saved({"Ann a@x"}), saved({"Bob b@x"}, "2")}, Wholeness::whole},
        {"saved again, without one", {saved({"Ann a@x", "Bob b@x"}), thanks, saved({"Ann a@x"})}, Wholeness::silent_loss},
        {"one missing, thanked", {thanks, saved({"Ann a@x"})}, Wholeness::silent_loss},
        {"one missing, told", {msgbox(engine::text::left_out_opening), thanks, saved({"Ann a@x"})}, Wholeness::told},
        {"one missing, asked", {msgbox(question), saved({"Ann a@x"})}, Wholeness::told},
        {"nothing saved, failure shown", {failure}, Wholeness::told},
        {"nothing saved, nothing said", {}, Wholeness::nothing_made},
        {"nothing saved, thanked", {thanks}, Wholeness::silent_loss},
    };
    for (const auto& c : cases) EXPECT_EQ(scenario::wholeness(clean, c.events, false), c.expected) << c.name;
    // A play that stopped on its script's error is not judged, whatever it saved.
    EXPECT_EQ(scenario::wholeness(clean, {thanks, saved({"Ann a@x"})}, true), Wholeness::not_judged);
}

}  // namespace
