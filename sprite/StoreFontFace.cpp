// Makes a "fontName" read by the settings store the default font face, in every program with sprites.
#include "sprite/store/User.h"
#include "window/Font.h"

namespace sprite {

namespace {

// The store lies below the font code and cannot call it, so the sprite library hands it the font code's
// setter. A static object does it before main: the library is linked whole (cmake/Layer.cmake), so every
// program that links it, the game and every test of a canvas, sees stored font names applied.
struct InstallFontFaceHandler {
    InstallFontFaceHandler() { User::setFontFaceHandler(&window::setDefaultFontFace); }
} installFontFaceHandler;

}  // namespace

}  // namespace sprite
