#pragma once
// The class factory of Connect, one static instance for the DLL. Its locks count as live
// objects, so the DLL stays loaded while the host holds a lock.
#include <windows.h>
#include <unknwn.h>

namespace addin::com {

class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};

ClassFactory& connect_factory();

}  // namespace addin::com
