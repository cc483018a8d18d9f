// The SDL video connection: opening it on the window thread, posted messages, and the screens that
// show each top-level window's picture.
#include "window/SdlVideo.h"

#include <algorithm>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unordered_map>

#include "window/Component.h"

namespace window::sdl {

namespace {

std::atomic<bool> opened{false};
std::atomic<uint32_t> eventType{0};
std::thread::id windowThread;  // written once by open() before `opened` is set

std::unordered_map<uint32_t, lang::Ref<Component>>& windows() {
    static auto* map = new std::unordered_map<uint32_t, lang::Ref<Component>>;
    return *map;
}

// Pushed events, counted so that a headless wait sees one pushed between its look at SDL's queue and
// its sleep. The lock guards only the count. Never destroyed: timer and box threads may still push
// while the program's statics go.
struct Pushes {
    std::mutex lock;
    std::condition_variable pushed;
    uint64_t count = 0;
};

Pushes& pushes() {
    static auto* state = new Pushes;
    return *state;
}
// How often a headless wait looks at SDL's queue with nothing pushed: events that SDL raises itself
// (its signal handler's quit) arrive within this time.
constexpr auto kHeadlessPumpPeriod = std::chrono::milliseconds(100);

bool isHeadlessDriver(const char* name) {
    return name != nullptr && (std::strcmp(name, "dummy") == 0 || std::strcmp(name, "offscreen") == 0);
}

}  // namespace

bool open(std::string* reason) {
    if (opened.load(std::memory_order_acquire))
        return true;
    // The program ends through its own quit message, never because SDL saw the last window close.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Keep the screen saver rules of the desktop; a puzzle game need not hold the screen awake.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // The click that brings the window back is the player's next move: SDL's X11 back end otherwise
    // drops a press that comes within 10 ms of a focus change, and only its release arrives.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (reason != nullptr)
            *reason = std::string("no display available: ") + SDL_GetError();
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (isHeadlessDriver(driver) && (asked == nullptr || *asked == 0)) {
        // SDL falls back to a driver that shows nothing when no display server answers; a player
        // would see nothing at all, so that counts as no display. Headless runs ask for it by name.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (reason != nullptr) {
            *reason =
                "no display available (DISPLAY and WAYLAND_DISPLAY reach no display server; "
                "SDL_VIDEODRIVER=dummy runs without one)";
        }
        return false;
    }
    uint32_t type = SDL_RegisterEvents(1);
    if (type == static_cast<uint32_t>(-1)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (reason != nullptr)
            *reason = "no display available: SDL has no user event type left";
        return false;
    }
    eventType.store(type, std::memory_order_relaxed);
    windowThread = std::this_thread::get_id();
    opened.store(true, std::memory_order_release);
    return true;
}

bool isOpen() {
    return opened.load(std::memory_order_acquire);
}

void close() {
    if (!opened.load(std::memory_order_acquire))
        return;
    SDL_Event events[64];
    int count;
    while ((count = SDL_PeepEvents(events, 64, SDL_GETEVENT, eventType.load(), eventType.load())) > 0) {
        for (int i = 0; i < count; ++i)
            releasePosted(events[i].user);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    opened.store(false, std::memory_order_release);
}

bool onWindowThread() {
    return !opened.load(std::memory_order_acquire) || std::this_thread::get_id() == windowThread;
}

bool headless() {
    return isHeadlessDriver(SDL_GetCurrentVideoDriver());
}

namespace {

// GL_RENDERER, the name of the OpenGL implementation behind the current context.
constexpr unsigned int kGlRenderer = 0x1F01;

// Whether the renderer draws through an OpenGL context that Mesa rasterises on the CPU. SDL makes the
// renderer's context current on this thread when it creates the renderer.
bool rasterisesInSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr ||
        std::strncmp(info.name, "opengl", 6) != 0) {
        return false;
    }
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (getString == nullptr)
        return false;
    const auto* name = reinterpret_cast<const char*>(getString(kGlRenderer));
    if (name == nullptr)
        return false;
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"}) {
        if (std::strstr(name, software) != nullptr)
            return true;
    }
    return false;
}

SDL_Renderer* softwareRenderer(SDL_Window* window) {
    // The window's own surface, not a GL texture behind it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

}  // namespace

SDL_Renderer* createRenderer(SDL_Window* window) {
    if (headless())
        return softwareRenderer(window);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (renderer != nullptr && rasterisesInSoftware(renderer)) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    return renderer != nullptr ? renderer : softwareRenderer(window);
}

uint32_t userEventType() {
    return eventType.load(std::memory_order_relaxed);
}

namespace {

bool push(Post code, lang::Object* data1, void* data2) {
    if (!opened.load(std::memory_order_acquire))
        return false;
    SDL_Event event;
    SDL_zero(event);
    event.type = eventType.load(std::memory_order_relaxed);
    event.user.code = static_cast<int32_t>(code);
    event.user.data1 = data1;
    event.user.data2 = data2;
    if (data1 != nullptr)
        data1->addRef();
    if (pushEvent(event))
        return true;
    if (data1 != nullptr)
        data1->release();
    return false;
}

// Messages whose second word is a value, not an object.
bool carriesValue(int32_t code) {
    switch (static_cast<Post>(code)) {
        case Post::Timer:
        case Post::Quit:
        case Post::MoveMouse:
        case Post::Visible:
        case Post::FullScreen:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool pushEvent(SDL_Event& event) {
    if (SDL_PushEvent(&event) != 1)
        return false;
    Pushes& p = pushes();
    {
        std::lock_guard<std::mutex> guard(p.lock);
        ++p.count;
    }
    p.pushed.notify_all();
    return true;
}

bool waitEvent(SDL_Event* event) {
    if (!headless())
        return SDL_WaitEvent(event) != 0;
    Pushes& p = pushes();
    for (;;) {
        uint64_t seen;
        {
            std::lock_guard<std::mutex> guard(p.lock);
            seen = p.count;
        }
        if (SDL_PollEvent(event) != 0)
            return true;
        std::unique_lock<std::mutex> guard(p.lock);
        p.pushed.wait_for(guard, kHeadlessPumpPeriod, [&p, seen] { return p.count != seen; });
    }
}

bool post(Post code, lang::Object* data1, lang::Object* data2) {
    if (data2 != nullptr)
        data2->addRef();
    if (push(code, data1, data2))
        return true;
    if (data2 != nullptr)
        data2->release();
    return false;
}

bool postValue(Post code, lang::Object* data1, intptr_t value) {
    return push(code, data1, reinterpret_cast<void*>(value));
}

void releasePosted(const SDL_UserEvent& event) {
    if (event.data1 != nullptr)
        static_cast<lang::Object*>(event.data1)->release();
    if (!carriesValue(event.code) && event.data2 != nullptr)
        static_cast<lang::Object*>(event.data2)->release();
}

Component* componentOfWindow(uint32_t windowId) {
    auto found = windows().find(windowId);
    return found == windows().end() ? nullptr : found->second.get();
}

void registerWindow(uint32_t windowId, Component* component) {
    windows()[windowId] = lang::share(component);
}

void unregisterWindow(uint32_t windowId) {
    auto found = windows().find(windowId);
    if (found == windows().end())
        return;
    // The reference goes after the entry, so a component dropped here never sees its own entry.
    lang::Ref<Component> last = std::move(found->second);
    windows().erase(found);
}

std::vector<lang::Ref<Component>> allWindows() {
    std::vector<lang::Ref<Component>> list;
    for (auto& entry : windows())
        list.push_back(entry.second);
    return list;
}

Screen* Access::screen(Component* component) {
    if (component == nullptr)
        return nullptr;
    Component* top = component->topLevel();
    return top->native_ != nullptr ? top->native_->screen.get() : nullptr;
}

SDL_Renderer* Access::renderer(Component* component) {
    Screen* s = screen(component);
    return s != nullptr ? s->renderer() : nullptr;
}

SDL_Window* Access::window(Component* component) {
    if (component == nullptr)
        return nullptr;
    Component* top = component->topLevel();
    return top->native_ != nullptr ? top->native_->window : nullptr;
}

Screen::Screen(SDL_Window* window, SDL_Renderer* renderer, int width, int height)
    : window_(window), renderer_(renderer), width_(0), height_(0) {
    SDL_RendererInfo info;
    keepsBackBuffer_ = SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    resize(width, height);
}

Screen::~Screen() {
    destroy();
}

bool Screen::resize(int width, int height) {
    std::lock_guard<std::mutex> guard(lock_);
    if (renderer_ == nullptr || width <= 0 || height <= 0)
        return false;
    // The picture is opaque: the alpha byte of the pixels is ignored, never blended. The texture is a
    // column or two wider than the picture so that its rows are not a multiple of 16 bytes long: SDL's
    // software renderer then copies rectangles with a plain memcpy instead of its non-temporal SSE
    // copy, which is a hundred times slower for the small rectangles of a dirty area (measured).
    const int textureWidth = width + ((width + 1) % 4 == 0 ? 2 : 1);
    SDL_Texture* texture = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                             textureWidth, height);
    if (texture == nullptr)
        return false;
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    wholePictureDue_ = true;
    if (texture_ != nullptr)
        SDL_DestroyTexture(texture_);
    texture_ = texture;
    direct_ = nullptr;
    SDL_RenderSetLogicalSize(renderer_, width, height);
    width_ = width;
    height_ = height;
    void* memory = nullptr;
    int pitch = 0;
    if (keepsBackBuffer_ && SDL_LockTexture(texture_, nullptr, &memory, &pitch) == 0 && pitch % 4 == 0) {
        direct_ = static_cast<uint32_t*>(memory);
        stride_ = pitch / 4;
        pixels_.clear();
        pixels_.shrink_to_fit();
        for (int row = 0; row < height; ++row) {
            std::fill_n(direct_ + static_cast<size_t>(row) * stride_, width, 0xFF000000u);
        }
    } else {
        stride_ = width;
        pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000u);
        SDL_Rect all{0, 0, width, height};
        SDL_UpdateTexture(texture_, &all, pixels_.data(), width * 4);
    }
    pending_.clear();
    return true;
}

void Screen::markChanged(const util::Region& area) {
    if (renderer_ == nullptr || area.isEmpty())
        return;
    pending_.add(area);
    if (!posted_ && !onWindowThread())
        posted_ = post(Post::Present, this);
}

int Screen::flush() {
    std::lock_guard<std::mutex> guard(lock_);
    posted_ = false;
    if (renderer_ == nullptr || texture_ == nullptr || pending_.isEmpty())
        return 0;
    const bool partial = partialPresentAllowed();
    int uploaded = 0;
    for (const util::Region::Box& box : pending_.boxes()) {
        SDL_Rect rect{box.x1, box.y1, box.x2 - box.x1, box.y2 - box.y1};
        if (direct_ == nullptr) {
            const uint32_t* first = pixels_.data() + static_cast<size_t>(box.y1) * width_ + box.x1;
            SDL_UpdateTexture(texture_, &rect, first, width_ * 4);
        }
        if (partial)
            SDL_RenderCopy(renderer_, texture_, &rect, &rect);
        ++uploaded;
    }
    pending_.clear();
    if (partial) {
        SDL_RenderPresent(renderer_);
    } else {
        presentLocked();
    }
    return uploaded;
}

bool Screen::partialPresentAllowed() {
    // Only the software renderer keeps its back buffer (the window surface) from one present to the
    // next, and only unscaled can rectangles be copied without seams; otherwise the whole picture goes.
    if (!keepsBackBuffer_ || wholePictureDue_)
        return false;
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    return outputWidth == width_ && outputHeight == height_;
}

void Screen::presentAll() {
    std::lock_guard<std::mutex> guard(lock_);
    wholePictureDue_ = true;
    if (renderer_ == nullptr || texture_ == nullptr)
        return;
    if (!pending_.isEmpty() && direct_ == nullptr) {
        SDL_Rect all{0, 0, width_, height_};
        SDL_UpdateTexture(texture_, &all, pixels_.data(), width_ * 4);
        pending_.clear();
    }
    presentLocked();
}

void Screen::presentLocked() {
    // The whole picture, with black bars where the window's shape differs from the picture's.
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_Rect picture{0, 0, width_, height_};
    SDL_RenderCopy(renderer_, texture_, &picture, nullptr);
    SDL_RenderPresent(renderer_);
    wholePictureDue_ = false;
}

void Screen::destroy() {
    std::lock_guard<std::mutex> guard(lock_);
    if (texture_ != nullptr)
        SDL_DestroyTexture(texture_);
    texture_ = nullptr;
    direct_ = nullptr;
    if (renderer_ != nullptr)
        SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
    window_ = nullptr;
    pending_.clear();
}

}  // namespace window::sdl
