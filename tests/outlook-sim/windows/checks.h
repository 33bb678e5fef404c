#pragma once
// Checks of the outlook-sim test program (a plain program run under Wine): each test is a
// function registered by name; a failed check prints where and what, and the exit code is the
// number of failures.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace outlook_sim_test {

struct Totals {
    int checks = 0, failures = 0;
};
inline Totals& totals() {
    static Totals t;
    return t;
}

inline void check(bool ok, const char* file, int line, const char* what) {
    ++totals().checks;
    if (ok) return;
    ++totals().failures;
    std::printf("%s:%d: failed: %s\n", file, line, what);
}

struct Test {
    const char* name;
    void (*run)();
};
inline std::vector<Test>& tests() {
    static std::vector<Test> all;
    return all;
}
struct Register {
    Register(const char* name, void (*run)()) { tests().push_back({name, run}); }
};

}  // namespace outlook_sim_test

#define CHECK(cond) ::outlook_sim_test::check((cond), __FILE__, __LINE__, #cond)
#define TEST(name)                                                     \
    static void name();                                                \
    static ::outlook_sim_test::Register register_##name(#name, &name); \
    static void name()
