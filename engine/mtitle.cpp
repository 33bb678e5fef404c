// The custom list run: a distribution list from a folder the user picks, under the name typed
// on the list name page. From the first folder test on, a failing step is dropped and the
// run goes on, so the user always gets back to a page.
#include "engine/mtitle.h"

#include <optional>

#include "addin/process_state.h"
#include "engine/mchoose.h"
#include "engine/messages.h"
#include "host/skip.h"

namespace engine {

using host::met;
using host::skip;

namespace {

// Sends the user back to the name page after a folder message.
void back_to_title_at_position(addin::ProcessState& s) {
    auto& page = s.forms.frmTitle;
    skip([&] { page.set_top(static_cast<float>(s.position.top)); });
    skip([&] { page.set_left(static_cast<float>(s.position.left)); });
    skip([&] { page.show(); });
}

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

void MakeCustomList(addin::ProcessState& s) {
    const host::Application& app = s.application();
    host::NameSpace ns = app.GetNamespace(u"MAPI");
    host::Object scratch_mail = app.CreateItem(host::olMailItem);
    host::Object list_item = app.CreateItem(host::olDistributionListItem);
    host::DistListItem scratch_list(app.CreateItem(host::olDistributionListItem));
    host::MAPIFolder folder = ns.PickFolder();
    MemberStore members{host::SafeMailItem(s.env.create_object(host::progid_safe_mail_item))};
    host::SafeDistList safe_list(s.env.create_object(host::progid_safe_dist_list));
    members.mail.SetItem(scratch_mail);
    safe_list.SetItem(list_item);

    if (!folder) {
        skip([&] { host::MsgBox(s.env, text::no_folder); });
        back_to_title_at_position(s);
        return;
    }
    if (met([&] { return folder.DefaultItemType() != host::olContactItem; })) {
        skip([&] { host::MsgBox(s.env, text::wrong_folder); });
        back_to_title_at_position(s);
        return;
    }

    std::u16string selection;
    skip([&] { scratch_list.ShowCategoriesDialog(); });
    skip([&] { selection = scratch_list.Categories(); });
    if (selection.empty()) {
        skip([&] { host::MsgBox(s.env, text::no_categories); });
        skip([&] { s.forms.frmTitle.show(); });
        return;
    }
    std::u16string separator;
    std::vector<std::u16string> names;
    skip([&] { separator = FindCategorySeparator(selection); });
    skip([&] { names = SplitCategories(selection, separator); });

    s.ProgressCount = 0;
    s.ItemTotal = 1;
    for (const auto& name : names)
        if (auto restricted = restrict_to(folder, name)) skip([&] { CountMatches(s, *restricted); });

    // A failing question counts as the answer Yes: one address per contact.
    bool one_address = met([&] {
        return host::MsgBox(s.env, text::one_email_question, host::vbYesNo | host::vbInformation) ==
               host::vbYes;
    });
    s.AllEmails = one_address ? host::False : host::True;

    auto& bar = s.forms.frmPBar;
    skip([&] { bar.SetMax(static_cast<float>(s.ItemTotal)); });
    skip([&] { bar.show(); });
    skip([&] { bar.refresh(); });
    for (const auto& name : names)
        if (auto restricted = restrict_to(folder, name)) skip([&] { AddContacts(s, *restricted, members); });
    skip([&] { bar.unload(); });
    skip([&] { host::MsgBox(s.env, text::custom_thanks); });

    // Filling, naming and saving the list are not skipped one by one: a list that could not
    // be made must not be announced as made. The failure goes to the page, which tells the
    // user and keeps the typed name for another try.
    std::u16string entry_id = FillAndSaveList(
        safe_list, list_item, members.mail, [&] { return s.forms.frmTitle.subject(); }, selection);
    skip([&] { host::DistListItem(ns.GetItemFromID(entry_id)).Display(); });
    skip([&] { s.forms.frmTitle.set_subject(u""); });
    skip([&] { s.forms.frmDone.show(); });
}

}  // namespace engine
