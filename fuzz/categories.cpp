// Any text as the categories a person selected (UTF-16, two bytes a character): the separator
// found, the names split at it, and a filter for each name. The names joined again give the
// text back, and every filter is one well-formed quoted value that holds exactly its name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/categories.h"
#include "host/failure.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

// The value inside `[Categories] = '...'`, with doubled apostrophes made single again;
// aborts when the filter is anything else.
std::u16string value_of(const std::u16string& filter) {
    const std::u16string head = u"[Categories] = '";
    require(filter.size() >= head.size() + 1 && filter.compare(0, head.size(), head) == 0 && filter.back() == u'\'');
    std::u16string value;
    for (size_t i = head.size(); i + 1 < filter.size(); ++i) {
        if (filter[i] == u'\'') {
            // An apostrophe inside the value is always written twice, or the value would end here.
            require(i + 2 < filter.size() && filter[i + 1] == u'\'');
            ++i;
        }
        value += filter[i];
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text(size / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    std::u16string separator;
    try {
        separator = engine::FindCategorySeparator(text);
    } catch (const host::Failure&) {
        require(text.size() > 32767);  // only a text beyond the 16-bit length overflows
        return 0;
    }
    require(!separator.empty());
    auto names = engine::SplitCategories(text, separator);
    std::u16string joined;
    for (size_t i = 0; i < names.size(); ++i) joined += (i ? separator : u"") + names[i];
    require(joined == text);
    for (const auto& name : names) require(value_of(engine::CategoryFilter(name)) == name);
    return 0;
}
