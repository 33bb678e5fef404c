// The scenario library's play loop with a driver that only writes down what it is asked: the
// steps reach the driver in order and typed as written, a page step names a real page and
// control before any driver sees it, the play stops at the first error with the step's
// number, an error the host meets beside a step comes before what the step throws, and the
// end is the same whatever host played.
#include <gtest/gtest.h>

#include <map>

#include "scenario/play.h"
#include "sim/sim_host.h"

namespace {

using nlohmann::json;
namespace sc = scenario;

// Writes down each call as a line; a step whose line is in `refuse` throws, one in `meet`
// reports an error beside its own calls.
class Recorder : public sc::HostDriver {
public:
    std::vector<std::string> calls;
    std::map<std::string, std::string> refuse, meet;
    sim::SimHost sim_host;

    void play(const sc::Connect&) override { did("connect"); }
    void play(const sc::StartupComplete&) override { did("startupComplete"); }
    void play(const sc::NewExplorer&) override { did("newExplorer"); }
    void play(const sc::Disconnect&) override { did("disconnect"); }
    void play(const sc::QuickList&) override { did("quickList"); }
    void play(const sc::CustomList& s) override { did("customList " + s.name); }
    void play(const sc::Click& s) override { did("click " + s.tag); }
    void play(const sc::RibbonPress& s) override { did("ribbon " + s.label + "/" + s.tab); }
    void play(const sc::Press& s, const wizard::FormDesign& d) override { did("press " + page(d) + "." + s.control); }
    void play(const sc::Type& s, const wizard::FormDesign& d) override {
        did("type " + page(d) + "." + s.control + " " + s.text);
    }
    void play(const sc::Focus& s, const wizard::FormDesign& d) override { did("focus " + page(d) + "." + s.control); }
    void play(const sc::Key& s, const wizard::FormDesign& d) override { did("key " + page(d) + " " + s.key); }
    void play(const sc::Move& s, const wizard::FormDesign& d) override {
        did("move " + page(d) + " " + std::to_string(static_cast<int>(s.left)) + "," + std::to_string(static_cast<int>(s.top)));
    }
    void play(const sc::Close&, const wizard::FormDesign& d) override { did("close " + page(d)); }
    void play(const sc::CheckList& s) override { did("checkList " + s.name); }
    void play(const sc::Select& s) override {
        did("select " + std::to_string(s.items.size()) + " in " + std::to_string(static_cast<int>(s.window)));
    }
    void play(const sc::Activate& s) override { did("activate " + std::to_string(static_cast<int>(s.window))); }

    void begin_step(size_t number, const sc::Step& step) override {
        calls.push_back("begin " + std::to_string(number) + " " + std::string(sc::kind_of(step)));
    }
    void end_step() override { calls.push_back("end step"); }
    std::optional<std::string> take_error() override { return std::exchange(met_, std::nullopt); }
    void stopping() override { calls.push_back("stopping"); }
    void release() override { calls.push_back("release"); }
    const sim::SimHost& host() const override { return sim_host; }
    void record(json event) override { calls.push_back("record " + event.value("event", "")); }
    int64_t live_objects() override { return 0; }

private:
    static std::string page(const wizard::FormDesign& d) { return std::string(d.name.begin(), d.name.end()); }
    void did(const std::string& line) {
        calls.push_back(line);
        if (auto m = meet.find(line); m != meet.end() && !met_) met_ = m->second;
        if (auto r = refuse.find(line); r != refuse.end()) throw sc::Unplayable(r->second);
    }

    std::optional<std::string> met_;
};

const char* const profile = R"("profile": {"folders": [{"name": "Contacts", "defaultFor": "contacts", "itemType": 2}]})";

sc::Scenario scenario_of(const std::string& steps) {
    return sc::scenario_from_json(json::parse("{" + std::string(profile) + ", \"steps\": " + steps + "}"), "test.json");
}

TEST(PlayLoop, EveryKindReachesTheDriverTypedAsWritten) {
    auto s = scenario_of(R"([{"do": "connect"}, {"do": "startupComplete"}, {"do": "newExplorer"},
        {"do": "click", "tag": "QuillamorWiz"}, {"do": "ribbon", "label": "About Quillamor", "tab": "TabMail"},
        {"do": "press", "form": "frmStartUp", "control": "cmdStart"},
        {"do": "type", "form": "frmTitle", "control": "txtSubject", "text": "VIP"},
        {"do": "focus", "form": "frmChoose", "control": "optQuick"}, {"do": "key", "form": "frmChoose", "key": "Alt+N"},
        {"do": "move", "form": "frmDone", "left": 150, "top": 300}, {"do": "close", "form": "frmPBar"},
        {"do": "quickList"}, {"do": "customList", "name": "Team"}, {"do": "disconnect"}, {"do": "checkList", "name": "Team"},
        {"do": "activate", "window": 2}, {"do": "select", "items": ["Team"], "window": 2}])");
    Recorder r;
    EXPECT_EQ(sc::play(s, r), std::nullopt);
    std::vector<std::string> played;
    for (const auto& c : r.calls)
        if (c.rfind("begin ", 0) != 0 && c != "end step") played.push_back(c);
    EXPECT_EQ(played, (std::vector<std::string>{
                          "connect", "startupComplete", "newExplorer", "click QuillamorWiz", "ribbon About Quillamor/TabMail",
                          "press frmStartUp.cmdStart", "type frmTitle.txtSubject VIP", "focus frmChoose.optQuick",
                          "key frmChoose Alt+N", "move frmDone 150,300", "close frmPBar", "quickList",
                          "customList Team", "disconnect", "checkList Team", "activate 2", "select 1 in 2",
                          "release", "record end"}));
    EXPECT_EQ(r.calls[0], "begin 1 connect");
    EXPECT_EQ(r.calls[2], "end step");
}

TEST(PlayLoop, StopsAtTheFirstStepThatCannotBePlayed) {
    struct Case {
        const char* what;
        std::string steps;
        std::map<std::string, std::string> refuse, meet;
        std::string error;
        std::vector<std::string> calls;  // after the first step's
    };
    const std::string two = R"([{"do": "connect"}, {"do": "click", "tag": "x"}, {"do": "disconnect"}])";
    const Case cases[] = {
        {"refused", two, {{"click x", "no such button"}}, {}, "step 2: no such button",
         {"begin 2 click", "click x", "stopping", "end step", "release", "record end"}},
        {"met beside the step", two, {}, {{"click x", "a box no answer fits"}}, "step 2: a box no answer fits",
         {"begin 2 click", "click x", "stopping", "end step", "release", "record end"}},
        {"met, then refused: the first stands", two, {{"click x", "refused"}}, {{"click x", "met first"}},
         "step 2: met first", {"begin 2 click", "click x", "stopping", "end step", "release", "record end"}},
        // A page step names a page and a control that exist, or no driver sees it.
        {"unknown form", R"([{"do": "connect"}, {"do": "press", "form": "frmNope", "control": "cmdOk"}])", {}, {},
         "step 2: unknown form \"frmNope\"", {"begin 2 press", "stopping", "end step", "release", "record end"}},
        {"unknown control", R"([{"do": "connect"}, {"do": "close", "form": "frmTitle"}, {"do": "type", "form": "frmTitle", "control": "txtNope", "text": "a"}])",
         {}, {}, "step 3: form frmTitle has no control \"txtNope\"",
         {"begin 2 close", "close frmTitle", "end step", "begin 3 type", "stopping", "end step", "release", "record end"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder r;
        r.refuse = c.refuse;
        r.meet = c.meet;
        EXPECT_EQ(sc::play(scenario_of(c.steps), r).value_or(""), c.error);
        EXPECT_EQ(std::vector<std::string>(r.calls.begin() + 3, r.calls.end()), c.calls);
    }
}

// What a play left unused is reported only when it reached its end; "end" comes last either way.
TEST(PlayLoop, UnusedFaultsAndAnswersAreReportedOnlyAfterAWholePlay) {
    auto s = sc::scenario_from_json(json::parse("{" + std::string(profile) + R"(, "answers": [{"msgbox": "Yes"}],
        "faults": [{"member": "Restrict"}], "steps": [{"do": "connect"}, {"do": "click", "tag": "x"}]})"), "test.json");
    for (bool refused : {false, true}) {
        Recorder r;
        sc::load_into(r.sim_host, s);
        if (refused) r.refuse["click x"] = "no";
        sc::play(s, r);
        std::vector<std::string> tail(r.calls.end() - (refused ? 2 : 4), r.calls.end());
        const std::vector<std::string> expected =
            refused ? std::vector<std::string>{"release", "record end"}
                    : std::vector<std::string>{"release", "record unused", "record unused", "record end"};
        EXPECT_EQ(tail, expected);
    }
}

}  // namespace
