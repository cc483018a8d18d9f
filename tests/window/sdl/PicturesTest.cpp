// The program's own cursor pictures and window icon, read from a data archive written by the test.
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "SdlTestSupport.h"
#include "lang/ResourceFile.h"
#include "tests/support/TempFolder.h"
#include "window/Cursor.h"
#include "window/Image.h"

namespace window::testing {
namespace {

// A PNG of a small picture with transparency: opaque pixels only from (3, 1) on.
std::vector<uint8_t> handPng() {
    const int width = 8;
    const int height = 8;
    std::vector<uint32_t> pixels(width * height, 0);
    for (int y = 1; y < height; ++y) {
        for (int x = (y == 1 ? 3 : 0); x < width; ++x)
            pixels[y * width + x] = 0xFF8040C0u;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_BGRA;  // 0xAARRGGBB words, little-endian
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<uint8_t> bytes(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr));
    bytes.resize(size);
    return bytes;
}

void putWord(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// An archive with the given entries, in the archive's layout: an ignored word, an empty preamble, the
// entry count, each entry's name, offset and size, then the bytes.
std::string writeArchive(const testsupport::TempFolder& folder,
                         const std::vector<std::pair<std::string, std::vector<uint8_t>>>& entries) {
    std::vector<uint8_t> out;
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, static_cast<uint32_t>(entries.size()));
    size_t directory = 12;
    for (const auto& entry : entries)
        directory += 1 + entry.first.size() + 8;
    uint32_t offset = static_cast<uint32_t>(directory);
    for (const auto& entry : entries) {
        out.push_back(static_cast<uint8_t>(entry.first.size()));
        out.insert(out.end(), entry.first.begin(), entry.first.end());
        putWord(out, offset);
        putWord(out, static_cast<uint32_t>(entry.second.size()));
        offset += static_cast<uint32_t>(entry.second.size());
    }
    for (const auto& entry : entries)
        out.insert(out.end(), entry.second.begin(), entry.second.end());
    return folder.write("pictures.bin", std::string(out.begin(), out.end()));
}

using PicturesTest = SdlWindowTest;

TEST_F(PicturesTest, TheHandCursorAndTheIconComeFromTheArchive) {
    std::vector<uint8_t> png = handPng();
    testsupport::TempFolder folder;
    std::string path = writeArchive(folder, {{Cursor::kHandPicture, png}, {Frame::kIconPicture, png}});
    lang::openArchive(path.c_str());
    Cursor::forgetPlatformCursors();

    // The archive's picture becomes the hand cursor where the desktop has cursors (the dummy driver has
    // none; the test runs again on a real X server inside RealDisplay).
    EXPECT_EQ(Cursor::hand()->apply(), !sdl::headless());
    EXPECT_EQ(Cursor::applied(), Cursor::hand());
    EXPECT_FALSE(Cursor::openHand()->apply());  // not in this archive: the arrow stands in
    EXPECT_EQ(Cursor::applied(), Cursor::openHand());

    lang::Ref<Image> icon = lang::make<Image>((std::string("+") + Frame::kIconPicture).c_str());
    EXPECT_TRUE(frame->setIconImage(icon.get()));
    lang::Ref<Image> missing = lang::make<Image>("+no_such_icon");
    EXPECT_FALSE(frame->setIconImage(missing.get()));
    // A frame made while the archive is open takes its icon on its own.
    lang::Ref<Frame> second = lang::make<Frame>();
    EXPECT_TRUE(second->create(nullptr, util::RectangleNM(0, 0, 320, 200)));
    second->destroyWindow();

    lang::closeArchives();
    Cursor::forgetPlatformCursors();
}

}  // namespace
}  // namespace window::testing
