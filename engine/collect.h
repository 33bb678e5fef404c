#pragma once
// What every run does between knowing its categories and saving its list, written once: the
// matches are counted category by category (the progress bar's total), the user says whether
// a contact gives one address or all of them, and the members are collected with the
// progress bar shown. And the check of a folder the user picked.
#include <optional>
#include <string>
#include <vector>

#include "engine/left_out.h"
#include "engine/member_store.h"
#include "engine/run_context.h"
#include "host/outlook.h"

namespace engine {

// How a run meets a failing step: the quick run and an update stop at it (the failure goes
// up to whatever started the run); the custom run drops the step and goes on, so that the
// user always gets back to a page.
enum class OnFailure { stop, skip };

// Where the members come from: each category's contacts in the folder, category by
// category, and with `subfolders` (the quick run's) those of its direct subfolders after
// the folder's own.
struct Collection {
    host::MAPIFolder folder;
    std::vector<std::u16string> names;
    bool subfolders = false;
    OnFailure on_failure = OnFailure::stop;
};

// The e-mail question: true when the user wants every address of a contact. Under
// OnFailure::skip a question that fails counts as the answer "one address".
bool AskAllEmails(RunContext& run, OnFailure on_failure);

// Counts the matches, asks the e-mail question unless the answer is given, and collects the
// members; AllEmails is the answer. The progress bar is shown while the members are
// collected; under OnFailure::stop a failure leaves it to whatever started the run.
void CollectMembers(RunContext& run, const Collection& from, MemberStore& members,
                    std::optional<bool> all_emails = std::nullopt);

// When a failure kept contacts or categories out of the list, one message that says which
// and why, before the run's closing message; nothing otherwise.
void TellWhatWasLeftOut(RunContext& run, const LeftOut& left_out);

// A folder the user picked, checked: true when it is a folder of contacts. Otherwise the
// user has been told that no folder was picked, or that it holds no contacts. Under
// OnFailure::skip a type that cannot be read counts as the wrong type.
bool IsContactFolder(RunContext& run, const host::MAPIFolder& folder, OnFailure on_failure);

}  // namespace engine
