#pragma once
// The one error type of the boundary. A Failure carries the number the user is shown
// (a run-time error number such as 6 or 481, or an HRESULT from the host), a description
// and the source that raised it. Failures are thrown, never returned.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace host {

class Failure : public std::exception {
public:
    Failure(int32_t number, std::u16string description, std::u16string source = u"Quillamor");

    int32_t number() const noexcept { return number_; }
    const std::u16string& description() const noexcept { return description_; }
    const std::u16string& source() const noexcept { return source_; }
    const char* what() const noexcept override { return what_.c_str(); }

    // The host member whose call failed, as "ContactItem.Email1Address": noted by the call
    // as the failure leaves it, the innermost call first; empty for the add-in's own failures.
    const std::u16string& member() const noexcept { return member_; }
    void note_member(std::u16string_view object, std::u16string_view member);

private:
    int32_t number_;
    std::u16string description_;
    std::u16string source_;
    std::u16string member_;
    std::string what_;
};

// Run-time error numbers the system raises itself.
namespace errors {
inline constexpr int32_t overflow = 6;
inline constexpr int32_t type_mismatch = 13;
inline constexpr int32_t object_not_set = 91;
inline constexpr int32_t object_required = 424;
inline constexpr int32_t invalid_picture = 481;
inline constexpr int32_t file_not_found = 53;
inline constexpr int32_t entry_point_not_found = 453;
inline constexpr int32_t member_not_found = 438;
inline constexpr int32_t cannot_create_object = 429;
inline constexpr int32_t resource_not_found = 326;
// A store's generic failure (E_FAIL), for a list that can take no more members.
inline constexpr int32_t list_full = static_cast<int32_t>(0x80004005);
}  // namespace errors

[[noreturn]] void raise(int32_t number, std::u16string description = {});
[[noreturn]] void raise_overflow();

// Error 429, naming the ProgID that could not be created when there is one: without the
// name, a missing library is indistinguishable from any other class that is not registered.
Failure cannot_create_object(std::u16string_view progid = {}, std::u16string source = u"Quillamor");

}  // namespace host
