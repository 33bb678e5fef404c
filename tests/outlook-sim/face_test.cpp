// The button picture's face, mask and bitmap as the native stand-in makes them. The same
// bytes are what Wine's real graphics functions give through the add-in's picture loader
// (scripts/outlook-sim-test compares `outlook-sim --face` with contactsicon_face.txt), so the
// file ties the stand-in to a real GDI for the one picture the product ships.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "addin/button_faces.h"
#include "addin/commands.h"
#include "host/gdi/control.h"
#include "sim/gdi_picture.h"
#include "tests/icons/face_cases.h"

namespace {

std::string recorded() {
    std::ifstream in(std::filesystem::path(QUILLAMOR_SOURCE_DIR) / "tests" / "outlook-sim" / "contactsicon_face.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string face_of_button_picture() {
    host::Object picture = sim::load_picture_file(addin::button_picture_path);
    addin::mTrIcons::CopyFaceToClipboard(picture, addin::button_mask_colour);
    return icons_test::clipboard_hex("dib", CF_DIB) + "\n" +
           icons_test::clipboard_hex("face", ::RegisterClipboardFormatA(addin::mTrIcons::face_format)) + "\n" +
           icons_test::clipboard_hex("mask", ::RegisterClipboardFormatA(addin::mTrIcons::mask_format)) + "\n";
}

TEST(ButtonPictureFace, IsTheOneWinesGraphicsGive) {
    sim::gdi::reset();
    const std::string face = face_of_button_picture();
    sim::gdi::reset();
    EXPECT_EQ(face, recorded());

    // The picture's white border is transparent: the mask is neither all clear nor all set.
    const std::string mask = face.substr(face.find("mask "));
    const std::string bits = mask.substr(mask.rfind(' ') + 1 + 2 * (40 + 8));  // after header and colours
    EXPECT_NE(bits.find_first_not_of("0\n"), std::string::npos);
    EXPECT_NE(bits.find_first_not_of("f\n"), std::string::npos);
}

}  // namespace
