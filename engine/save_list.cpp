#include "engine/save_list.h"

#include <optional>
#include <vector>

#include "engine/messages.h"
#include "host/failure.h"
#include "host/skip.h"
#include "host/text.h"

namespace engine {

namespace {

int32_t member_count(const host::SafeDistList& list) { return host::DistListItem(list.Item()).MemberCount(); }

// Names, files and saves a list, closes it and lets go of it; its entry ID. `on_saved` runs
// as soon as the store has the list.
template <class OnSaved>
std::u16string save(host::SafeDistList& safe_list, host::Object& list_item, std::u16string_view subject,
                    std::u16string_view categories, const ListSource& source, OnSaved&& on_saved) {
    safe_list.object().put(u"Subject", subject);
    safe_list.object().put(u"Categories", categories);
    host::DistListItem saved(safe_list.Item());
    RecordSource(saved, source);
    saved.Save();
    on_saved();
    std::u16string entry_id = saved.EntryID();
    saved.Close(host::olDiscard);
    // The list is read anew from the store to be shown; the run lets go of what it filled.
    safe_list.reset();
    list_item.reset();
    return entry_id;
}

// No success follows a loss: the run ends with a failure that counts what was lost, in the
// words of the store's own refusal when there was one.
[[noreturn]] void raise_not_stored(size_t not_stored, size_t collected, const std::optional<host::Failure>& refused) {
    const std::u16string lost = text::members_not_stored(not_stored, collected);
    if (refused) host::raise(refused->number(), refused->description() + u" " + lost);
    host::raise(host::errors::list_full, lost);
}

// A list that is being filled: its item and the wrapper that fills it.
struct Part {
    host::Object item;
    host::SafeDistList safe;
    size_t members = 0;
};

// Finds how many consecutive members each list takes, the first part being the list the run
// filled at once (which holds `held` of them). Each next part is tried in chunks as large as
// the part before, each chunk from a scratch mail of its own; a chunk the store refuses whole
// is halved until it fits or a single member does not. Each trial list is let go as soon as
// it is measured, so that a store's limit on open items is never neared however many parts
// there are.
class PartFiller {
public:
    PartFiller(RunContext& run, const std::vector<std::u16string>& texts) : run_(run), texts_(texts) {}

    // The parts' sizes; `stored()` says how many members they hold in all, the rest could
    // not be stored.
    std::vector<size_t> measure(size_t first, std::optional<host::Failure>& last_failure) {
        std::vector<size_t> parts;
        next_ = first;
        // The first part's size is the best guess at the next one's; where the store took
        // none at once (it refuses a list too large whole), the rest is tried whole and halved.
        size_t chunk = first > 0 ? first : texts_.size();
        if (first > 0) parts.push_back(first);
        while (next_ < texts_.size()) {
            Part part = fresh_list();
            const size_t before = next_;
            while (next_ < texts_.size()) {
                const size_t c = std::min(chunk, texts_.size() - next_);
                size_t added = 0;
                try {
                    added = add(part, next_, c);
                } catch (const host::Failure& f) {
                    last_failure = f;
                    if (c == 1) break;
                    chunk = c / 2;
                    continue;
                }
                next_ += added;
                part.members += added;
                if (added < c) break;  // the part is full
            }
            if (next_ == before) break;  // not one more member is taken
            chunk = std::max<size_t>(part.members, 1);
            parts.push_back(part.members);
        }
        return parts;
    }

    size_t stored() const { return next_; }

    // A new list holding texts [from, from + count), which the store took as one part before.
    Part filled(size_t from, size_t count) {
        Part part = fresh_list();
        part.members = add(part, from, count);
        return part;
    }

    // The existing list, emptied and given texts [0, count) instead.
    Part refilled(host::Object item, host::SafeDistList safe, size_t count) {
        RemoveAllMembers(host::DistListItem(item));
        Part part{std::move(item), std::move(safe), 0};
        part.members = add(part, 0, count);
        return part;
    }

private:
    Part fresh_list() {
        const host::Application& app = run_.application();
        Part p;
        p.item = app.CreateItem(host::olDistributionListItem);
        p.safe = host::SafeDistList(run_.env.create_object(host::progid_safe_dist_list));
        p.safe.SetItem(p.item);
        return p;
    }

    // Adds texts [from, from + count) to the part through a scratch mail; how many it took.
    size_t add(Part& part, size_t from, size_t count) {
        host::SafeMailItem mail(run_.env.create_object(host::progid_safe_mail_item));
        host::Object scratch = run_.application().CreateItem(host::olMailItem);
        mail.SetItem(scratch);
        host::SafeRecipients recipients = mail.Recipients();
        for (size_t i = from; i < from + count; ++i) recipients.Add(texts_[i]);
        const int32_t before = member_count(part.safe);
        part.safe.AddMembers(recipients);
        return static_cast<size_t>(member_count(part.safe) - before);
    }

    RunContext& run_;
    const std::vector<std::u16string>& texts_;
    size_t next_ = 0;
};

}  // namespace

void RemoveAllMembers(const host::DistListItem& list) {
    for (int32_t i = list.MemberCount(); i >= 1; --i) list.RemoveMember(list.GetMember(i));
}

namespace {

// Fills the list, or the parts it takes, and saves them. `existing_saved` is true once an
// existing list is saved.
SavedList fill_and_save(RunContext& run, MemberStore& members, ListToSave& list, bool& existing_saved) {
    const bool existing = static_cast<bool>(list.existing);
    const auto when_first_saved = [&] { existing_saved = existing; };
    const size_t collected = members.texts.size();
    std::optional<host::Failure> refused;
    try {
        list.safe_list.AddMembers(members.mail.Recipients());
    } catch (const host::Failure& f) {
        refused = f;
    }
    const size_t held = refused ? 0 : static_cast<size_t>(member_count(list.safe_list));
    if (!refused && held >= collected)
        return {save(list.safe_list, list.item, list.name(), list.categories, list.source, when_first_saved), 1};

    // Fewer taken than collected: the members go into as many lists as it takes, measured
    // first, then filled and saved one at a time under their final names.
    members.mail.reset();
    host::Object kept_item;
    host::SafeDistList kept_safe;
    if (existing) {
        kept_item = std::move(list.item);
        kept_safe = std::move(list.safe_list);
    }
    list.safe_list.reset();
    list.item.reset();
    PartFiller filler(run, members.texts);
    const std::vector<size_t> sizes = filler.measure(held, refused);
    // An existing list is not given up for parts that would still lose members.
    if (existing && filler.stored() < collected) raise_not_stored(collected - filler.stored(), collected, refused);
    const std::u16string name = list.name();
    const size_t k = sizes.size();
    std::u16string first_id;
    size_t not_stored = collected - filler.stored();
    size_t from = 0;
    for (size_t p = 0; p < k; from += sizes[p], ++p) {
        try {
            Part part = existing && p == 0 ? filler.refilled(std::move(kept_item), std::move(kept_safe), sizes[p])
                                           : filler.filled(from, sizes[p]);
            if (part.members != sizes[p]) {  // the store took another number this time
                not_stored += sizes[p] - std::min(sizes[p], part.members);
                if (!refused) refused = host::Failure(host::errors::list_full, u"");
            }
            // Taken whole after all: the one list keeps the run's own name.
            const std::u16string part_name =
                k == 1 && not_stored == 0 ? name : text::part_name(name, p + 1, k);
            std::u16string id = save(part.safe, part.item, part_name, list.categories, list.source, [&] {
                if (p == 0) when_first_saved();
            });
            if (first_id.empty()) first_id = id;
        } catch (const host::Failure& f) {
            not_stored += sizes[p];
            refused = f;
        }
    }
    if (k == 1 && not_stored == 0) return {first_id, 1};
    if (not_stored > 0) raise_not_stored(not_stored, collected, refused);
    host::MsgBox(run.env, text::saved_as_parts(collected, k, name), host::vbOKOnly | host::vbInformation);
    return {first_id, k};
}

}  // namespace

SavedList SaveList(RunContext& run, MemberStore& members, ListToSave list) {
    bool existing_saved = false;
    if (!list.existing) return fill_and_save(run, members, list, existing_saved);
    try {
        RemoveAllMembers(list.existing);
        list.safe_list = host::SafeDistList(run.env.create_object(host::progid_safe_dist_list));
        list.item = list.existing.object();
        list.safe_list.SetItem(list.item);
        return fill_and_save(run, members, list, existing_saved);
    } catch (const host::Failure& f) {
        // Saved already: the failure came after, and says itself what it was.
        if (existing_saved) throw;
        // Whatever was changed in the item goes: the store still holds the list as it was.
        host::skip([&] { list.existing.Close(host::olDiscard); });
        host::raise(f.number(), text::update_failed(list.name()) + u" " + f.description());
    }
}

}  // namespace engine
