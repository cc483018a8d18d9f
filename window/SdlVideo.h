// The SDL video connection shared by the window classes: the window thread, the posted messages and the
// screen that a window's pictures are copied to. Internal to the window layer; never included above it.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "lang/Object.h"
#include "lang/Ref.h"
#include "util/Region.h"
#include "window/Component.h"

namespace window {
namespace sdl {

// Opens the SDL video subsystem on the calling thread, which becomes the window thread. Answers false,
// with a one-line reason, when there is no display: SDL has no video driver, or it fell back to a
// headless driver that nobody asked for through SDL_VIDEODRIVER. Opening again is harmless.
bool open(std::string* reason);
bool isOpen();
// Shuts the video subsystem down (the posted messages still queued are dropped).
void close();
// True on the thread that opened the video subsystem (and, before that, on any thread).
bool onWindowThread();
// True when the video driver shows nothing (dummy, offscreen).
bool headless();
// The renderer of a new window: the GPU's, unless there is no GPU to draw with. Without a display, and
// where OpenGL is only Mesa's software rasteriser (a virtual machine, a remote X server, Xvfb), SDL's
// own software renderer is used: it presents only the changed rectangles, where rasterising the whole
// picture in software every frame costs several times the game's own drawing. Null on failure.
SDL_Renderer* createRenderer(SDL_Window* window);

// Messages posted to the window thread as SDL user events. Focus and Destroy keep the numbers of the
// component's private messages; the rest are the window layer's own.
enum class Post : int32_t {
    Focus = 100,       // data1: the component that asked for the focus
    Destroy = 101,     // data1: the component whose window goes
    SetCursor = 200,   // data1: the component, data2: the cursor (or null)
    Present = 201,     // data1: the screen with copies waiting
    Paint = 202,       // data1: the top-level component to repaint
    Timer = 203,       // data1: the component, data2: the timer id
    Quit = 204,        // data2: the exit code
    MoveMouse = 205,   // data1: the component, data2: the point packed by packPoint
    Visible = 206,     // data1: the component, data2: 1 show, 0 hide
    FullScreen = 207,  // data1: the frame, data2: bit 0 on, bit 1 force
};

// Posts a message to the window thread. The objects get one reference each, given back when the
// message has been handled (or dropped). Answers false when the event queue refused it.
bool post(Post code, lang::Object* data1, lang::Object* data2 = nullptr);
bool postValue(Post code, lang::Object* data1, intptr_t value);
// Pushes an event for the window thread from any thread, and wakes waitEvent (see there).
bool pushEvent(SDL_Event& event);
// The window thread's wait for its next event. On a display, SDL's own wait. A headless driver has
// no event source that SDL could block on, and SDL would poll it every millisecond; there the wait
// sleeps until pushEvent (which every post goes through) hands over an event, looking at SDL's queue
// again now and then for what SDL raises itself.
bool waitEvent(SDL_Event* event);
// The SDL event type of posted messages.
uint32_t userEventType();
// Releases the objects a posted message holds.
void releasePosted(const SDL_UserEvent& event);

inline int64_t packPoint(int32_t x, int32_t y) {
    return static_cast<int64_t>(static_cast<uint64_t>(static_cast<uint32_t>(y)) << 32 |
                                static_cast<uint32_t>(x));
}
inline int32_t pointX(int64_t packed) {
    return static_cast<int32_t>(static_cast<uint32_t>(packed));
}
inline int32_t pointY(int64_t packed) {
    return static_cast<int32_t>(static_cast<uint64_t>(packed) >> 32);
}

// The picture of one top-level window: a copy of the pixels in game coordinates, the part of it not yet
// shown, and the renderer that shows it. Drawing contexts on any thread write pixels and mark them;
// the window thread uploads the marked rectangles into a streaming texture and presents it. A screen
// outlives its window while contexts hold it: once the window is gone, copies into it are skipped.
class Screen : public lang::Object {
public:
    Screen(SDL_Window* window, SDL_Renderer* renderer, int width, int height);
    ~Screen() override;

    LANG_CLASS_NAME(Screen, Object)

    // Guards the pixels, the pending region and the alive flag. Taken last, after every object lock.
    std::mutex& mutex() { return lock_; }
    // All of these under mutex().
    bool alive() const { return renderer_ != nullptr; }
    uint32_t* pixels() { return direct_ != nullptr ? direct_ : pixels_.data(); }
    // Pixels from one row of pixels() to the next.
    int stride() const { return stride_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Marks an area (already clipped to the screen) as changed and asks the window thread to show it
    // unless it was asked already. On the window thread the caller presents instead (see flush).
    void markChanged(const util::Region& area);

    // Window thread only: uploads the marked rectangles and presents; answers how many rectangles went up.
    int flush();
    // Window thread only: presents the whole picture again (after an expose or a resize).
    void presentAll();
    // Window thread only: a new picture size (the renderer's logical size); the picture is cleared.
    bool resize(int width, int height);
    // Window thread only: the window goes; later copies are skipped.
    void destroy();

    SDL_Window* window() const { return window_; }
    SDL_Renderer* renderer() const { return renderer_; }

private:
    void presentLocked();
    bool partialPresentAllowed();

    std::mutex lock_;
    SDL_Window* window_;
    SDL_Renderer* renderer_;
    SDL_Texture* texture_ = nullptr;
    std::vector<uint32_t> pixels_;
    // With the software renderer the picture lives in the texture's own memory, locked once for good:
    // copies write straight into it and nothing is uploaded (one copy of the frame less). Other
    // renderers keep the picture in pixels_ and upload the changed rectangles.
    uint32_t* direct_ = nullptr;
    int stride_ = 0;
    int width_;
    int height_;
    util::Region pending_;
    bool posted_ = false;
    // The renderer draws into a back buffer that keeps its pixels between presents (software).
    bool keepsBackBuffer_ = false;
    // The next present must draw the whole picture (after a resize, an expose or a mode switch).
    bool wholePictureDue_ = true;
};

// The top-level components with windows, by SDL window id (window thread only). The table holds a
// reference on each, so a component lives at least as long as its window.
Component* componentOfWindow(uint32_t windowId);
void registerWindow(uint32_t windowId, Component* component);
void unregisterWindow(uint32_t windowId);
std::vector<lang::Ref<Component>> allWindows();
// What the window layer's helpers (and tests, which read the screen back) reach inside a component.
struct Access {
    // The renderer, window and screen of a component's top-level window, or null.
    static SDL_Renderer* renderer(Component* component);
    static SDL_Window* window(Component* component);
    static Screen* screen(Component* component);
};

}  // namespace sdl

// The platform window of a top-level component. Window thread only.
struct Component::Native {
    SDL_Window* window = nullptr;
    uint32_t windowId = 0;
    lang::Ref<sdl::Screen> screen;
    // The window is the active one (it has the platform's keyboard focus).
    bool active = false;
    // The component inside this window that last had the focus; it gets it back on activation.
    Component* lastFocus = nullptr;
};

}  // namespace window
