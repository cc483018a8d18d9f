// The real pictures and settings store plugged into the loader: "@" names read the store, and a
// picture asked for now answers null when it has no pixels, so the loader can fall back.
#include <gtest/gtest.h>

#include <string>

#include "lang/Ref.h"
#include "sprite/StandardLoaderMedia.h"
#include "sprite/store/User.h"
#include "tests/support/ScratchSettings.h"
#include "window/Image.h"

namespace {

TEST(StandardLoaderMediaTest, SettingsAndPicturesComeFromTheRealClasses) {
    sprite::LoaderMedia media = sprite::standardLoaderMedia();
    testsupport::ScratchSettings settings;
    sprite::User* store = settings.user();
    store->setString("skin", "+forest");
    lang::String fallback("none");
    auto skin = lang::adopt(media.readSetting(store, lang::String("skin"), fallback));
    EXPECT_STREQ(skin->chars(), "+forest");
    auto missing = lang::adopt(media.readSetting(store, lang::String("nothing"), fallback));
    EXPECT_STREQ(missing->chars(), "none");
    auto noStore = lang::adopt(media.readSetting(nullptr, lang::String("skin"), fallback));
    EXPECT_STREQ(noStore->chars(), "none");

    std::string absent = settings.folder().file("absent.png");
    EXPECT_EQ(media.loadImage(lang::String(absent.c_str()), true), nullptr);
    auto lazy = lang::adopt(media.loadImage(lang::String(absent.c_str()), false));
    ASSERT_TRUE(lazy);
    EXPECT_TRUE(lazy->instanceOf("Image"));

    // A one-pixel GIF decoded from memory, as an image pack entry would be.
    static const uint8_t kGif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
                                   0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00,
                                   0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    auto decoded = lang::adopt(media.decodeImage(lang::String("pixel"), kGif, sizeof kGif));
    ASSERT_TRUE(decoded);
    auto* image = static_cast<window::Image*>(decoded.get());
    ASSERT_NE(image->getPixels(), nullptr);
    EXPECT_EQ(image->getPixels()[0] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(media.decodeImage(lang::String("junk"), kGif, 5), nullptr);
}

}  // namespace
