#pragma once
// The IUnknown of the system's COM classes, written once.
//
// ComObject<Interfaces...>: a heap object with its own reference count. It derives from each
// of Interfaces, answers QueryInterface for IUnknown (as the first interface) and each of them,
// and deletes itself when the last reference goes. A class derives from it and implements the
// interfaces' own members:
//
//     class Sink final : public ComObject<IDispatch> { ... };
//
// A base may be an implementation of an interface rather than the interface itself (Dual<I>);
// it then names the interface it implements as its member type `Interface`.
//
// ComPart<Owner, Interface>: an interface that lives inside another object and shares its
// owner's reference count (a connection point inside its container).
#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace host::com {

namespace detail {

template <class Base>
struct implemented {
    using type = Base;
};
template <class Base>
    requires requires { typename Base::Interface; }
struct implemented<Base> {
    using type = typename Base::Interface;
};

template <class First, class...>
struct first {
    using type = First;
};

}  // namespace detail

template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = find_interface(riid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    // The references held on the object now (for tests that watch what a caller holds).
    ULONG references() const noexcept { return refs_; }

protected:
    ComObject() noexcept = default;
    virtual ~ComObject() = default;

    // The interface pointer QueryInterface hands out for `riid`, or null. A class that answers
    // more (an event sink answers its event interface as IDispatch) or less (an interface it
    // offers only in some states) overrides this and asks the base for the rest.
    virtual void* find_interface(REFIID riid) noexcept {
        using First = typename detail::implemented<typename detail::first<Interfaces...>::type>::type;
        if (riid == IID_IUnknown) return static_cast<IUnknown*>(static_cast<First*>(this));
        void* found = nullptr;
        (void)(... || (riid == __uuidof(typename detail::implemented<Interfaces>::type) &&
                       (found = static_cast<typename detail::implemented<Interfaces>::type*>(this))));
        return found;
    }

private:
    // The objects are apartment-threaded: every call comes on their apartment's thread, so a
    // plain count would do. An atomic one costs nothing measurable and stays right should
    // COM's own machinery release an object from another thread.
    std::atomic<ULONG> refs_{1};
};

template <class Owner, class Interface>
class ComPart : public Interface {
public:
    explicit ComPart(Owner& owner) noexcept : owner_(owner) {}
    ComPart(const ComPart&) = delete;
    ComPart& operator=(const ComPart&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid != IID_IUnknown && riid != __uuidof(Interface)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    // A reference on the part is one on its owner: a holder of the part keeps the owner
    // alive, and the owner's end takes the part with it, with no cycle between them.
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }

protected:
    ~ComPart() = default;

    Owner& owner_;
};

}  // namespace host::com
