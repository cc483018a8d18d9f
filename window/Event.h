// window::Event: one mouse, key or action event as the window delivers it to components and the canvas.
#pragma once

#include <cstdint>

#include "lang/Object.h"
#include "lang/Ref.h"

namespace window {

class Event : public lang::Object {
public:
    // Kinds of event (`id`).
    static constexpr int32_t kMouseDown = 1;
    static constexpr int32_t kMouseMove = 2;
    static constexpr int32_t kMouseUp = 3;
    static constexpr int32_t kMouseDrag = 4;
    static constexpr int32_t kKeyDown = 5;
    static constexpr int32_t kKeyUp = 6;
    static constexpr int32_t kAction = 7;
    // The wheel turned: `key` holds the notches, positive away from the user; x, y the pointer.
    static constexpr int32_t kMouseWheel = 8;

    // Bits of `modifiers`.
    static constexpr int32_t kControl = 1;
    static constexpr int32_t kShift = 2;
    static constexpr int32_t kRightButton = 4;

    // Key codes of the keys that have codes of their own; characters are their Windows-1252 codes.
    static constexpr int32_t kLeft = 0x40D;
    static constexpr int32_t kUp = 0x40E;
    static constexpr int32_t kRight = 0x40F;
    static constexpr int32_t kDown = 0x410;
    static constexpr int32_t kDelete = 0x416;
    static constexpr int32_t kF1 = 0x458;
    static constexpr int32_t kF2 = 0x459;
    static constexpr int32_t kF3 = 0x45A;
    static constexpr int32_t kF5 = 0x45C;
    static constexpr int32_t kBackspace = 8;
    static constexpr int32_t kTab = 9;
    static constexpr int32_t kEnter = 13;
    static constexpr int32_t kEscape = 27;

    // `when` is taken from the tick count now.
    Event(int32_t id, int32_t x, int32_t y, int32_t modifiers, int32_t key, int32_t clickCount);
    // An action event: the command (usually a String) and the object that produced it, both referenced.
    Event(lang::Object* arg, lang::Object* source);

    LANG_CLASS_NAME(Event, Object)

    bool isMouse() const { return (id >= kMouseDown && id <= kMouseDrag) || id == kMouseWheel; }
    bool isKey() const { return id == kKeyDown || id == kKeyUp; }

    int32_t id;
    // Pointer position in the receiving component's client coordinates; for key events the platform
    // key code (x) and the key data (y: scan code, bit 30 set for an auto-repeat).
    int32_t x;
    int32_t y;
    int32_t modifiers;
    int32_t key;
    // Mouse: 1, 2, 3 ... for presses within the double-click time (0 for the wheel); keys: 2 for an
    // auto-repeat, else 1.
    int32_t clickCount;
    uint32_t when;
    lang::Ref<lang::Object> arg;
    lang::Ref<lang::Object> source;
};

}  // namespace window
