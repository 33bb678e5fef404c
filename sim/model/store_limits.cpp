#include "sim/model/store_limits.h"

namespace sim {

bool is_item_type(std::u16string_view type) {
    return type == u"ContactItem" || type == u"DistListItem" || type == u"MailItem";
}

int64_t member_entry_bytes(std::u16string_view display_name, std::u16string_view address) {
    constexpr int64_t header = 24;
    constexpr int64_t address_type = 2 * (4 + 1);  // "SMTP" and its zero
    return header + 2 * (static_cast<int64_t>(display_name.size()) + 1) + address_type +
           2 * (static_cast<int64_t>(address.size()) + 1);
}

int64_t member_entry_bytes(std::u16string_view member_text) {
    const size_t space = member_text.rfind(u' ');
    if (space == std::u16string_view::npos) return member_entry_bytes(std::u16string_view(), member_text);
    return member_entry_bytes(member_text.substr(0, space), member_text.substr(space + 1));
}

}  // namespace sim
