// MagnifySprite: per-step rescaling (and rotation) of its source about a fixed centre.
#include "game/MagnifySprite.h"

#include <numbers>

LANG_DEFINE_CLASS_RECORD(MagnifySprite);

MagnifySprite::~MagnifySprite() = default;

void MagnifySprite::setSource(window::Image* source) {
    source_ = lang::share(source);
    scaler_ = source != nullptr ? lang::make<BitmapScaler>(source) : lang::Ref<BitmapScaler>();
    percent_ = 100;
    zoomSteps_ = zoomStep_ = 0;
    empty_ = source == nullptr;
    setImageGrid(source, 1, 1);
}

void MagnifySprite::startZoom(int steps, int startPercent, int endPercent, int spinMode, int turns, int alpha,
                              int fadeSteps) {
    // A zoom of 0 steps would divide by zero: it is a zoom of one step, which shows the end at once.
    zoomSteps_ = steps < 1 ? 1 : steps;
    zoomStep_ = 0;
    startPercent_ = startPercent;
    endPercent_ = endPercent;
    perStep_ = static_cast<double>(endPercent - startPercent) / zoomSteps_;
    spinMode_ = spinMode;
    spinPerStep_ = spinMode != kNoSpin ? 2 * std::numbers::pi * turns / zoomSteps_ : 0;
    if (fadeSteps > 0)
        fadeTo(alpha, fadeSteps, 0);
    percent_ = startPercent_;
    rebuild(0);
}

bool MagnifySprite::update(int frame, util::RectangleNM* out, util::Region* region) {
    if (visible_ && isZooming()) {
        ++zoomStep_;
        double next = zoomStep_ >= zoomSteps_ ? endPercent_ : startPercent_ + zoomStep_ * perStep_;
        double radians = 0;
        if (spinMode_ != kNoSpin && zoomStep_ < zoomSteps_)
            radians = (spinMode_ == kSpinOtherWay ? -1 : 1) * zoomStep_ * spinPerStep_;
        if (next != percent_ || radians != 0) {
            percent_ = next;
            rebuild(radians);
        }
    }
    return AnimateSprite::update(frame, out, region);
}

void MagnifySprite::rebuild(double radians) {
    if (!scaler_)
        return;
    const int oldW = getWidth();
    const int oldH = getHeight();
    // Twice the centre, so that an odd size keeps its half pixel.
    const int cx2 = 2 * getX() + oldW;
    const int cy2 = 2 * getY() + oldH;
    lang::Ref<window::Image> image = scaler_->rotateScale(radians, percent_);
    markDirty();
    if (!image) {
        empty_ = true;
        return;
    }
    empty_ = false;
    const int w = image->getWidth();
    const int h = image->getHeight();
    setImageGrid(image.get(), 1, 1);
    // Rounded towards the old corner, so that the centre drifts by at most half a pixel.
    setLocation((cx2 - w) / 2, (cy2 - h) / 2);
    markDirty();
}

void MagnifySprite::paint(window::Graphics* g) {
    if (empty_)
        return;
    AnimateSprite::paint(g);
}
