// A library of the service library's name that nobody should load: planted where a search by
// bare name would find it (the current folder, PATH). Loaded anyway, it refuses the add-in's
// start-up, which the transcript then shows.
#include <cstdint>

extern "C" {

int32_t __stdcall LibOrvaneInit(void*, int32_t, void*, int32_t, int32_t) { return -5; }
int32_t __stdcall LibOrvaneShowAbout(void*) { return 0; }

}
