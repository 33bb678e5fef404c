#pragma once
// What the stand-in service library was called with; the test reads and steers it through
// the library's FakeLibOrvaneState export.
#include <cstdint>

struct FakeLibOrvaneState {
    int init_calls;
    void* init_module;
    int32_t init_arg2;
    void* init_app;
    int32_t init_config;
    int32_t init_arg5;
    int32_t init_result;  // what LibOrvaneInit answers
    int about_calls;
    void* about_module;
};

using FakeLibOrvaneStateFn = FakeLibOrvaneState*(__cdecl*)();
