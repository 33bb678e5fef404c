#include "tools/outlook-sim/adapter.h"

#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <memory>
#include <vector>

#include "host/com/bstr.h"
#include "host/com/com_dispatch.h"
#include "host/com/com_edge.h"
#include "host/com/com_object.h"
#include "host/com/convert.h"
#include "host/com/event_sink.h"
#include "host/com/hresult.h"
#include "host/text.h"
#include "sim/model/sim_object.h"

namespace outlook_sim {

using host::com::Bstr;
using host::com::com_ptr;
using host::com::ComVariant;

namespace {

// Asked of an IDispatch to learn whether it is one of ours (and which).
constexpr IID iid_adapter = {0x51a0d15b, 0x3c2e, 0x4f6a, {0x9d, 0x41, 0x7e, 0x0b, 0x5c, 0x22, 0x8a, 0x13}};

std::atomic<long> live{0};
std::function<void()> host_call_hook;
std::function<void(const std::string&)> scenario_error_hook;

// ---------------------------------------------------------------- types

// One type of host object: its type information (a name and an interface id of its own, so
// that a client caches member ids per type, as it does for the real host's objects) and the
// member ids handed out so far, the same for every object of the type.
struct TypeTable {
    std::u16string name;
    com_ptr<ITypeInfo> info;
    std::map<std::u16string, DISPID> ids;  // by lower-case name
    std::vector<std::u16string> names;     // by id - 1, as first asked
    std::vector<bool> methods;             // by id - 1: the member is a method
};

com_ptr<ICreateTypeLib2>& type_library() {
    static com_ptr<ICreateTypeLib2> lib;
    if (!lib) {
        // Never saved: the library only gives the types their descriptions in memory.
        host::com::check(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, L"outlook-sim.tlb", lib.put()));
    }
    return lib;
}

TypeTable& type_table(const std::u16string& type) {
    static std::map<std::u16string, TypeTable> tables;
    auto it = tables.find(type);
    if (it != tables.end()) return it->second;
    TypeTable t;
    t.name = type;
    com_ptr<ICreateTypeInfo> create;
    std::wstring name = host::com::to_wide(type);
    host::com::check(type_library()->CreateTypeInfo(name.data(), TKIND_DISPATCH, create.put()));
    GUID guid = {0x51a0e000u + static_cast<unsigned long>(tables.size()), 0x5e7a, 0x4b1c,
                 {0x8f, 0x2d, 0x0a, 0x6e, 0x31, 0x94, 0xc7, 0x5b}};
    host::com::check(create->SetGuid(guid));
    t.info = create.query<ITypeInfo>();
    return tables.emplace(type, std::move(t)).first->second;
}

// ---------------------------------------------------------------- events

// The events are those the add-in subscribes to, named as the SimObject fires them.
using EventKind = host::com::EventInterface;
constexpr const auto& event_kinds = host::com::event_interfaces;

// Fires one event at one sink, arguments right to left as IDispatch::Invoke takes them. A
// handler's failure comes back out as a Failure, as the substitute host's own events do.
void fire(IDispatch* sink, const EventKind& kind, std::vector<host::Variant>& args) {
    const size_t n = args.size();
    std::vector<ComVariant> values(n);
    std::vector<VARIANT_BOOL> bools(n, VARIANT_FALSE);
    for (size_t k = 0; k < n; ++k) {
        ComVariant& slot = values[n - 1 - k];
        if (kind.bools_by_reference && args[k].type() == host::Variant::Type::Bool) {
            bools[k] = args[k].as_bool() ? VARIANT_TRUE : VARIANT_FALSE;
            V_VT(slot.get()) = VT_BYREF | VT_BOOL;
            V_BOOLREF(slot.get()) = &bools[k];
        } else {
            slot = com_value(args[k]);
        }
    }
    DISPPARAMS params{reinterpret_cast<VARIANT*>(values.data()), nullptr, static_cast<UINT>(n), 0};
    EXCEPINFO info{};
    HRESULT hr = sink->Invoke(kind.dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &info,
                              nullptr);
    if (hr == DISP_E_EXCEPTION) throw host::com::failure_from_excepinfo(info);
    host::com::check(hr);
    for (size_t k = 0; k < n; ++k)
        if (V_VT(values[n - 1 - k].get()) == (VT_BYREF | VT_BOOL)) args[k] = host::Variant::boolean(bools[k] != 0);
}

class Adapter;

// One event interface of one adapter. It lives inside the adapter and shares its reference
// count, so that a sink's hold on the point keeps the source alive and nothing forms a cycle.
class EventPoint final : public host::com::ComPart<Adapter, IConnectionPoint> {
public:
    EventPoint(Adapter& owner, const EventKind& kind) : ComPart(owner), kind_(kind) {}

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = kind_.iid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

    const EventKind& kind() const { return kind_; }

private:
    const EventKind& kind_;
    // The subscriptions on the object's events, by cookie; dropping them disconnects the sink.
    std::map<DWORD, std::vector<host::Subscription>> sinks_;
    DWORD next_cookie_ = 1;
};

// ---------------------------------------------------------------- the adapter

class Adapter final : public host::com::ComObject<IDispatch, IConnectionPointContainer> {
public:
    explicit Adapter(host::Object object)
        : object_(std::move(object)), sim_(sim::sim_object(object_)), table_(type_table(sim_->type_name())) {
        ++live;
    }
    ~Adapter() { --live; }

    const host::Object& object() const { return object_; }
    sim::SimObject& sim() const { return *sim_; }
    bool sources(std::u16string_view event) const {
        for (const auto& name : sim_->event_names())
            if (host::equal_ignoring_case(name, event)) return true;
        return false;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return table_.info.copy_to(out);
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids) return E_POINTER;
        if (count == 0) return E_INVALIDARG;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        std::u16string name = host::com::from_wide(names[0]);
        std::u16string key = host::folded(name);
        ++call_counts().ids[{table_.name, key}];
        HRESULT hr = S_OK;
        if (key == u"_newenum" && sim_->enumerable()) {
            ids[0] = DISPID_NEWENUM;
        } else if (auto id = member_id(name, key)) {
            ids[0] = *id;
        } else {
            hr = DISP_E_UNKNOWNNAME;
        }
        // Names of arguments: the host's objects take none by name.
        return count > 1 ? DISP_E_UNKNOWNNAME : hr;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT*) override {
        if (host_call_hook) host_call_hook();
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        if (!params) params = &none;
        if (id == DISPID_NEWENUM) return enumerate(result, excep);
        if (id < 1 || static_cast<size_t>(id) > table_.names.size()) return DISP_E_MEMBERNOTFOUND;
        // A copy: a handler the call fires may name new members of this type meanwhile.
        const std::u16string member = table_.names[static_cast<size_t>(id) - 1];
        ++call_counts().invokes[{table_.name, host::folded(member)}];

        host::Invoke kind;
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            // The value goes as the named argument DISPID_PROPERTYPUT, as automation requires.
            if (params->cNamedArgs != 1 || !params->rgdispidNamedArgs ||
                params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || params->cArgs < 1)
                return DISP_E_PARAMNOTFOUND;
            kind = host::Invoke::Put;
        } else {
            if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
            // Late binding asks for a property read and a method call alike (both flags):
            // the member's own kind decides then.
            const bool method = table_.methods[static_cast<size_t>(id) - 1];
            if ((flags & DISPATCH_METHOD) && (flags & DISPATCH_PROPERTYGET))
                kind = method ? host::Invoke::Call : host::Invoke::Get;
            else
                kind = (flags & DISPATCH_METHOD) ? host::Invoke::Call : host::Invoke::Get;
        }
        if (result) VariantInit(result);
        return host::com::invoke_edge(excep, [&] {
            // Right to left in the array; the put value (named, so first) ends up last.
            std::vector<host::Variant> args;
            args.reserve(params->cArgs);
            for (UINT i = params->cArgs; i-- > 0;) args.push_back(host_value(params->rgvarg[i]));
            host::Variant value = run([&] { return sim_->invoke(kind, member, args); });
            if (result) *result = com_value(value).detach();
        });
    }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        for (auto& point : points_)
            if (point->kind().iid == riid) {
                *out = point.get();
                AddRef();
                return S_OK;
            }
        for (const auto& kind : event_kinds)
            if (kind.iid == riid && sources(kind.event)) {
                points_.push_back(std::make_unique<EventPoint>(*this, kind));
                *out = points_.back().get();
                AddRef();
                return S_OK;
            }
        return CONNECT_E_NOCONNECTION;
    }

    // Runs a host call; a scenario that cannot go on is reported, and the add-in gets a
    // failure for the call.
    template <class F>
    static auto run(F&& body) -> decltype(body()) {
        try {
            return body();
        } catch (const sim::ScenarioError& e) {
            if (scenario_error_hook) scenario_error_hook(e.what());
            throw host::Failure(static_cast<int32_t>(E_ABORT), u"The scenario cannot be played: " + host::from_utf8(e.what()));
        }
    }

private:
    // Asked for the adapters' own id, an adapter answers as itself.
    void* find_interface(REFIID riid) noexcept override {
        return riid == iid_adapter ? static_cast<IDispatch*>(this) : ComObject::find_interface(riid);
    }

    std::optional<DISPID> member_id(const std::u16string& name, const std::u16string& key) {
        if (auto it = table_.ids.find(key); it != table_.ids.end()) return it->second;
        for (const auto& m : sim_->members())
            if (host::equal_ignoring_case(m.name, name)) {
                table_.names.push_back(m.name);
                table_.methods.push_back(m.call);
                auto id = static_cast<DISPID>(table_.names.size());
                table_.ids.emplace(key, id);
                return id;
            }
        return std::nullopt;
    }

    HRESULT enumerate(VARIANT* result, EXCEPINFO* excep);

    host::Object object_;
    sim::SimObject* sim_;
    TypeTable& table_;
    std::vector<std::unique_ptr<EventPoint>> points_;
};

HRESULT EventPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = &owner_;
    owner_.AddRef();
    return S_OK;
}

HRESULT EventPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    // The sink answers the event interface (or plain IDispatch) and takes its events by id.
    com_ptr<IDispatch> target;
    if (FAILED(sink->QueryInterface(kind_.iid, target.put_void())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, target.put_void())))
        return CONNECT_E_CANNOTCONNECT;
    // A sink of the interface takes every event of it that the object sources, each by its id.
    return host::com::com_edge(IID_IConnectionPoint, [&] {
        std::vector<host::Subscription> links;
        for (const auto& kind : event_kinds)
            if (kind.iid == kind_.iid && owner_.sources(kind.event))
                links.push_back(owner_.sim().subscribe(
                    kind.event, [target, &kind](std::vector<host::Variant>& args) { fire(target.get(), kind, args); }));
        DWORD c = next_cookie_++;
        sinks_.emplace(c, std::move(links));
        *cookie = c;
    });
}

// ---------------------------------------------------------------- enumeration

class Enumeration final : public host::com::ComObject<IEnumVARIANT> {
public:
    explicit Enumeration(std::unique_ptr<host::Enumerator> e) : e_(std::move(e)) { ++live; }
    ~Enumeration() { --live; }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (!out) return E_POINTER;
        ULONG got = 0;
        HRESULT hr = S_OK;
        try {
            for (; got < count; ++got) {
                std::optional<host::Variant> v = Adapter::run([&] { return e_->next(); });
                if (!v) break;
                out[got] = com_value(*v).detach();
            }
        } catch (...) {
            hr = host::com::hresult_of(host::com::current_failure());
        }
        if (fetched) *fetched = got;
        if (FAILED(hr)) {
            for (ULONG i = 0; i < got; ++i) VariantClear(&out[i]);
            if (fetched) *fetched = 0;
            return hr;
        }
        return got == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        for (ULONG i = 0; i < count; ++i)
            if (!e_->next()) return S_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

private:
    std::unique_ptr<host::Enumerator> e_;
};

HRESULT Adapter::enumerate(VARIANT* result, EXCEPINFO* excep) {
    ++call_counts().invokes[{table_.name, u"_newenum"}];
    if (result) VariantInit(result);
    return host::com::invoke_edge(excep, [&] {
        auto e = run([&] { return sim_->enumerate(); });
        com_ptr<IEnumVARIANT> list = host::com::adopt<IEnumVARIANT>(new Enumeration(std::move(e)));
        if (result) {
            V_VT(result) = VT_UNKNOWN;
            V_UNKNOWN(result) = list.detach();
        }
    });
}

// The adapter behind an interface pointer, or null for anything else.
com_ptr<Adapter> adapter_of(IUnknown* unknown) {
    com_ptr<Adapter> out;
    if (unknown) {
        IDispatch* d = nullptr;
        if (SUCCEEDED(unknown->QueryInterface(iid_adapter, reinterpret_cast<void**>(&d))))
            out.attach(static_cast<Adapter*>(d));
    }
    return out;
}

}  // namespace

CallCounts& call_counts() {
    static CallCounts counts;
    return counts;
}

long live_adapters() { return live.load(); }

void on_host_call(std::function<void()> hook) { host_call_hook = std::move(hook); }
void on_scenario_error(std::function<void(const std::string&)> hook) { scenario_error_hook = std::move(hook); }

com_ptr<IDispatch> dispatch_of(const host::Object& object) {
    if (!object) return nullptr;
    if (sim::sim_object(object)) return host::com::adopt<IDispatch>(new Adapter(object));
    return host::com::interface_of(object);
}

host::Variant host_value(const VARIANT& v) {
    if (V_VT(&v) & VT_BYREF) {
        ComVariant direct;
        host::com::check(VariantCopyInd(direct.put(), const_cast<VARIANT*>(&v)));
        return host_value(*direct.get());
    }
    if (V_VT(&v) == VT_DISPATCH || V_VT(&v) == VT_UNKNOWN)
        if (auto a = adapter_of(V_UNKNOWN(&v))) return host::Variant(a->object());
    return host::com::to_host(v);
}

ComVariant com_value(const host::Variant& v) {
    if (v.type() != host::Variant::Type::Object) return host::com::to_com(v);
    ComVariant out;
    V_DISPATCH(out.get()) = dispatch_of(v.as_object()).detach();
    V_VT(out.get()) = VT_DISPATCH;
    return out;
}

}  // namespace outlook_sim
