// The custom list run, the mtitle module: a distribution list from a folder the user picks,
// under the name typed on the list name page. From the first folder test on, a failing step
// is dropped and the run goes on, so the user always gets back to a page.
#include "engine/custom_list.h"

#include <optional>

#include "engine/categories.h"
#include "engine/members.h"
#include "engine/messages.h"
#include "engine/save_list.h"
#include "host/skip.h"

namespace engine {

using host::met_or_failed;
using host::skip;

namespace {

// The folder's items restricted to one category, or nothing when the host refuses the
// filter: that name is then left out rather than walking another name's items again.
std::optional<host::Items> restrict_to(const host::MAPIFolder& folder, std::u16string_view name) {
    try {
        return folder.GetItems().Restrict(CategoryFilter(name));
    } catch (const host::Failure&) {
        return std::nullopt;
    }
}

}  // namespace

void MakeCustomList(RunContext& run) {
    const host::Application& app = run.application();
    host::NameSpace mapi = app.GetNamespace(u"MAPI");
    host::Object scratch_mail = app.CreateItem(host::olMailItem);
    host::Object list_item = app.CreateItem(host::olDistributionListItem);
    host::DistListItem scratch_list(app.CreateItem(host::olDistributionListItem));
    host::MAPIFolder folder = mapi.PickFolder();
    MemberStore members{host::SafeMailItem(run.env.create_object(host::progid_safe_mail_item))};
    host::SafeDistList safe_list(run.env.create_object(host::progid_safe_dist_list));
    members.mail.SetItem(scratch_mail);
    safe_list.SetItem(list_item);

    if (!folder) {
        skip([&] { host::MsgBox(run.env, text::no_folder); });
        run.windows.back_to_name_page_at_position();
        return;
    }
    if (met_or_failed([&] { return folder.DefaultItemType() != host::olContactItem; })) {
        skip([&] { host::MsgBox(run.env, text::wrong_folder); });
        run.windows.back_to_name_page_at_position();
        return;
    }

    std::u16string selection;
    skip([&] { scratch_list.ShowCategoriesDialog(); });
    skip([&] { selection = scratch_list.Categories(); });
    if (selection.empty()) {
        skip([&] { host::MsgBox(run.env, text::no_categories); });
        skip([&] { run.windows.back_to_name_page(); });
        return;
    }
    std::u16string separator;
    std::vector<std::u16string> names;
    skip([&] { separator = FindCategorySeparator(selection); });
    skip([&] { names = SplitCategories(selection, separator); });

    run.ProgressCount = 0;
    run.ItemTotal = 1;
    for (const auto& name : names)
        if (auto restricted = restrict_to(folder, name)) skip([&] { CountMatches(run, *restricted); });

    // A failing question counts as the answer Yes: one address per contact.
    bool one_address = met_or_failed([&] {
        return host::MsgBox(run.env, text::one_email_question, host::vbYesNo | host::vbInformation) ==
               host::vbYes;
    });
    run.AllEmails = one_address ? host::False : host::True;

    skip([&] { run.windows.set_progress_max(static_cast<float>(run.ItemTotal)); });
    skip([&] { run.windows.show_progress(); });
    skip([&] { run.windows.refresh_progress(); });
    for (const auto& name : names)
        if (auto restricted = restrict_to(folder, name)) skip([&] { AddContacts(run, *restricted, members); });
    skip([&] { run.windows.unload_progress(); });
    skip([&] { host::MsgBox(run.env, text::custom_thanks); });

    // Filling, naming and saving the list are not skipped one by one: a list that could not
    // be made must not be announced as made. The failure goes to the page, which tells the
    // user and keeps the typed name for another try.
    ListSource source{ListSource::Kind::custom, run.AllEmails == host::True, {}, {}};
    skip([&] {
        source.folder_entry_id = folder.EntryID();
        source.folder_store_id = folder.StoreID();
    });
    std::u16string entry_id = FillAndSaveList(run, safe_list, list_item, members,
                                              [&] { return run.windows.list_name(); }, selection, source);
    skip([&] { host::DistListItem(mapi.GetItemFromID(entry_id)).Display(); });
    skip([&] { run.windows.clear_list_name(); });
    skip([&] { run.windows.show_done(); });
}

}  // namespace engine
