#include "engine/collect.h"

#include "engine/categories.h"
#include "engine/members.h"
#include "engine/messages.h"
#include "host/skip.h"

namespace engine {

namespace {

// One step of a run, as the run meets failures.
template <class Step>
void step(OnFailure on_failure, Step&& s) {
    if (on_failure == OnFailure::skip)
        host::skip(s);
    else
        s();
}

// The folder's items of one category. When the run skips failures and the host cannot give
// the folder's items, nothing, and `refused` says why: that name is then left out rather than
// walking another name's items again.
std::optional<CategoryItems> category_items(RunContext& run, const Collection& from, std::u16string_view name,
                                            std::optional<host::Failure>* refused = nullptr) {
    try {
        return ItemsInCategory(run, from.folder, name);
    } catch (const host::Failure& f) {
        if (from.on_failure == OnFailure::stop) throw;
        if (refused) *refused = f;
        return std::nullopt;
    }
}

// Whether the host can say which folders it hides: from version 12 on, through a folder's
// PropertyAccessor. A host that cannot say its version is taken for one that cannot tell, and
// every subfolder is searched.
bool tells_hidden(const RunContext& run) {
    bool tells = false;
    host::skip([&] { tells = host::MajorVersion(run.application().Version()) >= host::first_property_accessor_version; });
    return tells;
}

// One category's contacts into the list. Under OnFailure::skip a failure that stops the walk
// of the category is recorded against it; under stop it ends the run. A subfolder that cannot
// be searched is recorded either way (AddSubfolderContacts).
void add_category(RunContext& run, const Collection& from, const std::vector<host::MAPIFolder>& subfolders,
                  std::u16string_view name, MemberStore& members) {
    std::optional<host::Failure> failed;
    if (auto items = category_items(run, from, name, &failed)) {
        try {
            AddContacts(run, *items, members);
        } catch (const host::Failure& f) {
            if (from.on_failure == OnFailure::stop) throw;
            failed = f;
        }
    }
    if (failed) LeaveOutCategory(members, from.folder, name, *failed);
    // Each subfolder that cannot be searched is recorded there, never thrown.
    if (from.subfolders) AddSubfolderContacts(run, subfolders, members, name);
}

}  // namespace

bool AskAllEmails(RunContext& run, OnFailure on_failure) {
    const auto one_address = [&] {
        return host::MsgBox(run.env, text::one_email_question, host::vbYesNo | host::vbInformation) == host::vbYes;
    };
    return on_failure == OnFailure::skip ? !host::met_or_failed(one_address) : !one_address();
}

void CollectMembers(RunContext& run, const Collection& from, MemberStore& members, std::optional<bool> all_emails) {
    run.ProgressCount = 0;
    run.ItemTotal = 1;
    // The subfolders are listed once, so that the count and the fill search the same ones.
    std::vector<host::MAPIFolder> subfolders;
    if (from.subfolders)
        step(from.on_failure, [&] { subfolders = SearchedSubfolders(from.folder, tells_hidden(run)); });
    for (const auto& name : from.names) {
        auto items = category_items(run, from, name);
        if (from.subfolders) CountSubfolderMatches(run, subfolders, name);  // never fails: only the bar's total
        if (items) step(from.on_failure, [&] { CountMatches(run, *items); });
    }
    if (!all_emails) all_emails = AskAllEmails(run, from.on_failure);
    run.AllEmails = *all_emails ? host::True : host::False;

    const auto fill = [&] {
        for (const auto& name : from.names) add_category(run, from, subfolders, name, members);
    };
    const auto max = [&] { run.windows.set_progress_max(static_cast<float>(run.ItemTotal)); };
    if (from.on_failure == OnFailure::skip) {
        // Every step of its own, the total set before the bar shows.
        host::skip(max);
        host::skip([&] { run.windows.show_progress(); });
        host::skip([&] { run.windows.refresh_progress(); });
        fill();
        host::skip([&] { run.windows.unload_progress(); });
        return;
    }
    // A failure leaves the progress window to whatever started the run, which closes it.
    run.windows.show_progress();
    max();
    run.windows.refresh_progress();
    fill();
    run.windows.unload_progress();
}

void TellWhatWasLeftOut(RunContext& run, const LeftOut& left_out) {
    if (!left_out.empty()) host::MsgBox(run.env, text::left_out(left_out), host::vbOKOnly | host::vbExclamation);
}

bool IsContactFolder(RunContext& run, const host::MAPIFolder& folder, OnFailure on_failure) {
    if (!folder) {
        step(on_failure, [&] { host::MsgBox(run.env, text::no_folder); });
        return false;
    }
    const auto wrong_type = [&] { return folder.DefaultItemType() != host::olContactItem; };
    if (on_failure == OnFailure::skip ? host::met_or_failed(wrong_type) : wrong_type()) {
        step(on_failure, [&] { host::MsgBox(run.env, text::wrong_folder); });
        return false;
    }
    return true;
}

}  // namespace engine
