// The list of add-ins as outlook-sim reads it: the machine's keys and the user's, each ProgID
// once, the user's load behaviour overriding the machine's. Built in a scratch key of the
// prefix's own user, removed again at the end.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/com/unique_handle.h"
#include "tools/outlook-sim/addins.h"

namespace {

constexpr wchar_t scratch[] = L"Software\\Quillamor outlook-sim test";

struct Listed {
    const wchar_t* progid;
    long load_behavior;  // -1: the key has no LoadBehavior
};

host::com::unique_hkey make_root(const wchar_t* name, const std::vector<Listed>& entries) {
    host::com::unique_hkey root;
    std::wstring path = std::wstring(scratch) + L"\\" + name;
    RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, root.put(), nullptr);
    for (const Listed& e : entries) {
        host::com::unique_hkey key;
        RegCreateKeyExW(root.get(), e.progid, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
        RegSetValueExW(key.get(), L"FriendlyName", 0, REG_SZ, reinterpret_cast<const BYTE*>(e.progid),
                       static_cast<DWORD>((wcslen(e.progid) + 1) * sizeof(wchar_t)));
        if (e.load_behavior >= 0) {
            DWORD value = static_cast<DWORD>(e.load_behavior);
            RegSetValueExW(key.get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                           sizeof value);
        }
    }
    return root;
}

bool same(const std::vector<outlook_sim::AddInEntry>& got, const std::vector<Listed>& want) {
    if (got.size() != want.size()) return false;
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i].progid != want[i].progid || static_cast<long>(got[i].load_behavior) != want[i].load_behavior)
            return false;
    return true;
}

TEST(AddIns, AddinsOfTheMachineAndTheUser) {
    struct Case {
        const char* name;
        std::vector<Listed> machine, user, want;
    };
    const std::vector<Case> cases = {
        {"machine only", {{L"A.Connect", 3}}, {}, {{L"A.Connect", 3}}},
        {"user only", {}, {{L"B.Connect", 3}}, {{L"B.Connect", 3}}},
        {"the user's choice overrides the machine's",
         {{L"C.Connect", 3}},
         {{L"C.Connect", 2}},
         {{L"C.Connect", 2}}},
        {"a user's key without a load behaviour overrides nothing",
         {{L"D.Connect", 3}},
         {{L"D.Connect", -1}},
         {{L"D.Connect", 3}}},
        {"ProgIDs match without regard to case",
         {{L"E.Connect", 3}},
         {{L"e.connect", 0}},
         {{L"E.Connect", 0}}},
        {"the machine's first, then the user's own",
         {{L"F.Connect", 3}, {L"G.Connect", 2}},
         {{L"H.Connect", 3}, {L"G.Connect", 3}},
         {{L"F.Connect", 3}, {L"G.Connect", 3}, {L"H.Connect", 3}}},
        {"a key without a load behaviour is listed as not loading", {{L"I.Connect", -1}}, {}, {{L"I.Connect", 0}}},
    };
    for (const Case& c : cases) {
        RegDeleteTreeW(HKEY_CURRENT_USER, scratch);
        host::com::unique_hkey machine = make_root(L"machine", c.machine);
        host::com::unique_hkey user = make_root(L"user", c.user);
        EXPECT_TRUE(same(outlook_sim::listed_addins(machine.get(), user.get()), c.want)) << c.name;
    }
    EXPECT_TRUE(outlook_sim::listed_addins(nullptr, nullptr).empty());
    RegDeleteTreeW(HKEY_CURRENT_USER, scratch);
    RegDeleteKeyW(HKEY_CURRENT_USER, scratch);
}

}  // namespace
