// The window thread's message loop: SDL events become window messages for the components they concern.
#include <cstdlib>
#include <string>

#include "lang/CodePage.h"
#include "window/Component.h"
#include "window/Cursor.h"
#include "window/Event.h"
#include "window/Frame.h"
#include "window/SdlVideo.h"

namespace window {

// Turns SDL events into calls of the window procedures; a friend of Component.
class EventLoop {
public:
    static void dispatch(const SDL_Event& event);
    static void flushScreens();

    static bool quit;
    static int exitCode;

private:
    static void windowEvent(const SDL_WindowEvent& event);
    static void mouseEvent(uint32_t windowId, int32_t message, int x, int y, int64_t buttons);
    static void wheelEvent(const SDL_MouseWheelEvent& event);
    static void keyEvent(const SDL_KeyboardEvent& event);
    static void textEvent(const SDL_TextInputEvent& event);
    static void posted(const SDL_UserEvent& event);
    static Component* keyTarget(uint32_t windowId);

    // Whether the last key pressed was an auto-repeat: the characters it types repeat with it.
    static bool lastKeyRepeated;
};

bool EventLoop::quit = false;
int EventLoop::exitCode = 0;
bool EventLoop::lastKeyRepeated = false;

namespace {

// Windows-1252 characters of keys that type one although SDL sends no text for them.
int32_t controlCharacter(SDL_Keycode key) {
    switch (key) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return Event::kEnter;
        case SDLK_BACKSPACE:
            return Event::kBackspace;
        case SDLK_TAB:
            return Event::kTab;
        case SDLK_ESCAPE:
            return Event::kEscape;
        default:
            return -1;
    }
}

// The Windows-1252 character a key types when Control is up, or -1 for a key that types none. Keys with
// code points below the scan-code range type their own character (letters with shift or caps lock
// as capitals); the keypad's operators always type theirs, its digits and point only with num lock.
int32_t typedCharacter(const SDL_Keysym& keysym) {
    const SDL_Keycode key = keysym.sym;
    const bool numLock = (keysym.mod & KMOD_NUM) != 0;
    switch (key) {
        case SDLK_KP_DIVIDE:
            return '/';
        case SDLK_KP_MULTIPLY:
            return '*';
        case SDLK_KP_MINUS:
            return '-';
        case SDLK_KP_PLUS:
            return '+';
        case SDLK_KP_PERIOD:
            return numLock ? '.' : -1;
        case SDLK_KP_0:
            return numLock ? '0' : -1;
        default:
            break;
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return numLock ? static_cast<int32_t>('1' + (key - SDLK_KP_1)) : -1;
    if (key < 0x20 || key == SDLK_DELETE || (key & SDLK_SCANCODE_MASK) != 0)
        return -1;
    char32_t codePoint = static_cast<char32_t>(key);
    // Shift or caps lock (not both) make capitals of the ASCII and Latin-1 small letters (not of the
    // division sign among them).
    const bool upper = ((keysym.mod & KMOD_SHIFT) != 0) != ((keysym.mod & KMOD_CAPS) != 0);
    if (upper && ((codePoint >= U'a' && codePoint <= U'z') ||
                  (codePoint >= 0xE0 && codePoint <= 0xFE && codePoint != 0xF7)))
        codePoint -= 0x20;
    return lang::fromUnicode(codePoint);
}

// Control and shift in the high word of key data, as Event modifier bits.
int64_t keyModifiers(uint16_t mod) {
    int64_t bits = 0;
    if ((mod & KMOD_CTRL) != 0)
        bits |= Event::kControl;
    if ((mod & KMOD_SHIFT) != 0)
        bits |= Event::kShift;
    return bits << 32;
}

int64_t mouseKeyBits() {
    SDL_Keymod mod = SDL_GetModState();
    int64_t bits = 0;
    if ((mod & KMOD_CTRL) != 0)
        bits |= msg::kMkControl;
    if ((mod & KMOD_SHIFT) != 0)
        bits |= msg::kMkShift;
    return bits;
}

int64_t buttonBits(uint32_t state) {
    int64_t bits = 0;
    if ((state & SDL_BUTTON_LMASK) != 0)
        bits |= msg::kMkLeft;
    if ((state & SDL_BUTTON_RMASK) != 0)
        bits |= msg::kMkRight;
    return bits;
}

Component* postedComponent(const SDL_UserEvent& event) {
    return static_cast<Component*>(static_cast<lang::Object*>(event.data1));
}

}  // namespace

void EventLoop::dispatch(const SDL_Event& event) {
    if (event.type == sdl::userEventType()) {
        posted(event.user);
        sdl::releasePosted(event.user);
        return;
    }
    switch (event.type) {
        case SDL_WINDOWEVENT:
            windowEvent(event.window);
            return;
        case SDL_MOUSEMOTION:
            mouseEvent(event.motion.windowID, msg::kMouseMove, event.motion.x, event.motion.y,
                       buttonBits(event.motion.state));
            return;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            int32_t message;
            if (event.button.button == SDL_BUTTON_LEFT) {
                message = down ? msg::kLButtonDown : msg::kLButtonUp;
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                message = down ? msg::kRButtonDown : msg::kRButtonUp;
            } else {
                return;
            }
            mouseEvent(event.button.windowID, message, event.button.x, event.button.y, 0);
            return;
        }
        case SDL_MOUSEWHEEL:
            wheelEvent(event.wheel);
            return;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            keyEvent(event.key);
            return;
        case SDL_TEXTINPUT:
            textEvent(event.text);
            return;
        case SDL_QUIT:
            // The desktop or a signal asks the program to stop: every window hears a close request.
            for (const auto& window : sdl::allWindows())
                window->windowProc(msg::kClose, 0, 0);
            return;
        default:
            return;
    }
}

void EventLoop::windowEvent(const SDL_WindowEvent& event) {
    lang::Ref<Component> top = lang::share(sdl::componentOfWindow(event.windowID));
    if (!top || top->native_ == nullptr)
        return;
    const int64_t clientSize = msg::packPoint(top->bounds_.width, top->bounds_.height);
    switch (event.event) {
        case SDL_WINDOWEVENT_EXPOSED:
            top->paintTree(true);
            if (top->native_ != nullptr)
                top->native_->screen->presentAll();
            return;
        case SDL_WINDOWEVENT_MOVED:
            top->windowProc(msg::kMove, 0, msg::packPoint(event.data1, event.data2));
            top->windowProc(msg::kPositionChanged, 0, 0);
            return;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // The client area keeps its size in game pixels; the picture scales to the new window.
            if (top->native_ != nullptr)
                top->native_->screen->presentAll();
            top->windowProc(msg::kSize, msg::kSizeRestored, clientSize);
            top->windowProc(msg::kPositionChanged, 0, 0);
            return;
        case SDL_WINDOWEVENT_MINIMIZED:
            top->windowProc(msg::kSize, msg::kSizeMinimized, 0);
            top->windowProc(msg::kPositionChanged, 0, 0);
            return;
        case SDL_WINDOWEVENT_MAXIMIZED:
            top->windowProc(msg::kSysCommand, msg::kScMaximize, 0);
            return;
        case SDL_WINDOWEVENT_RESTORED:
            top->windowProc(msg::kSize, msg::kSizeRestored, clientSize);
            top->windowProc(msg::kPositionChanged, 0, 0);
            return;
        case SDL_WINDOWEVENT_ENTER:
            top->mouseInside_ = true;
            return;
        case SDL_WINDOWEVENT_LEAVE:
            top->mouseInside_ = false;
            return;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (!top->native_->active)
                top->activate(true);
            return;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (top->native_->active)
                top->activate(false);
            return;
        case SDL_WINDOWEVENT_CLOSE:
            top->windowProc(msg::kClose, 0, 0);
            return;
        case SDL_WINDOWEVENT_TAKE_FOCUS:
            SDL_SetWindowInputFocus(top->native_->window);
            return;
        default:
            return;
    }
}

void EventLoop::mouseEvent(uint32_t windowId, int32_t message, int x, int y, int64_t buttons) {
    lang::Ref<Component> top = lang::share(sdl::componentOfWindow(windowId));
    if (!top)
        return;
    top->mouse_.x = x;
    top->mouse_.y = y;
    // A press on a window that is not the active one activates it first, as a click does on a desktop
    // that activates on click: the desktop's focus change may reach SDL after the press (X11 holds it
    // back for a while after a mode change; Wayland orders the two as it likes), and the press would be
    // dropped for want of the focus that it is itself giving.
    const bool press = message == msg::kLButtonDown || message == msg::kRButtonDown;
    if (press && top->native_ != nullptr && !top->native_->active && top->isVisible())
        top->activate(true);
    // The component holding the capture gets every mouse event of its window; otherwise the one under
    // the pointer does.
    Component* captured = Component::captured();
    lang::Ref<Component> target =
        lang::share(captured != nullptr && captured->topLevel() == top.get() ? captured : top->childAt(x, y));
    // As the pointer crosses components, the nearest one with a cursor of its own shows it.
    for (Component* c = target.get(); c != nullptr; c = c->parent_) {
        Cursor* cursor = c->getCursor();
        if (cursor == nullptr)
            continue;
        if (Cursor::applied() != cursor)
            c->windowProc(msg::kSetCursor, 1, 0);
        break;
    }
    util::Point origin = target->positionInWindow();
    target->windowProc(message, buttons | mouseKeyBits(), msg::packPoint(x - origin.x, y - origin.y));
}

void EventLoop::wheelEvent(const SDL_MouseWheelEvent& event) {
    int notches = event.y;
    if (event.direction == SDL_MOUSEWHEEL_FLIPPED)
        notches = -notches;
    if (notches == 0)
        return;
    Component* top = sdl::componentOfWindow(event.windowID);
    if (top == nullptr)
        return;
    // The wheel goes where a press at the pointer would go: the last point the motion events gave, in
    // the same coordinates as theirs.
    mouseEvent(event.windowID, msg::kMouseWheel, top->mouse_.x, top->mouse_.y,
               static_cast<int64_t>(notches) * 65536);
}

Component* EventLoop::keyTarget(uint32_t windowId) {
    Component* top = sdl::componentOfWindow(windowId);
    Component* focused = Component::focusedComponent();
    if (top == nullptr)
        return focused;
    if (focused != nullptr && focused->topLevel() == top)
        return focused;
    return top;
}

void EventLoop::keyEvent(const SDL_KeyboardEvent& event) {
    lang::Ref<Component> target = lang::share(keyTarget(event.windowID));
    if (!target)
        return;
    const SDL_Keycode key = event.keysym.sym;
    const int64_t keyData = static_cast<int64_t>(event.keysym.scancode) |
                            (event.repeat != 0 ? msg::kKeyRepeat : 0) | keyModifiers(event.keysym.mod);
    if (event.type == SDL_KEYUP) {
        target->windowProc(msg::kKeyUp, key, keyData);
        return;
    }
    lastKeyRepeated = event.repeat != 0;
    int32_t character = controlCharacter(key);
    if (character >= 0) {
        target->windowProc(msg::kChar, character, keyData);
        return;
    }
    character = typedCharacter(event.keysym);
    if (character >= 0) {
        // A key that types a character reports nothing on key-down: the character comes as text input,
        // whatever the key's code (accented letters carry their Latin-1 code points, keypad digits codes
        // of their own). With Control held no text comes, so the character is the key's own, as if
        // Control were up.
        if ((event.keysym.mod & KMOD_CTRL) == 0)
            return;
        target->windowProc(msg::kChar, character, keyData);
        return;
    }
    target->windowProc(msg::kKeyDown, key, keyData);
}

void EventLoop::textEvent(const SDL_TextInputEvent& event) {
    lang::Ref<Component> target = lang::share(keyTarget(event.windowID));
    if (!target)
        return;
    const int64_t keyData = (lastKeyRepeated ? msg::kKeyRepeat : 0) | keyModifiers(SDL_GetModState());
    for (char c : lang::utf8ToCp1252(event.text)) {
        target->windowProc(msg::kChar, static_cast<unsigned char>(c), keyData);
    }
}

void EventLoop::posted(const SDL_UserEvent& event) {
    switch (static_cast<sdl::Post>(event.code)) {
        case sdl::Post::Focus:
            if (postedComponent(event)->created_)
                postedComponent(event)->windowProc(msg::kUser + 100, 0, 0);
            return;
        case sdl::Post::Destroy:
            if (postedComponent(event)->created_)
                postedComponent(event)->windowProc(msg::kUser + 101, 0, 0);
            return;
        case sdl::Post::SetCursor:
            if (postedComponent(event)->created_)
                postedComponent(event)->windowProc(msg::kSetCursor, 1, 0);
            return;
        case sdl::Post::Present:
            static_cast<sdl::Screen*>(static_cast<lang::Object*>(event.data1))->flush();
            return;
        case sdl::Post::Paint: {
            Component* top = postedComponent(event);
            top->paintPosted_.store(false);
            top->paintTree(false);
            return;
        }
        case sdl::Post::Timer:
            if (postedComponent(event)->created_) {
                postedComponent(event)->windowProc(msg::kTimer, reinterpret_cast<intptr_t>(event.data2), 0);
            }
            return;
        case sdl::Post::Quit:
            quit = true;
            exitCode = static_cast<int>(reinterpret_cast<intptr_t>(event.data2));
            return;
        case sdl::Post::MoveMouse: {
            int64_t point = static_cast<int64_t>(reinterpret_cast<intptr_t>(event.data2));
            postedComponent(event)->setMousePosition(msg::pointX(point), msg::pointY(point));
            return;
        }
        case sdl::Post::Visible:
            postedComponent(event)->setVisible(event.data2 != nullptr);
            return;
        case sdl::Post::FullScreen: {
            auto* frame = static_cast<Frame*>(postedComponent(event));
            intptr_t flags = reinterpret_cast<intptr_t>(event.data2);
            frame->postedFullScreen((flags & 1) != 0, (flags & 2) != 0);
            return;
        }
    }
}

void EventLoop::flushScreens() {
    for (const auto& window : sdl::allWindows()) {
        if (window->native_ != nullptr)
            window->native_->screen->flush();
    }
}

bool openDisplay(std::string* reason) {
    return sdl::open(reason);
}

void closeDisplay() {
    if (!sdl::isOpen() || !sdl::onWindowThread())
        return;
    for (const auto& window : sdl::allWindows())
        window->destroyWindow();
    sdl::close();
    Cursor::forgetPlatformCursors();
}

int runMessageLoop() {
    if (!sdl::isOpen() || !sdl::onWindowThread())
        return -1;
    EventLoop::quit = false;
    SDL_Event event;
    while (!EventLoop::quit) {
        EventLoop::flushScreens();
        if (!sdl::waitEvent(&event))
            return -1;
        EventLoop::dispatch(event);
    }
    EventLoop::flushScreens();
    return EventLoop::exitCode;
}

int processPendingEvents() {
    if (!sdl::isOpen() || !sdl::onWindowThread())
        return 0;
    int count = 0;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        EventLoop::dispatch(event);
        ++count;
    }
    EventLoop::flushScreens();
    return count;
}

void postQuitMessage(int exitCode) {
    sdl::postValue(sdl::Post::Quit, nullptr, exitCode);
}

uint32_t doubleClickTime() {
    // SDL's own double-click time, which the desktop may change through the hint.
    const char* hint = SDL_GetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME);
    if (hint != nullptr && *hint != 0) {
        char* end = nullptr;
        long value = std::strtol(hint, &end, 10);
        if (end != hint && value >= 0 && value < 60000)
            return static_cast<uint32_t>(value);
    }
    return 500;
}

}  // namespace window
