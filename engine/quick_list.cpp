// The quick list run: a distribution list from the default Contacts folder and its direct
// subfolders, named after the picked categories.
#include "addin/process_state.h"
#include "engine/messages.h"
#include "engine/mchoose.h"

namespace engine {

void MakeQuickList(addin::ProcessState& s) {
    const host::Application& app = s.application();
    host::NameSpace ns = app.GetNamespace(u"MAPI");
    host::MAPIFolder folder = ns.GetDefaultFolder(host::olFolderContacts);
    host::DistListItem scratch_list(app.CreateItem(host::olDistributionListItem));
    MemberStore members{host::SafeMailItem(s.env.create_object(host::progid_safe_mail_item))};
    host::SafeDistList safe_list(s.env.create_object(host::progid_safe_dist_list));
    host::Object scratch_mail = app.CreateItem(host::olMailItem);
    host::Object list_item = app.CreateItem(host::olDistributionListItem);
    members.mail.SetItem(scratch_mail);
    safe_list.SetItem(list_item);

    scratch_list.ShowCategoriesDialog();
    const std::u16string selection = scratch_list.Categories();
    if (selection.empty()) {
        host::MsgBox(s.env, text::no_categories);
        s.position.place(s.forms.frmChoose);
        s.forms.frmChoose.show();
        return;
    }
    const std::vector<std::u16string> names =
        SplitCategories(selection, FindCategorySeparator(selection));

    s.ProgressCount = 0;
    s.ItemTotal = 1;
    for (const auto& name : names) {
        host::Items restricted = folder.GetItems().Restrict(CategoryFilter(name));
        CountSubfolderMatches(s, folder, name);
        CountMatches(s, restricted);
    }

    int32_t answer = host::MsgBox(s.env, text::one_email_question, host::vbYesNo | host::vbInformation);
    s.AllEmails = answer == host::vbYes ? host::False : host::True;

    auto& bar = s.forms.frmPBar;
    bar.show();
    bar.SetMax(static_cast<float>(s.ItemTotal));
    bar.refresh();
    for (const auto& name : names) {
        host::Items restricted = folder.GetItems().Restrict(CategoryFilter(name));
        AddContacts(s, restricted, members);
        AddSubfolderContacts(s, folder, members, name);
    }
    bar.unload();
    host::MsgBox(s.env, text::quick_thanks);

    std::u16string entry_id = FillAndSaveList(
        safe_list, list_item, members.mail, [&] { return selection; }, selection);
    host::DistListItem(ns.GetItemFromID(entry_id)).Display();
    s.forms.frmDone.show();
}

}  // namespace engine
