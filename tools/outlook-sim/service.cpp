#include "tools/outlook-sim/service.h"

#include <stdexcept>

#include "host/text.h"
#include "sim/liborvane-stub/liborvane_stub.h"
#include "sim/model/world.h"

namespace outlook_sim {

namespace {

LibOrvaneStubConfigureFn configure_of(HMODULE library) {
    return reinterpret_cast<LibOrvaneStubConfigureFn>(
        reinterpret_cast<void*>(GetProcAddress(library, LIBORVANE_STUB_CONFIGURE)));
}

}  // namespace

void ServiceLibrary::on_call(void* context, const LibOrvaneStubCall* call) {
    auto& self = *static_cast<ServiceLibrary*>(context);
    sim::World& world = self.world_;
    world.service_calls.push_back({call->name, call->result, call->module, call->arg2, call->app, call->config, call->arg5});
    world.record({{"event", "service"}, {"call", call->name}, {"result", call->result}});
    if (std::string_view(call->name) != "LibOrvaneInit") return;
    // The profile's next answer is the next call's.
    world.service_init_answered();
    if (auto configure = configure_of(self.library_.get())) configure(world.profile.service_init_result, &on_call, &self);
}

ServiceLibrary::ServiceLibrary(sim::World& world, const std::wstring& program_folder) : world_(world) {
    if (!world.profile.service_present) return;
    const std::wstring folder = program_folder + L"\\service";
    const std::wstring file = folder + L"\\LibOrvane.dll";
    // Loaded here first, so that the add-in's load by file name finds this very module.
    library_.reset(LoadLibraryW(file.c_str()));
    if (!library_) throw std::runtime_error("the service library stand-in cannot be loaded from " + host::to_utf8(std::u16string(file.begin(), file.end())));
    auto configure = configure_of(library_.get());
    if (!configure) throw std::runtime_error("the service library in the program's folder is not the stand-in");
    configure(world.profile.service_init_result, &on_call, this);
    added_ = AddDllDirectory(folder.c_str());
}

ServiceLibrary::~ServiceLibrary() {
    if (added_) RemoveDllDirectory(added_);
    if (library_)
        if (auto configure = configure_of(library_.get())) configure(0, nullptr, nullptr);
}

}  // namespace outlook_sim
