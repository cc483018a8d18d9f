// sprite::ButtonSprite: states and their frames, hover, press and release.
#include "sprite/ButtonSprite.h"

namespace sprite {

LANG_DEFINE_CLASS_RECORD(ButtonSprite);

ButtonSprite::ButtonSprite() {
    visible_ = false;
    shown_ = false;
}

ButtonSprite::~ButtonSprite() = default;

void ButtonSprite::init(window::ImageArray* images, lang::IntArray* numbers) {
    initImageAndPosition(images, numbers);
    setImageGrid(image_.get(), numberAt(numbers, 2), numberAt(numbers, 3));
    setStateFrames(numberAt(numbers, 4), numberAt(numbers, 5), numberAt(numbers, 6), -1, -1, -2, -1);
    if (numberCount(numbers) > 7)
        setState(numberAt(numbers, 7));
}

void ButtonSprite::setStateFrames(int hover, int normal, int disabled, int selected, int selectedHover,
                                  int pressed, int selectedPressed) {
    stateFrames_[kDisabled] = disabled;
    stateFrames_[kNormal] = normal;
    stateFrames_[kHover] = hover;
    stateFrames_[kSelected] = selected;
    stateFrames_[kSelectedHover] = selectedHover == -1 ? selected : selectedHover;
    stateFrames_[kPressed] = pressed == -2 ? hover : pressed;
    stateFrames_[kSelectedPressed] = selectedPressed == -2 ? stateFrames_[kSelectedHover] : selectedPressed;
}

int ButtonSprite::getStateFrame(int state) const {
    return state >= 0 && state < kStates ? stateFrames_[state] : -1;
}

void ButtonSprite::setState(int state) {
    if (state < 0 || state >= kStates)
        return;
    const int frame = stateFrames_[state];
    // The base visibility is used here: the button's own setVisible(false) sets state 0, which would
    // come straight back here when the disabled frame is -1.
    if (frame == -1) {
        AnimateSprite::setVisible(false);
    } else {
        setFrame(frame);
        if (!visible_)
            AnimateSprite::setVisible(true);
    }
    state_ = state;
}

void ButtonSprite::setVisible(bool visible) {
    if (!visible && state_ != kDisabled)
        setState(kDisabled);
    AnimateSprite::setVisible(visible);
}

bool ButtonSprite::containsPoint(int px, int py) {
    if (rectHit_)
        return Sprite::containsPoint(px, py);
    return AnimateSprite::hitTest(px, py);
}

bool ButtonSprite::hover(int x, int y) {
    const int state = state_;
    if (state == kDisabled)
        return false;
    if (containsPoint(x, y)) {
        if (!pressed_) {
            if (state == kSelected || state == kSelectedHover) {
                if (stateFrames_[kSelectedHover] != -1)
                    setState(kSelectedHover);
            } else {
                setState(kHover);
            }
        } else {
            setState(state == kSelected || state == kSelectedHover || state == kSelectedPressed ? kSelectedPressed
                                                                                              : kPressed);
        }
        return true;
    }
    setState(state == kSelected || state == kSelectedHover || state == kSelectedPressed ? kSelected : kNormal);
    return false;
}

bool ButtonSprite::press() {
    if (!fireOnRelease_)
        return true;
    pressed_ = true;
    const int state = state_;
    if (state == kNormal || state == kHover)
        setState(kPressed);
    else if (state == kSelected || state == kSelectedHover)
        setState(kSelectedPressed);
    return false;
}

bool ButtonSprite::releaseAt(int x, int y) {
    pressed_ = false;
    const int state = state_;
    if (state == kPressed)
        setState(kNormal);
    else if (state == kSelectedPressed)
        setState(kSelected);
    return pressTest(x, y);
}

bool ButtonSprite::pressTest(int x, int y) {
    return state_ != kDisabled && containsPoint(x, y);
}

bool ButtonSprite::pixelPressTest(int x, int y) {
    return state_ != kDisabled && hitTest(x, y);
}

void ButtonSprite::unloadImage() {
    const int state = state_;
    if (state == kHover || state == kPressed)
        setState(kNormal);
    else if (state == kSelectedHover || state == kSelectedPressed)
        setState(kSelected);
    AnimateSprite::unloadImage();
}

void ButtonSprite::copyButtonTo(ButtonSprite& other) const {
    for (int i = 0; i < kStates; ++i)
        other.stateFrames_[i] = stateFrames_[i];
    other.state_ = state_.load();
    other.rectHit_ = rectHit_;
    other.fireOnRelease_ = fireOnRelease_;
}

Sprite* ButtonSprite::clone() {
    auto* copy = new ButtonSprite();
    copySpriteTo(*copy);
    copyAnimationTo(*copy);
    copyButtonTo(*copy);
    return copy;
}

}  // namespace sprite
