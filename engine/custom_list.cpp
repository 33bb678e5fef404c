// The custom list run, the mtitle module: a distribution list from a folder the user picks,
// under the name typed on the list name page. From the first folder test on, a failing step
// is dropped and the run goes on, so the user always gets back to a page.
#include "engine/custom_list.h"

#include "engine/categories.h"
#include "engine/collect.h"
#include "engine/messages.h"
#include "engine/save_list.h"
#include "host/skip.h"

namespace engine {

using host::skip;

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

    if (!IsContactFolder(run, folder, OnFailure::skip)) {
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
    std::vector<std::u16string> names;
    skip([&] { run.separator = CategorySeparator(run.env, selection); });
    skip([&] { names = CategoryNames(selection, run.separator); });

    CollectMembers(run, {folder, names, false, OnFailure::skip}, members);
    skip([&] { TellWhatWasLeftOut(run, members.left_out); });
    skip([&] { host::MsgBox(run.env, text::custom_thanks); });

    // Filling, naming and saving the list are not skipped one by one: a list that could not
    // be made must not be announced as made. The failure goes to the page, which tells the
    // user and keeps the typed name for another try.
    ListSource source{ListSource::Kind::custom, run.AllEmails == host::True, {}, {}};
    RecordFolder(source, folder);
    const std::u16string entry_id = SaveList(run, members,
                                             {std::move(list_item), std::move(safe_list), {},
                                              [&] { return run.windows.list_name(); }, selection, source})
                                        .entry_id;
    skip([&] { host::DistListItem(mapi.GetItemFromID(entry_id)).Display(); });
    skip([&] { run.windows.clear_list_name(); });
    skip([&] { run.windows.show_done(); });
}

}  // namespace engine
