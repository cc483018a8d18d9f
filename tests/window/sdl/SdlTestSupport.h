// Shared fixture of the SDL window tests: a frame with a child canvas, and SDL events pushed as if the
// desktop had sent them.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/Ref.h"
#include "window/Component.h"
#include "window/Event.h"
#include "window/Frame.h"
#include "window/SdlVideo.h"

namespace window::testing {

// What a handler saw: the event's fields, copied.
struct Seen {
    int32_t id, x, y, modifiers, key, clickCount;
};

// A child component that records every event and takes those it is told to.
class Recorder : public Component {
public:
    bool mouseDown(Event* e, int, int) override { return record(e); }
    bool mouseUp(Event* e, int, int) override { return record(e); }
    bool mouseMove(Event* e, int, int) override { return record(e); }
    bool mouseDrag(Event* e, int, int) override { return record(e); }
    bool keyDown(Event* e, int) override {
        record(e);
        return takeKeys;
    }
    bool keyUp(Event* e, int) override { return record(e); }
    void paint(Graphics*) override { ++paints; }

    std::vector<Seen> seen;
    bool takeKeys = false;
    int paints = 0;

private:
    bool record(Event* e) {
        seen.push_back(Seen{e->id, e->x, e->y, e->modifiers, e->key, e->clickCount});
        return true;
    }
};

// A frame that records keys reaching it, activation, close requests and timer ticks.
class RecordingFrame : public Frame {
public:
    bool keyDown(Event* e, int key) override {
        keys.push_back(key);
        (void)e;
        return true;
    }
    void onActivate(bool active) override { activations.push_back(active); }
    void onFullScreenSwitched(bool on) override { switches.push_back(on); }
    void onCloseRequest() override { ++closeRequests; }
    void onDestroy() override { ++destroys; }
    int64_t windowProc(int32_t message, int64_t wParam, int64_t lParam) override {
        if (message == msg::kTimer)
            timerTicks.push_back(static_cast<int>(wParam));
        return Frame::windowProc(message, wParam, lParam);
    }

    std::vector<int> keys;
    std::vector<bool> activations;
    std::vector<bool> switches;  // what onFullScreenSwitched was told, in order
    std::vector<int> timerTicks;
    int closeRequests = 0;
    int destroys = 0;
};

class SdlWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    uint32_t windowId() const;
    void pushKey(uint32_t type, SDL_Keycode key, SDL_Scancode scancode, uint16_t mod = KMOD_NONE,
                 bool repeat = false);
    void pushText(const char* utf8);
    void pushButton(bool down, uint8_t button, int x, int y);
    void pushMotion(int x, int y, uint32_t state);
    void pushWindowEvent(uint8_t kind);
    // Reads the window's picture back through the renderer, as 0xAARRGGBB pixels of 800 by 600.
    std::vector<uint32_t> readScreen();

    lang::Ref<RecordingFrame> frame;
    lang::Ref<Recorder> canvas;
};

}  // namespace window::testing
