/* The stand-in for the maker's service library, used by the substitute host: it exports the
 * two entry points the add-in calls, and one more through which the host that loaded it sets
 * what LibOrvaneInit returns and is told of every call with its arguments. */
#ifndef LIBORVANE_STUB_H
#define LIBORVANE_STUB_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define LIBORVANE_STUB_EXPORT __declspec(dllexport)
#else
#define LIBORVANE_STUB_EXPORT __attribute__((visibility("default")))
#endif

/* The two entry points use the platform's API convention on 32-bit Windows. */
#if defined(_WIN32) && !defined(_WIN64)
#define LIBORVANE_STUB_API __stdcall
#else
#define LIBORVANE_STUB_API
#endif

typedef struct LibOrvaneStubCall {
    const char* name; /* "LibOrvaneInit" or "LibOrvaneShowAbout" */
    int32_t result;
    void* module;
    int32_t arg2; /* the second and fifth arguments: the library's own integers */
    void* app;
    int32_t config;
    int32_t arg5;
} LibOrvaneStubCall;

typedef void (*LibOrvaneStubCallback)(void* context, const LibOrvaneStubCall* call);

/* Name of the configuration entry point, as the host looks it up. */
#define LIBORVANE_STUB_CONFIGURE "LibOrvaneStubConfigure"
typedef void (*LibOrvaneStubConfigureFn)(int32_t init_result, LibOrvaneStubCallback callback, void* context);

LIBORVANE_STUB_EXPORT void LibOrvaneStubConfigure(int32_t init_result, LibOrvaneStubCallback callback,
                                                  void* context);
LIBORVANE_STUB_EXPORT int32_t LIBORVANE_STUB_API LibOrvaneInit(void* module, int32_t arg2, void* app, int32_t config,
                                                               int32_t arg5);
LIBORVANE_STUB_EXPORT int32_t LIBORVANE_STUB_API LibOrvaneShowAbout(void* module);

#ifdef __cplusplus
}
#endif

#endif
