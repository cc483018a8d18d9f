// sprite::ButtonSprite: an animated sprite whose frames show its states and whose name is its command.
#pragma once

#include "sprite/AnimateSprite.h"

namespace sprite {

// States: 0 disabled (ignores the mouse), 1 normal, 2 hover, 3 selected, 4 selected hover, 5 pressed,
// 6 selected pressed. Each state shows a frame of the sheet; a frame of -1 hides the button in that
// state. A new button is neither visible nor shown. The press test and hover ignore visibility: a
// hidden hot zone (RectButtonSprite) works through them.
class ButtonSprite : public AnimateSprite {
public:
    static constexpr int kStates = 7;
    static constexpr int kDisabled = 0;
    static constexpr int kNormal = 1;
    static constexpr int kHover = 2;
    static constexpr int kSelected = 3;
    static constexpr int kSelectedHover = 4;
    static constexpr int kPressed = 5;
    static constexpr int kSelectedPressed = 6;

    ButtonSprite();
    ~ButtonSprite() override;

    LANG_CLASS_NAME(ButtonSprite, AnimateSprite)
    LANG_DECLARE_CLASS_RECORD(ButtonSprite);

    // Numbers 0-1 position, 2-3 sheet columns and rows, 4-6 frames for hover, normal and disabled
    // (selected states hidden, pressed = hover); numbers[7], when given, is the initial state.
    void init(window::ImageArray* images, lang::IntArray* numbers) override;
    // Hiding a button that is not disabled first puts it in state 0.
    void setVisible(bool visible) override;
    // With rectHit, the bounds; otherwise whether the current frame's pixel there is not transparent.
    bool containsPoint(int px, int py) override;
    Sprite* clone() override;
    // Drops a hover or pressed look first (2 and 5 go to 1, 4 and 6 to 3).
    void unloadImage() override;

    // Updates the hover look; answers whether the point is over the (enabled) button.
    virtual bool hover(int x, int y);
    // True: the command fires now. False: the button fires on release and shows its pressed look.
    virtual bool press();
    // Drops the pressed look; answers whether the release is over the enabled button.
    virtual bool releaseAt(int x, int y);
    virtual bool pressTest(int x, int y);
    virtual bool pixelPressTest(int x, int y);

    // States outside 0..6 are ignored.
    void setState(int state);
    int getState() const { return state_; }
    int getStateFrame(int state) const;
    // Hover, normal, disabled, selected, selected-hover (-1: the selected frame), pressed (-2: the hover
    // frame), selected-pressed (-2: the selected-hover frame).
    void setStateFrames(int hover, int normal, int disabled, int selected, int selectedHover, int pressed,
                        int selectedPressed);
    void setRectHit(bool on) { rectHit_ = on; }
    void setFireOnRelease(bool on) { fireOnRelease_ = on; }
    bool firesOnRelease() const { return fireOnRelease_; }
    bool isPressed() const { return pressed_; }

protected:
    void copyButtonTo(ButtonSprite& other) const;

    int32_t stateFrames_[kStates] = {-1, -1, -1, -1, -1, -1, -1};
    std::atomic<int32_t> state_{0};
    bool rectHit_ = true;
    bool fireOnRelease_ = false;
    std::atomic<bool> pressed_{false};
};

}  // namespace sprite
