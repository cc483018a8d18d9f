// sprite::AnimateSprite: a sprite-sheet sprite with frame runs, timed moves, fades and completion labels.
#pragma once

#include "sprite/Sprite.h"

namespace sprite {

// Frame n of the sheet is the cell at column n % columns, row n / columns. All timing is in frame
// steps. A move, a fade or a one-shot frame run sets `animating`; when everything asked has finished,
// the receiver set by setNotify gets an action event (id 7) whose first object is the label and whose
// second object is this sprite. Looping and ping-pong runs never complete by themselves.
class AnimateSprite : public Sprite {
public:
    AnimateSprite() = default;
    ~AnimateSprite() override;

    LANG_CLASS_NAME(AnimateSprite, Sprite)
    LANG_DECLARE_CLASS_RECORD(AnimateSprite);

    // Numbers 0-1 position, 2-3 sheet columns and rows (0 counts as 1); more than 4: visible unless
    // numbers[4] is -1, and the frame shown; more than 7: frame interval, ping-pong, frame step
    // (looping).
    void init(window::ImageArray* images, lang::IntArray* numbers) override;
    // Draws the current frame's cell.
    void paint(window::Graphics* g) override;
    // The animation step, then the dirty reporting; notifies completion after both.
    bool update(int frame, util::RectangleNM* out, util::Region* region) override;
    void setLocation(int x, int y) override;
    void setLocationQuiet(int x, int y) override;
    void moveBy(int dx, int dy) override;
    Sprite* clone() override;
    // Whether the pixel of the current frame under the point is not transparent.
    bool hitTest(int px, int py) override;
    void setColorTransform(int alpha, int red, int green, int blue) override;

    // setImage, then the grid (each at least 1); the size becomes one cell.
    virtual void setImageGrid(window::Image* image, int columns, int rows);
    virtual bool isAnimating() const { return animating_; }
    virtual void setPaused(bool paused) { paused_ = paused; }
    bool isPaused() const { return paused_; }
    // Moves to (x, y) in `steps` frame steps (at least 1).
    virtual void moveTo(int x, int y, int steps);
    // Fades the alpha level to `alpha` in `steps` frame steps (-1 keeps the running fade's count);
    // hide = 1 hides the sprite when a fade to 0 ends.
    virtual void fadeTo(int alpha, int steps, int hide);
    virtual int getTargetAlpha() const { return targetAlpha_; }
    virtual int getTargetX() const { return targetX_; }
    virtual int getTargetY() const { return targetY_; }
    // Where the next move step puts the sprite.
    virtual int nextX() const;
    virtual int nextY() const;
    virtual int getMoveSteps() const { return moveSteps_; }

    // The played range, clamped to the sheet; a range given backwards is played as its first frame.
    void setFrameRange(int first, int last);
    void setFrameTiming(int interval, int phase);
    int getFrame() const { return currentFrame_; }
    // Clamped to the sheet.
    void setFrame(int n);
    void setPingPong(bool on);
    void setFrameStep(int step, bool looping);
    // The receiver is not counted (it outlives its sprites: the canvas); the label is referenced.
    // (null, null) clears.
    void setNotify(window::Receiver* receiver, lang::Object* label);
    void copyAnimationTo(AnimateSprite& other) const;

    int getFrameCount() const { return frameCount_; }
    // The most columns or rows a frame grid has.
    static constexpr int kMaxGridSide = 4096;
    int getColumns() const { return columns_; }
    int getRows() const { return rows_; }
    int getFirstFrame() const { return firstFrame_; }
    int getLastFrame() const { return lastFrame_; }
    int getFrameStep() const { return frameStep_; }

protected:
    // The sheet offset of the current frame's cell.
    void cellOrigin(int& sx, int& sy) const;
    // The animation step proper (steps 2-7); answers whether something is still running.
    bool stepAnimation(int frame);
    // Sends the completion label, if anyone listens.
    void notifyCompletion();

    int32_t moveSteps_ = 0;
    int32_t fadeSteps_ = 0;
    int32_t frameCount_ = 0;
    int32_t columns_ = 0;
    int32_t rows_ = 0;
    int32_t targetX_ = 0;
    int32_t targetY_ = 0;
    int32_t targetAlpha_ = 128;
    int32_t hideWhenFaded_ = 0;
    std::atomic<int32_t> currentFrame_{0};
    int32_t frameStep_ = 0;
    int32_t frameInterval_ = 0;
    int32_t phase_ = 0;
    int32_t firstFrame_ = 0;
    int32_t lastFrame_ = -1;
    window::Receiver* notifyReceiver_ = nullptr;
    lang::Ref<lang::Object> notifyLabel_;
    bool looping_ = true;
    bool pingPong_ = false;
    bool animating_ = false;
    std::atomic<bool> paused_{false};
    int32_t pausedFrames_ = 0;
};

}  // namespace sprite
