// The layers' includes: each layer's files include only their own layer and the layers below
// it. The build catches most of this (a layer sees only the headers of the layers it links),
// but a header that only the layers above compile slips past it; this reads every file.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Each layer's folder and the folders its files may include from, beside their own. A folder
// stands for the files directly in it: "host" is the host layer, not host/sim or host/com.
const std::map<std::string, std::set<std::string>> may_include = {
    {"host/sim/gdi", {}},
    {"host", {"host/sim/gdi"}},  // natively, the stand-in of the Windows graphics functions
    {"host/com", {"host"}},
    {"engine", {"host"}},
    {"wizard", {"host", "engine"}},
    {"wizard/win32", {"host", "host/com", "engine", "wizard"}},
    {"addin", {"host", "engine", "wizard"}},
};

// "engine/members.cpp includes addin/process_state.h" for every include that leaves a
// layer's allowed folders, over the tree at root.
std::vector<std::string> violations(const fs::path& root) {
    static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<std::string> found;
    for (const auto& [folder, allowed] : may_include) {
        if (!fs::is_directory(root / folder)) continue;
        std::set<fs::path> files;
        for (const auto& entry : fs::directory_iterator(root / folder)) {
            const auto ext = entry.path().extension();
            if (entry.is_regular_file() && (ext == ".h" || ext == ".cpp" || ext == ".inc")) files.insert(entry.path());
        }
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

TEST(Layers, NoLayerIncludesALayerAboveItOrTheSubstituteHostOrTheTools) {
    for (const auto& v : violations(QUILLAMOR_SOURCE_DIR)) ADD_FAILURE() << v;
}

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
        {"wizard/page.h", "  #  include \"host/sim/sim_host.h\"\n", true},
        {"wizard/win32/view.cpp", "#include \"tools/outlook-sim/screen.h\"\n", true},
        {"wizard/page.cpp", "#include \"host/com/bstr.h\"\n", true},
        {"host/object.h", "#include \"engine/run_context.h\"\n", true},
        {"addin/connect.cpp", "#include \"host/sim/world.h\"\n", true},
        {"host/sim/gdi/api.h", "#include \"host/object.h\"\n", true},
        {"engine/run.cpp",
         "#include <vector>\n#include \"host/failure.h\"\n// #include \"addin/process_state.h\"\n"
         "#include \"engine/letter_table.inc\"\n#include \"table.inc\"\n",
         false},
        {"wizard/win32/view.cpp", "#include \"wizard/form.h\"\n#include \"engine/run_context.h\"\n", false},
        {"host/win32_api.h", "#include \"host/sim/gdi/api.h\"\n", false},
        {"addin/connect.cpp", "#include \"wizard/wizard_context.h\"\n", false},
        {"tools/player.cpp", "#include \"addin/connect.h\"\n", false},  // not a layer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::string dir_template = (fs::temp_directory_path() / "layers-XXXXXX").string();
        ASSERT_NE(mkdtemp(dir_template.data()), nullptr);
        const fs::path root = dir_template;
        fs::create_directories((root / c.file).parent_path());
        std::ofstream(root / c.file) << c.text;
        EXPECT_EQ(violations(root).size(), c.violation ? 1u : 0u);
        fs::remove_all(root);
    }
}

}  // namespace
