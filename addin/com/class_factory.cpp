#include "addin/com/class_factory.h"

#include "addin/com/connect_object.h"
#include "host/com/com_edge.h"
#include "host/com/live_objects.h"

namespace addin::com {

HRESULT ClassFactory::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return host::com::com_edge(IID_IClassFactory, [&] {
        auto object = host::com::adopt(new ConnectObject());
        return object->QueryInterface(riid, out);
    });
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    if (lock)
        host::com::object_created();
    else
        host::com::object_destroyed();
    return S_OK;
}

ClassFactory& connect_factory() {
    static ClassFactory factory;
    return factory;
}

}  // namespace addin::com
