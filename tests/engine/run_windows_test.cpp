// The runs over their windows alone: a run context whose windows are a recording stand-in,
// not the wizard's forms. A window can fail (on Windows, one that cannot be created): the
// quick run lets that end it, for the page that started it to report; the custom run passes
// over every failing step after its folder test, but never announces a list it could not
// name.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/custom_list.h"
#include "engine/quick_list.h"
#include "engine/run_context.h"
#include "engine_fixture.h"
#include "host/failure.h"

namespace engine_test {
namespace {

constexpr const char* profile_json = R"({"folders": [
    {"name": "Contacts", "defaultFor": "contacts", "items": [
       {"FullName": "Ann Lee", "Email1Address": "ann@acme.example", "Categories": ["Business"]},
       {"FullName": "Bob Ray", "Email1Address": "bob@ray.example", "Categories": ["VIP"]}]},
    {"name": "Inbox", "defaultFor": "inbox"}]})";

// Records each call by name; the call named `failing` fails once it is recorded.
class RecordingWindows : public engine::RunWindows {
public:
    explicit RecordingWindows(std::string failing_call) : failing(std::move(failing_call)) {}

    std::string failing;
    std::vector<std::string> calls;

    void back_to_work_type() override { enter("back_to_work_type"); }
    void back_to_name_page_at_position() override { enter("back_to_name_page_at_position"); }
    void back_to_name_page() override { enter("back_to_name_page"); }
    void show_progress() override { enter("show_progress"); }
    void set_progress_max(float max) override {
        enter("set_progress_max");
        max_ = max;
    }
    void refresh_progress() override { enter("refresh_progress"); }
    float progress_max() override {
        enter("progress_max");
        return max_;
    }
    void set_progress_value(float) override { enter("set_progress_value"); }
    void unload_progress() override { enter("unload_progress"); }
    std::u16string list_name() override {
        enter("list_name");
        return u"Friends";
    }
    void clear_list_name() override { enter("clear_list_name"); }
    void show_done() override { enter("show_done"); }

private:
    void enter(const std::string& call) {
        calls.push_back(call);
        if (call == failing) host::raise(-2147467259, u"The window could not be made");
    }
    float max_ = 100;
};

enum class Run { Quick, Custom };

struct Case {
    Run run;
    const char* categories;
    const char* failing;  // "": none
    bool raised;
    bool saved;
};

TEST(RunWindowsTest, AFailingWindowEndsTheQuickRunAndIsPassedOverByTheCustomRun) {
    const Case cases[] = {
        {Run::Quick, "Business, VIP", "", false, true},
        {Run::Quick, "", "back_to_work_type", true, false},
        {Run::Quick, "Business, VIP", "show_progress", true, false},
        {Run::Quick, "Business, VIP", "set_progress_max", true, false},
        {Run::Quick, "Business, VIP", "refresh_progress", true, false},
        // Inside each contact every step is passed over, in both runs.
        {Run::Quick, "Business, VIP", "progress_max", false, true},
        {Run::Quick, "Business, VIP", "set_progress_value", false, true},
        {Run::Quick, "Business, VIP", "unload_progress", true, false},
        {Run::Quick, "Business, VIP", "show_done", true, true},
        {Run::Custom, "Business, VIP", "", false, true},
        {Run::Custom, "", "back_to_name_page", false, false},
        {Run::Custom, "Business, VIP", "set_progress_max", false, true},
        {Run::Custom, "Business, VIP", "show_progress", false, true},
        {Run::Custom, "Business, VIP", "refresh_progress", false, true},
        {Run::Custom, "Business, VIP", "progress_max", false, true},
        {Run::Custom, "Business, VIP", "set_progress_value", false, true},
        {Run::Custom, "Business, VIP", "unload_progress", false, true},
        // A list without its name is not made.
        {Run::Custom, "Business, VIP", "list_name", true, false},
        {Run::Custom, "Business, VIP", "clear_list_name", false, true},
        {Run::Custom, "Business, VIP", "show_done", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.run == Run::Quick ? "quick run, " : "custom run, ") + "failing " +
                     (*c.failing ? c.failing : "nothing"));
        sim::SimHost host;
        host.load_profile(sim::Json::parse(profile_json));
        if (c.run == Run::Custom) host.answer_pick_folder(u"Contacts");
        host.answer_categories(u(c.categories));
        if (*c.categories) host.answer_msgbox(true);
        RecordingWindows windows(c.failing);
        engine::RunContext run(host, windows);
        run.set_application(host.application());

        bool raised = false;
        try {
            if (c.run == Run::Quick) engine::MakeQuickList(run);
            else engine::MakeCustomList(run);
        } catch (const host::Failure&) {
            raised = true;
        }

        if (*c.failing) {
            EXPECT_NE(std::find(windows.calls.begin(), windows.calls.end(), c.failing), windows.calls.end());
        }
        EXPECT_EQ(raised, c.raised);
        size_t saved = 0;
        for (const auto& e : host.events()) saved += e["event"] == "saved";
        EXPECT_EQ(saved, c.saved ? 1u : 0u);
        run.release_application();
        EXPECT_EQ(host.live_objects(), 0);
    }
}

}  // namespace
}  // namespace engine_test
