#pragma once
// host::Object: a reference-counted handle on an object of the host, reached by member
// name as late binding reaches it. Releasing the last handle releases the object.
// The member templates are defined in host/dispatch.h, which every caller includes.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace host {

class Dispatch;
class Variant;
enum class Invoke;

// An event connection; dropping it disconnects the handler.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, {});
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }
    void reset() {
        if (auto c = std::exchange(cancel_, {})) c();
    }
    explicit operator bool() const { return static_cast<bool>(cancel_); }

private:
    std::function<void()> cancel_;
};

using EventHandler = std::function<void(std::vector<Variant>& args)>;

class Object {
public:
    Object() = default;
    Object(std::nullptr_t) {}
    explicit Object(std::shared_ptr<Dispatch> d) : d_(std::move(d)) {}

    explicit operator bool() const { return d_ != nullptr; }
    bool operator==(const Object& o) const { return d_ == o.d_; }
    Dispatch* dispatch() const { return d_.get(); }
    void reset() { d_.reset(); }

    std::u16string type_name() const;

    template <class... A>
    Variant get(std::u16string_view member, A&&... args) const;
    template <class... A>
    Variant call(std::u16string_view member, A&&... args) const;
    void put(std::u16string_view member, const Variant& value) const;

    Subscription subscribe(std::u16string_view event, EventHandler handler) const;
    // Walks the object's collection through the host's enumeration, in the host's order.
    void for_each(const std::function<void(const Variant&)>& visit) const;

private:
    Dispatch& require() const;
    // Every member's call: a failure leaves it naming the object and the member.
    Variant invoke(Invoke kind, std::u16string_view member, std::vector<Variant>& args) const;
    std::shared_ptr<Dispatch> d_;
};

}  // namespace host
