// Runs the tests of outlook-sim's adapter layer and screen under Wine, in one OLE apartment
// (the screen's windows and message boxes need OLE's, not only COM's).
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include "tools/outlook-sim/adapter.h"

namespace {

// Every test let go of its objects: at the end no COM object of the adapter layer is left.
class NoAdapterLeft : public testing::Environment {
public:
    void TearDown() override { EXPECT_EQ(outlook_sim::live_adapters(), 0); }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    GTEST_FLAG_SET(brief, true);  // failures and the totals only, unless asked otherwise
    testing::InitGoogleTest(&argc, argv);
    if (FAILED(OleInitialize(nullptr))) return 1;
    testing::AddGlobalTestEnvironment(new NoAdapterLeft);
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
