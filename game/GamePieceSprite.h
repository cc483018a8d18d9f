// GamePieceSprite: a piece of the board: its kind frame and lit frame, power and sun overlays, and the
// landing bounce.
#pragma once

#include "game/rules/BoardEvents.h"
#include "game/rules/BoardValues.h"
#include "lang/Ref.h"
#include "sprite/AnimateSprite.h"

namespace util {
class Random;
}

// The piece image is a sheet of 36 frames: 0..17 the kinds (frame = kind code), 18..35 the same kinds
// lit. A picked piece, or one lit by a power preview, shows its lit frame.
//
// The overlays are sprites of their own that the piece owns and draws with itself, 15 pixels up and left
// of it: behind the piece for most powers and for the sun, over it for the line powers (row, column,
// crosshair), whose beams must stay visible across the piece.
class GamePieceSprite : public sprite::AnimateSprite {
public:
    static constexpr int kKindFrames = 18;
    static constexpr int kSunFrame = 17;
    static constexpr int kOverlayOffset = 15;
    // Overlay codes of the powers.
    static constexpr int kArea = 251;
    static constexpr int kColour = 252;
    static constexpr int kRow = 253;
    static constexpr int kColumn = 254;
    static constexpr int kCrosshair = 255;
    static constexpr int kRandom = 256;
    static constexpr int kClock = 257;
    static constexpr int kDragonfly = 258;
    static constexpr int kAtRest = 13;

    GamePieceSprite();
    ~GamePieceSprite() override;

    LANG_CLASS_NAME(GamePieceSprite, AnimateSprite)
    LANG_DECLARE_CLASS_RECORD(GamePieceSprite);

    void paint(window::Graphics* g) override;
    // Bounce, lit frames, then the animation and the overlays' steps.
    bool update(int frame, util::RectangleNM* out, util::Region* region) override;
    Sprite* clone() override;

    // The overlay sprites (referenced): copies of the scene's overlay templates.
    void setOverlays(sprite::AnimateSprite* power, sprite::AnimateSprite* sun);
    sprite::AnimateSprite* powerOverlay() const { return powerOverlay_.get(); }
    sprite::AnimateSprite* sunOverlay() const { return sunOverlay_.get(); }

    void setHighlighted(bool on) { highlighted_ = on; }
    void setPreviewLit(bool on) { previewLit_ = on; }
    bool highlighted() const { return highlighted_; }
    bool previewLit() const { return previewLit_; }
    // Starts the looping overlay animation of a power code 251..258; any other code hides the overlay.
    void showPowerOverlay(int code, util::Random& random);
    void hidePowerOverlay();
    void showSunOverlay(util::Random& random);
    int powerCode() const { return powerCode_; }
    // Codes 251..256 and 258: the powers a preview can show (the clock has no reach).
    bool hasPower() const;
    // The kind shown, lit or not.
    void setKind(int kindCode);
    int kind() const;

    // The landing bounce: from the current position, which is where the piece ends.
    void startBounce(const LandingBounce& bounce);
    void stopDrop();
    bool landing() const { return landing_; }
    void setLanding(bool on) { landing_ = on; }
    int pieceState() const { return pieceState_; }
    int dropSteps() const { return dropSteps_; }

    void setSquare(int x, int y) {
        squareX_ = x;
        squareY_ = y;
    }
    int squareX() const { return squareX_; }
    int squareY() const { return squareY_; }

private:
    bool overlayOnTop() const { return powerCode_ == kCrosshair || powerCode_ == kRow || powerCode_ == kColumn; }
    bool stepOverlay(sprite::AnimateSprite* overlay, bool active, int frame, util::RectangleNM* out,
                     util::Region* region);
    void paintOverlay(sprite::AnimateSprite* overlay, window::Graphics* g);

    lang::Ref<sprite::AnimateSprite> powerOverlay_;
    lang::Ref<sprite::AnimateSprite> sunOverlay_;
    bool highlighted_ = false;
    bool previewLit_ = false;
    bool landing_ = false;
    int pieceState_ = kAtRest;
    int squareX_ = board::kNone;
    int squareY_ = board::kNone;
    int powerCode_ = board::kNone;
    int dropSteps_ = 0;
    int dropTargetX_ = 0;
    int dropTargetY_ = 0;
    int bounceMode_ = 0;
    double sideways_ = 0;
    double upward_ = 0;
    int bounceFrames_ = 0;
};
