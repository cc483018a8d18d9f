// The canvas's real threads: events, commands and frames together, and stopping while all of them run.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sprite/AnimateSprite.h"
#include "tests/sprite/CanvasTestSupport.h"
#include "util/DataProblems.h"
#include "util/Random.h"
#include "window/MessageBox.h"

namespace {

using canvas_test::button;
using canvas_test::CanvasOnWindow;
using canvas_test::dialog;
using lang::Ref;

// A scene with something of every kind the threads touch: animations, a dialog with buttons, and
// top-level buttons.
struct BusyScene {
    explicit BusyScene(sprite::GameCanvas2& canvas) {
        canvas.addSprite("backdrop", canvas_test::block(0, 0, 800, 600, 0xFF102030).get(), -1);
        auto sheet = sprite_test::numberedSheet(4, 1, 32, 32);
        for (int i = 0; i < 20; ++i) {
            auto piece = lang::make<sprite::AnimateSprite>();
            piece->setImageGrid(sheet.get(), 4, 1);
            piece->setLocation(i * 35, 100);
            piece->setFrameStep(1, true);
            canvas.addSprite(nullptr, piece.get(), -1);
            pieces.push_back(piece);
        }
        panel = dialog(300, 300, 200, 150);
        for (int i = 0; i < 4; ++i)
            panel->appendChild(button(i % 2 == 0 ? "even" : "odd", 10 + i * 30, 10).get());
        canvas.addSprite("panel", panel.get(), -1);
        canvas.addSprite("top", button("top", 10, 10).get(), -1);
    }
    std::vector<Ref<sprite::AnimateSprite>> pieces;
    Ref<sprite::DialogSprite> panel;
};

// Random input from one thread, random commands, moves and notifications from another, the frame loop on
// its own, and the window thread painting: ThreadSanitizer watches every shared field.
TEST(CanvasThreadsTest, RandomEventsCommandsAndFramesTogether) {
    CanvasOnWindow w(false);
    sprite::GameCanvas2& canvas = *w.canvas;
    BusyScene scene(canvas);
    std::atomic<int> handled{0};
    w.canvas->onCommand = [&](const lang::String&) { handled.fetch_add(1, std::memory_order_relaxed); };
    canvas.start();
    std::atomic<bool> done{false};
    std::thread input([&] {
        util::Random random(11);  // nextInt(n) answers 0 to n, both included
        const int ids[] = {window::Event::kMouseDown, window::Event::kMouseUp, window::Event::kMouseMove,
                           window::Event::kMouseDrag, window::Event::kKeyDown, window::Event::kKeyUp};
        while (!done.load()) {
            const int id = ids[random.nextInt(5)];
            const int x = random.nextInt(800), y = random.nextInt(600);
            Ref<window::Event> event = lang::make<window::Event>(id, x, y, 0, 'a' + random.nextInt(25), 1);
            canvas.enqueueEvent(event.get());
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    std::thread game([&] {
        util::Random random(12);
        const char* labels[] = {"handCursor", "normalCursor", "even", "odd", "later"};
        while (!done.load()) {
            sprite::AnimateSprite* piece = scene.pieces[random.nextInt(19)].get();
            switch (random.nextInt(4)) {
            case 0:
                canvas.handleAction(nullptr, lang::String(labels[random.nextInt(4)]));
                break;
            case 1:
                canvas.scheduleNotify(random.nextInt(4), lang::String(labels[random.nextInt(4)]),
                                      random.nextInt(1) * sprite::GameCanvas2::kNotifyReplace, nullptr, nullptr);
                break;
            case 2:
                canvas.removeSprite(piece);
                break;
            case 3: {
                lang::Synchronized guard(&canvas);
                piece->setVisible(true);
                canvas.addSprite(nullptr, piece, random.nextInt(30));
                break;
            }
            default: {
                lang::Synchronized guard(&canvas);
                piece->moveTo(random.nextInt(760), random.nextInt(560), 1 + random.nextInt(5));
                break;
            }
            }
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < until) {
        w.window.pump();
        if (canvas.frameCounter() % 7 == 0)
            canvas.repaint();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    done = true;
    input.join();
    game.join();
    canvas.stop();
    EXPECT_GT(canvas.frameCounter(), 20);
    EXPECT_GT(handled.load(), 100);
    w.window.pump();
}

TEST(CanvasThreadsTest, StopAndDestroyWhileEventsAndFramesRun) {
    for (int round = 0; round < 5; ++round) {
        CanvasOnWindow w(false);
        sprite::GameCanvas2& canvas = *w.canvas;
        BusyScene scene(canvas);
        canvas.start();
        std::atomic<bool> done{false};
        std::thread input([&] {
            int i = 0;
            while (!done.load()) {
                auto event = canvas_test::mouse(window::Event::kMouseMove, i++ % 800, 310);
                canvas.mouseMove(event.get(), event->x, event->y);
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * round));
        canvas.stop();
        EXPECT_TRUE(canvas.isStopped());
        EXPECT_FALSE(canvas.mouseMove(canvas_test::mouse(window::Event::kMouseMove, 1, 1).get(), 1, 1));
        const int frames = canvas.frameCounter();
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        EXPECT_EQ(canvas.frameCounter(), frames) << "no frame after stop";
        canvas.destroy();
        done = true;
        input.join();
    }
}

// A notice for the player goes up from the render thread without the canvas lock, so the game's other
// threads go on while nobody answers it; stop() takes the box down rather than wait for the player.
TEST(CanvasThreadsTest, ANoticeNobodyAnswersHoldsUpNeitherTheLockNorStop) {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::string> shown;
    bool answer = false;
    int open = 0;
    window::MessageBoxHook previous =
        window::setMessageBoxHook([&](std::string_view title, std::string_view text) {
            std::unique_lock<std::mutex> guard(lock);
            shown.push_back(std::string(title) + ": " + std::string(text));
            ++open;
            changed.notify_all();
            changed.wait(guard, [&] { return answer; });  // the player is away
            --open;
            changed.notify_all();
        });
    util::clearDataProblems();
    {
        CanvasOnWindow w(false);
        w.canvas->start();
        w.canvas->notifyPlayer("Level 7 cannot start: board7.txt: cannot be opened");
        {
            std::unique_lock<std::mutex> guard(lock);
            EXPECT_TRUE(changed.wait_for(guard, std::chrono::seconds(10), [&] { return open == 1; }))
                << "the notice went up";
        }
        // The box is up: the canvas lock is free for the input and window threads.
        auto locked = std::async(std::launch::async, [&] { lang::Synchronized guard(w.canvas.get()); });
        EXPECT_EQ(locked.wait_for(std::chrono::seconds(5)), std::future_status::ready);
        auto stopped = std::async(std::launch::async, [&] { w.canvas->stop(); });
        EXPECT_EQ(stopped.wait_for(std::chrono::seconds(5)), std::future_status::ready);
        locked.wait();
        stopped.wait();
    }
    {
        // The box's own thread ends once answered.
        std::unique_lock<std::mutex> guard(lock);
        answer = true;
        changed.notify_all();
        changed.wait_for(guard, std::chrono::seconds(10), [&] { return open == 0; });
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0], "Quillbeck Error: Level 7 cannot start: board7.txt: cannot be opened");
    }
    window::setMessageBoxHook(previous);
}

}  // namespace
