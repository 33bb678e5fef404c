#pragma once
// The shared state of one substitute-host run: the profile and its store, the ordered event
// log (effects a person would see or the store would keep, and every host call), the
// choke point every invocation passes (call log, call hooks, fault injection), the scripted
// answers of the modal dialogs, the explorer windows and the count of live host objects.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/dispatch.h"
#include "sim/model/clipboard.h"
#include "sim/model/model.h"

namespace sim {

using Json = nlohmann::json;

class AnswerProvider;  // sim/model/interactive.h

// `text` with its control characters written as escapes (\n, \t, \u001b...): a value echoed
// in a message stays on its one line, reaches the terminal as text and is not cut at a NUL.
std::string printable(std::string_view text);

// A scenario that cannot be played: a dialog opened with no answer waiting, an answer of the
// wrong kind, a folder path the profile does not have, a malformed profile. Deliberately not
// a host::Failure, so that no skip-on-failure step of the add-in can swallow it.
class ScenarioError : public std::runtime_error {
public:
    explicit ScenarioError(const std::string& what) : std::runtime_error(printable(what)) {}
};

enum class AnswerKind { Categories, PickFolder, MsgBox, Guard };

struct Answer {
    AnswerKind kind = AnswerKind::MsgBox;
    std::optional<std::u16string> value;  // nothing: the dialog was cancelled
};

// Fails the Nth call (from 1) of a member; with an object type, the Nth call of that member
// on objects of that type. Names ignore letter case.
struct Fault {
    std::u16string member;
    int64_t occurrence = 1;
    std::u16string object;  // empty: any type
    bool fired = false;     // the call it names has happened and failed
};

// Subscribers of one entity's events, shared by every proxy of that entity.
class EventSource : public std::enable_shared_from_this<EventSource> {
public:
    host::Subscription subscribe(std::u16string_view event, host::EventHandler handler);
    void fire(std::u16string_view event, std::vector<host::Variant>& args);
    size_t subscribers(std::u16string_view event) const;

private:
    struct Entry {
        uint64_t id;
        std::u16string event;  // lower case
        std::shared_ptr<host::EventHandler> handler;
    };
    std::vector<Entry> entries_;
    uint64_t next_id_ = 1;
};

struct CommandBarSet;  // sim/model/command_bars.h

struct ExplorerWindow : Entity {
    std::shared_ptr<CommandBarSet> command_bars;  // built on first use
    std::vector<std::shared_ptr<Item>> selection;  // the items selected in its view, in order
    std::shared_ptr<EventSource> events = std::make_shared<EventSource>();  // SelectionChange, Close
};

struct ExplorerWindows : Entity {
    std::vector<std::shared_ptr<ExplorerWindow>> open;  // in the order they opened
    // The window the user acts in, the one ActiveExplorer gives; null when there is none.
    std::shared_ptr<ExplorerWindow> active;
    std::shared_ptr<EventSource> events = std::make_shared<EventSource>();  // NewExplorer

    // The open window numbered from 1 in the order the windows opened; null when none is.
    std::shared_ptr<ExplorerWindow> number(int64_t n) const {
        return n >= 1 && static_cast<size_t>(n) <= open.size() ? open[static_cast<size_t>(n - 1)] : nullptr;
    }
};

// One call of the service library stand-in, with the arguments it received.
struct ServiceCall {
    std::string call;
    int32_t result = 0;
    void* module = nullptr;
    int32_t arg2 = 0;  // the second and fifth arguments: the library's own integers
    void* app = nullptr;
    int32_t config = 0;
    int32_t arg5 = 0;
};

class World {
public:
    World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    Profile profile;
    ExplorerWindows explorers;
    std::vector<ServiceCall> service_calls;
    // The service library's start-up call has answered: the profile's next answer, if it has
    // one, is the one the next call gives.
    void service_init_answered();

    // Replaces the profile (before the add-in gets any object) and opens its explorer.
    void set_profile(Profile p);

    // --- the store
    // A new entry ID: 32 hex digits, deterministic from a counter.
    std::u16string new_entry_id();
    // Gives an item its entry ID and keeps it in the store.
    void register_item(const std::shared_ptr<Item>& item);
    std::shared_ptr<Item> stored_item(std::u16string_view entry_id) const;

    // --- the event log
    void record(Json event);
    const std::vector<Json>& events() const { return events_; }
    void clear_events() { events_.clear(); }
    bool log_calls = true;  // record a call event for every invocation
    bool log_failures = false;  // record a log event for every failure the support log is told of
    // When set, every event goes here as it is recorded and the log holds none: a long run's
    // transcript is then written as it happens instead of kept.
    std::function<void(const Json&)> write_event;
    uint64_t call_count() const { return call_count_; }

    // --- the choke point: every invocation of a host member passes here before it runs.
    // Records the call, runs the hooks due, then fails it if a fault is due.
    void enter(std::u16string_view type, host::Invoke kind, std::u16string_view member,
               const std::vector<host::Variant>& args);
    void add_fault(Fault fault);
    // The faults whose call never came, by their place in the order they were added.
    std::vector<size_t> unfired_faults() const;
    // How many calls of a member there have been (on one type of object, when given).
    int64_t calls_of(std::u16string_view member, std::u16string_view object = {}) const;
    // Runs `action` when the call of `member` that `occurrence` names happens (before it runs).
    void add_hook(std::u16string member, int64_t occurrence, std::function<void()> action,
                  std::u16string object = {});

    // --- scripted answers
    void add_answer(Answer a) { answers_.push_back(std::move(a)); }
    // The next answer, which must be of this kind.
    Answer take_answer(AnswerKind kind);
    // The next answer when it is of this kind; nothing otherwise (a prompt left unanswered).
    std::optional<Answer> take_answer_if(AnswerKind kind);
    size_t answers_left() const { return answers_.size(); }
    // A person who answers the dialogs as they open; while one is set, the dialogs take no
    // scripted answer.
    AnswerProvider* interactive = nullptr;

    // --- the clipboard, as PasteFace reads it. The substitute host's environment stores the
    // button faces here. Where the add-in writes the system's clipboard instead (outlook-sim,
    // which plays this host for the real DLL), read_clipboard reads that one.
    std::vector<ClipboardBlock> clipboard;
    std::function<std::vector<ClipboardBlock>()> read_clipboard;

    // --- live host objects, and of them the items (mail, contact and list items), which a
    // real store counts against a session's limit of open items
    int64_t live_objects() const { return live_; }
    int64_t open_items() const { return open_items_; }
    int64_t peak_live_objects() const { return peak_live_; }
    int64_t peak_open_items() const { return peak_open_items_; }
    void object_created(bool item) {
        peak_live_ = std::max(peak_live_, ++live_);
        if (item) peak_open_items_ = std::max(peak_open_items_, ++open_items_);
    }
    void object_destroyed(bool item) {
        --live_;
        if (item) --open_items_;
    }
    // The last event of a play: the host objects left alive (`live`, as the host counts
    // them), and where the profile asks for them the most items and objects alive at once.
    Json end_event(int64_t live) const;

private:
    struct Hook {
        Fault when;
        std::function<void()> action;
    };
    // Whether the fault is due at this call: the member's call number member_call, or for a fault
    // on one type of object, the type's member's call number typed_call.
    bool due(const Fault& f, std::u16string_view member, int64_t member_call, int64_t typed_call) const;

    std::vector<Json> events_;
    uint64_t call_count_ = 0;
    std::map<std::u16string, int64_t, std::less<>> member_calls_;  // lower-case member
    std::map<std::u16string, int64_t, std::less<>> typed_calls_;   // lower-case "type.member"
    std::u16string key_;                                           // reused for each call
    std::vector<Fault> faults_;
    std::vector<Hook> hooks_;
    std::deque<Answer> answers_;
    std::map<std::u16string, std::shared_ptr<Item>> store_;
    uint64_t next_entry_ = 1;
    int64_t live_ = 0;
    int64_t open_items_ = 0;
    int64_t peak_live_ = 0;
    int64_t peak_open_items_ = 0;
};

// JSON forms of values for the log.
Json arg_json(const host::Variant& v);
std::string utf8(std::u16string_view text);
const char* answer_kind_name(AnswerKind kind);

}  // namespace sim
