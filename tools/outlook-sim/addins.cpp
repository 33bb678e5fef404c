#include "tools/outlook-sim/addins.h"

#include <cstdio>
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

std::vector<AddIn> create_addins() {
    host::com::unique_hkey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, addins_key, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        throw std::runtime_error("no add-ins are registered for the mail host (HKCU\\Software\\Microsoft\\Office\\Outlook\\Addins)");
    std::vector<AddIn> out;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        LONG rc = RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) continue;
        DWORD behavior = 0, size = sizeof behavior;
        if (RegGetValueW(key.get(), name, L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &behavior, &size) != ERROR_SUCCESS ||
            behavior != 3)
            continue;
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
        host::com::com_ptr<IUnknown> unknown;
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, unknown.put_void());
        if (FAILED(hr)) {
            skip("cannot be created", hr);
            continue;
        }
        AddIn a{name, {}};
        hr = unknown->QueryInterface(iid_extensibility, reinterpret_cast<void**>(a.object.put()));
        if (FAILED(hr)) {
            skip("has no IDTExtensibility2", hr);
            continue;
        }
        out.push_back(std::move(a));
    }
    if (out.empty())
        throw std::runtime_error("no add-in under HKCU\\Software\\Microsoft\\Office\\Outlook\\Addins has LoadBehavior 3");
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
