#include "host/com/log_file.h"

#include <windows.h>
#include <shlobj.h>

#include "host/com/unique_handle.h"
#include "host/support_log.h"
#include "host/text.h"

namespace host::com {
namespace {

constexpr wchar_t policy_key[] = L"Software\\Policies\\Orvane Corporation\\Quillamor";
constexpr wchar_t settings_key[] = L"Software\\Orvane Corporation\\Quillamor";
constexpr wchar_t detailed_value[] = L"DetailedLog";

std::optional<DWORD> dword_value(HKEY root, const wchar_t* key, const wchar_t* name) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegGetValueW(root, key, name, RRF_RT_REG_DWORD, &type, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

// A handle of CreateFileW's, which says "none" with INVALID_HANDLE_VALUE, not null.
unique_handle open_for_append(const std::wstring& file) {
    HANDLE h = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return unique_handle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

}  // namespace

std::optional<std::wstring> log_folder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH + 1);
    if (length > 0 && length <= MAX_PATH) return std::wstring(buffer, length) + L"\\Quillamor";
    PWSTR known = nullptr;
    std::optional<std::wstring> folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)))
        folder = std::wstring(known) + L"\\Quillamor";
    CoTaskMemFree(known);
    return folder;
}

void append_log_line(const std::wstring& folder, std::u16string_view line) noexcept {
    try {
        const std::string bytes = to_utf8(line) + "\r\n";
        CreateDirectoryW(folder.c_str(), nullptr);  // fails harmlessly when it is there
        const std::wstring file = folder + L"\\" + log_file_name;
        unique_handle h = open_for_append(file);
        if (!h) return;
        LARGE_INTEGER size{};
        if (GetFileSizeEx(h.get(), &size) && log_needs_rotation(static_cast<size_t>(size.QuadPart), bytes.size())) {
            h.reset();
            const std::wstring old = folder + L"\\" + old_log_file_name;
            MoveFileExW(file.c_str(), old.c_str(), MOVEFILE_REPLACE_EXISTING);
            h = open_for_append(file);
            if (!h) return;
        }
        DWORD written = 0;
        WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    } catch (...) {
        // No memory for the line: the log is the last thing that may disturb the user.
    }
}

bool detailed_logging() {
    for (auto [root, key] : {std::pair{HKEY_LOCAL_MACHINE, policy_key}, std::pair{HKEY_CURRENT_USER, policy_key},
                             std::pair{HKEY_CURRENT_USER, settings_key}})
        if (auto value = dword_value(root, key, detailed_value)) return *value != 0;
    return false;
}

}  // namespace host::com
