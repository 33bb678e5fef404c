#pragma once
// CLibOrvane: the one wrapper through which the add-in calls the maker's service library.
// The library is loaded by file name at the first call; a missing file or entry point
// raises a Failure in the caller.
#include <cstdint>
#include <memory>

#include "host/environment.h"

namespace host {

inline constexpr std::u16string_view service_library_file = u"LibOrvane.dll";
// The product's configuration integer, the same at every start-up call.
inline constexpr int32_t product_configuration = 0x5141;

class CLibOrvane {
public:
    explicit CLibOrvane(Environment& env) : env_(env) {}

    // LibOrvaneInit: the library's start-up call; a negative answer refuses the add-in. arg2
    // and arg5 are the library's own integers (the add-in passes 1 and 0).
    int32_t LibOrvaneInit(void* module, int32_t arg2, const Object& host_app, int32_t config, int32_t arg5);
    // LibOrvaneShowAbout: the library's about box, for the module of the last start-up call.
    int32_t LibOrvaneShowAbout();

private:
    Library& library();
    void* entry(const char* name);

    Environment& env_;
    std::unique_ptr<Library> lib_;
    void* module_ = nullptr;  // first argument of the last LibOrvaneInit
};

}  // namespace host
