// window::Component: window creation, the window procedure and the delivery of mouse and key events.
#include "window/Component.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>

#include "lang/Clock.h"
#include "window/Color.h"
#include "window/Cursor.h"
#include "window/Event.h"
#include "window/GraphicsW.h"
#include "window/SdlVideo.h"

namespace window {

int64_t msg::packPoint(int32_t x, int32_t y) {
    return sdl::packPoint(x, y);
}
int32_t msg::pointX(int64_t lParam) {
    return sdl::pointX(lParam);
}
int32_t msg::pointY(int64_t lParam) {
    return sdl::pointY(lParam);
}

namespace {

// Window thread state: the component with the keyboard focus and the one holding the mouse capture
// (both borrowed; a component clears them when its window goes).
Component* focus = nullptr;
Component* capture = nullptr;

// Timers: SDL runs their callbacks on a thread of its own, so they find their component through this
// table, under its lock, and only while the timer is registered.
struct TimerEntry {
    Component* component;
    int id;
};
std::mutex& timerLock() {
    static auto* lock = new std::mutex;
    return *lock;
}
std::map<intptr_t, TimerEntry>& timerTable() {
    static auto* table = new std::map<intptr_t, TimerEntry>;
    return *table;
}
intptr_t nextTimerKey = 1;  // guarded by timerLock()

uint32_t timerCallback(uint32_t interval, void* param) {
    std::lock_guard<std::mutex> guard(timerLock());
    auto found = timerTable().find(reinterpret_cast<intptr_t>(param));
    if (found == timerTable().end())
        return 0;
    sdl::postValue(sdl::Post::Timer, found->second.component, found->second.id);
    return interval;
}

// Control and shift as Event modifier bits, from SDL's key modifier state.
int32_t eventModifiers(int64_t mk) {
    int32_t modifiers = 0;
    if ((mk & msg::kMkControl) != 0)
        modifiers |= Event::kControl;
    if ((mk & msg::kMkShift) != 0)
        modifiers |= Event::kShift;
    return modifiers;
}

}  // namespace

Component::Component() = default;

Component::~Component() {
    // Windows hold references on their components, so none is left here.
    delete native_;
}

bool Component::instanceOf(const char* className) const {
    return lang::detail::sameName(className, "Component") || Object::instanceOf(className) ||
           isReceiverName(className);
}

// ---- size, place and tree ----

void Component::setSize(int width, int height) {
    bounds_.width = width;
    bounds_.height = height;
    if (created_) {
        windowProc(msg::kSize, msg::kSizeRestored, msg::packPoint(width, height));
        repaint();
        // What the child no longer covers is the parent's to paint.
        if (parent_ != nullptr)
            parent_->repaint();
    }
}

util::Dimension Component::getSize() {
    return util::Dimension(bounds_.width, bounds_.height);
}

void Component::getSizeInto(util::Dimension* size) {
    if (size == nullptr)
        return;
    size->width = bounds_.width;
    size->height = bounds_.height;
}

util::Point* Component::getLocation() {
    return new util::Point(bounds_.x, bounds_.y);
}

util::Point Component::location() {
    return util::Point(bounds_.x, bounds_.y);
}

void Component::setLocation(int x, int y) {
    bounds_.x = x;
    bounds_.y = y;
    if (created_ && parent_ != nullptr) {
        windowProc(msg::kMove, 0, msg::packPoint(x, y));
        windowProc(msg::kPositionChanged, 0, 0);
        parent_->repaint();
    }
}

util::Point Component::positionInWindow() const {
    util::Point at(0, 0);
    for (const Component* c = this; c != nullptr && c->parent_ != nullptr; c = c->parent_) {
        at.x += c->bounds_.x;
        at.y += c->bounds_.y;
    }
    return at;
}

Component* Component::topLevel() {
    Component* c = this;
    while (c->parent_ != nullptr)
        c = c->parent_;
    return c;
}

bool Component::contains(int x, int y) {
    return x >= 0 && y >= 0 && x < bounds_.width && y < bounds_.height;
}

// ---- handlers ----

bool Component::mouseDown(Event*, int, int) {
    return false;
}
bool Component::mouseUp(Event*, int, int) {
    return false;
}
bool Component::mouseMove(Event*, int, int) {
    return false;
}
bool Component::mouseWheel(Event*, int, int) {
    return false;
}

bool Component::mouseDrag(Event*, int, int) {
    return false;
}
bool Component::keyDown(Event*, int) {
    return false;
}
bool Component::keyUp(Event*, int) {
    return false;
}

bool Component::receive(Event*) {
    return true;
}

void Component::toFront() {
    if (parent_ != nullptr) {
        parent_->toFront();
        return;
    }
    if (!sdl::onWindowThread() || native_ == nullptr)
        return;
    SDL_RaiseWindow(native_->window);
}

// ---- focus, cursor, pointer ----

void Component::requestFocus() {
    if (!sdl::onWindowThread() || !created_) {
        // The window thread retries on its own turn.
        sdl::post(sdl::Post::Focus, this);
        return;
    }
    focus = this;
    Component* top = topLevel();
    if (top->native_ != nullptr)
        top->native_->lastFocus = this;
}

bool Component::hasFocus() const {
    if (focus != this)
        return false;
    const Component* top = this;
    while (top->parent_ != nullptr)
        top = top->parent_;
    return top->native_ != nullptr && top->native_->active;
}

Component* Component::focusedComponent() {
    return focus;
}

void Component::setCursor(Cursor* cursor) {
    {
        std::lock_guard<std::mutex> guard(cursorLock_);
        cursor_ = lang::share(cursor);
    }
    if (!created_)
        return;
    if (sdl::onWindowThread()) {
        applyCursor();
    } else {
        sdl::post(sdl::Post::SetCursor, this, cursor);
    }
}

Cursor* Component::getCursor() const {
    std::lock_guard<std::mutex> guard(cursorLock_);
    return cursor_.get();
}

void Component::applyCursor() {
    lang::Ref<Cursor> cursor;
    {
        std::lock_guard<std::mutex> guard(cursorLock_);
        cursor = cursor_;
    }
    if (cursor)
        cursor->apply();
}

void Component::setMousePosition(int x, int y) {
    if (!created_)
        return;
    if (!sdl::onWindowThread()) {
        sdl::postValue(sdl::Post::MoveMouse, this, static_cast<intptr_t>(msg::packPoint(x, y)));
        return;
    }
    Component* top = topLevel();
    if (top->native_ == nullptr || !top->native_->screen)
        return;
    util::Point origin = positionInWindow();
    // The pointer moves in window pixels: undo the renderer's scaling of the game picture.
    SDL_Renderer* renderer = top->native_->screen->renderer();
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    SDL_Rect viewport{0, 0, 0, 0};
    if (renderer != nullptr) {
        SDL_RenderGetScale(renderer, &scaleX, &scaleY);
        SDL_RenderGetViewport(renderer, &viewport);
    }
    int wx = static_cast<int>((static_cast<float>(origin.x + x + viewport.x)) * scaleX);
    int wy = static_cast<int>((static_cast<float>(origin.y + y + viewport.y)) * scaleY);
    SDL_WarpMouseInWindow(top->native_->window, wx, wy);
    mouse_.x = x;
    mouse_.y = y;
}

util::Point* Component::getMousePosition() {
    return new util::Point(mouse_.x, mouse_.y);
}

bool Component::isMouseInside() {
    return mouseInside_;
}

// ---- colours and painting ----

void Component::setForeground(Color* color) {
    foreground_ = lang::share(color);
}

void Component::setBackground(Color* color) {
    background_ = lang::share(color);
}

Color* Component::getBackground() {
    return background_.get();
}

Color* Component::getForeground() {
    return foreground_.get();
}

void Component::paint(Graphics*) {}

void Component::update(Graphics* g) {
    if (g == nullptr)
        return;
    if (background_) {
        g->setColor(background_.get());
        g->fillRect(0, 0, bounds_.width, bounds_.height);
    }
    paint(g);
}

void Component::eraseBackground(Graphics*) {}

Graphics* Component::getGraphics() {
    if (!sdl::onWindowThread())
        return nullptr;
    Component* top = topLevel();
    if (!created_ || top->native_ == nullptr || !top->native_->screen)
        return nullptr;
    util::Point origin = positionInWindow();
    // The component's rectangle, less what its visible children cover (they paint themselves).
    util::Region clip;
    clip.add(origin.x, origin.y, bounds_.width, bounds_.height);
    for (const auto& child : children_) {
        if (child->isVisible()) {
            util::Point at = child->positionInWindow();
            clip.subtract(at.x, at.y, child->bounds_.width, child->bounds_.height);
        }
    }
    return new GraphicsW(top->native_->screen.get(), origin.x, origin.y, clip);
}

void Component::repaint() {
    needsPaint_.store(true, std::memory_order_release);
    if (!created_)
        return;
    // One paint message at a time per window; it paints every component that asked.
    Component* top = topLevel();
    if (!top->paintPosted_.exchange(true)) {
        if (!sdl::post(sdl::Post::Paint, top))
            top->paintPosted_.store(false);
    }
}

void Component::paintTree(bool all) {
    if (!created_ || !isVisible())
        return;
    // A parent's context leaves out its visible children, so its paint never touches their parts: each
    // component paints when it asked to, or when the whole window must be painted again.
    if (needsPaint_.exchange(false) || all) {
        windowProc(msg::kEraseBackground, 0, 0);
        windowProc(msg::kPaint, 0, 0);
    }
    std::vector<lang::Ref<Component>> children = children_;
    for (const auto& child : children)
        child->paintTree(all);
}

void Component::setVisible(bool visible) {
    if (parent_ == nullptr && created_ && !sdl::onWindowThread()) {
        sdl::postValue(sdl::Post::Visible, this, visible ? 1 : 0);
        return;
    }
    bool was = visible_.exchange(visible);
    if (!created_ || was == visible)
        return;
    if (parent_ == nullptr) {
        if (visible) {
            SDL_ShowWindow(native_->window);
            // Showing a window makes it the active one.
            if (!native_->active)
                activate(true);
            paintTree(true);
            native_->screen->presentAll();
        } else {
            if (native_->active)
                activate(false);
            SDL_HideWindow(native_->window);
        }
        return;
    }
    if (!visible && sdl::onWindowThread()) {
        if (capture == this)
            captureLost();
    }
    parent_->repaint();
    if (visible)
        repaint();
}

bool Component::isVisible() {
    return visible_.load(std::memory_order_acquire);
}

// ---- creation and destruction ----

uint32_t Component::creationFlags() const {
    return SDL_WINDOW_RESIZABLE;
}

sdl::Screen* Component::screen() const {
    const Component* top = this;
    while (top->parent_ != nullptr)
        top = top->parent_;
    return top->native_ != nullptr ? top->native_->screen.get() : nullptr;
}

void* Component::nativeWindow() const {
    const Component* top = this;
    while (top->parent_ != nullptr)
        top = top->parent_;
    return top->native_ != nullptr ? top->native_->window : nullptr;
}

bool Component::create(Component* parent, const util::RectangleNM& bounds) {
    if (created_)
        return true;
    std::string reason;
    if (!sdl::open(&reason))
        return false;
    if (!sdl::onWindowThread())
        return false;
    bounds_ = bounds;
    if (parent != nullptr) {
        if (!parent->created_)
            return false;
        parent_ = parent;
        parent->children_.push_back(lang::share(this));
        if (!background_ && parent->background_)
            background_ = parent->background_;
        created_ = true;
        windowProc(msg::kCreate, 0, 0);
        return true;
    }
    int width = std::max(1, bounds.width);
    int height = std::max(1, bounds.height);
    SDL_Window* window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                          SDL_WINDOW_HIDDEN | creationFlags());
    if (window == nullptr)
        return false;
    SDL_Renderer* renderer = sdl::createRenderer(window);
    if (renderer == nullptr) {
        SDL_DestroyWindow(window);
        return false;
    }
    native_ = new Native;
    native_->window = window;
    native_->windowId = SDL_GetWindowID(window);
    native_->screen = lang::adopt(new sdl::Screen(window, renderer, width, height));
    sdl::registerWindow(native_->windowId, this);
    created_ = true;
    windowProc(msg::kCreate, 0, 0);
    return true;
}

void Component::destroyWindow() {
    if (!created_)
        return;
    if (!sdl::onWindowThread()) {
        sdl::post(sdl::Post::Destroy, this);
        return;
    }
    lang::Ref<Component> self = lang::share(this);
    killTimer(-1);
    if (capture == this)
        releaseCapture();
    // The parent hears of its destruction first, while its children still have their windows.
    windowProc(msg::kDestroy, 0, 0);
    onDestroyWindow();
    std::vector<lang::Ref<Component>> children = children_;
    for (const auto& child : children)
        child->destroyWindow();
    forgetWindow();
    if (parent_ != nullptr) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                      [this](const lang::Ref<Component>& c) { return c.get() == this; }),
                       siblings.end());
        parent_->repaint();
    }
}

void Component::forgetWindow() {
    if (focus == this)
        focus = nullptr;
    if (capture == this)
        capture = nullptr;
    Component* top = topLevel();
    if (top->native_ != nullptr && top->native_->lastFocus == this)
        top->native_->lastFocus = nullptr;
    created_ = false;
    visible_.store(false);
    if (native_ != nullptr) {
        sdl::unregisterWindow(native_->windowId);
        SDL_Window* window = native_->window;
        native_->screen->destroy();
        SDL_DestroyWindow(window);
        delete native_;
        native_ = nullptr;
    }
}

// ---- timers ----

void Component::setTimer(int id, int periodMilliseconds) {
    killTimer(id);
    if (!created_ || periodMilliseconds <= 0)
        return;
    std::lock_guard<std::mutex> guard(timerLock());
    intptr_t key = nextTimerKey++;
    timerTable()[key] = TimerEntry{this, id};
    // SDL_AddTimer only queues the timer; its callback waits for this lock before it looks the key up.
    SDL_TimerID handle =
        SDL_AddTimer(static_cast<uint32_t>(periodMilliseconds), timerCallback, reinterpret_cast<void*>(key));
    if (handle == 0) {
        timerTable().erase(key);
        return;
    }
    timers_.push_back(Timer{id, key, handle});
}

void Component::killTimer(int id) {
    std::vector<int> handles;
    {
        std::lock_guard<std::mutex> guard(timerLock());
        for (auto it = timers_.begin(); it != timers_.end();) {
            if (id < 0 || it->id == id) {
                timerTable().erase(it->key);
                handles.push_back(it->handle);
                it = timers_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (int handle : handles)
        SDL_RemoveTimer(handle);
}

// ---- the window procedure ----

int64_t Component::windowProc(int32_t message, int64_t wParam, int64_t lParam) {
    return defaultProc(message, wParam, lParam);
}

int64_t Component::defaultProc(int32_t message, int64_t wParam, int64_t lParam) {
    switch (message) {
        case msg::kCreate:
            return 0;
        case msg::kMove:
            bounds_.x = msg::pointX(lParam);
            bounds_.y = msg::pointY(lParam);
            return 0;
        case msg::kSize:
            if (wParam != msg::kSizeMinimized) {
                bounds_.width = msg::pointX(lParam);
                bounds_.height = msg::pointY(lParam);
                onSized();
            }
            return 0;
        case msg::kPositionChanged:
            onMoved();
            return 0;
        case msg::kPaint: {
            lang::Ref<Graphics> g = lang::adopt(getGraphics());
            if (g) {
                update(g.get());
                g->dispose();
            }
            return 0;
        }
        case msg::kEraseBackground: {
            lang::Ref<Graphics> g = lang::adopt(getGraphics());
            if (g) {
                eraseBackground(g.get());
                g->dispose();
            }
            return 1;
        }
        case msg::kSetCursor:
            if (wParam == 1 && getCursor() != nullptr) {
                applyCursor();
                return 1;
            }
            return 0;
        case msg::kClose:
            destroyWindow();
            return 0;
        case msg::kKeyDown:
        case msg::kChar:
        case msg::kKeyUp:
            deliverKey(message, wParam, lParam);
            return 0;
        case msg::kMouseMove:
        case msg::kLButtonDown:
        case msg::kLButtonUp:
        case msg::kRButtonDown:
        case msg::kRButtonUp:
        case msg::kMouseWheel:
            deliverMouse(message, wParam, lParam);
            return 0;
        case msg::kCaptureChanged:
            captureLost();
            return 0;
        case msg::kUser + 100:
            requestFocus();
            return 0;
        case msg::kUser + 101:
            destroyWindow();
            return 0;
        default:
            return 0;
    }
}

int32_t Component::keyCode(int64_t platformCode) {
    switch (platformCode) {
        case SDLK_LEFT:
            return Event::kLeft;
        case SDLK_UP:
            return Event::kUp;
        case SDLK_RIGHT:
            return Event::kRight;
        case SDLK_DOWN:
            return Event::kDown;
        case SDLK_DELETE:
            return Event::kDelete;
        case SDLK_F1:
            return Event::kF1;
        case SDLK_F2:
            return Event::kF2;
        case SDLK_F3:
            return Event::kF3;
        case SDLK_F5:
            return Event::kF5;
        default:
            return static_cast<int32_t>(platformCode);
    }
}

void Component::deliverKey(int32_t message, int64_t wParam, int64_t lParam) {
    const int32_t keyData = static_cast<int32_t>(lParam);
    const int32_t modifiers = static_cast<int32_t>(lParam >> 32) & (Event::kControl | Event::kShift);
    const int32_t repeat = (lParam & msg::kKeyRepeat) != 0 ? 2 : 1;
    if (message == msg::kKeyUp) {
        int32_t key = keyCode(wParam);
        lang::Ref<Event> event =
            lang::make<Event>(Event::kKeyUp, static_cast<int32_t>(wParam), keyData, modifiers, key, 1);
        keyUp(event.get(), key);
        return;
    }
    // A character arrives as its code; other keys as their own code or the platform's.
    int32_t key = message == msg::kChar ? static_cast<int32_t>(wParam & 0xFF) : keyCode(wParam);
    lang::Ref<Event> event =
        lang::make<Event>(Event::kKeyDown, static_cast<int32_t>(wParam), keyData, modifiers, key, repeat);
    // Unhandled keys climb to each parent in turn, so the frame sees what the canvas leaves.
    lang::Ref<Component> target = lang::share(this);
    while (target) {
        if (target->keyDown(event.get(), key))
            break;
        target = lang::share(target->parent_);
    }
}

void Component::deliverMouse(int32_t message, int64_t wParam, int64_t lParam) {
    const int32_t x = msg::pointX(lParam);
    const int32_t y = msg::pointY(lParam);
    mouse_.x = x;
    mouse_.y = y;
    if (!hasFocus())
        return;
    const int32_t keys = eventModifiers(wParam);
    switch (message) {
        case msg::kMouseMove: {
            int32_t id = Event::kMouseMove;
            int32_t modifiers = keys;
            if ((wParam & msg::kMkLeft) != 0) {
                id = Event::kMouseDrag;
            } else if ((wParam & msg::kMkRight) != 0) {
                id = Event::kMouseDrag;
                modifiers = Event::kControl | Event::kRightButton;
            }
            lang::Ref<Event> event = lang::make<Event>(id, x, y, modifiers, 0, 0);
            if (id == Event::kMouseDrag) {
                mouseDrag(event.get(), x, y);
            } else {
                mouseMove(event.get(), x, y);
            }
            return;
        }
        case msg::kLButtonDown:
        case msg::kRButtonDown: {
            const bool right = message == msg::kRButtonDown;
            uint32_t now = lang::tickCount();
            clickCount_ = (clickCount_ > 0 && now - lastClickTime_ < doubleClickTime()) ? clickCount_ + 1 : 1;
            lastClickTime_ = now;
            setCapture();
            buttonsDown_ |= right ? 2 : 1;
            int32_t modifiers = right ? Event::kControl | Event::kRightButton : keys;
            lang::Ref<Event> event = lang::make<Event>(Event::kMouseDown, x, y, modifiers, 0, clickCount_);
            mouseDown(event.get(), x, y);
            return;
        }
        case msg::kLButtonUp:
        case msg::kRButtonUp: {
            const bool right = message == msg::kRButtonUp;
            buttonsDown_ &= right ? ~2 : ~1;
            int32_t modifiers = right ? Event::kControl | Event::kRightButton : keys;
            lang::Ref<Event> event = lang::make<Event>(Event::kMouseUp, x, y, modifiers, 0, clickCount_);
            mouseUp(event.get(), x, y);
            if (buttonsDown_ == 0 && capture == this)
                releaseCapture();
            return;
        }
        case msg::kMouseWheel: {
            const auto notches = static_cast<int32_t>(wParam >> 16);
            if (notches == 0)
                return;
            lang::Ref<Event> event = lang::make<Event>(Event::kMouseWheel, x, y, keys, notches, 0);
            mouseWheel(event.get(), x, y);
            return;
        }
        default:
            return;
    }
}

void Component::setCapture() {
    if (capture == this)
        return;
    Component* previous = capture;
    capture = this;
    if (previous != nullptr)
        previous->windowProc(msg::kCaptureChanged, 0, 0);
    SDL_CaptureMouse(SDL_TRUE);
}

void Component::releaseCapture() {
    if (capture != this)
        return;
    capture = nullptr;
    SDL_CaptureMouse(SDL_FALSE);
}

void Component::captureLost() {
    if (capture == this) {
        capture = nullptr;
        SDL_CaptureMouse(SDL_FALSE);
    }
    // Drags always end: every button still held gets its release at the last pointer position.
    lang::Ref<Component> self = lang::share(this);
    if ((buttonsDown_ & 1) != 0) {
        buttonsDown_ &= ~1;
        lang::Ref<Event> event = lang::make<Event>(Event::kMouseUp, mouse_.x, mouse_.y, 0, 0, clickCount_);
        mouseUp(event.get(), mouse_.x, mouse_.y);
    }
    if ((buttonsDown_ & 2) != 0) {
        buttonsDown_ &= ~2;
        lang::Ref<Event> event = lang::make<Event>(Event::kMouseUp, mouse_.x, mouse_.y,
                                                   Event::kControl | Event::kRightButton, 0, clickCount_);
        mouseUp(event.get(), mouse_.x, mouse_.y);
    }
    buttonsDown_ = 0;
}

void Component::activate(bool active) {
    if (native_ == nullptr)
        return;
    native_->active = active;
    if (active) {
        // The component that had the focus in this window gets it back, else the window itself.
        Component* wanted = native_->lastFocus != nullptr ? native_->lastFocus : this;
        if (focus == nullptr || focus->topLevel() != this)
            focus = wanted;
    } else if (capture != nullptr && capture->topLevel() == this) {
        capture->windowProc(msg::kCaptureChanged, 0, 0);
    }
    windowProc(msg::kActivate, active ? 1 : 0, 1);
}

Component* Component::childAt(int x, int y) {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Component* child = it->get();
        if (!child->isVisible())
            continue;
        const util::RectangleNM& b = child->bounds_;
        if (x >= b.x && y >= b.y && x < b.x + b.width && y < b.y + b.height) {
            return child->childAt(x - b.x, y - b.y);
        }
    }
    return this;
}

Component* Component::captured() {
    return capture;
}

}  // namespace window
