#pragma once
// unique_any: the owner of one handle of the platform, closed by the function it is declared
// with (a library, a kernel handle, a registry key, a memory block, a GDI object...). The one
// family of handle owners: the COM edge, the graphics code and the windows all use it.
#include <utility>

namespace host {

template <class H, auto Close>
class unique_any {
public:
    unique_any() noexcept = default;
    explicit unique_any(H h) noexcept : h_(h) {}
    unique_any(unique_any&& other) noexcept : h_(std::exchange(other.h_, H{})) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, H{}));
        return *this;
    }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    ~unique_any() { reset(); }

    H get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != H{}; }
    H* put() noexcept {
        reset();
        return &h_;
    }
    void reset(H h = H{}) noexcept {
        if (H old = std::exchange(h_, h); old != H{}) Close(old);
    }
    [[nodiscard]] H release() noexcept { return std::exchange(h_, H{}); }

private:
    H h_{};
};

}  // namespace host
