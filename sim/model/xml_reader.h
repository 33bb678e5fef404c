#pragma once
// A reader for the small XML documents that the substitute host is handed (the add-in's
// ribbon): elements, attributes, comments, the declaration and the five named and the
// numeric character references. Text between elements must be blank. Names are kept as
// written, prefixes included. Not a validating parser: the schema check is the tests' job.
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

struct XmlElement {
    std::u16string name;
    std::vector<std::pair<std::u16string, std::u16string>> attributes;  // in document order
    std::vector<XmlElement> children;

    // The attribute's value; empty when it is absent.
    std::u16string attribute(std::u16string_view name) const;
    bool has(std::u16string_view name) const;
};

class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The document's root element; XmlError (saying where) when the text is not well formed.
XmlElement read_xml(std::u16string_view text);

}  // namespace sim
