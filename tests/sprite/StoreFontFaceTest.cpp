// A program with sprites applies the settings store's "fontName" to the font code, as the store alone
// no longer can: the sprite library installs the store's font-face handler before main.
#include <gtest/gtest.h>

#include <string>

#include "lang/String.h"
#include "sprite/store/User.h"
#include "tests/support/ScratchSettings.h"
#include "window/Font.h"

namespace {

std::string defaultFace() {
    return std::string(window::defaultFontFace().view());
}

// Puts back the default face a test changed, for the tests that run after it in the same process.
class StoreFontFace : public ::testing::Test {
protected:
    void TearDown() override { window::setDefaultFontFace(previous_); }

    lang::String previous_{window::defaultFontFace()};
};

TEST_F(StoreFontFace, TheHandlerIsTheFontCodesSetterBeforeAnyTestRuns) {
    auto installed = sprite::User::setFontFaceHandler(nullptr);
    sprite::User::setFontFaceHandler(installed);
    EXPECT_EQ(installed, &window::setDefaultFontFace);
}

TEST_F(StoreFontFace, AStoredFontNameBecomesTheDefaultFaceWhenTheKeyIsSelected) {
    window::setDefaultFontFace(lang::String("Arial"));
    testsupport::ScratchSettings settings;
    sprite::User* store = settings.user();
    store->setString("fontName", "DejaVu Sans");
    EXPECT_EQ(defaultFace(), "Arial") << "a write alone changes no face";
    ASSERT_TRUE(store->setPath("Lumaroo"));
    EXPECT_EQ(defaultFace(), "DejaVu Sans");
}

TEST_F(StoreFontFace, AKeyWithoutAFontNameKeepsTheFaceThere) {
    window::setDefaultFontFace(lang::String("Liberation Serif"));
    testsupport::ScratchSettings settings;
    sprite::User* store = settings.user();
    ASSERT_TRUE(store->setPath("Lumaroo"));
    store->setString("fontName", "");
    ASSERT_TRUE(store->setPath("Lumaroo"));
    EXPECT_EQ(defaultFace(), "Liberation Serif");
}

}  // namespace
