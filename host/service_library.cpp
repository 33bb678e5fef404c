// CLibOrvane, the wrapper of the service library: its entry points found by name and called.
#include "host/service_library.h"

#include "host/text.h"

namespace host {

namespace {
using InitFn = int32_t(QUILLAMOR_STDCALL*)(void*, int32_t, void*, int32_t, int32_t);
using AboutFn = int32_t(QUILLAMOR_STDCALL*)(void*);
}  // namespace

Library& CLibOrvane::library() {
    if (!lib_) {
        lib_ = env_.load_library(service_library_file);
        if (!lib_)
            raise(errors::file_not_found,
                  u"File not found: " + std::u16string(service_library_file));
    }
    return *lib_;
}

void* CLibOrvane::entry(const char* name) {
    void* p = library().entry(name);
    if (!p)
        raise(errors::entry_point_not_found,
              u"Can't find DLL entry point " + from_utf8(name) + u" in " +
                  std::u16string(service_library_file));
    return p;
}

int32_t CLibOrvane::LibOrvaneInit(void* module, int32_t arg2, const Object& host_app, int32_t config,
                                  int32_t arg5) {
    auto fn = reinterpret_cast<InitFn>(entry("LibOrvaneInit"));
    module_ = module;
    return fn(module, arg2, host_app ? env_.raw_interface(host_app) : nullptr, config, arg5);
}

int32_t CLibOrvane::LibOrvaneShowAbout() {
    auto fn = reinterpret_cast<AboutFn>(entry("LibOrvaneShowAbout"));
    return fn(module_);
}

}  // namespace host
