#pragma once
// Connect: the add-in object the host creates. It keeps the add-in's state for as long as
// the host holds it, starts the service library and the commands as soon as an explorer
// window exists, and removes the commands when the host disconnects it.
//
// This is the plain C++ object; on Windows addin/com wraps it as the COM class with the
// host's add-in interface and its own dual interface, turning failures into HRESULTs.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "addin/process_state.h"
#include "host/outlook.h"
#include "host/service_library.h"

namespace addin {

class Connect {
public:
    explicit Connect(ProcessState& state);
    ~Connect();

    // The host's add-in interface. Failures travel out as host::Failure.
    void OnConnection(const host::Object& application, int32_t connect_mode, const host::Object& addin_inst);
    void OnStartupComplete();
    void OnAddInsUpdate() {}
    void OnBeginShutdown() {}
    void OnDisconnection(int32_t remove_mode);

    // The class's own interface.
    // loaded: True once OnConnection has run; a later OnStartupComplete then starts nothing.
    host::Bool16 loaded() const { return loaded_; }
    void set_loaded(host::Bool16 v) { loaded_ = v; }
    // myBut1: the Actions menu's Quillamor item; opens the wizard.
    const host::Object& myBut1() const { return myBut1_.object; }
    // myBut2: the About Quillamor item of the Help menu's about submenu; shows the about box.
    const host::Object& myBut2() const { return myBut2_.object; }
    // myBut3: the Standard toolbar's Quillamor Wizard button; opens the wizard.
    const host::Object& myBut3() const { return myBut3_.object; }
    void set_myBut1(host::Object b);
    void set_myBut2(host::Object b);
    void set_myBut3(host::Object b);
    // ContactsList1: builds the three buttons and the about submenu, or finds them again.
    void ContactsList1();
    // QuickStart: shows a message box that says "QuickStart"; answers 0.
    int32_t QuickStart();

    // Click handlers of the three buttons.
    void myBut1_Click();
    void myBut2_Click();
    void myBut3_Click();

    // eExplorers_NewExplorer: an explorer window opened. The host fires it before the window
    // is the active one, so the add-in works on the explorer it is given: InitAddIn for it
    // while the add-in has not started, and on a ribbon host, its selection followed after.
    void eExplorers_NewExplorer(const host::Object& explorer);

    // The host's ribbon interface: the add-in's ribbon XML for the explorer's ribbon id, an
    // empty text for any other ribbon.
    std::u16string GetCustomUI(std::u16string_view ribbon_id);
    // The callbacks that the ribbon XML names; the host finds them by name. A failure in the
    // click handler is shown to the user, never handed back to the host.
    void Ribbon_Load(const host::Object& ribbon);
    host::Object Ribbon_GetImage(const host::Object& control);
    void Ribbon_Click(const host::Object& control);
    // Whether a button can be pressed: none before the add-in has started (the service
    // library refused it, or no explorer window yet), as a command-bar host then has no
    // buttons; Update List only while the selection of the control's window (its Context)
    // is exactly one distribution list.
    bool Ribbon_GetEnabled(const host::Object& control);
    // True when the host's version shows a ribbon: the add-in then builds no command bars.
    bool ribbon_host() const { return ribbon_host_; }

    ProcessState& state() { return state_; }

private:
    // A host object whose events this class receives under the member's name.
    struct EventMember {
        host::Object object;
        host::Subscription link;
    };

    // InitAddIn: the service library's start-up call, then the commands on that explorer
    // unless it refused.
    void InitAddIn(const host::Explorer& explorer);
    void build_commands(const host::Explorer& explorer);
    // Waits for the host's explorer windows to open (NewExplorer).
    void watch_new_windows(const host::Application& app);
    void read_host_version();
    void remove_commands(const host::Explorer& explorer);
    void bind(EventMember& member, host::Object button, void (Connect::*click)());
    // svcLib: the service library's wrapper, made at its first use.
    host::CLibOrvane& svcLib();
    void show_wizard();
    // On a ribbon host: the ribbon asks again whether the buttons can be pressed.
    void invalidate_ribbon();

    // Update List (update_command.cpp): whether it can run in a window (its selection is
    // exactly one distribution list), running it there, and, once started, following the
    // selection of every explorer window until it closes.
    bool update_list_available(const host::Explorer& explorer);
    void update_list(const host::Explorer& explorer);
    void follow_selection(const host::Explorer& explorer);
    // The selection changed: the buttons of Update List ask again whether it can run.
    void update_list_availability_changed();

    ProcessState& state_;
    host::Bool16 loaded_ = host::False;
    std::unique_ptr<host::CLibOrvane> svcLib_;
    // hostApp: the application OnConnection was given, handed on to the service library.
    host::Object hostApp_;
    EventMember myBut1_, myBut2_, myBut3_;
    // eExplorers: the host's explorers, whose NewExplorer start-up waits for when no window
    // is open yet.
    EventMember eExplorers_;
    // The explorer windows whose selection Update List follows (ribbon hosts), each with its
    // SelectionChange and Close subscriptions; a window leaves the list as it closes.
    struct FollowedWindow {
        host::Object explorer;
        host::Subscription selection, closed;
    };
    std::vector<std::unique_ptr<FollowedWindow>> followed_;
    // The service library accepted the add-in's start-up; the ribbon's buttons work.
    bool started_ = false;
    bool ribbon_host_ = false;
    host::Object ribbon_;  // the explorer's ribbon, as onLoad hands it over
};

}  // namespace addin
