// The quick list run of the mChoose module: a distribution list from the default Contacts
// folder and its direct subfolders, named after the picked categories.
#include "engine/quick_list.h"

#include "engine/categories.h"
#include "engine/collect.h"
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
    run.separator = CategorySeparator(run.env, selection);
    const std::vector<std::u16string> names = CategoryNames(selection, run.separator);

    CollectMembers(run, {folder, names, true, OnFailure::stop}, members);
    TellWhatWasLeftOut(run, members.left_out);
    host::MsgBox(run.env, text::quick_thanks);

    const ListSource source{ListSource::Kind::quick, run.AllEmails == host::True, {}, {}};
    const std::u16string entry_id =
        SaveList(run, members, {std::move(list_item), std::move(safe_list), {}, [&] { return selection; }, selection, source}).entry_id;
    host::DistListItem(mapi.GetItemFromID(entry_id)).Display();
    run.windows.show_done();
}

}  // namespace engine
