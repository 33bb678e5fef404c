#pragma once
// The maker's service library as the scenario's profile has it: present, the stand-in
// (sim/liborvane-stub, built beside this program in its folder "service") is in a folder
// the process adds to its trusted library folders (AddDllDirectory), as a host whose
// administrator put the library there would, configured to answer the profile's start-up result and to report
// every call into the event log; absent, no file of that name can be found.
#include <windows.h>

#include <memory>
#include <string>

#include "host/com/unique_handle.h"
#include "sim/liborvane-stub/liborvane_stub.h"

namespace sim {
class World;
}

namespace outlook_sim {

class ServiceLibrary {
public:
    ServiceLibrary(sim::World& world, const std::wstring& program_folder);
    ~ServiceLibrary();
    ServiceLibrary(const ServiceLibrary&) = delete;
    ServiceLibrary& operator=(const ServiceLibrary&) = delete;

private:
    // The stand-in's report of a call, with this object as its context.
    static void on_call(void* context, const LibOrvaneStubCall* call);

    sim::World& world_;
    host::com::unique_hmodule library_;
    DLL_DIRECTORY_COOKIE added_ = nullptr;
};

}  // namespace outlook_sim
