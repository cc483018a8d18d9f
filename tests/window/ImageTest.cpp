// window::Image: PNG and JPEG round trips, loading from files and the archive, masks, unload, copy.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <thread>

#include <unistd.h>

#include "ImageTestSupport.h"
#include "lang/ResourceFile.h"
#include "util/DataProblems.h"
#include "window/Image.h"

#include <png.h>

using namespace window;

namespace {

std::vector<uint32_t> randomPixels(std::mt19937& rng, int count, bool alpha) {
    std::vector<uint32_t> pixels(static_cast<size_t>(count));
    for (auto& p : pixels) {
        p = rng();
        if (!alpha)
            p |= 0xFF000000u;
    }
    return pixels;
}

lang::Ref<Image> decoded(const std::vector<uint8_t>& bytes, const char* where = "test") {
    auto image = lang::make<Image>("");
    image->decode(bytes.data(), static_cast<int>(bytes.size()), where);
    return image;
}

// A data archive with the given entries, in the archive layout the game reads.
std::string writeArchive(const std::string& name,
                         const std::vector<std::pair<std::string, std::vector<uint8_t>>>& entries) {
    std::vector<uint8_t> out;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    put32(0);
    put32(0);
    put32(static_cast<uint32_t>(entries.size()));
    size_t directory = 0;
    for (auto& e : entries)
        directory += 1 + e.first.size() + 8;
    uint32_t offset = static_cast<uint32_t>(out.size() + directory);
    for (auto& e : entries) {
        out.push_back(static_cast<uint8_t>(e.first.size()));
        out.insert(out.end(), e.first.begin(), e.first.end());
        put32(offset);
        put32(static_cast<uint32_t>(e.second.size()));
        offset += static_cast<uint32_t>(e.second.size());
    }
    for (auto& e : entries)
        out.insert(out.end(), e.second.begin(), e.second.end());
    return imagetest::writeTempFile(name, out);
}

}  // namespace

TEST(ImageDecode, PngRoundTripsWithAndWithoutAlpha) {
    std::mt19937 rng(1);
    for (bool alpha : {false, true}) {
        const std::vector<uint32_t> pixels = randomPixels(rng, 37 * 23, alpha);
        auto image = decoded(imagetest::writePng(pixels, 37, 23, alpha));
        ASSERT_TRUE(image->isLoaded()) << image->lastError().chars();
        EXPECT_EQ(image->getWidth(), 37);
        EXPECT_EQ(image->getHeight(), 23);
        EXPECT_EQ(image->hasAlpha(), alpha);
        for (int i = 0; i < 37 * 23; ++i)
            ASSERT_EQ(image->getPixels()[i], pixels[i]) << i;
    }
}

TEST(ImageDecode, PngKindsAllBecomeArgb) {
    std::mt19937 rng(2);
    // A picture of few colours, so that it fits a palette.
    std::vector<uint32_t> colors = {0xFF000000u, 0x80FF8040u, 0x00123456u, 0xFFFFFFFFu, 0xC0204060u};
    std::vector<uint32_t> pixels(19 * 11);
    for (auto& p : pixels)
        p = colors[rng() % colors.size()];

    // Palette with tRNS: colours and alphas exactly.
    for (bool interlaced : {false, true}) {
        auto image =
            decoded(imagetest::writePngKind(pixels, 19, 11, PNG_COLOR_TYPE_PALETTE, 8, interlaced, true));
        ASSERT_TRUE(image->isLoaded()) << image->lastError().chars();
        EXPECT_TRUE(image->hasAlpha());
        for (size_t i = 0; i < pixels.size(); ++i)
            ASSERT_EQ(image->getPixels()[i], pixels[i]) << i;
    }
    // Grey, 8 and 16 bits: the green byte as grey, opaque.
    for (int depth : {8, 16}) {
        auto image =
            decoded(imagetest::writePngKind(pixels, 19, 11, PNG_COLOR_TYPE_GRAY, depth, depth == 16, false));
        ASSERT_TRUE(image->isLoaded()) << image->lastError().chars();
        EXPECT_FALSE(image->hasAlpha());
        for (size_t i = 0; i < pixels.size(); ++i) {
            const uint32_t g = (pixels[i] >> 8) & 0xFF;
            ASSERT_EQ(image->getPixels()[i], 0xFF000000u | g << 16 | g << 8 | g) << depth << " " << i;
        }
    }
    // RGB 16 bits with a tRNS key colour: that colour becomes transparent.
    auto keyed = decoded(imagetest::writePngKind(pixels, 19, 11, PNG_COLOR_TYPE_RGB, 16, false, true));
    ASSERT_TRUE(keyed->isLoaded()) << keyed->lastError().chars();
    EXPECT_TRUE(keyed->hasAlpha());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t rgb = pixels[i] & 0xFFFFFFu;
        const uint32_t got = keyed->getPixels()[i];
        if (rgb == (pixels[0] & 0xFFFFFFu)) {
            ASSERT_EQ(got >> 24, 0u) << i;
        } else {
            ASSERT_EQ(got, 0xFF000000u | rgb) << i;
        }
    }
}

TEST(ImageDecode, JpegRoundTripIsClose) {
    // A smooth picture: JPEG keeps it within a few levels.
    std::vector<uint32_t> pixels(64 * 48);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            pixels[static_cast<size_t>(y) * 64 + x] =
                0xFF000000u | (uint32_t(x * 4) << 16) | (uint32_t(y * 5) << 8) | 128;
        }
    }
    for (bool progressive : {false, true}) {
        auto image = decoded(imagetest::writeJpeg(pixels, 64, 48, 95, progressive));
        ASSERT_TRUE(image->isLoaded()) << image->lastError().chars();
        EXPECT_FALSE(image->hasAlpha());
        ASSERT_EQ(image->getWidth(), 64);
        int worst = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            const uint32_t got = image->getPixels()[i];
            ASSERT_EQ(got >> 24, 0xFFu);
            for (int shift : {0, 8, 16}) {
                worst =
                    std::max(worst, std::abs(int((got >> shift) & 0xFF) - int((pixels[i] >> shift) & 0xFF)));
            }
        }
        EXPECT_LE(worst, 8);
    }
}

TEST(ImageDecode, BadBytesFailWithAReasonAndNoPixels) {
    std::mt19937 rng(5);
    const std::vector<uint32_t> pngPixels = randomPixels(rng, 100, true);
    const std::vector<uint8_t> png = imagetest::writePng(pngPixels, 10, 10, true);
    const std::vector<uint8_t> jpeg = imagetest::writeJpeg(randomPixels(rng, 256, false), 16, 16, 80);

    // Fewer than 7 bytes decode nothing.
    auto tiny = decoded(std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a'}, "six.gif");
    EXPECT_FALSE(tiny->isLoaded());
    EXPECT_TRUE(tiny->loadFailed());
    EXPECT_NE(tiny->lastError().view().find("six.gif"), std::string_view::npos);

    // Truncated PNGs and JPEGs: never a crash. A PNG cut inside its image data has no pixels; one cut
    // only in its last chunk still gives the whole picture.
    int pngFailures = 0;
    for (size_t cut = 0; cut < png.size(); cut += 7) {
        auto image = decoded(std::vector<uint8_t>(png.begin(), png.begin() + static_cast<ptrdiff_t>(cut)));
        EXPECT_EQ(image->isLoaded(), !image->loadFailed());
        if (image->isLoaded()) {
            EXPECT_EQ(image->getPixels()[99], pngPixels[99]) << cut;
        } else {
            ++pngFailures;
        }
    }
    EXPECT_GT(pngFailures, static_cast<int>(png.size() / 7) - 3);
    for (size_t cut = 0; cut < jpeg.size(); cut += 11) {
        auto image = decoded(std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + static_cast<ptrdiff_t>(cut)));
        EXPECT_EQ(image->isLoaded(), !image->loadFailed());
    }
    // Random bytes go to the JPEG decoder, which refuses them.
    auto noise = decoded(std::vector<uint8_t>(100, 0x5A), "noise.bin");
    EXPECT_TRUE(noise->loadFailed());
    EXPECT_NE(noise->lastError().view().find("JPEG"), std::string_view::npos);

    // A PNG claiming a size beyond the limit is refused before any allocation.
    std::vector<uint8_t> huge = png;
    huge[16] = 0x00, huge[17] = 0x01, huge[18] = 0x00, huge[19] = 0x00;  // width 65536
    auto big = decoded(huge);
    EXPECT_TRUE(big->loadFailed());
}

TEST(ImageLoad, FilesLoadLazilyAndMissingFilesFailQuietly) {
    std::mt19937 rng(9);
    // Noisy pixels make a PNG of several times the first 8192-byte reading buffer.
    const std::vector<uint32_t> pixels = randomPixels(rng, 120 * 90, true);
    const std::vector<uint8_t> bytes = imagetest::writePng(pixels, 120, 90, true);
    ASSERT_GT(bytes.size(), 4u * 8192u);
    const std::string path = imagetest::writeTempFile("lazy.png", bytes);

    auto image = lang::make<Image>(path.c_str());
    EXPECT_FALSE(image->isLoaded());
    ASSERT_NE(image->getPixels(), nullptr);
    EXPECT_EQ(image->getWidth(), 120);
    EXPECT_EQ(image->getStride(), 480);
    EXPECT_EQ(image->getPixels()[10799], pixels[10799]);

    // An exact multiple of the buffer size reads whole too.
    std::vector<uint8_t> padded = bytes;
    padded.resize(8192 * 16, 0);
    auto exact = lang::make<Image>(imagetest::writeTempFile("exact.png", padded).c_str());
    EXPECT_NE(exact->getPixels(), nullptr) << exact->lastError().chars();

    auto missing = lang::make<Image>("/nonexistent/folder/picture.png");
    EXPECT_EQ(missing->getPixels(), nullptr);
    EXPECT_TRUE(missing->loadFailed());
    EXPECT_NE(missing->lastError().view().find("picture.png"), std::string_view::npos);

    // Unload keeps name and size; the next use loads again.
    image->unload();
    EXPECT_FALSE(image->isLoaded());
    EXPECT_FALSE(image->hasAlpha());
    EXPECT_EQ(image->getName().view(), path);
    ASSERT_NE(image->getPixels(), nullptr);
    EXPECT_TRUE(image->hasAlpha());
    EXPECT_EQ(image->getPixels()[0], pixels[0]);
}

TEST(ImageLoad, PlusNamesComeFromTheArchiveOnly) {
    std::mt19937 rng(4);
    const std::vector<uint32_t> pixels = randomPixels(rng, 6 * 4, true);
    const std::vector<uint8_t> png = imagetest::writePng(pixels, 6, 4, true);
    // A disk file named like the entry must never be read.
    imagetest::writeTempFile("+ghost", png);
    ASSERT_EQ(0, chdir(imagetest::tempFolder().path().c_str()));
    util::clearDataProblems();
    auto ghost = lang::make<Image>("+ghost");
    EXPECT_EQ(ghost->getPixels(), nullptr);
    EXPECT_EQ(ghost->getPixels(), nullptr);
    EXPECT_TRUE(ghost->loadFailed());
    EXPECT_NE(ghost->lastError().view().find("\"ghost\""), std::string_view::npos);

    const std::string archive = writeArchive("images.bin", {{"sprite", png}, {"empty", {}}});
    lang::openArchive(archive.c_str());
    auto sprite = lang::make<Image>("+sprite");
    ASSERT_NE(sprite->getPixels(), nullptr) << sprite->lastError().chars();
    EXPECT_EQ(sprite->getPixels()[23], pixels[23]);
    auto empty = lang::make<Image>("+empty");
    EXPECT_EQ(empty->getPixels(), nullptr);
    EXPECT_TRUE(empty->loadFailed());
    // The player is told of each missing or empty picture once, of the good one not at all.
    util::DataProblems told = util::takeDataProblems();
    ASSERT_EQ(told.problems.size(), 2u);
    EXPECT_EQ(told.problems[0].rfind("The picture \"ghost\": ", 0), 0u) << told.problems[0];
    EXPECT_EQ(told.problems[1].rfind("The picture \"empty\": ", 0), 0u) << told.problems[1];
    lang::closeArchives();
}

TEST(ImageLoad, HiddenContainerFailuresStayUntriedExceptForDiskFiles) {
    containerFillDepth = 1;
    auto archived = lang::make<Image>("+absent-entry");
    EXPECT_EQ(archived->getPixels(), nullptr);
    EXPECT_FALSE(archived->loadFailed());
    diskImageFlag = true;
    auto disk = lang::make<Image>("/nonexistent/disk.png");
    EXPECT_EQ(disk->getPixels(), nullptr);
    EXPECT_TRUE(disk->loadFailed());
    diskImageFlag = false;
    containerFillDepth = 0;
    // Outside a hidden container the same failure sticks.
    EXPECT_EQ(archived->getPixels(), nullptr);
    EXPECT_TRUE(archived->loadFailed());
}

TEST(ImageMask, SmallerMaskIsTiledAndNamedAfterTheImage) {
    std::vector<uint32_t> picture(5 * 3, 0xFF336699u);
    // A 2x2 grey mask without alpha: its grey level becomes the alpha.
    std::vector<uint32_t> mask = {0xFF000000u, 0xFF808080u, 0xFFFFFFFFu, 0xFF404040u};
    const std::string picturePath =
        imagetest::writeTempFile("masked.png", imagetest::writePng(picture, 5, 3, false));
    const std::string maskPath = imagetest::writeTempFile("mask.png", imagetest::writePng(mask, 2, 2, false));
    auto image = lang::make<Image>(picturePath.c_str());
    auto maskImage = lang::make<Image>(maskPath.c_str());
    image->applyMask(maskImage.get());
    EXPECT_TRUE(image->hasAlpha());
    EXPECT_EQ(image->getName().view(), picturePath + "|" + maskPath);
    const uint32_t expectedAlpha[2][2] = {{0x00, 0x80}, {0xFF, 0x40}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(image->getPixels()[y * 5 + x], (expectedAlpha[y % 2][x % 2] << 24) | 0x336699u)
                << x << "," << y;
        }
    }
    // The combined name reloads both after an unload.
    image->unload();
    ASSERT_NE(image->getPixels(), nullptr);
    EXPECT_EQ(image->getPixels()[1], 0x80336699u);
    EXPECT_EQ(image->getPixels()[8], 0x40336699u);

    // A mask with alpha gives its alpha.
    std::vector<uint32_t> alphaMask = {0x11FFFFFFu};
    auto withAlpha = decoded(imagetest::writePng(alphaMask, 1, 1, true));
    auto target = decoded(imagetest::writePng(picture, 5, 3, false));
    target->applyMask(withAlpha.get());
    EXPECT_EQ(target->getPixels()[14], 0x11336699u);
}

TEST(ImageKinds, SizedImagesAreClearedAndCopiesAreIndependent) {
    auto image = lang::make<Image>(7, 5, Image::kCleared);
    ASSERT_NE(image->getPixels(), nullptr);
    for (int i = 0; i < 35; ++i)
        EXPECT_EQ(image->getPixels()[i], 0u);
    image->getPixels()[3] = 0xFF010203u;
    image->setHasAlpha(true);
    lang::Ref<Image> copy = lang::adopt(image->copy());
    EXPECT_EQ(copy->getWidth(), 7);
    EXPECT_TRUE(copy->hasAlpha());
    EXPECT_EQ(copy->getPixels()[3], 0xFF010203u);
    copy->getPixels()[3] = 0;
    EXPECT_EQ(image->getPixels()[3], 0xFF010203u);

    auto offscreen = lang::make<Image>(800, 600, Image::kOffscreen, true);
    EXPECT_TRUE(offscreen->isPlatform());
    EXPECT_EQ(offscreen->getStride(), 3200);

    auto none = lang::make<Image>(0, 10);
    EXPECT_EQ(none->getPixels(), nullptr);
    auto tooBig = lang::make<Image>(Image::kMaxDimension + 1, 1);
    EXPECT_EQ(tooBig->getPixels(), nullptr);
}

TEST(ImageLoad, ThreadsAskingForOneUnloadedImageDecodeItOnce) {
    std::mt19937 rng(12);
    const std::vector<uint32_t> pixels = randomPixels(rng, 64 * 64, true);
    const std::string path =
        imagetest::writeTempFile("shared.png", imagetest::writePng(pixels, 64, 64, true));
    for (int round = 0; round < 20; ++round) {
        auto image = lang::make<Image>(path.c_str());
        uint32_t* seen[4] = {};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] { seen[t] = image->getPixels(); });
        for (auto& thread : threads)
            thread.join();
        for (int t = 0; t < 4; ++t)
            ASSERT_EQ(seen[t], seen[0]);
        ASSERT_NE(seen[0], nullptr);
        EXPECT_EQ(seen[0][4095], pixels[4095]);
    }
}
