#pragma once
// The texts the runs show, exactly as the user reads them.
#include <cstddef>
#include <string>
#include <string_view>

namespace engine::text {

inline constexpr std::u16string_view no_categories = u"You have not selected any categories.";
inline constexpr std::u16string_view no_folder = u"You have not selected any folder to work on.";
inline constexpr std::u16string_view wrong_folder = u"You have selected wrong type of folder to work on.";
inline constexpr std::u16string_view one_email_question =
    u"Do you want to add only one (default) e-mail from contacts? (If you choose \"No\" all "
    u"e-mails of the contact will be added)";
inline constexpr std::u16string_view quick_thanks = u"Thank you for your time.";
inline constexpr std::u16string_view custom_thanks =
    u"Thank you for your time. Please click 'OK' and review and save your distribution list.";

// The members went into several lists: how many into how many, and why.
std::u16string saved_as_parts(size_t members, size_t lists, std::u16string_view name);
// Some members could not be stored: how many of how many.
std::u16string members_not_stored(size_t not_stored, size_t members);

}  // namespace engine::text
