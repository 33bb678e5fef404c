// The shared state of a substitute-host run: store, event log, choke point, answers.
#include "sim/model/world.h"

#include <algorithm>
#include <cstdio>

#include "host/text.h"

namespace sim {

std::string printable(std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        // U+0080..U+009F (C2 80..C2 9F) are control characters too; a terminal takes some
        // of them as the start of an escape sequence.
        bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F &&
                  static_cast<unsigned char>(text[i + 1]) >= 0x80;
        if (c >= 0x20 && c != 0x7F && !c1) {
            out += static_cast<char>(c);
            continue;
        }
        if (c1) c = static_cast<unsigned char>(text[++i]);
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}


namespace {
// The number a failing host operation carries when nothing more specific applies (E_FAIL).
constexpr int32_t injected_failure = -2147467259;

const char* kind_name(host::Invoke kind) {
    switch (kind) {
    case host::Invoke::Get: return "get";
    case host::Invoke::Put: return "put";
    case host::Invoke::Call: return "call";
    }
    return "call";
}
}  // namespace

std::string utf8(std::u16string_view text) { return host::to_utf8(text); }

const char* answer_kind_name(AnswerKind kind) {
    switch (kind) {
    case AnswerKind::Categories: return "categories";
    case AnswerKind::PickFolder: return "pickFolder";
    case AnswerKind::MsgBox: return "msgbox";
    case AnswerKind::Guard: return "guard";
    }
    return "?";
}

Json arg_json(const host::Variant& v) {
    using T = host::Variant::Type;
    switch (v.type()) {
    case T::Empty:
    case T::Missing: return nullptr;
    case T::Bool: return v.as_bool();
    case T::I2:
    case T::I4: return v.as_int32();
    case T::Single:
    case T::Double: return v.as_double();
    case T::Text: return utf8(v.as_text());
    case T::Object: {
        host::Object o = v.as_object();
        return Json{{"object", utf8(o.type_name())}};
    }
    }
    return nullptr;
}

// ---------------------------------------------------------------- events of entities

host::Subscription EventSource::subscribe(std::u16string_view event, host::EventHandler handler) {
    uint64_t id = next_id_++;
    entries_.push_back({id, lower_ascii(event), std::make_shared<host::EventHandler>(std::move(handler))});
    std::weak_ptr<EventSource> self = weak_from_this();
    return host::Subscription([self, id] {
        if (auto s = self.lock())
            std::erase_if(s->entries_, [id](const Entry& e) { return e.id == id; });
    });
}

void EventSource::fire(std::u16string_view event, std::vector<host::Variant>& args) {
    auto name = lower_ascii(event);
    // A handler may connect or disconnect others; each subscriber present when the event
    // fires and still connected when its turn comes is called once.
    std::vector<Entry> now = entries_;
    for (const auto& e : now) {
        if (e.event != name) continue;
        bool still = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& x) { return x.id == e.id; });
        if (still) (*e.handler)(args);
    }
}

size_t EventSource::subscribers(std::u16string_view event) const {
    auto name = lower_ascii(event);
    return static_cast<size_t>(
        std::count_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.event == name; }));
}

// ---------------------------------------------------------------- world

World::World() { set_profile(default_profile()); }

void World::set_profile(Profile p) {
    profile = std::move(p);
    store_.clear();
    std::function<void(const std::vector<std::shared_ptr<Folder>>&)> walk =
        [&](const std::vector<std::shared_ptr<Folder>>& level) {
            for (const auto& f : level) {
                for (const auto& item : f->items) {
                    item->filed = true;
                    if (!item->stored) item->stored = item->current;
                    register_item(item);
                }
                walk(f->folders);
            }
        };
    walk(profile.folders);
    explorers.open.clear();
    explorers.active.reset();
    if (profile.explorer) explorers.open.push_back(explorers.active = std::make_shared<ExplorerWindow>());
}

void World::service_init_answered() {
    auto& later = profile.later_init_results;
    if (later.empty()) return;
    profile.service_init_result = later.front();
    later.erase(later.begin());
}

std::u16string World::new_entry_id() {
    char buf[40];
    std::snprintf(buf, sizeof buf, "00000000A5F1C0D3E86B4F2A%08llX",
                  static_cast<unsigned long long>(next_entry_++));
    return host::from_utf8(buf);
}

void World::register_item(const std::shared_ptr<Item>& item) {
    if (item->entry_id.empty()) item->entry_id = new_entry_id();
    store_[item->entry_id] = item;
}

std::shared_ptr<Item> World::stored_item(std::u16string_view entry_id) const {
    auto it = store_.find(std::u16string(entry_id));
    if (it == store_.end() || !it->second->stored) return nullptr;
    return it->second;
}

Json World::end_event(int64_t live) const {
    Json e = {{"event", "end"}, {"liveObjects", live}};
    if (profile.report_peaks) {
        e["peakOpenItems"] = peak_open_items_;
        e["peakLiveObjects"] = peak_live_;
    }
    return e;
}

void World::record(Json event) {
    if (write_event) write_event(event);
    else events_.push_back(std::move(event));
}

namespace {
int64_t count_in(const std::map<std::u16string, int64_t, std::less<>>& counts, std::u16string_view key) {
    auto it = counts.find(key);
    return it == counts.end() ? 0 : it->second;
}

int64_t bump(std::map<std::u16string, int64_t, std::less<>>& counts, std::u16string_view key) {
    auto it = counts.find(key);
    if (it == counts.end()) it = counts.emplace(std::u16string(key), 0).first;
    return ++it->second;
}
}  // namespace

int64_t World::calls_of(std::u16string_view member, std::u16string_view object) const {
    if (object.empty()) return count_in(member_calls_, lower_ascii(member));
    return count_in(typed_calls_, lower_ascii(object) + u"." + lower_ascii(member));
}

// Faults and hooks keep their names in lower case (see add_fault, add_hook).
bool World::due(const Fault& f, std::u16string_view member, int64_t member_call, int64_t typed_call) const {
    if (f.member != member) return false;
    if (f.object.empty()) return f.occurrence == member_call;
    return f.occurrence == typed_call && std::u16string_view(key_).substr(0, f.object.size()) == f.object &&
           key_.size() > f.object.size() && key_[f.object.size()] == u'.';
}

// This runs for every host call, so it keeps to one reused buffer and no other allocation.
void World::enter(std::u16string_view type, host::Invoke kind, std::u16string_view member,
                  const std::vector<host::Variant>& args) {
    ++call_count_;
    key_.assign(type);
    key_ += u'.';
    key_ += member;
    for (auto& c : key_)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    std::u16string_view m = std::u16string_view(key_).substr(type.size() + 1);
    int64_t member_call = bump(member_calls_, m);
    int64_t typed_call = bump(typed_calls_, key_);
    if (log_calls) {
        Json list = Json::array();
        for (const auto& a : args) list.push_back(arg_json(a));
        record({{"event", "call"}, {"object", utf8(type)}, {"member", utf8(member)},
                {"kind", kind_name(kind)}, {"args", std::move(list)}});
    }
    if (hooks_.empty() && faults_.empty()) return;
    // Copy the due hooks first: a hook may add hooks or faults.
    std::vector<std::function<void()>> actions;
    for (const auto& h : hooks_)
        if (due(h.when, m, member_call, typed_call)) actions.push_back(h.action);
    if (!actions.empty()) {
        // A hook may call the host itself, which reuses the buffer.
        std::u16string key = key_;
        for (auto& a : actions) a();
        key_ = std::move(key);
        m = std::u16string_view(key_).substr(type.size() + 1);
    }
    for (auto& f : faults_)
        if (due(f, m, member_call, typed_call)) {
            f.fired = true;
            throw host::Failure(injected_failure,
                                u"The operation failed (injected fault: " + std::u16string(type) + u"." +
                                    std::u16string(member) + u", call " +
                                    host::decimal(f.object.empty() ? member_call : typed_call) + u")",
                                std::u16string(type));
        }
}

std::vector<size_t> World::unfired_faults() const {
    std::vector<size_t> out;
    for (size_t i = 0; i < faults_.size(); ++i)
        if (!faults_[i].fired) out.push_back(i);
    return out;
}

void World::add_fault(Fault fault) {
    fault.member = lower_ascii(fault.member);
    fault.object = lower_ascii(fault.object);
    faults_.push_back(std::move(fault));
}

void World::add_hook(std::u16string member, int64_t occurrence, std::function<void()> action,
                     std::u16string object) {
    hooks_.push_back({Fault{lower_ascii(member), occurrence, lower_ascii(object)}, std::move(action)});
}

std::optional<Answer> World::take_answer_if(AnswerKind kind) {
    if (answers_.empty() || answers_.front().kind != kind) return std::nullopt;
    Answer a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

Answer World::take_answer(AnswerKind kind) {
    auto dialog = [](AnswerKind k) -> std::string {
        switch (k) {
        case AnswerKind::Categories: return "the categories dialog";
        case AnswerKind::PickFolder: return "the folder picker";
        case AnswerKind::MsgBox: return "a Yes/No message box";
        case AnswerKind::Guard: return "the address book warning";
        }
        return "a dialog";
    };
    if (answers_.empty()) throw ScenarioError(dialog(kind) + " opened but no answer is waiting");
    if (answers_.front().kind != kind)
        throw ScenarioError(dialog(kind) + " opened but the next answer is for " +
                            dialog(answers_.front().kind) + " (\"" + answer_kind_name(answers_.front().kind) +
                            "\")");
    Answer a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

}  // namespace sim
