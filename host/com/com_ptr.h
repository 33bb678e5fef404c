#pragma once
// com_ptr: the owner of one reference on a COM interface. Its reset() is the only place in
// the code that releases an interface.
#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <utility>

#include "host/com/hresult.h"

namespace host::com {

template <class T>
class com_ptr {
public:
    com_ptr() noexcept = default;
    com_ptr(std::nullptr_t) noexcept {}
    // Takes a reference of its own on `p`.
    explicit com_ptr(T* p) noexcept : p_(p) {
        if (p_) p_->AddRef();
    }
    com_ptr(const com_ptr& other) noexcept : com_ptr(other.p_) {}
    com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    com_ptr& operator=(const com_ptr& other) noexcept {
        com_ptr(other).swap(*this);
        return *this;
    }
    com_ptr& operator=(com_ptr&& other) noexcept {
        com_ptr(std::move(other)).swap(*this);
        return *this;
    }
    ~com_ptr() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    bool operator==(const com_ptr& other) const noexcept { return p_ == other.p_; }

    void reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    // Adopts a reference that the caller already owns.
    void attach(T* p) noexcept {
        reset();
        p_ = p;
    }
    // Gives up the reference without releasing it.
    [[nodiscard]] T* detach() noexcept { return std::exchange(p_, nullptr); }
    // For out-parameters: releases the current reference and hands out the slot.
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void swap(com_ptr& other) noexcept { std::swap(p_, other.p_); }

    // Copies an added reference to an out-parameter, as a COM method returns one.
    template <class U>
    HRESULT copy_to(U** out) const noexcept {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return S_OK;
    }

    // Another interface of the same object; raises a Failure when the object lacks it.
    template <class U>
    com_ptr<U> query() const {
        com_ptr<U> out;
        if (!p_) raise_hresult(E_POINTER);
        check(p_->QueryInterface(__uuidof(U), out.put_void()));
        return out;
    }
    // Another interface of the same object, or empty when the object lacks it.
    template <class U>
    com_ptr<U> try_query() const noexcept {
        com_ptr<U> out;
        if (p_) p_->QueryInterface(__uuidof(U), out.put_void());
        return out;
    }

private:
    T* p_ = nullptr;
};

// Adopts a reference that the caller already owns.
template <class T>
com_ptr<T> adopt(T* p) noexcept {
    com_ptr<T> out;
    out.attach(p);
    return out;
}

}  // namespace host::com
