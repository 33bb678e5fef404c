#pragma once
// Checks of the Windows test programs (no test framework: they run under Wine as plain
// programs). A failed check prints where and what; the exit code is the number of failures.
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace wintest {

int failures();
void fail(const char* file, int line, const std::string& what);

std::string describe(long long v);
std::string describe(unsigned long long v);
inline std::string describe(int v) { return describe(static_cast<long long>(v)); }
inline std::string describe(long v) { return describe(static_cast<long long>(v)); }
inline std::string describe(short v) { return describe(static_cast<long long>(v)); }
inline std::string describe(unsigned v) { return describe(static_cast<unsigned long long>(v)); }
inline std::string describe(unsigned long v) { return describe(static_cast<unsigned long long>(v)); }
inline std::string describe(unsigned short v) { return describe(static_cast<unsigned long long>(v)); }
std::string describe(std::wstring_view v);
inline std::string describe(const std::wstring& v) { return describe(std::wstring_view(v)); }
inline std::string describe(const wchar_t* v) { return describe(std::wstring_view(v ? v : L"(null)")); }
std::string describe(const void* p);
inline std::string describe(bool b) { return b ? "true" : "false"; }
std::string describe(const GUID& g);

template <class A, class B>
void check_equal(const char* file, int line, const char* expr, const A& a, const B& b) {
    if (!(a == b)) fail(file, line, std::string(expr) + ": " + describe(a) + " != " + describe(b));
}

}  // namespace wintest

#define CHECK(cond) ((cond) ? (void)0 : ::wintest::fail(__FILE__, __LINE__, #cond))
#define CHECK_EQ(a, b) ::wintest::check_equal(__FILE__, __LINE__, #a " == " #b, (a), (b))
#define CHECK_OK(expr)                                                                     \
    do {                                                                                   \
        HRESULT check_hr_ = (expr);                                                        \
        if (FAILED(check_hr_))                                                             \
            ::wintest::fail(__FILE__, __LINE__, std::string(#expr) + " failed: " +         \
                                                    ::wintest::describe(check_hr_));       \
    } while (0)
