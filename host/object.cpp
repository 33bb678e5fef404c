#include "host/dispatch.h"

namespace host {

Dispatch& Object::require() const {
    if (!d_) raise(91, u"Object variable or With block variable not set");
    return *d_;
}

std::u16string Object::type_name() const { return d_ ? d_->type_name() : u"Nothing"; }

Variant Object::invoke(Invoke kind, std::u16string_view member, std::vector<Variant>& args) const {
    try {
        return require().invoke(kind, member, args);
    } catch (Failure& failure) {
        failure.note_member(type_name(), member);
        throw;
    }
}

void Object::put(std::u16string_view member, const Variant& value) const {
    std::vector<Variant> list{value};
    invoke(Invoke::Put, member, list);
}

Subscription Object::subscribe(std::u16string_view event, EventHandler handler) const {
    return require().subscribe(event, std::move(handler));
}

void Object::for_each(const std::function<void(const Variant&)>& visit) const {
    auto e = require().enumerate();
    while (auto v = e->next()) visit(*v);
}

}  // namespace host
