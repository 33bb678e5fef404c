#include "host/com/bstr.h"

#include <new>

namespace host::com {

std::wstring to_wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::u16string from_wide(const wchar_t* text, size_t length) {
    return text ? std::u16string(text, text + length) : std::u16string();
}

std::u16string from_wide(const wchar_t* text) {
    return text ? from_wide(text, wcslen(text)) : std::u16string();
}

Bstr::Bstr(std::u16string_view text) {
    b_ = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
    if (!b_) throw std::bad_alloc();
    for (size_t i = 0; i < text.size(); ++i) b_[i] = static_cast<wchar_t>(text[i]);
}

void Bstr::reset() noexcept {
    if (BSTR b = std::exchange(b_, nullptr)) SysFreeString(b);
}

std::u16string Bstr::str() const { return from_wide(b_, b_ ? SysStringLen(b_) : 0); }

}  // namespace host::com
