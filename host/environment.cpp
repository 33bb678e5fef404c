#include "host/environment.h"

#include "host/text.h"

namespace host {

int32_t MsgBox(Environment& env, std::u16string_view text, int32_t style) {
    return env.message_box(text, style, product_name);
}

Object Environment::load_picture(std::u16string_view path) {
    raise(errors::file_not_found, u"File not found: " + std::u16string(path));
}

std::optional<std::u16string> Environment::installed_file(std::u16string_view) { return std::nullopt; }

std::optional<std::u16string> Environment::list_separator() { return std::nullopt; }

std::u16string shipped_file(Environment& env, std::u16string_view name, std::u16string_view fallback) {
    return env.installed_file(name).value_or(std::u16string(fallback));
}

std::string Environment::module_resource(std::u16string_view name) {
    raise(errors::resource_not_found, u"Resource with identifier '" + std::u16string(name) + u"' not found");
}

void ReportFailure(Environment& env, const Failure& failure) {
    env.failure_reached_top(failure);
    env.log_failure(failure, Shown::yes);
    MsgBox(env, u"Error " + decimal(failure.number()) + u": " + failure.description());
}

}  // namespace host
