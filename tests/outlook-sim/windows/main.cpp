// Runs every registered test of the adapter layer and the screen under Wine.
#include <windows.h>
#include <ole2.h>

#include "tests/outlook-sim/windows/checks.h"
#include "tools/outlook-sim/adapter.h"

int wmain() {
    if (FAILED(OleInitialize(nullptr))) return 1;
    for (const auto& t : outlook_sim_test::tests()) t.run();
    // Every test let go of its objects: no COM object of the adapter layer is left.
    CHECK(outlook_sim::live_adapters() == 0);
    OleUninitialize();
    const auto& t = outlook_sim_test::totals();
    std::printf("%zu tests, %d checks, %d failed\n", outlook_sim_test::tests().size(), t.checks, t.failures);
    return t.failures;
}
