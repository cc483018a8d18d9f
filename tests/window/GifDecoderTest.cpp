// Our GIF decoder against giflib on generated files, and its rules for odd and broken files.
#include <gtest/gtest.h>

#include <random>

#include "ImageTestSupport.h"
#include "window/Image.h"
#include "window/ImageDecoder.h"

using namespace window;
using imagetest::GifFrame;
using imagetest::GifPicture;

namespace {

std::vector<uint32_t> randomColors(std::mt19937& rng, int count) {
    std::vector<uint32_t> colors(static_cast<size_t>(count));
    for (auto& c : colors)
        c = rng() & 0xFFFFFFu;
    return colors;
}

// Indices with runs and repeats, so that the LZW table fills, grows its code size and (for big
// images) reaches 4096 entries.
std::vector<uint8_t> randomIndices(std::mt19937& rng, int count, int colors, int style) {
    std::vector<uint8_t> indices(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        switch (style) {
            case 0:
                indices[i] = static_cast<uint8_t>(rng() % colors);
                break;
            case 1:
                indices[i] = static_cast<uint8_t>((i / 7 + (rng() % 3 == 0)) % colors);
                break;
            default:
                indices[i] = static_cast<uint8_t>((int64_t{i} * i / 13) % colors);
                break;
        }
    }
    return indices;
}

DecodedImage decodeOurs(const std::vector<uint8_t>& file) {
    DecodedImage out;
    ImageDecoder::decodeGif(file.data(), file.size(), out);
    return out;
}

void expectSameAsGiflib(const std::vector<uint8_t>& file, const std::string& what) {
    int width = 0, height = 0;
    std::vector<uint32_t> expected = imagetest::giflibPixels(file, width, height);
    ASSERT_FALSE(expected.empty()) << what;
    DecodedImage ours = decodeOurs(file);
    ASSERT_TRUE(ours.pixels) << what << ": " << ours.error;
    ASSERT_EQ(ours.width, width) << what;
    ASSERT_EQ(ours.height, height) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(ours.pixels[i], expected[i]) << what << " at pixel " << i;
    }
}

}  // namespace

TEST(GifDecoder, MatchesGiflibOnManyGeneratedImages) {
    std::mt19937 rng(20261207);
    int made = 0;
    for (int bits = 1; bits <= 8; ++bits) {
        const int colors = 1 << bits;
        for (int variant = 0; variant < 12; ++variant) {
            GifPicture picture;
            picture.screenWidth = 1 + static_cast<int>(rng() % 97);
            picture.screenHeight = 1 + static_cast<int>(rng() % 61);
            if (variant == 11)
                picture.screenWidth = 400, picture.screenHeight = 300;  // long LZW runs, full table
            const bool local = variant % 3 == 1;
            const bool global = !local || variant % 2 == 0;
            if (global)
                picture.globalColors = randomColors(rng, colors);
            GifFrame frame;
            const bool smaller = variant % 4 == 2;
            frame.width = smaller ? 1 + static_cast<int>(rng() % picture.screenWidth) : picture.screenWidth;
            frame.height =
                smaller ? 1 + static_cast<int>(rng() % picture.screenHeight) : picture.screenHeight;
            if (smaller) {
                frame.left = static_cast<int>(rng() % (picture.screenWidth - frame.width + 1));
                frame.top = static_cast<int>(rng() % (picture.screenHeight - frame.height + 1));
            }
            frame.interlaced = variant % 2 == 1;
            if (local)
                frame.localColors = randomColors(rng, colors);
            if (variant % 5 == 3)
                frame.transparent = static_cast<int>(rng() % colors);
            frame.indices = randomIndices(rng, frame.width * frame.height, colors, variant % 3);
            picture.frames.push_back(frame);
            expectSameAsGiflib(imagetest::writeGif(picture),
                               "bits " + std::to_string(bits) + " variant " + std::to_string(variant));
            ++made;
        }
    }
    EXPECT_EQ(made, 96);
}

TEST(GifDecoder, TransparencyGivesAlphaZeroExactlyForThatIndex) {
    GifPicture picture;
    picture.screenWidth = 4, picture.screenHeight = 1;
    picture.globalColors = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
    GifFrame frame{0, 0, 4, 1, false, {}, 2, {0, 1, 2, 3}};
    picture.frames.push_back(frame);
    DecodedImage out = decodeOurs(imagetest::writeGif(picture));
    ASSERT_TRUE(out.pixels);
    EXPECT_TRUE(out.hasAlpha);
    EXPECT_EQ(out.pixels[0], 0xFF102030u);
    EXPECT_EQ(out.pixels[1], 0xFF405060u);
    EXPECT_EQ(out.pixels[2], 0u);
    EXPECT_EQ(out.pixels[3], 0xFFA0B0C0u);

    picture.frames[0].transparent = -1;
    DecodedImage opaque = decodeOurs(imagetest::writeGif(picture));
    EXPECT_FALSE(opaque.hasAlpha);
    EXPECT_EQ(opaque.pixels[2], 0xFF708090u);
}

TEST(GifDecoder, InterlacedEqualsItsNonInterlacedTwin) {
    std::mt19937 rng(7);
    for (int height : {1, 2, 3, 5, 8, 9, 17, 33}) {
        GifPicture picture;
        picture.screenWidth = 13, picture.screenHeight = height;
        picture.globalColors = randomColors(rng, 16);
        GifFrame frame{0, 0, 13, height, false, {}, -1, randomIndices(rng, 13 * height, 16, 0)};
        picture.frames.push_back(frame);
        DecodedImage plain = decodeOurs(imagetest::writeGif(picture));
        picture.frames[0].interlaced = true;
        DecodedImage interlaced = decodeOurs(imagetest::writeGif(picture));
        ASSERT_TRUE(plain.pixels && interlaced.pixels);
        for (int i = 0; i < 13 * height; ++i)
            ASSERT_EQ(plain.pixels[i], interlaced.pixels[i]) << height << " " << i;
    }
}

TEST(GifDecoder, AnimationShowsFirstFrameAndLoopingIsOnlyAMark) {
    GifPicture picture;
    picture.screenWidth = 2, picture.screenHeight = 2;
    picture.globalColors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    picture.frames.push_back(GifFrame{0, 0, 2, 2, false, {}, -1, {1, 1, 1, 1}});
    picture.frames.push_back(GifFrame{0, 0, 2, 2, false, {}, -1, {2, 2, 2, 2}});
    DecodedImage still = decodeOurs(imagetest::writeGif(picture));
    picture.looping = true;
    DecodedImage looping = decodeOurs(imagetest::writeGif(picture));
    ASSERT_TRUE(still.pixels && looping.pixels);
    EXPECT_FALSE(still.looping);
    EXPECT_TRUE(looping.looping);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(still.pixels[i], 0xFFFF0000u);
        EXPECT_EQ(looping.pixels[i], 0xFFFF0000u);
    }
}

TEST(GifDecoder, UncoveredScreenShowsIndexZeroAndUndefinedEntriesAreBlack) {
    GifPicture picture;
    picture.screenWidth = 3, picture.screenHeight = 2;
    picture.globalColors = {0x112233, 0x445566};
    picture.frames.push_back(GifFrame{1, 1, 2, 1, false, {}, -1, {1, 0}});
    DecodedImage out = decodeOurs(imagetest::writeGif(picture));
    ASSERT_TRUE(out.pixels);
    EXPECT_EQ(out.pixels[0], 0xFF112233u);
    EXPECT_EQ(out.pixels[4], 0xFF445566u);
    EXPECT_EQ(out.pixels[5], 0xFF112233u);

    // Hand-made: a 2-entry table, a 1x1 image: clear, index 1, end with 3-bit codes.
    const uint8_t file[] = {'G', 'I',  'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 9,    9,    9, 8,   8,
                            8,   0x2C, 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x4C, 0x01, 0, 0x3B};
    DecodedImage tiny;
    ASSERT_TRUE(ImageDecoder::decodeGif(file, sizeof file, tiny)) << tiny.error;
    EXPECT_EQ(tiny.pixels[0], 0xFF080808u);
}

TEST(GifDecoder, RejectsFilesWithoutSignatureImageOrColourTable) {
    DecodedImage out;
    const uint8_t badSignature[] = {'G', 'I', 'F', '8', '8', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B};
    EXPECT_FALSE(ImageDecoder::decodeGif(badSignature, sizeof badSignature, out));
    EXPECT_NE(out.error.find("GIF87a"), std::string::npos);

    const uint8_t noImage[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 1, 1, 1, 0x3B};
    EXPECT_FALSE(ImageDecoder::decodeGif(noImage, sizeof noImage, out));
    EXPECT_NE(out.error.find("no image"), std::string::npos);

    const uint8_t noTable[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0,    0,    0, 0x2C, 0,
                               0,   0,   0,   1,   0,   1,   0, 0, 2, 2, 0x4C, 0x01, 0, 0x3B};
    EXPECT_FALSE(ImageDecoder::decodeGif(noTable, sizeof noTable, out));
    EXPECT_NE(out.error.find("colour table"), std::string::npos);
}

TEST(GifDecoder, BrokenDataStopsDecodingButKeepsWhatDecoded) {
    std::mt19937 rng(3);
    GifPicture picture;
    picture.screenWidth = 40, picture.screenHeight = 30;
    picture.globalColors = randomColors(rng, 256);
    picture.frames.push_back(GifFrame{0, 0, 40, 30, false, {}, -1, randomIndices(rng, 1200, 256, 0)});
    const std::vector<uint8_t> file = imagetest::writeGif(picture);
    DecodedImage whole = decodeOurs(file);
    ASSERT_TRUE(whole.pixels);
    EXPECT_EQ(whole.warning, "");

    // Every truncation inside the image data still gives an image whose first rows match.
    size_t dataStart = 13 + 3 * 256 + 10 + 1;
    for (size_t cut = dataStart; cut < file.size(); cut += 37) {
        std::vector<uint8_t> truncated(file.begin(), file.begin() + static_cast<ptrdiff_t>(cut));
        DecodedImage part = decodeOurs(truncated);
        ASSERT_TRUE(part.pixels) << cut;
        ASSERT_EQ(part.width, 40);
        // The block terminator and the trailer are the file's last two bytes: without them, it says so.
        if (cut + 2 <= file.size()) {
            EXPECT_NE(part.warning.find("truncated"), std::string::npos) << cut;
        }
        if (cut > dataStart + 200) {
            EXPECT_EQ(part.pixels[0], whole.pixels[0]) << cut;
        }
    }

    // A code above the next free code stops decoding: what follows shows index 0.
    const uint8_t file2[] = {'G', 'I', 'F', '8', '9', 'a', 3, 0, 1, 0, 0x80, 0, 0, 1, 1, 1, 200, 200, 200,
                             0x2C, 0, 0, 0, 0, 3, 0, 1, 0, 0,
                             // m = 2: clear 4, codes 3 bits: 4 (clear), 1, 7 (beyond next free 6)
                             2, 2, 0xCC, 0x01, 0, 0x3B};
    DecodedImage stopped;
    ASSERT_TRUE(ImageDecoder::decodeGif(file2, sizeof file2, stopped)) << stopped.error;
    EXPECT_EQ(stopped.pixels[0], 0xFFC8C8C8u);
    EXPECT_EQ(stopped.pixels[1], 0xFF010101u);
    EXPECT_EQ(stopped.pixels[2], 0xFF010101u);
}

TEST(GifDecoder, FrameReachingPastTheScreenIsCut) {
    // A hostile descriptor: a 4x4 frame at (2, 2) on a 3x3 screen.
    GifPicture picture;
    picture.screenWidth = 3, picture.screenHeight = 3;
    picture.globalColors = {0x000000, 0xFFFFFF};
    picture.frames.push_back(GifFrame{2, 2, 4, 4, false, {}, -1, std::vector<uint8_t>(16, 1)});
    DecodedImage out = decodeOurs(imagetest::writeGif(picture));
    ASSERT_TRUE(out.pixels) << out.error;
    ASSERT_EQ(out.width, 3);
    EXPECT_EQ(out.pixels[8], 0xFFFFFFFFu);
    EXPECT_EQ(out.pixels[7], 0xFF000000u);
}

TEST(GifDecoder, EveryTruncationOfAValidFileIsHandled) {
    std::mt19937 rng(11);
    GifPicture picture;
    picture.screenWidth = 9, picture.screenHeight = 7;
    picture.globalColors = randomColors(rng, 8);
    picture.looping = true;
    picture.frames.push_back(
        GifFrame{1, 1, 6, 5, true, randomColors(rng, 4), 2, randomIndices(rng, 30, 4, 1)});
    const std::vector<uint8_t> file = imagetest::writeGif(picture);
    for (size_t cut = 0; cut <= file.size(); ++cut) {
        Image image("");
        image.decode(file.data(), static_cast<int>(cut), "cut.gif");
        if (!image.isLoaded()) {
            EXPECT_TRUE(image.loadFailed());
            EXPECT_NE(image.lastError().view().find("cut.gif"), std::string_view::npos);
        }
    }
}
