// The shipped button picture's face, mask and bitmap, worked out from the pixels the native
// picture loader decodes. Under Wine, scripts/outlook-sim-test compares what the add-in's
// own picture loader and the real graphics functions give (`outlook-sim --face`) with the
// same file, so the file ties both loaders and the Windows face code to one picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "addin/commands.h"
#include "sim/picture.h"
#include "tests/icons/face_cases.h"

namespace {

std::string recorded() {
    std::ifstream in(std::filesystem::path(QUILLAMOR_SOURCE_DIR) / "tests" / "outlook-sim" / "contactsicon_face.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(ButtonPictureFace, IsTheOneWorkedOutFromItsPixels) {
    host::Object picture = sim::load_picture_file(addin::button_picture_path);
    const sim::Image* image = sim::image_of(picture);
    ASSERT_NE(image, nullptr);
    // The mask colour is the caption text's, white in the standard colour scheme.
    const icons_test::FaceBlocks face = icons_test::expected_face(image->width, image->height, image->pixels, 0xFFFFFF);
    EXPECT_EQ(icons_test::hex_line("dib", face.dib) + "\n" + icons_test::hex_line("face", face.face) + "\n" +
                  icons_test::hex_line("mask", face.mask) + "\n",
              recorded());
}

}  // namespace
