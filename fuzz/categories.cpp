// Any text as the categories a person selected (UTF-16, two bytes a character): the separator
// guessed, and the names read at it. Every name is non-empty, has no blank at either end,
// holds no separator, and is carried by the text itself.
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

bool blank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text(size / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    std::u16string separator, between;
    try {
        separator = engine::FindCategorySeparator(text);
        between = engine::GuessedCategorySeparator(text);
    } catch (const host::Failure&) {
        require(text.size() > 32767);  // only a text beyond the 16-bit length overflows
        return 0;
    }
    require(!separator.empty() && !between.empty());
    for (const auto& name : engine::CategoryNames(text, between)) {
        require(!name.empty() && !blank(name.front()) && !blank(name.back()));
        require(name.find(between) == std::u16string::npos);
        require(engine::CarriesCategory(text, name, between));
    }
    return 0;
}
