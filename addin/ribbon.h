#pragma once
// The add-in's ribbon: where its XML is kept and which ribbon gets it.
#include <string_view>

namespace addin {

// The explorer window's ribbon; inspectors and other ribbons get nothing from the add-in.
inline constexpr std::u16string_view explorer_ribbon_id = u"Microsoft.Outlook.Explorer";
// The ribbon XML, kept as a resource of the add-in's file.
inline constexpr std::u16string_view ribbon_resource = u"RIBBON";

}  // namespace addin
