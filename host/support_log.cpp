#include "host/support_log.h"

#include "host/text.h"

namespace host {
namespace {

std::u16string hexadecimal(int32_t number) {
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    auto value = static_cast<uint32_t>(number);
    std::u16string text(8, u'0');
    for (int i = 7; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = digits[value & 0xF];
    return u"0x" + text;
}

std::u16string one_line(std::u16string_view text) {
    std::u16string line(text);
    for (auto& c : line)
        if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
    return line;
}

}  // namespace

std::u16string log_line(const LogContext& context, const Failure& failure, Shown shown) {
    std::u16string line = context.time + u"\tOutlook " + context.host_version + u"\tQuillamor " +
                          context.addin_version + u"\t" +
                          (failure.member().empty() ? u"Quillamor" : failure.member()) + u"\t" +
                          decimal(failure.number()) + u" (" + hexadecimal(failure.number()) + u")\t" +
                          (shown == Shown::yes ? u"shown" : u"went on");
    if (context.detailed) line += u"\t" + one_line(failure.description());
    return line;
}

}  // namespace host
