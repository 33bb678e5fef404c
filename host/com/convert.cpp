#include "host/com/convert.h"

#include <utility>

#include "host/com/bstr.h"
#include "host/com/com_dispatch.h"
#include "host/com/hresult.h"

namespace host::com {

namespace {

template <class Int>
Variant integer(Int i) {
    if constexpr (sizeof(Int) == 1) {
        return Variant(static_cast<int16_t>(i));
    } else {
        if (std::in_range<int32_t>(i)) return Variant(static_cast<int32_t>(i));
        return Variant(static_cast<double>(i));
    }
}

Variant object(IUnknown* unknown) {
    if (!unknown) return Variant(Object());
    auto dispatch = com_ptr<IUnknown>(unknown).try_query<IDispatch>();
    if (!dispatch) raise(errors::type_mismatch);
    return Variant(wrap(dispatch.get()));
}

}  // namespace

Variant to_host(const VARIANT& v) {
    if (V_VT(&v) & VT_BYREF) {
        ComVariant direct;
        check(VariantCopyInd(direct.put(), const_cast<VARIANT*>(&v)));
        return to_host(*direct.get());
    }
    switch (V_VT(&v)) {
    case VT_EMPTY:
    case VT_NULL: return Variant();
    case VT_BOOL: return Variant::boolean(V_BOOL(&v) != VARIANT_FALSE);
    case VT_I2: return Variant(static_cast<int16_t>(V_I2(&v)));
    case VT_I4: return Variant(static_cast<int32_t>(V_I4(&v)));
    case VT_R4: return Variant(V_R4(&v));
    case VT_R8: return Variant(V_R8(&v));
    case VT_BSTR: return Variant(from_wide(V_BSTR(&v), V_BSTR(&v) ? SysStringLen(V_BSTR(&v)) : 0));
    case VT_DISPATCH: return object(V_DISPATCH(&v));
    case VT_UNKNOWN: return object(V_UNKNOWN(&v));
    case VT_ERROR:
        if (V_ERROR(&v) == DISP_E_PARAMNOTFOUND) return Variant(Missing{});
        return Variant(static_cast<int32_t>(V_ERROR(&v)));
    case VT_I1: return integer(V_I1(&v));
    case VT_UI1: return integer(V_UI1(&v));
    case VT_UI2: return integer(V_UI2(&v));
    case VT_UI4: return integer(V_UI4(&v));
    case VT_INT: return integer(V_INT(&v));
    case VT_UINT: return integer(V_UINT(&v));
    case VT_I8: return integer(V_I8(&v));
    case VT_UI8: return integer(V_UI8(&v));
    case VT_CY:
    case VT_DATE:
    case VT_DECIMAL: {
        ComVariant d;
        check(VariantChangeType(d.get(), const_cast<VARIANT*>(&v), 0, VT_R8));
        return Variant(V_R8(d.get()));
    }
    default: raise(errors::type_mismatch);
    }
}

ComVariant to_com(const Variant& v) {
    ComVariant out;
    VARIANT* p = out.get();
    switch (v.type()) {
    case Variant::Type::Empty: break;
    case Variant::Type::Bool:
        V_VT(p) = VT_BOOL;
        V_BOOL(p) = v.as_bool() ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case Variant::Type::I2:
        V_VT(p) = VT_I2;
        V_I2(p) = v.as_int16();
        break;
    case Variant::Type::I4:
        V_VT(p) = VT_I4;
        V_I4(p) = v.as_int32();
        break;
    case Variant::Type::Single:
        V_VT(p) = VT_R4;
        V_R4(p) = v.as_single();
        break;
    case Variant::Type::Double:
        V_VT(p) = VT_R8;
        V_R8(p) = v.as_double();
        break;
    case Variant::Type::Text:
        V_BSTR(p) = Bstr(v.as_text()).detach();
        V_VT(p) = VT_BSTR;
        break;
    case Variant::Type::Object:
        V_DISPATCH(p) = interface_of(v.as_object()).detach();
        V_VT(p) = VT_DISPATCH;
        break;
    case Variant::Type::Missing:
        V_VT(p) = VT_ERROR;
        V_ERROR(p) = DISP_E_PARAMNOTFOUND;
        break;
    }
    return out;
}

}  // namespace host::com
