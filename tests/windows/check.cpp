#include "tests/windows/check.h"

#include <cstdio>

namespace wintest {

namespace {
int count = 0;
}

int failures() { return count; }

void fail(const char* file, int line, const std::string& what) {
    ++count;
    std::fprintf(stderr, "FAILED %s:%d: %s\n", file, line, what.c_str());
}

std::string describe(long long v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lld (0x%llx)", v, static_cast<unsigned long long>(v) & 0xFFFFFFFFull);
    return buf;
}

std::string describe(unsigned long long v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%llu (0x%llx)", v, v);
    return buf;
}

std::string describe(std::wstring_view v) {
    std::string out = "\"";
    for (wchar_t c : v) out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
    return out + "\"";
}

std::string describe(const void* p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%p", p);
    return buf;
}

std::string describe(const GUID& g) {
    wchar_t buf[40];
    StringFromGUID2(g, buf, 40);
    return describe(std::wstring_view(buf));
}

}  // namespace wintest
