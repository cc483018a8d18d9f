// window::GraphicsW: the drawing context on a window; what it draws is copied to the screen.
#pragma once

#include <cstdint>

#include "lang/Ref.h"
#include "window/Graphics.h"

namespace window {

namespace sdl {
class Screen;
}

// Draws into the window's picture (game pixels, the size of the top-level window's client area) and
// marks what it touched; the window thread uploads exactly those rectangles and presents them. Any thread
// may draw: a context used away from the window thread posts the copy to it. Once the window is gone the
// context draws nothing.
class GraphicsW : public Graphics {
public:
    // A context on the screen of a top-level window, with its origin at (originX, originY) of the
    // window and clipped to `clip` (window coordinates). Made by Component::getGraphics().
    GraphicsW(sdl::Screen* screen, int originX, int originY, const util::Region& clip);
    ~GraphicsW() override;

    LANG_CLASS_NAME(GraphicsW, Graphics)

    using Graphics::drawImage;
    // Copies the image's pixels inside the clip; an image with alpha is blended over the picture, and
    // the additive draw mode adds it.
    void drawImage(Image* image, int x, int y) override;
    Graphics* create() override;
    void dispose() override;
    void fillRectColor(int x, int y, int width, int height, uint32_t argb) override;

protected:
    void drawInk(const uint32_t* pixels, int width, int height, int x, int y) override;

private:
    explicit GraphicsW(sdl::Screen* screen);
    void drawPixels(const uint32_t* source, int width, int height, bool hasAlpha, int x, int y);

    lang::Ref<sdl::Screen> screen_;
};

}  // namespace window
