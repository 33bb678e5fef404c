#include "tests/windows/fake_host.h"

#include <olectl.h>

#include <algorithm>

#include "host/com/bstr.h"
#include "host/com/com_variant.h"

namespace wintest {

using host::com::com_ptr;

namespace {
LONG alive = 0;

bool same_name(const std::wstring& a, const wchar_t* b) {
    return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}
}  // namespace

long fake_objects_alive() { return alive; }

// Connection points -------------------------------------------------------------------------

HRESULT FakeConnectionPoint::fire(DISPID id, std::vector<VARIANT> args, EXCEPINFO* excep) {
    std::reverse(args.begin(), args.end());
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    std::vector<com_ptr<IDispatch>> sinks;
    for (auto& [cookie, sink] : sinks_) sinks.push_back(sink);
    HRESULT first = S_OK;
    for (auto& sink : sinks) {
        EXCEPINFO info{};
        HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &info, nullptr);
        if (FAILED(hr) && SUCCEEDED(first)) {
            first = hr;
            if (excep) {
                *excep = info;
                continue;
            }
        }
        host::com::adopt_bstr(info.bstrSource);
        host::com::adopt_bstr(info.bstrDescription);
        host::com::adopt_bstr(info.bstrHelpFile);
    }
    return first;
}

HRESULT FakeConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT FakeConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = &owner_;
    owner_.AddRef();
    return S_OK;
}

HRESULT FakeConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    // The host asks the sink for the event interface, as the real source does.
    com_ptr<IDispatch> events;
    if (FAILED(sink->QueryInterface(iid_, events.put_void()))) {
        sinks_answered_ = false;
        if (FAILED(sink->QueryInterface(IID_IDispatch, events.put_void()))) return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = next_cookie_++;
    sinks_.emplace(*cookie, std::move(events));
    return S_OK;
}

HRESULT FakeConnectionPoint::Unadvise(DWORD cookie) {
    auto it = sinks_.find(cookie);
    if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
    com_ptr<IDispatch> gone = std::move(it->second);  // released after the entry is gone
    sinks_.erase(it);
    return S_OK;
}

HRESULT FakeConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

// Objects -----------------------------------------------------------------------------------

com_ptr<FakeObject> FakeObject::make(std::wstring type) {
    ++alive;
    return host::com::adopt(new FakeObject(std::move(type)));
}

FakeObject::~FakeObject() { --alive; }

std::wstring FakeObject::key(const IID& iid) {
    wchar_t buf[40];
    StringFromGUID2(iid, buf, 40);
    return buf;
}

void FakeObject::add_member(const std::wstring& name, DISPID id, Handler handler) {
    members_[id] = Member{name, std::move(handler)};
}

FakeConnectionPoint& FakeObject::add_events(const IID& iid) {
    auto& p = points_[key(iid)];
    p = std::make_unique<FakeConnectionPoint>(*this, iid);
    return *p;
}

int FakeObject::ids_asked(const std::wstring& name) const {
    for (auto& [id, m] : members_)
        if (m.name == name) return m.ids_asked;
    return 0;
}

int FakeObject::invoked(const std::wstring& name) const {
    for (auto& [id, m] : members_)
        if (m.name == name) return m.invoked;
    return 0;
}

// A container only while the object has events.
void* FakeObject::find_interface(REFIID riid) noexcept {
    if (riid == IID_IConnectionPointContainer && points_.empty()) return nullptr;
    return ComObject::find_interface(riid);
}

HRESULT FakeObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = type_info_ ? 1 : 0;
    return S_OK;
}

HRESULT FakeObject::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0 || !type_info_) return DISP_E_BADINDEX;
    return type_info_.copy_to(out);
}

HRESULT FakeObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (auto& [id, m] : members_) {
        if (same_name(m.name, names[0])) {
            ++m.ids_asked;
            ids[0] = id;
            return S_OK;
        }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT FakeObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* excep, UINT*) {
    auto it = members_.find(id);
    if (it == members_.end() || !params) return DISP_E_MEMBERNOTFOUND;
    ++it->second.invoked;
    Handler handler = it->second.handler;  // the member may change the table
    return handler(flags, *params, result, excep);
}

HRESULT FakeObject::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT FakeObject::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto it = points_.find(key(riid));
    if (it == points_.end()) return CONNECT_E_NOCONNECTION;
    *out = it->second.get();
    AddRef();
    return S_OK;
}

// Enumerators ------------------------------------------------------------------------------

namespace {

class FakeEnum final : public host::com::ComObject<IEnumVARIANT> {
public:
    explicit FakeEnum(std::vector<VARIANT> values) {
        for (auto& v : values) {
            values_.emplace_back();
            VariantCopy(values_.back().get(), &v);
        }
        ++alive;
    }
    ~FakeEnum() { --alive; }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        ULONG n = 0;
        for (; n < count && next_ < values_.size(); ++n, ++next_) {
            VariantInit(&out[n]);
            VariantCopy(&out[n], values_[next_].get());
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        next_ = std::min(values_.size(), next_ + static_cast<size_t>(count));
        return next_ < values_.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

private:
    std::vector<host::com::ComVariant> values_;
    size_t next_ = 0;
};

}  // namespace

com_ptr<IEnumVARIANT> make_enumerator(std::vector<VARIANT> values) {
    return host::com::adopt<IEnumVARIANT>(new FakeEnum(std::move(values)));
}

// Factory and values -----------------------------------------------------------------------

HRESULT FakeFactory::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT FakeFactory::CreateInstance(IUnknown* outer, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return object_->QueryInterface(riid, out);
}

VARIANT dispatch_value(IDispatch* d) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = d;
    return v;
}

HRESULT raise_exception(EXCEPINFO* excep, HRESULT scode, const wchar_t* description, const wchar_t* source) {
    if (excep) {
        *excep = EXCEPINFO{};
        excep->scode = scode;
        excep->bstrDescription = SysAllocString(description);
        excep->bstrSource = SysAllocString(source);
    }
    return DISP_E_EXCEPTION;
}

}  // namespace wintest
