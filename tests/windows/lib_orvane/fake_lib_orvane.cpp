// A stand-in for the maker's service library (LibOrvane.dll): it records its calls, so that
// the test sees exactly what the add-in hands over, in the calling convention the add-in
// uses.
#include <windows.h>

#include "tests/windows/lib_orvane/fake_lib_orvane.h"

namespace {
FakeLibOrvaneState state{};
}

extern "C" {

int32_t __stdcall LibOrvaneInit(void* module, int32_t arg2, void* app, int32_t config, int32_t arg5) {
    ++state.init_calls;
    state.init_module = module;
    state.init_arg2 = arg2;
    state.init_app = app;
    state.init_config = config;
    state.init_arg5 = arg5;
    return state.init_result;
}

int32_t __stdcall LibOrvaneShowAbout(void* module) {
    ++state.about_calls;
    state.about_module = module;
    return 0;
}

FakeLibOrvaneState* __cdecl FakeLibOrvaneState_() { return &state; }

}
