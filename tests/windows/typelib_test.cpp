// The type library embedded in the DLL: the coclass, the order and kinds of _Connect's
// members, IDTExtensibility2 and IRibbonExtensibility with their published ids, and the
// resources the service library and the ribbon read.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/com/bstr.h"
#include "host/com/com_ptr.h"
#include "host/com/unique_handle.h"
#include "tests/windows/addin_ids.h"
#include "tests/windows/printers.h"
#include "wizard/form_designs.h"
#include "wizard/win32/assets.h"

using host::com::Bstr;
using host::com::com_ptr;

namespace wintest {

namespace {

struct Member {
    std::wstring name;
    INVOKEKIND kind;
    std::vector<std::wstring> params;  // named parameters, without the return value
};

std::wstring name_of(ITypeInfo* ti, MEMBERID id = MEMBERID_NIL) {
    Bstr name;
    ti->GetDocumentation(id, name.put(), nullptr, nullptr, nullptr);
    return name.get() ? std::wstring(name.get()) : std::wstring();
}

// The functions a type information lists itself, in order.
std::vector<Member> members(ITypeInfo* ti, std::vector<MEMBERID>* ids = nullptr) {
    std::vector<Member> out;
    TYPEATTR* attr = nullptr;
    if (FAILED(ti->GetTypeAttr(&attr))) return out;
    WORD count = attr->cFuncs;
    ti->ReleaseTypeAttr(attr);
    for (WORD i = 0; i < count; ++i) {
        FUNCDESC* f = nullptr;
        if (FAILED(ti->GetFuncDesc(i, &f))) continue;
        BSTR raw[16] = {};
        UINT n = 0;
        ti->GetNames(f->memid, raw, 16, &n);
        std::vector<Bstr> names;
        for (UINT k = 0; k < n; ++k) names.push_back(host::com::adopt_bstr(raw[k]));
        auto text = [&](UINT k) { return std::wstring(k < n && names[k].get() ? names[k].get() : L""); };
        Member m{text(0), f->invkind, {}};
        // A property put's value has no name of its own; a [retval] comes last.
        int named = f->cParams;
        if (named > 0 && (f->lprgelemdescParam[named - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) --named;
        for (UINT k = 1; k < n && static_cast<int>(k) <= named; ++k) m.params.push_back(text(k));
        if (ids) ids->push_back(f->memid);
        ti->ReleaseFuncDesc(f);
        out.push_back(std::move(m));
    }
    return out;
}

// The vtable side of a dual interface.
com_ptr<ITypeInfo> interface_side(ITypeInfo* dispatch_side) {
    com_ptr<ITypeInfo> out;
    HREFTYPE ref = 0;
    if (SUCCEEDED(dispatch_side->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)))
        dispatch_side->GetRefTypeInfo(ref, out.put());
    return out;
}

void check_members(ITypeInfo* ti, const std::vector<Member>& expected) {
    auto actual = members(ti);
    EXPECT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size() && i < expected.size(); ++i) {
        SCOPED_TRACE("member " + std::to_string(i));
        EXPECT_EQ(actual[i].name, expected[i].name);
        EXPECT_EQ(static_cast<int>(actual[i].kind), static_cast<int>(expected[i].kind));
        if (expected[i].kind == INVOKE_FUNC) {
            EXPECT_EQ(actual[i].params.size(), expected[i].params.size());
            for (size_t k = 0; k < actual[i].params.size() && k < expected[i].params.size(); ++k)
                EXPECT_EQ(actual[i].params[k], expected[i].params[k]);
        }
    }
}

}  // namespace

// The type library as the host's late binding loads it: from the DLL's own resources.
class TypeLibrary : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(dll_under_test().c_str(), REGKIND_NONE, lib_.put()));
    }
    ITypeLib* library() const { return lib_.get(); }

private:
    com_ptr<ITypeLib> lib_;
};

TEST_F(TypeLibrary, NamesItselfWithItsIdAndVersion) {
    ITypeLib* lib = library();
    TLIBATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(lib->GetLibAttr(&attr));
    EXPECT_EQ(attr->guid, libid_quillamor);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(static_cast<int>(attr->syskind), static_cast<int>(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32));
    lib->ReleaseTLibAttr(attr);
    Bstr name;
    EXPECT_HRESULT_SUCCEEDED(lib->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr));
    EXPECT_EQ(std::wstring(name.get() ? name.get() : L""), std::wstring(L"Quillamor"));
}

TEST_F(TypeLibrary, ConnectIsACreatableClassOfThreeInterfaces) {
    ITypeLib* lib = library();
    com_ptr<ITypeInfo> co;
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(clsid_connect, co.put()));
    ASSERT_TRUE(co);
    EXPECT_EQ(name_of(co.get()), std::wstring(L"Connect"));
    TYPEATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(co->GetTypeAttr(&attr));
    ASSERT_TRUE(attr);
    EXPECT_EQ(static_cast<int>(attr->typekind), static_cast<int>(TKIND_COCLASS));
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
    EXPECT_EQ(attr->cImplTypes, 3);
    UINT impl_count = attr->cImplTypes;
    co->ReleaseTypeAttr(attr);
    const GUID expected[] = {iid_connect, iid_extensibility, iid_ribbon_extensibility};
    for (UINT i = 0; i < impl_count && i < 3; ++i) {
        HREFTYPE ref = 0;
        com_ptr<ITypeInfo> impl;
        INT flags = 0;
        EXPECT_HRESULT_SUCCEEDED(co->GetRefTypeOfImplType(i, &ref));
        EXPECT_HRESULT_SUCCEEDED(co->GetRefTypeInfo(ref, impl.put()));
        EXPECT_HRESULT_SUCCEEDED(co->GetImplTypeFlags(i, &flags));
        EXPECT_EQ(i == 0, (flags & IMPLTYPEFLAG_FDEFAULT) != 0);
        EXPECT_FALSE(flags & IMPLTYPEFLAG_FSOURCE);
        TYPEATTR* a = nullptr;
        if (impl && SUCCEEDED(impl->GetTypeAttr(&a))) {
            EXPECT_EQ(a->guid, expected[i]);
            impl->ReleaseTypeAttr(a);
        }
    }
}

TEST_F(TypeLibrary, ConnectInterfaceKeepsItsMembersAndIds) {
    ITypeLib* lib = library();
    com_ptr<ITypeInfo> dispatch;
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(iid_connect, dispatch.put()));
    ASSERT_TRUE(dispatch);
    EXPECT_EQ(name_of(dispatch.get()), std::wstring(L"_Connect"));
    TYPEATTR* attr = nullptr;
    EXPECT_HRESULT_SUCCEEDED(dispatch->GetTypeAttr(&attr));
    if (attr) {
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
        dispatch->ReleaseTypeAttr(attr);
    }
    com_ptr<ITypeInfo> vtable = interface_side(dispatch.get());
    ASSERT_TRUE(vtable);
    const auto get = INVOKE_PROPERTYGET, let = INVOKE_PROPERTYPUT, set = INVOKE_PROPERTYPUTREF;
    check_members(vtable.get(), {
        {L"loaded", get, {}},
        {L"loaded", let, {}},
        {L"myBut1", get, {}},
        {L"myBut1", set, {}},
        {L"myBut2", get, {}},
        {L"myBut2", set, {}},
        {L"myBut3", get, {}},
        {L"myBut3", set, {}},
        {L"ContactsList1", INVOKE_FUNC, {}},
        {L"QuickStart", INVOKE_FUNC, {}},
        {L"IDTExtensibility2_OnBeginShutdown", INVOKE_FUNC, {L"custom"}},
        {L"IDTExtensibility2_OnDisconnection", INVOKE_FUNC, {L"RemoveMode", L"custom"}},
        {L"Ribbon_Load", INVOKE_FUNC, {L"ribbon"}},
        {L"Ribbon_GetImage", INVOKE_FUNC, {L"control"}},
        {L"Ribbon_Click", INVOKE_FUNC, {L"control"}},
        {L"Ribbon_GetEnabled", INVOKE_FUNC, {L"control"}},
    });
    // The ribbon's callbacks came last: every earlier member keeps its dispatch id.
    std::vector<MEMBERID> ids;
    members(vtable.get(), &ids);
    EXPECT_EQ(ids, (std::vector<MEMBERID>{1, 1, 2, 2, 3, 3, 4, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST_F(TypeLibrary, RibbonExtensibilityAsPublished) {
    ITypeLib* lib = library();
    com_ptr<ITypeInfo> dispatch;
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(iid_ribbon_extensibility, dispatch.put()));
    ASSERT_TRUE(dispatch);
    EXPECT_EQ(name_of(dispatch.get()), std::wstring(L"IRibbonExtensibility"));
    com_ptr<ITypeInfo> vtable = interface_side(dispatch.get());
    ASSERT_TRUE(vtable);
    check_members(vtable.get(), {{L"GetCustomUI", INVOKE_FUNC, {L"RibbonID"}}});
}

TEST_F(TypeLibrary, ExtensibilityAsPublished) {
    ITypeLib* lib = library();
    com_ptr<ITypeInfo> dispatch;
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(iid_extensibility, dispatch.put()));
    ASSERT_TRUE(dispatch);
    EXPECT_EQ(name_of(dispatch.get()), std::wstring(L"IDTExtensibility2"));
    com_ptr<ITypeInfo> vtable = interface_side(dispatch.get());
    ASSERT_TRUE(vtable);
    check_members(vtable.get(), {
        {L"OnConnection", INVOKE_FUNC, {L"Application", L"ConnectMode", L"AddInInst", L"custom"}},
        {L"OnDisconnection", INVOKE_FUNC, {L"RemoveMode", L"custom"}},
        {L"OnAddInsUpdate", INVOKE_FUNC, {L"custom"}},
        {L"OnStartupComplete", INVOKE_FUNC, {L"custom"}},
        {L"OnBeginShutdown", INVOKE_FUNC, {L"custom"}},
    });
    std::vector<MEMBERID> ids;
    members(vtable.get(), &ids);
    EXPECT_EQ(ids, (std::vector<MEMBERID>{1, 2, 3, 4, 5}));

    for (const GUID& g : {guid_connect_mode, guid_disconnect_mode}) {
        com_ptr<ITypeInfo> e;
        EXPECT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(g, e.put()));
    }
}

TEST(Resources, ServiceLibraryRibbonAndPagesFindTheirs) {
    host::com::unique_hmodule library(LoadLibraryExW(dll_under_test().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    HMODULE m = library.get();
    ASSERT_TRUE(m);
    EXPECT_TRUE(FindResourceW(m, L"LOGO", MAKEINTRESOURCEW(2)));        // RT_BITMAP
    EXPECT_TRUE(FindResourceW(m, L"LOGO_ABOUT", MAKEINTRESOURCEW(2)));
    EXPECT_TRUE(FindResourceW(m, MAKEINTRESOURCEW(1), L"TYPELIB"));
    wchar_t text[64] = {};
    EXPECT_GT(LoadStringW(m, 1, text, 64), 0);
    EXPECT_EQ(std::wstring(text), std::wstring(L"Quillamor"));
    EXPECT_TRUE(FindResourceW(m, L"RIBBON", MAKEINTRESOURCEW(10)));  // RT_RCDATA

    // Every picture and icon the designs name is in the DLL, and loads.
    for (const wizard::FormDesign& d : wizard::form_designs()) {
        if (!d.icon.empty()) {
            EXPECT_TRUE(bool(wizard::win32::load_icon(m, d.icon, 16)));
        }
        for (const wizard::Control& c : d.controls)
            if (c.kind == wizard::Kind::Image) {
                EXPECT_TRUE(bool(wizard::win32::Picture::load(m, c.picture)));
            }
    }
}

}  // namespace wintest
