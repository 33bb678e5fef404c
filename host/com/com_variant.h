#pragma once
// ComVariant: the owner of one VARIANT. It has exactly the layout of a VARIANT, so an array
// of them can be handed to IDispatch::Invoke as its argument array.
#include <windows.h>
#include <oleauto.h>

#include <type_traits>

namespace host::com {

class ComVariant {
public:
    ComVariant() noexcept { VariantInit(&v_); }
    ComVariant(const ComVariant& other);
    ComVariant(ComVariant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
    ComVariant& operator=(const ComVariant& other);
    ComVariant& operator=(ComVariant&& other) noexcept;
    ~ComVariant() { clear(); }

    VARIANT* get() noexcept { return &v_; }
    const VARIANT* get() const noexcept { return &v_; }
    VARTYPE type() const noexcept { return V_VT(&v_); }
    // Clears the value and hands out the slot for an out-parameter.
    VARIANT* put() noexcept {
        clear();
        return &v_;
    }
    void clear() noexcept { VariantClear(&v_); }
    // Gives the value to the caller, who then owns what it holds.
    [[nodiscard]] VARIANT detach() noexcept {
        VARIANT out = v_;
        VariantInit(&v_);
        return out;
    }

private:
    VARIANT v_;
};

static_assert(sizeof(ComVariant) == sizeof(VARIANT) && std::is_standard_layout_v<ComVariant>);

}  // namespace host::com
