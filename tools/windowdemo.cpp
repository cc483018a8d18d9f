// windowdemo: the game's window on its own. It draws a picture, follows the mouse, marks clicks (bigger
// for double and triple clicks), draws drags, shows keys, and switches full screen (F11 or f, maximise;
// Escape leaves). Every event is also written to standard output, one line each, for scripted checks.
//
//   windowdemo [--exit-after MILLISECONDS]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "lang/Ref.h"
#include "lang/String.h"
#include "window/Color.h"
#include "window/Component.h"
#include "window/Cursor.h"
#include "window/Event.h"
#include "window/Frame.h"
#include "window/Graphics.h"
#include "window/Image.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kExitTimer = 7;
// F11 has no game code of its own: it arrives with the platform's key code.
constexpr int kF11 = 0x40000044;

// The game canvas's part: an off-screen picture drawn in software, copied to the window rectangle by
// rectangle as it changes.
class DemoCanvas : public window::Component {
public:
    DemoCanvas() : offscreen_(lang::make<window::Image>(kWidth, kHeight, window::Image::kOffscreen, true)) {
        drawBackground();
    }

    // Window thread, once the window exists.
    void takeScreen() {
        std::lock_guard<std::mutex> guard(lock_);
        screenGraphics_ = lang::adopt(getGraphics());
    }

    void update(window::Graphics* g) override {
        std::lock_guard<std::mutex> guard(lock_);
        paint(g);
    }
    void paint(window::Graphics* g) override { g->drawImage(offscreen_.get(), 0, 0); }

    bool mouseMove(window::Event* e, int x, int y) override {
        log("move", e);
        moveMarker(x, y);
        return true;
    }
    bool mouseDrag(window::Event* e, int x, int y) override {
        log("drag", e);
        // The trail stays; the marker waits for the next plain move.
        fill(x - 3, y - 3, 7, 7,
             (e->modifiers & window::Event::kRightButton) != 0 ? 0xFFFF6040u : 0xFFFFFF40u);
        return true;
    }
    bool mouseDown(window::Event* e, int x, int y) override {
        log("down", e);
        int size = 8 * e->clickCount;
        fill(x - size / 2, y - size / 2, size, size, e->clickCount >= 3 ? 0xFF40FF40u : 0xFF40A0FFu);
        setCursor(window::Cursor::openHand());
        return true;
    }
    bool mouseUp(window::Event* e, int, int) override {
        log("up", e);
        setCursor(window::Cursor::hand());
        return true;
    }
    bool keyDown(window::Event* e, int key) override {
        log("key", e);
        if (key == window::Event::kEscape || key == kF11 || key == 'f')
            return false;  // the frame's
        // Each key lights a bar whose length is its code, so keys can be told apart in a screenshot.
        fill(10, 560, kWidth - 20, 30, 0xFF202020u);
        fill(10, 560, std::min(kWidth - 20, (key & 0x7FF) / 2 + 2), 30, 0xFFE0C040u);
        if (key >= 32 && key < 256) {
            lang::Ref<window::Graphics> g = lang::adopt(offscreen_->getGraphics());
            g->setColor(0xFFFFFFu);
            char text[2] = {static_cast<char>(key), 0};
            g->drawString(text, 20, 565);
            show(10, 560, kWidth - 20, 30);
        }
        return true;
    }
    bool keyUp(window::Event* e, int) override {
        log("keyup", e);
        return true;
    }

    // A square that moves on its own, drawn from another thread as the game's render thread draws.
    void animate(int step) {
        int x = 20 + (step * 7) % (kWidth - 80);
        fill(0, 20, kWidth, 40, 0xFF183048u);
        fill(x, 25, 30, 30, 0xFFFF8020u);
        show(0, 20, kWidth, 40);
    }

private:
    static void log(const char* what, window::Event* e) {
        std::printf("%s id=%d x=%d y=%d modifiers=%d key=0x%X clicks=%d\n", what, e->id, e->x, e->y,
                    e->modifiers, e->key, e->clickCount);
        std::fflush(stdout);
    }

    void drawBackground() {
        uint32_t* pixels = offscreen_->getPixels();
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                uint32_t r = static_cast<uint32_t>(x * 255 / kWidth);
                uint32_t g = static_cast<uint32_t>(y * 255 / kHeight);
                uint32_t b = ((x / 50 + y / 50) % 2) != 0 ? 0x60u : 0x30u;
                pixels[y * kWidth + x] = 0xFF000000u | r << 16 | g << 8 | b;
            }
        }
    }

    void moveMarker(int x, int y) {
        // Restore the picture under the old marker from the background, then draw the new one.
        fill(markerX_ - 6, markerY_ - 6, 12, 12, 0, true);
        markerX_ = x;
        markerY_ = y;
        fill(x - 6, y - 6, 12, 12, 0xFFFFFFFFu);
    }

    void fill(int x, int y, int width, int height, uint32_t argb, bool restore = false) {
        std::lock_guard<std::mutex> guard(lock_);
        uint32_t* pixels = offscreen_->getPixels();
        for (int row = std::max(0, y); row < std::min(kHeight, y + height); ++row) {
            for (int col = std::max(0, x); col < std::min(kWidth, x + width); ++col) {
                if (restore) {
                    uint32_t r = static_cast<uint32_t>(col * 255 / kWidth);
                    uint32_t g = static_cast<uint32_t>(row * 255 / kHeight);
                    uint32_t b = ((col / 50 + row / 50) % 2) != 0 ? 0x60u : 0x30u;
                    pixels[row * kWidth + col] = 0xFF000000u | r << 16 | g << 8 | b;
                } else {
                    pixels[row * kWidth + col] = argb;
                }
            }
        }
        showLocked(x, y, width, height);
    }

    void show(int x, int y, int width, int height) {
        std::lock_guard<std::mutex> guard(lock_);
        showLocked(x, y, width, height);
    }

    // Copies one changed rectangle of the off-screen picture to the window, through a copy of the
    // window's context (made on the window thread, usable from any).
    void showLocked(int x, int y, int width, int height) {
        if (!screenGraphics_)
            return;
        lang::Ref<window::Graphics> g = lang::adopt(screenGraphics_->create());
        g->clipRect(x, y, width, height);
        g->drawImage(offscreen_.get(), 0, 0);
        g->dispose();
    }

    std::mutex lock_;  // the off-screen picture, drawn by the window thread and the animation thread
    lang::Ref<window::Graphics> screenGraphics_;
    lang::Ref<window::Image> offscreen_;
    int markerX_ = -100;
    int markerY_ = -100;
};

class DemoFrame : public window::Frame {
public:
    bool keyDown(window::Event*, int key) override {
        if (key == window::Event::kEscape && isFullScreen()) {
            setFullScreen(false, false);
            report();
            return true;
        }
        if (key == kF11 || key == 'f') {
            setFullScreen(!isFullScreen(), false);
            report();
            return true;
        }
        return false;
    }
    void onSized() override { std::printf("sized\n"), std::fflush(stdout); }
    void onActivate(bool active) override {
        std::printf("activate %d\n", active ? 1 : 0), std::fflush(stdout);
    }
    void onCloseRequest() override {
        std::printf("close\n");
        std::fflush(stdout);
        exit();
    }
    void onDestroy() override { window::postQuitMessage(0); }
    int64_t windowProc(int32_t message, int64_t wParam, int64_t lParam) override {
        if (message == window::msg::kTimer && wParam == kExitTimer) {
            killTimer(kExitTimer);
            onCloseRequest();
            return 0;
        }
        return Frame::windowProc(message, wParam, lParam);
    }

private:
    void report() {
        std::printf("fullscreen %d\n", isFullScreen() ? 1 : 0);
        std::fflush(stdout);
    }
};

}  // namespace

int main(int argc, char** argv) {
    int exitAfter = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--exit-after") == 0 && i + 1 < argc) {
            exitAfter = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: windowdemo [--exit-after MILLISECONDS]\n");
            return 2;
        }
    }
    std::string reason;
    if (!window::openDisplay(&reason)) {
        std::fprintf(stderr, "windowdemo: %s\n", reason.c_str());
        return 1;
    }
    lang::Ref<DemoFrame> frame = lang::make<DemoFrame>();
    frame->setTitle("Lumaroo window demo \x96 F11 full screen");
    frame->setMaximizeToFullScreen(true);
    if (!frame->create(nullptr, util::RectangleNM(0, 0, kWidth, kHeight))) {
        std::fprintf(stderr, "windowdemo: the window could not be created\n");
        window::closeDisplay();
        return 1;
    }
    lang::Ref<DemoCanvas> canvas = lang::make<DemoCanvas>();
    canvas->create(frame.get(), util::RectangleNM(0, 0, kWidth, kHeight));
    canvas->setCursor(window::Cursor::hand());
    canvas->takeScreen();
    frame->setVisible(true);
    canvas->setVisible(true);
    canvas->requestFocus();
    if (exitAfter > 0)
        frame->setTimer(kExitTimer, exitAfter);

    std::atomic<bool> running{true};
    std::thread animation([&] {
        for (int step = 0; running.load(); ++step) {
            canvas->animate(step);
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
    });
    int code = window::runMessageLoop();
    running.store(false);
    animation.join();
    std::printf("exit %d\n", code);
    window::closeDisplay();
    return code;
}
