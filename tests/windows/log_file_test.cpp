// The support log's file as the add-in writes it on Windows: where, what a line holds by
// default and with detailed logging on, the turn-over at its size, and a folder that cannot
// be written.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "host/com/com_environment.h"
#include "host/com/log_file.h"
#include "host/support_log.h"

namespace wintest {
namespace {

std::wstring temp_folder() {
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    std::wstring folder = std::wstring(base) + L"quillamor-log-" + std::to_wstring(GetCurrentProcessId()) +
                          L"-" + std::to_wstring(GetTickCount());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::string contents(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void set_dword(HKEY root, const wchar_t* key, DWORD value) {
    RegSetKeyValueW(root, key, L"DetailedLog", REG_DWORD, &value, sizeof value);
}
void clear(HKEY root, const wchar_t* key) { RegDeleteKeyValueW(root, key, L"DetailedLog"); }

constexpr wchar_t policy[] = L"Software\\Policies\\Orvane Corporation\\Quillamor";
constexpr wchar_t settings[] = L"Software\\Orvane Corporation\\Quillamor";

// A host failure as a contact's address read would leave it: the host's words name the person.
host::Failure contact_failure() {
    host::Failure f(static_cast<int32_t>(0x80004005), u"Cannot read Ann Smith <ann@example.com>\tnow");
    f.note_member(u"ContactItem", u"Email1Address");
    return f;
}

class LogFile : public ::testing::Test {
protected:
    void SetUp() override {
        local_ = temp_folder();
        SetEnvironmentVariableW(L"LOCALAPPDATA", local_.c_str());
        clear_settings();
    }
    void TearDown() override { clear_settings(); }
    static void clear_settings() {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) clear(root, policy);
        clear(HKEY_CURRENT_USER, settings);
    }
    std::wstring log() const { return local_ + L"\\Quillamor\\" + host::com::log_file_name; }
    std::wstring old_log() const { return local_ + L"\\Quillamor\\" + host::com::old_log_file_name; }

    std::wstring local_;
};

TEST_F(LogFile, ALineForEachFailureWithoutTheHostsWordsByDefault) {
    host::com::ComEnvironment env;
    env.set_host_version(u"16.0.0.17928");
    env.log_failure(contact_failure(), host::Shown::no);
    env.log_failure(host::Failure(6, u"Overflow"), host::Shown::yes);
    const std::string text = contents(log());
    EXPECT_NE(text.find("\tOutlook 16.0.0.17928\tQuillamor "), std::string::npos) << text;
    EXPECT_NE(text.find("\tContactItem.Email1Address\t-2147467259 (0x80004005)\twent on\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\tQuillamor\t6 (0x00000006)\tshown\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Ann"), std::string::npos) << text;
    EXPECT_EQ(text.find("example.com"), std::string::npos) << text;
}

TEST_F(LogFile, DetailedLoggingAddsTheHostsWordsAndPolicyWins) {
    struct Case {
        const char* name;
        std::optional<DWORD> machine_policy, user_policy, user_setting;
        bool detailed;
    };
    const Case cases[] = {
        {"the user's own setting", {}, {}, 1, true},
        {"the user's policy over the setting", {}, 0, 1, false},
        {"the machine's policy over the user's", 1, 0, {}, true},
        {"the machine's policy off", 0, 1, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(log().c_str());
        clear_settings();
        if (c.machine_policy) set_dword(HKEY_LOCAL_MACHINE, policy, *c.machine_policy);
        if (c.user_policy) set_dword(HKEY_CURRENT_USER, policy, *c.user_policy);
        if (c.user_setting) set_dword(HKEY_CURRENT_USER, settings, *c.user_setting);
        host::com::ComEnvironment env;
        env.log_failure(contact_failure(), host::Shown::no);
        const std::string text = contents(log());
        EXPECT_EQ(text.find("\twent on\tCannot read Ann Smith <ann@example.com> now\r\n") != std::string::npos, c.detailed)
            << text;
    }
}

TEST_F(LogFile, TurnsOverAtItsSizeKeepingOneOlderFile) {
    const std::wstring folder = local_ + L"\\Quillamor";
    const std::string full(host::log_size_limit - 10, 'x');
    host::com::append_log_line(folder, u"first");
    { std::ofstream(std::filesystem::path(log()), std::ios::binary | std::ios::trunc) << full; }
    host::com::append_log_line(folder, u"a line that does not fit");
    EXPECT_EQ(contents(old_log()), full);
    EXPECT_EQ(contents(log()), "a line that does not fit\r\n");
    host::com::append_log_line(folder, u"the next");
    EXPECT_EQ(contents(log()), "a line that does not fit\r\nthe next\r\n");
    EXPECT_EQ(contents(old_log()), full);
}

TEST_F(LogFile, AFolderThatCannotBeWrittenChangesNothing) {
    // The log's folder would have to be made inside a file.
    const std::wstring file = local_ + L"\\Quillamor";
    { std::ofstream(std::filesystem::path(file)) << "not a folder"; }
    host::com::ComEnvironment env;
    EXPECT_NO_THROW(env.log_failure(contact_failure(), host::Shown::no));
    EXPECT_EQ(contents(file), "not a folder");
}

}  // namespace
}  // namespace wintest
