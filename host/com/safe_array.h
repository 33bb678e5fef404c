#pragma once
// SafeArray: the owner of one SAFEARRAY.
#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace host::com {

class SafeArray {
public:
    SafeArray() noexcept = default;
    // A one-dimensional array of `count` empty VARIANTs, indexed from 0.
    static SafeArray of_variants(ULONG count);

    SafeArray(SafeArray&& other) noexcept : a_(std::exchange(other.a_, nullptr)) {}
    SafeArray& operator=(SafeArray&& other) noexcept {
        if (this != &other) attach(std::exchange(other.a_, nullptr));
        return *this;
    }
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    ~SafeArray() { reset(); }

    SAFEARRAY* get() const noexcept { return a_; }
    SAFEARRAY** put() noexcept {
        reset();
        return &a_;
    }
    void reset() noexcept {
        if (SAFEARRAY* a = std::exchange(a_, nullptr)) SafeArrayDestroy(a);
    }
    void attach(SAFEARRAY* a) noexcept {
        reset();
        a_ = a;
    }
    [[nodiscard]] SAFEARRAY* detach() noexcept { return std::exchange(a_, nullptr); }

private:
    SAFEARRAY* a_ = nullptr;
};

}  // namespace host::com
