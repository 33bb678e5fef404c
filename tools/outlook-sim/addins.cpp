#include "tools/outlook-sim/addins.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include <softpub.h>
#include <wintrust.h>
#include <stdexcept>

#include "host/com/bstr.h"
#include "host/com/hresult.h"
#include "host/com/unique_handle.h"
#include "host/text.h"

namespace outlook_sim {

namespace {

constexpr wchar_t addins_key[] = L"Software\\Microsoft\\Office\\Outlook\\Addins";

std::string narrow(const std::wstring& text) { return host::to_utf8(host::com::from_wide(text.c_str())); }

std::string hex(HRESULT hr) {
    char buffer[16];
    snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
    return buffer;
}

}  // namespace

std::vector<AddInEntry> listed_addins(HKEY machine, HKEY user) {
    std::vector<AddInEntry> out;
    for (HKEY root : {machine, user}) {
        if (!root) continue;
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD length = 256;
            LONG rc = RegEnumKeyExW(root, i, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc != ERROR_SUCCESS) continue;
            DWORD behavior = 0, size = sizeof behavior;
            bool has_behavior =
                RegGetValueW(root, name, L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &behavior, &size) == ERROR_SUCCESS;
            auto listed = std::find_if(out.begin(), out.end(),
                                       [&](const AddInEntry& e) { return _wcsicmp(e.progid.c_str(), name) == 0; });
            if (listed == out.end())
                out.push_back({name, has_behavior ? behavior : 0});
            else if (has_behavior)
                listed->load_behavior = behavior;
        }
    }
    return out;
}

std::vector<std::pair<std::wstring, Managed>> managed_addins(int major_version) {
    std::vector<std::pair<std::wstring, Managed>> out;
    if (major_version < 15) return out;
    const std::wstring key =
        L"Software\\Policies\\Microsoft\\Office\\" + std::to_wstring(major_version) + L".0\\Outlook\\Resiliency\\AddinList";
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        host::com::unique_hkey list;
        if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, list.put()) != ERROR_SUCCESS) continue;
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD length = 256, type = 0;
            BYTE data[64] = {};
            DWORD size = sizeof data - sizeof(wchar_t);
            LONG rc = RegEnumValueW(list.get(), i, name, &length, nullptr, &type, data, &size);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc != ERROR_SUCCESS) continue;
            // The policy writes text ("0", "1", "2"); a number is taken as well.
            long value = -1;
            if (type == REG_SZ) value = std::wcstol(reinterpret_cast<const wchar_t*>(data), nullptr, 10);
            else if (type == REG_DWORD) value = static_cast<long>(*reinterpret_cast<const DWORD*>(data));
            if (value < 0 || value > 2) continue;
            auto same = std::find_if(out.begin(), out.end(), [&](const auto& e) { return _wcsicmp(e.first.c_str(), name) == 0; });
            if (same != out.end()) same->second = static_cast<Managed>(value);
            else out.emplace_back(name, static_cast<Managed>(value));
        }
    }
    return out;
}

DWORD load_behavior_under(const AddInEntry& entry, const std::vector<std::pair<std::wstring, Managed>>& managed) {
    for (const auto& [progid, rule] : managed)
        if (_wcsicmp(progid.c_str(), entry.progid.c_str()) == 0) {
            if (rule == Managed::Off) return 0;
            if (rule == Managed::On) return 3;
        }
    return entry.load_behavior;
}

namespace {

// The DLL file registered for a class, in the host's registry view.
std::wstring server_file(const CLSID& clsid) {
    wchar_t text[64];
    if (!StringFromGUID2(clsid, text, 64)) return {};
    const std::wstring key = L"CLSID\\" + std::wstring(text) + L"\\InprocServer32";
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = sizeof path;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS)
        return {};
    return path;
}

// Whether a file's signature holds, as the host's check of signed add-ins asks: no user
// interface, no revocation check.
HRESULT signature_of(const std::wstring& file) {
    WINTRUST_FILE_INFO info{};
    info.cbStruct = sizeof info;
    info.pcwszFilePath = file.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &info;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return static_cast<HRESULT>(result);
}

}  // namespace

std::vector<AddIn> create_addins(const LoadRules& rules) {
    // Opened without a view flag: a 32-bit host on 64-bit Windows reads the machine's 32-bit
    // view, as the mail host of that bitness does. The user's keys are the same in both.
    host::com::unique_hkey machine, user;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, addins_key, 0, KEY_READ, machine.put()) != ERROR_SUCCESS) (void)machine.release();
    if (RegOpenKeyExW(HKEY_CURRENT_USER, addins_key, 0, KEY_READ, user.put()) != ERROR_SUCCESS) (void)user.release();
    const auto managed = managed_addins(rules.major_version);
    std::vector<AddIn> out;
    for (const AddInEntry& entry : listed_addins(machine.get(), user.get())) {
        const wchar_t* name = entry.progid.c_str();
        const DWORD behavior = load_behavior_under(entry, managed);
        if (behavior != 3) {
            if (entry.load_behavior == 3)
                std::fprintf(stderr, "outlook-sim: the add-in %s is turned off by the list of managed add-ins (0); passed over\n",
                             narrow(name).c_str());
            continue;
        }
        // As the mail host does, an add-in that cannot be started is passed over (and said
        // so), and the others still load.
        auto skip = [&](const char* what, HRESULT hr) {
            std::fprintf(stderr, "outlook-sim: the add-in %s %s (%s); passed over\n", narrow(name).c_str(), what,
                         hex(hr).c_str());
        };
        CLSID clsid;
        HRESULT hr = CLSIDFromProgID(name, &clsid);
        if (FAILED(hr)) {
            skip("is not registered", hr);
            continue;
        }
        if (rules.require_signed) {
            const std::wstring file = server_file(clsid);
            hr = file.empty() ? REGDB_E_CLASSNOTREG : signature_of(file);
            if (hr != S_OK) {
                skip("is not signed, or its signature does not hold, where signed add-ins are required", hr);
                continue;
            }
        }
        host::com::com_ptr<IUnknown> unknown;
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, unknown.put_void());
        if (FAILED(hr)) {
            skip("cannot be created", hr);
            continue;
        }
        AddIn a{entry.progid, {}};
        hr = unknown->QueryInterface(iid_extensibility, reinterpret_cast<void**>(a.object.put()));
        if (FAILED(hr)) {
            skip("has no IDTExtensibility2", hr);
            continue;
        }
        out.push_back(std::move(a));
    }
    if (out.empty())
        throw std::runtime_error(
            "no add-in under Software\\Microsoft\\Office\\Outlook\\Addins (HKLM or HKCU) loads at start-up "
            "(LoadBehavior 3)");
    return out;
}

host::Failure failure_of(HRESULT hr) {
    host::com::com_ptr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) == S_OK && info) {
        host::com::Bstr description;
        if (SUCCEEDED(info->GetDescription(description.put())) && !description.str().empty())
            return host::Failure(host::com::error_number(hr), description.str());
    }
    return host::com::failure_from_hresult(hr);
}

HMODULE module_of(IUnknown* object) {
    if (!object) return nullptr;
    const void* methods = *reinterpret_cast<void* const*>(object);
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(methods), &module))
        return nullptr;
    return module;
}

std::wstring module_file(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD n = module ? GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())) : 0;
    path.resize(n);
    return path;
}

}  // namespace outlook_sim
