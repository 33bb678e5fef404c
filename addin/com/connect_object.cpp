#include "addin/com/connect_object.h"

#include "host/com/bstr.h"
#include "host/com/com_dispatch.h"

namespace addin::com {

using host::com::com_edge;
using host::com::interface_of;
using host::com::wrap;

ConnectObject::ConnectObject()
    : shared_(acquire_shared()), connect_(std::make_unique<addin::Connect>(shared_->state)) {}

// The add-in object goes before the shared state it uses; the last one out drops that state.
ConnectObject::~ConnectObject() { connect_.reset(); }

// Both dual interfaces derive from IDispatch: a plain IDispatch is the class's own interface.
void* ConnectObject::find_interface(REFIID riid) noexcept {
    return riid == IID_IDispatch ? static_cast<_Connect*>(this) : ComObject::find_interface(riid);
}

HRESULT ConnectObject::InterfaceSupportsErrorInfo(REFIID riid) {
    return riid == IID__Connect || riid == IID_IDTExtensibility2 || riid == IID_IRibbonExtensibility ? S_OK : S_FALSE;
}

// A member of the class's own interface.
template <class F>
HRESULT ConnectObject::own(F&& body) noexcept {
    return com_edge(IID__Connect, std::forward<F>(body));
}

// A member of the host's add-in interface.
template <class F>
HRESULT ConnectObject::host_call(F&& body) noexcept {
    return com_edge(IID_IDTExtensibility2, std::forward<F>(body));
}

HRESULT ConnectObject::get_loaded(VARIANT_BOOL* value) {
    if (!value) return E_POINTER;
    *value = connect_->loaded();
    return S_OK;
}

HRESULT ConnectObject::put_loaded(VARIANT_BOOL value) {
    connect_->set_loaded(value);
    return S_OK;
}

HRESULT ConnectObject::get_button(const host::Object& (addin::Connect::*member)() const, IDispatch** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    return own([&] { return interface_of((connect_.get()->*member)()).copy_to(out); });
}

HRESULT ConnectObject::set_button(void (addin::Connect::*member)(host::Object), IDispatch* value) noexcept {
    return own([&] { (connect_.get()->*member)(wrap(value)); });
}

HRESULT ConnectObject::get_myBut1(IDispatch** v) { return get_button(&addin::Connect::myBut1, v); }
HRESULT ConnectObject::get_myBut2(IDispatch** v) { return get_button(&addin::Connect::myBut2, v); }
HRESULT ConnectObject::get_myBut3(IDispatch** v) { return get_button(&addin::Connect::myBut3, v); }
HRESULT ConnectObject::putref_myBut1(IDispatch* v) { return set_button(&addin::Connect::set_myBut1, v); }
HRESULT ConnectObject::putref_myBut2(IDispatch* v) { return set_button(&addin::Connect::set_myBut2, v); }
HRESULT ConnectObject::putref_myBut3(IDispatch* v) { return set_button(&addin::Connect::set_myBut3, v); }

HRESULT ConnectObject::ContactsList1() {
    return own([&] { connect_->ContactsList1(); });
}

HRESULT ConnectObject::QuickStart(LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    return own([&] { *result = connect_->QuickStart(); });
}

HRESULT ConnectObject::IDTExtensibility2_OnBeginShutdown(SAFEARRAY**) {
    return own([&] { connect_->OnBeginShutdown(); });
}

HRESULT ConnectObject::IDTExtensibility2_OnDisconnection(ext_DisconnectMode mode, SAFEARRAY**) {
    return own([&] { connect_->OnDisconnection(mode); });
}

HRESULT ConnectObject::Ribbon_Load(IDispatch* ribbon) {
    return own([&] { connect_->Ribbon_Load(wrap(ribbon)); });
}

HRESULT ConnectObject::Ribbon_GetImage(IDispatch* control, IDispatch** image) {
    if (!image) return E_POINTER;
    *image = nullptr;
    return own([&] { return interface_of(connect_->Ribbon_GetImage(wrap(control))).copy_to(image); });
}

HRESULT ConnectObject::Ribbon_Click(IDispatch* control) {
    return own([&] { connect_->Ribbon_Click(wrap(control)); });
}

HRESULT ConnectObject::Ribbon_GetEnabled(IDispatch* control, VARIANT_BOOL* enabled) {
    if (!enabled) return E_POINTER;
    *enabled = VARIANT_FALSE;
    return own([&] { *enabled = connect_->Ribbon_GetEnabled(wrap(control)) ? VARIANT_TRUE : VARIANT_FALSE; });
}

HRESULT ConnectObject::GetCustomUI(BSTR ribbon_id, BSTR* xml) {
    if (!xml) return E_POINTER;
    *xml = nullptr;
    return com_edge(IID_IRibbonExtensibility, [&] {
        const std::u16string id =
            ribbon_id ? host::com::from_wide(ribbon_id, SysStringLen(ribbon_id)) : std::u16string();
        *xml = host::com::Bstr(connect_->GetCustomUI(id)).detach();
    });
}

HRESULT ConnectObject::OnConnection(IDispatch* application, ext_ConnectMode mode, IDispatch* addin_inst,
                                    SAFEARRAY**) {
    return host_call([&] { connect_->OnConnection(wrap(application), mode, wrap(addin_inst)); });
}

HRESULT ConnectObject::OnDisconnection(ext_DisconnectMode mode, SAFEARRAY**) {
    return host_call([&] { connect_->OnDisconnection(mode); });
}

HRESULT ConnectObject::OnAddInsUpdate(SAFEARRAY**) {
    return host_call([&] { connect_->OnAddInsUpdate(); });
}

HRESULT ConnectObject::OnStartupComplete(SAFEARRAY**) {
    return host_call([&] { connect_->OnStartupComplete(); });
}

HRESULT ConnectObject::OnBeginShutdown(SAFEARRAY**) {
    return host_call([&] { connect_->OnBeginShutdown(); });
}

}  // namespace addin::com
