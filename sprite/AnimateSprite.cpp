// sprite::AnimateSprite: frame stepping, moves, fades, pausing and the completion notice.
#include "sprite/AnimateSprite.h"

#include <algorithm>

#include "window/Event.h"

namespace sprite {

LANG_DEFINE_CLASS_RECORD(AnimateSprite);

AnimateSprite::~AnimateSprite() = default;

void AnimateSprite::init(window::ImageArray* images, lang::IntArray* numbers) {
    initImageAndPosition(images, numbers);
    setImageGrid(image_.get(), numberAt(numbers, 2), numberAt(numbers, 3));
    const int count = numberCount(numbers);
    if (count > 4) {
        setVisible(numberAt(numbers, 4) != -1);
        setFrame(numberAt(numbers, 4));
    }
    if (count > 7) {
        frameInterval_ = numberAt(numbers, 5);
        phase_ = 0;
        setPingPong(numberAt(numbers, 6) != 0);
        setFrameStep(numberAt(numbers, 7), true);
    }
}

void AnimateSprite::setImageGrid(window::Image* image, int columns, int rows) {
    setImage(image);
    // At most 4096 by 4096 frames: the frame count stays an int.
    columns_ = std::clamp(columns, 1, kMaxGridSide);
    rows_ = std::clamp(rows, 1, kMaxGridSide);
    frameCount_ = columns_ * rows_;
    firstFrame_ = 0;
    lastFrame_ = frameCount_ - 1;
    if (currentFrame_ > lastFrame_)
        currentFrame_ = lastFrame_;
    const int w = image != nullptr ? image->getWidth() / columns_ : 0;
    const int h = image != nullptr ? image->getHeight() / rows_ : 0;
    setSize(w, h);
}

void AnimateSprite::cellOrigin(int& sx, int& sy) const {
    // A sprite made in code without a grid has one cell: the whole picture.
    const int columns = std::max(1, columns_);
    const int frame = std::max(0, currentFrame_.load());
    sx = width_ * (frame % columns);
    sy = height_ * (frame / columns);
}

void AnimateSprite::paint(window::Graphics* g) {
    if (!image_ || !shown_ || g == nullptr)
        return;
    const int x = x_, y = y_, w = width_, h = height_;
    if (w <= 0 || h <= 0)
        return;
    int sx, sy;
    cellOrigin(sx, sy);
    lang::Ref<window::Graphics> cell = lang::adopt(g->create());
    cell->clipRect(x, y, w, h);
    if (clipRect_)
        cell->clipRect(clipRect_->x, clipRect_->y, clipRect_->width, clipRect_->height);
    if (excludeRect_)
        cell->excludeRect(excludeRect_->x, excludeRect_->y, excludeRect_->width, excludeRect_->height);
    drawWithLevels(cell.get(), image_.get(), x - sx, y - sy);
    cell->dispose();
}

bool AnimateSprite::hitTest(int px, int py) {
    const int lx = px - getX(), ly = py - getY();
    const int w = width_, h = height_;
    if (lx < 0 || ly < 0 || lx >= w || ly >= h)
        return false;
    if (!image_)
        return true;
    const uint32_t* pixels = image_->getPixels();
    if (pixels == nullptr)
        return false;
    int sx, sy;
    cellOrigin(sx, sy);
    const int ix = lx + sx, iy = ly + sy;
    // The cell of a frame beyond a short sheet lies outside the picture: nothing is hit there.
    if (ix >= image_->getWidth() || iy >= image_->getHeight())
        return false;
    return (pixels[static_cast<size_t>(iy) * image_->getWidth() + ix] >> 24) != 0;
}

void AnimateSprite::setLocation(int x, int y) {
    Sprite::setLocation(x, y);
    targetX_ = x_;
    targetY_ = y_;
}

void AnimateSprite::setLocationQuiet(int x, int y) {
    Sprite::setLocationQuiet(x, y);
    targetX_ = x_;
    targetY_ = y_;
}

void AnimateSprite::moveBy(int dx, int dy) {
    Sprite::moveBy(dx, dy);
    targetX_ = x_;
    targetY_ = y_;
}

void AnimateSprite::setColorTransform(int alpha, int red, int green, int blue) {
    Sprite::setColorTransform(alpha, red, green, blue);
    targetAlpha_ = alpha;
}

void AnimateSprite::moveTo(int x, int y, int steps) {
    targetX_ = clampCoordinate(x);
    targetY_ = clampCoordinate(y);
    // A move of 0 steps would never arrive; it jumps at the next step like a move of 1.
    moveSteps_ = std::max(1, steps);
    animating_ = true;
}

void AnimateSprite::fadeTo(int alpha, int steps, int hide) {
    colorTransform();
    targetAlpha_ = alpha;
    animating_ = true;
    if (steps != -1)
        fadeSteps_ = std::max(1, steps);
    else if (fadeSteps_ < 1)
        fadeSteps_ = 1;  // -1 continues a running fade; with none running it lands at the next step
    hideWhenFaded_ = hide;
}

int AnimateSprite::nextX() const {
    if (moveSteps_ == 1)
        return targetX_;
    if (moveSteps_ > 1)
        return x_ + (targetX_ - x_) / moveSteps_;
    return x_;
}

int AnimateSprite::nextY() const {
    if (moveSteps_ == 1)
        return targetY_;
    if (moveSteps_ > 1)
        return y_ + (targetY_ - y_) / moveSteps_;
    return y_;
}

void AnimateSprite::setFrameRange(int first, int last) {
    const int top = std::max(0, frameCount_ - 1);
    first = std::clamp(first, 0, top);
    last = std::clamp(last, 0, top);
    firstFrame_ = first;
    lastFrame_ = std::max(first, last);
}

void AnimateSprite::setFrameTiming(int interval, int phase) {
    frameInterval_ = interval;
    phase_ = phase;
}

void AnimateSprite::setFrame(int n) {
    n = std::clamp(n, 0, std::max(0, frameCount_ - 1));
    if (n == currentFrame_)
        return;
    currentFrame_ = n;
    markDirty();
}

void AnimateSprite::setPingPong(bool on) {
    pingPong_ = on;
    if (on)
        animating_ = false;
}

void AnimateSprite::setFrameStep(int step, bool looping) {
    frameStep_ = step;
    looping_ = looping;
    if (!looping && !pingPong_)
        animating_ = true;
}

void AnimateSprite::setNotify(window::Receiver* receiver, lang::Object* label) {
    notifyReceiver_ = receiver;
    notifyLabel_ = lang::share(label);
}

bool AnimateSprite::stepAnimation(int frame) {
    const int t = frame - pausedFrames_;
    const int a = colorTransform_ ? colorTransform_->alpha : targetAlpha_;
    const bool advances = frameStep_ != 0 && (frameInterval_ <= 0 || (phase_ + t) % frameInterval_ == 0);
    // A one-shot run is running between its advancing frames too, so that an interval does not end it
    // early.
    bool running = !looping_ && frameStep_ != 0 && !pingPong_;
    if (!advances && x_ == targetX_ && y_ == targetY_ && a == targetAlpha_ && moveSteps_ == 0 &&
        fadeSteps_ == 0) {
        return running;
    }
    // Only a step that changes the picture marks the sprite: a slow fade leaves the alpha level where it
    // was for many steps (the level moves by whole units), and a full-screen overlay marked on each of
    // them would be redrawn for nothing. The frame marks itself in setFrame, hiding in setVisible.
    const util::RectangleNM before = getBounds();
    const int xBefore = x_, yBefore = y_;
    const bool wasVisible = visible_;
    const bool hadLevels = static_cast<bool>(colorTransform_);
    if (advances) {
        int next = currentFrame_ + frameStep_;
        const int span = std::max(1, lastFrame_ - firstFrame_ + 1);
        if (next > lastFrame_) {
            if (pingPong_) {
                // Back to where it was: the end frame shows for two steps as the run turns.
                next = currentFrame_;
                frameStep_ = -frameStep_;
            } else if (looping_) {
                next = (next - firstFrame_) % span + firstFrame_;
            } else {
                next = lastFrame_;
                frameStep_ = 0;
            }
        } else if (next < firstFrame_) {
            if (pingPong_) {
                next = currentFrame_;
                frameStep_ = -frameStep_;
            } else if (looping_) {
                // A step larger than the range still lands inside it.
                next = firstFrame_ + ((next - firstFrame_) % span + span) % span;
            } else {
                next = firstFrame_;
                frameStep_ = 0;
            }
        }
        setFrame(next);
        running = !looping_ && frameStep_ != 0 && !pingPong_;
    }
    if (moveSteps_ == 1) {
        x_ = targetX_;
        y_ = targetY_;
        moveSteps_ = 0;
    } else if (moveSteps_ > 1) {
        x_ += (targetX_ - x_) / moveSteps_;
        y_ += (targetY_ - y_) / moveSteps_;
        moveSteps_ -= 1;
        running = true;
    }
    if (fadeSteps_ == 1) {
        colorTransform()->alpha = targetAlpha_;
        fadeSteps_ = 0;
        if (targetAlpha_ == 0 && hideWhenFaded_ == 1)
            setVisible(false);
    } else if (fadeSteps_ > 1) {
        colorTransform()->alpha = a + (targetAlpha_ - a) / fadeSteps_;
        fadeSteps_ -= 1;
        running = true;
    }
    const bool moved = x_ != xBefore || y_ != yBefore;
    const bool faded = colorTransform_ && (!hadLevels || colorTransform_->alpha != a);
    if (moved || faded) {
        // Where it was (even if a fade has just hidden it) and where it is now.
        if (wasVisible && before.width > 0 && before.height > 0 && before.x + before.width >= 0 &&
            before.y + before.height >= 0) {
            addDirtyRect(before);
        }
        markDirty();
    }
    return running;
}

bool AnimateSprite::update(int frame, util::RectangleNM* out, util::Region* region) {
    if (paused_) {
        pausedFrames_ += 1;
        return Sprite::update(frame, out, region);
    }
    const bool running = stepAnimation(frame);
    const bool changed = Sprite::update(frame, out, region);
    if (!running && animating_) {
        animating_ = false;
        notifyCompletion();
    }
    return changed;
}

void AnimateSprite::notifyCompletion() {
    if (notifyReceiver_ == nullptr)
        return;
    // The receiver may drop this sprite (and its label) while it handles the event: both stay alive
    // through the event's references.
    lang::Ref<window::Event> event = lang::make<window::Event>(notifyLabel_.get(), this);
    notifyReceiver_->receive(event.get());
}

void AnimateSprite::copyAnimationTo(AnimateSprite& other) const {
    other.moveSteps_ = moveSteps_;
    other.fadeSteps_ = fadeSteps_;
    other.frameCount_ = frameCount_;
    other.columns_ = columns_;
    other.rows_ = rows_;
    other.targetX_ = targetX_;
    other.targetY_ = targetY_;
    other.targetAlpha_ = targetAlpha_;
    other.hideWhenFaded_ = hideWhenFaded_;
    other.currentFrame_ = currentFrame_.load();
    other.frameStep_ = frameStep_;
    other.frameInterval_ = frameInterval_;
    other.phase_ = phase_;
    other.firstFrame_ = firstFrame_;
    other.lastFrame_ = lastFrame_;
    other.notifyReceiver_ = notifyReceiver_;
    other.notifyLabel_ = notifyLabel_;
    other.looping_ = looping_;
    other.pingPong_ = pingPong_;
    other.animating_ = animating_;
    other.paused_ = paused_.load();
    other.pausedFrames_ = pausedFrames_;
}

Sprite* AnimateSprite::clone() {
    auto* copy = new AnimateSprite();
    copySpriteTo(*copy);
    copyAnimationTo(*copy);
    return copy;
}

}  // namespace sprite
