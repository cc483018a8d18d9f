// Keys, mouse clicks, focus and capture: SDL events pushed into the loop come out as window events.
#include <thread>
#include <vector>

#include "SdlTestSupport.h"

namespace window::testing {
namespace {

using EventsTest = SdlWindowTest;

TEST_F(EventsTest, KeysWithCodesOfTheirOwnAndPlatformCodes) {
    pushKey(SDL_KEYDOWN, SDLK_DELETE, SDL_SCANCODE_DELETE);
    pushKey(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT);
    pushKey(SDL_KEYDOWN, SDLK_DOWN, SDL_SCANCODE_DOWN);
    pushKey(SDL_KEYDOWN, SDLK_F1, SDL_SCANCODE_F1);
    pushKey(SDL_KEYDOWN, SDLK_F4, SDL_SCANCODE_F4);
    pushKey(SDL_KEYDOWN, SDLK_F5, SDL_SCANCODE_F5);
    pushKey(SDL_KEYDOWN, SDLK_F5, SDL_SCANCODE_F5, KMOD_NONE, true);
    processPendingEvents();
    ASSERT_EQ(canvas->seen.size(), 7u);
    EXPECT_EQ(canvas->seen[0].key, 0x416);
    EXPECT_EQ(canvas->seen[0].id, Event::kKeyDown);
    EXPECT_EQ(canvas->seen[0].x, SDLK_DELETE);  // the platform code rides along
    EXPECT_EQ(canvas->seen[1].key, 0x40D);
    EXPECT_EQ(canvas->seen[2].key, 0x410);
    EXPECT_EQ(canvas->seen[3].key, 0x458);
    // F4 has no code of its own: it keeps the platform's.
    EXPECT_EQ(canvas->seen[4].key, SDLK_F4);
    EXPECT_EQ(canvas->seen[5].key, 0x45C);
    EXPECT_EQ(canvas->seen[5].clickCount, 1);
    EXPECT_EQ(canvas->seen[6].clickCount, 2);  // auto-repeat
}

TEST_F(EventsTest, CharactersArriveOnceAsTheirWindows1252Codes) {
    // The key 'a' types a character: its key-down reports nothing, the text brings 'a'.
    pushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A);
    pushText("a");
    pushText("\xC3\xA9");      // e acute
    pushText("\xE2\x82\xAC");  // the euro sign, 0x80 in Windows-1252
    pushKey(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN);
    pushKey(SDL_KEYDOWN, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE);
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    processPendingEvents();
    std::vector<int32_t> keys;
    for (const Seen& s : canvas->seen) {
        EXPECT_EQ(s.id, Event::kKeyDown);
        keys.push_back(s.key);
    }
    EXPECT_EQ(keys, (std::vector<int32_t>{'a', 0xE9, 0x80, 13, 8, 27}));
}

TEST_F(EventsTest, AccentedLettersAndKeypadCharactersArriveOnce) {
    // A German and a French keyboard: the keys carry Latin-1 code points, the text the characters.
    pushKey(SDL_KEYDOWN, 0xE4, SDL_SCANCODE_APOSTROPHE);  // a umlaut
    pushText("\xC3\xA4");
    pushKey(SDL_KEYDOWN, 0xE9, SDL_SCANCODE_2);  // e acute
    pushText("\xC3\xA9");
    pushKey(SDL_KEYDOWN, 0xE7, SDL_SCANCODE_9);  // c cedilla
    pushText("\xC3\xA7");
    pushKey(SDL_KEYDOWN, 0x20AC, SDL_SCANCODE_E, KMOD_RALT);  // the euro sign on AltGr
    pushText("\xE2\x82\xAC");
    // Keypad digits and point with num lock, and the operators, which type whatever the lock.
    pushKey(SDL_KEYDOWN, SDLK_KP_7, SDL_SCANCODE_KP_7, KMOD_NUM);
    pushText("7");
    pushKey(SDL_KEYDOWN, SDLK_KP_0, SDL_SCANCODE_KP_0, KMOD_NUM);
    pushText("0");
    pushKey(SDL_KEYDOWN, SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, KMOD_NUM);
    pushText(".");
    pushKey(SDL_KEYDOWN, SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS);
    pushText("+");
    processPendingEvents();
    std::vector<int32_t> keys;
    for (const Seen& s : canvas->seen) {
        EXPECT_EQ(s.id, Event::kKeyDown);
        keys.push_back(s.key);
    }
    EXPECT_EQ(keys, (std::vector<int32_t>{0xE4, 0xE9, 0xE7, 0x80, '7', '0', '.', '+'}));
}

TEST_F(EventsTest, KeypadKeysWithoutNumLockKeepThePlatformCode) {
    // Without num lock the keypad's 7 is a cursor key (Home): no text comes, so the key-down reports it.
    pushKey(SDL_KEYDOWN, SDLK_KP_7, SDL_SCANCODE_KP_7);
    pushKey(SDL_KEYDOWN, SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD);
    processPendingEvents();
    ASSERT_EQ(canvas->seen.size(), 2u);
    EXPECT_EQ(canvas->seen[0].key, SDLK_KP_7);
    EXPECT_EQ(canvas->seen[1].key, SDLK_KP_PERIOD);
}

TEST_F(EventsTest, ControlWithAccentedAndKeypadKeysGivesTheirCharacters) {
    pushKey(SDL_KEYDOWN, 0xE4, SDL_SCANCODE_APOSTROPHE, KMOD_LCTRL);
    pushKey(SDL_KEYDOWN, 0xE4, SDL_SCANCODE_APOSTROPHE, KMOD_LCTRL | KMOD_LSHIFT);
    pushKey(SDL_KEYDOWN, SDLK_KP_5, SDL_SCANCODE_KP_5, KMOD_LCTRL | KMOD_NUM);
    processPendingEvents();
    ASSERT_EQ(canvas->seen.size(), 3u);
    EXPECT_EQ(canvas->seen[0].key, 0xE4);
    EXPECT_EQ(canvas->seen[0].modifiers, Event::kControl);
    EXPECT_EQ(canvas->seen[1].key, 0xC4);  // capital a umlaut
    EXPECT_EQ(canvas->seen[2].key, '5');
}

TEST_F(EventsTest, ControlLettersAreTheLettersAsIfControlWereUp) {
    pushKey(SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_LCTRL);
    pushKey(SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_LCTRL | KMOD_LSHIFT);
    processPendingEvents();
    ASSERT_EQ(canvas->seen.size(), 2u);
    EXPECT_EQ(canvas->seen[0].key, 'c');
    EXPECT_EQ(canvas->seen[0].modifiers, Event::kControl);
    EXPECT_EQ(canvas->seen[1].key, 'C');
    EXPECT_EQ(canvas->seen[1].modifiers, Event::kControl | Event::kShift);
}

TEST_F(EventsTest, KeyUpGoesToTheFocusedComponentOnly) {
    pushKey(SDL_KEYUP, SDLK_UP, SDL_SCANCODE_UP);
    processPendingEvents();
    ASSERT_EQ(canvas->seen.size(), 1u);
    EXPECT_EQ(canvas->seen[0].id, Event::kKeyUp);
    EXPECT_EQ(canvas->seen[0].key, 0x40E);
    EXPECT_TRUE(frame->keys.empty());
}

TEST_F(EventsTest, UnhandledKeysClimbToTheParent) {
    canvas->takeKeys = false;
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    processPendingEvents();
    EXPECT_EQ(canvas->seen.size(), 1u);
    EXPECT_EQ(frame->keys, std::vector<int>{27});

    canvas->takeKeys = true;
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    processPendingEvents();
    EXPECT_EQ(canvas->seen.size(), 2u);
    EXPECT_EQ(frame->keys.size(), 1u);  // taken by the canvas, the frame never saw it
}

TEST_F(EventsTest, SuccessiveClicksCountUpWithinTheDoubleClickTime) {
    for (int i = 0; i < 3; ++i) {
        pushButton(true, SDL_BUTTON_LEFT, 10, 20);
        pushButton(false, SDL_BUTTON_LEFT, 10, 20);
    }
    processPendingEvents();
    ASSERT_EQ(canvas->seen.size(), 6u);
    EXPECT_EQ(canvas->seen[0].id, Event::kMouseDown);
    EXPECT_EQ(canvas->seen[0].clickCount, 1);
    EXPECT_EQ(canvas->seen[1].id, Event::kMouseUp);
    EXPECT_EQ(canvas->seen[2].clickCount, 2);
    EXPECT_EQ(canvas->seen[4].clickCount, 3);
    EXPECT_EQ(canvas->seen[4].x, 10);
    EXPECT_EQ(canvas->seen[4].y, 20);

    // With no double-click time every press starts a new count.
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME, "0");
    canvas->seen.clear();
    pushButton(true, SDL_BUTTON_LEFT, 10, 20);
    pushButton(false, SDL_BUTTON_LEFT, 10, 20);
    pushButton(true, SDL_BUTTON_LEFT, 10, 20);
    processPendingEvents();
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME, "10000");
    ASSERT_EQ(canvas->seen.size(), 3u);
    EXPECT_EQ(canvas->seen[0].clickCount, 1);
    EXPECT_EQ(canvas->seen[2].clickCount, 1);
    pushButton(false, SDL_BUTTON_LEFT, 10, 20);
    processPendingEvents();
}

TEST_F(EventsTest, MovesDragsAndTheRightButton) {
    pushMotion(5, 6, 0);
    pushMotion(7, 8, SDL_BUTTON_LMASK);
    pushButton(true, SDL_BUTTON_RIGHT, 9, 9);
    pushMotion(11, 12, SDL_BUTTON_RMASK);
    pushButton(false, SDL_BUTTON_RIGHT, 11, 12);
    processPendingEvents();
    ASSERT_EQ(canvas->seen.size(), 5u);
    EXPECT_EQ(canvas->seen[0].id, Event::kMouseMove);
    EXPECT_EQ(canvas->seen[1].id, Event::kMouseDrag);
    EXPECT_EQ(canvas->seen[1].modifiers, 0);
    EXPECT_EQ(canvas->seen[2].id, Event::kMouseDown);
    EXPECT_EQ(canvas->seen[2].modifiers, 5);  // control and right button
    EXPECT_EQ(canvas->seen[3].id, Event::kMouseDrag);
    EXPECT_EQ(canvas->seen[3].modifiers, 5);
    EXPECT_EQ(canvas->seen[4].id, Event::kMouseUp);
    EXPECT_EQ(canvas->seen[4].modifiers, 5);
}

TEST_F(EventsTest, ChildCoordinatesAreRelativeToTheChild) {
    lang::Ref<Recorder> button = lang::make<Recorder>();
    ASSERT_TRUE(button->create(canvas.get(), util::RectangleNM(100, 50, 40, 30)));
    button->setVisible(true);
    button->requestFocus();
    pushMotion(110, 60, 0);
    processPendingEvents();
    ASSERT_EQ(button->seen.size(), 1u);
    EXPECT_EQ(button->seen[0].x, 10);
    EXPECT_EQ(button->seen[0].y, 10);
    EXPECT_TRUE(canvas->seen.empty());
}

TEST_F(EventsTest, MouseEventsOnlyReachTheFocusedComponentOfTheActiveWindow) {
    frame->requestFocus();  // the canvas loses the focus
    pushButton(true, SDL_BUTTON_LEFT, 10, 10);
    pushButton(false, SDL_BUTTON_LEFT, 10, 10);
    processPendingEvents();
    EXPECT_TRUE(canvas->seen.empty());

    canvas->requestFocus();
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    pushMotion(3, 3, 0);
    processPendingEvents();
    EXPECT_TRUE(canvas->seen.empty());
    EXPECT_EQ(frame->activations.back(), false);

    // Activation gives the canvas its focus back.
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    pushMotion(4, 4, 0);
    processPendingEvents();
    EXPECT_EQ(frame->activations.back(), true);
    ASSERT_EQ(canvas->seen.size(), 1u);
    EXPECT_EQ(canvas->seen[0].id, Event::kMouseMove);
}

// The player clicks another program's window, then clicks the game again: the click that brings the
// window back is delivered whole, whether the desktop's focus change reaches SDL before the press,
// between press and release, or after both.
TEST_F(EventsTest, TheClickThatBringsTheWindowBackIsDeliveredWhole) {
    EXPECT_TRUE(SDL_GetHintBoolean(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, SDL_FALSE))
        << "SDL's X11 back end drops a press right after a focus change unless told not to";
    auto clickAfterLoss = [this](const std::vector<int>& order) {
        canvas->seen.clear();
        frame->activations.clear();
        pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
        for (int step : order) {
            if (step == 0)
                pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
            else
                pushButton(step == 1, SDL_BUTTON_LEFT, 40, 50);
        }
        processPendingEvents();
    };
    // 0: focus gained, 1: press, 2: release.
    for (const std::vector<int>& order : {std::vector<int>{0, 1, 2}, {1, 0, 2}, {1, 2, 0}}) {
        clickAfterLoss(order);
        SCOPED_TRACE(::testing::PrintToString(order));
        ASSERT_EQ(canvas->seen.size(), 2u);
        EXPECT_EQ(canvas->seen[0].id, Event::kMouseDown);
        EXPECT_EQ(canvas->seen[0].x, 40);
        EXPECT_EQ(canvas->seen[0].y, 50);
        EXPECT_EQ(canvas->seen[1].id, Event::kMouseUp);
        EXPECT_EQ(frame->activations, (std::vector<bool>{false, true})) << "activated once, before the press";
    }

    // Only a press activates: the pointer passing over the inactive window brings nothing.
    canvas->seen.clear();
    frame->activations.clear();
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    pushMotion(60, 60, 0);
    pushButton(false, SDL_BUTTON_LEFT, 60, 60);
    processPendingEvents();
    EXPECT_TRUE(canvas->seen.empty());
    EXPECT_EQ(frame->activations, std::vector<bool>{false});
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    processPendingEvents();
}

TEST_F(EventsTest, LosingTheCaptureReleasesEveryButtonStillHeld) {
    pushButton(true, SDL_BUTTON_LEFT, 30, 40);
    pushButton(true, SDL_BUTTON_RIGHT, 30, 40);
    pushMotion(35, 45, SDL_BUTTON_LMASK | SDL_BUTTON_RMASK);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    processPendingEvents();
    ASSERT_EQ(canvas->seen.size(), 5u);
    EXPECT_EQ(canvas->seen[3].id, Event::kMouseUp);
    EXPECT_EQ(canvas->seen[3].modifiers, 0);
    EXPECT_EQ(canvas->seen[3].x, 35);  // where the pointer was last
    EXPECT_EQ(canvas->seen[3].y, 45);
    EXPECT_EQ(canvas->seen[4].id, Event::kMouseUp);
    EXPECT_EQ(canvas->seen[4].modifiers, 5);

    // Nothing is held any more: the window's return brings no further release.
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    processPendingEvents();
    EXPECT_EQ(canvas->seen.size(), 5u);
}

TEST_F(EventsTest, TheCaptureHolderGetsEventsOutsideItself) {
    lang::Ref<Recorder> button = lang::make<Recorder>();
    ASSERT_TRUE(button->create(canvas.get(), util::RectangleNM(100, 100, 40, 30)));
    button->setVisible(true);
    button->requestFocus();
    pushButton(true, SDL_BUTTON_LEFT, 110, 110);
    pushMotion(500, 500, SDL_BUTTON_LMASK);  // dragged far outside the button
    pushButton(false, SDL_BUTTON_LEFT, 500, 500);
    pushMotion(510, 510, 0);  // capture released: now the canvas is under the pointer
    processPendingEvents();
    ASSERT_EQ(button->seen.size(), 3u);
    EXPECT_EQ(button->seen[1].id, Event::kMouseDrag);
    EXPECT_EQ(button->seen[1].x, 400);
    EXPECT_EQ(button->seen[2].id, Event::kMouseUp);
    EXPECT_TRUE(canvas->seen.empty());  // the canvas has no focus, so its move is dropped
}

TEST_F(EventsTest, CloseAndActivationReachTheFrame) {
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    processPendingEvents();
    EXPECT_EQ(frame->closeRequests, 1);
    EXPECT_TRUE(frame->hasWindow());  // the frame decides: this one ignores the request

    frame->exit();  // closes through the private destroy message
    EXPECT_TRUE(frame->hasWindow());
    processPendingEvents();
    EXPECT_FALSE(frame->hasWindow());
    EXPECT_FALSE(canvas->hasWindow());
    EXPECT_EQ(frame->destroys, 1);
}

TEST_F(EventsTest, FocusRequestedFromAnotherThreadIsGivenOnTheWindowThread) {
    frame->requestFocus();
    std::thread other([this] { canvas->requestFocus(); });
    other.join();
    EXPECT_EQ(Component::focusedComponent(), frame.get());
    processPendingEvents();
    EXPECT_EQ(Component::focusedComponent(), canvas.get());
}

}  // namespace
}  // namespace window::testing
