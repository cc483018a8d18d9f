// FancyContainer, DialogSprite, ButtonSprite and RectButtonSprite: children, the local region, fades,
// button states, dialog routing with its result codes, dragging and the name table.
#include <gtest/gtest.h>

#include "sprite/ButtonSprite.h"
#include "sprite/DialogSprite.h"
#include "sprite/RectButtonSprite.h"
#include "tests/sprite/SpriteTestSupport.h"
#include "window/ImageArray.h"

namespace {

using lang::Ref;
using namespace sprite_test;
using sprite::ButtonSprite;
using sprite::DialogSprite;

Ref<sprite::Sprite> box(int x, int y, int w, int h, uint32_t argb = 0xFFFFFFFF) {
    auto s = lang::make<sprite::Sprite>();
    s->setImage(solidImage(w, h, argb).get());
    s->setLocation(x, y);
    return s;
}

// A button with frames: 0 disabled, 1 normal, 2 hover, 3 selected, 4 selected hover, 5 pressed,
// 6 selected pressed.
Ref<ButtonSprite> button(const char* name, int x, int y) {
    auto b = lang::make<ButtonSprite>();
    b->setImageGrid(numberedSheet(7, 1, 10, 10).get(), 7, 1);
    b->setStateFrames(2, 1, 0, 3, 4, 5, 6);
    b->setLocation(x, y);
    b->setName(name);
    b->setState(ButtonSprite::kNormal);
    return b;
}

Ref<DialogSprite> dialog(int x, int y, int w, int h, bool modal = false) {
    auto d = lang::make<DialogSprite>();
    d->init(nullptr, numbers({x, y, w, h, modal ? 1 : 0, 1}).get());
    return d;
}

Ref<window::Event> mouse(int id, int x, int y) {
    return lang::make<window::Event>(id, x, y, 0, 0, 1);
}

int down(DialogSprite& d, int x, int y) {
    return d.mouseDown(mouse(window::Event::kMouseDown, x, y).get());
}

int up(DialogSprite& d, int x, int y) {
    return d.mouseUp(mouse(window::Event::kMouseUp, x, y).get());
}

// --- containers -------------------------------------------------------------------------------------

TEST(FancyContainerTest, ChildChangesReachTheCallerInCanvasCoordinatesAndTheLocalRegion) {
    auto c = lang::make<sprite::FancyContainer>();
    c->init(nullptr, numbers({100, 50, 40, 40}).get());
    auto child = box(5, 5, 10, 10);
    c->appendChild(child.get());
    step(*c, 0);
    c->paint(lang::adopt(solidImage(200, 200, 0)->getGraphics()).get());
    EXPECT_TRUE(c->localRegionCopy().isEmpty()) << "painting empties the local region";

    child->setLocation(25, 5);
    Step moved = step(*c, 1);
    EXPECT_TRUE(moved.changed);
    EXPECT_EQ(moved.out.x, 105);
    EXPECT_EQ(moved.out.y, 55);
    EXPECT_EQ(moved.out.width, 30);
    EXPECT_TRUE(moved.region.contains(134, 64));
    EXPECT_FALSE(moved.region.contains(140, 64)) << "limited to the container";
    util::Region local = c->localRegionCopy();
    EXPECT_TRUE(local.contains(5, 5) && local.contains(34, 14));

    child->setLocation(100, 100);
    Step outside = step(*c, 2);
    EXPECT_TRUE(outside.changed) << "the child's old area inside the container";
    EXPECT_FALSE(outside.region.contains(200, 150));
}

TEST(FancyContainerTest, RemovalHidesAtOnceLeavesAfterTheStepAndReAddingCancelsIt) {
    auto c = lang::make<sprite::FancyContainer>();
    c->init(nullptr, numbers({0, 0, 50, 50}).get());
    auto a = box(0, 0, 5, 5), b = box(10, 0, 5, 5);
    c->appendChild(a.get());
    c->appendChild(b.get());
    step(*c, 0);
    c->removeChild(a.get());
    EXPECT_FALSE(a->isVisible());
    EXPECT_EQ(c->childCount(), 2);
    Step s = step(*c, 1);
    EXPECT_TRUE(s.region.contains(2, 2)) << "its area is reported before it leaves";
    EXPECT_EQ(c->childCount(), 1);

    c->removeChild(b.get());
    c->appendChild(b.get());
    step(*c, 2);
    EXPECT_TRUE(c->hasChild(b.get())) << "re-adding cancels the pending removal";

    auto front = box(0, 0, 1, 1);
    c->insertChildAfter(front.get(), nullptr);
    EXPECT_EQ(c->childSnapshot().front().get(), front.get());
}

// A child that, when its animation ends, removes itself and adds a new sibling.
// Every sprite is a receiver; this one is its own.
class SelfRemovingChild : public sprite::AnimateSprite {
public:
    explicit SelfRemovingChild(sprite::FancyContainer* parent) : parent_(parent) {}
    const char* getClassName() const override { return "SelfRemovingChild"; }
    bool receive(window::Event*) override {
        parent_->removeChild(this);
        sibling = lang::make<sprite::Sprite>();
        parent_->appendChild(sibling.get());
        return true;
    }
    Ref<sprite::Sprite> sibling;

private:
    sprite::FancyContainer* parent_;
};

TEST(FancyContainerTest, CompletionHandlersMayChangeTheChildrenDuringTheStep) {
    auto c = lang::make<sprite::FancyContainer>();
    c->init(nullptr, numbers({0, 0, 50, 50}).get());
    auto child = lang::adopt(new SelfRemovingChild(c.get()));
    child->setImage(solidImage(4, 4, 0xFFFFFFFF).get());
    child->setNotify(child.get(), nullptr);
    child->moveTo(10, 10, 1);
    c->appendChild(child.get());
    Ref<sprite::Sprite> keep = child;
    child.reset();
    step(*c, 0);
    EXPECT_EQ(c->childCount(), 2) << "the removal waits for the next step";
    Step next = step(*c, 1);
    EXPECT_TRUE(next.region.contains(11, 11)) << "the removed child's last area was reported";
    EXPECT_EQ(c->childCount(), 1);
}

TEST(FancyContainerTest, FadeOutHidesAfterSevenStepsAndRestoresTheLevels) {
    auto c = lang::make<sprite::FancyContainer>();
    c->init(nullptr, numbers({0, 0, 20, 20}).get());
    auto child = box(0, 0, 20, 20, 0xFF0000FF);
    c->appendChild(child.get());
    c->startFadeOut();
    auto target = solidImage(20, 20, 0xFF000000);
    auto g = lang::adopt(target->getGraphics());
    int steps = 0;
    for (; steps < 10 && c->isVisible(); ++steps) {
        step(*c, steps);
        c->paint(g.get());
        if (steps == 3) {
            EXPECT_LT(target->getPixels()[0] & 0xFF, 0xFFu) << "the children fade as one picture";
        }
    }
    EXPECT_EQ(steps, 7);
    EXPECT_EQ(c->getAlpha(), 128) << "the container's level is back for the next show";
    EXPECT_EQ(child->getAlpha(), 128) << "the children's levels were never touched";
    c->setVisible(true);
    step(*c, 20);
    target->getPixels()[0] = 0xFF000000;
    c->paint(g.get());
    EXPECT_EQ(target->getPixels()[0], 0xFF0000FFu) << "shown again at full strength";
}

// --- buttons ------------------------------------------------------------------------------------------

TEST(ButtonSpriteTest, HoverPressReleaseAndDragOff) {
    auto b = button("bok", 0, 0);
    b->setFireOnRelease(true);
    EXPECT_TRUE(b->hover(5, 5));
    EXPECT_EQ(b->getState(), ButtonSprite::kHover);
    EXPECT_EQ(b->getFrame(), 2);
    EXPECT_FALSE(b->press()) << "fires on release";
    EXPECT_EQ(b->getState(), ButtonSprite::kPressed);
    EXPECT_FALSE(b->hover(50, 5));
    EXPECT_EQ(b->getState(), ButtonSprite::kNormal) << "dragged off";
    EXPECT_TRUE(b->hover(5, 5));
    EXPECT_EQ(b->getState(), ButtonSprite::kPressed) << "back over it, still held";
    EXPECT_FALSE(b->releaseAt(50, 50)) << "released elsewhere";
    EXPECT_EQ(b->getState(), ButtonSprite::kNormal);

    b->setState(ButtonSprite::kSelected);
    b->hover(5, 5);
    EXPECT_EQ(b->getState(), ButtonSprite::kSelectedHover);
    b->press();
    EXPECT_EQ(b->getState(), ButtonSprite::kSelectedPressed);
    EXPECT_TRUE(b->releaseAt(5, 5));
    EXPECT_EQ(b->getState(), ButtonSprite::kSelected);

    b->setState(ButtonSprite::kDisabled);
    EXPECT_FALSE(b->hover(5, 5));
    EXPECT_FALSE(b->pressTest(5, 5)) << "a disabled button neither hovers nor presses";
}

TEST(ButtonSpriteTest, HidingWithAHiddenDisabledFrameAndBadStatesAreSafe) {
    auto b = button("b", 0, 0);
    b->setStateFrames(2, 1, -1, 3, -1, -2, -2);
    b->setVisible(false);
    EXPECT_EQ(b->getState(), ButtonSprite::kDisabled);
    EXPECT_FALSE(b->isVisible());
    b->setState(ButtonSprite::kDisabled);
    EXPECT_FALSE(b->isVisible()) << "a disabled frame of -1 keeps it hidden";
    b->setState(7);
    b->setState(-1);
    EXPECT_EQ(b->getState(), ButtonSprite::kDisabled) << "states outside 0..6 are ignored";
    EXPECT_EQ(b->getStateFrame(ButtonSprite::kSelectedHover), 3) << "-1 takes the selected frame";
    EXPECT_EQ(b->getStateFrame(ButtonSprite::kPressed), 2) << "-2 takes the hover frame";
    EXPECT_EQ(b->getStateFrame(ButtonSprite::kSelectedPressed), 3);
    b->setState(ButtonSprite::kNormal);
    EXPECT_TRUE(b->isVisible());
}

TEST(ButtonSpriteTest, InitFramesAndInitialState) {
    auto images = lang::make<window::ImageArray>(1);
    auto sheet = numberedSheet(3, 1, 10, 10);
    (*images)[0] = sheet.get();
    auto seven = lang::make<ButtonSprite>();
    seven->init(images.get(), numbers({1, 2, 3, 1, 1, 0, 2}).get());
    EXPECT_FALSE(seven->isVisible()) << "without numbers[7] it waits hidden in state 0";
    EXPECT_EQ(seven->getStateFrame(ButtonSprite::kPressed), 1);
    auto eight = lang::make<ButtonSprite>();
    eight->init(images.get(), numbers({1, 2, 3, 1, 1, 0, 2, 1}).get());
    EXPECT_TRUE(eight->isVisible());
    EXPECT_EQ(eight->getFrame(), 0);
    EXPECT_EQ(eight->getWidth(), 10);
}

TEST(ButtonSpriteTest, RectButtonIsAnInvisibleHotZone) {
    auto r = lang::make<sprite::RectButtonSprite>();
    r->init(nullptr, numbers({10, 20, 30, 40, 1}).get());
    EXPECT_TRUE(r->initSucceeded());
    EXPECT_FALSE(r->isVisible());
    EXPECT_TRUE(r->pressTest(10, 20)) << "the press test ignores visibility";
    EXPECT_FALSE(r->pressTest(40, 20));
    EXPECT_TRUE(r->getBounds().isEmpty());
    EXPECT_EQ(r->getX(), 10);
    EXPECT_FALSE(step(*r, 0).changed) << "it never reports a dirty area";

    auto shortRecord = lang::make<sprite::RectButtonSprite>();
    shortRecord->init(nullptr, numbers({10, 20, 30}).get());
    EXPECT_FALSE(shortRecord->initSucceeded());
    EXPECT_FALSE(shortRecord->pressTest(10, 20));
}

// --- dialogs ------------------------------------------------------------------------------------------

TEST(DialogSpriteTest, PressesOutsideInsideAndOnButtons) {
    auto modal = dialog(100, 100, 200, 100, true);
    EXPECT_EQ(down(*modal, 10, 10), DialogSprite::kHandled) << "outside a modal dialog";
    auto plain = dialog(100, 100, 200, 100);
    EXPECT_EQ(down(*plain, 10, 10), DialogSprite::kNotHandled);
    EXPECT_EQ(down(*plain, 150, 150), DialogSprite::kHandled) << "an empty part is consumed";
    EXPECT_EQ(up(*plain, 150, 150), DialogSprite::kNotHandled);

    auto ok = button("bok", 10, 10);
    plain->addChild("bok", ok.get());
    EXPECT_EQ(down(*plain, 115, 115), DialogSprite::kCommand);
    EXPECT_STREQ(plain->command().chars(), "bok");

    plain->setVisible(false);
    EXPECT_EQ(down(*plain, 115, 115), DialogSprite::kNotHandled);
}

TEST(DialogSpriteTest, FireOnReleaseKeepsThePressedChildItselfEvenUnnamed) {
    auto d = dialog(0, 0, 200, 100);
    auto first = button("same", 10, 10), second = button("same", 50, 10);
    auto unnamed = button("", 90, 10);
    d->addChild("same", first.get());
    d->addChild("same", second.get());
    d->addChild(nullptr, unnamed.get());
    d->setButtonsFireOnRelease(true);

    EXPECT_EQ(down(*d, 55, 15), DialogSprite::kHandled);
    EXPECT_EQ(second->getState(), ButtonSprite::kPressed);
    EXPECT_EQ(up(*d, 55, 15), DialogSprite::kCommand);
    EXPECT_EQ(second->getState(), ButtonSprite::kNormal) << "the shared name found the right button";
    EXPECT_EQ(first->getState(), ButtonSprite::kNormal);

    EXPECT_EQ(down(*d, 95, 15), DialogSprite::kHandled);
    EXPECT_EQ(up(*d, 150, 80), DialogSprite::kNotHandled) << "released elsewhere: nothing fires";
    EXPECT_EQ(unnamed->getState(), ButtonSprite::kNormal) << "the unnamed button left its pressed look";
}

// A name answers the child that holds it now: removing a child drops all of its own entries (not only
// the newest entry of the name), and a child renamed since never answers to its old name.
TEST(DialogSpriteTest, ANameAnswersOnlyTheChildThatHoldsItNow) {
    auto d = dialog(0, 0, 100, 100);
    auto a = button("x", 0, 0), b = button("x", 20, 0), c = button("x", 40, 0);
    d->addChild("x", a.get());
    d->addChild("x", b.get());
    EXPECT_EQ(d->getChild("x").get(), b.get());
    d->removeChild(a.get());
    EXPECT_EQ(d->getChild("x").get(), b.get()) << "the other child's entry stays";
    d->removeChild(b.get());
    EXPECT_EQ(d->getChild("x").get(), nullptr) << "removed children leave no entry behind";

    // Renamed, then the other holder removed: the old name has no holder left.
    d->addChild("x", a.get());
    d->addChild("x", b.get());
    d->addChild("y", a.get());
    d->removeChild(b.get());
    EXPECT_EQ(d->getChild("x").get(), nullptr) << "a was renamed y: it no longer answers to x";
    EXPECT_EQ(d->getChild("y").get(), a.get());

    // A child entered twice under a name (another entry between) leaves with both entries; the
    // remaining holder answers, older or not.
    d->addChild("m", c.get());
    d->addChild("m", b.get());
    d->addChild("m", a.get());
    d->removeChild(a.get());
    EXPECT_EQ(d->getChild("m").get(), b.get());
    d->removeChild(b.get());
    EXPECT_EQ(d->getChild("m").get(), c.get()) << "c still holds the name";

    // A name changed on the child itself, past the dialog: the old name no longer finds it.
    c->setName("elsewhere");
    EXPECT_EQ(d->getChild("m").get(), nullptr);
}

// A dialog whose refinement is fixed by the test.
class RefiningDialog : public DialogSprite {
public:
    const char* getClassName() const override { return "RefiningDialog"; }
    int refineCommand(lang::String* out, const lang::String&) override {
        out->assign("refined");
        return answer;
    }
    int answer = 0;
};

TEST(DialogSpriteTest, ChildDialogAnswersAreRefinedAndModalChildrenBlock) {
    auto outer = dialog(0, 0, 300, 300);
    auto inner = lang::adopt(new RefiningDialog());
    inner->init(nullptr, numbers({100, 100, 100, 100, 0, 1}).get());
    auto ok = button("bin", 10, 10);
    inner->addChild("bin", ok.get());
    outer->addChild("inner", inner.get());

    for (int answer : {0, 1, 2, 3}) {
        inner->answer = answer;
        const int result = down(*outer, 115, 115);
        EXPECT_EQ(result, answer <= 1 ? DialogSprite::kCommand : DialogSprite::kHandled) << answer;
        EXPECT_STREQ(outer->command().chars(), answer == 0 ? "bin" : answer == 1 ? "refined" : "") << answer;
    }
    auto below = button("below", 120, 120);
    outer->insertChildAfter(below.get(), nullptr);
    inner->setModal(true);
    EXPECT_EQ(down(*outer, 5, 5), DialogSprite::kHandled);
    EXPECT_EQ(outer->pendingChild(), inner.get()) << "a modal child takes the press";
    EXPECT_STREQ(outer->command().chars(), "");
}

TEST(DialogSpriteTest, DraggingMovesAndClampsAndTheReleaseProducesNothing) {
    auto d = dialog(100, 100, 200, 100);
    d->setDraggable(true);
    EXPECT_EQ(down(*d, 150, 150), DialogSprite::kHandled);
    EXPECT_TRUE(d->isDragging());
    EXPECT_FALSE(d->mouseMove(mouse(window::Event::kMouseDrag, 160, 145).get()));
    EXPECT_EQ(d->getX(), 110);
    EXPECT_EQ(d->getY(), 95);
    d->mouseMove(mouse(window::Event::kMouseDrag, 2000, -500).get());
    EXPECT_EQ(d->getX(), 600) << "x + width stays within 800";
    EXPECT_EQ(d->getY(), 0);
    EXPECT_EQ(up(*d, 0, 0), DialogSprite::kHandled);
    EXPECT_FALSE(d->isDragging());
    EXPECT_STREQ(d->command().chars(), "");
}

TEST(DialogSpriteTest, HoverReportsClickablePointsAndChildDialogsHideButtonsBelow) {
    auto d = dialog(0, 0, 300, 300);
    auto b = button("b", 10, 10);
    d->addChild("b", b.get());
    EXPECT_TRUE(d->mouseMove(mouse(window::Event::kMouseMove, 15, 15).get()));
    EXPECT_EQ(b->getState(), ButtonSprite::kHover);
    EXPECT_FALSE(d->mouseMove(mouse(window::Event::kMouseMove, 150, 150).get()));
    EXPECT_EQ(b->getState(), ButtonSprite::kNormal);
    auto cover = dialog(0, 0, 50, 50);
    d->addChild("cover", cover.get());
    EXPECT_FALSE(d->mouseMove(mouse(window::Event::kMouseMove, 15, 15).get()))
        << "the button lies under a child dialog";
}

TEST(DialogSpriteTest, HiddenDialogsGiveUpReloadableImagesAndTakeThemBack) {
    auto d = dialog(0, 0, 100, 100);
    auto named = lang::make<window::Image>(lang::String("+missing entry"));
    auto child = lang::make<sprite::Sprite>();
    child->setImage(named.get());
    d->addChild("c", child.get());
    step(*d, 0);
    EXPECT_TRUE(d->imagesLoaded());
    d->setVisible(false);
    step(*d, 1);
    EXPECT_FALSE(d->imagesLoaded());
    d->setVisible(true);
    step(*d, 2);
    EXPECT_TRUE(d->imagesLoaded());
}

}  // namespace
