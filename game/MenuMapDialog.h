// MenuMapDialog: the scrolling level map with its 60 markers, the selected level and the console.
#pragma once

#include <vector>

#include "game/GameDialog.h"

// The markers' stored positions are in the map picture's coordinates; they move with the picture as
// it scrolls, and so do the selected-level marker and the frog's shadow. A level can be selected when
// it lies in 1..min(highest reached + 1, 60); every way of selecting (arrows, markers, the stored
// value) keeps to that range.
class MenuMapDialog : public GameDialog {
public:
    static constexpr int kLevels = 60;
    static constexpr int kScrollStep = 20;
    static constexpr int kMapMinX = -1600;
    static constexpr int kIntroFrames = 974;

    MenuMapDialog();
    ~MenuMapDialog() override;

    LANG_CLASS_NAME(MenuMapDialog, GameDialog)
    LANG_DECLARE_CLASS_RECORD(MenuMapDialog);

    // Reads the highest level and the selection from the player data and shows the map for them.
    void prepare();
    // The highest level can be given directly (tests, or before the player data is written).
    void prepareFor(int highestLevel, int selected);
    int selectedLevel() const { return selected_; }
    int highestLevel() const { return highest_; }
    int lastSelectable() const;
    bool canSelect(int level) const { return level >= 1 && level <= lastSelectable(); }
    // Selects a level that can be selected: stores it, moves the marker, and with `scroll` centres the
    // map on it.
    bool selectLevel(int level, bool scroll = true);
    // The intro runs this many frames when the map is opened from the main menu.
    void setIntroCountdown(int frames) { introCountdown_ = frames; }
    // The pointer's position each frame; scrolling stops when it leaves the game area.
    void pointerAt(int x, int y);
    // Plays the completion animation of a level's marker.
    void markLevelCompleted(int level);
    int mapX();
    bool isScrolling() const { return scrollDirection_ != 0; }

    int mouseDown(window::Event* event) override;
    int mouseUp(window::Event* event) override;
    int pressButton(const lang::String& name) override;
    bool update(int frame, util::RectangleNM* out, util::Region* region) override;

protected:
    void setUpDialog() override;
    const char* closeButtonName() const override { return "bbacktomainmenu"; }
    const char* defaultButtonName() const override { return "bstartgame"; }

private:
    struct Marker {
        lang::Ref<sprite::Sprite> sprite;
        int x = 0;
        int y = 0;
    };
    void updateArrowsAndNumbers();
    void placeMap(int x);
    void centreOn(int level);
    int markerAt(int x, int y);
    void storeSelection();

    std::vector<Marker> markers_;  // index 0 is level 1
    int offsetX_ = 0;
    int offsetY_ = 0;
    int selected_ = 1;
    int highest_ = 0;
    int mapOriginX_ = 0;
    int scrollDirection_ = 0;  // 1 right, -1 left
    int introCountdown_ = 0;
    int clickCount_ = 0;
    int pulseFrame_ = 0;
};
