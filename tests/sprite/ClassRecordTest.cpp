// Every creatable sprite class registers by name, answers its is-a chain, and is made and initialised
// from script records by the real definition loader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sprite/ButtonSprite.h"
#include "sprite/DataLoader.h"
#include "sprite/DialogSprite.h"
#include "sprite/NumberSprite.h"
#include "sprite/RectButtonSprite.h"
#include "sprite/RectSprite.h"
#include "tests/sprite/SpriteTestSupport.h"
#include "tests/support/TempFolder.h"
#include "window/MessageBox.h"

namespace {

using lang::Ref;

struct Chain {
    const char* name;
    std::vector<const char*> is;
    std::vector<const char*> isNot;
};

TEST(SpriteClassRecordTest, EveryClassIsFoundByNameAndAnswersItsChain) {
    const std::vector<Chain> chains = {
        {"Sprite", {"SpriteBase", "Object", "Receiver"}, {"FancyContainer", "AnimateSprite"}},
        {"AnimateSprite", {"Sprite", "SpriteBase"}, {"ButtonSprite"}},
        {"FancyContainer", {"Sprite"}, {"DialogSprite", "AnimateSprite"}},
        {"DialogSprite", {"FancyContainer", "Sprite", "SpriteBase", "Receiver"}, {"ButtonSprite"}},
        {"ButtonSprite", {"AnimateSprite", "Sprite"}, {"RectButtonSprite", "DialogSprite"}},
        {"RectButtonSprite", {"ButtonSprite", "AnimateSprite", "Sprite"}, {"FancyContainer"}},
        {"NewFontSprite", {"AnimateSprite", "Sprite"}, {"NumberSprite"}},
        {"NumberSprite", {"AnimateSprite", "Sprite"}, {"NewFontSprite"}},
        {"TextSprite", {"Sprite"}, {"AnimateSprite"}},
        {"RectSprite", {"Sprite"}, {"AnimateSprite", "ButtonSprite"}},
    };
    for (const Chain& chain : chains) {
        lang::Class* record = lang::Class::forName(chain.name);
        ASSERT_NE(record, nullptr) << chain.name << " is not registered";
        Ref<lang::Object> object = lang::adopt(record->newInstance());
        EXPECT_STREQ(object->getClassName(), chain.name);
        EXPECT_TRUE(object->instanceOf(chain.name));
        for (const char* base : chain.is)
            EXPECT_TRUE(object->instanceOf(base)) << chain.name << " is a " << base;
        for (const char* other : chain.isNot)
            EXPECT_FALSE(object->instanceOf(other)) << chain.name << " is not a " << other;
    }
    EXPECT_EQ(lang::Class::forName("SpriteBase"), nullptr) << "the abstract root is not creatable";
}

TEST(SpriteClassRecordTest, TheLoaderMakesAndInitialisesEveryClassFromScriptRecords) {
    testsupport::TempFolder folder;
    folder.write("main.txt",
                 "<images> sheet sheet.png\n"
                 "<sprites>\n"
                 " plain Sprite sheet 1 2\n"
                 " anim AnimateSprite sheet 3 4 2 2 1 0 0 1\n"
                 " btn ButtonSprite sheet 5 5 2 2 1 0 3 1\n"
                 " zone RectButtonSprite 1 2 3 4 1\n"
                 " shortzone RectButtonSprite 7 8\n"
                 " box RectSprite 0 0 10 10 -16777216 1 1\n"
                 " num NumberSprite sheet 0 0 2 1234 0 0 0\n"
                 " label NewFontSprite \"\" \"\" 4 4\n"
                 " txt TextSprite 5 5 0\n"
                 " group FancyContainer 0 0 5 5\n"
                 " dlg DialogSprite:sub.txt 10 10 100 100 1 1 0\n"
                 "<end>\n");
    folder.write("sub.txt", "<sprites> inner ButtonSprite sheet 0 0 2 2 1 0 3 1 <end>\n");
    sprite::LoaderMedia media;
    media.loadImage = [](const lang::String&, bool) -> lang::Object* {
        return sprite_test::solidImage(30, 16, 0xFFFFFFFF).detach();
    };
    std::vector<std::string> boxes;
    auto previous = window::setMessageBoxHook(
        [&](std::string_view title, std::string_view text) { boxes.push_back(std::string(title) + ": " + std::string(text)); });
    auto loader = lang::adopt(new sprite::DataLoader(lang::String(folder.path().c_str()), nullptr, nullptr, media));
    ASSERT_TRUE(loader->load("main.txt"));
    window::setMessageBoxHook(previous);
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    ASSERT_EQ(loader->sprites()->size(), 11);

    auto named = [&](const char* name) { return static_cast<sprite::Sprite*>(loader->names()->get(name)); };
    EXPECT_EQ(named("plain")->getX(), 1);
    EXPECT_EQ(named("anim")->getWidth(), 15) << "one cell of a 2 x 2 sheet";
    auto* btn = static_cast<sprite::ButtonSprite*>(named("btn"));
    EXPECT_EQ(btn->getState(), sprite::ButtonSprite::kNormal);
    EXPECT_TRUE(btn->isVisible());
    EXPECT_TRUE(static_cast<sprite::RectButtonSprite*>(named("zone"))->pressTest(2, 3));
    EXPECT_FALSE(static_cast<sprite::RectButtonSprite*>(named("shortzone"))->initSucceeded());
    EXPECT_TRUE(static_cast<sprite::RectSprite*>(named("box"))->isDithered());
    EXPECT_EQ(static_cast<sprite::NumberSprite*>(named("num"))->getValue(), 1234);
    auto* dlg = static_cast<sprite::DialogSprite*>(named("dlg"));
    EXPECT_TRUE(dlg->isModal());
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->childCount(), 1);
    EXPECT_TRUE(dlg->getChild("inner")) << "the dialog took the sub-script's name table";
}

}  // namespace
