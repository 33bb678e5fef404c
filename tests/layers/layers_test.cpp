// What each folder of the code may include. The build catches most of it (a library sees only
// the headers of the libraries it links), but a header that only the folders above compile
// slips past it, and so would a folder that links more than it should; this reads every file
// of every folder outside the tests.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Every folder of code and the folders its files may include from, beside their own. A folder
// stands for the files directly in it: "host" is the host layer, not host/com.
// Bottom to top: the add-in's layers with their Windows parts, the substitute host, what
// plays the add-in over it, and the programs.
const std::set<std::string> addin_layers = {"host", "engine", "wizard", "addin"};
const std::set<std::string> substitute_host = {"sim", "sim/model", "sim/profile", "sim/views", "sim/liborvane-stub"};

std::set<std::string> with(std::set<std::string> a, const std::set<std::string>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

const std::map<std::string, std::set<std::string>> may_include = {
    {"host", {}},
    {"host/com", {"host"}},
    {"engine", {"host"}},
    {"wizard", {"host", "engine"}},
    {"wizard/win32", {"host", "host/com", "engine", "wizard"}},
    {"addin", {"host", "engine", "wizard"}},
    {"addin/com", {"host", "host/com", "engine", "wizard", "wizard/win32", "addin"}},
    {"sim/liborvane-stub", {}},
    {"sim/model", {"host"}},
    {"sim/profile", {"host", "sim/model"}},
    {"sim/views", {"host", "engine", "wizard", "sim/model"}},
    {"sim", {"host", "engine", "wizard", "sim/model", "sim/profile", "sim/views", "sim/liborvane-stub"}},
    {"scenario", with(addin_layers, substitute_host)},
    {"tools/quillamor-sim", with(with(addin_layers, substitute_host), {"scenario"})},
    {"tools/outlook-sim",
     with(with(addin_layers, substitute_host), {"scenario", "host/com", "wizard/win32", "addin/com"})},
    {"bench", with(addin_layers, substitute_host)},
    {"fuzz", with(with(addin_layers, substitute_host), {"scenario"})},
    {"installer", {}},
    {"installer/test", {}},
    {"installer/uninstall", {}},
};

bool is_code(const fs::path& file) {
    const auto ext = file.extension();
    return ext == ".h" || ext == ".cpp" || ext == ".c" || ext == ".inc";
}

// "engine/members.cpp includes addin/process_state.h" for every include that leaves a
// folder's allowed folders, over the tree at root.
std::vector<std::string> violations(const fs::path& root) {
    static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<std::string> found;
    for (const auto& [folder, allowed] : may_include) {
        if (!fs::is_directory(root / folder)) continue;
        std::set<fs::path> files;
        for (const auto& entry : fs::directory_iterator(root / folder))
            if (entry.is_regular_file() && is_code(entry.path())) files.insert(entry.path());
        for (const auto& file : files) {
            std::ifstream in(file);
            std::smatch m;
            for (std::string line; std::getline(in, line);) {
                if (!std::regex_search(line, m, include)) continue;
                const std::string included = m[1];
                const auto slash = included.rfind('/');
                // A bare name is a file beside the one that includes it.
                const std::string from = slash == std::string::npos ? folder : included.substr(0, slash);
                if (from != folder && !allowed.contains(from))
                    found.push_back(folder + "/" + file.filename().string() + " includes " + included);
            }
        }
    }
    return found;
}

// Folders of code under root that the table above does not know: the tests' own folders and
// the build trees aside, a new folder must say what it may include.
std::vector<std::string> unknown_folders(const fs::path& root) {
    std::vector<std::string> found;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const auto name = it->path().filename().string();
        if (it->is_directory() && (name.starts_with(".") || name.starts_with("build") || name == "tests")) {
            it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file() || !is_code(it->path())) continue;
        const auto folder = fs::relative(it->path().parent_path(), root).generic_string();
        if (!may_include.contains(folder) && std::find(found.begin(), found.end(), folder) == found.end())
            found.push_back(folder);
    }
    return found;
}

TEST(Layers, NoFolderIncludesWhatIsAboveIt) {
    for (const auto& v : violations(QUILLAMOR_SOURCE_DIR)) ADD_FAILURE() << v;
}

TEST(Layers, EveryFolderOfCodeIsKnown) {
    for (const auto& folder : unknown_folders(QUILLAMOR_SOURCE_DIR))
        ADD_FAILURE() << folder << " holds code but the layer check does not know what it may include";
}

// A tree of one file: its violations and unknown folders.
struct OneFile {
    explicit OneFile(const std::string& file, const std::string& text) {
        std::string dir_template = (fs::temp_directory_path() / "layers-XXXXXX").string();
        if (mkdtemp(dir_template.data()) == nullptr) throw std::runtime_error("mkdtemp");
        root = dir_template;
        fs::create_directories((root / file).parent_path());
        std::ofstream(root / file) << text;
    }
    ~OneFile() { fs::remove_all(root); }
    fs::path root;
};

// The check itself, each case a tree of one file.
TEST(Layers, TheCheckFindsEveryWayUp) {
    struct Case {
        const char* file;
        const char* text;
        bool violation;
    };
    const Case cases[] = {
        {"engine/run.cpp", "#include \"addin/process_state.h\"\n", true},
        {"engine/run.h", "#include \"wizard/forms.h\"\n", true},
        {"wizard/page.h", "  #  include \"sim/sim_host.h\"\n", true},
        {"wizard/win32/view.cpp", "#include \"tools/outlook-sim/screen.h\"\n", true},
        {"wizard/page.cpp", "#include \"host/com/bstr.h\"\n", true},
        {"host/object.h", "#include \"engine/run_context.h\"\n", true},
        {"host/object.h", "#include \"sim/model/world.h\"\n", true},
        {"addin/connect.cpp", "#include \"sim/model/world.h\"\n", true},
        {"host/object.h", "#include \"host/com/gdi_handles.h\"\n", true},
        {"sim/model/world.h", "#include \"wizard/form.h\"\n", true},
        {"sim/model/world.h", "#include \"sim/profile/json_checks.h\"\n", true},
        {"sim/sim_host.cpp", "#include \"scenario/play.h\"\n", true},
        {"sim/sim_host.cpp", "#include \"tools/quillamor-sim/main.h\"\n", true},
        {"scenario/play.cpp", "#include \"tools/quillamor-sim/player.h\"\n", true},
        {"scenario/play.cpp", "#include \"host/com/bstr.h\"\n", true},
        {"tools/quillamor-sim/player.cpp", "#include \"tools/outlook-sim/screen.h\"\n", true},
        {"tools/outlook-sim/player.cpp", "#include \"tests/sim/sim_fixture.h\"\n", true},
        {"engine/run.cpp",
         "#include <vector>\n#include \"host/failure.h\"\n// #include \"addin/process_state.h\"\n"
         "#include \"engine/letter_table.inc\"\n#include \"table.inc\"\n",
         false},
        {"wizard/win32/view.cpp", "#include \"wizard/form.h\"\n#include \"engine/run_context.h\"\n", false},
        {"host/com/button_faces.cpp", "#include \"host/com/gdi_handles.h\"\n#include \"host/object.h\"\n", false},
        {"addin/connect.cpp", "#include \"wizard/wizard_context.h\"\n", false},
        {"sim/views/sim_views.h", "#include \"wizard/form.h\"\n", false},
        {"tools/outlook-sim/player.cpp", "#include \"scenario/play.h\"\n#include \"host/com/bstr.h\"\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ": " + c.text);
        OneFile tree(c.file, c.text);
        EXPECT_EQ(violations(tree.root).size(), c.violation ? 1u : 0u);
    }
}

// In every folder the table knows, an include of something no folder may take from it (the
// tests' fixtures) is found; and a folder the table does not know is named.
TEST(Layers, EveryFolderIsChecked) {
    for (const auto& [folder, allowed] : may_include) {
        SCOPED_TRACE(folder);
        OneFile tree(folder + "/wrong.cpp", "#include \"tests/sim/sim_fixture.h\"\n");
        EXPECT_EQ(violations(tree.root).size(), 1u);
        EXPECT_TRUE(unknown_folders(tree.root).empty());
    }
    OneFile tree("tools/new-tool/main.cpp", "int main() {}\n");
    EXPECT_EQ(unknown_folders(tree.root), std::vector<std::string>{"tools/new-tool"});
}

}  // namespace
