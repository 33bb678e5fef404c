// The add-in end to end through COM: created through the registry as the host creates it,
// connected to a stand-in host whose Application has no explorer window yet, started by the
// NewExplorer event, clicked, asked through IDispatch, failing with error info, and released
// with nothing of the host left referenced.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "host/com/bstr.h"
#include "host/com/com_dispatch.h"
#include "host/com/com_ptr.h"
#include "host/com/com_variant.h"
#include "host/com/safe_array.h"
#include "host/com/unique_handle.h"
#include "host/dispatch.h"
#include "quillamor_h.h"
#include "tests/windows/addin_ids.h"
#include "tests/windows/fake_host.h"
#include "tests/windows/lib_orvane/fake_lib_orvane.h"
#include "tests/windows/printers.h"

using host::com::Bstr;
using host::com::com_ptr;
using host::com::ComVariant;

namespace wintest {

namespace {

// Message boxes the add-in shows, answered OK as a person would.
struct Box {
    std::wstring caption, text;
    bool yes_no;
};
std::vector<Box> boxes;

// The box is read once its modal loop runs: at activation its texts may not be set yet.
void CALLBACK answer_box(HWND box, UINT, UINT_PTR timer, DWORD) {
    KillTimer(box, timer);
    wchar_t caption[256] = {}, text[1024] = {};
    GetWindowTextW(box, caption, 256);
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    auto shown = [&](int id) {
        HWND b = GetDlgItem(box, id);
        return b && IsWindowVisible(b);
    };
    boxes.push_back({caption, text, shown(IDYES) || shown(IDNO)});
    PostMessageW(GetDlgItem(box, shown(IDOK) ? IDOK : IDNO), BM_CLICK, 0, 0);
}

LRESULT CALLBACK watch_boxes(int code, WPARAM w, LPARAM l) {
    HWND box = reinterpret_cast<HWND>(w);
    wchar_t cls[32] = {};
    if (code == HCBT_ACTIVATE && box && GetClassNameW(box, cls, 32) && std::wstring(cls) == L"#32770")
        SetTimer(box, 1, 0, answer_box);
    return CallNextHookEx(nullptr, code, w, l);
}

constexpr HRESULT no_explorer = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x205);

struct Host {
    com_ptr<FakeObject> app = FakeObject::make(L"_Application");
    com_ptr<FakeObject> explorers = FakeObject::make(L"_Explorers");
    com_ptr<FakeObject> explorer = FakeObject::make(L"_Explorer");
    com_ptr<FakeObject> button = FakeObject::make(L"_CommandBarButton");
    com_ptr<FakeObject> addin_inst = FakeObject::make(L"COMAddIn");
    bool explorer_fails = false;

    Host() {
        app->add_member(L"ActiveExplorer", 10, [this](WORD, DISPPARAMS&, VARIANT* r, EXCEPINFO* e) {
            if (explorer_fails)
                return raise_exception(e, no_explorer, L"The explorer is not available", L"FakeOutlook");
            if (r) *r = dispatch_value(nullptr);  // Nothing: no explorer window yet
            return S_OK;
        });
        app->add_member(L"Explorers", 11, [this](WORD, DISPPARAMS&, VARIANT* r, EXCEPINFO*) {
            if (r) {
                explorers->AddRef();
                *r = dispatch_value(explorers.get());
            }
            return S_OK;
        });
        explorers->add_events(iid_explorers_events);
        button->add_events(iid_button_events);
    }
};

FakeLibOrvaneState* service_library() {
    static host::com::unique_hmodule lib(LoadLibraryW(L"LibOrvane.dll"));
    auto state = lib ? reinterpret_cast<FakeLibOrvaneStateFn>(
                           reinterpret_cast<void*>(GetProcAddress(lib.get(), "FakeLibOrvaneState")))
                     : nullptr;
    return state ? state() : nullptr;
}

// An IDispatch call by name, as a late-binding client makes it.
HRESULT call_by_name(IDispatch* d, const wchar_t* name, WORD flags, std::vector<VARIANT> args, VARIANT* result,
                     EXCEPINFO* excep = nullptr) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::reverse(args.begin(), args.end());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
    }
    EXCEPINFO local{};
    hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, excep ? excep : &local, nullptr);
    if (!excep) {
        host::com::adopt_bstr(local.bstrSource);
        host::com::adopt_bstr(local.bstrDescription);
        host::com::adopt_bstr(local.bstrHelpFile);
    }
    return hr;
}

bool same_object(IUnknown* a, IUnknown* b) {
    com_ptr<IUnknown> ua, ub;
    if (a) a->QueryInterface(IID_IUnknown, ua.put_void());
    if (b) b->QueryInterface(IID_IUnknown, ub.put_void());
    return ua.get() == ub.get();
}

// The host finds the ribbon's callbacks by name on the add-in's IDispatch: every one that
// the XML names must be a member there.
void check_callbacks_by_name(IDispatch* addin, const std::wstring& xml) {
    const std::wregex callback(LR"re(\b(on[A-Z]\w*|get[A-Z]\w*)="([^"]+)")re");
    size_t found = 0;
    for (auto it = std::wsregex_iterator(xml.begin(), xml.end(), callback); it != std::wsregex_iterator(); ++it) {
        std::wstring name = (*it)[2].str();
        LPOLESTR names[] = {name.data()};
        DISPID id = DISPID_UNKNOWN;
        HRESULT hr = addin->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        EXPECT_HRESULT_SUCCEEDED(hr) << "the ribbon XML names " << testing::PrintToString(name)
                                     << ", which the add-in's IDispatch lacks";
        ++found;
    }
    EXPECT_GE(found, size_t{3});  // onLoad, and getImage and onAction of each button
}

void check_ribbon(IDTExtensibility2* ext, IDispatch* dispatch) {
    com_ptr<IRibbonExtensibility> ribbon;
    ASSERT_HRESULT_SUCCEEDED(ext->QueryInterface(__uuidof(IRibbonExtensibility), ribbon.put_void()));
    EXPECT_TRUE(same_object(ribbon.get(), dispatch));
    Bstr explorer(u"Microsoft.Outlook.Explorer"), inspector(u"Microsoft.Outlook.Contact"), xml, none;
    EXPECT_HRESULT_SUCCEEDED(ribbon->GetCustomUI(explorer.get(), xml.put()));
    EXPECT_HRESULT_SUCCEEDED(ribbon->GetCustomUI(inspector.get(), none.put()));
    EXPECT_TRUE(none.str().empty());
    const std::u16string text = xml.str();
    EXPECT_NE(text.find(u"http://schemas.microsoft.com/office/2009/07/customui"), std::u16string::npos);
    check_callbacks_by_name(dispatch, std::wstring(text.begin(), text.end()));
}

void run(Host& host, FakeLibOrvaneState& lib) {
    CLSID clsid{};
    EXPECT_HRESULT_SUCCEEDED(CLSIDFromProgID(progid, &clsid));
    com_ptr<IDTExtensibility2> ext;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IDTExtensibility2), ext.put_void()));
    auto conn = ext.try_query<_Connect>();
    auto dispatch = ext.try_query<IDispatch>();
    EXPECT_TRUE(ext.try_query<ISupportErrorInfo>());
    ASSERT_TRUE(conn);
    ASSERT_TRUE(dispatch);
    // The object's IDispatch is its default interface, _Connect.
    EXPECT_TRUE(same_object(dispatch.get(), conn.get()));
    com_ptr<ITypeInfo> ti;
    EXPECT_HRESULT_SUCCEEDED(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, ti.put()));
    if (ti) {
        Bstr name;
        ti->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
        EXPECT_EQ(std::wstring(name.get() ? name.get() : L""), std::wstring(L"_Connect"));
    }

    check_ribbon(ext.get(), dispatch.get());

    VARIANT_BOOL loaded = 1;
    EXPECT_HRESULT_SUCCEEDED(conn->get_loaded(&loaded));
    EXPECT_EQ(loaded, VARIANT_FALSE);

    auto custom = host::com::SafeArray::of_variants(0);
    SAFEARRAY* custom_arg = custom.get();

    // Connected while the host has no explorer window: nothing starts, the add-in waits.
    EXPECT_HRESULT_SUCCEEDED(ext->OnConnection(host.app.get(), ext_cm_Startup, host.addin_inst.get(), &custom_arg));
    EXPECT_HRESULT_SUCCEEDED(conn->get_loaded(&loaded));
    EXPECT_EQ(loaded, VARIANT_TRUE);
    EXPECT_EQ(host.explorers->events(iid_explorers_events).connections(), size_t{1});
    EXPECT_TRUE(host.explorers->events(iid_explorers_events).sinks_answered_interface());
    EXPECT_EQ(lib.init_calls, 0);

    // The first explorer window starts the service library with the add-in's own handles.
    auto& new_explorer = host.explorers->events(iid_explorers_events);
    EXPECT_HRESULT_SUCCEEDED(new_explorer.fire(0xF001, {dispatch_value(host.explorer.get())}));
    EXPECT_EQ(lib.init_calls, 1);
    EXPECT_EQ(lib.init_module, static_cast<void*>(GetModuleHandleW(L"Quillamor.dll")));
    EXPECT_EQ(lib.init_arg2, 1);
    EXPECT_EQ(lib.init_app, static_cast<void*>(static_cast<IDispatch*>(host.app.get())));
    EXPECT_EQ(lib.init_config, 0x5141);
    EXPECT_EQ(lib.init_arg5, 0);
    EXPECT_TRUE(boxes.empty());

    // A refusing service library: the user is told, through a real message box.
    lib.init_result = -3;
    EXPECT_HRESULT_SUCCEEDED(new_explorer.fire(0xF001, {dispatch_value(host.explorer.get())}));
    lib.init_result = 0;
    EXPECT_EQ(lib.init_calls, 2);
    EXPECT_EQ(boxes.size(), size_t{1});
    if (!boxes.empty()) {
        EXPECT_EQ(boxes[0].text, std::wstring(L"Error#-3"));
        EXPECT_EQ(boxes[0].caption, std::wstring(L"Quillamor"));
        EXPECT_FALSE(boxes[0].yes_no);
    }

    // The host's own OnStartupComplete subscribes again while there is still no window;
    // the member id of ActiveExplorer was asked once however often it is called.
    EXPECT_HRESULT_SUCCEEDED(ext->OnStartupComplete(&custom_arg));
    EXPECT_EQ(new_explorer.connections(), size_t{1});
    EXPECT_TRUE(host.app->invoked(L"ActiveExplorer") >= 2);
    EXPECT_EQ(host.app->ids_asked(L"ActiveExplorer"), 1);

    // A host failure comes back as the host's HRESULT with its description as error info,
    // both through the vtable and through IDispatch.
    host.explorer_fails = true;
    EXPECT_EQ(ext->OnStartupComplete(&custom_arg), no_explorer);
    com_ptr<IErrorInfo> error;
    EXPECT_EQ(GetErrorInfo(0, error.put()), S_OK);
    if (error) {
        Bstr description, source;
        error->GetDescription(description.put());
        error->GetSource(source.put());
        EXPECT_EQ(std::wstring(description.get() ? description.get() : L""), std::wstring(L"The explorer is not available"));
        EXPECT_EQ(std::wstring(source.get() ? source.get() : L""), std::wstring(L"FakeOutlook"));
    }
    VARIANT custom_value;
    V_VT(&custom_value) = VT_ARRAY | VT_VARIANT | VT_BYREF;
    V_ARRAYREF(&custom_value) = &custom_arg;
    EXCEPINFO excep{};
    EXPECT_EQ(call_by_name(ext.get(), L"OnStartupComplete", DISPATCH_METHOD, {custom_value}, nullptr, &excep),
              DISP_E_EXCEPTION);
    {
        Bstr description = host::com::adopt_bstr(excep.bstrDescription);
        host::com::adopt_bstr(excep.bstrSource);
        host::com::adopt_bstr(excep.bstrHelpFile);
        EXPECT_EQ(excep.scode, no_explorer);
        EXPECT_EQ(std::wstring(description.get() ? description.get() : L""), std::wstring(L"The explorer is not available"));
    }
    host.explorer_fails = false;

    // The about button: a click reaches the service library.
    EXPECT_HRESULT_SUCCEEDED(conn->putref_myBut2(host.button.get()));
    auto& click = host.button->events(iid_button_events);
    EXPECT_EQ(click.connections(), size_t{1});
    com_ptr<IDispatch> got;
    EXPECT_HRESULT_SUCCEEDED(conn->get_myBut2(got.put()));
    EXPECT_TRUE(same_object(got.get(), static_cast<IDispatch*>(host.button.get())));
    got.reset();
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT cancel_arg;
    V_VT(&cancel_arg) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&cancel_arg) = &cancel;
    EXPECT_HRESULT_SUCCEEDED(click.fire(1, {dispatch_value(host.button.get()), cancel_arg}));
    EXPECT_EQ(lib.about_calls, 1);
    EXPECT_EQ(lib.about_module, lib.init_module);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    // An object without the button's events is refused (459); the member keeps its button
    // and the button its subscription.
    {
        com_ptr<FakeObject> silent = FakeObject::make(L"_Explorer");
        EXPECT_EQ(conn->putref_myBut2(silent.get()), MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 459));
        EXPECT_HRESULT_SUCCEEDED(conn->get_myBut2(got.put()));
        EXPECT_TRUE(same_object(got.get(), static_cast<IDispatch*>(host.button.get())));
        got.reset();
        EXPECT_EQ(click.connections(), size_t{1});
    }
    // Setting the member to Nothing drops the subscription.
    EXPECT_HRESULT_SUCCEEDED(conn->putref_myBut2(nullptr));
    EXPECT_EQ(click.connections(), size_t{0});
    // The wizard button, held until the add-in is released: a click opens the first page
    // as a real window.
    EXPECT_FALSE(FindWindowW(L"QuillamorForm", nullptr));
    EXPECT_HRESULT_SUCCEEDED(conn->putref_myBut1(host.button.get()));
    EXPECT_HRESULT_SUCCEEDED(click.fire(1, {dispatch_value(host.button.get()), cancel_arg}));
    HWND page = FindWindowW(L"QuillamorForm", nullptr);
    EXPECT_TRUE(page && IsWindowVisible(page));

    // The class's own interface by name, as late binding reaches it.
    ComVariant result;
    size_t before = boxes.size();
    EXPECT_HRESULT_SUCCEEDED(call_by_name(dispatch.get(), L"QuickStart", DISPATCH_METHOD, {}, result.put()));
    EXPECT_EQ(result.type(), VARTYPE{VT_I4});
    EXPECT_EQ(V_I4(result.get()), 0);
    EXPECT_EQ(boxes.size(), before + 1);
    if (boxes.size() > before) {
        EXPECT_EQ(boxes.back().text, std::wstring(L"QuickStart"));
    }
    VARIANT no;
    V_VT(&no) = VT_BOOL;
    V_BOOL(&no) = VARIANT_FALSE;
    EXPECT_HRESULT_SUCCEEDED(call_by_name(dispatch.get(), L"loaded", DISPATCH_PROPERTYPUT, {no}, nullptr));
    EXPECT_HRESULT_SUCCEEDED(call_by_name(dispatch.get(), L"loaded", DISPATCH_PROPERTYGET, {}, result.put()));
    EXPECT_EQ(result.type(), VARTYPE{VT_BOOL});
    EXPECT_EQ(V_BOOL(result.get()), VARIANT_FALSE);
    // The same through the system's own late binding, which the outlook-sim host meets too:
    // a member of _Connect that only takes a reference gets one.
    {
        host::Object self = host::com::wrap(dispatch.get());
        EXPECT_EQ(self.type_name(), u"Connect");
        self.put(u"loaded", host::Variant::boolean(true));
        EXPECT_EQ(self.get(u"loaded"), host::Variant::boolean(true));
        self.put(u"myBut3", host::Variant(host::com::wrap(host.button.get())));
        EXPECT_EQ(click.connections(), size_t{2});
        host::Variant but3 = self.get(u"myBut3");
        EXPECT_TRUE(but3.is_object() && same_object(host::com::interface_of(but3.as_object()).get(),
                                                    static_cast<IDispatch*>(host.button.get())));
        before = boxes.size();
        EXPECT_EQ(self.call(u"QuickStart"), host::Variant(int32_t{0}));
        EXPECT_EQ(boxes.size(), before + 1);
    }
    // OnConnection is the host's alone: _Connect does not answer it.
    EXPECT_EQ(call_by_name(dispatch.get(), L"OnConnection", DISPATCH_METHOD, {}, nullptr), DISP_E_UNKNOWNNAME);

    // Disconnection with no explorer window removes nothing and succeeds.
    EXPECT_HRESULT_SUCCEEDED(ext->OnBeginShutdown(&custom_arg));
    EXPECT_HRESULT_SUCCEEDED(ext->OnDisconnection(ext_dm_UserClosed, &custom_arg));
}

}  // namespace

TEST(Connect, ThroughComAgainstAStandInHost) {
    FakeLibOrvaneState* lib = service_library();
    ASSERT_TRUE(lib);
    host::com::unique_any<HHOOK, &UnhookWindowsHookEx> hook(
        SetWindowsHookExW(WH_CBT, watch_boxes, nullptr, GetCurrentThreadId()));
    EXPECT_TRUE(hook);

    Host host;
    FakeFactory factory(com_ptr<IUnknown>(static_cast<IDispatch*>(host.app.get())));
    DWORD cookie = 0;
    EXPECT_HRESULT_SUCCEEDED(CoRegisterClassObject(clsid_outlook, &factory, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                                   REGCLS_MULTIPLEUSE, &cookie));
    const ULONG app_refs = host.app->refs(), explorers_refs = host.explorers->refs(),
                button_refs = host.button->refs(), explorer_refs = host.explorer->refs();

    run(host, *lib);

    // Released by the host: every reference on the host's objects is given back, every
    // event connection is dropped, and the DLL may be unloaded.
    EXPECT_EQ(host.app->refs(), app_refs);
    EXPECT_EQ(host.explorers->refs(), explorers_refs);
    EXPECT_EQ(host.explorer->refs(), explorer_refs);
    EXPECT_EQ(host.button->refs(), button_refs);
    EXPECT_EQ(host.explorers->events(iid_explorers_events).connections(), size_t{0});
    EXPECT_EQ(host.button->events(iid_button_events).connections(), size_t{0});
    EXPECT_FALSE(FindWindowW(L"QuillamorForm", nullptr));  // the pages go with the add-in
    if (HMODULE addin = GetModuleHandleW(L"Quillamor.dll")) {
        auto can_unload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(GetProcAddress(addin, "DllCanUnloadNow")));
        EXPECT_TRUE(can_unload);
        if (can_unload) {
            EXPECT_EQ(can_unload(), S_OK);
        }
    } else {
        ADD_FAILURE() << "Quillamor.dll was never loaded";
    }
    CoRevokeClassObject(cookie);
}

}  // namespace wintest
