#include "engine/list_source.h"

#include <vector>

#include "host/skip.h"

namespace engine {

namespace {

std::vector<std::u16string_view> split(std::u16string_view text, char16_t separator) {
    std::vector<std::u16string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::u16string_view::npos ? at : at - start));
        if (at == std::u16string_view::npos) return parts;
        start = at + 1;
    }
}

}  // namespace

std::u16string source_text(const ListSource& source) {
    std::u16string text = source.kind == ListSource::Kind::quick ? u"quick" : u"custom";
    text += source.all_emails ? u";all" : u";one";
    if (source.kind == ListSource::Kind::custom)
        text += u";" + source.folder_entry_id + u";" + source.folder_store_id;
    return text;
}

std::optional<ListSource> parse_source(std::u16string_view text) {
    const auto parts = split(text, u';');
    ListSource s;
    if (parts.size() == 2 && parts[0] == u"quick") {
        s.kind = ListSource::Kind::quick;
    } else if (parts.size() == 4 && parts[0] == u"custom" && !parts[2].empty()) {
        s.kind = ListSource::Kind::custom;
        s.folder_entry_id = parts[2];
        s.folder_store_id = parts[3];
    } else {
        return std::nullopt;
    }
    if (parts[1] != u"one" && parts[1] != u"all") return std::nullopt;
    s.all_emails = parts[1] == u"all";
    return s;
}

void RecordFolder(ListSource& source, const host::MAPIFolder& folder) {
    host::skip([&] {
        source.folder_entry_id = folder.EntryID();
        source.folder_store_id = folder.StoreID();
    });
}

void RecordSource(const host::DistListItem& list, const ListSource& source) {
    if (source.kind == ListSource::Kind::custom && source.folder_entry_id.empty()) return;
    host::skip([&] {
        host::UserProperties properties = list.GetUserProperties();
        host::UserProperty property = properties.Find(source_property);
        if (!property) property = properties.AddText(source_property);
        property.SetValue(source_text(source));
    });
}

std::optional<ListSource> ReadSource(const host::DistListItem& list) {
    std::optional<ListSource> source;
    host::skip([&] {
        host::UserProperty property = list.GetUserProperties().Find(source_property);
        if (property) source = parse_source(property.Value());
    });
    return source;
}

}  // namespace engine
