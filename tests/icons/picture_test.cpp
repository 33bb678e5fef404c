// Picture files: the product's button picture and the other drawn pictures load as bitmap
// pictures, GIF decoding places every pixel, and bad paths fail as the host's loader does.
#include <gif_lib.h>

#include <filesystem>
#include <fstream>

#include "host/dispatch.h"
#include "host/failure.h"
#include "host/text.h"
#include "host/variant.h"
#include "sim/picture.h"

namespace icons_test {
namespace {

constexpr char16_t button_picture[] = u"C:\\Program Files\\Orvane Corporation\\Quillamor\\contactsicon.gif";
constexpr uint32_t white = 0xFFFFFF;

std::vector<uint32_t> pixels_of(const host::Object& pic) { return sim::image_of(pic)->pixels; }

class PictureFiles : public ::testing::Test {
protected:
    std::filesystem::path scratch(const char* name) {
        auto dir = std::filesystem::temp_directory_path() /
                   (std::string("quillamor-icons-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        dirs_.push_back(dir);
        return dir / name;
    }
    void TearDown() override {
        for (auto& d : dirs_) std::filesystem::remove_all(d);
    }

private:
    std::vector<std::filesystem::path> dirs_;
};

TEST_F(PictureFiles, TheButtonPictureLoadsFromTheProductFolderWithAWhiteBorder) {
    host::Object pic = sim::load_picture_file(button_picture);
    EXPECT_EQ(pic.type_name(), u"Picture");
    EXPECT_EQ(pic.get(u"Type").as_int32(), 1);
    EXPECT_EQ(pic.get(u"hPal").as_int32(), 0);
    EXPECT_NE(pic.get(u"Handle").as_int32(), 0);
    EXPECT_EQ(pic.get(u"Width").as_int32(), 423);  // 16 pixels in HIMETRIC
    ASSERT_EQ(sim::image_of(pic)->width, 16);
    ASSERT_EQ(sim::image_of(pic)->height, 16);

    const std::vector<uint32_t> px = pixels_of(pic);
    int whites = 0;
    for (uint32_t p : px) whites += (p & 0xFFFFFF) == white;
    EXPECT_EQ(px[0] & 0xFFFFFF, white);        // a transparent corner
    EXPECT_NE(px[8 * 16 + 8] & 0xFFFFFF, white);  // the card in the middle
    EXPECT_GT(whites, 16);
    EXPECT_LT(whites, 16 * 16 / 2);
}

TEST_F(PictureFiles, EveryDrawnPictureLoadsAtItsSize) {
    const std::pair<const char16_t*, int> files[] = {
        {u"contactsicon.gif", 16}, {u"wizard.gif", 16}, {u"progress.gif", 16}, {u"startup.gif", 48}};
    for (auto [name, side] : files) {
        host::Object pic =
            sim::load_picture_file(u"C:\\Program Files\\Orvane Corporation\\Quillamor\\" + std::u16string(name));
        EXPECT_EQ(sim::image_of(pic)->width, side) << host::to_utf8(name);
        EXPECT_EQ(sim::image_of(pic)->height, side) << host::to_utf8(name);
    }
}

// A transparent GIF index would load as black under some picture loaders and the mask
// colour would no longer be found: the button picture must not have one.
TEST_F(PictureFiles, TheButtonPictureHasNoGifTransparency) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(sim::native_picture_path(button_picture).c_str(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock gcb{};
        if (DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK) {
            EXPECT_EQ(gcb.TransparentColor, NO_TRANSPARENT_COLOR);
        }
    }
    DGifCloseFile(gif, &error);
}

// Writes a GIF: a screen of the given size in the background colour, one image on it.
void write_gif(const std::filesystem::path& file, int screen_w, int screen_h, int background,
               const std::vector<GifColorType>& colours, int left, int top, int w, int h,
               const std::vector<GifPixelType>& rows, bool interlace, int transparent) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(file.c_str(), false, &error);
    ASSERT_NE(gif, nullptr);
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    EGifSetGifVersion(gif, true);
    ASSERT_EQ(EGifPutScreenDesc(gif, screen_w, screen_h, 8, background, map), GIF_OK);
    if (transparent >= 0) {
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = transparent;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        ASSERT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext), GIF_OK);
    }
    ASSERT_EQ(EGifPutImageDesc(gif, left, top, w, h, interlace, nullptr), GIF_OK);
    std::vector<int> order;
    if (interlace) {
        for (int start : {0, 4, 2, 1})
            for (int y = start; y < h; y += (start == 0 ? 8 : start == 4 ? 8 : start == 2 ? 4 : 2)) order.push_back(y);
    } else {
        for (int y = 0; y < h; ++y) order.push_back(y);
    }
    for (int y : order) {
        std::vector<GifPixelType> line(rows.begin() + y * w, rows.begin() + (y + 1) * w);
        ASSERT_EQ(EGifPutLine(gif, line.data(), w), GIF_OK);
    }
    GifFreeMapObject(map);
    ASSERT_EQ(EGifCloseFile(gif, &error), GIF_OK);
}

TEST_F(PictureFiles, AnImageSmallerThanItsScreenSitsOnTheBackground) {
    const std::vector<GifColorType> colours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    auto file = scratch("small.gif");
    // A 2 x 2 image at (1, 1) on a 4 x 3 screen of blue; index 0 is marked transparent but
    // keeps its colour.
    write_gif(file, 4, 3, 2, colours, 1, 1, 2, 2, {0, 1, 3, 0}, false, 0);
    host::Object pic = sim::load_picture_file(host::from_utf8(file.string()));
    const uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF;
    EXPECT_EQ(pixels_of(pic), (std::vector<uint32_t>{B, B, B, B,  //
                                                     B, R, G, B,  //
                                                     B, W, R, B}));
}

TEST_F(PictureFiles, InterlacedRowsComeOutInPlace) {
    std::vector<GifColorType> colours;
    for (int i = 0; i < 16; ++i) colours.push_back({static_cast<GifByteType>(i * 16), 0, 0});
    std::vector<GifPixelType> rows;
    for (int y = 0; y < 10; ++y) rows.push_back(static_cast<GifPixelType>(y));
    auto file = scratch("interlaced.gif");
    write_gif(file, 1, 10, 0, colours, 0, 0, 1, 10, rows, true, -1);
    host::Object pic = sim::load_picture_file(host::from_utf8(file.string()));
    std::vector<uint32_t> expected;
    for (int y = 0; y < 10; ++y) expected.push_back(static_cast<uint32_t>(y * 16) << 16);
    EXPECT_EQ(pixels_of(pic), expected);
}

TEST_F(PictureFiles, PathsAndBadFiles) {
    const std::filesystem::path mapped =
        sim::native_picture_path(u"c:\\PROGRAM FILES\\orvane corporation\\quillamor\\x.gif");
    EXPECT_EQ(mapped.filename(), "x.gif");
    EXPECT_EQ(mapped.parent_path().filename(), "assets");
    EXPECT_EQ(sim::native_picture_path(u"/tmp/a.gif"), "/tmp/a.gif");

    auto expect_failure = [](std::u16string path, int32_t number) {
        try {
            sim::load_picture_file(path);
            ADD_FAILURE() << "loaded " << host::to_utf8(path);
        } catch (const host::Failure& f) {
            EXPECT_EQ(f.number(), number) << host::to_utf8(path);
        }
    };
    expect_failure(u"C:\\Program Files\\Orvane Corporation\\Quillamor\\missing.gif", 53);
    auto text = scratch("not-a-picture.gif");
    std::ofstream(text) << "not a picture";
    expect_failure(host::from_utf8(text.string()), 481);
    expect_failure(host::from_utf8(text.parent_path().string()), 53);  // a folder
}

TEST_F(PictureFiles, ThePictureIsReadOnly) {
    host::Object pic = sim::make_picture({1, 1, {0}});
    try {
        pic.put(u"Handle", host::Variant(int32_t{0}));
        ADD_FAILURE();
    } catch (const host::Failure& f) {
        EXPECT_EQ(f.number(), 383);
    }
    try {
        pic.get(u"Render");
        ADD_FAILURE();
    } catch (const host::Failure& f) {
        EXPECT_EQ(f.number(), 438);
    }
}

}  // namespace
}  // namespace icons_test
