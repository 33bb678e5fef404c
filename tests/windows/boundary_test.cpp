// The IDispatch boundary seen from the host's side: values both ways, gets, puts and calls
// as the host receives them, member ids asked once per type, failures with the host's
// numbers and texts, enumeration, events, and the environment's Windows calls.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "host/com/bstr.h"
#include "host/com/com_dispatch.h"
#include "host/com/com_environment.h"
#include "host/com/com_variant.h"
#include "host/com/convert.h"
#include "host/com/hresult.h"
#include "host/com/unique_handle.h"
#include "host/dispatch.h"
#include "tests/windows/fake_host.h"
#include "tests/windows/printers.h"

using host::Failure;
using host::Object;
using host::Variant;
using host::com::com_ptr;
using host::com::ComVariant;

namespace wintest {

namespace {

std::wstring wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

// Runs `f` and gives the Failure it raised (number 0 when it raised none).
template <class F>
Failure failure_of(F&& f) {
    try {
        f();
    } catch (const Failure& failure) {
        return failure;
    }
    return Failure(0, u"");
}

VARIANT make(VARTYPE type) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = type;
    return v;
}

// Every test ends with the stand-in host's objects it made gone: the boundary kept no
// reference to any of them.
class Boundary : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(fake_objects_alive(), alive_before_); }

private:
    long alive_before_ = fake_objects_alive();
};

TEST_F(Boundary, ValuesFromTheHost) {
    VARIANT v = make(VT_UI1);
    V_UI1(&v) = 200;
    EXPECT_EQ(host::com::to_host(v), Variant(int16_t{200}));
    v = make(VT_I8);
    V_I8(&v) = 5000000000LL;
    EXPECT_EQ(host::com::to_host(v), Variant(5000000000.0));
    v = make(VT_UI4);
    V_UI4(&v) = 7;
    EXPECT_EQ(host::com::to_host(v), Variant(int32_t{7}));
    v = make(VT_CY);
    V_CY(&v).int64 = 12345;  // 1.2345
    EXPECT_NEAR(host::com::to_host(v).as_double(), 1.2345, 1e-9);
    v = make(VT_BOOL);
    V_BOOL(&v) = VARIANT_TRUE;
    EXPECT_EQ(host::com::to_host(v), Variant::boolean(true));
    v = make(VT_BSTR);
    V_BSTR(&v) = nullptr;  // a null BSTR is the empty text
    EXPECT_EQ(host::com::to_host(v), Variant(u""));
    v = make(VT_ERROR);
    V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
    EXPECT_TRUE(host::com::to_host(v).is_missing());
    v = make(VT_NULL);
    EXPECT_TRUE(host::com::to_host(v).is_empty());
    v = make(VT_DISPATCH);
    V_DISPATCH(&v) = nullptr;
    EXPECT_TRUE(host::com::to_host(v).is_nothing());
    LONG i = 42;
    v = make(VT_I4 | VT_BYREF);
    V_I4REF(&v) = &i;
    EXPECT_EQ(host::com::to_host(v), Variant(int32_t{42}));
    v = make(VT_ARRAY | VT_I4);
    EXPECT_EQ(failure_of([&] { host::com::to_host(v); }).number(), host::errors::type_mismatch);
}

TEST_F(Boundary, ValuesToTheHost) {
    ComVariant v = host::com::to_com(Variant(host::Missing{}));
    EXPECT_EQ(v.type(), VARTYPE{VT_ERROR});
    EXPECT_EQ(V_ERROR(v.get()), DISP_E_PARAMNOTFOUND);
    v = host::com::to_com(Variant::boolean(true));
    EXPECT_EQ(v.type(), VARTYPE{VT_BOOL});
    EXPECT_EQ(V_BOOL(v.get()), VARIANT_TRUE);
    v = host::com::to_com(Variant(u"Ann \u00e9"));
    EXPECT_EQ(v.type(), VARTYPE{VT_BSTR});
    EXPECT_EQ(std::wstring(V_BSTR(v.get()), SysStringLen(V_BSTR(v.get()))), std::wstring(L"Ann \u00e9"));
    v = host::com::to_com(Variant(Object()));
    EXPECT_EQ(v.type(), VARTYPE{VT_DISPATCH});
    EXPECT_EQ(V_DISPATCH(v.get()), nullptr);
    v = host::com::to_com(Variant(int16_t{-3}));
    EXPECT_EQ(v.type(), VARTYPE{VT_I2});
    v = host::com::to_com(Variant(2.5f));
    EXPECT_EQ(v.type(), VARTYPE{VT_R4});
}

// A member that keeps what it was called with.
struct Seen {
    WORD flags = 0;
    std::vector<ComVariant> args;  // in declared order
    std::vector<DISPID> named;
};

FakeObject::Handler recorder(Seen& seen, VARIANT answer = make(VT_EMPTY)) {
    return [&seen, answer](WORD flags, DISPPARAMS& p, VARIANT* result, EXCEPINFO*) {
        seen.flags = flags;
        seen.args.clear();
        for (UINT i = p.cArgs; i-- > 0;) {
            seen.args.emplace_back();
            VariantCopy(seen.args.back().get(), &p.rgvarg[i]);
        }
        seen.named.assign(p.rgdispidNamedArgs, p.rgdispidNamedArgs + p.cNamedArgs);
        if (result) VariantCopy(result, const_cast<VARIANT*>(&answer));
        return S_OK;
    };
}

TEST_F(Boundary, CallsAsTheHostSeesThem) {
    auto fake = FakeObject::make(L"Items");
    Seen restrict_seen, count_seen, subject_seen;
    VARIANT seven = make(VT_I4);
    V_I4(&seven) = 7;
    fake->add_member(L"Restrict", 1, recorder(restrict_seen, seven));
    fake->add_member(L"Count", 2, recorder(count_seen, seven));
    fake->add_member(L"Subject", 3, recorder(subject_seen));
    // Accepts an object only by reference, as some properties do.
    Seen item_seen;
    fake->add_member(L"Item", 4, [&](WORD flags, DISPPARAMS& p, VARIANT* r, EXCEPINFO* e) {
        if (flags == DISPATCH_PROPERTYPUT) return DISP_E_MEMBERNOTFOUND;
        return recorder(item_seen)(flags, p, r, e);
    });
    Object o = host::com::wrap(fake.get());

    EXPECT_EQ(o.call(u"Restrict", u"[Categories] = 'VIP'", int32_t{2}), Variant(int32_t{7}));
    EXPECT_EQ(restrict_seen.args.size(), size_t{2});
    if (restrict_seen.args.size() == 2) {
        EXPECT_EQ(restrict_seen.args[0].type(), VARTYPE{VT_BSTR});
        EXPECT_EQ(std::wstring(V_BSTR(restrict_seen.args[0].get())), std::wstring(L"[Categories] = 'VIP'"));
        EXPECT_EQ(restrict_seen.args[1].type(), VARTYPE{VT_I4});
    }
    EXPECT_TRUE(restrict_seen.flags & DISPATCH_METHOD);
    EXPECT_TRUE(restrict_seen.named.empty());

    EXPECT_EQ(o.get(u"count"), Variant(int32_t{7}));  // member names ignore case
    EXPECT_TRUE(count_seen.flags & DISPATCH_PROPERTYGET);

    o.put(u"Subject", Variant(u"Team"));
    EXPECT_EQ(subject_seen.flags, WORD{DISPATCH_PROPERTYPUT});
    EXPECT_EQ(subject_seen.named, std::vector<DISPID>{DISPID_PROPERTYPUT});
    EXPECT_EQ(subject_seen.args.size(), size_t{1});

    // An object put by value first, then by reference when the property wants that.
    auto other = FakeObject::make(L"MailItem");
    o.put(u"Item", Variant(host::com::wrap(other.get())));
    EXPECT_EQ(item_seen.flags, WORD{DISPATCH_PROPERTYPUTREF});
    EXPECT_EQ(item_seen.named, std::vector<DISPID>{DISPID_PROPERTYPUT});
    EXPECT_EQ(item_seen.args.size(), size_t{1});
    if (item_seen.args.size() == 1) {
        EXPECT_EQ(item_seen.args[0].type(), VARTYPE{VT_DISPATCH});
        EXPECT_EQ(V_DISPATCH(item_seen.args[0].get()), static_cast<IDispatch*>(other.get()));
    }
    // A text is not retried by reference.
    EXPECT_EQ(failure_of([&] { o.put(u"Item", Variant(u"x")); }).number(), host::errors::member_not_found);

    Failure unknown = failure_of([&] { o.get(u"NoSuchMember"); });
    EXPECT_EQ(unknown.number(), host::errors::member_not_found);
    EXPECT_EQ(wide(unknown.description()), std::wstring(L"Object doesn't support this property or method"));
    EXPECT_EQ(o.type_name(), u"Object");  // no type information
}

HRESULT STDAPICALLTYPE fill_later(EXCEPINFO* info) {
    info->scode = E_ACCESSDENIED;
    info->bstrDescription = SysAllocString(L"Filled in later");
    return S_OK;
}

TEST_F(Boundary, FailuresWithTheHostsNumbers) {
    auto fake = FakeObject::make(L"Folder");
    fake->add_member(L"Hresult", 1, [](WORD, DISPPARAMS&, VARIANT*, EXCEPINFO* e) {
        return raise_exception(e, E_FAIL, L"Cannot open the folder.", L"Microsoft Outlook");
    });
    fake->add_member(L"RunTime", 2, [](WORD, DISPPARAMS&, VARIANT*, EXCEPINFO* e) {
        return raise_exception(e, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 481), L"Invalid picture", L"Lib");
    });
    fake->add_member(L"Code", 3, [](WORD, DISPPARAMS&, VARIANT*, EXCEPINFO* e) {
        raise_exception(e, 0, L"Custom", L"Lib");
        e->wCode = 1004;
        return DISP_E_EXCEPTION;
    });
    fake->add_member(L"Plain", 4, [](WORD, DISPPARAMS&, VARIANT*, EXCEPINFO*) { return DISP_E_TYPEMISMATCH; });
    fake->add_member(L"Deferred", 5, [](WORD, DISPPARAMS&, VARIANT*, EXCEPINFO* e) {
        *e = EXCEPINFO{};
        e->pfnDeferredFillIn = fill_later;
        return DISP_E_EXCEPTION;
    });
    Object o = host::com::wrap(fake.get());

    Failure f = failure_of([&] { o.call(u"Hresult"); });
    EXPECT_EQ(f.number(), static_cast<int32_t>(E_FAIL));
    EXPECT_EQ(wide(f.description()), std::wstring(L"Cannot open the folder."));
    EXPECT_EQ(wide(f.source()), std::wstring(L"Microsoft Outlook"));
    EXPECT_EQ(failure_of([&] { o.call(u"RunTime"); }).number(), 481);
    f = failure_of([&] { o.call(u"Code"); });
    EXPECT_EQ(f.number(), 1004);
    EXPECT_EQ(wide(f.description()), std::wstring(L"Custom"));
    f = failure_of([&] { o.call(u"Plain"); });
    EXPECT_EQ(f.number(), host::errors::type_mismatch);
    f = failure_of([&] { o.call(u"Deferred"); });
    EXPECT_EQ(f.number(), static_cast<int32_t>(E_ACCESSDENIED));
    EXPECT_EQ(wide(f.description()), std::wstring(L"Filled in later"));

    // And back out at the COM edge: a run-time number travels in the control facility.
    EXPECT_EQ(host::com::hresult_of(Failure(481, u"")), MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 481));
    EXPECT_EQ(host::com::hresult_of(Failure(static_cast<int32_t>(E_ACCESSDENIED), u"")), E_ACCESSDENIED);
    EXPECT_EQ(host::com::error_number(host::com::hresult_of(Failure(438, u""))), 438);
}

com_ptr<ITypeInfo> make_type(const wchar_t* name, const GUID& guid) {
    com_ptr<ICreateTypeLib2> lib;
    EXPECT_HRESULT_SUCCEEDED(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, L"types.tlb", lib.put()));
    com_ptr<ICreateTypeInfo> type;
    if (lib) {
        EXPECT_HRESULT_SUCCEEDED(lib->CreateTypeInfo(const_cast<LPOLESTR>(name), TKIND_DISPATCH, type.put()));
    }
    if (!type) return nullptr;
    EXPECT_HRESULT_SUCCEEDED(type->SetGuid(guid));
    return type.try_query<ITypeInfo>();
}

TEST_F(Boundary, MemberIdsOncePerType) {
    const GUID contact_iid = {0x11111111, 0x2222, 0x3333, {4, 5, 6, 7, 8, 9, 10, 11}};
    const GUID mail_iid = {0x11111112, 0x2222, 0x3333, {4, 5, 6, 7, 8, 9, 10, 11}};
    auto contact_type = make_type(L"_ContactItem", contact_iid);
    auto mail_type = make_type(L"_MailItem", mail_iid);
    ASSERT_TRUE(contact_type);
    ASSERT_TRUE(mail_type);
    std::vector<com_ptr<FakeObject>> contacts, mails;
    Seen seen;
    VARIANT text = make(VT_BSTR);
    V_BSTR(&text) = SysAllocString(L"Ann");
    for (int i = 0; i < 3; ++i) {
        contacts.push_back(FakeObject::make(L"Contact"));
        contacts.back()->set_type_info(contact_type);
        contacts.back()->add_member(L"FullName", 7, recorder(seen, text));
        mails.push_back(FakeObject::make(L"Mail"));
        mails.back()->set_type_info(mail_type);
        mails.back()->add_member(L"FullName", 7, recorder(seen, text));
    }
    VariantClear(&text);
    for (auto& c : contacts) EXPECT_TRUE(host::com::wrap(c.get()).get(u"FullName") == Variant(u"Ann"));
    for (auto& m : mails) host::com::wrap(m.get()).get(u"FULLNAME");
    int contact_asks = 0, mail_asks = 0;
    for (auto& c : contacts) contact_asks += c->ids_asked(L"FullName");
    for (auto& m : mails) mail_asks += m->ids_asked(L"FullName");
    EXPECT_EQ(contact_asks, 1);
    EXPECT_EQ(mail_asks, 1);
    EXPECT_EQ(host::com::wrap(contacts[0].get()).type_name(), u"ContactItem");

    // Without type information the ids are kept per object.
    auto plain = FakeObject::make(L"Plain");
    plain->add_member(L"Name", 1, recorder(seen));
    Object p = host::com::wrap(plain.get());
    p.get(u"Name");
    p.get(u"Name");
    EXPECT_EQ(plain->ids_asked(L"Name"), 1);
    auto plain2 = FakeObject::make(L"Plain");
    plain2->add_member(L"Name", 1, recorder(seen));
    host::com::wrap(plain2.get()).get(u"Name");
    EXPECT_EQ(plain2->ids_asked(L"Name"), 1);
}

// An object whose interface the caller knows is reached by the published ids, as a compiled
// caller reaches it, and nothing is asked of it; a member outside the list is looked up.
TEST_F(Boundary, KnownInterface) {
    static const host::com::KnownInterface picture{
        u"Picture", {0x7BF80981, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}},
        {{u"Handle", 0}, {u"Type", 3}}};
    Seen seen;
    auto fake = FakeObject::make(L"Picture");
    fake->add_member(L"Handle", 0, recorder(seen));
    fake->add_member(L"Type", 3, recorder(seen));
    fake->add_member(L"Width", 4, recorder(seen));
    Object o = host::com::wrap(fake.get(), picture);
    o.get(u"handle");
    o.get(u"Type");
    o.get(u"Width");
    EXPECT_EQ(fake->ids_asked(L"Handle") + fake->ids_asked(L"Type"), 0);
    EXPECT_EQ(fake->invoked(L"Handle") + fake->invoked(L"Type"), 2);
    EXPECT_EQ(fake->ids_asked(L"Width"), 1);
    EXPECT_EQ(o.type_name(), u"Picture");
}

TEST_F(Boundary, Enumeration) {
    auto a = FakeObject::make(L"Contact"), b = FakeObject::make(L"Contact");
    auto items = FakeObject::make(L"Items");
    items->add_member(L"_NewEnum", DISPID_NEWENUM, [&](WORD flags, DISPPARAMS&, VARIANT* r, EXCEPINFO*) {
        if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) || !r) return DISP_E_MEMBERNOTFOUND;
        auto e = make_enumerator({dispatch_value(a.get()), dispatch_value(b.get())});
        V_VT(r) = VT_UNKNOWN;
        V_UNKNOWN(r) = e.detach();
        return S_OK;
    });
    std::vector<IDispatch*> seen;
    host::com::wrap(items.get()).for_each([&](const Variant& v) {
        seen.push_back(host::com::interface_of(v.as_object()).get());
    });
    EXPECT_EQ(seen, (std::vector<IDispatch*>{a.get(), b.get()}));
    EXPECT_EQ(items->ids_asked(L"_NewEnum"), 0);  // reached by its fixed id
}

TEST_F(Boundary, Events) {
    const GUID click_iid = {0x000C0351, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    auto button = FakeObject::make(L"CommandBarButton");
    auto& point = button->add_events(click_iid);
    Object o = host::com::wrap(button.get());
    int clicks = 0;
    host::Subscription s = o.subscribe(u"Click", [&](std::vector<Variant>& args) {
        ++clicks;
        EXPECT_EQ(args.size(), size_t{2});
        if (args.size() == 2) {
            EXPECT_TRUE(args[0].is_object());
            args[1] = Variant::boolean(true);  // the handler cancels the default action
        }
    });
    EXPECT_EQ(point.connections(), size_t{1});
    EXPECT_TRUE(point.sinks_answered_interface());
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT cancel_arg = make(VT_BOOL | VT_BYREF);
    V_BOOLREF(&cancel_arg) = &cancel;
    EXPECT_HRESULT_SUCCEEDED(point.fire(1, {dispatch_value(button.get()), cancel_arg}));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_HRESULT_SUCCEEDED(point.fire(2, {}));  // other members of the interface are ignored
    EXPECT_EQ(clicks, 1);
    s.reset();
    EXPECT_EQ(point.connections(), size_t{0});

    // A failing handler reports back to the source; it does not unwind into it.
    host::Subscription failing = o.subscribe(u"click", [](std::vector<Variant>&) { host::raise(91); });
    EXCEPINFO info{};
    EXPECT_EQ(point.fire(1, {dispatch_value(button.get()), cancel_arg}, &info), DISP_E_EXCEPTION);
    host::com::Bstr description = host::com::adopt_bstr(info.bstrDescription);
    host::com::adopt_bstr(info.bstrSource);
    EXPECT_EQ(info.scode, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 91));
    failing.reset();

    EXPECT_EQ(failure_of([&] { o.subscribe(u"Close", [](std::vector<Variant>&) {}); }).number(), 459);
    auto silent = FakeObject::make(L"Explorers");
    EXPECT_EQ(failure_of([&] { host::com::wrap(silent.get()).subscribe(u"NewExplorer", [](std::vector<Variant>&) {}); })
                  .number(),
              459);
}

TEST_F(Boundary, Environment) {
    host::com::ComEnvironment env;
    Failure f = failure_of([&] { env.create_object(u"Quillamor.NoSuchClass"); });
    EXPECT_EQ(f.number(), 429);
    EXPECT_EQ(wide(f.description()), std::wstring(L"ActiveX component can't create object (Quillamor.NoSuchClass)"));

    EXPECT_EQ(env.load_library(u"NoSuchLibrary.dll"), nullptr);
    auto lib = env.load_library(u"LibOrvane.dll");
    EXPECT_TRUE(lib && lib->entry("LibOrvaneInit"));
    EXPECT_TRUE(lib && !lib->entry("NoSuchEntry"));
    EXPECT_EQ(env.module_handle(), static_cast<void*>(GetModuleHandleW(nullptr)));

    EXPECT_EQ(failure_of([&] { env.start_process(u"c:\\no\\such\\viewer.exe topic"); }).number(),
              host::errors::file_not_found);
    EXPECT_EQ(failure_of([&] { env.start_process(u"cmd.exe /c exit 0"); }).number(), 0);

    auto fake = FakeObject::make(L"Application");
    Object o = host::com::wrap(fake.get());
    EXPECT_EQ(env.raw_interface(o), static_cast<void*>(static_cast<IDispatch*>(fake.get())));

    // The user's list separator as Windows keeps it for the user, a change seen at once.
    wchar_t earlier[8] = {};
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, earlier, 8), 1);
    EXPECT_EQ(env.list_separator(), std::optional<std::u16string>(host::com::from_wide(earlier)));
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, L";"));
    EXPECT_EQ(env.list_separator(), std::optional<std::u16string>(u";"));
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, earlier);
}

}  // namespace

}  // namespace wintest
