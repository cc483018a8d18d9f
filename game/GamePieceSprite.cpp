// GamePieceSprite: kind and lit frames, overlays drawn with the piece, and the landing bounce.
#include "game/GamePieceSprite.h"

#include <cmath>
#include <numbers>

#include "util/Random.h"

LANG_DEFINE_CLASS_RECORD(GamePieceSprite);

namespace {

struct OverlayRun {
    int code, first, last, interval;
};

// The looping run of each power's overlay; the area blast starts on a random frame of its run.
constexpr OverlayRun kOverlayRuns[] = {
    {GamePieceSprite::kArea, 0, 18, 2},       {GamePieceSprite::kColour, 21, 41, 3},
    {GamePieceSprite::kRow, 42, 62, 2},       {GamePieceSprite::kColumn, 63, 83, 2},
    {GamePieceSprite::kCrosshair, 84, 104, 2}, {GamePieceSprite::kRandom, 105, 125, 3},
    {GamePieceSprite::kClock, 126, 146, 2},   {GamePieceSprite::kDragonfly, 147, 168, 2},
};

}  // namespace

GamePieceSprite::GamePieceSprite() = default;
GamePieceSprite::~GamePieceSprite() = default;

sprite::Sprite* GamePieceSprite::clone() {
    auto* copy = new GamePieceSprite();
    copySpriteTo(*copy);
    copyAnimationTo(*copy);
    if (powerOverlay_ || sunOverlay_) {
        lang::Ref<sprite::AnimateSprite> power, sun;
        if (powerOverlay_)
            power = lang::adopt(static_cast<sprite::AnimateSprite*>(powerOverlay_->clone()));
        if (sunOverlay_)
            sun = lang::adopt(static_cast<sprite::AnimateSprite*>(sunOverlay_->clone()));
        copy->setOverlays(power.get(), sun.get());
    }
    return copy;
}

void GamePieceSprite::setOverlays(sprite::AnimateSprite* power, sprite::AnimateSprite* sun) {
    powerOverlay_ = lang::share(power);
    sunOverlay_ = lang::share(sun);
    for (sprite::AnimateSprite* o : {power, sun})
        if (o != nullptr)
            o->setVisible(false);
}

void GamePieceSprite::showPowerOverlay(int code, util::Random& random) {
    for (const OverlayRun& run : kOverlayRuns) {
        if (run.code != code)
            continue;
        powerCode_ = code;
        if (powerOverlay_) {
            powerOverlay_->setFrameRange(run.first, run.last);
            powerOverlay_->setFrameTiming(run.interval, 0);
            powerOverlay_->setFrameStep(1, true);
            powerOverlay_->setFrame(code == kArea ? random.nextInt(10) : run.first);
        }
        markDirty();
        return;
    }
    hidePowerOverlay();
}

void GamePieceSprite::hidePowerOverlay() {
    powerCode_ = board::kNone;
    markDirty();
}

void GamePieceSprite::showSunOverlay(util::Random& random) {
    if (!sunOverlay_)
        return;
    sunOverlay_->setFrameRange(0, 24);
    sunOverlay_->setFrameTiming(3, 0);
    sunOverlay_->setFrameStep(1, true);
    sunOverlay_->setFrame(random.nextInt(23));
    sunOverlay_->setColorTransform(100, 128, 128, 128);
}

bool GamePieceSprite::hasPower() const {
    return (powerCode_ >= kArea && powerCode_ <= kRandom) || powerCode_ == kDragonfly;
}

void GamePieceSprite::setKind(int kindCode) {
    if (kindCode < 0 || kindCode >= kKindFrames)
        kindCode = 0;
    setFrame(highlighted_ || previewLit_ ? kindCode + kKindFrames : kindCode);
}

int GamePieceSprite::kind() const {
    return getFrame() % kKindFrames;
}

void GamePieceSprite::startBounce(const LandingBounce& bounce) {
    dropTargetX_ = getX();
    dropTargetY_ = getY();
    landing_ = false;
    if (bounce.frames <= 0) {
        stopDrop();
        return;
    }
    sideways_ = bounce.sideways;
    upward_ = bounce.upward;
    bounceMode_ = bounce.mode;
    bounceFrames_ = bounce.frames;
    dropSteps_ = bounce.frames;
    pieceState_ = 0;
}

void GamePieceSprite::stopDrop() {
    dropSteps_ = 0;
    pieceState_ = kAtRest;
    landing_ = false;
}

bool GamePieceSprite::update(int frame, util::RectangleNM* out, util::Region* region) {
    if (visible_ && dropSteps_ > 0) {
        if (dropSteps_ == 1) {
            setLocation(dropTargetX_, dropTargetY_);
            stopDrop();
        } else {
            // One hop (mode 0) or two smaller ones (modes 1 and 2); the curve is 0 at both ends, so
            // the piece always settles exactly on its square.
            double t = static_cast<double>(bounceFrames_ - dropSteps_ + 1) / bounceFrames_;
            double hops = bounceMode_ == 0 ? 1.0 : 2.0;
            double lift = std::fabs(std::sin(std::numbers::pi * hops * t)) * upward_ * (10.0 / hops);
            double side = std::sin(std::numbers::pi * t) * sideways_ * 3.0;
            setLocation(dropTargetX_ + static_cast<int>(std::lround(side)),
                        dropTargetY_ - static_cast<int>(std::lround(lift)));
            --dropSteps_;
        }
    }
    int shown = getFrame();
    bool lit = highlighted_ || previewLit_;
    if (!lit && shown >= kKindFrames)
        setFrame(shown - kKindFrames);
    else if (lit && shown < kKindFrames)
        setFrame(shown + kKindFrames);
    if (getFrame() != shown)
        markDirty();
    // The overlays are stepped before the piece reports: what they changed is part of this step.
    bool changed = stepOverlay(powerOverlay_.get(), powerCode_ != board::kNone, frame, out, region);
    changed |= stepOverlay(sunOverlay_.get(), kind() == kSunFrame, frame, out, region);
    changed |= AnimateSprite::update(frame, out, region);
    return changed;
}

bool GamePieceSprite::stepOverlay(sprite::AnimateSprite* overlay, bool active, int frame,
                                  util::RectangleNM* out, util::Region* region) {
    if (overlay == nullptr)
        return false;
    overlay->setLocation(getX() - kOverlayOffset, getY() - kOverlayOffset);
    overlay->setVisible(active && visible_);
    return overlay->update(frame, out, region);
}

void GamePieceSprite::paintOverlay(sprite::AnimateSprite* overlay, window::Graphics* g) {
    if (overlay != nullptr && overlay->isShown())
        overlay->paint(g);
}

void GamePieceSprite::paint(window::Graphics* g) {
    if (!shown_)
        return;
    if (!overlayOnTop())
        paintOverlay(powerOverlay_.get(), g);
    if (kind() == kSunFrame)
        paintOverlay(sunOverlay_.get(), g);
    AnimateSprite::paint(g);
    if (overlayOnTop())
        paintOverlay(powerOverlay_.get(), g);
}
