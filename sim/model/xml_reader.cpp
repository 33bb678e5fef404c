#include "sim/model/xml_reader.h"

#include "host/text.h"

namespace sim {

namespace {

class Reader {
public:
    explicit Reader(std::u16string_view text) : t_(text) {}

    XmlElement document() {
        skip_misc();
        if (!at(u"<")) fail("no root element");
        XmlElement root = element();
        skip_misc();
        if (i_ != t_.size()) fail("text after the root element");
        return root;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw XmlError(what + " (at character " + std::to_string(i_ + 1) + ")");
    }
    bool at(std::u16string_view s) const { return t_.substr(i_, s.size()) == s; }
    static bool blank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
    void skip_blanks() {
        while (i_ < t_.size() && blank(t_[i_])) ++i_;
    }
    void skip_past(std::u16string_view end) {
        size_t found = t_.find(end, i_);
        if (found == std::u16string_view::npos) fail("unterminated markup");
        i_ = found + end.size();
    }
    // Blanks, comments and processing instructions (the declaration among them).
    void skip_misc() {
        for (;;) {
            skip_blanks();
            if (at(u"<!--")) skip_past(u"-->");
            else if (at(u"<?")) skip_past(u"?>");
            else return;
        }
    }
    static bool name_char(char16_t c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
               c == u'-' || c == u'.' || c == u':' || c > 0x7F;
    }
    std::u16string name() {
        size_t start = i_;
        while (i_ < t_.size() && name_char(t_[i_])) ++i_;
        if (i_ == start) fail("a name was expected");
        return std::u16string(t_.substr(start, i_ - start));
    }
    std::u16string value() {
        if (i_ >= t_.size() || (t_[i_] != u'"' && t_[i_] != u'\'')) fail("a quoted value was expected");
        const char16_t quote = t_[i_++];
        std::u16string out;
        while (i_ < t_.size() && t_[i_] != quote) {
            if (t_[i_] == u'<') fail("'<' in a value");
            if (t_[i_] == u'&') out += reference();
            else out += t_[i_++];
        }
        if (i_ >= t_.size()) fail("unterminated value");
        ++i_;
        return out;
    }
    std::u16string reference() {
        size_t end = t_.find(u';', i_);
        if (end == std::u16string_view::npos || end - i_ > 10) fail("bad character reference");
        std::u16string_view r = t_.substr(i_ + 1, end - i_ - 1);
        i_ = end + 1;
        if (r == u"amp") return u"&";
        if (r == u"lt") return u"<";
        if (r == u"gt") return u">";
        if (r == u"quot") return u"\"";
        if (r == u"apos") return u"'";
        if (r.size() > 1 && r[0] == u'#') {
            const bool hex = r[1] == u'x';
            uint32_t code = 0;
            for (char16_t c : r.substr(hex ? 2 : 1)) {
                int d = c >= u'0' && c <= u'9' ? c - u'0'
                        : hex && c >= u'a' && c <= u'f' ? c - u'a' + 10
                        : hex && c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                        : -1;
                if (d < 0) fail("bad character reference");
                code = code * (hex ? 16 : 10) + static_cast<uint32_t>(d);
            }
            if (code == 0 || code > 0xFFFF) fail("character reference out of range");
            return std::u16string(1, static_cast<char16_t>(code));
        }
        fail("unknown entity");
    }
    XmlElement element() {
        ++i_;  // '<'
        XmlElement e;
        e.name = name();
        for (;;) {
            skip_blanks();
            if (at(u"/>")) {
                i_ += 2;
                return e;
            }
            if (at(u">")) {
                ++i_;
                break;
            }
            std::u16string attr = name();
            if (e.has(attr)) fail("attribute " + host::to_utf8(attr) + " given twice");
            skip_blanks();
            if (!at(u"=")) fail("'=' was expected");
            ++i_;
            skip_blanks();
            e.attributes.emplace_back(std::move(attr), value());
        }
        for (;;) {
            skip_misc();
            if (i_ >= t_.size()) fail("element " + host::to_utf8(e.name) + " is not closed");
            if (at(u"</")) {
                i_ += 2;
                if (name() != e.name) fail("end tag does not match " + host::to_utf8(e.name));
                skip_blanks();
                if (!at(u">")) fail("'>' was expected");
                ++i_;
                return e;
            }
            if (at(u"<![CDATA[") || at(u"<!")) fail("unexpected markup");
            if (!at(u"<")) fail("text inside element " + host::to_utf8(e.name));
            e.children.push_back(element());
        }
    }

    std::u16string_view t_;
    size_t i_ = 0;
};

}  // namespace

std::u16string XmlElement::attribute(std::u16string_view n) const {
    for (const auto& [k, v] : attributes)
        if (k == n) return v;
    return {};
}

bool XmlElement::has(std::u16string_view n) const {
    for (const auto& a : attributes)
        if (a.first == n) return true;
    return false;
}

XmlElement read_xml(std::u16string_view text) { return Reader(text).document(); }

}  // namespace sim
