// Strict reading of scenario and profile files.
#include "scenario/json_file.h"

#include <fstream>
#include <set>
#include <vector>

#include "scenario/scenario.h"
#include "sim/profile/json_checks.h"

namespace scenario {

using nlohmann::json;

std::string read_bounded(const std::filesystem::path& file) {
    std::error_code ec;
    auto status = std::filesystem::status(file, ec);
    if (ec || !std::filesystem::exists(status)) throw ScenarioFileError("cannot read the file: there is no such file");
    if (std::filesystem::is_directory(status)) throw ScenarioFileError("is a directory, not a file");
    if (!std::filesystem::is_regular_file(status))
        throw ScenarioFileError("is not a regular file (a device, pipe or socket)");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw ScenarioFileError("cannot read the file");
    // Read one byte past the limit, so a file that grows meanwhile is still caught.
    std::string text(max_file_bytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > max_file_bytes)
        throw ScenarioFileError("is larger than " + std::to_string(max_file_bytes / (1024 * 1024)) +
                                " MiB, more than any scenario needs");
    return text;
}

namespace {

// Where the parser is, for messages: one frame per open object or list.
class Places {
public:
    // A value, object or list begins at the current place.
    void begin_value() {
        if (!frames_.empty() && frames_.back().list) ++frames_.back().count;
    }
    void open(bool list) {
        if (frames_.size() >= max_depth) {
            // The place is as deep as the limit; its start is enough to find it.
            std::string place = here();
            if (place.size() > 60) place = place.substr(0, place.find_first_of("[.", 40)) + "...: ";
            throw ScenarioFileError(place + "nested more than " + std::to_string(max_depth) + " levels deep");
        }
        begin_value();
        frames_.push_back({list, 0, {}, {}});
    }
    void close() { frames_.pop_back(); }
    void key(const std::string& k) {
        Frame& f = frames_.back();
        f.key = k;
        if (!f.keys.insert(k).second) throw ScenarioFileError(here() + "the field is given twice");
    }
    // "place: ", or nothing at the top. Inside a list it names the element being read.
    std::string here() const { return place(false); }
    // The place of the value about to be read: an error inside it comes before begin_value.
    std::string next() const { return place(true); }

private:
    struct Frame {
        bool list;
        size_t count;           // elements begun so far (a list)
        std::string key;        // the last key read (an object)
        std::set<std::string> keys;
    };
    std::vector<Frame> frames_;

    std::string place(bool next) const {
        std::string out;
        for (size_t i = 0; i < frames_.size(); ++i) {
            const Frame& f = frames_[i];
            size_t element = next && i + 1 == frames_.size() ? f.count + 1 : f.count;
            if (f.list) out = element == 0 ? out : sim::element_place(out, element - 1);
            else if (!f.key.empty()) out = sim::field_place(out, f.key);
        }
        return out.empty() ? "" : out + ": ";
    }
};

// The parser's message without its exception name, on one line.
std::string parse_message(const json::exception& e) {
    std::string what = e.what();
    auto at = what.find("parse error");
    return sim::printable(at == std::string::npos ? what : what.substr(at));
}

}  // namespace

json parse_strict(std::string_view text) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) throw ScenarioFileError("the file is empty");
    Places places;
    auto track = [&](int, json::parse_event_t event, json& parsed) {
        switch (event) {
        case json::parse_event_t::object_start: places.open(false); break;
        case json::parse_event_t::array_start: places.open(true); break;
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end: places.close(); break;
        case json::parse_event_t::key: places.key(parsed.get<std::string>()); break;
        case json::parse_event_t::value: places.begin_value(); break;
        }
        return true;
    };
    try {
        return json::parse(text.begin(), text.end(), track);
    } catch (const json::parse_error& e) {
        throw ScenarioFileError("bad JSON: " + parse_message(e));
    } catch (const json::out_of_range& e) {
        // 406: a number beyond the range of a double, such as 1e400.
        std::string what = e.what();
        auto from = what.find("parsing '"), to = what.rfind('\'');
        std::string number = from == std::string::npos || to <= from + 9 ? "" : what.substr(from + 9, to - from - 9) + " ";
        throw ScenarioFileError(places.next() + "the number " + number + "is out of range");
    }
}

}  // namespace scenario
