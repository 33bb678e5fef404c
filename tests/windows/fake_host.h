#pragma once
// Stand-ins for the mail host's objects, as plain IDispatch objects with a member table and
// connection points. They count what the add-in asks of them and how many references it
// holds, so a test can see the boundary's behaviour from the host's side.
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/com/com_object.h"
#include "host/com/com_ptr.h"

namespace wintest {

class FakeObject;

class FakeConnectionPoint final : public host::com::ComPart<FakeObject, IConnectionPoint> {
public:
    FakeConnectionPoint(FakeObject& owner, const IID& iid) : ComPart(owner), iid_(iid) {}

    // Fires event `id` at every connected sink; `args` in declared order. Returns the first
    // failure; `excep` receives its EXCEPINFO.
    HRESULT fire(DISPID id, std::vector<VARIANT> args, EXCEPINFO* excep = nullptr);
    size_t connections() const { return sinks_.size(); }
    // Whether every sink answered the event interface when it was advised.
    bool sinks_answered_interface() const { return sinks_answered_; }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

private:
    IID iid_;
    std::map<DWORD, host::com::com_ptr<IDispatch>> sinks_;
    DWORD next_cookie_ = 1;
    bool sinks_answered_ = true;
};

class FakeObject final : public host::com::ComObject<IDispatch, IConnectionPointContainer> {
public:
    // A member: fills `result` (which may be null for puts) or fails through `excep`.
    using Handler = std::function<HRESULT(WORD flags, DISPPARAMS& params, VARIANT* result, EXCEPINFO* excep)>;

    static host::com::com_ptr<FakeObject> make(std::wstring type);

    void add_member(const std::wstring& name, DISPID id, Handler handler);
    FakeConnectionPoint& add_events(const IID& iid);
    FakeConnectionPoint& events(const IID& iid) { return *points_.at(key(iid)); }

    // Type information to answer GetTypeInfo with (none by default).
    void set_type_info(host::com::com_ptr<ITypeInfo> ti) { type_info_ = std::move(ti); }

    int ids_asked(const std::wstring& name) const;
    int invoked(const std::wstring& name) const;
    ULONG refs() const { return references(); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* bad_arg) override;
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

private:
    explicit FakeObject(std::wstring type) : type_(std::move(type)) {}
    ~FakeObject();
    void* find_interface(REFIID riid) noexcept override;
    static std::wstring key(const IID& iid);

    struct Member {
        std::wstring name;
        Handler handler;
        int ids_asked = 0;
        int invoked = 0;
    };
    std::wstring type_;
    std::map<DISPID, Member> members_;
    std::map<std::wstring, std::unique_ptr<FakeConnectionPoint>> points_;
    host::com::com_ptr<ITypeInfo> type_info_;
};

// An enumerator over a fixed list of values, as a collection's _NewEnum hands out.
host::com::com_ptr<IEnumVARIANT> make_enumerator(std::vector<VARIANT> values);

// Fake objects alive in the process.
long fake_objects_alive();

// A class object that hands out one existing object, for CoRegisterClassObject.
class FakeFactory final : public IClassFactory {
public:
    explicit FakeFactory(host::com::com_ptr<IUnknown> object) : object_(std::move(object)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    host::com::com_ptr<IUnknown> object_;
};

// Values for members and events.
VARIANT dispatch_value(IDispatch* d);  // borrowed: not added a reference
// Fails a member through EXCEPINFO, as an automation object reports an error.
HRESULT raise_exception(EXCEPINFO* excep, HRESULT scode, const wchar_t* description, const wchar_t* source);

}  // namespace wintest
