#include "host/com/com_variant.h"

#include "host/com/hresult.h"

namespace host::com {

ComVariant::ComVariant(const ComVariant& other) {
    VariantInit(&v_);
    check(VariantCopy(&v_, const_cast<VARIANT*>(&other.v_)));
}

ComVariant& ComVariant::operator=(const ComVariant& other) {
    if (this != &other) {
        ComVariant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

ComVariant& ComVariant::operator=(ComVariant&& other) noexcept {
    if (this != &other) {
        clear();
        v_ = other.v_;
        VariantInit(&other.v_);
    }
    return *this;
}

}  // namespace host::com
