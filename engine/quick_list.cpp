// The quick list run of the mChoose module: a distribution list from the default Contacts
// folder and its direct subfolders, named after the picked categories.
#include "engine/quick_list.h"

#include "engine/categories.h"
#include "engine/members.h"
#include "engine/messages.h"
#include "engine/save_list.h"

namespace engine {

void MakeQuickList(RunContext& run) {
    const host::Application& app = run.application();
    host::NameSpace mapi = app.GetNamespace(u"MAPI");
    host::MAPIFolder folder = mapi.GetDefaultFolder(host::olFolderContacts);
    host::DistListItem scratch_list(app.CreateItem(host::olDistributionListItem));
    MemberStore members{host::SafeMailItem(run.env.create_object(host::progid_safe_mail_item))};
    host::SafeDistList safe_list(run.env.create_object(host::progid_safe_dist_list));
    host::Object scratch_mail = app.CreateItem(host::olMailItem);
    host::Object list_item = app.CreateItem(host::olDistributionListItem);
    members.mail.SetItem(scratch_mail);
    safe_list.SetItem(list_item);

    scratch_list.ShowCategoriesDialog();
    const std::u16string selection = scratch_list.Categories();
    if (selection.empty()) {
        host::MsgBox(run.env, text::no_categories);
        run.windows.back_to_work_type();
        return;
    }
    const std::vector<std::u16string> names =
        SplitCategories(selection, FindCategorySeparator(selection));

    run.ProgressCount = 0;
    run.ItemTotal = 1;
    for (const auto& name : names) {
        host::Items restricted = folder.GetItems().Restrict(CategoryFilter(name));
        CountSubfolderMatches(run, folder, name);
        CountMatches(run, restricted);
    }

    int32_t answer = host::MsgBox(run.env, text::one_email_question, host::vbYesNo | host::vbInformation);
    run.AllEmails = answer == host::vbYes ? host::False : host::True;

    run.windows.show_progress();
    run.windows.set_progress_max(static_cast<float>(run.ItemTotal));
    run.windows.refresh_progress();
    for (const auto& name : names) {
        host::Items restricted = folder.GetItems().Restrict(CategoryFilter(name));
        AddContacts(run, restricted, members);
        AddSubfolderContacts(run, folder, members, name);
    }
    run.windows.unload_progress();
    host::MsgBox(run.env, text::quick_thanks);

    const ListSource source{ListSource::Kind::quick, run.AllEmails == host::True, {}, {}};
    std::u16string entry_id =
        FillAndSaveList(run, safe_list, list_item, members, [&] { return selection; }, selection, source);
    host::DistListItem(mapi.GetItemFromID(entry_id)).Display();
    run.windows.show_done();
}

}  // namespace engine
