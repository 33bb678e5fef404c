#include "tools/outlook-sim/classes.h"

#include <functional>

#include "host/com/com_object.h"
#include "host/com/hresult.h"
#include "host/com/unique_handle.h"
#include "sim/sim_host.h"
#include "tools/outlook-sim/adapter.h"

namespace outlook_sim {

using host::com::com_ptr;

namespace {

constexpr CLSID clsid_application = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// The web browser's published class id: a prefix may have the ProgID already, with this id.
constexpr CLSID clsid_browser = {0x0002DF01, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct ProgIdClass {
    const wchar_t* progid;
    CLSID clsid;
    bool safe_item;
};

// The stand-ins' own class ids for the safe-item library: only the ProgIDs are published.
const ProgIdClass progid_classes[] = {
    {L"Redemption.SafeMailItem", {0x51a0c001, 0x7d3e, 0x4a55, {0xb2, 0x19, 0x3f, 0x60, 0x8e, 0x1d, 0x44, 0x01}}, true},
    {L"Redemption.SafeDistList", {0x51a0c002, 0x7d3e, 0x4a55, {0xb2, 0x19, 0x3f, 0x60, 0x8e, 0x1d, 0x44, 0x02}}, true},
    {L"Redemption.SafeContactItem", {0x51a0c003, 0x7d3e, 0x4a55, {0xb2, 0x19, 0x3f, 0x60, 0x8e, 0x1d, 0x44, 0x03}}, true},
    {L"InternetExplorer.Application", clsid_browser, false},
};

// A class object whose instances are adapters over what `make` returns.
class Factory final : public host::com::ComObject<IClassFactory> {
public:
    explicit Factory(std::function<host::Object()> make) : make_(std::move(make)) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        try {
            com_ptr<IDispatch> d = dispatch_of(make_());
            if (!d) return E_FAIL;
            return d->QueryInterface(riid, out);
        } catch (...) {
            // A failure of the host (an injected fault) is what creating the object gives; a
            // class the machine does not have is not registered, as COM says it.
            const host::Failure failure = host::com::current_failure();
            if (failure.number() == host::errors::cannot_create_object) return REGDB_E_CLASSNOTREG;
            return host::com::hresult_of(failure);
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    std::function<host::Object()> make_;
};

std::wstring guid_text(const GUID& g) {
    wchar_t buffer[40] = {};
    StringFromGUID2(g, buffer, 40);
    return buffer;
}

bool key_exists(const std::wstring& path) {
    host::com::unique_hkey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// The class id a ProgID key names, or empty.
std::wstring registered_clsid(const std::wstring& progid) {
    wchar_t value[64] = {};
    LONG size = sizeof value;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, (progid + L"\\CLSID").c_str(), value, &size) != ERROR_SUCCESS) return {};
    return value;
}

}  // namespace

ClassRegistrations::ClassRegistrations(sim::SimHost& host, bool safe_items) {
    try {
        register_class(clsid_application, host::com::adopt<IClassFactory>(new Factory([&host] {
                           return host.create_application();
                       })));
        for (const auto& c : progid_classes) {
            if (c.safe_item && !safe_items) {
                // Not installed: a key left by an earlier run of this program goes.
                if (registered_clsid(c.progid) == guid_text(c.clsid)) RegDeleteTreeW(HKEY_CLASSES_ROOT, c.progid);
                continue;
            }
            std::u16string progid(c.progid, c.progid + wcslen(c.progid));
            register_class(c.clsid, host::com::adopt<IClassFactory>(new Factory([&host, progid] {
                               return host.create_object(progid);
                           })));
            register_progid(c.progid, c.clsid);
        }
    } catch (...) {
        release();
        throw;
    }
}

ClassRegistrations::~ClassRegistrations() { release(); }

void ClassRegistrations::release() noexcept {
    for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
    cookies_.clear();
    for (const auto& key : written_keys_) RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    written_keys_.clear();
}

void ClassRegistrations::register_class(const CLSID& clsid, com_ptr<IClassFactory> factory) {
    DWORD cookie = 0;
    host::com::check(CoRegisterClassObject(clsid, factory.get(), CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                           REGCLS_MULTIPLEUSE, &cookie));
    cookies_.push_back(cookie);
}

void ClassRegistrations::register_progid(const std::wstring& progid, const CLSID& clsid) {
    const std::wstring wanted = guid_text(clsid);
    if (registered_clsid(progid) == wanted) return;
    const bool existed = key_exists(progid);
    host::com::unique_hkey key;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, (progid + L"\\CLSID").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              key.put(), nullptr);
    if (rc != ERROR_SUCCESS) host::com::raise_hresult(HRESULT_FROM_WIN32(rc));
    if (!existed) written_keys_.push_back(progid);
    rc = RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(wanted.c_str()),
                        static_cast<DWORD>((wanted.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS) host::com::raise_hresult(HRESULT_FROM_WIN32(rc));
}

}  // namespace outlook_sim
