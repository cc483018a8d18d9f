// Choosing, creating and deleting players on the game canvas, with the real chooser made from its
// scripts and the real main menu: what the player sees of the chooser, the dimmer and the welcome line,
// and which profile the game then reads and writes. Input through the canvas's event paths.
#include <gtest/gtest.h>

#include "game/ChoosePlayer.h"
#include "game/GenericDialog.h"
#include "game/ProfileInputPrompt.h"
#include "tests/game/CanvasGame.h"
#include "tests/game/ChooserScript.h"
#include "tests/game/DialogTestSupport.h"

namespace {

using canvas_game::Game;
using canvas_game::gameDialog;
using lang::Ref;

// The chooser at (100, 50) as the definition loader makes it, with pictures made in memory.
Ref<ChoosePlayer> chooserFromScript(testsupport::TempFolder& folder) {
    folder.write("chooser.txt", dialog_test::kChooser);
    folder.write("prompt.txt", dialog_test::kPrompt);
    folder.write("generic.txt", dialog_test::kGeneric);
    folder.write("main.txt", "<sprites> ChoosePlayer ChoosePlayer:chooser.txt 100 50 600 500 1 0 0\n");
    sprite::LoaderMedia media;
    media.loadImage = [](const lang::String&, bool) -> lang::Object* { return dialog_test::sheet(); };
    auto loader =
        lang::make<sprite::DataLoader>(lang::String(folder.path().c_str()), nullptr, nullptr, media);
    EXPECT_TRUE(loader->load("main.txt"));
    auto* s = static_cast<sprite::Sprite*>(loader->sprites()->elementAt(0));
    return s->instanceOf("ChoosePlayer") ? lang::share(static_cast<ChoosePlayer*>(s)) : Ref<ChoosePlayer>();
}

class PlayerChoiceTest : public ::testing::Test {
protected:
    // The scene with the real chooser, and a main menu with its welcome line and its change-player
    // button (at 300, 550). `before` fills the store before the scene is set up.
    void start(std::function<void(PlayerData&)> before = {}) {
        chooser = chooserFromScript(folder);
        ASSERT_TRUE(chooser);
        font.dress(welcome.get());
        game = std::make_unique<Game>(true, 40, [&](Game& g) {
            if (before) {
                PlayerData data(g.settings.user(), "Lumaroo");
                before(data);
            }
            auto menu = gameDialog<MenuSprite>(0, 0, 800, 600);
            menu->addChild("ProfileName", welcome.get());
            menu->addChild("ChangePlayer", canvas_test::button("ChangePlayer", 300, 550).get());
            for (const char* name : {"MainMenu", "ChoosePlayer"})
                g.canvas->removeSprite(g.canvas->getSprite(name));
            g.add("MainMenu", menu);
            g.add("ChoosePlayer", chooser);
        });
    }
    void click(int x, int y) { game->click(util::Point(x, y)); }
    void type(const std::string& text) {
        for (char c : text)
            game->press(static_cast<unsigned char>(c));
    }
    void createByPrompt(const std::string& name) {
        click(165, 455);  // createNewProfile
        ASSERT_TRUE(prompt()->isVisible());
        type(name);
        game->press(window::Event::kEnter);
    }
    ProfileInputPrompt* prompt() {
        return static_cast<ProfileInputPrompt*>(chooser->getChild("inputPrompt").get());
    }
    std::string welcomeText() { return std::string(welcome->getText().view()); }
    // The chooser stands over the dimmer, and both over the main menu.
    void expectChooserOverTheDimmer() {
        EXPECT_TRUE(game->visible("ChoosePlayer"));
        EXPECT_TRUE(game->visible("dim"));
        EXPECT_GT(game->order("ChoosePlayer"), game->order("dim"));
        EXPECT_GT(game->order("dim"), game->order("MainMenu"));
    }
    PlayerData& data() { return *game->canvas->playerData(); }

    testsupport::TempFolder folder;
    dialog_test::BoxFont font;
    Ref<ChoosePlayer> chooser;
    Ref<sprite::NewFontSprite> welcome = lang::make<sprite::NewFontSprite>();
    std::unique_ptr<Game> game;
};

// The first start: the chooser asks for a player at once; the name typed (with a "p", which pauses
// nothing here) becomes the profile the game reads and writes, and the menu greets it.
TEST_F(PlayerChoiceTest, TheFirstPlayerIsAskedForAtOnceAndGreetedOnceCreated) {
    start();
    ASSERT_EQ(game->canvas->state(), KolbaxCanvas::kMainMenu);
    expectChooserOverTheDimmer();
    EXPECT_EQ(chooser->selectedName(), "");
    createByPrompt("Pip");
    EXPECT_FALSE(game->visible("ChoosePlayer"));
    EXPECT_FALSE(game->visible("dim"));
    EXPECT_TRUE(game->visible("MainMenu"));
    EXPECT_FALSE(game->canvas->paused());
    EXPECT_EQ(welcomeText(), "Welcome, Pip");
    EXPECT_EQ(data().lastProfile(), "Pip");
    EXPECT_EQ(data().currentProfile(), "Pip");
    data().setScore(77);
    EXPECT_EQ(data().getInt("Pip", PlayerData::kScore, 0), 77) << "the game writes into the new profile";
}

// A returning player changes players from the menu: the chooser opens over the dimmer with the current
// player selected; another player chosen by row and accept button becomes the one the game plays.
TEST_F(PlayerChoiceTest, ChangingPlayersOpensTheChooserOnTheCurrentOneAndSwitchesTheProfile) {
    start([](PlayerData& d) {
        for (const char* name : {"Ann", "Bob"})
            d.createProfile(name);
        d.setInt("Ann", PlayerData::kHighestLevel, 12);
        d.setLastProfile("Bob");
    });
    EXPECT_FALSE(game->visible("ChoosePlayer"));
    EXPECT_EQ(welcomeText(), "Welcome, Bob");
    click(305, 555);  // the menu's change-player button
    expectChooserOverTheDimmer();
    EXPECT_EQ(chooser->selectedName(), "Bob");
    EXPECT_EQ(dialog_test::stateOf(chooser.get(), "Hilite1"), sprite::ButtonSprite::kSelected);

    click(285, 150);  // Ann's row
    click(125, 455);  // acceptProfile
    EXPECT_FALSE(game->visible("ChoosePlayer"));
    EXPECT_FALSE(game->visible("dim"));
    EXPECT_EQ(welcomeText(), "Welcome, Ann");
    EXPECT_EQ(data().lastProfile(), "Ann");
    EXPECT_EQ(data().highestLevel(), 12) << "the game reads Ann's progress now";

    // Deleting the player in play leaves no last player; the one left is chosen next.
    click(305, 555);
    EXPECT_EQ(chooser->selectedName(), "Ann");
    click(205, 455);             // deleteProfile
    click(250 + 55, 200 + 155);  // b1Delete
    EXPECT_EQ(data().profiles(), (std::vector<std::string>{"Bob"}));
    EXPECT_EQ(data().lastProfile(), "");
    expectChooserOverTheDimmer();
    click(125, 455);
    EXPECT_EQ(welcomeText(), "Welcome, Bob");
    EXPECT_EQ(data().currentProfile(), "Bob");
    EXPECT_EQ(data().lastProfile(), "Bob");
}

}  // namespace
