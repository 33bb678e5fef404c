// The stand-in against a real GDI: the button faces of the pictures in face_cases.h must be
// byte for byte those recorded under Wine (face_bytes_wine.txt, made by
// record/record_face_bytes.cpp).
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/icons/face_cases.h"
#include "tests/icons/icons_fixture.h"

namespace icons_test {
namespace {

std::map<std::string, std::string> recorded() {
    std::ifstream in(std::filesystem::path(QUILLAMOR_SOURCE_DIR) / "tests" / "icons" / "face_bytes_wine.txt");
    std::map<std::string, std::string> sections;
    std::string line, name;
    while (std::getline(in, line)) {
        if (line.rfind("== ", 0) == 0) name = line.substr(3);
        sections[name] += line + "\n";
    }
    return sections;
}

TEST_F(IconsTest, FacesAreByteForByteThoseOfARealGdi) {
    const auto sections = recorded();
    ASSERT_EQ(sections.size(), face_cases().size());
    for (const auto& c : face_cases()) {
        auto it = sections.find(c.name);
        ASSERT_NE(it, sections.end()) << c.name;
        EXPECT_EQ(face_bytes(c), it->second);
    }
    EXPECT_EQ(sim::gdi::live_gdi_objects(), 0);
    EXPECT_EQ(sim::gdi::live_dcs(), 0);
}

}  // namespace
}  // namespace icons_test
