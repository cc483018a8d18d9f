// window::Frame: the top-level window's title, icon, full-screen switch, activation and closing.
#include "window/Frame.h"

#include <algorithm>

#include "lang/CodePage.h"
#include "lang/Ref.h"
#include "lang/ResourceFile.h"
#include "window/Image.h"
#include "window/MessageBox.h"
#include "window/SdlVideo.h"

namespace window {

namespace {

// A captionless frame's bottom-right 20 by 20 pixels resize the window; the rest of it drags nothing.
SDL_HitTestResult hitTest(SDL_Window* window, const SDL_Point* point, void*) {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    if (point->x >= width - 20 && point->y >= height - 20)
        return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
    return SDL_HITTEST_NORMAL;
}

}  // namespace

Frame::Frame() = default;

Frame::~Frame() = default;

uint32_t Frame::creationFlags() const {
    return static_cast<uint32_t>(SDL_WINDOW_RESIZABLE) |
           (noCaption_ ? static_cast<uint32_t>(SDL_WINDOW_BORDERLESS) : 0u);
}

bool Frame::create(Component* parent, const util::RectangleNM& bounds) {
    if (!Component::create(parent, bounds))
        return false;
    auto* window = static_cast<SDL_Window*>(nativeWindow());
    if (window == nullptr)
        return true;
    windowId_.store(SDL_GetWindowID(window), std::memory_order_release);
    if (title_.length() > 0)
        SDL_SetWindowTitle(window, lang::cp1252ToUtf8(title_.view()).c_str());
    if (noCaption_)
        SDL_SetWindowHitTest(window, hitTest, nullptr);
    // A work area smaller than the window (a small screen with a panel) gets a smaller window showing
    // the whole picture, never one whose bottom is off the screen.
    placeWindowed();
    // The icon is the archive's picture when the archive has one (the larger one first: the desktop
    // scales it down); otherwise the desktop's default.
    if (lang::archiveListHead() != nullptr) {
        for (const char* name : {kIconPicture, kSmallIconPicture}) {
            lang::Ref<Image> icon = lang::make<Image>((std::string("+") + name).c_str());
            if (icon->getPixels() != nullptr && setIconImage(icon.get()))
                break;
        }
    }
    return true;
}

void Frame::setSize(int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    bounds_.width = width;
    bounds_.height = height;
    if (!hasWindow() || !sdl::onWindowThread())
        return;
    if (sdl::Screen* s = screen())
        s->resize(width, height);
    if (!isFullScreen())
        placeWindowed();
    windowProc(msg::kSize, msg::kSizeRestored, msg::packPoint(width, height));
    repaint();
}

int64_t Frame::windowProc(int32_t message, int64_t wParam, int64_t lParam) {
    switch (message) {
        case msg::kSize:
            // The client area keeps its size in game pixels whatever the window's size on the desktop.
            minimized_.store(wParam == msg::kSizeMinimized, std::memory_order_release);
            if (wParam != msg::kSizeMinimized)
                onSized();
            return 0;
        case msg::kActivate:
            if (wParam != 0 || lParam != 0)
                onActivate(wParam != 0);
            return 0;
        case msg::kClose:
            onCloseRequest();
            return 0;
        case msg::kSysCommand:
            if (wParam == msg::kScMaximize && maximizeToFullScreen_) {
                // Maximising enters full screen instead of enlarging the window.
                if (auto* window = static_cast<SDL_Window*>(nativeWindow()))
                    SDL_RestoreWindow(window);
                setFullScreen(true, false);
            }
            return 0;
        default:
            return Component::windowProc(message, wParam, lParam);
    }
}

void Frame::onActivate(bool) {}

void Frame::onCloseRequest() {
    destroyWindow();
}

void Frame::exit() {
    close();
}

void Frame::close() {
    if (hasWindow())
        sdl::post(sdl::Post::Destroy, this);
}

bool Frame::postCloseRequest() {
    const uint32_t id = windowId_.load(std::memory_order_acquire);
    if (id == 0 || !hasWindow() || !sdl::isOpen())
        return false;
    // The window event the close box makes: the event loop turns it into msg::kClose for this window,
    // and drops it when the window has gone meanwhile. Pushed from any thread.
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = id;
    event.window.timestamp = SDL_GetTicks();
    return sdl::pushEvent(event);
}

void Frame::setFullScreen(bool on, bool force) {
    if (!sdl::onWindowThread()) {
        pendingSwitches_.fetch_add(1, std::memory_order_acq_rel);
        if (!sdl::postValue(sdl::Post::FullScreen, this, (on ? 1 : 0) | (force ? 2 : 0)))
            pendingSwitches_.fetch_sub(1, std::memory_order_acq_rel);
        return;
    }
    applyFullScreen(on, force);
    onFullScreenSwitched(isFullScreen());
}

void Frame::postedFullScreen(bool on, bool force) {
    const bool windowed = hasWindow();
    if (windowed)
        applyFullScreen(on, force);
    // Done before the notice: whoever it reaches finds the switch no longer pending and the state new.
    pendingSwitches_.fetch_sub(1, std::memory_order_acq_rel);
    if (windowed)
        onFullScreenSwitched(isFullScreen());
}

void Frame::onFullScreenSwitched(bool) {}

void Frame::applyFullScreen(bool on, bool force) {
    auto* window = static_cast<SDL_Window*>(nativeWindow());
    if (on) {
        if (isFullScreen())
            return;
        if (window == nullptr || SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            showMessageBox(kErrorTitle, kFullScreenFailed);
            return;
        }
        fullScreen_.store(true, std::memory_order_release);
        if (sdl::Screen* s = screen())
            s->presentAll();
        return;
    }
    if (!isFullScreen() && !force)
        return;
    if (window == nullptr)
        return;
    if (isFullScreen())
        SDL_SetWindowFullscreen(window, 0);
    fullScreen_.store(false, std::memory_order_release);
    placeWindowed();
    if (sdl::Screen* s = screen())
        s->presentAll();
}

util::RectangleNM Frame::windowedPlacement(int width, int height, const util::RectangleNM& workArea,
                                           const Borders& borders) {
    width = std::max(1, width);
    height = std::max(1, height);
    const int roomWidth = std::max(1, workArea.width - borders.left - borders.right);
    const int roomHeight = std::max(1, workArea.height - borders.top - borders.bottom);
    int w = width;
    int h = height;
    if (w > roomWidth || h > roomHeight) {
        // The side that runs out of room first decides; the other follows the picture's aspect.
        if (static_cast<int64_t>(roomWidth) * height <= static_cast<int64_t>(roomHeight) * width) {
            w = roomWidth;
            h = static_cast<int>(static_cast<int64_t>(roomWidth) * height / width);
        } else {
            h = roomHeight;
            w = static_cast<int>(static_cast<int64_t>(roomHeight) * width / height);
        }
        w = std::max(1, w);
        h = std::max(1, h);
    }
    const int x = workArea.x + borders.left + std::max(0, (roomWidth - w) / 2);
    const int y = workArea.y + borders.top + std::max(0, (roomHeight - h) / 2);
    return util::RectangleNM(x, y, w, h);
}

void Frame::setVisible(bool visible) {
    const bool wasVisible = isVisible();
    Component::setVisible(visible);
    // Until the window has been shown the desktop may not have said how large its frame is: the place
    // chosen at creation is checked again with it.
    if (visible && !wasVisible && isVisible() && sdl::onWindowThread() && !isFullScreen())
        placeWindowed(true);
}

void Frame::placeWindowed(bool keepFittingPlace) {
    auto* window = static_cast<SDL_Window*>(nativeWindow());
    if (window == nullptr)
        return;
    int display = std::max(0, SDL_GetWindowDisplayIndex(window));
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) {
        SDL_SetWindowSize(window, bounds_.width, bounds_.height);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        return;
    }
    Borders borders;
    if (SDL_GetWindowBordersSize(window, &borders.top, &borders.left, &borders.bottom, &borders.right) != 0)
        borders = Borders();
    const util::RectangleNM area(usable.x, usable.y, usable.w, usable.h);
    const util::RectangleNM place = windowedPlacement(bounds_.width, bounds_.height, area, borders);
    if (keepFittingPlace) {
        int x = 0;
        int y = 0;
        int w = 0;
        int h = 0;
        SDL_GetWindowPosition(window, &x, &y);
        SDL_GetWindowSize(window, &w, &h);
        const bool inside = x - borders.left >= area.x && y - borders.top >= area.y &&
                            x + w + borders.right <= area.x + area.width &&
                            y + h + borders.bottom <= area.y + area.height;
        if (inside && w == place.width && h == place.height)
            return;
    }
    SDL_SetWindowSize(window, place.width, place.height);
    SDL_SetWindowPosition(window, place.x, place.y);
}

void Frame::minimize() {
    auto* window = static_cast<SDL_Window*>(nativeWindow());
    if (window != nullptr && sdl::onWindowThread())
        SDL_MinimizeWindow(window);
}

void Frame::setTitle(const lang::String& title) {
    title_.assign(title);
    auto* window = static_cast<SDL_Window*>(nativeWindow());
    if (window != nullptr && sdl::onWindowThread()) {
        SDL_SetWindowTitle(window, lang::cp1252ToUtf8(title_.view()).c_str());
    }
}

void Frame::setTitle(const char* title) {
    setTitle(lang::String(title));
}

bool Frame::setIconImage(Image* image) {
    auto* window = static_cast<SDL_Window*>(nativeWindow());
    if (window == nullptr || image == nullptr || !sdl::onWindowThread())
        return false;
    uint32_t* pixels = image->getPixels();
    if (pixels == nullptr)
        return false;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        pixels, image->getWidth(), image->getHeight(), 32, image->getWidth() * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr)
        return false;
    SDL_SetWindowIcon(window, surface);
    SDL_FreeSurface(surface);
    return true;
}

int Frame::displayDepth() {
    if (!sdl::isOpen())
        return 0;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return 0;
    const int bits = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
    // SDL counts the colour bits of a four-byte pixel (24); the desktop's depth is its 32-bit pixel.
    if (bits == 24 && SDL_BYTESPERPIXEL(mode.format) == 4)
        return 32;
    return bits;
}

}  // namespace window
