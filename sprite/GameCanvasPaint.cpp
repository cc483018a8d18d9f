// sprite::GameCanvas: the frame step, the dirty region and the off-screen redraw.
#include "sprite/GameCanvas.h"

#include "window/Color.h"

namespace sprite {

// ---- the frame step ----

void GameCanvas::tick() {
    stepSlots(false);
    mergeStep();
    stepFadingSounds();
    finishStep();
}

void GameCanvas::stepSprite(Sprite* sprite, bool clipToCanvas) {
    spriteDirty_.setBounds(0, 0, 0, 0);
    if (!sprite->update(frameCounter_.load(std::memory_order_relaxed), &spriteDirty_, &stepRegion_))
        return;
    const util::RectangleNM& r = spriteDirty_;
    if (clipToCanvas &&
        !(r.x + r.width > 0 && r.x < canvasWidth() && r.y + r.height > 0 && r.y < canvasHeight()))
        return;
    stepDirty_ = true;
    if (stepBounds_.width == 0)
        stepBounds_.setBounds(r);
    else
        stepBounds_.add(r);
}

void GameCanvas::stepSlots(bool clipToCanvas) {
    for (int i = 0; i < sprites_->length(); ++i) {
        // A slot is only emptied under the canvas lock, which the step holds; the reference keeps the
        // sprite alive should its own update hand it over to someone who lets it go.
        lang::Ref<Sprite> sprite = lang::share((*sprites_)[i]);
        if (sprite)
            stepSprite(sprite.get(), clipToCanvas);
    }
}

void GameCanvas::mergeStep() {
    lang::Synchronized guard(dirtyRegion_.get());
    if (!stepRegion_.isEmpty()) {
        dirtyRegion_->add(stepRegion_);
        stepRegion_.clear();
    }
    if (stepDirty_) {
        dirty_ = true;
        if (dirtyBounds_.width <= 0 || dirtyBounds_.height <= 0)
            dirtyBounds_.setBounds(stepBounds_);
        else
            dirtyBounds_.add(stepBounds_);
    }
    stepDirty_ = false;
    stepBounds_.setBounds(0, 0, 0, 0);
}

void GameCanvas::stepFadingSounds() {
    if (fadingSounds_->size() == 0)
        return;
    lang::Synchronized guard(fadingSounds_.get());
    for (int i = fadingSounds_->size() - 1; i >= 0; --i) {
        auto* clip = static_cast<window::AudioClip*>(fadingSounds_->elementAt(i));
        if (clip == nullptr || !clip->stepFade())
            fadingSounds_->removeElementAt(i);
    }
}

// ---- the dirty region ----

void GameCanvas::invalidateRect(const util::RectangleNM* rect) {
    // A rectangle without area marks nothing; letting one through would leave dirtyBounds without area
    // and the next redraw unclipped.
    if (rect != nullptr && (rect->width <= 0 || rect->height <= 0))
        return;
    lang::Synchronized guard(dirtyRegion_.get());
    dirty_ = true;
    if (rect == nullptr) {
        dirtyBounds_.setBounds(0, 0, canvasWidth(), canvasHeight());
        dirtyRegion_->clear();
        dirtyRegion_->add(dirtyBounds_);
        return;
    }
    if (dirtyBounds_.width <= 0 || dirtyBounds_.height <= 0)
        dirtyBounds_.setBounds(*rect);
    else
        dirtyBounds_.add(*rect);
    dirtyRegion_->add(*rect);
}

bool GameCanvas::isDirty() {
    lang::Synchronized guard(dirtyRegion_.get());
    return dirty_;
}

util::RectangleNM GameCanvas::dirtyBoundsCopy() {
    lang::Synchronized guard(dirtyRegion_.get());
    return dirtyBounds_;
}

util::Region GameCanvas::dirtyRegionCopy() {
    lang::Synchronized guard(dirtyRegion_.get());
    return *dirtyRegion_;
}

bool GameCanvas::isOffscreenValid() {
    lang::Synchronized guard(dirtyRegion_.get());
    return offscreenValid_;
}

lang::Ref<window::Image> GameCanvas::offscreenImage() {
    lang::Synchronized guard(dirtyRegion_.get());
    return offscreen_;
}

uint32_t GameCanvas::backgroundRgb() {
    window::Color* color = getBackground();
    return color != nullptr ? static_cast<uint32_t>(color->getRGB()) : 0u;
}

// ---- drawing ----

void GameCanvas::paintSlots(window::Graphics* g, bool onlyShown) {
    const util::Region& region = *dirtyRegion_;
    for (int i = 0; i < sprites_->length(); ++i) {
        Sprite* sprite = (*sprites_)[i];
        if (sprite == nullptr || (onlyShown && !sprite->isShown()))
            continue;
        if (region.intersects(sprite->getBounds()))
            sprite->paint(g);
    }
}

void GameCanvas::renderOffscreen() {
    lang::Synchronized guard(this, true);
    lang::Synchronized drawing(dirtyRegion_.get());
    dirty_ = false;
    if (!offscreen_)
        return;
    if (!offscreenGraphics_)
        offscreenGraphics_ = lang::adopt(offscreen_->getGraphics());
    // Drawing is always clipped to the region: nothing outside it is touched, so a translucent sprite
    // is never blended twice over pixels that did not change.
    if (!dirtyRegion_->isEmpty()) {
        lang::Ref<window::Graphics> g = lang::adopt(offscreenGraphics_->create());
        g->setColor(backgroundRgb());
        g->setClip(dirtyRegion_.get());
        if (clearBackground_ && dirtyBounds_.width > 0 && dirtyBounds_.height > 0)
            g->fillRect(dirtyBounds_.x, dirtyBounds_.y, dirtyBounds_.width, dirtyBounds_.height);
        paintSlots(g.get(), false);
        g->dispose();
    }
    dirtyBounds_.setBounds(0, 0, 0, 0);
    dirtyRegion_->clear();
}

void GameCanvas::flushToScreen() {
    lang::Synchronized guard(this, true);
    lang::Synchronized drawing(dirtyRegion_.get());
    if (!dirty_ || !offscreen_) {
        offscreenValid_ = true;
        return;
    }
    if (!screenGraphics_)
        return;
    lang::Ref<window::Graphics> g = lang::adopt(screenGraphics_->create());
    // The screen context keeps its own clip (the canvas less its child windows); the copy goes only
    // where that meets the dirty region.
    lang::Ref<util::Region> clip = lang::adopt(g->getClip());
    clip->intersect(*dirtyRegion_);
    g->setClip(clip.get());
    renderOffscreen();
    g->drawImage(offscreen_.get(), 0, 0);
    g->dispose();
}

void GameCanvas::paint(window::Graphics* g) {
    if (g == nullptr)
        return;
    if (!started_) {
        g->setColor(backgroundRgb());
        g->fillRect(0, 0, canvasWidth(), canvasHeight());
        return;
    }
    lang::Synchronized drawing(dirtyRegion_.get());
    if (offscreenValid_ && offscreen_)
        g->drawImage(offscreen_.get(), 0, 0);
    util::RectangleNM exposed = g->getClipBounds();
    invalidate(&exposed);
}

void GameCanvas::update(window::Graphics* g) {
    if (g == nullptr)
        return;
    {
        lang::Synchronized drawing(dirtyRegion_.get());
        if (!screenGraphics_ && !stopped_)
            screenGraphics_ = lang::adopt(getGraphics());
    }
    bool missing;
    {
        lang::Synchronized drawing(dirtyRegion_.get());
        missing = !offscreen_;
    }
    if (missing)
        createOffscreen(canvasWidth(), canvasHeight());
    paint(g);
}

void GameCanvas::setSize(int width, int height) {
    Component::setSize(width, height);
    createOffscreen(width, height);
}

void GameCanvas::createOffscreen(int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    lang::Synchronized drawing(dirtyRegion_.get());
    if (!screenGraphics_)
        return;
    if (offscreen_ && offscreen_->getWidth() == width && offscreen_->getHeight() == height)
        return;
    if (offscreenGraphics_)
        offscreenGraphics_->dispose();
    offscreenGraphics_.reset();
    offscreen_ = lang::make<window::Image>(width, height, window::Image::kOffscreen, true);
    offscreenValid_ = false;
    // A new picture holds nothing yet: the next frame draws all of it.
    invalidateRect(nullptr);
}

}  // namespace sprite
