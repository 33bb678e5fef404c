#include "engine/left_out.h"

#include <utility>

#include "host/text.h"

namespace engine {

void LeftOut::contact(std::u16string name, const host::Failure& why) {
    contacts_.push_back(std::move(name));
    failed(why);
}

void LeftOut::category(std::u16string name, std::u16string folder, const host::Failure& why) {
    // A picked category as the user named it, without the blank that followed the separator.
    const auto first = name.find_first_not_of(u' '), last = name.find_last_not_of(u' ');
    name = first == std::u16string::npos ? u"" : name.substr(first, last - first + 1);
    categories_.push_back({std::move(name), std::move(folder)});
    failed(why);
}

void LeftOut::not_looked_up(std::u16string name, const host::Failure& why) {
    not_looked_up_.push_back(std::move(name));
    failed(why);
}

void LeftOut::failed(const host::Failure& why) {
    if (!first_failure_.empty()) return;
    // A failure without words is named by its number, as the run's own error messages do.
    first_failure_ = why.description().empty() ? u"error " + host::decimal(why.number()) : why.description();
}

}  // namespace engine
