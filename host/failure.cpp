#include "host/failure.h"

#include "host/text.h"

namespace host {

Failure::Failure(int32_t number, std::u16string description, std::u16string source)
    : number_(number), description_(std::move(description)), source_(std::move(source)),
      what_("error " + std::to_string(number) + ": " + to_utf8(description_)) {}

void Failure::note_member(std::u16string_view object, std::u16string_view member) {
    if (member_.empty()) member_ = std::u16string(object) + u"." + std::u16string(member);
}

void raise(int32_t number, std::u16string description) {
    if (description.empty()) {
        switch (number) {
        case errors::overflow: description = u"Overflow"; break;
        case errors::type_mismatch: description = u"Type mismatch"; break;
        case errors::object_required: description = u"Object required"; break;
        case errors::invalid_picture: description = u"Invalid picture"; break;
        case errors::file_not_found: description = u"File not found"; break;
        case errors::entry_point_not_found: description = u"Specified DLL function not found"; break;
        case errors::member_not_found: description = u"Object doesn't support this property or method"; break;
        default: description = u"Application-defined or object-defined error"; break;
        }
    }
    throw Failure(number, std::move(description));
}

void raise_overflow() { raise(errors::overflow); }

Failure cannot_create_object(std::u16string_view progid, std::u16string source) {
    std::u16string description = u"ActiveX component can't create object";
    if (!progid.empty()) description += u" (" + std::u16string(progid) + u")";
    return Failure(errors::cannot_create_object, std::move(description), std::move(source));
}

}  // namespace host
