// The shared IUnknown of the COM classes: which interfaces an object answers and as which
// pointer, its reference count and its end, and a part that lives on its owner's count.
#include <windows.h>
#include <oaidl.h>

#include <gtest/gtest.h>

#include "host/com/com_object.h"
#include "host/com/com_ptr.h"
#include "tests/windows/printers.h"

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

}  // namespace

TEST(ComObject, AnswersEachInterfaceAsItsOwnPointer) {
    {  // the probe released at the end
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
            SCOPED_TRACE(testing::PrintToString(c.iid));
            void* out = &probe;  // anything but null: a refusal must clear it
            const ULONG before = probe->references();
            EXPECT_EQ(probe->QueryInterface(c.iid, &out), c.expected ? S_OK : E_NOINTERFACE);
            EXPECT_EQ(out, c.expected);
            EXPECT_EQ(probe->references(), before + (c.expected ? 1 : 0));
            if (c.expected) probe->Release();
        }
        EXPECT_EQ(probe->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    }
    EXPECT_EQ(probes_alive, 0);
}

TEST(ComObject, LivesOnItsOwnAndItsPartsReferences) {
    auto* probe = new Probe();
    EXPECT_EQ(probes_alive, 1);
    EXPECT_EQ(probe->AddRef(), ULONG{2});
    EXPECT_EQ(probe->Release(), ULONG{1});

    // A reference taken through the part is one on the owner, and keeps it alive.
    {
        host::com::com_ptr<ISupportErrorInfo> part;
        EXPECT_HRESULT_SUCCEEDED(probe->part.QueryInterface(IID_ISupportErrorInfo, part.put_void()));
        EXPECT_EQ(static_cast<void*>(part.get()), static_cast<void*>(&probe->part));
        EXPECT_EQ(probe->references(), ULONG{2});
        void* out = &part;
        EXPECT_EQ(probe->part.QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
        EXPECT_EQ(out, static_cast<void*>(nullptr));
        EXPECT_EQ(probe->Release(), ULONG{1});
        EXPECT_EQ(probes_alive, 1);
    }
    EXPECT_EQ(probes_alive, 0);  // the part's release was the last
}

}  // namespace wintest
