#pragma once
// Dual<I>: the IDispatch half of one of the add-in's dual interfaces, answered from the
// add-in's type library. A class with two dual interfaces derives from Dual<> of each, so
// that each interface's IDispatch describes that interface.
#include <windows.h>
#include <oaidl.h>

#include "addin/com/module.h"
#include "host/com/com_edge.h"

namespace addin::com {

template <class I>
class Dual : public I {
public:
    using Interface = I;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return host::com::com_edge(__uuidof(I), [&] { return type_info(__uuidof(I)).copy_to(out); });
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return host::com::com_edge(__uuidof(I), [&] {
            return DispGetIDsOfNames(type_info(__uuidof(I)).get(), names, count, ids);
        });
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* bad_arg) override {
        if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        return host::com::com_edge(__uuidof(I), [&] {
            return DispInvoke(static_cast<I*>(this), type_info(__uuidof(I)).get(), id, flags, params,
                              result, excep, bad_arg);
        });
    }
};

}  // namespace addin::com
