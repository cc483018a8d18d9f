// The real game without a screen: the main frame with its loader, the real KolbaxCanvas in stepping mode
// on the real archive and boards, real sounds (on whatever output OpenAL finds), a settings folder of
// the caller's. Frames run as fast as the caller steps them; input goes in as the window's events do.
#pragma once

#include <string>

#include "lang/Ref.h"
#include "sprite/FrameClock.h"
#include "util/Point.h"

class KolbaxCanvas;
class MyFrame;

namespace sprite {
class Sprite;
}

namespace soak {

class Session {
public:
    struct Options {
        std::string dataFolder;      // holds Kolbax.bin and boards/
        std::string settingsFolder;  // the settings database's folder
        unsigned seed = 1;           // the game's generator and the loading screen's draw
    };

    // Opens the archive and the display, creates the frame and its canvas and runs the loader to its
    // end. Never throws: a start that fails leaves failed() true and why() saying so (the game's own
    // message box has been shown by then, or its text went to standard error).
    explicit Session(const Options& options);
    // Closes the game the way the close box does and tears everything down.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool failed() const { return !why_.empty(); }
    const std::string& why() const { return why_; }
    // The loader failed and the frame closed itself, as the program ends after a load error.
    bool endedInOrder() const { return endedInOrder_; }
    // No reference for the caller; null when the start failed.
    KolbaxCanvas* canvas() const { return canvas_.get(); }
    MyFrame* frame() const { return frame_.get(); }

    // One frame of 40 ms: the window's messages, the queued input, the frame pass. Answers whether the
    // frame step dropped an exception.
    bool step();
    int frames() const { return frames_; }

    // Input as the window thread queues it; each is delivered before the call returns.
    void press(int x, int y);
    void release(int x, int y);
    void drag(int x, int y);
    void move(int x, int y);
    void click(int x, int y);
    void key(int code);
    // The window loses activation (another window took the focus), or gets it back.
    void focusLost();
    void focusGained();

    // The sprite at `path` ("MainMenu/bStart1": a top-level name, then child names of the dialogs on the
    // way), null when any part is missing; `at` gets its top-left corner on the canvas.
    sprite::Sprite* find(const std::string& path, util::Point* at = nullptr);
    // Clicks the middle of the sprite at `path` when it is shown (itself and every dialog on the way);
    // answers whether it clicked.
    bool clickNamed(const std::string& path);
    bool shown(const std::string& path);

private:
    void pump();
    void close();

    std::string why_;
    bool endedInOrder_ = false;
    bool archiveOpen_ = false;
    bool displayOpen_ = false;
    int frames_ = 0;
    lang::Ref<sprite::ManualFrameClock> clock_;
    lang::Ref<KolbaxCanvas> canvas_;
    lang::Ref<MyFrame> frame_;
};

}  // namespace soak
