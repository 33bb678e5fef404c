// The substitute host as the add-in's environment: the service library stand-in, explorer
// windows with NewExplorer, objects by ProgID, processes, browser and failures.
#include <gtest/gtest.h>

#include "host/service_library.h"
#include "host/redemption.h"
#include "sim_fixture.h"

namespace sim_test {
namespace {

using EnvironmentTest = SimTest;

TEST_F(EnvironmentTest, ServiceLibraryAnswersWithTheProfilesResultAndReportsItsArguments) {
    host.profile().service_init_result = -3;
    auto a = app();
    host::CLibOrvane lib(host);
    EXPECT_EQ(lib.LibOrvaneInit(host.module_handle(), 1, a.object(), host::product_configuration, 0), -3);
    host.profile().service_init_result = 7;  // read again at every call
    EXPECT_EQ(lib.LibOrvaneInit(host.module_handle(), 1, a.object(), host::product_configuration, 0), 7);
    lib.LibOrvaneShowAbout();

    ASSERT_EQ(host.service_calls().size(), 3u);
    const auto& init = host.service_calls()[0];
    EXPECT_EQ(init.module, sim::sim_module_handle());
    EXPECT_EQ(init.arg2, 1);
    EXPECT_EQ(init.app, host.raw_interface(a.object()));
    EXPECT_EQ(init.config, host::product_configuration);
    EXPECT_EQ(init.arg5, 0);
    EXPECT_EQ(host.service_calls()[2].call, "LibOrvaneShowAbout");
    EXPECT_EQ(host.service_calls()[2].module, sim::sim_module_handle());
    EXPECT_EQ(events("service"),
              (std::vector<Json>{{{"event", "service"}, {"call", "LibOrvaneInit"}, {"result", -3}},
                                 {{"event", "service"}, {"call", "LibOrvaneInit"}, {"result", 7}},
                                 {{"event", "service"}, {"call", "LibOrvaneShowAbout"}, {"result", 0}}}));
}

TEST_F(EnvironmentTest, AMissingServiceLibraryFailsTheCall) {
    host.profile().service_present = false;
    EXPECT_EQ(host.load_library(u"LibOrvane.dll"), nullptr);
    host::CLibOrvane lib(host);
    try {
        lib.LibOrvaneInit(host.module_handle(), 1, {}, host::product_configuration, 0);
        FAIL();
    } catch (const host::Failure& e) {
        EXPECT_EQ(e.number(), host::errors::file_not_found);
    }
    EXPECT_TRUE(host.service_calls().empty());
}

TEST_F(EnvironmentTest, NewExplorerReachesSubscribersOfAnyExplorersProxyUntilDropped) {
    host.load_profile(Json::parse(R"({"explorer": false})"));
    auto a = app();
    EXPECT_FALSE(a.ActiveExplorer());
    int fired = 0;
    bool active_during_event = false;
    host::Subscription link = a.GetExplorers().object().subscribe(u"NewExplorer", [&](std::vector<host::Variant>& args) {
        ++fired;
        EXPECT_EQ(args.at(0).as_object().type_name(), u"Explorer");
        active_during_event = static_cast<bool>(app().ActiveExplorer());
    });
    // The event comes before the window appears: the host has no active window yet.
    // The proxy that subscribed is gone; a new window still reaches the subscriber.
    host.new_explorer();
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(active_during_event);
    EXPECT_TRUE(static_cast<bool>(app().ActiveExplorer()));
    EXPECT_EQ(a.GetExplorers().object().get(u"Count").as_int32(), 1);
    link.reset();
    host.new_explorer();
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(host.live_objects(), 1);  // only the application
}

TEST_F(EnvironmentTest, ProgIDsOfAnUnregisteredLibraryFail) {
    host.profile().redemption = false;
    try {
        host.create_object(host::progid_safe_dist_list);
        FAIL();
    } catch (const host::Failure& e) {
        EXPECT_EQ(e.number(), 429);
        EXPECT_EQ(e.description(), u"ActiveX component can't create object (Redemption.SafeDistList)");
    }
    try {
        host.create_object(u"No.Such.Thing");
        FAIL();
    } catch (const host::Failure& e) {
        EXPECT_EQ(e.number(), 429);
        EXPECT_EQ(e.description(), u"ActiveX component can't create object (No.Such.Thing)");
    }
    EXPECT_NO_THROW(host.create_object(u"InternetExplorer.Application"));
}

TEST_F(EnvironmentTest, EffectsOfProcessesBrowserAndFailuresAreRecorded) {
    host.start_process(u"c:\\windows\\hh.exe help.chm");
    auto ie = host.create_object(u"InternetExplorer.Application");
    ie.put(u"Visible", host::Variant::boolean(true));
    ie.call(u"Navigate", u"http://www.example.com/");
    host::ReportFailure(host, host::Failure(5, u"Invalid procedure call or argument"));
    EXPECT_EQ(host.effects(),
              (std::vector<Json>{{{"event", "process"}, {"commandLine", "c:\\windows\\hh.exe help.chm"}},
                                 {{"event", "navigate"}, {"url", "http://www.example.com/"}},
                                 {{"event", "failure"}, {"number", 5}, {"description", "Invalid procedure call or argument"}},
                                 {{"event", "msgbox"},
                                  {"text", "Error 5: Invalid procedure call or argument"},
                                  {"style", 0},
                                  {"title", "Quillamor"},
                                  {"answer", "OK"}}}));
}

}  // namespace
}  // namespace sim_test
