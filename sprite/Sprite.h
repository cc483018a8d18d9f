// sprite::SpriteBase and sprite::Sprite: the named, drawable objects that definition scripts create.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "lang/Arrays.h"
#include "lang/Class.h"
#include "lang/Ref.h"
#include "lang/String.h"
#include "util/RectangleNM.h"
#include "util/Region.h"
#include "window/Color.h"
#include "window/FancyHelper.h"
#include "window/Graphics.h"
#include "window/Image.h"
#include "window/Receiver.h"

namespace window {
class ImageArray;
}

namespace sprite {

// The root of every sprite: its name (buttons use it as their command) and the operations the canvas
// steps, paints and routes input through. As a receiver it takes no events.
class SpriteBase : public lang::Object, public window::Receiver {
public:
    const char* getClassName() const override { return "SpriteBase"; }
    bool instanceOf(const char* className) const override {
        return lang::detail::sameName(className, "SpriteBase") || Object::instanceOf(className) ||
               isReceiverName(className);
    }

    bool receive(window::Event*) override { return false; }

    const lang::String& getName() const { return name_; }
    void setName(const lang::String& name) { name_ = name; }
    void setName(const char* name) { name_.assign(name != nullptr ? name : ""); }

    // Takes the images and numbers of the sprite's definition record. Both arrays belong to the
    // caller and are reused for the next record: a sprite that keeps any of them takes references of
    // its own. Missing numbers count as 0; a null (or non-image) entry means no image.
    virtual void init(window::ImageArray* images, lang::IntArray* numbers) = 0;
    virtual void paint(window::Graphics* g) = 0;
    virtual void paintOutline(window::Graphics* g, const window::Color* color) = 0;
    // A labelled command addressed to this sprite (timed notifications); nothing here.
    virtual void handleAction(lang::Object* source, const lang::String& label) {
        (void)source;
        (void)label;
    }
    // One frame step: advances what the sprite animates and hands its changed area to `region` and
    // `out` (either may be null). Answers whether anything changed.
    virtual bool update(int frame, util::RectangleNM* out, util::Region* region) {
        (void)frame;
        (void)out;
        (void)region;
        return false;
    }
    virtual void setLocation(int x, int y) = 0;
    virtual void setLocationQuiet(int x, int y) = 0;
    virtual void moveBy(int dx, int dy) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool containsPoint(int px, int py) = 0;
    virtual util::RectangleNM getBounds() = 0;
    virtual bool isVisible() const = 0;
    virtual bool isShown() const = 0;

private:
    lang::String name_;
};

// The plain image sprite. It reports exactly the area it changed: every change marks the old bounds
// dirty, changes, and marks the new bounds dirty; update hands the union to the canvas once.
//
// Threads: sprites are stepped and painted on the render thread; input routing (buttons, dialog drags)
// changes some of them from the input thread. The pending dirty area is guarded by its own monitor and
// the fields both threads touch are atomic, so a change from either thread reaches the next frame.
class Sprite : public SpriteBase {
public:
    Sprite() = default;
    ~Sprite() override;
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    LANG_CLASS_NAME(Sprite, SpriteBase)
    LANG_DECLARE_CLASS_RECORD(Sprite);

    // One image: that image; two: a copy of the first with the second as its alpha mask. Numbers 0-1:
    // the position.
    void init(window::ImageArray* images, lang::IntArray* numbers) override;
    void paint(window::Graphics* g) override;
    void paintOutline(window::Graphics* g, const window::Color* color) override;
    bool update(int frame, util::RectangleNM* out, util::Region* region) override;
    // Positions and sizes are kept within +-2^24 pixels, so that the sums of two of them (the edges of
    // bounds, dirty rectangles, translations) never leave int, whatever a script or a move asks for.
    static constexpr int kCoordinateLimit = 1 << 24;
    static int clampCoordinate(long long value) {
        return static_cast<int>(std::clamp<long long>(value, -kCoordinateLimit, kCoordinateLimit));
    }
    void setLocation(int x, int y) override;
    void setLocationQuiet(int x, int y) override;
    void moveBy(int dx, int dy) override;
    void setVisible(bool visible) override;
    // Left and top edges inclusive, right and bottom exclusive, against the current bounds.
    bool containsPoint(int px, int py) override;
    // (x, y, width, height) limited to the clip rectangle; empty when width or height is -1.
    util::RectangleNM getBounds() override;
    bool isVisible() const override { return visible_; }
    bool isShown() const override { return shown_; }

    virtual int getX() const { return x_; }
    virtual int getY() const { return y_; }
    virtual int getWidth() const { return width_; }
    virtual int getHeight() const { return height_; }
    virtual void setUserValue(int value);
    int getUserValue() const { return userValue_; }
    // A new sprite of the same kind (one reference for the caller) sharing the image.
    virtual Sprite* clone();
    // Null removes the rectangle; drawing and bounds are limited to it.
    virtual void setClipRect(const util::RectangleNM* rect);
    // A new rectangle (one reference for the caller), or null.
    virtual util::RectangleNM* getClipRect();
    // Drawing leaves this rectangle out; null removes it. Marks nothing dirty.
    virtual void setExcludeRect(const util::RectangleNM* rect);
    virtual bool isSprite() const { return true; }
    virtual void idleHook() {}
    // Takes a reference; the size becomes the image's (0 by 0 for null).
    virtual void setImage(window::Image* image);
    window::Image* getImage() const { return image_.get(); }
    virtual void setSize(int width, int height);
    // Scans the image from side 'T', 'B', 'L' or 'R' along the column at *px or the row at *py for the
    // first pixel whose alpha reaches threshold, and writes the found canvas coordinate back.
    virtual bool findOpaqueEdge(int* px, int* py, char side, int threshold);
    // Without an image: containsPoint. With one: whether the pixel under the point is not transparent.
    virtual bool hitTest(int px, int py);
    virtual void setColorTransform(int alpha, int red, int green, int blue);
    virtual bool setColorEffect(int a, int b, bool on);
    virtual int getAlpha();
    // The level set of the sprite, made on first use (no reference for the caller).
    window::FancyHelper* colorTransform();
    // Frees the image's pixels when they can be loaded again from the image's name; a picture made in
    // memory or decoded from an image pack keeps them.
    virtual void unloadImage();
    virtual void reloadImage();
    virtual void addDirtyRect(const util::RectangleNM& rect);
    virtual void markDirty();

    // The pending dirty area (for tests).
    util::RectangleNM pendingDirtyRect();

protected:
    // Copies what clone() shares into a new sprite of a derived kind.
    void copySpriteTo(Sprite& other);
    // Draws an image at (x, y) through g with this sprite's levels when it has any.
    void drawWithLevels(window::Graphics* g, window::Image* image, int x, int y);
    // The Sprite part of init: the image(s) and the position.
    void initImageAndPosition(window::ImageArray* images, lang::IntArray* numbers);
    // Number i of a definition record, 0 when the record is shorter.
    static int numberAt(const lang::IntArray* numbers, int i);
    static int numberCount(const lang::IntArray* numbers);
    // Image i of a definition record, or null.
    static window::Image* imageAt(window::ImageArray* images, int i);

    lang::Ref<window::Image> image_;
    lang::Ref<util::RectangleNM> clipRect_;
    lang::Ref<util::RectangleNM> excludeRect_;
    std::atomic<int32_t> x_{0};
    std::atomic<int32_t> y_{0};
    int32_t userValue_ = 0;
    std::atomic<int32_t> width_{0};
    std::atomic<int32_t> height_{0};
    lang::Ref<window::FancyHelper> colorTransform_;
    std::atomic<bool> shown_{true};
    std::atomic<bool> visible_{true};

private:
    std::atomic<bool> dirty_{false};
    // Its own monitor guards it (and dirty_'s hand-over).
    util::RectangleNM dirtyRect_;
};

// Process-wide: whether an image's pixels can be loaded again from its name (an archive entry that
// exists, or a file on disk), for the unloading of hidden screens.
bool canReloadImage(window::Image* image);

}  // namespace sprite
