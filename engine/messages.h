#pragma once
// The texts the runs show, exactly as the user reads them.
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/left_out.h"

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

// The name of part p of k of a list too large for one.
std::u16string part_name(std::u16string_view name, size_t p, size_t k);
// The members went into several lists: how many into how many, and why.
std::u16string saved_as_parts(size_t members, size_t lists, std::u16string_view name);
// Some members could not be stored: how many of how many.
std::u16string members_not_stored(size_t not_stored, size_t members);

// What a run could not put into its list, told once before its closing message; and the same
// as the last lines of Update List's question. The stand-ins for a contact's name.
inline constexpr std::u16string_view left_out_opening = u"Quillamor could not add everyone to the list.";
inline constexpr std::u16string_view update_not_read = u"Contacts that could not be read: ";
inline constexpr std::u16string_view update_not_searched = u"Categories that could not be searched completely: ";
inline constexpr std::u16string_view contact_without_name = u"a contact without a name";
inline constexpr std::u16string_view contact_name_unreadable = u"a contact whose name could not be read";
// When the only thing to tell is Exchange addresses that could not be looked up: the contacts
// are in the list, under those addresses.
inline constexpr std::u16string_view not_looked_up_opening = u"Quillamor could not look up every Exchange address.";
inline constexpr std::u16string_view update_not_looked_up = u"Exchange addresses that could not be looked up: ";
std::u16string left_out(const LeftOut& left_out);
std::u16string update_left_out(const LeftOut& left_out);

// A web address that neither the browser object nor the system could open: the user can still
// type it.
std::u16string link_not_opened(std::u16string_view address);

// Bringing a list up to date.
inline constexpr std::u16string_view update_no_categories =
    u"This distribution list has no categories, so Quillamor cannot tell which contacts belong in it.";
inline constexpr std::u16string_view update_where_question =
    u"Quillamor does not know where the members of this distribution list came from. Do you want to look "
    u"for them in your default Contacts folder and its subfolders? (If you choose \"No\" you can pick a "
    u"folder)";
inline constexpr std::u16string_view update_folder_gone =
    u"The folder this distribution list was made from cannot be found. Do you want to look for its members "
    u"in your default Contacts folder and its subfolders? (If you choose \"No\" you can pick a folder)";
// Nothing to change: the list's members are the ones its contacts give today.
std::u16string update_nothing(std::u16string_view name, size_t members);
// What an update would change, asked before anything is saved.
std::u16string update_question(std::u16string_view name, size_t added, size_t removed, size_t kept);
// An update that failed: the list is as it was.
std::u16string update_failed(std::u16string_view name);

}  // namespace engine::text
