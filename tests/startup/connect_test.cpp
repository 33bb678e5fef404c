// Start-up: connection with and without an explorer window, the explorers' NewExplorer
// event, what the service library's answer decides, and disconnection.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "addin/connect.h"
#include "host/failure.h"
#include "host/service_library.h"
#include "host/text.h"
#include "sim/sim_host.h"

namespace startup_test {
namespace {

using sim::Json;

// The add-in as the host creates it, over a substitute host with a given profile.
struct AddIn {
    explicit AddIn(const char* profile = nullptr) {
        if (profile) host.load_profile(Json::parse(profile));
        state = std::make_unique<addin::ProcessState>(host, host.views());
        connect = std::make_unique<addin::Connect>(*state);
    }
    ~AddIn() {
        connect.reset();
        state.reset();
    }
    // The host connects the add-in, handing it its application object.
    void connected() {
        host_app = host.application();
        connect->OnConnection(host_app, 1, host::Object());
    }

    size_t inits() const {
        size_t n = 0;
        for (const auto& c : host.service_calls()) n += c.call == "LibOrvaneInit";
        return n;
    }
    // The command buttons are built from the active explorer window's command bars: every
    // start of the commands asks the window for them first.
    size_t command_starts() const {
        size_t n = 0;
        for (const auto& c : host.call_names()) n += c == "Explorer.CommandBars";
        return n;
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& e : host.effects())
            if (e["event"] == "msgbox")
                out.push_back(e["title"].get<std::string>() + " " + std::to_string(e["style"].get<int>()) + " " +
                              e["text"].get<std::string>());
        return out;
    }

    sim::SimHost host;
    std::unique_ptr<addin::ProcessState> state;
    std::unique_ptr<addin::Connect> connect;
    host::Object host_app;
};

constexpr const char* no_window = R"({"explorer": false})";

TEST(ConnectTest, WithAWindowStartUpRunsOnceDuringConnection) {
    AddIn a;
    a.connected();
    EXPECT_EQ(a.inits(), 1u);
    EXPECT_EQ(a.command_starts(), 1u);
    EXPECT_EQ(a.connect->loaded(), host::True);
    // The host's own start-up call afterwards starts nothing again.
    a.connect->OnStartupComplete();
    EXPECT_EQ(a.inits(), 1u);
    EXPECT_EQ(a.command_starts(), 1u);
    EXPECT_TRUE(a.messages().empty());
}

TEST(ConnectTest, WithoutAWindowStartUpWaitsForTheFirstExplorer) {
    AddIn a(no_window);
    a.connected();
    a.connect->OnStartupComplete();  // still no window: subscribes again, but only once
    EXPECT_EQ(a.connect->loaded(), host::True);
    EXPECT_EQ(a.inits(), 0u);
    EXPECT_EQ(a.command_starts(), 0u);

    a.host.new_explorer();
    EXPECT_EQ(a.inits(), 1u);
    EXPECT_EQ(a.command_starts(), 1u);
    // Every further window starts both again, with the same arguments.
    a.host.new_explorer();
    EXPECT_EQ(a.inits(), 2u);
    EXPECT_EQ(a.command_starts(), 2u);
    const auto& calls = a.host.service_calls();
    EXPECT_EQ(calls[0].module, calls[1].module);
    EXPECT_EQ(calls[0].app, calls[1].app);
    EXPECT_EQ(calls[0].config, calls[1].config);
}

TEST(ConnectTest, AFailedNewSubscriptionKeepsTheOneBefore) {
    AddIn a(no_window);
    a.connected();
    // The second start-up without a window cannot reach the explorers: the add-in still
    // hears the next window through its first subscription.
    a.host.fail(u"Explorers", 2);
    EXPECT_THROW(a.connect->OnStartupComplete(), host::Failure);
    a.host.new_explorer();
    EXPECT_EQ(a.inits(), 1u);
    EXPECT_EQ(a.command_starts(), 1u);
}

TEST(ConnectTest, TheServiceLibrarysAnswerDecidesWhetherTheCommandsAreBuilt) {
    struct Case {
        int32_t result;
        const char* message;  // nothing when the commands are built
    } cases[] = {
        {-3, "Error#-3"},
        {-1, "Error#-1"},
        {std::numeric_limits<int32_t>::min(), "Error#-2147483648"},
        {0, nullptr},
        {1, nullptr},
        {std::numeric_limits<int32_t>::max(), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        std::string profile = R"({"serviceLibrary": {"initResult": )" + std::to_string(c.result) + "}}";
        AddIn a(profile.c_str());
        a.connected();
        EXPECT_EQ(a.state->ServiceStatus, c.result);
        EXPECT_EQ(a.inits(), 1u);
        if (c.message) {
            EXPECT_EQ(a.messages(), (std::vector<std::string>{std::string("Quillamor 0 ") + c.message}));
            EXPECT_EQ(a.command_starts(), 0u);
        } else {
            EXPECT_TRUE(a.messages().empty());
            EXPECT_EQ(a.command_starts(), 1u);
        }
        EXPECT_EQ(a.connect->loaded(), host::True);
    }
}

TEST(ConnectTest, ARefusalIsToldAgainAtEachWindowUntilTheLibraryAgrees) {
    AddIn a(R"({"explorer": false, "serviceLibrary": {"initResult": -3}})");
    a.connected();
    a.host.new_explorer();
    a.host.new_explorer();
    EXPECT_EQ(a.messages(), (std::vector<std::string>{"Quillamor 0 Error#-3", "Quillamor 0 Error#-3"}));
    EXPECT_EQ(a.command_starts(), 0u);
    a.host.profile().service_init_result = 0;
    a.host.new_explorer();
    EXPECT_EQ(a.state->ServiceStatus, 0);
    EXPECT_EQ(a.command_starts(), 1u);
}

TEST(ConnectTest, AMissingServiceLibraryDoesNotStopTheStartUp) {
    AddIn a(R"({"serviceLibrary": {"present": false}})");
    a.connected();
    EXPECT_EQ(a.state->ServiceStatus, 0);
    EXPECT_TRUE(a.host.service_calls().empty());
    EXPECT_TRUE(a.messages().empty());
    EXPECT_EQ(a.command_starts(), 1u);
    EXPECT_EQ(a.connect->loaded(), host::True);
}

TEST(ConnectTest, TheServiceLibraryGetsTheModuleTheHostsApplicationAndTheConfiguration) {
    AddIn a;
    a.connected();
    ASSERT_EQ(a.host.service_calls().size(), 1u);
    const auto& init = a.host.service_calls()[0];
    EXPECT_EQ(init.call, "LibOrvaneInit");
    EXPECT_EQ(init.module, sim::sim_module_handle());
    EXPECT_EQ(init.arg2, 1);
    EXPECT_EQ(init.app, a.host.raw_interface(a.host_app));
    EXPECT_NE(init.app, nullptr);
    EXPECT_EQ(init.config, host::product_configuration);
    EXPECT_EQ(init.arg5, 0);

    // The about box is shown for the same module.
    a.connect->myBut2_Click();
    ASSERT_EQ(a.host.service_calls().size(), 2u);
    EXPECT_EQ(a.host.service_calls()[1].call, "LibOrvaneShowAbout");
    EXPECT_EQ(a.host.service_calls()[1].module, sim::sim_module_handle());
}

TEST(ConnectTest, TheWrapperHandsTheLibraryTheModuleOfTheLastStartUp) {
    sim::SimHost host;
    host::CLibOrvane lib(host);
    int here = 0, there = 0;
    EXPECT_EQ(lib.LibOrvaneInit(&here, 1, host::Object(), 5, 0), 0);
    lib.LibOrvaneShowAbout();
    EXPECT_EQ(lib.LibOrvaneInit(&there, 1, host::Object(), 5, 0), 0);
    lib.LibOrvaneShowAbout();
    const auto& calls = host.service_calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].app, nullptr);  // no application object: a null pointer
    EXPECT_EQ(calls[1].module, &here);
    EXPECT_EQ(calls[3].module, &there);

    host.profile().service_present = false;
    host::CLibOrvane missing(host);
    try {
        missing.LibOrvaneShowAbout();
        FAIL() << "a missing library did not fail";
    } catch (const host::Failure& f) {
        EXPECT_EQ(f.number(), host::errors::file_not_found);
    }
}

// The host trusts only the Application it hands over and what is reached from it: the add-in
// makes none of its own, and without one it has nothing to work through.
TEST(ConnectTest, HostOperationsGoThroughTheApplicationTheHostHandsOver) {
    AddIn a;
    a.connected();
    EXPECT_EQ(a.inits(), 1u);
    EXPECT_EQ(a.command_starts(), 1u);
    for (const auto& call : a.host.call_names()) EXPECT_NE(call, "Runtime.New");
    AddIn b;
    EXPECT_THROW(b.connect->OnConnection(host::Object(), 1, host::Object()), host::Failure);
    EXPECT_EQ(b.inits(), 0u);
}

TEST(ConnectTest, AFailingConnectionStillCountsAsLoaded) {
    AddIn a;
    a.host.fail(u"ActiveExplorer", 1);
    EXPECT_THROW(a.connected(), host::Failure);
    EXPECT_EQ(a.connect->loaded(), host::True);
    EXPECT_EQ(a.inits(), 0u);
}

TEST(ConnectTest, DisconnectionWithoutAWindowRemovesNothing) {
    for (bool window_closed_later : {false, true}) {
        SCOPED_TRACE(window_closed_later ? "window closed after start-up" : "no window ever");
        AddIn a(window_closed_later ? nullptr : no_window);
        a.connected();
        if (window_closed_later) a.host.close_explorer();
        a.host.world().clear_events();
        EXPECT_NO_THROW(a.connect->OnDisconnection(0));
        EXPECT_EQ(a.host.call_names(), (std::vector<std::string>{"Application.ActiveExplorer"}));
    }
}

}  // namespace
}  // namespace startup_test
