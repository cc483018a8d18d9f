// The main menu, options, instructions, tutorial, exit and game-over dialogs, built from scripts and
// driven through the canvas's routing by mouse, wheel and keys, on a store in a temporary folder.
#include <gtest/gtest.h>

#include <string>

#include "game/ExitDlgSprite.h"
#include "game/GameOverDialog.h"
#include "game/GamePlayReport.h"
#include "game/InstructDialog.h"
#include "game/MenuSprite.h"
#include "game/OptionsSprite.h"
#include "game/TutorialDialog.h"
#include "sprite/NewFontSprite.h"
#include "sprite/TextSprite.h"
#include "tests/game/DialogTestSupport.h"
#include "window/AudioClip.h"
#include "window/Font.h"

namespace {

using dialog_test::stateOf;
using lang::Ref;
using window::Event;

// A clip that counts what the dialogs ask of it instead of reaching the sound engine.
class CountingClip : public window::AudioClip {
public:
    void playImpl() override { ++plays; }
    void loopImpl() override { ++loops; }
    void stopImpl() override { ++stops; }
    int plays = 0, loops = 0, stops = 0;
};

const char* const kButton = " ButtonSprite btn ";

class MenusTest : public ::testing::Test, public dialog_test::DialogFixture {
protected:
    void SetUp() override {
        canvas->data->createProfile("Ann");
        canvas->data->selectProfile("Ann");
    }
    // Loads one dialog `name` of class `cls` at (100, 100), 400 by 300, from `script`.
    template <class T>
    T* open(const char* name, const char* cls, const std::string& script, bool modal = true) {
        write("d.txt", script);
        write("main.txt", std::string("<sprites> ") + name + " " + cls + ":d.txt 100 100 400 300 " +
                              (modal ? "1" : "0") + " 1 0\n");
        load("main.txt");
        T* dialog = get<T>(name);
        EXPECT_NE(dialog, nullptr);
        canvas->take();
        return dialog;
    }
    void wheel(int x, int y, int notches) {
        canvas->deliver(lang::make<Event>(Event::kMouseWheel, x, y, 0, notches, 0).get());
    }
    void drag(int id, int x, int y) { canvas->deliver(lang::make<Event>(id, x, y, 0, 0, 1).get()); }
    // The commands that reached the game, without the empty ones of presses that were only consumed
    // and the cursor changes of the pointer's moves.
    std::vector<std::string> commands() {
        std::vector<std::string> all = canvas->take(), given;
        for (std::string& c : all)
            if (!c.empty() && c != "handCursor" && c != "normalCursor")
                given.push_back(std::move(c));
        return given;
    }
};

TEST_F(MenusTest, InstructionsOpenOnTheFirstPageWithEveryOtherPageHidden) {
    std::string script = "<sprites>\n";
    for (int p = 1; p <= 5; ++p)
        script += " pg" + std::to_string(p) + " AnimateSprite btn 0 0 3 1\n";
    script += std::string(" bInstructionsBack") + kButton + "10 250 3 1 2 1 0 1\n" + " bInstructionsNext" +
              kButton + "50 250 3 1 2 1 0 1\n" + " bInstructionsClose" + kButton + "350 10 3 1 2 1 0 1\n";
    auto* d = open<InstructDialog>("Instructions", "InstructDialog", script);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->pageCount(), 5);
    EXPECT_TRUE(d->getChild("version")) << "the version line is made at set-up";
    auto visiblePages = [&] {
        std::string shown;
        for (int p = 1; p <= 5; ++p)
            if (d->getChild(("pg" + std::to_string(p)).c_str())->isVisible())
                shown += std::to_string(p);
        return shown;
    };
    EXPECT_EQ(visiblePages(), "1");
    EXPECT_EQ(stateOf(d, "bInstructionsBack"), 0);
    // Pages 5 and beyond must not show through when the instructions are opened again.
    for (int p = 2; p <= 5; ++p)
        canvas->key(Event::kRight);
    EXPECT_EQ(d->page(), 5);
    EXPECT_EQ(stateOf(d, "bInstructionsNext"), 0);
    for (int f = 0; f < 20; ++f)
        dialog_test::step(*d, f);
    EXPECT_EQ(visiblePages(), "5") << "each old page fades out and hides";
    d->open();
    EXPECT_EQ(visiblePages(), "1");
    for (int f = 0; f < 20; ++f)
        dialog_test::step(*d, f);
    EXPECT_EQ(visiblePages(), "1") << "no fade left over from the last visit hides or shows a page";
    EXPECT_EQ(stateOf(d, "bInstructionsNext"), 1);
    EXPECT_EQ(stateOf(d, "bInstructionsBack"), 0);

    canvas->click(160, 360);  // next, by mouse
    EXPECT_EQ(d->page(), 2);
    canvas->key(Event::kLeft);
    EXPECT_EQ(d->page(), 1);
    canvas->key(Event::kLeft);
    EXPECT_EQ(d->page(), 1) << "no page before the first";
    canvas->take();
    canvas->key(Event::kEscape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(commands(), (std::vector<std::string>{"bInstructionsClose"}));
}

// Three pages: each turn fades the new page in to 128 and the old one out, over 10 frames each; the
// next button works up to the last page, the back button from the second. The version line shows the
// program's version in white, at size 25.
TEST_F(MenusTest, InstructionsTurnThreePagesWithFadesAndShowTheVersion) {
    std::string script = "<sprites>\n";
    for (int p = 1; p <= 3; ++p)
        script += " pg" + std::to_string(p) + " AnimateSprite btn 0 0 3 1\n";
    script += std::string(" bInstructionsBack") + kButton + "10 250 3 1 2 1 0 1\n" + " bInstructionsNext" +
              kButton + "50 250 3 1 2 1 0 1\n" + " bInstructionsClose" + kButton + "350 10 3 1 2 1 0 1\n";
    auto* d = open<InstructDialog>("Instructions", "InstructDialog", script);
    ASSERT_NE(d, nullptr);
    auto page = [&](int p) { return d->getChild(("pg" + std::to_string(p)).c_str()); };
    auto buttons = [&] {
        return std::to_string(stateOf(d, "bInstructionsBack")) +
               std::to_string(stateOf(d, "bInstructionsNext"));
    };
    d->open();
    EXPECT_TRUE(page(1)->isVisible());
    EXPECT_EQ(page(1)->getAlpha(), 128);
    EXPECT_FALSE(page(2)->isVisible());
    EXPECT_FALSE(page(3)->isVisible());
    EXPECT_EQ(buttons(), "01") << "back off, next on";

    canvas->click(160, 360);  // next
    EXPECT_EQ(d->page(), 2);
    EXPECT_EQ(buttons(), "11");
    EXPECT_TRUE(page(2)->isVisible());
    EXPECT_EQ(page(2)->getAlpha(), 0);
    for (int f = 0; f < 9; ++f)
        dialog_test::step(*d, f);
    EXPECT_LT(page(2)->getAlpha(), 128);
    EXPECT_TRUE(page(1)->isVisible());
    dialog_test::step(*d, 9);
    EXPECT_EQ(page(2)->getAlpha(), 128) << "the new page is in after 10 frames";
    EXPECT_FALSE(page(1)->isVisible()) << "the old page is out after 10 frames";

    canvas->click(160, 360);
    EXPECT_EQ(d->page(), 3);
    EXPECT_EQ(buttons(), "10") << "no next page after the third";
    canvas->click(160, 360);
    EXPECT_EQ(d->page(), 3);
    canvas->click(120, 360);  // back
    canvas->click(120, 360);
    EXPECT_EQ(d->page(), 1);
    EXPECT_EQ(buttons(), "01");
    for (int f = 10; f < 30; ++f)
        dialog_test::step(*d, f);
    EXPECT_TRUE(page(1)->isVisible());
    EXPECT_EQ(page(1)->getAlpha(), 128);
    EXPECT_FALSE(page(2)->isVisible());
    EXPECT_FALSE(page(3)->isVisible());
    canvas->take();
    canvas->click(455, 115);  // close
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(commands(), (std::vector<std::string>{"bInstructionsClose"}));

    lang::Ref<sprite::Sprite> version = d->getChild("version");
    ASSERT_TRUE(version && version->instanceOf("TextSprite"));
    auto* line = static_cast<sprite::TextSprite*>(version.get());
    EXPECT_EQ(std::string(line->getText().view()), kReportVersion);
    EXPECT_TRUE(line->isVisible());
    auto same = lang::make<sprite::TextSprite>();
    same->setFont(lang::make<window::Font>(window::defaultFontFace(), 25).get());
    same->setText(kReportVersion);
    EXPECT_EQ(line->getWidth(), same->getWidth());
    EXPECT_EQ(line->getHeight(), same->getHeight());
    line->render();
    window::Image* picture = line->getImage();
    ASSERT_NE(picture, nullptr);
    int inked = 0;
    for (int i = 0; i < picture->getWidth() * picture->getHeight(); ++i) {
        const uint32_t pixel = picture->getPixels()[i];
        if ((pixel >> 24) == 0)
            continue;
        ++inked;
        EXPECT_EQ(pixel & 0xFFFFFFu, 0xFFFFFFu) << "the version is written in white";
    }
    EXPECT_GT(inked, 0);
}

TEST_F(MenusTest, OptionsKnobsFollowTheMouseAndTheWheelAndClosingStoresBothVolumes) {
    std::string script = "<data> 50 100 50 200\n<sprites>\n";
    script += std::string(" butfxknob") + kButton + "0 0 3 1 2 1 0 1\n" + " butmuknob" + kButton +
              "0 0 3 1 2 1 0 1\n" + " bOptionsClose" + kButton + "370 10 3 1 2 1 0 1\n" +
              " bFullScreen Sprite bg 10 10\n" + " fullscreenhotspot RectButtonSprite 10 10 20 20 1\n" +
              " itoggletutorials Sprite bg 10 40\n" + " tutorialhotspot RectButtonSprite 10 40 20 20 1\n" +
              " creditsbackground Sprite bg 0 0\n" + " bCredits" + kButton + "10 270 3 1 2 1 0 1\n" +
              " btnclosecredits" + kButton + "370 270 3 1 2 1 0 1\n";
    auto* d = open<OptionsSprite>("Options", "OptionsSprite", script);
    ASSERT_NE(d, nullptr);
    auto music = lang::make<CountingClip>();
    auto effects = lang::make<CountingClip>();
    d->setTestClips(music.get(), effects.get());
    d->load();
    // No stored music volume: the options show the same default the game plays at.
    EXPECT_EQ(d->musicVolume(), 128);
    EXPECT_EQ(d->effectsVolume(), 255);
    EXPECT_EQ(dialog_test::buttonIn(d, "butmuknob")->getY(), 200);

    // The effects knob (canvas x 405) grabbed 5 pixels in, dragged past both ends of its track.
    drag(Event::kMouseDown, 410, 205);
    EXPECT_TRUE(d->isDragging());
    drag(Event::kMouseDrag, 300, 205);
    EXPECT_EQ(canvas->effectsVolume, 145);
    EXPECT_EQ(effects->plays, 1) << "the test sound plays while the knob moves";
    drag(Event::kMouseDrag, 900, 205);
    EXPECT_EQ(canvas->effectsVolume, 255);
    drag(Event::kMouseDrag, 0, 205);
    EXPECT_EQ(canvas->effectsVolume, 0);
    drag(Event::kMouseUp, 250, 205);
    EXPECT_FALSE(d->isDragging());
    EXPECT_EQ(d->effectsVolume(), 95);
    EXPECT_EQ(canvas->effectsVolume, 95);
    EXPECT_EQ(effects->stops, 1);
    EXPECT_TRUE(commands().empty()) << "a drag is no command";

    // The wheel anywhere along the music track: 8 a notch, never below 0; the music plays meanwhile.
    wheel(200, 305, 2);
    EXPECT_EQ(d->musicVolume(), 144);
    EXPECT_EQ(music->getVolume(), 144);
    EXPECT_EQ(music->loops, 1);
    wheel(200, 305, -100);
    EXPECT_EQ(d->musicVolume(), 0);
    wheel(200, 150, 1);  // between the tracks: nothing turns
    EXPECT_EQ(d->musicVolume(), 0);
    EXPECT_EQ(d->effectsVolume(), 95);

    // Tutorials off and full screen on: each stored where the game reads it.
    canvas->click(115, 145);
    EXPECT_FALSE(d->getChild("itoggletutorials")->isVisible());
    EXPECT_FALSE(canvas->data->showTutorials());
    canvas->click(115, 115);
    EXPECT_TRUE(canvas->fullScreen);
    EXPECT_EQ(canvas->data->getInt(PlayerData::kFullScreen, -1), 1);
    EXPECT_EQ(canvas->data->programInt(PlayerData::kFullScreen, -1), 1);
    EXPECT_TRUE(d->getChild("bFullScreen")->isVisible());
    EXPECT_TRUE(commands().empty()) << "the toggles act once and pass nothing up";

    // With the credits up, nothing beside their close button acts: not the hot spots, not the credits'
    // own button, not Enter. Escape closes the credits first, then the options.
    canvas->click(115, 375);
    EXPECT_TRUE(d->getChild("creditsbackground")->isVisible());
    canvas->click(115, 115);
    canvas->click(115, 145);
    EXPECT_TRUE(canvas->fullScreen);
    EXPECT_FALSE(d->getChild("itoggletutorials")->isVisible());
    canvas->click(475, 115);  // bOptionsClose
    EXPECT_TRUE(d->isVisible());
    canvas->key(Event::kEnter);
    EXPECT_FALSE(d->getChild("creditsbackground")->isVisible()) << "Enter closes the credits";
    EXPECT_TRUE(d->isVisible());
    canvas->click(115, 375);
    EXPECT_TRUE(d->getChild("creditsbackground")->isVisible());
    canvas->key(Event::kEscape);
    EXPECT_FALSE(d->getChild("creditsbackground")->isVisible());
    EXPECT_TRUE(d->isVisible());
    canvas->key(Event::kEscape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(commands(), (std::vector<std::string>{"CLOSED"}));
    EXPECT_EQ(canvas->data->musicVolume(), 0);
    EXPECT_EQ(canvas->data->effectsVolume(), 95);
    EXPECT_GE(music->stops, 1);
}

TEST_F(MenusTest, APressOnAVolumeTrackBringsTheKnobThereAndDragsItOn) {
    // Track origins: effects (50, 100), music (50, 200); the knobs are 20 by 20; the dialog at (100, 100).
    std::string script = "<data> 50 100 50 200\n<sprites>\n";
    script += std::string(" butfxknob") + kButton + "0 0 3 1 2 1 0 1\n" + " butmuknob" + kButton +
              "0 0 3 1 2 1 0 1\n" + " bOptionsClose" + kButton + "370 10 3 1 2 1 0 1\n";
    auto* d = open<OptionsSprite>("Options", "OptionsSprite", script);
    ASSERT_NE(d, nullptr);
    auto music = lang::make<CountingClip>();
    auto effects = lang::make<CountingClip>();
    d->setTestClips(music.get(), effects.get());
    d->load();

    // Pressed at local x 100 on the effects track: the knob's middle comes there (volume 100 - 50 - 10).
    drag(Event::kMouseDown, 200, 205);
    EXPECT_EQ(d->effectsVolume(), 40);
    EXPECT_EQ(canvas->effectsVolume, 40) << "the sound follows at once";
    EXPECT_EQ(effects->plays, 1);
    EXPECT_TRUE(d->isDragging()) << "the press grabbed the knob";
    drag(Event::kMouseDrag, 250, 205);
    EXPECT_EQ(d->effectsVolume(), 90);
    drag(Event::kMouseUp, 260, 205);
    EXPECT_FALSE(d->isDragging());
    EXPECT_EQ(d->effectsVolume(), 100);
    EXPECT_EQ(effects->stops, 1);

    // Near the music track's right end the knob stops at full volume; left of the track's origin, and
    // between the tracks, a press moves nothing.
    drag(Event::kMouseDown, 420, 305);
    EXPECT_EQ(d->musicVolume(), 255);
    EXPECT_EQ(music->getVolume(), 255);
    EXPECT_EQ(music->loops, 1);
    drag(Event::kMouseUp, 420, 305);
    EXPECT_EQ(d->musicVolume(), 255);
    drag(Event::kMouseDown, 145, 305);
    drag(Event::kMouseUp, 145, 305);
    drag(Event::kMouseDown, 200, 150);
    drag(Event::kMouseUp, 200, 150);
    EXPECT_EQ(d->musicVolume(), 255);
    EXPECT_EQ(d->effectsVolume(), 100);
    EXPECT_TRUE(commands().empty()) << "a press on a track is no command";
}

// Opening the options shows what is stored (knobs, tutorials mark) with the credits put away; the
// tutorials hot spot turns the mark and the setting off and on again; the close button stores both
// volumes, hands the effects volume to the sound, silences both test clips and closes.
TEST_F(MenusTest, OptionsShowTheStoredSettingsAndTheirCloseButtonStoresThem) {
    std::string script = "<data> 50 100 50 200\n<sprites>\n";
    script += std::string(" butfxknob") + kButton + "0 0 3 1 2 1 0 1\n" + " butmuknob" + kButton +
              "0 0 3 1 2 1 0 1\n" + " bOptionsClose" + kButton + "370 10 3 1 2 1 0 1\n" +
              " itoggletutorials AnimateSprite btn 10 40 3 1 -1\n" +
              " tutorialhotspot RectButtonSprite 10 40 20 20 1\n" + " creditsbackground Sprite bg 0 0\n" +
              " btnclosecredits" + kButton + "370 270 3 1 2 1 0 1\n";
    auto* d = open<OptionsSprite>("Options", "OptionsSprite", script);
    ASSERT_NE(d, nullptr);
    auto music = lang::make<CountingClip>();
    auto effects = lang::make<CountingClip>();
    d->setTestClips(music.get(), effects.get());
    canvas->data->setMusicVolume(30);
    canvas->data->setEffectsVolume(70);
    canvas->data->setShowTutorials(false);
    d->getChild("creditsbackground")->setVisible(true);
    d->load();
    auto place = [&](const char* knob) {
        sprite::ButtonSprite* b = dialog_test::buttonIn(d, knob);
        return std::make_pair(b->getX(), b->getY());
    };
    EXPECT_EQ(place("butmuknob"), std::make_pair(50 + 30, 200));
    EXPECT_EQ(place("butfxknob"), std::make_pair(50 + 70, 100));
    EXPECT_FALSE(d->getChild("itoggletutorials")->isVisible());
    EXPECT_FALSE(d->getChild("creditsbackground")->isVisible());
    EXPECT_FALSE(d->getChild("btnclosecredits")->isVisible());
    canvas->data->setShowTutorials(true);
    d->load();
    EXPECT_TRUE(d->getChild("itoggletutorials")->isVisible());

    canvas->click(115, 145);
    EXPECT_FALSE(d->getChild("itoggletutorials")->isVisible());
    EXPECT_EQ(canvas->data->getInt(PlayerData::kShowTutorials, -1), 0);
    canvas->click(115, 145);
    EXPECT_TRUE(d->getChild("itoggletutorials")->isVisible());
    EXPECT_EQ(canvas->data->getInt(PlayerData::kShowTutorials, -1), 1);

    // A drag that wanders off the track's line leaves the knob on it.
    drag(Event::kMouseDown, 100 + 125, 100 + 105);
    drag(Event::kMouseDrag, 100 + 145, 100 + 160);
    drag(Event::kMouseUp, 100 + 150, 100 + 170);
    EXPECT_EQ(place("butfxknob"), std::make_pair(50 + 95, 100));
    wheel(100 + 60, 100 + 205, 1);
    canvas->take();
    canvas->click(475, 115);  // bOptionsClose
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(commands(), (std::vector<std::string>{"CLOSED"}));
    EXPECT_EQ(canvas->data->effectsVolume(), 95);
    EXPECT_EQ(canvas->data->musicVolume(), 38);
    EXPECT_EQ(canvas->effectsVolume, 95) << "the sound takes the effects volume";
    EXPECT_GE(effects->stops, 2) << "the drag's end and the close each silence the effects clip";
    EXPECT_GE(music->stops, 1);
}

TEST_F(MenusTest, TheFullScreenMarkShowsWhatTheFrameHasDoneAndOnlyThatIsStored) {
    std::string script = "<data> 50 100 50 200\n<sprites>\n";
    script += std::string(" bOptionsClose") + kButton + "370 10 3 1 2 1 0 1\n" +
              " bFullScreen Sprite bg 10 10\n" + " fullscreenhotspot RectButtonSprite 10 10 20 20 1\n";
    auto* d = open<OptionsSprite>("Options", "OptionsSprite", script);
    ASSERT_NE(d, nullptr);
    canvas->fullScreenLater = true;
    d->load();
    auto mark = [&] { return d->getChild("bFullScreen")->isVisible(); };
    auto stored = [&] {
        EXPECT_EQ(canvas->data->getInt(PlayerData::kFullScreen, -1),
                  canvas->data->programInt(PlayerData::kFullScreen, -1))
            << "the profile and the program key agree";
        return canvas->data->programInt(PlayerData::kFullScreen, -1);
    };
    EXPECT_FALSE(mark());

    // Asked for full screen: until the frame has switched, the mark and the store stay as they were.
    canvas->click(115, 115);
    EXPECT_EQ(canvas->fullScreenAsked, (std::vector<bool>{true}));
    dialog_test::step(*d, 1);
    EXPECT_FALSE(mark());
    EXPECT_EQ(stored(), -1);
    // The frame has switched: the next frame shows it and stores it.
    canvas->finishFullScreen();
    dialog_test::step(*d, 2);
    EXPECT_TRUE(mark());
    EXPECT_EQ(stored(), 1);

    // And back to a window.
    canvas->click(115, 115);
    EXPECT_EQ(canvas->fullScreenAsked, (std::vector<bool>{false}));
    dialog_test::step(*d, 3);
    EXPECT_TRUE(mark());
    EXPECT_EQ(stored(), 1);
    canvas->finishFullScreen();
    dialog_test::step(*d, 4);
    EXPECT_FALSE(mark());
    EXPECT_EQ(stored(), 0);

    // A switch the frame could not make changes neither; the next press asks for it again.
    canvas->click(115, 115);
    canvas->fullScreenAsked.clear();
    for (int f = 5; f < 10; ++f)
        dialog_test::step(*d, f);
    EXPECT_FALSE(mark());
    EXPECT_EQ(stored(), 0);
    canvas->click(115, 115);
    EXPECT_EQ(canvas->fullScreenAsked, (std::vector<bool>{true}));
    canvas->finishFullScreen();
    dialog_test::step(*d, 10);
    EXPECT_TRUE(mark());
    EXPECT_EQ(stored(), 1);

    // The frame left full screen by itself (as it does before the browser opens): the mark follows,
    // the store keeps what the player chose.
    canvas->fullScreen = false;
    dialog_test::step(*d, 11);
    EXPECT_FALSE(mark());
    EXPECT_EQ(stored(), 1);
    EXPECT_TRUE(commands().empty());
}

TEST_F(MenusTest, TutorialPagesAreDueOnTheirLevelOncePerPlayerAndNeverWithTutorialsOff) {
    // Due levels: page 0 on level 1, page 3 on level 3; page 0's arrow is arrow 2 at (30, 40), page
    // 9's arrow 1 sits 10 left of and 20 above the piece it is offered at.
    std::string data = "<data>";
    for (int p = 0; p < TutorialDialog::kPages; ++p)
        data += p == 0 ? " 1" : p == 3 ? " 3" : " 2";
    for (int p = 0; p < TutorialDialog::kPages; ++p)
        data += p == 0 ? " 2 30 40" : p == 9 ? " 1 -10 -20" : " 0 0 0";
    std::string script = data + "\n<sprites>\n itutorialbackground Sprite bg 0 0\n";
    for (int a = 1; a <= 4; ++a)
        script += " tutorialarrow" + std::to_string(a) + " AnimateSprite btn 0 0 3 1\n";
    script += std::string(" btn_tutorialClose") + kButton +
              "370 270 3 1 2 1 0 1\n tutorialfont NewFontSprite 20 20\n";
    auto* t = open<TutorialDialog>("itutorial", "TutorialDialog", script, false);
    ASSERT_NE(t, nullptr);
    canvas->texts["IDS_STRING_GENERALGAMEPLAY_TITLE"] = "Welcome";
    EXPECT_FALSE(t->isVisible());
    EXPECT_EQ(t->page(), TutorialDialog::kNoPage);

    EXPECT_FALSE(t->isDue(0, 2)) << "on another level a page counts as done";
    EXPECT_TRUE(t->isDue(5, 9)) << "the console sun's page is due on every level";
    EXPECT_FALSE(t->offerPage(4)) << "page 4 does not exist";
    ASSERT_TRUE(t->offerIfDue(0, 1));
    EXPECT_TRUE(t->isShowing());
    EXPECT_EQ(canvas->data->getInt("TUT0", 0), 1);
    lang::Ref<sprite::Sprite> title = t->getChild("tutorialtitle");
    EXPECT_EQ(std::string(static_cast<sprite::NewFontSprite*>(title.get())->getText().view()), "Welcome");
    lang::Ref<sprite::Sprite> arrow = t->getChild("tutorialarrow2");
    EXPECT_TRUE(arrow->isVisible());
    EXPECT_EQ(arrow->getX(), 30);
    EXPECT_FALSE(t->isDue(0, 1));
    canvas->key(Event::kEscape);
    EXPECT_EQ(commands(), (std::vector<std::string>{"btn_tutorialClose"})) << "the game closes it";
    t->close();

    // Another player has seen nothing yet, whatever was shown to the first in this run.
    canvas->data->createProfile("Bob");
    canvas->data->selectProfile("Bob");
    EXPECT_TRUE(t->isDue(0, 1));
    ASSERT_TRUE(t->offerPageAt(9, 300, 250));
    arrow = t->getChild("tutorialarrow1");
    EXPECT_EQ(arrow->getX(), 300 - 100 - 10);
    EXPECT_EQ(arrow->getY(), 250 - 100 - 20);
    EXPECT_FALSE(t->getChild("tutorialarrow2")->isVisible());
    t->close();

    canvas->data->setShowTutorials(false);
    EXPECT_FALSE(t->isDue(3, 3));
    EXPECT_FALSE(t->offerPage(3));
    EXPECT_FALSE(t->isVisible());
    EXPECT_EQ(canvas->data->getInt("TUT3", 0), 0);

    const std::pair<int, int> bands[] = {{1999, -1}, {2000, 15}, {3999, 8},  {4000, 11}, {5500, 12},
                                         {6000, 13}, {7999, 14}, {8000, 10}, {9000, 9},  {15000, 9}};
    for (auto [value, page] : bands)
        EXPECT_EQ(TutorialDialog::powerPage(value), page) << value;
}

// Every page shows the string-table texts of its own id and title; pages 4 and 6 do not exist. The ids
// are the dialog's own (the text data's check holds them against the string tables).
TEST_F(MenusTest, EveryTutorialPageShowsTheTextsOfItsOwnId) {
    const char* ids[TutorialDialog::kPages];
    for (int p = 0; p < TutorialDialog::kPages; ++p)
        ids[p] = TutorialDialog::textId(p);
    EXPECT_EQ(ids[4], nullptr);
    EXPECT_EQ(ids[6], nullptr);
    std::string script = "<sprites>\n itutorialbackground Sprite bg 0 0\n";
    for (int a = 1; a <= 4; ++a)
        script += " tutorialarrow" + std::to_string(a) + " AnimateSprite btn 0 0 3 1\n";
    script += " tutorialfont NewFontSprite 20 20\n";
    auto* t = open<TutorialDialog>("itutorial", "TutorialDialog", script, false);
    ASSERT_NE(t, nullptr);
    for (int p = 0; p < TutorialDialog::kPages; ++p) {
        if (ids[p] != nullptr) {
            canvas->texts[ids[p]] = "text " + std::to_string(p);
            canvas->texts[std::string(ids[p]) + "_TITLE"] = "title " + std::to_string(p);
        }
    }
    auto textOf = [&](const char* name) {
        lang::Ref<sprite::Sprite> s = t->getChild(name);
        return std::string(static_cast<sprite::NewFontSprite*>(s.get())->getText().view());
    };
    for (int p = 0; p < TutorialDialog::kPages; ++p) {
        t->close();
        if (ids[p] == nullptr) {
            EXPECT_FALSE(t->offerPage(p)) << "page " << p << " does not exist";
            EXPECT_FALSE(t->isVisible()) << p;
            continue;
        }
        ASSERT_TRUE(t->offerPage(p)) << p;
        EXPECT_TRUE(t->isVisible()) << p;
        EXPECT_EQ(t->page(), p);
        EXPECT_EQ(textOf("tutorialtitle"), "title " + std::to_string(p));
        EXPECT_EQ(textOf("tutorialtext"), "text " + std::to_string(p));
        EXPECT_EQ(canvas->data->getInt("TUT" + std::to_string(p), 0), 1) << "page " << p << " is marked seen";
    }
    EXPECT_EQ(canvas->data->getInt("TUT4", 0), 0);
    EXPECT_EQ(canvas->data->getInt("TUT6", 0), 0);
}

TEST_F(MenusTest, TheMainMenuTranslatesItsProfileButtonsAndRunsItsWeather) {
    std::string script =
        "<sprites>\n isunaffect AnimateSprite btn 0 0 3 1\n drip AnimateSprite btn 0 0 3 1\n"
        " streak AnimateSprite btn 0 0 3 1\n ProfileName NewFontSprite 300 20\n";
    int x = 10;
    for (const char* b : {"bStart1", "bMenuOptions", "bMenuInstructions", "bMenuExit", "upsellQB",
                          "bChangePlayerHotSpot", "ChangePlayer"}) {
        script += std::string(" ") + b + kButton + std::to_string(x) + " 500 3 1 2 1 0 1\n";
        x += 60;
    }
    write("d.txt", script);
    write("main.txt", "<sprites> MainMenu MenuSprite:d.txt 0 0 800 600 0 1 0\n");
    load("main.txt");
    auto* menu = get<MenuSprite>("MainMenu");
    ASSERT_NE(menu, nullptr);
    lang::Ref<sprite::Sprite> name = menu->getChild("ProfileName");
    dialog_test::BoxFont font;
    font.dress(static_cast<sprite::NewFontSprite*>(name.get()));
    menu->setProfileName("Ann");
    EXPECT_EQ(std::string(static_cast<sprite::NewFontSprite*>(name.get())->getText().view()), "Welcome, Ann");
    EXPECT_TRUE(name->isVisible());
    canvas->take();
    const std::vector<std::string> passed = {"bStart1", "bMenuOptions", "bMenuInstructions", "bMenuExit",
                                             "upsellQB"};
    for (const std::string& b : passed) {
        sprite::ButtonSprite* button = dialog_test::buttonIn(menu, b.c_str());
        canvas->click(button->getX() + 5, button->getY() + 5);
    }
    EXPECT_EQ(commands(), passed) << "the menu's own buttons pass their names up";
    for (const char* b : {"bChangePlayerHotSpot", "ChangePlayer"}) {
        sprite::ButtonSprite* button = dialog_test::buttonIn(menu, b);
        canvas->click(button->getX() + 5, button->getY() + 5);
    }
    // The welcome line is no button, yet a press on it changes players too.
    canvas->click(name->getX() + name->getWidth() - 5, name->getY() + 5);
    canvas->key(Event::kEnter);
    canvas->key(Event::kEscape);
    EXPECT_EQ(commands(),
              (std::vector<std::string>{"ChangeProfile", "ChangeProfile", "ChangeProfile", "bStart1"}));

    auto rain = lang::make<CountingClip>();
    menu->setAmbientClip(rain.get());
    menu->seedWeather(7);
    int visibleDrops = 0, rainingDrops = -1, goneAt = -1;
    bool sunSeen = false;
    for (int f = 0; f < 4000 && rainingDrops < 0; ++f) {
        dialog_test::step(*menu, f);
        const int alpha = menu->sunShowing() ? menu->getChild("isunaffect")->getAlpha() : 0;
        int shown = 0;
        for (int i = 0; i < MenuSprite::kDrops; ++i) {
            lang::Ref<sprite::Sprite> drop = menu->getChild(("drip" + std::to_string(i)).c_str());
            ASSERT_TRUE(drop);
            EXPECT_LE(drop->getY(), MenuSprite::kParkY);
            shown += drop->isVisible() ? 1 : 0;
        }
        if (alpha >= 90) {
            sunSeen = true;
            visibleDrops = shown;
            EXPECT_EQ(rain->stops, 1) << "the rain falls silent under the sun";
        }
        if (sunSeen && goneAt < 0 && !menu->sunShowing()) {
            goneAt = f;
            EXPECT_EQ(rain->loops, 1) << "the rain comes back as the sun goes";
        }
        // Every drop has fallen once more since the sun went, and each came back in sight.
        if (goneAt >= 0 && f == goneAt + 92)
            rainingDrops = shown;
    }
    ASSERT_TRUE(sunSeen);
    EXPECT_EQ(rainingDrops, MenuSprite::kDrops);
    EXPECT_LT(visibleDrops, MenuSprite::kDrops / 2) << "a strong sun thins the drops";
}

// The menu's set-up puts its decoration in place, and its weather keeps to its times (each range with
// both ends, as the generator draws): the sun rises over 25 to 55 frames, stays 50 to 90 frames once
// fully up, fades over 70 to 120 frames and breaks through again no sooner than 80 frames plus that fade
// after it began to fade; a drop starts again anywhere along the top and falls to 610 over 40 to 90
// frames; a streak starts at x 400 to 700 and slants 400 to 1000 pixels left on its way to 610 over 20
// to 45 frames.
TEST_F(MenusTest, TheMainMenuSetsUpItsDecorationAndItsWeatherKeepsItsTimes) {
    write("d.txt",
          "<sprites>\n isunaffect AnimateSprite btn 0 0 3 1\n drip AnimateSprite btn 30 30 3 1 -1\n"
          " streak AnimateSprite btn 40 40 3 1\n ChangePlayer AnimateSprite btn 500 20 3 1 -1\n"
          " ProfileName NewFontSprite 300 20\n");
    write("main.txt", "<sprites> MainMenu MenuSprite:d.txt 0 0 800 600 0 1 0\n");
    load("main.txt");
    auto* menu = get<MenuSprite>("MainMenu");
    ASSERT_NE(menu, nullptr);
    auto at = [&](const char* child) {
        lang::Ref<sprite::Sprite> s = menu->getChild(child);
        if (!s)
            return std::string("missing");
        return std::to_string(s->getX()) + "," + std::to_string(s->getY()) +
               (s->isVisible() ? " shown" : " hidden");
    };
    EXPECT_EQ(at("isunaffect"), "0,0 hidden");
    EXPECT_EQ(at("drip"), "0,610 shown");
    EXPECT_EQ(at("streak"), "0,610 hidden");
    EXPECT_EQ(at("ChangePlayer"), "500,20 shown");
    for (int i = 0; i < MenuSprite::kDrops; ++i)
        EXPECT_EQ(at(("drip" + std::to_string(i)).c_str()), "0,610 shown") << i;
    for (int i = 0; i < MenuSprite::kStreaks; ++i)
        EXPECT_EQ(at(("streak" + std::to_string(i)).c_str()), "0,610 shown") << i;
    EXPECT_EQ(at(("drip" + std::to_string(MenuSprite::kDrops)).c_str()), "missing");
    EXPECT_EQ(at(("streak" + std::to_string(MenuSprite::kStreaks)).c_str()), "missing");
    // The welcome line is set three pixels tighter.
    lang::Ref<sprite::Sprite> name = menu->getChild("ProfileName");
    dialog_test::BoxFont font;
    font.dress(static_cast<sprite::NewFontSprite*>(name.get()));
    menu->setProfileName("Ann");
    EXPECT_EQ(name->getWidth(), font.sizeOf("Welcome, Ann", -3, 0).first);

    auto rain = lang::make<CountingClip>();
    menu->setAmbientClip(rain.get());
    menu->seedWeather(11);
    auto* sun = static_cast<sprite::AnimateSprite*>(menu->getChild("isunaffect").get());
    std::vector<int> dropY(MenuSprite::kDrops, MenuSprite::kParkY),
        streakY(MenuSprite::kStreaks, MenuSprite::kParkY);
    int risenAt = -1, fullAt = -1, fadeAt = -1, fade = -1, suns = 0, drops = 0, streaks = 0;
    for (int f = 0; f < 12000; ++f) {
        const bool wasShowing = menu->sunShowing();
        const int loops = rain->loops;
        dialog_test::step(*menu, f);
        if (!wasShowing && menu->sunShowing()) {
            if (fadeAt >= 0) {
                EXPECT_GE(f - fadeAt, 80 + fade) << "the sun breaks through again too soon at frame " << f;
            }
            risenAt = f;
            fullAt = fadeAt = -1;
        }
        if (risenAt >= 0 && fullAt < 0 && sun->getAlpha() > 89) {
            fullAt = f;
            EXPECT_GE(fullAt - risenAt + 1, 25);
            EXPECT_LE(fullAt - risenAt + 1, 55);
        }
        if (rain->loops > loops) {
            ASSERT_GE(fullAt, 0) << "the rain comes back only after the sun was fully up";
            fadeAt = f;
            EXPECT_GE(fadeAt - fullAt, 50 + 1);
            EXPECT_LE(fadeAt - fullAt, 90 + 1);
        }
        if (wasShowing && !menu->sunShowing()) {
            ASSERT_GE(fadeAt, 0);
            fade = f - fadeAt + 1;
            EXPECT_GE(fade, 70);
            EXPECT_LE(fade, 120);
            ++suns;
        }
        // A drop or streak that starts again has taken the first step of its new fall already.
        for (int i = 0; i < MenuSprite::kDrops; ++i) {
            auto* drop = static_cast<sprite::AnimateSprite*>(
                menu->getChild(("drip" + std::to_string(i)).c_str()).get());
            if (dropY[static_cast<size_t>(i)] > 600 && drop->getY() < 600) {
                ++drops;
                EXPECT_GE(drop->getX(), 0);
                EXPECT_LE(drop->getX(), 800);
                EXPECT_EQ(drop->getTargetX(), drop->getX()) << "a drop falls straight";
                EXPECT_EQ(drop->getTargetY(), MenuSprite::kParkY);
                EXPECT_GE(drop->getMoveSteps() + 1, 40);
                EXPECT_LE(drop->getMoveSteps() + 1, 90);
            }
            dropY[static_cast<size_t>(i)] = drop->getY();
        }
        for (int i = 0; i < MenuSprite::kStreaks; ++i) {
            auto* streak = static_cast<sprite::AnimateSprite*>(
                menu->getChild(("streak" + std::to_string(i)).c_str()).get());
            if (streakY[static_cast<size_t>(i)] > 600 && streak->getY() < 600) {
                ++streaks;
                EXPECT_TRUE(streak->isVisible());
                EXPECT_LE(streak->getX(), 700);
                EXPECT_GE(streak->getTargetX(), 400 - 1000);
                EXPECT_LE(streak->getTargetX(), 700 - 400);
                EXPECT_GT(streak->getX(), streak->getTargetX()) << "a streak slants to the left";
                EXPECT_EQ(streak->getTargetY(), MenuSprite::kParkY);
                EXPECT_GE(streak->getMoveSteps() + 1, 20);
                EXPECT_LE(streak->getMoveSteps() + 1, 45);
            }
            streakY[static_cast<size_t>(i)] = streak->getY();
        }
    }
    EXPECT_GE(suns, 5) << "the sun came and went several times";
    EXPECT_GT(drops, 1000);
    EXPECT_GT(streaks, 1000);
}

// The clips of a dialog's own sound list reach it: the main menu's rain loops while the menu shows,
// and the options' effects knob plays the options' test clip.
TEST_F(MenusTest, DialogsKeepTheClipsOfTheirOwnSoundLists) {
    std::vector<Ref<CountingClip>> made;
    media.loadSound = [&](const lang::String&, int) -> lang::Object* {
        made.push_back(lang::make<CountingClip>());
        return lang::share(made.back().get()).detach();
    };
    write("menu.txt", "<sounds>\n *+rain\n<sprites>\n isunaffect AnimateSprite btn 0 0 3 1\n");
    write("options.txt", std::string("<sounds>\n +test\n<data> 50 100 50 200\n<sprites>\n butfxknob") +
                             kButton + "0 0 3 1 2 1 0 1\n butmuknob" + kButton + "0 0 3 1 2 1 0 1\n");
    write("main.txt",
          "<sprites>\n MainMenu MenuSprite:menu.txt 0 0 800 600 0 0 0\n"
          " Options OptionsSprite:options.txt 100 100 400 300 1 1 0\n");
    load("main.txt");
    auto* menu = get<MenuSprite>("MainMenu");
    auto* options = get<OptionsSprite>("Options");
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(options, nullptr);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(menu->ambientClip(), made[0].get());
    menu->setVisible(true);
    EXPECT_EQ(made[0]->loops, 1) << "the rain falls while the menu shows";
    menu->setVisible(false);
    EXPECT_EQ(made[0]->stops, 1) << "and stops with it";

    options->load();
    wheel(100 + 50 + 255 - 5, 100 + 100 + 5, -1);
    EXPECT_EQ(made[1]->plays, 1) << "the effects knob plays the options' own test clip";
}

TEST_F(MenusTest, TheExitAndGameOverDialogsCloseByButtonAndByKey) {
    std::string script = "<sprites>\n";
    int x = 10;
    for (const char* b :
         {"bMenuOptionsFromExit", "bMenuInstructionsFromExit", "mapbutton", "EndGame", "ExitClose"}) {
        script += std::string(" ") + b + kButton + std::to_string(x) + " 100 3 1 2 1 0 1\n";
        x += 40;
    }
    auto* exit = open<ExitDlgSprite>("ExitDialog", "ExitDlgSprite", script);
    ASSERT_NE(exit, nullptr);
    // The four ways out pass up and leave the closing to the game.
    const std::vector<std::string> passed = {"bMenuOptionsFromExit", "bMenuInstructionsFromExit", "mapbutton",
                                             "EndGame"};
    for (const std::string& b : passed)
        canvas->click(100 + dialog_test::buttonIn(exit, b.c_str())->getX() + 5, 205);
    EXPECT_TRUE(exit->isVisible());
    EXPECT_EQ(commands(), passed);
    canvas->key(Event::kEnter);
    EXPECT_FALSE(exit->isVisible());
    EXPECT_EQ(commands(), (std::vector<std::string>{"CLOSED"}));
    exit->setVisible(true);
    canvas->click(100 + dialog_test::buttonIn(exit, "ExitClose")->getX() + 5, 205);
    EXPECT_FALSE(exit->isVisible());
    EXPECT_EQ(commands(), (std::vector<std::string>{"CLOSED"}));

    script = std::string("<sprites>\n retry") + kButton + "10 100 3 1 2 1 0 1\n OverMenu" + kButton +
             "60 100 3 1 2 1 0 1\n";
    auto* over = open<GameOverDialog>("GameOver", "GameOverDialog", script);
    ASSERT_NE(over, nullptr);
    canvas->key(Event::kEscape);
    EXPECT_FALSE(over->isVisible());
    over->setVisible(true);
    canvas->key(Event::kEnter);
    EXPECT_FALSE(over->isVisible());
    over->setVisible(true);
    canvas->click(165, 205);  // OverMenu
    EXPECT_FALSE(over->isVisible());
    EXPECT_EQ(commands(), (std::vector<std::string>{"OverMenu", "retry", "OverMenu"}));
}

}  // namespace
