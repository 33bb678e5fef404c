#include "addin/com/registration.h"

#include <windows.h>

#include <string>

#include "addin/com/module.h"
#include "host/com/hresult.h"
#include "host/com/unique_handle.h"
#include "quillamor_h.h"

namespace addin::com {

using host::com::unique_hkey;

namespace {

constexpr const wchar_t* progid = L"Quillamor.Connect";
constexpr const wchar_t* type_library_version = L"1.0";
// The automation marshaler, which marshals a dual interface from its type library.
constexpr const wchar_t* automation_marshaler = L"{00020424-0000-0000-C000-000000000046}";

#ifdef _WIN64
constexpr const wchar_t* platform = L"win64";
constexpr REGSAM other_view = KEY_WOW64_32KEY;
#else
constexpr const wchar_t* platform = L"win32";
constexpr REGSAM other_view = KEY_WOW64_64KEY;
#endif
constexpr REGSAM own_view = 0;

void check_win32(LSTATUS status) {
    if (status != ERROR_SUCCESS) host::com::raise_hresult(HRESULT_FROM_WIN32(status));
}

std::wstring text(const GUID& g) {
    wchar_t buffer[40];
    StringFromGUID2(g, buffer, 40);
    return buffer;
}

// Sets a text value (the default value when `name` is null), creating the key.
void set(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    unique_hkey k;
    check_win32(RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                k.put(), nullptr));
    check_win32(RegSetValueExW(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
}

bool exists(const std::wstring& key, REGSAM view) {
    unique_hkey k;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ | view, k.put()) == ERROR_SUCCESS;
}

bool empty(const std::wstring& key, REGSAM view) {
    unique_hkey k;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ | view, k.put()) != ERROR_SUCCESS)
        return false;
    DWORD subkeys = 0, values = 0;
    check_win32(RegQueryInfoKeyW(k.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                 nullptr, nullptr, nullptr, nullptr));
    return subkeys == 0 && values == 0;
}

// Deletes a key with everything under it; a key that is not there is fine.
void remove(const std::wstring& key, REGSAM view) {
    {
        unique_hkey k;
        LSTATUS s = RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_ALL_ACCESS | view, k.put());
        if (s == ERROR_FILE_NOT_FOUND) return;
        check_win32(s);
        check_win32(RegDeleteTreeW(k.get(), nullptr));
    }
    LSTATUS s = RegDeleteKeyExW(HKEY_CLASSES_ROOT, key.c_str(), view, 0);
    if (s != ERROR_FILE_NOT_FOUND) check_win32(s);
}

struct Keys {
    std::wstring clsid = L"CLSID\\" + text(CLSID_Connect);
    std::wstring progid_key = progid;
    std::wstring library = L"TypeLib\\" + text(LIBID_Quillamor);
    std::wstring library_version = library + L"\\" + type_library_version;
    std::wstring library_file = library_version + L"\\0";
    std::wstring iface = L"Interface\\" + text(IID__Connect);
};

}  // namespace

void register_server() {
    Keys k;
    std::wstring path = module_path();
    std::wstring folder = path.substr(0, path.find_last_of(L'\\'));

    set(k.clsid, nullptr, progid);
    set(k.clsid + L"\\InprocServer32", nullptr, path);
    set(k.clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    set(k.clsid + L"\\ProgID", nullptr, progid);
    set(k.clsid + L"\\TypeLib", nullptr, text(LIBID_Quillamor));
    set(k.clsid + L"\\VERSION", nullptr, type_library_version);
    set(k.progid_key, nullptr, progid);
    set(k.progid_key + L"\\CLSID", nullptr, text(CLSID_Connect));

    // The type library by hand: registering it through the system would also claim the
    // host's IDTExtensibility2, which the library describes but the add-in does not own.
    set(k.library_version, nullptr, L"Quillamor");
    set(k.library_file + L"\\" + platform, nullptr, path);
    set(k.library_version + L"\\FLAGS", nullptr, L"0");
    set(k.library_version + L"\\HELPDIR", nullptr, folder);
    set(k.iface, nullptr, L"_Connect");
    set(k.iface + L"\\ProxyStubClsid32", nullptr, automation_marshaler);
    set(k.iface + L"\\TypeLib", nullptr, text(LIBID_Quillamor));
    set(k.iface + L"\\TypeLib", L"Version", type_library_version);
}

void unregister_server() {
    Keys k;
    remove(k.clsid, own_view);
    remove(k.iface, own_view);
    remove(k.library_file + L"\\" + platform, own_view);
    if (!exists(k.clsid, other_view)) {
        remove(k.progid_key, own_view);
        remove(k.library, own_view);
    } else if (empty(k.library_file, own_view)) {
        remove(k.library_file, own_view);
    }
}

}  // namespace addin::com
