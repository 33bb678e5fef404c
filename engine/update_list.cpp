#include "engine/update_list.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

#include "engine/categories.h"
#include "engine/collect.h"
#include "engine/list_source.h"
#include "engine/members.h"
#include "engine/messages.h"
#include "engine/save_list.h"
#include "host/redemption.h"
#include "host/skip.h"
#include "host/text.h"

namespace engine {

namespace {

// The folder the list's members come from, and the source to record; `asked` when the user
// said where to look. Nothing when the user cancels or the folder cannot be had; the user has
// been told why.
struct Origin {
    host::MAPIFolder folder;
    ListSource source;
    bool asked = false;
};

// The user says where to look: the default Contacts folder and its subfolders (Yes), a folder
// they pick (No), or nowhere (Cancel). The e-mail choice is left as `source` has it.
std::optional<Origin> ask_where(RunContext& run, const host::NameSpace& mapi, std::u16string_view question,
                                ListSource source) {
    Origin o{{}, source, true};
    const int32_t where = host::MsgBox(run.env, question, host::vbYesNoCancel | host::vbQuestion);
    if (where == host::vbCancel) return std::nullopt;
    o.source.folder_entry_id.clear();
    o.source.folder_store_id.clear();
    if (where == host::vbYes) {
        o.source.kind = ListSource::Kind::quick;
        o.folder = mapi.GetDefaultFolder(host::olFolderContacts);
    } else {
        o.source.kind = ListSource::Kind::custom;
        o.folder = mapi.PickFolder();
        if (!IsContactFolder(run, o.folder, OnFailure::stop)) return std::nullopt;
        RecordFolder(o.source, o.folder);
    }
    return o;
}

// The folder the list records. When it cannot be found (deleted, or moved to another
// mailbox), the user says where to look now: a list can always be updated.
std::optional<Origin> recorded_origin(RunContext& run, const host::NameSpace& mapi, const ListSource& source) {
    Origin o{{}, source};
    if (source.kind == ListSource::Kind::quick) {
        // The default Contacts folder is never gone: a failure to get it is the host's, and told.
        o.folder = mapi.GetDefaultFolder(host::olFolderContacts);
        return o;
    }
    try {
        o.folder = mapi.GetFolderFromID(source.folder_entry_id, source.folder_store_id);
    } catch (const host::Failure&) {
        // The store answers a folder it no longer holds with a failure.
    }
    if (o.folder) return o;
    return ask_where(run, mapi, text::update_folder_gone, source);
}

// A list that does not say where it came from: the user says, as a new run would ask.
std::optional<Origin> asked_origin(RunContext& run, const host::NameSpace& mapi) {
    std::optional<Origin> o = ask_where(run, mapi, text::update_where_question, {});
    if (o) o->source.all_emails = AskAllEmails(run, OnFailure::stop);
    return o;
}

}  // namespace

MemberCounts MembersThatStay(const host::DistListItem& list, const std::vector<std::u16string>& addresses) {
    std::unordered_map<std::u16string, size_t> wanted;
    for (const auto& a : addresses) ++wanted[a];
    size_t left = addresses.size(), kept = 0;
    const auto take = [&](const std::u16string& address) {
        auto it = wanted.find(address);
        if (it == wanted.end() || it->second == 0) return false;
        --it->second;
        --left;
        ++kept;
        return true;
    };
    const int32_t count = list.MemberCount();
    std::vector<std::pair<int32_t, std::u16string>> others;
    for (int32_t i = 1; i <= count; ++i) {
        std::u16string address = list.GetMember(i).Address();
        if (!take(address)) others.emplace_back(i, std::move(address));
    }
    // A host that splits a member's text at its last space shows an address with spaces of
    // its own (an Exchange address) only in part, the rest ending its name: the member's
    // name and address together then end in the whole address the run wrote.
    for (const auto& [i, address] : others) {
        if (left == 0) break;
        const std::u16string text = list.GetMember(i).Name() + u" " + address;
        for (size_t at = text.find(u' '); at != std::u16string::npos; at = text.find(u' ', at + 1))
            if (take(text.substr(at + 1))) break;
    }
    return {static_cast<size_t>(count), kept};
}

host::DistListItem SelectedList(const host::Explorer& explorer) {
    host::Selection selection = explorer.GetSelection();
    if (selection.Count() != 1) return {};
    host::Object item = selection.Item(1);
    return host::ItemClass(item) == host::olDistributionList ? host::DistListItem(item) : host::DistListItem();
}

void UpdateList(RunContext& run, const host::DistListItem& list) {
    const host::Application& app = run.application();
    host::NameSpace mapi = app.GetNamespace(u"MAPI");
    const std::u16string name = list.Subject();
    const std::u16string categories = list.Categories();
    if (categories.empty()) {
        host::MsgBox(run.env, text::update_no_categories);
        return;
    }
    run.separator = CategorySeparator(run.env, categories);
    const std::vector<std::u16string> names = CategoryNames(categories, run.separator);

    const std::optional<ListSource> recorded = ReadSource(list);
    const std::optional<Origin> origin = recorded ? recorded_origin(run, mapi, *recorded) : asked_origin(run, mapi);
    if (!origin) return;
    // Answers once given are kept on the list at once, whatever the update does next, so that
    // the next update does not ask them again.
    if (origin->asked) host::skip([&] {
            RecordSource(list, origin->source);
            list.Save();
        });

    MemberStore members{host::SafeMailItem(run.env.create_object(host::progid_safe_mail_item))};
    host::Object scratch_mail = app.CreateItem(host::olMailItem);
    members.mail.SetItem(scratch_mail);
    try {
        CollectMembers(run, {origin->folder, names, origin->source.kind == ListSource::Kind::quick, OnFailure::stop},
                       members, origin->source.all_emails);
    } catch (const host::Failure&) {
        // No page takes the progress window back from an update.
        host::skip([&] { run.windows.unload_progress(); });
        throw;
    }

    // What changes, counted from the very members the update would save, told apart as the
    // runs' duplicate rule tells them apart (by their whole address): "added" and "stay" make
    // the saved list, "removed" and "stay" the list as it is.
    const auto [count, kept] = MembersThatStay(list, members.text_addresses);
    const size_t added = members.texts.size() - kept, removed = count - kept;
    // The counts say, too, how many contacts could not be read and which folders could not be
    // searched: no one confirms an update that would drop people for a failure they were not
    // told of.
    const std::u16string not_read = members.left_out.empty() ? u"" : text::update_left_out(members.left_out);
    if (added == 0 && removed == 0) {
        host::MsgBox(run.env, text::update_nothing(name, kept) + not_read, host::vbOKOnly | host::vbInformation);
        return;
    }
    if (host::MsgBox(run.env, text::update_question(name, added, removed, kept) + not_read,
                     host::vbYesNo | host::vbQuestion) != host::vbYes)
        return;

    const std::u16string entry_id =
        SaveList(run, members, {{}, {}, list, [&] { return name; }, categories, origin->source}).entry_id;
    host::skip([&] { host::DistListItem(mapi.GetItemFromID(entry_id)).Display(); });
}

}  // namespace engine
