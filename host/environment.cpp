#include "host/environment.h"

#include "host/text.h"

namespace host {

int32_t MsgBox(Environment& env, std::u16string_view text, int32_t style) {
    return env.message_box(text, style, product_name);
}

void ReportFailure(Environment& env, const Failure& failure) {
    env.failure_reached_top(failure);
    MsgBox(env, u"Error " + decimal(failure.number()) + u": " + failure.description());
}

}  // namespace host
