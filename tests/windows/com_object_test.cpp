// The shared IUnknown of the COM classes: which interfaces an object answers and as which
// pointer, its reference count and its end, and a part that lives on its owner's count.
#include <windows.h>
#include <oaidl.h>

#include "host/com/com_object.h"
#include "host/com/com_ptr.h"
#include "tests/windows/check.h"

namespace wintest {

namespace {

constexpr IID iid_extra = {0x6c1f0e2a, 0x41b7, 0x4d0e, {0x8a, 0x35, 0x1d, 0x7e, 0x92, 0x0c, 0x5b, 0x61}};

int probes_alive = 0;

class Probe;

class ProbePart final : public host::com::ComPart<Probe, ISupportErrorInfo> {
public:
    using ComPart::ComPart;
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID) override { return S_FALSE; }
};

class Probe final : public host::com::ComObject<IClassFactory, ISupportErrorInfo> {
public:
    Probe() { ++probes_alive; }
    ~Probe() { --probes_alive; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }

    ProbePart part{*this};

private:
    void* find_interface(REFIID riid) noexcept override {
        return riid == iid_extra ? static_cast<IClassFactory*>(this) : ComObject::find_interface(riid);
    }
};

void interfaces_answered() {
    auto probe = host::com::adopt(new Probe());
    IClassFactory* factory = probe.get();
    ISupportErrorInfo* errors = probe.get();
    const struct {
        const IID& iid;
        void* expected;  // null: refused
    } cases[] = {
        {IID_IUnknown, factory},  // as the first interface
        {IID_IClassFactory, factory},
        {IID_ISupportErrorInfo, errors},
        {iid_extra, factory},  // the class's own addition
        {IID_IDispatch, nullptr},
    };
    for (const auto& c : cases) {
        void* out = &probe;  // anything but null: a refusal must clear it
        const ULONG before = probe->references();
        CHECK_EQ(probe->QueryInterface(c.iid, &out), c.expected ? S_OK : E_NOINTERFACE);
        CHECK_EQ(out, c.expected);
        CHECK_EQ(probe->references(), before + (c.expected ? 1 : 0));
        if (c.expected) probe->Release();
    }
    CHECK_EQ(probe->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

void lifetimes() {
    auto* probe = new Probe();
    CHECK_EQ(probes_alive, 1);
    CHECK_EQ(probe->AddRef(), ULONG{2});
    CHECK_EQ(probe->Release(), ULONG{1});

    // A reference taken through the part is one on the owner, and keeps it alive.
    {
        host::com::com_ptr<ISupportErrorInfo> part;
        CHECK_OK(probe->part.QueryInterface(IID_ISupportErrorInfo, part.put_void()));
        CHECK_EQ(static_cast<void*>(part.get()), static_cast<void*>(&probe->part));
        CHECK_EQ(probe->references(), ULONG{2});
        void* out = &part;
        CHECK_EQ(probe->part.QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
        CHECK_EQ(out, static_cast<void*>(nullptr));
        CHECK_EQ(probe->Release(), ULONG{1});
        CHECK_EQ(probes_alive, 1);
    }
    CHECK_EQ(probes_alive, 0);  // the part's release was the last
}

}  // namespace

void com_object_test() {
    interfaces_answered();
    lifetimes();
    CHECK_EQ(probes_alive, 0);
}

}  // namespace wintest
