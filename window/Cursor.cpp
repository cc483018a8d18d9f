// window::Cursor: the eight shared cursors and the platform cursors made for them on first use.
#include "window/Cursor.h"

#include <string>

#include "lang/Ref.h"
#include "lang/ResourceFile.h"
#include "window/Image.h"
#include "window/SdlVideo.h"

namespace window {

namespace {

constexpr int32_t kKinds[] = {Cursor::kHand,  Cursor::kProgram105, Cursor::kOpenHand, Cursor::kProgram107,
                              Cursor::kArrow, Cursor::kIBeam,      Cursor::kWait,     Cursor::kCross};
constexpr int kKindCount = 8;

int indexOf(int32_t kind) {
    for (int i = 0; i < kKindCount; ++i) {
        if (kKinds[i] == kind)
            return i;
    }
    return -1;
}

// Window thread only: the platform cursor of each kind, made on first use (null: none could be made),
// and whether it is the kind's own shape rather than the arrow standing in for it.
struct PlatformCursor {
    bool made = false;
    SDL_Cursor* handle = nullptr;
    bool ownShape = false;
};
PlatformCursor platformCursors[kKindCount];
const Cursor* appliedCursor = nullptr;

// A colour cursor from an archive picture; the hot spot is the picture's topmost opaque pixel (the
// fingertip of a pointing hand) or, for the open hand, its centre.
SDL_Cursor* pictureCursor(const char* entry, bool hotSpotAtTip) {
    if (lang::archiveListHead() == nullptr)
        return nullptr;
    lang::Ref<Image> picture = lang::make<Image>((std::string("+") + entry).c_str());
    uint32_t* pixels = picture->getPixels();
    if (pixels == nullptr)
        return nullptr;
    const int width = picture->getWidth();
    const int height = picture->getHeight();
    int hotX = width / 2;
    int hotY = height / 2;
    if (hotSpotAtTip) {
        bool found = false;
        for (int y = 0; y < height && !found; ++y) {
            for (int x = 0; x < width; ++x) {
                if ((pixels[static_cast<size_t>(y) * width + x] >> 24) != 0) {
                    hotX = x;
                    hotY = y;
                    found = true;
                    break;
                }
            }
        }
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels, width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr)
        return nullptr;
    SDL_Cursor* cursor = SDL_CreateColorCursor(surface, hotX, hotY);
    SDL_FreeSurface(surface);
    return cursor;
}

SDL_Cursor* systemCursor(int32_t kind) {
    switch (kind) {
        case Cursor::kIBeam:
            return SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_IBEAM);
        case Cursor::kWait:
            return SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
        case Cursor::kCross:
            return SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
        default:
            return SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    }
}

PlatformCursor& platformCursor(int index) {
    PlatformCursor& entry = platformCursors[index];
    if (entry.made)
        return entry;
    entry.made = true;
    const int32_t kind = kKinds[index];
    if (kind == Cursor::kHand) {
        entry.handle = pictureCursor(Cursor::kHandPicture, true);
    } else if (kind == Cursor::kOpenHand) {
        entry.handle = pictureCursor(Cursor::kOpenHandPicture, false);
    } else if (kind != Cursor::kProgram105 && kind != Cursor::kProgram107) {
        entry.handle = systemCursor(kind);
    }
    entry.ownShape = entry.handle != nullptr;
    if (entry.handle == nullptr && kind != Cursor::kArrow) {
        // No picture (or no such shape on this desktop): the arrow stands in.
        entry.handle = platformCursor(indexOf(Cursor::kArrow)).handle;
    }
    return entry;
}

}  // namespace

Cursor* Cursor::shared(int32_t kind) {
    static Cursor* const cursors[kKindCount] = {
        new Cursor(kKinds[0]), new Cursor(kKinds[1]), new Cursor(kKinds[2]), new Cursor(kKinds[3]),
        new Cursor(kKinds[4]), new Cursor(kKinds[5]), new Cursor(kKinds[6]), new Cursor(kKinds[7])};
    int index = indexOf(kind);
    return index < 0 ? nullptr : cursors[index];
}

bool Cursor::apply() const {
    if (!sdl::isOpen() || !sdl::onWindowThread())
        return false;
    PlatformCursor& entry = platformCursor(indexOf(kind_));
    SDL_Cursor* handle = entry.handle != nullptr ? entry.handle : SDL_GetDefaultCursor();
    if (handle != nullptr)
        SDL_SetCursor(handle);
    appliedCursor = this;
    return entry.ownShape;
}

const Cursor* Cursor::applied() {
    return appliedCursor;
}

void Cursor::forgetPlatformCursors() {
    // Closing the display freed the platform cursors along with it.
    for (PlatformCursor& entry : platformCursors)
        entry = PlatformCursor();
    appliedCursor = nullptr;
}

}  // namespace window
