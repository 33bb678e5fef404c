#pragma once
// The COM class Connect: the add-in object the host creates. It answers the host's add-in
// interface IDTExtensibility2, the host's ribbon interface IRibbonExtensibility and its own
// dual interface _Connect (which carries the ribbon's callbacks), and hands every call to
// the plain addin::Connect it owns. Failures come back as HRESULTs with error info.
#include <windows.h>
#include <oaidl.h>

#include <memory>

#include "addin/com/dual.h"
#include "addin/com/module.h"
#include "addin/connect.h"
#include "host/com/com_object.h"
#include "host/com/live_objects.h"
#include "quillamor_h.h"

namespace addin::com {

class ConnectObject final
    : public host::com::ComObject<Dual<_Connect>, Dual<IDTExtensibility2>, Dual<IRibbonExtensibility>,
                                  ISupportErrorInfo> {
public:
    ConnectObject();
    ~ConnectObject();

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

    // _Connect
    HRESULT STDMETHODCALLTYPE get_loaded(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_loaded(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_myBut1(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE putref_myBut1(IDispatch* value) override;
    HRESULT STDMETHODCALLTYPE get_myBut2(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE putref_myBut2(IDispatch* value) override;
    HRESULT STDMETHODCALLTYPE get_myBut3(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE putref_myBut3(IDispatch* value) override;
    HRESULT STDMETHODCALLTYPE ContactsList1() override;
    HRESULT STDMETHODCALLTYPE QuickStart(LONG* result) override;
    HRESULT STDMETHODCALLTYPE IDTExtensibility2_OnBeginShutdown(SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE IDTExtensibility2_OnDisconnection(ext_DisconnectMode mode,
                                                                SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE Ribbon_Load(IDispatch* ribbon) override;
    HRESULT STDMETHODCALLTYPE Ribbon_GetImage(IDispatch* control, IDispatch** image) override;
    HRESULT STDMETHODCALLTYPE Ribbon_Click(IDispatch* control) override;
    HRESULT STDMETHODCALLTYPE Ribbon_GetEnabled(IDispatch* control, VARIANT_BOOL* enabled) override;

    // IRibbonExtensibility
    HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbon_id, BSTR* xml) override;

    // IDTExtensibility2
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ext_ConnectMode mode,
                                           IDispatch* addin_inst, SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode mode, SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) override;

private:
    void* find_interface(REFIID riid) noexcept override;
    template <class F>
    HRESULT own(F&& body) noexcept;
    template <class F>
    HRESULT host_call(F&& body) noexcept;
    HRESULT get_button(const host::Object& (addin::Connect::*member)() const, IDispatch** out) noexcept;
    HRESULT set_button(void (addin::Connect::*member)(host::Object), IDispatch* value) noexcept;

    host::com::LiveObject live_;
    std::shared_ptr<Shared> shared_;
    std::unique_ptr<addin::Connect> connect_;
};

}  // namespace addin::com
