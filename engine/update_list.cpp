#include "engine/update_list.h"

#include <algorithm>
#include <optional>
#include <unordered_set>
#include <vector>

#include "engine/categories.h"
#include "engine/list_source.h"
#include "engine/members.h"
#include "engine/messages.h"
#include "engine/save_list.h"
#include "host/redemption.h"
#include "host/skip.h"
#include "host/text.h"

namespace engine {

namespace {

// The folder the list's members come from, and the source to record. Nothing when the user
// cancels or the folder cannot be had; the user has been told why.
struct Origin {
    host::MAPIFolder folder;
    ListSource source;
};

std::optional<Origin> recorded_origin(RunContext& run, const host::NameSpace& mapi, const ListSource& source) {
    Origin o{{}, source};
    try {
        o.folder = source.kind == ListSource::Kind::quick
                       ? mapi.GetDefaultFolder(host::olFolderContacts)
                       : mapi.GetFolderFromID(source.folder_entry_id, source.folder_store_id);
    } catch (const host::Failure&) {
    }
    if (!o.folder) {
        host::MsgBox(run.env, text::update_folder_gone);
        return std::nullopt;
    }
    return o;
}

// A list that does not say where it came from: the user says, as a new run would ask.
std::optional<Origin> asked_origin(RunContext& run, const host::NameSpace& mapi) {
    Origin o;
    const int32_t where = host::MsgBox(run.env, text::update_where_question, host::vbYesNoCancel | host::vbQuestion);
    if (where == host::vbCancel) return std::nullopt;
    if (where == host::vbYes) {
        o.source.kind = ListSource::Kind::quick;
        o.folder = mapi.GetDefaultFolder(host::olFolderContacts);
    } else {
        o.source.kind = ListSource::Kind::custom;
        o.folder = mapi.PickFolder();
        if (!o.folder) {
            host::MsgBox(run.env, text::no_folder);
            return std::nullopt;
        }
        if (o.folder.DefaultItemType() != host::olContactItem) {
            host::MsgBox(run.env, text::wrong_folder);
            return std::nullopt;
        }
        host::skip([&] {
            o.source.folder_entry_id = o.folder.EntryID();
            o.source.folder_store_id = o.folder.StoreID();
        });
    }
    const int32_t answer = host::MsgBox(run.env, text::one_email_question, host::vbYesNo | host::vbInformation);
    o.source.all_emails = answer != host::vbYes;
    return o;
}

// The progress window goes however the fill ends.
class ProgressShown {
public:
    explicit ProgressShown(RunContext& run) : run_(run) { run.windows.show_progress(); }
    ~ProgressShown() {
        host::skip([&] { run_.windows.unload_progress(); });
    }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    RunContext& run_;
};

// Collects the members a new run with these categories, folders and choice would collect.
void collect(RunContext& run, const Origin& origin, const std::vector<std::u16string>& names, MemberStore& members) {
    const bool quick = origin.source.kind == ListSource::Kind::quick;
    run.AllEmails = origin.source.all_emails ? host::True : host::False;
    run.ProgressCount = 0;
    run.ItemTotal = 1;
    for (const auto& name : names) {
        host::Items restricted = origin.folder.GetItems().Restrict(CategoryFilter(name));
        if (quick) CountSubfolderMatches(run, origin.folder, name);
        CountMatches(run, restricted);
    }
    ProgressShown progress(run);
    run.windows.set_progress_max(static_cast<float>(run.ItemTotal));
    run.windows.refresh_progress();
    for (const auto& name : names) {
        AddContacts(run, origin.folder.GetItems().Restrict(CategoryFilter(name)), members);
        if (quick) AddSubfolderContacts(run, origin.folder, members, name);
    }
}

}  // namespace

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
    const std::vector<std::u16string> names = SplitCategories(categories, FindCategorySeparator(categories));

    const std::optional<ListSource> recorded = ReadSource(list);
    const std::optional<Origin> origin = recorded ? recorded_origin(run, mapi, *recorded) : asked_origin(run, mapi);
    if (!origin) return;

    MemberStore members{host::SafeMailItem(run.env.create_object(host::progid_safe_mail_item))};
    host::Object scratch_mail = app.CreateItem(host::olMailItem);
    members.mail.SetItem(scratch_mail);
    collect(run, *origin, names, members);

    // What changes, by address (ignoring letter case, as the host compares them), as the
    // duplicate rule tells members apart.
    std::unordered_set<std::u16string> now;
    for (const auto& t : members.texts) now.insert(host::folded(TextAfterLastSpace(t)));
    std::unordered_set<std::u16string> before;
    const int32_t count = list.MemberCount();
    for (int32_t i = 1; i <= count; ++i) before.insert(host::folded(list.GetMember(i).Address()));
    const size_t kept = static_cast<size_t>(std::count_if(now.begin(), now.end(), [&](const auto& a) { return before.contains(a); }));
    const size_t added = now.size() - kept, removed = before.size() - kept;
    if (added == 0 && removed == 0) {
        host::MsgBox(run.env, text::update_nothing(name, kept), host::vbOKOnly | host::vbInformation);
        return;
    }
    if (host::MsgBox(run.env, text::update_question(name, added, removed, kept), host::vbYesNo | host::vbQuestion) !=
        host::vbYes)
        return;

    std::u16string entry_id;
    bool saved = false;
    try {
        RemoveAllMembers(list);
        host::SafeDistList safe_list(run.env.create_object(host::progid_safe_dist_list));
        host::Object item = list.object();
        safe_list.SetItem(item);
        entry_id = FillAndSaveList(run, safe_list, item, members, [&] { return name; }, categories, origin->source,
                                   &saved);
    } catch (const host::Failure& f) {
        // Saved already: the failure came after, and says itself what it was.
        if (saved) throw;
        // Whatever was changed in the item goes: the store still holds the list as it was.
        host::skip([&] { list.Close(host::olDiscard); });
        host::raise(f.number(), text::update_failed(name) + u" " + f.description());
    }
    host::skip([&] { host::DistListItem(mapi.GetItemFromID(entry_id)).Display(); });
}

}  // namespace engine
