// window::Component: one window of the program (the top-level frame or a child inside it), turning the
// platform's events into window::Event objects delivered to its handler operations.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "lang/Object.h"
#include "lang/Ref.h"
#include "util/Point.h"
#include "util/RectangleNM.h"
#include "window/Receiver.h"

namespace window {

class Color;
class Cursor;
class Event;
class Graphics;

namespace sdl {
class Screen;
struct Access;
}  // namespace sdl

// Messages of the window procedure. The numbers follow the classic message loop the design grew up on,
// so overrides read the same; parameters are described beside each.
namespace msg {
inline constexpr int32_t kCreate = 0x0001;
inline constexpr int32_t kDestroy = 0x0002;
inline constexpr int32_t kMove = 0x0003;      // lParam: packed client position
inline constexpr int32_t kSize = 0x0005;      // wParam: kSizeRestored/kSizeMinimized, lParam: size
inline constexpr int32_t kActivate = 0x0006;  // wParam: 1 active, 0 inactive; lParam: 1 other process
inline constexpr int32_t kPaint = 0x000F;
inline constexpr int32_t kClose = 0x0010;
inline constexpr int32_t kEraseBackground = 0x0014;
inline constexpr int32_t kSetCursor = 0x0020;  // wParam: 1 over the client area
inline constexpr int32_t kPositionChanged = 0x0047;
inline constexpr int32_t kKeyDown = 0x0100;  // wParam: platform key code, lParam: key data
inline constexpr int32_t kKeyUp = 0x0101;
inline constexpr int32_t kChar = 0x0102;        // wParam: Windows-1252 character, lParam: key data
inline constexpr int32_t kSysCommand = 0x0112;  // wParam: kScMaximize, kScMinimize or kScRestore
inline constexpr int32_t kTimer = 0x0113;       // wParam: timer id
inline constexpr int32_t kMouseMove = 0x0200;   // wParam: kMk* bits, lParam: packed client point
inline constexpr int32_t kLButtonDown = 0x0201;
inline constexpr int32_t kLButtonUp = 0x0202;
inline constexpr int32_t kRButtonDown = 0x0204;
inline constexpr int32_t kRButtonUp = 0x0205;
inline constexpr int32_t kMouseWheel = 0x020A;  // wParam: notches << 16 | kMk* bits, lParam: client point
inline constexpr int32_t kCaptureChanged = 0x0215;
inline constexpr int32_t kUser = 0x0400;

inline constexpr int64_t kSizeRestored = 0;
inline constexpr int64_t kSizeMinimized = 1;
inline constexpr int64_t kScMinimize = 0xF020;
inline constexpr int64_t kScMaximize = 0xF030;
inline constexpr int64_t kScRestore = 0xF120;
inline constexpr int64_t kMkLeft = 0x01;
inline constexpr int64_t kMkRight = 0x02;
inline constexpr int64_t kMkShift = 0x04;
inline constexpr int64_t kMkControl = 0x08;
// Bit 30 of key data: the key was already down (auto-repeat).
inline constexpr int64_t kKeyRepeat = int64_t{1} << 30;

// A client point packed into lParam, and back.
int64_t packPoint(int32_t x, int32_t y);
int32_t pointX(int64_t lParam);
int32_t pointY(int64_t lParam);
}  // namespace msg

class Component : public lang::Object, public Receiver {
public:
    Component();
    ~Component() override;

    const char* getClassName() const override { return "Component"; }
    bool instanceOf(const char* className) const override;

    // Size and place, in game pixels (the client area; a top-level window's picture is scaled to fit).
    virtual void setSize(int width, int height);
    // Called after the size changed.
    virtual void onSized() {}
    virtual util::Dimension getSize();
    virtual void getSizeInto(util::Dimension* size);
    // A new Point (one reference for the caller) with the position inside the parent.
    virtual util::Point* getLocation();
    // The position inside the parent, as a plain value.
    virtual util::Point location();
    // The parent component, no reference for the caller, or null for a top-level window.
    virtual Component* getParent() { return parent_; }

    // Handlers: each answers true when it took the event. The default takes none.
    virtual bool mouseDown(Event* event, int x, int y);
    virtual bool mouseUp(Event* event, int x, int y);
    virtual bool mouseMove(Event* event, int x, int y);
    virtual bool mouseDrag(Event* event, int x, int y);
    // The wheel under the pointer; event->key holds the notches.
    virtual bool mouseWheel(Event* event, int x, int y);
    virtual bool keyDown(Event* event, int key);
    virtual bool keyUp(Event* event, int key);

    // Gives this component the keyboard focus. From another thread the window thread is asked to do it.
    virtual void requestFocus();
    virtual bool contains(int x, int y);
    virtual void paint(Graphics* g);
    // Fills with the background colour, then paints.
    virtual void update(Graphics* g);
    // Asks for the whole component to be painted again soon (on the window thread).
    virtual void repaint();
    virtual void eraseBackground(Graphics* g);
    virtual void onMoved() {}
    virtual void setVisible(bool visible);
    virtual bool isVisible();
    // Keeps a reference on the cursor and shows it while the pointer is over this component; from
    // another thread the change is posted to the window thread.
    virtual void setCursor(Cursor* cursor);
    // Moves the pointer to a client point.
    virtual void setMousePosition(int x, int y);
    // A new drawing context on this component's part of the window (one reference for the caller), or
    // null before the window exists. Window thread only (null elsewhere); other threads draw through
    // contexts made from it with create(), which stay safe after the window has gone.
    virtual Graphics* getGraphics();
    virtual void setForeground(Color* color);
    virtual void setBackground(Color* color);
    // No reference for the caller.
    virtual Color* getBackground();
    virtual Color* getForeground();
    // A new Point (one reference) with the last pointer position in client coordinates.
    virtual util::Point* getMousePosition();
    virtual bool isMouseInside();
    // Creates the platform window: a top-level window without a parent, else a child covering `bounds`
    // inside the parent. Answers false when there is no display or the window cannot be made.
    virtual bool create(Component* parent, const util::RectangleNM& bounds);
    // Handles one message on the window thread; answers the message's result.
    virtual int64_t windowProc(int32_t message, int64_t wParam, int64_t lParam);
    // Brings the window to the front (passed up to the top-level window).
    virtual void toFront();

    // Receiver: takes every action event and does nothing with it.
    bool receive(Event* event) override;

    // Window thread: destroys the window: the component hears msg::kDestroy first, then its children's
    // windows go, then its own. From another thread it is posted. A window exists until it is
    // destroyed: the window layer holds a reference on every top-level component with a window, and a
    // parent on its children.
    void destroyWindow();
    bool hasWindow() const { return created_.load(std::memory_order_acquire); }
    // Window thread: true when this component has the keyboard focus and its window is active.
    bool hasFocus() const;
    // The position inside the top-level window.
    util::Point positionInWindow() const;
    const util::RectangleNM& bounds() const { return bounds_; }
    void setLocation(int x, int y);
    // The current cursor, no reference for the caller.
    Cursor* getCursor() const;
    // A periodic timer whose ticks arrive as msg::kTimer with the id; setting an id again replaces it.
    // Timers end with the window.
    void setTimer(int id, int periodMilliseconds);
    // Stops the timer of that id (every timer for an id below 0).
    void killTimer(int id);
    // The top-level component of this one's window (itself for a top-level window).
    Component* topLevel();
    // The component that has the keyboard focus, or null (window thread).
    static Component* focusedComponent();

protected:
    // Runs the platform's default handling of a message no override took.
    int64_t defaultProc(int32_t message, int64_t wParam, int64_t lParam);
    // Top-level windows only: the SDL window flags wanted at creation.
    virtual uint32_t creationFlags() const;
    // The screen of this component's window, or null (for the window layer).
    sdl::Screen* screen() const;
    // The platform window (an SDL_Window*; a child answers its top-level window's), for the window layer.
    void* nativeWindow() const;
    // Called while the window is destroyed, after msg::kDestroy and before the children's windows go;
    // Component does nothing.
    virtual void onDestroyWindow() {}
    // Makes the top-level window active or inactive and sends msg::kActivate.
    void activate(bool active);

    // The game's key code of a platform key code: the cursor keys, Delete, F1, F2, F3 and F5 have codes
    // of their own; every other key keeps the platform's.
    static int32_t keyCode(int64_t platformCode);

    // Position in the parent (a top-level window: on the desktop) and client size in game pixels.
    util::RectangleNM bounds_;

private:
    friend class EventLoop;
    friend struct sdl::Access;
    struct Native;
    struct Timer {
        int id;
        intptr_t key;  // the timer table's key
        int handle;    // SDL's timer id
    };

    void deliverMouse(int32_t message, int64_t wParam, int64_t lParam);
    void deliverKey(int32_t message, int64_t wParam, int64_t lParam);
    void setCapture();
    void releaseCapture();
    void captureLost();
    void applyCursor();
    void forgetWindow();
    void paintTree(bool all);
    // The deepest visible component under a point of this one's client area (itself when no child is).
    Component* childAt(int x, int y);
    static Component* captured();

    Native* native_ = nullptr;  // top-level windows only: the SDL window and its screen

    Component* parent_ = nullptr;                 // borrowed: children go before their parent's window
    std::vector<lang::Ref<Component>> children_;  // children with windows, drawn over the parent
    // Any thread may ask whether the window exists and whether it is shown; only the window thread
    // changes either.
    std::atomic<bool> created_{false};
    std::atomic<bool> visible_{false};
    // This component waits to be painted; for a top-level one also: a paint message is on its way.
    std::atomic<bool> needsPaint_{false};
    std::atomic<bool> paintPosted_{false};
    // Guards cursor_, which any thread may set.
    mutable std::mutex cursorLock_;
    lang::Ref<Cursor> cursor_;
    lang::Ref<Color> foreground_;
    lang::Ref<Color> background_;
    // Mouse state, window thread only: the time of the last press, the running click count and the
    // buttons held (bit 0 left, bit 1 right), the last pointer position in client coordinates.
    uint32_t lastClickTime_ = 0;
    int32_t clickCount_ = 0;
    int32_t buttonsDown_ = 0;
    util::Point mouse_;
    bool mouseInside_ = false;
    std::vector<Timer> timers_;  // guarded by the timer table's lock
};

// Opens the display on the calling thread, which becomes the window thread. Answers false with a one-line
// reason when there is none; a program then says so and ends.
bool openDisplay(std::string* reason);
// Closes the display (after the last window went).
void closeDisplay();
// Runs the message loop on the window thread until postQuitMessage; answers the exit code.
int runMessageLoop();
// Handles every event already waiting, without blocking; answers how many there were. Tests and
// benchmarks pump the window thread with it.
int processPendingEvents();
// Ends the message loop with an exit code; any thread.
void postQuitMessage(int exitCode);
// The platform's double-click time in milliseconds.
uint32_t doubleClickTime();

}  // namespace window
