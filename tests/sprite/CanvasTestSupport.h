// A game canvas on a headless window, driven frame by frame, with recorders for commands and sounds.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "lang/Ref.h"
#include "sprite/ButtonSprite.h"
#include "sprite/DialogSprite.h"
#include "sprite/FrameClock.h"
#include "sprite/GameCanvas2.h"
#include "tests/sprite/SpriteTestSupport.h"
#include "tests/support/HeadlessWindow.h"
#include "window/AudioClip.h"

namespace canvas_test {

using lang::Ref;

// Records every command that reaches the handler, then handles it as the engine does.
class RecordingCanvas : public sprite::GameCanvas2 {
public:
    void handleAction(lang::Object* source, const lang::String& command) override {
        lang::Synchronized guard(this);
        commands.emplace_back(command.chars());
        sources.push_back(source);
        if (onCommand)
            onCommand(command);
        GameCanvas2::handleAction(source, command);
    }
    // The recorded commands, and then forgets them.
    std::vector<std::string> take() {
        lang::Synchronized guard(this);
        sources.clear();
        return std::exchange(commands, {});
    }
    std::vector<std::string> commands;
    std::vector<lang::Object*> sources;
    std::function<void(const lang::String&)> onCommand;
};

// A clip that records what the canvas asked of it instead of making sound.
class FakeClip : public window::AudioClip {
public:
    void play() override { calls.push_back("play"); }
    void loop() override { calls.push_back("loop"); }
    void stop() override { calls.push_back("stop"); }
    void fadeVolume(int target, int frames, bool pauseAtEnd) override {
        calls.push_back("fadeVolume");
        fadeFrames = frames;
        fadeTarget = target;
        pausesAtEnd = pauseAtEnd;
    }
    void setVolume(int v) override { volume = v; }
    void fadeSpeed(float, int frames) override {
        calls.push_back("fadeSpeed");
        fadeFrames = frames;
    }
    bool stepFade() override { return --fadeFrames > 0; }
    std::vector<std::string> calls;
    int fadeFrames = 0;
    // The last fade's target and whether it pauses the clip at its end; the last volume set.
    int fadeTarget = -1;
    bool pausesAtEnd = false;
    int volume = -1;
};

// An 800 x 600 canvas inside a headless frame. In stepping mode it runs on a hand-driven clock; every
// step() moves the clock one frame on, so that every frame is on time and painted.
struct CanvasOnWindow {
    explicit CanvasOnWindow(bool stepping = true) : canvas(lang::make<RecordingCanvas>()) {
        canvas->setStepping(stepping);
        if (stepping)
            canvas->setClock(clock.get());
        canvas->create(window.frame(), util::RectangleNM(0, 0, 800, 600));
        canvas->setVisible(true);
        // The first paint gives the canvas its screen context and its off-screen picture.
        window.pump();
    }
    ~CanvasOnWindow() {
        canvas->destroy();
        canvas->destroyWindow();
        window.pump();
    }
    sprite::GameCanvas::FramePass step() {
        clock->advance(canvas->frameDelay());
        return canvas->stepFrame();
    }
    void steps(int n) {
        for (int i = 0; i < n; ++i)
            step();
    }

    testsupport::HeadlessWindow window;
    Ref<sprite::ManualFrameClock> clock = lang::make<sprite::ManualFrameClock>(0);
    Ref<RecordingCanvas> canvas;
};

inline Ref<window::Event> mouse(int id, int x, int y) {
    return lang::make<window::Event>(id, x, y, 0, 0, 1);
}

inline Ref<window::Event> key(int id, int code) {
    return lang::make<window::Event>(id, 0, 0, 0, code, 1);
}

// A plain image sprite of one colour.
inline Ref<sprite::Sprite> block(int x, int y, int w, int h, uint32_t argb) {
    auto s = lang::make<sprite::Sprite>();
    s->setImage(sprite_test::solidImage(w, h, argb).get());
    s->setLocation(x, y);
    return s;
}

// A button 20 x 20 whose frames 0..2 are disabled, normal and hover; named by its command.
inline Ref<sprite::ButtonSprite> button(const char* name, int x, int y) {
    auto b = lang::make<sprite::ButtonSprite>();
    b->setImageGrid(sprite_test::numberedSheet(3, 1, 20, 20).get(), 3, 1);
    b->setStateFrames(2, 1, 0, 1, 2, 2, 1);
    b->setLocation(x, y);
    b->setName(name);
    b->setVisible(true);
    b->setState(sprite::ButtonSprite::kNormal);
    return b;
}

inline Ref<sprite::DialogSprite> dialog(int x, int y, int w, int h, bool modal = false) {
    auto d = lang::make<sprite::DialogSprite>();
    d->init(nullptr, sprite_test::numbers({x, y, w, h, modal ? 1 : 0, 1}).get());
    return d;
}

}  // namespace canvas_test
