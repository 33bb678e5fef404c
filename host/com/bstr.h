#pragma once
// Bstr: the owner of one BSTR, and the conversions between the system's UTF-16 text and
// the platform's wide strings.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace host::com {

// wchar_t is 16 bits on Windows; the units are copied, not reinterpreted.
std::wstring to_wide(std::u16string_view text);
std::u16string from_wide(const wchar_t* text, size_t length);
std::u16string from_wide(const wchar_t* text);  // null-terminated; null gives ""

class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(std::u16string_view text);
    Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) attach(std::exchange(other.b_, nullptr));
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { reset(); }

    BSTR get() const noexcept { return b_; }
    BSTR* put() noexcept {
        reset();
        return &b_;
    }
    void reset() noexcept;
    void attach(BSTR b) noexcept {
        reset();
        b_ = b;
    }
    [[nodiscard]] BSTR detach() noexcept { return std::exchange(b_, nullptr); }

    // The text; a null BSTR is the empty text, as automation treats it.
    std::u16string str() const;

private:
    BSTR b_ = nullptr;
};

// Takes ownership of a BSTR that a call handed out (null is fine).
inline Bstr adopt_bstr(BSTR b) noexcept {
    Bstr out;
    out.attach(b);
    return out;
}

}  // namespace host::com
