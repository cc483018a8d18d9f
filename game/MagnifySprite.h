// MagnifySprite: a picture that zooms (and may spin) about its centre, frame by frame.
#pragma once

#include "game/BitmapScaler.h"
#include "sprite/AnimateSprite.h"

class MagnifySprite : public sprite::AnimateSprite {
public:
    static constexpr int kNoSpin = 0;
    static constexpr int kSpinOneWay = 1;
    static constexpr int kSpinOtherWay = 2;

    MagnifySprite() = default;
    ~MagnifySprite() override;

    LANG_CLASS_NAME(MagnifySprite, AnimateSprite)
    LANG_DECLARE_CLASS_RECORD(MagnifySprite);

    // The picture zoomed (referenced); the sprite shows it at 100 percent until a zoom starts.
    void setSource(window::Image* source);
    window::Image* source() const { return source_.get(); }
    // Zooms from startPercent to endPercent over `steps` frames (at least 1), turning `turns` times
    // (spinMode 1 or 2), and when fadeSteps > 0 fades to `alpha` meanwhile. The centre stays put.
    void startZoom(int steps, int startPercent, int endPercent, int spinMode, int turns, int alpha,
                   int fadeSteps);
    bool isZooming() const { return zoomStep_ < zoomSteps_; }
    double percent() const { return percent_; }
    int zoomSteps() const { return zoomSteps_; }

    bool update(int frame, util::RectangleNM* out, util::Region* region) override;
    void paint(window::Graphics* g) override;

private:
    // Shows the picture at the current percent and angle, keeping the centre and the size's parity.
    void rebuild(double radians);

    lang::Ref<window::Image> source_;
    lang::Ref<BitmapScaler> scaler_;
    double percent_ = 100;
    int zoomSteps_ = 0;
    int zoomStep_ = 0;
    double startPercent_ = 100;
    double endPercent_ = 100;
    double perStep_ = 0;
    int spinMode_ = kNoSpin;
    double spinPerStep_ = 0;
    bool empty_ = false;  // the last result had no pixel: nothing is drawn
};
