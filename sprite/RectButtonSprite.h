// sprite::RectButtonSprite: an invisible rectangular hot zone that behaves as a button.
#pragma once

#include "sprite/ButtonSprite.h"

namespace sprite {

// It draws nothing and its bounds are empty, so the canvas never paints it and it never reports a
// dirty area; its rectangle answers the hit tests. Its states have no frames: it stays hidden, and the
// press test and hover (which ignore visibility) make it work.
class RectButtonSprite : public ButtonSprite {
public:
    RectButtonSprite() = default;
    ~RectButtonSprite() override;

    LANG_CLASS_NAME(RectButtonSprite, ButtonSprite)
    LANG_DECLARE_CLASS_RECORD(RectButtonSprite);

    // Numbers 0-3: the rectangle; numbers[4]: the initial state. With fewer than four numbers the init
    // fails: the zone stays empty and disabled, so nothing can press it.
    void init(window::ImageArray* images, lang::IntArray* numbers) override;
    void setLocation(int x, int y) override;
    void setSize(int width, int height) override;
    bool containsPoint(int px, int py) override;
    bool hitTest(int px, int py) override;
    util::RectangleNM getBounds() override;
    int getX() const override { return rectX_; }
    int getY() const override { return rectY_; }
    int getWidth() const override { return rectWidth_; }
    int getHeight() const override { return rectHeight_; }
    void paint(window::Graphics* g) override { (void)g; }
    void addDirtyRect(const util::RectangleNM& rect) override { (void)rect; }
    Sprite* clone() override;

    // False when the last init had fewer than four numbers.
    bool initSucceeded() const { return initOk_; }

private:
    std::atomic<int32_t> rectX_{0};
    std::atomic<int32_t> rectY_{0};
    std::atomic<int32_t> rectWidth_{0};
    std::atomic<int32_t> rectHeight_{0};
    bool initOk_ = true;
};

}  // namespace sprite
