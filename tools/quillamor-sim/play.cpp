// The walk-through's entry: plays a profile in the terminal, then prints the lists saved meanwhile.
#include "tools/quillamor-sim/play.h"

#include <exception>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "tools/quillamor-sim/play_session.h"
#include "scenario/scenario.h"

namespace quillamor_sim {

using nlohmann::json;
using namespace play;

void print_saved_lists(std::ostream& out, const std::vector<json>& events) {
    std::vector<std::string> order;
    std::map<std::string, json> lists;
    for (const auto& e : events) {
        if (e.value("event", "") != "saved") continue;
        std::string id = e.value("entryId", "");
        if (!lists.count(id)) order.push_back(id);
        lists[id] = e;
    }
    if (order.empty()) {
        out << "No list was saved.\n";
        return;
    }
    for (const auto& id : order) {
        const json& e = lists[id];
        const json& members = e.contains("members") ? e["members"] : json::array();
        out << "Saved list \"" << e.value("subject", "") << "\" (categories \"" << e.value("categories", "")
            << "\"), " << members.size() << (members.size() == 1 ? " member" : " members") << ":\n";
        for (const auto& m : members) out << "    " << (m.is_string() ? m.get<std::string>() : m.dump()) << "\n";
    }
}

int play_in_terminal(const std::filesystem::path& file, std::ostream& out, std::ostream& err) {
    std::unique_ptr<Session> session;
    try {
        session = std::make_unique<Session>(scenario::read_profile(file));
    } catch (const std::exception& e) {
        err << "quillamor-sim: " << file.string() << ": " << e.what() << "\n";
        return 2;
    }
    try {
        Screen screen;
        session->run(screen);
    } catch (const std::exception& e) {
        // The screen is given back before this is written.
        err << "quillamor-sim: " << e.what() << "\n";
        session->shut_down();
        print_saved_lists(out, session->events());
        return 2;
    }
    session->shut_down();
    print_saved_lists(out, session->events());
    return 0;
}

}  // namespace quillamor_sim
