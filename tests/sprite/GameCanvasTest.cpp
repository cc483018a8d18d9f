// The game canvas on a headless window: dirty-region redraw, the scene, sounds, loading and tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sprite/AnimateSprite.h"
#include "sprite/RectSprite.h"
#include "tests/sprite/CanvasTestSupport.h"
#include "tests/support/TempFolder.h"
#include "util/Random.h"
#include "window/MessageBox.h"

namespace {

using canvas_test::block;
using canvas_test::CanvasOnWindow;
using canvas_test::FakeClip;
using lang::Ref;

std::vector<uint32_t> pixelsOf(sprite::GameCanvas& canvas) {
    Ref<window::Image> picture = canvas.offscreenImage();
    const uint32_t* p = picture->getPixels();
    return std::vector<uint32_t>(p, p + picture->getWidth() * picture->getHeight());
}

uint32_t pixelAt(sprite::GameCanvas& canvas, int x, int y) {
    Ref<window::Image> picture = canvas.offscreenImage();
    return picture->getPixels()[y * picture->getWidth() + x];
}

// Records message boxes while it lives.
struct BoxRecorder {
    BoxRecorder() {
        previous = window::setMessageBoxHook([this](std::string_view title, std::string_view text) {
            boxes.emplace_back(std::string(title), std::string(text));
        });
    }
    ~BoxRecorder() { window::setMessageBoxHook(previous); }
    window::MessageBoxHook previous;
    std::vector<std::pair<std::string, std::string>> boxes;
};

TEST(GameCanvasTest, DirtyRegionRedrawEqualsAFullRedrawAfterRandomChanges) {
    CanvasOnWindow w;
    sprite::GameCanvas2& canvas = *w.canvas;
    canvas.start();
    canvas.addSprite("backdrop", block(0, 0, 800, 600, 0xFF203040).get(), -1);
    util::Random random(1234);  // nextInt(n) answers 0 to n, both included
    std::vector<Ref<sprite::AnimateSprite>> pieces;
    auto sheet = sprite_test::numberedSheet(4, 1, 48, 48);
    for (int i = 0; i < 60; ++i) {
        auto piece = lang::make<sprite::AnimateSprite>();
        piece->setImageGrid(sheet.get(), 4, 1);
        piece->setLocation(random.nextInt(820) - 30, random.nextInt(620) - 30);
        piece->setColorTransform(64 + random.nextInt(64), 128, 128, 128);  // translucent
        canvas.addSprite(nullptr, piece.get(), -1);
        pieces.push_back(piece);
    }
    w.step();
    for (int round = 0; round < 40; ++round) {
        for (int change = 0; change < 6; ++change) {
            sprite::AnimateSprite& piece = *pieces[random.nextInt(static_cast<int>(pieces.size()) - 1)];
            switch (random.nextInt(4)) {
            case 0:
                piece.setLocation(random.nextInt(820) - 30, random.nextInt(620) - 30);
                break;
            case 1:
                piece.setVisible(!piece.isVisible());
                break;
            case 2:
                piece.setFrame(random.nextInt(3));
                break;
            default:
                piece.setColorTransform(32 + random.nextInt(96), 128, 128, 128);
                break;
            }
        }
        ASSERT_TRUE(w.step().painted);
        const std::vector<uint32_t> incremental = pixelsOf(canvas);
        canvas.invalidate(nullptr);
        canvas.renderOffscreen();
        const std::vector<uint32_t> full = pixelsOf(canvas);
        ASSERT_EQ(0, std::memcmp(incremental.data(), full.data(), full.size() * 4)) << "round " << round;
    }
}

TEST(GameCanvasTest, RectanglesWithoutAreaMarkNothingAndNeverUnclipTheRedraw) {
    CanvasOnWindow w;
    sprite::GameCanvas2& canvas = *w.canvas;
    canvas.start();
    canvas.addSprite("glass", block(100, 100, 50, 50, 0x80FFFFFF).get(), -1);
    w.step();
    const uint32_t once = pixelAt(canvas, 120, 120);
    for (util::RectangleNM bad : {util::RectangleNM(0, 0, 0, 10), util::RectangleNM(0, 0, -5, 10),
                                  util::RectangleNM(0, 0, 10, 0), util::RectangleNM(0, 0, 10, -3)}) {
        canvas.invalidate(&bad);
        EXPECT_FALSE(canvas.isDirty()) << bad.width << "x" << bad.height;
        EXPECT_TRUE(canvas.dirtyRegionCopy().isEmpty());
        w.step();
        // An unclipped redraw would blend the translucent sprite a second time over itself.
        EXPECT_EQ(pixelAt(canvas, 120, 120), once);
    }
    canvas.invalidate(nullptr);
    EXPECT_TRUE(canvas.isDirty());
    const util::RectangleNM all = canvas.dirtyBoundsCopy();
    EXPECT_EQ(all.width, 800);
    EXPECT_EQ(all.height, 600);
}

TEST(GameCanvasTest, AnExposeCopiesACompletePictureOnly) {
    CanvasOnWindow w;
    sprite::GameCanvas2& canvas = *w.canvas;
    EXPECT_FALSE(canvas.isOffscreenValid()) << "a new off-screen picture is blank";
    EXPECT_TRUE(canvas.isDirty()) << "and marked dirty in full";
    canvas.start();
    w.step();  // draws it
    w.step();  // nothing changed: now it is complete
    EXPECT_TRUE(canvas.isOffscreenValid());
}

TEST(GameCanvasTest, RemoveThenAddBeforeTheNextStepKeepsTheSprite) {
    CanvasOnWindow w;
    sprite::GameCanvas2& canvas = *w.canvas;
    canvas.start();
    auto a = block(0, 0, 10, 10, 0xFFFF0000);
    auto b = block(20, 0, 10, 10, 0xFF00FF00);
    canvas.addSprite("a", a.get(), -1);
    canvas.addSprite("b", b.get(), -1);
    canvas.removeSprite(a.get());
    EXPECT_EQ(canvas.getSprite("a"), nullptr);
    EXPECT_EQ(canvas.indexOfSprite(a.get()), 0) << "stays until the end of the next step";
    canvas.addSprite("a", a.get(), 5);
    canvas.removeSprite(b.get());
    w.step();
    EXPECT_EQ(canvas.indexOfSprite(a.get()), 0) << "re-adding cancelled the removal";
    EXPECT_EQ(canvas.getSprite("a"), a.get());
    EXPECT_EQ(canvas.indexOfSprite(b.get()), -1);
    EXPECT_EQ(canvas.sceneSize(), 1);
}

TEST(GameCanvasTest, RenamingASpriteLeavesAnotherSpritesEntryAlone) {
    CanvasOnWindow w;
    sprite::GameCanvas2& canvas = *w.canvas;
    auto a = block(0, 0, 10, 10, 0xFFFF0000);
    auto b = block(0, 0, 10, 10, 0xFF00FF00);
    canvas.addSprite("x", a.get(), -1);
    canvas.addSprite("x", b.get(), -1);  // the name now belongs to b
    canvas.addSprite("y", a.get(), -1);
    EXPECT_EQ(canvas.getSprite("x"), b.get());
    EXPECT_EQ(canvas.getSprite("y"), a.get());
    canvas.removeSprite(a.get());
    EXPECT_EQ(canvas.getSprite("x"), b.get());
    EXPECT_EQ(canvas.getSprite("y"), nullptr);
}

// A name answers the sprite that holds it now: removing a sprite drops all of its own entries (not only
// the newest entry of the name), and a sprite renamed since never answers to its old name.
TEST(GameCanvasTest, ANameAnswersOnlyTheSpriteThatHoldsItNow) {
    CanvasOnWindow w;
    sprite::GameCanvas2& canvas = *w.canvas;
    auto a = block(0, 0, 10, 10, 0xFFFF0000);
    auto b = block(0, 0, 10, 10, 0xFF00FF00);
    auto c = block(0, 0, 10, 10, 0xFF0000FF);

    // Renamed, then the other holder removed: the old name has no holder left.
    canvas.addSprite("x", a.get(), -1);
    canvas.addSprite("x", b.get(), -1);
    canvas.addSprite("y", a.get(), -1);
    canvas.removeSprite(b.get());
    EXPECT_EQ(canvas.getSprite("x"), nullptr) << "a was renamed y: it no longer answers to x";
    EXPECT_EQ(canvas.getSprite("y"), a.get());

    // The older holder removed first, then the newer: nothing answers, not the removed older one.
    canvas.addSprite("n", a.get(), -1);
    canvas.addSprite("n", b.get(), -1);
    canvas.removeSprite(a.get());
    EXPECT_EQ(canvas.getSprite("n"), b.get()) << "the other sprite's entry stays";
    canvas.removeSprite(b.get());
    EXPECT_EQ(canvas.getSprite("n"), nullptr) << "removed sprites leave no entry behind";

    // A sprite entered twice under a name (another entry between) leaves with both entries; the
    // remaining holder answers, older or not.
    canvas.addSprite("m", c.get(), -1);
    canvas.addSprite("m", a.get(), -1);
    canvas.addSprite("m", b.get(), -1);
    canvas.addSprite("m", a.get(), -1);
    canvas.removeSprite(a.get());
    EXPECT_EQ(canvas.getSprite("m"), b.get());
    canvas.removeSprite(b.get());
    EXPECT_EQ(canvas.getSprite("m"), c.get()) << "c still holds the name";

    // A name changed on the sprite itself, past the canvas: the old name no longer finds it.
    canvas.addSprite("k", a.get(), -1);
    a->setName("elsewhere");
    EXPECT_EQ(canvas.getSprite("k"), nullptr);
    EXPECT_EQ(canvas.getSprite("elsewhere"), nullptr) << "entered under k only";
}

// An animation's end that removes a sprite which was stepped earlier in the same step: the sprite still
// reports the area its hiding uncovers before it leaves, so no ghost stays on the picture.
TEST(GameCanvasTest, ASpriteRemovedByACompletionInsideTheStepLeavesNoGhost) {
    CanvasOnWindow w;
    sprite::GameCanvas2& canvas = *w.canvas;
    canvas.start();
    canvas.addSprite("backdrop", block(0, 0, 800, 600, 0xFF000000).get(), -1);
    auto victim = block(10, 10, 20, 20, 0xFFFF0000);
    canvas.addSprite("victim", victim.get(), -1);
    auto mover = lang::make<sprite::AnimateSprite>();
    mover->setImageGrid(sprite_test::solidImage(4, 4, 0xFF00FF00).get(), 1, 1);
    mover->setLocation(400, 400);
    auto label = lang::make<lang::String>("done");
    mover->setNotify(&canvas, label.get());
    canvas.addSprite("mover", mover.get(), -1);
    w.canvas->onCommand = [&](const lang::String& command) {
        if (command.equals("done"))
            canvas.removeSprite(victim.get());
    };
    w.step();
    EXPECT_EQ(pixelAt(canvas, 15, 15), 0xFFFF0000u);
    mover->moveTo(410, 400, 1);
    w.step();  // the move ends: the victim goes
    w.step();
    w.step();
    EXPECT_EQ(canvas.indexOfSprite(victim.get()), -1);
    EXPECT_EQ(pixelAt(canvas, 15, 15), 0xFF000000u);
}

TEST(GameCanvasTest, SoundOffSilencesPlayLoopAndFadesButNotStop) {
    CanvasOnWindow w;
    sprite::GameCanvas2& canvas = *w.canvas;
    auto clip = lang::make<FakeClip>();
    auto table = lang::make<lang::ObjectArray>(2);
    (*table)[1] = clip.get();
    canvas.resetScene(table.get());
    EXPECT_TRUE(canvas.isSceneLoaded());
    canvas.playSound(1);
    canvas.loopSound(clip.get());
    canvas.playSound(0);   // a null entry
    canvas.playSound(99);  // out of range
    EXPECT_EQ(clip->calls, (std::vector<std::string>{"play", "loop"}));
    clip->calls.clear();
    canvas.setSoundEnabled(false);
    EXPECT_EQ(clip->calls, (std::vector<std::string>{"stop"})) << "turning sound off stops the table";
    clip->calls.clear();
    canvas.playSound(1);
    canvas.loopSound(1);
    canvas.fadeSoundVolume(1, 200, 10, false);
    canvas.fadeSoundSpeed(clip.get(), 2.0f, 10);
    canvas.stopSound(1);
    EXPECT_EQ(clip->calls, (std::vector<std::string>{"stop"}));
    EXPECT_EQ(canvas.fadingSoundCount(), 0);
    canvas.setSoundEnabled(true);
    canvas.fadeSoundVolume(1, 200, 3, false);
    canvas.fadeSoundSpeed(1, 2.0f, 3);
    EXPECT_EQ(canvas.fadingSoundCount(), 1) << "a clip is in the fading list once";
    canvas.start();
    w.steps(2);
    EXPECT_EQ(canvas.fadingSoundCount(), 1);
    w.step();
    EXPECT_EQ(canvas.fadingSoundCount(), 0) << "a finished fade leaves the list";
}

TEST(GameCanvasTest, KeySTogglesTheSoundOnlyOnceStartedAndTheGameCanvasQueuesEveryKey) {
    CanvasOnWindow w;
    auto plain = lang::make<sprite::GameCanvas>();
    EXPECT_FALSE(plain->keyDown(canvas_test::key(window::Event::kKeyDown, 's').get(), 's'));
    plain->setStepping(true);
    plain->start();
    EXPECT_TRUE(plain->keyDown(canvas_test::key(window::Event::kKeyDown, 'S').get(), 'S'));
    EXPECT_FALSE(plain->isSoundEnabled()) << "the plain canvas toggles the sound with S";
    EXPECT_FALSE(plain->keyDown(canvas_test::key(window::Event::kKeyDown, 'x').get(), 'x'));
    EXPECT_EQ(plain->pendingEventCount(), 0);
    plain->destroy();
    sprite::GameCanvas2& canvas = *w.canvas;
    auto down = canvas_test::mouse(window::Event::kMouseDown, 5, 5);
    EXPECT_FALSE(canvas.mouseDown(down.get(), 5, 5)) << "not started: refused";
    canvas.start();
    EXPECT_TRUE(canvas.mouseDown(down.get(), 5, 5));
    EXPECT_TRUE(canvas.keyDown(canvas_test::key(window::Event::kKeyDown, 27).get(), 27))
        << "Escape reaches the dialogs (only a full-screen frame takes it first)";
    EXPECT_TRUE(canvas.keyDown(canvas_test::key(window::Event::kKeyDown, 's').get(), 's'));
    EXPECT_TRUE(canvas.keyUp(canvas_test::key(window::Event::kKeyUp, 's').get(), 's'));
    EXPECT_EQ(canvas.pendingEventCount(), 4) << "the press, Escape, 's' down and 's' up";
    EXPECT_TRUE(canvas.isSoundEnabled()) << "the game canvas queues 's' like any key";
    canvas.stop();
    EXPECT_FALSE(canvas.mouseDown(down.get(), 5, 5)) << "stopped: refused";
}

TEST(GameCanvasTest, StopWithTheCanvasLockHeldAbortsInsteadOfHanging) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto canvas = lang::make<sprite::GameCanvas2>();
            lang::Synchronized guard(canvas.get());
            canvas->stop();
        },
        "canvas lock held");
}

TEST(GameCanvasTest, LoadSceneFillsTheCanvasFromARealScript) {
    testsupport::TempFolder folder;
    folder.write("scene.txt",
                 "; a small scene\n"
                 "<sounds> missing1.wav missing2.ogg\n"
                 "<strings> \"first\" second\n"
                 "<data> 3 -4 5\n"
                 "<sprites>\n"
                 "back RectSprite 0 0 800 600 -16777216 1\n"
                 "red RectSprite 100 100 50 50 -65536 1\n"
                 "panel DialogSprite 300 300 100 100 0 1\n"
                 "<end>\n");
    CanvasOnWindow w;
    sprite::GameCanvas2& canvas = *w.canvas;
    canvas.initResources(lang::String(folder.path().c_str()), nullptr, lang::String("scene.txt"), -1);
    ASSERT_TRUE(canvas.prepareScene());
    ASSERT_TRUE(canvas.loadScene());
    EXPECT_TRUE(canvas.isSceneLoaded());
    EXPECT_EQ(canvas.loadTotal(), 5) << "two sounds and three sprites";
    EXPECT_EQ(canvas.loadedCount(), canvas.loadTotal());
    EXPECT_EQ(canvas.sceneSize(), 3);
    ASSERT_NE(canvas.getSprite("red"), nullptr);
    EXPECT_TRUE(canvas.getSprite("panel")->instanceOf("DialogSprite"));
    EXPECT_EQ(canvas.soundCount(), 2);
    ASSERT_EQ(canvas.getStringTable3()->length(), 2);
    EXPECT_STREQ((*canvas.getStringTable3())[0]->chars(), "first");
    ASSERT_EQ(canvas.getNumberTable()->length(), 3);
    EXPECT_EQ((*canvas.getNumberTable())[1], -4);
    canvas.start();
    w.step();
    EXPECT_EQ(pixelAt(canvas, 120, 120), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(canvas, 10, 10), 0xFF000000u);

    BoxRecorder boxes;
    auto other = lang::make<sprite::GameCanvas2>();
    other->initResources(lang::String(folder.path().c_str()), nullptr, lang::String("nothere.txt"), -1);
    EXPECT_FALSE(other->loadScene());
    EXPECT_FALSE(other->isSceneLoaded());
    ASSERT_FALSE(boxes.boxes.empty());
    EXPECT_NE(boxes.boxes[0].second.find("nothere.txt"), std::string::npos) << boxes.boxes[0].second;
}

TEST(GameCanvasTest, StringTablesAreReadAndErrorsNameTheFileAndLine) {
    testsupport::TempFolder folder;
    folder.write("tables.txt", "; tables\n2 \"a b\" c\n1 d\n3 10 -2 7\n1 \"last\"\n");
    folder.write("broken.txt", "1 \"x\"\n2 \"y\" 5\n4 1 2 oops\n");
    auto canvas = lang::make<sprite::GameCanvas2>();
    canvas->initResources(lang::String(folder.path().c_str()), nullptr, lang::String("tables.txt"), 0);
    canvas->loadStringTables(nullptr);
    ASSERT_EQ(canvas->getStringTable1()->length(), 2);
    EXPECT_STREQ((*canvas->getStringTable1())[0]->chars(), "a b");
    EXPECT_STREQ((*canvas->getStringTable2())[0]->chars(), "d");
    ASSERT_EQ(canvas->getNumberTable()->length(), 3);
    EXPECT_EQ((*canvas->getNumberTable())[1], -2);
    EXPECT_STREQ((*canvas->getStringTable3())[0]->chars(), "last");

    BoxRecorder boxes;
    canvas->initResources(lang::String(folder.path().c_str()), nullptr, lang::String("broken.txt"), 0);
    canvas->loadStringTables(nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].first, "Quillbeck Error");
    EXPECT_NE(boxes.boxes[0].second.find("broken.txt, line 3"), std::string::npos) << boxes.boxes[0].second;
    EXPECT_STREQ((*canvas->getStringTable1())[0]->chars(), "x") << "the lists read before the error stay";
    EXPECT_STREQ((*canvas->getStringTable2())[1]->chars(), "5.") << "a number read as a string";
    EXPECT_EQ(canvas->getNumberTable()->length(), 3) << "the broken list is not taken";
}

}  // namespace
