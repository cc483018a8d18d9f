// Input routing to dialogs and buttons, the command handler, and timed notifications, stepped by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/sprite/CanvasTestSupport.h"
#include "window/Cursor.h"

namespace {

using canvas_test::button;
using canvas_test::CanvasOnWindow;
using canvas_test::dialog;
using canvas_test::mouse;
using canvas_test::RecordingCanvas;
using lang::Ref;
using Commands = std::vector<std::string>;

// Queues an event through the window's handlers and delivers it as the input thread would.
Commands send(CanvasOnWindow& w, int id, int x, int y) {
    auto event = mouse(id, x, y);
    switch (id) {
    case window::Event::kMouseDown:
        w.canvas->mouseDown(event.get(), x, y);
        break;
    case window::Event::kMouseUp:
        w.canvas->mouseUp(event.get(), x, y);
        break;
    default:
        w.canvas->mouseMove(event.get(), x, y);
        break;
    }
    w.canvas->deliverEvents();
    return w.canvas->take();
}

Commands click(CanvasOnWindow& w, int x, int y) {
    Commands all = send(w, window::Event::kMouseDown, x, y);
    for (const std::string& c : send(w, window::Event::kMouseUp, x, y))
        all.push_back(c);
    return all;
}

// A dialog whose refinement of its command is set by the test.
class RefiningDialog : public sprite::DialogSprite {
public:
    int refineCommand(lang::String* out, const lang::String& command) override {
        if (answer == 1)
            out->assign((std::string("refined ") + command.chars()).c_str());
        return answer;
    }
    int answer = 0;
};

TEST(CanvasInputTest, PressesAndReleasesReachButtonsAndNestedDialogs) {
    CanvasOnWindow w;
    RecordingCanvas& canvas = *w.canvas;
    canvas.start();
    auto top = button("btnTop", 10, 10);
    canvas.addSprite("btnTop", top.get(), -1);
    auto outer = lang::make<RefiningDialog>();
    outer->init(nullptr, sprite_test::numbers({200, 200, 300, 200, 0, 1}).get());
    auto inner = dialog(50, 50, 100, 100);
    auto ok = button("ok", 10, 10);  // inside inner: canvas 260..280
    inner->appendChild(ok.get());
    outer->appendChild(inner.get());
    outer->setButtonsFireOnRelease(true);
    canvas.addSprite("outer", outer.get(), -1);

    EXPECT_EQ(click(w, 15, 15), (Commands{"btnTop"})) << "a top-level button fires on press";
    // The nested button fires on release; the press is handled without a command.
    EXPECT_EQ(send(w, window::Event::kMouseDown, 265, 265), (Commands{""}));
    EXPECT_EQ(send(w, window::Event::kMouseUp, 265, 265), (Commands{"ok"}));
    outer->answer = 1;
    EXPECT_EQ(click(w, 265, 265), (Commands{"", "refined ok"}));
    outer->answer = 2;
    EXPECT_EQ(click(w, 265, 265), (Commands{"", "CLOSED"}));
    outer->answer = 3;
    EXPECT_EQ(click(w, 265, 265), (Commands{""})) << "a cancelled refinement runs nothing";
    outer->answer = 0;
    // Dragged off before the release: nothing fires.
    send(w, window::Event::kMouseDown, 265, 265);
    EXPECT_EQ(send(w, window::Event::kMouseUp, 480, 380), (Commands{}));
}

TEST(CanvasInputTest, AModalDialogKeepsClicksAndKeysFromWhatLiesBelow) {
    CanvasOnWindow w;
    RecordingCanvas& canvas = *w.canvas;
    canvas.start();
    auto below = button("below", 10, 10);
    canvas.addSprite("below", below.get(), -1);
    auto modal = dialog(300, 300, 100, 100, true);
    canvas.addSprite("modal", modal.get(), -1);
    EXPECT_EQ(click(w, 15, 15), (Commands{""})) << "handled by the modal dialog, no command";
    EXPECT_EQ(below->getState(), sprite::ButtonSprite::kNormal);
    modal->setVisible(false);
    EXPECT_EQ(click(w, 15, 15), (Commands{"below"}));
}

TEST(CanvasInputTest, TheHandCursorIsAskedForOnceOnEnteringAndLeavingAButton) {
    CanvasOnWindow w;
    RecordingCanvas& canvas = *w.canvas;
    canvas.start();
    canvas.setCursor(window::Cursor::arrow());
    auto b = button("b", 100, 100);
    canvas.addSprite("b", b.get(), -1);
    auto covering = dialog(400, 100, 100, 100);
    auto hidden = button("hidden", 410, 110);
    canvas.addSprite("hidden", hidden.get(), 0);  // below the dialog
    canvas.addSprite("covering", covering.get(), -1);

    EXPECT_EQ(send(w, window::Event::kMouseMove, 105, 105), (Commands{"handCursor"}));
    EXPECT_EQ(canvas.getCursor(), window::Cursor::hand());
    EXPECT_EQ(send(w, window::Event::kMouseMove, 106, 106), (Commands{})) << "already the hand";
    EXPECT_EQ(send(w, window::Event::kMouseDrag, 300, 300), (Commands{"normalCursor"}));
    EXPECT_EQ(send(w, window::Event::kMouseMove, 301, 301), (Commands{}));
    EXPECT_EQ(send(w, window::Event::kMouseMove, 415, 115), (Commands{})) << "a button under a dialog";
}

TEST(CanvasInputTest, KeysGoToTheFirstVisibleDialogThatTakesThem) {
    CanvasOnWindow w;
    RecordingCanvas& canvas = *w.canvas;
    canvas.start();
    class KeyDialog : public sprite::DialogSprite {
    public:
        int keyDown(window::Event* event) override {
            if (event->key != 'k')
                return 0;
            setCommand("key k");
            return 1;
        }
    };
    auto d = lang::make<KeyDialog>();
    d->init(nullptr, sprite_test::numbers({0, 0, 10, 10, 0, 1}).get());
    canvas.addSprite("keys", d.get(), -1);
    canvas.keyDown(canvas_test::key(window::Event::kKeyDown, 'k').get(), 'k');
    canvas.keyDown(canvas_test::key(window::Event::kKeyDown, 'j').get(), 'j');
    canvas.deliverEvents();
    EXPECT_EQ(canvas.take(), (Commands{"key k"}));
}

TEST(CanvasInputTest, ActionEventsRunTheirCommandAtOnceWithTheirSource) {
    CanvasOnWindow w;
    RecordingCanvas& canvas = *w.canvas;
    auto source = lang::make<sprite::Sprite>();
    auto label = lang::make<lang::String>("bstartgame");
    auto event = lang::make<window::Event>(label.get(), source.get());
    EXPECT_TRUE(canvas.receive(event.get()));
    ASSERT_EQ(canvas.commands, (Commands{"bstartgame"}));
    EXPECT_EQ(canvas.sources[0], source.get());
}

// --- timed notifications --------------------------------------------------------------------------

struct Notified : CanvasOnWindow {
    Notified() { canvas->start(); }
    void schedule(int delay, const char* label, int flags = 0, lang::Object* source = nullptr,
                  lang::Object* receiver = nullptr) {
        canvas->scheduleNotify(delay, lang::String(label), flags, source, receiver);
    }
    // Steps until `label` fires; answers the step count (0: not within `limit` steps).
    int stepsUntil(const char* label, int limit = 200) {
        for (int i = 1; i <= limit; ++i) {
            step();
            for (const std::string& c : canvas->take())
                if (c == label)
                    return i;
        }
        return 0;
    }
};

TEST(CanvasInputTest, NotificationsFireOnTheirFrameInFramesOrSeconds) {
    Notified n;
    n.schedule(50, "x");
    EXPECT_EQ(n.stepsUntil("x"), 50);
    n.schedule(2, "secs", sprite::GameCanvas2::kNotifySeconds);
    EXPECT_EQ(n.stepsUntil("secs"), 50) << "2 s at 40 ms a frame";
    n.schedule(0, "now");
    EXPECT_EQ(n.stepsUntil("now"), 1);
    EXPECT_EQ(n.canvas->pendingNotificationCount(), 0);
}

TEST(CanvasInputTest, NotificationsDueTogetherFireNewestFirstAndNewOnesWaitForTheNextStep) {
    Notified n;
    n.canvas->onCommand = [&](const lang::String& c) {
        if (c.equals("b"))
            n.schedule(0, "fromHandler");
    };
    n.schedule(3, "a");
    n.schedule(3, "b");
    n.schedule(3, "c");
    n.steps(2);
    EXPECT_EQ(n.canvas->take(), (Commands{}));
    n.step();
    EXPECT_EQ(n.canvas->take(), (Commands{"c", "b", "a"}));
    n.step();
    EXPECT_EQ(n.canvas->take(), (Commands{"fromHandler"}));
}

TEST(CanvasInputTest, ReplaceRestartsCancelRemovesAndSameObjectsNarrowsBoth) {
    Notified n;
    auto s1 = lang::make<sprite::Sprite>();
    auto s2 = lang::make<sprite::Sprite>();
    n.schedule(5, "r");
    n.steps(3);
    n.schedule(5, "r", sprite::GameCanvas2::kNotifyReplace);
    EXPECT_EQ(n.canvas->pendingNotificationCount(), 1);
    EXPECT_EQ(n.stepsUntil("r"), 5) << "the countdown started again";

    n.schedule(5, "k", 0, s1.get());
    n.schedule(5, "k", 0, s2.get());
    n.schedule(0, "k", sprite::GameCanvas2::kNotifyCancel | sprite::GameCanvas2::kNotifySameObjects, s1.get());
    EXPECT_EQ(n.canvas->pendingNotificationCount(), 1);
    n.steps(5);
    ASSERT_EQ(n.canvas->sources.size(), 1u);
    EXPECT_EQ(n.canvas->sources[0], s2.get()) << "only the notification from s1 was cancelled";
    EXPECT_EQ(n.canvas->take(), (Commands{"k"}));

    n.schedule(5, "k");
    n.schedule(7, "k");
    n.schedule(0, "k", sprite::GameCanvas2::kNotifyCancel);
    EXPECT_EQ(n.canvas->pendingNotificationCount(), 0);
    n.schedule(3, "twice");
    n.schedule(3, "twice");
    n.steps(3);
    EXPECT_EQ(n.canvas->take(), (Commands{"twice", "twice"})) << "without replace, two notifications";
}

TEST(CanvasInputTest, RepeatingNotificationsKeepTheirPeriodUntilCancelled) {
    Notified n;
    n.schedule(3, "tick", sprite::GameCanvas2::kNotifyRepeat);
    std::string fired;
    for (int i = 0; i < 10; ++i) {
        n.step();
        fired += n.canvas->take().empty() ? '.' : 'X';
    }
    EXPECT_EQ(fired, "..X..X..X.");
    n.schedule(0, "tick", sprite::GameCanvas2::kNotifyCancel);
    n.steps(6);
    EXPECT_TRUE(n.canvas->take().empty());
    // A period of 0 would divide by zero: it counts as one frame.
    n.schedule(0, "every", sprite::GameCanvas2::kNotifyRepeat);
    n.steps(3);
    EXPECT_EQ(n.canvas->take(), (Commands{"every", "every", "every"}));
}

TEST(CanvasInputTest, AHandlerCancellingADueNotificationStopsItFiring) {
    Notified n;
    n.canvas->onCommand = [&](const lang::String& c) {
        if (c.equals("first"))
            n.schedule(0, "second", sprite::GameCanvas2::kNotifyCancel);
    };
    n.schedule(2, "second");
    n.schedule(2, "first");  // newer: fires first in the same step
    n.schedule(2, "third");
    n.steps(2);
    EXPECT_EQ(n.canvas->take(), (Commands{"third", "first"}));
    n.steps(3);
    EXPECT_TRUE(n.canvas->take().empty()) << "neither counted down again nor fired late";
}

TEST(CanvasInputTest, PausedNotificationsNeitherCountNorFireAndSpritesGetTheirOwn) {
    Notified n;
    class Listener : public sprite::Sprite {
    public:
        void handleAction(lang::Object*, const lang::String& label) override { heard.emplace_back(label.chars()); }
        Commands heard;
    };
    auto listener = lang::make<Listener>();
    n.schedule(2, "mine", 0, nullptr, listener.get());
    n.schedule(2, "canvas");
    n.canvas->setNotificationsPaused(true);
    n.steps(5);
    EXPECT_TRUE(n.canvas->take().empty());
    n.canvas->setNotificationsPaused(false);
    n.steps(2);
    EXPECT_EQ(n.canvas->take(), (Commands{"canvas"}));
    EXPECT_EQ(listener->heard, (Commands{"mine"}));
}

}  // namespace
