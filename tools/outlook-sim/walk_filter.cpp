#include "tools/outlook-sim/walk_filter.h"

namespace outlook_sim {

void WalkFilter::begin(const std::string& keep_load, const std::set<std::string>& loaded) {
    state_ = State::Walking;
    keep_load_ = loaded.count(keep_load) ? std::string() : keep_load;
    loaded_before_ = loaded;
    reopening_.clear();
}

void WalkFilter::final_press() { state_ = State::FinalPress; }

void WalkFilter::host_call() {
    if (state_ == State::FinalPress) state_ = State::Running;
}

void WalkFilter::failure() {
    if (state_ == State::Running) state_ = State::Recovering;
}

void WalkFilter::end() {
    state_ = State::None;
    keep_load_.clear();
    loaded_before_.clear();
    reopening_.clear();
}

bool WalkFilter::keep_form(const std::string& form, const std::string& action) {
    if (state_ == State::Recovering) return false;
    if (muted()) {
        if (action == "load" && !keep_load_.empty() && form == keep_load_) {
            keep_load_.clear();
            return true;
        }
        if (action == "unload" && loaded_before_.count(form)) reopening_.insert(form);
        return false;
    }
    // A page that was open before the walk closed it comes back: for the direct step it
    // never went.
    return !(action == "load" && reopening_.erase(form));
}

std::vector<nlohmann::json> filter_walk(const std::vector<nlohmann::json>& seen) {
    WalkFilter filter;
    std::vector<nlohmann::json> kept;
    for (const auto& s : seen) {
        const std::string turn = s.value("walk", "");
        if (turn == "begin") {
            std::set<std::string> loaded;
            for (const auto& f : s.value("loaded", nlohmann::json::array())) loaded.insert(f.get<std::string>());
            filter.begin(s.value("keep", ""), loaded);
        } else if (turn == "finalPress") {
            filter.final_press();
        } else if (turn == "hostCall") {
            filter.host_call();
        } else if (turn == "end") {
            filter.end();
        } else {
            const std::string event = s.value("event", "");
            if (event == "form" && !filter.keep_form(s.value("form", ""), s.value("action", ""))) continue;
            if (event == "progress" && !filter.keep_progress()) continue;
            kept.push_back(s);
            if (event == "failure") filter.failure();
        }
    }
    return kept;
}

}  // namespace outlook_sim
