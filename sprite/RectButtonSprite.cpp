// sprite::RectButtonSprite: the rectangle that stands in for a button's picture.
#include "sprite/RectButtonSprite.h"

namespace sprite {

LANG_DEFINE_CLASS_RECORD(RectButtonSprite);

RectButtonSprite::~RectButtonSprite() = default;

void RectButtonSprite::init(window::ImageArray* images, lang::IntArray* numbers) {
    (void)images;
    if (numberCount(numbers) < 4) {
        initOk_ = false;
        return;
    }
    initOk_ = true;
    setLocation(numberAt(numbers, 0), numberAt(numbers, 1));
    setSize(numberAt(numbers, 2), numberAt(numbers, 3));
    setState(numberAt(numbers, 4));
}

void RectButtonSprite::setLocation(int x, int y) {
    ButtonSprite::setLocation(x, y);
    rectX_ = x;
    rectY_ = y;
}

void RectButtonSprite::setSize(int width, int height) {
    ButtonSprite::setSize(width, height);
    rectWidth_ = width;
    rectHeight_ = height;
}

bool RectButtonSprite::containsPoint(int px, int py) {
    return util::RectangleNM(rectX_, rectY_, rectWidth_, rectHeight_).contains(px, py);
}

bool RectButtonSprite::hitTest(int px, int py) {
    return containsPoint(px, py);
}

util::RectangleNM RectButtonSprite::getBounds() {
    return util::RectangleNM();
}

Sprite* RectButtonSprite::clone() {
    auto* copy = new RectButtonSprite();
    copySpriteTo(*copy);
    copyAnimationTo(*copy);
    copyButtonTo(*copy);
    copy->rectX_ = rectX_.load();
    copy->rectY_ = rectY_.load();
    copy->rectWidth_ = rectWidth_.load();
    copy->rectHeight_ = rectHeight_.load();
    return copy;
}

}  // namespace sprite
