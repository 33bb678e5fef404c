/* The service library stand-in: LibOrvaneInit returns what the loading host configured and
 * both entry points report each call back to it. One host at a time configures it; the
 * substitute host does so right before every call it lets through. */
#include "liborvane_stub.h"

#include <stddef.h>

static int32_t g_init_result = 0;
static LibOrvaneStubCallback g_callback = NULL;
static void* g_context = NULL;

void LibOrvaneStubConfigure(int32_t init_result, LibOrvaneStubCallback callback, void* context) {
    g_init_result = init_result;
    g_callback = callback;
    g_context = context;
}

static void report(const LibOrvaneStubCall* call) {
    if (g_callback) g_callback(g_context, call);
}

int32_t LIBORVANE_STUB_API LibOrvaneInit(void* module, int32_t arg2, void* app, int32_t config, int32_t arg5) {
    LibOrvaneStubCall call = {"LibOrvaneInit", g_init_result, module, arg2, app, config, arg5};
    /* The host may configure the next call's answer while it hears of this one. */
    report(&call);
    return call.result;
}

int32_t LIBORVANE_STUB_API LibOrvaneShowAbout(void* module) {
    LibOrvaneStubCall call = {"LibOrvaneShowAbout", 0, module, 0, NULL, 0, 0};
    report(&call);
    return 0;
}
