// Loads a shared library by path: dlopen on POSIX systems, LoadLibraryW on Windows.
#include "sim/library_loader.h"

#ifdef _WIN32
#include <windows.h>

#include "host/text.h"
#else
#include <dlfcn.h>
#endif

namespace sim {

namespace {

#ifdef _WIN32
class LoadedLibrary : public host::Library {
public:
    explicit LoadedLibrary(HMODULE h) : h_(h) {}
    ~LoadedLibrary() override { FreeLibrary(h_); }
    void* entry(const char* name) override { return reinterpret_cast<void*>(GetProcAddress(h_, name)); }

private:
    HMODULE h_;
};
#else
class LoadedLibrary : public host::Library {
public:
    explicit LoadedLibrary(void* h) : h_(h) {}
    ~LoadedLibrary() override { dlclose(h_); }
    void* entry(const char* name) override { return dlsym(h_, name); }

private:
    void* h_;
};
#endif

}  // namespace

std::unique_ptr<host::Library> open_library(const std::string& path) {
#ifdef _WIN32
    std::u16string wide = host::from_utf8(path);
    HMODULE h = LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str()));
#else
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    if (!h) return nullptr;
    return std::make_unique<LoadedLibrary>(h);
}

}  // namespace sim
