// Picture objects and the GIF loader of the native build. Windows loads pictures with its
// own picture loader, so the whole file is for the native build only.
#if !defined(_WIN32)

#include "sim/picture.h"

#include <gif_lib.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "host/dispatch.h"
#include "host/failure.h"
#include "host/text.h"
#include "host/variant.h"

namespace sim {

namespace {

// The build names the folder: this file's own name may be relative to wherever it was
// compiled (a compiler cache shares objects between build folders that way).
std::filesystem::path assets_folder() { return QUILLAMOR_ASSETS_DIR; }

// Sizes of the automation picture are in HIMETRIC units (0.01 mm) at 96 dots per inch.
int32_t himetric(int pixels) { return static_cast<int32_t>(std::lround(pixels * 2540.0 / 96.0)); }

// Handles of pictures: distinct, never 0, and never mistaken for a real handle's value.
int32_t next_handle() {
    static std::atomic<int32_t> last{0x51B00000};
    return ++last;
}

class Picture final : public host::Dispatch {
public:
    Picture(Image image, int16_t type)
        : image_(std::move(image)), type_(type), handle_(image_.pixels.empty() ? 0 : next_handle()) {}

    const Image& image() const { return image_; }

    std::u16string type_name() const override { return u"Picture"; }

    host::Variant invoke(host::Invoke kind, std::u16string_view member, std::vector<host::Variant>& args) override {
        auto is = [&](std::u16string_view name) { return host::equal_ignoring_case(member, name); };
        if (kind == host::Invoke::Put) {
            if (is(u"Handle") || is(u"hPal") || is(u"Type") || is(u"Width") || is(u"Height"))
                host::raise(383, u"Can't set read-only property");
            host::raise(host::errors::member_not_found);
        }
        if (is(u"Handle")) return host::Variant(handle_);
        if (is(u"hPal")) return host::Variant(int32_t{0});
        if (is(u"Type")) return host::Variant(type_);
        if (is(u"Width")) return host::Variant(himetric(image_.width));
        if (is(u"Height")) return host::Variant(himetric(image_.height));
        host::raise(host::errors::member_not_found);
    }

    host::Subscription subscribe(std::u16string_view, host::EventHandler) override {
        host::raise(host::errors::member_not_found);
    }
    std::unique_ptr<host::Enumerator> enumerate() override { host::raise(host::errors::member_not_found); }

private:
    Image image_;
    int16_t type_;
    int32_t handle_;
};

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// The first image of the GIF on its logical screen, filled with the background colour
// where the image does not reach. The transparent index, if any, keeps its palette colour:
// the button picture marks transparency with the mask colour, not with GIF transparency.
std::optional<Image> decode(GifFileType& gif) {
    if (gif.ImageCount < 1 || gif.SWidth < 1 || gif.SHeight < 1) return std::nullopt;
    const SavedImage& image = gif.SavedImages[0];
    const GifImageDesc& desc = image.ImageDesc;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif.SColorMap;
    if (!map) return std::nullopt;
    auto colour = [&](int index) -> uint32_t {
        if (index < 0 || index >= map->ColorCount) return 0;
        const GifColorType& c = map->Colors[index];
        return (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
    };
    const int width = gif.SWidth, height = gif.SHeight;
    std::vector<uint32_t> px(static_cast<size_t>(width) * height,
                             gif.SColorMap ? colour(gif.SBackGroundColor) : 0);
    for (int y = 0; y < desc.Height; ++y) {
        for (int x = 0; x < desc.Width; ++x) {
            int tx = desc.Left + x, ty = desc.Top + y;
            if (tx < 0 || ty < 0 || tx >= width || ty >= height) continue;
            px[static_cast<size_t>(ty) * width + tx] = colour(image.RasterBits[static_cast<size_t>(y) * desc.Width + x]);
        }
    }
    return Image{width, height, std::move(px)};
}

}  // namespace

host::Object make_picture(Image image, int16_t type) {
    return host::Object(std::make_shared<Picture>(std::move(image), type));
}

const Image* image_of(const host::Object& picture) {
    const auto* p = dynamic_cast<const Picture*>(picture.dispatch());
    return p ? &p->image() : nullptr;
}

std::string native_picture_path(std::u16string_view path) {
    if (path.size() > fixed_install_folder.size() &&
        host::equal_ignoring_case(path.substr(0, fixed_install_folder.size()), fixed_install_folder)) {
        std::string rest = host::to_utf8(path.substr(fixed_install_folder.size()));
        for (auto& c : rest)
            if (c == '\\') c = '/';
        return (assets_folder() / rest).string();
    }
    return host::to_utf8(path);
}

host::Object load_picture_file(std::u16string_view path) {
    const std::string file = native_picture_path(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) host::raise(host::errors::file_not_found);
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpenFileName(file.c_str(), &error));
    if (!gif) {
        if (error == D_GIF_ERR_OPEN_FAILED) host::raise(host::errors::file_not_found);
        host::raise(host::errors::invalid_picture);
    }
    if (DGifSlurp(gif.get()) != GIF_OK) host::raise(host::errors::invalid_picture);
    std::optional<Image> image = decode(*gif);
    if (!image) host::raise(host::errors::invalid_picture);
    return make_picture(std::move(*image));
}

}  // namespace sim

#endif  // !_WIN32
