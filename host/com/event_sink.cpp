#include "host/com/event_sink.h"

#include <ocidl.h>

#include <vector>

#include "host/com/com_edge.h"
#include "host/com/com_object.h"
#include "host/com/convert.h"
#include "host/com/live_objects.h"
#include "host/text.h"
#include "host/variant.h"

namespace host::com {

namespace {

// Writes a value the handler changed back into a by-reference argument; arguments passed by
// value are the caller's copies and stay as they are.
void write_back(VARIANT& target, const Variant& value) {
    switch (V_VT(&target)) {
    case VT_BYREF | VT_BOOL: *V_BOOLREF(&target) = value.as_bool() ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_BYREF | VT_I2: *V_I2REF(&target) = value.as_int16(); break;
    case VT_BYREF | VT_I4: *V_I4REF(&target) = value.as_int32(); break;
    case VT_BYREF | VT_VARIANT: {
        ComVariant v = to_com(value);
        check(VariantCopy(V_VARIANTREF(&target), v.get()));
        break;
    }
    default: break;
    }
}

// The sink: a plain IDispatch that answers the event interface and hands the one event
// it is for to the handler, arguments in their declared order.
class EventSink final : public ComObject<IDispatch> {
public:
    EventSink(const IID& iid, DISPID dispid, EventHandler handler)
        : iid_(iid), dispid_(dispid), handler_(std::move(handler)) {}

    // Called when the subscription is dropped: events that still arrive are ignored.
    void disconnect() noexcept { handler_ = nullptr; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params,
                                     VARIANT*, EXCEPINFO* excep, UINT*) override {
        if (dispid != dispid_ || !handler_) return S_OK;
        com_ptr<EventSink> keep(this);  // the handler may drop the subscription
        return invoke_edge(excep, [&] {
            UINT n = params ? params->cArgs : 0;
            std::vector<Variant> args;
            args.reserve(n);
            for (UINT i = n; i-- > 0;) args.push_back(to_host(params->rgvarg[i]));
            std::vector<Variant> before = args;
            EventHandler handler = handler_;
            handler(args);
            for (UINT k = 0; k < n && k < args.size(); ++k)
                if (!(args[k] == before[k])) write_back(params->rgvarg[n - 1 - k], args[k]);
        });
    }

private:
    void* find_interface(REFIID riid) noexcept override {
        return riid == iid_ ? static_cast<IDispatch*>(this) : ComObject::find_interface(riid);
    }

    LiveObject live_;
    IID iid_;
    DISPID dispid_;
    EventHandler handler_;
};

}  // namespace

const EventInterface* find_event(std::u16string_view name) {
    for (const auto& e : event_interfaces)
        if (equal_ignoring_case(e.event, name)) return &e;
    return nullptr;
}

Subscription connect_event(const com_ptr<IDispatch>& source, const EventInterface& event,
                           EventHandler handler) {
    auto container = source.try_query<IConnectionPointContainer>();
    com_ptr<IConnectionPoint> point;
    if (!container || FAILED(container->FindConnectionPoint(event.iid, point.put())))
        raise(459, u"Object or class does not support the set of events");
    auto sink = adopt(new EventSink(event.iid, event.dispid, std::move(handler)));
    DWORD cookie = 0;
    check(point->Advise(sink.get(), &cookie));
    // The subscription keeps the source referenced: a source that is released stops firing.
    return Subscription([source, point, sink, cookie] {
        sink->disconnect();
        point->Unadvise(cookie);
    });
}

}  // namespace host::com
