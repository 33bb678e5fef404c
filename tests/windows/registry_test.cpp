// The registry before and after regsvr32: what registration writes, that unregistration
// removes it again, and that the host's own IDTExtensibility2 registration is never touched.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "host/com/bstr.h"
#include "host/com/com_ptr.h"
#include "host/com/unique_handle.h"
#include "tests/windows/addin_ids.h"
#include "tests/windows/printers.h"

using host::com::unique_hkey;

namespace wintest {

namespace {

std::wstring text(const GUID& g) {
    wchar_t buf[40];
    StringFromGUID2(g, buf, 40);
    return buf;
}

const std::wstring clsid_key = L"CLSID\\" + text(clsid_connect);
const std::wstring library_key = L"TypeLib\\" + text(libid_quillamor);
const std::wstring interface_key = L"Interface\\" + text(iid_connect);
// Stands in for the host's registration of its add-in interface.
const std::wstring host_interface_key = L"Interface\\" + text(iid_extensibility);
const std::wstring host_library = L"{AC0714F2-3D04-11D1-AE7D-00A0C90F26F4}";
const wchar_t* platform = sizeof(void*) == 8 ? L"win64" : L"win32";

bool exists(const std::wstring& key) {
    unique_hkey k;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, k.put()) == ERROR_SUCCESS;
}

std::optional<std::wstring> value(const std::wstring& key, const wchar_t* name = nullptr) {
    wchar_t buf[1024];
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buf);
}

void set(const std::wstring& key, const wchar_t* name, const std::wstring& v) {
    unique_hkey k;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, k.put(), nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                             static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

bool same_file(const std::wstring& a, const std::wstring& b) {
    wchar_t fa[MAX_PATH], fb[MAX_PATH];
    GetFullPathNameW(a.c_str(), MAX_PATH, fa, nullptr);
    GetFullPathNameW(b.c_str(), MAX_PATH, fb, nullptr);
    return CompareStringOrdinal(fa, -1, fb, -1, TRUE) == CSTR_EQUAL;
}

void check_host_interface_untouched() {
    EXPECT_EQ(value(host_interface_key + L"\\TypeLib"), host_library);
    EXPECT_EQ(value(host_interface_key + L"\\TypeLib", L"Version"), std::wstring(L"1.0"));
    EXPECT_EQ(value(host_interface_key), std::wstring(L"IDTExtensibility2"));
}

}  // namespace

TEST(RegistrySeed, TheHostsInterfaceKey) {
    set(host_interface_key, nullptr, L"IDTExtensibility2");
    set(host_interface_key + L"\\TypeLib", nullptr, host_library);
    set(host_interface_key + L"\\TypeLib", L"Version", L"1.0");
}

TEST(Registered, TheClassAndItsProgId) {
    const std::wstring& dll = dll_under_test();
    EXPECT_EQ(value(clsid_key), std::wstring(L"Quillamor.Connect"));
    auto server = value(clsid_key + L"\\InprocServer32");
    EXPECT_TRUE(server && same_file(*server, dll)) << "InprocServer32: " << testing::PrintToString(server);
    EXPECT_EQ(value(clsid_key + L"\\InprocServer32", L"ThreadingModel"), std::wstring(L"Apartment"));
    EXPECT_EQ(value(clsid_key + L"\\ProgID"), std::wstring(progid));
    EXPECT_EQ(value(std::wstring(progid) + L"\\CLSID"), text(clsid_connect));
    CLSID from_progid{};
    EXPECT_HRESULT_SUCCEEDED(CLSIDFromProgID(progid, &from_progid));
    EXPECT_EQ(from_progid, clsid_connect);
}

// The type library is found through the registry, in this DLL.
TEST(Registered, TheTypeLibraryInTheDll) {
    const std::wstring& dll = dll_under_test();
    host::com::com_ptr<ITypeLib> lib;
    EXPECT_HRESULT_SUCCEEDED(LoadRegTypeLib(libid_quillamor, 1, 0, LOCALE_NEUTRAL, lib.put()));
    host::com::Bstr path;
    EXPECT_HRESULT_SUCCEEDED(QueryPathOfRegTypeLib(libid_quillamor, 1, 0, LOCALE_NEUTRAL, path.put()));
    EXPECT_TRUE(path.get() && same_file(path.get(), dll));
    EXPECT_EQ(value(interface_key + L"\\TypeLib"), text(libid_quillamor));
}

TEST(Registered, TheHostsInterfaceUntouched) { check_host_interface_untouched(); }

TEST(UnregisteredHere, ThisBitnessKeysGone) {
    EXPECT_FALSE(exists(clsid_key));
    EXPECT_FALSE(exists(interface_key));
    EXPECT_FALSE(exists(library_key + L"\\1.0\\0\\" + platform));
}

TEST(UnregisteredHere, TheHostsInterfaceUntouched) { check_host_interface_untouched(); }

TEST(UnregisteredEverywhere, TheProgIdAndTypeLibraryKeysGone) {
    EXPECT_FALSE(exists(progid));
    EXPECT_FALSE(exists(library_key));
}

}  // namespace wintest
