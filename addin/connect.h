#pragma once
// Connect: the add-in object the host creates. It keeps the add-in's state for as long as
// the host holds it, starts the service library and the commands as soon as an explorer
// window exists, and removes the commands when the host disconnects it.
//
// This is the plain C++ object; on Windows addin/com wraps it as the COM class with the
// host's add-in interface and its own dual interface, turning failures into HRESULTs.
#include <cstdint>
#include <memory>

#include "addin/process_state.h"
#include "host/lib_orvane.h"

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
    host::Bool16 loaded() const { return loaded_; }
    void set_loaded(host::Bool16 v) { loaded_ = v; }
    const host::Object& myBut1() const { return but1_.object; }
    const host::Object& myBut2() const { return but2_.object; }
    const host::Object& myBut3() const { return but3_.object; }
    void set_myBut1(host::Object b);
    void set_myBut2(host::Object b);
    void set_myBut3(host::Object b);
    void ContactsList1();
    int32_t QuickStart();

    // Click handlers of the three buttons.
    void myBut1_Click();
    void myBut2_Click();
    void myBut3_Click();

    // Handler of the explorers' NewExplorer event.
    void eExplorers_NewExplorer(const host::Object& explorer);

    ProcessState& state() { return state_; }

private:
    // A host object whose events this class receives under the member's name.
    struct EventMember {
        host::Object object;
        host::Subscription link;
    };

    void InitAddIn();
    void remove_commands(const host::Explorer& explorer);
    void bind(EventMember& member, host::Object button, void (Connect::*click)());
    host::CLibOrvane& svcLib();
    void show_wizard();

    ProcessState& state_;
    host::Bool16 loaded_ = host::False;
    std::unique_ptr<host::CLibOrvane> svcLib_;
    host::Object hostApp_;
    EventMember but1_, but2_, but3_;
    EventMember eExplorers_;
};

}  // namespace addin
