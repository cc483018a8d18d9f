// window::Cursor: a mouse cursor shape; the program shares eight of them, made once.
#pragma once

#include <cstdint>

#include "lang/Object.h"

namespace window {

class Cursor : public lang::Object {
public:
    // The eight shared cursors. The first four are the program's own pictures (only the hand and the open
    // hand have one; the other two look like the arrow); the last four are the platform's.
    static constexpr int32_t kHand = 104;
    static constexpr int32_t kProgram105 = 105;
    static constexpr int32_t kOpenHand = 106;
    static constexpr int32_t kProgram107 = 107;
    static constexpr int32_t kArrow = 1;
    static constexpr int32_t kIBeam = 2;
    static constexpr int32_t kWait = 3;
    static constexpr int32_t kCross = 4;

    LANG_CLASS_NAME(Cursor, Object)

    // The shared cursor of a kind above (no reference for the caller; it lives as long as the process),
    // or null for any other number. The platform cursor behind it is made when it is first shown, on the
    // window thread, since none can exist before the display is open.
    static Cursor* shared(int32_t kind);
    static Cursor* hand() { return shared(kHand); }
    static Cursor* openHand() { return shared(kOpenHand); }
    static Cursor* arrow() { return shared(kArrow); }
    static Cursor* iBeam() { return shared(kIBeam); }
    static Cursor* waitCursor() { return shared(kWait); }
    static Cursor* cross() { return shared(kCross); }

    int32_t kind() const { return kind_; }

    // Window thread only: makes this the mouse cursor. Answers whether a platform cursor of this shape
    // (rather than the arrow standing in for it) is now shown.
    bool apply() const;
    // Window thread only: the cursor last applied, or null.
    static const Cursor* applied();
    // Window thread only: forgets every platform cursor, when the display closes.
    static void forgetPlatformCursors();

    // The archive entries of the program's own pictures (PNG or GIF with transparency), and the point of
    // each picture that is the pointer's tip.
    static constexpr const char* kHandPicture = "cursor_hand";
    static constexpr const char* kOpenHandPicture = "cursor_openhand";

private:
    explicit Cursor(int32_t kind) : kind_(kind) {}

    int32_t kind_;
};

}  // namespace window
