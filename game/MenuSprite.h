// MenuSprite: the main menu: its buttons, the welcome line, and the rain and sun of its picture.
#pragma once

#include <string>
#include <vector>

#include "game/GameDialog.h"
#include "util/Random.h"

namespace window {
class AudioClip;
}

// The menu's weather runs in its frame step while it is visible: 50 drops and 25 streaks fall across
// the picture, and now and then the sun ("isunaffect") breaks through, silencing the ambient rain
// clip and thinning the drops until it fades again. Every random choice draws from the menu's own
// generator.
//
// Presses: "bStart1", "bMenuOptions", "bMenuInstructions", "bMenuExit" and "upsellQB" pass up as
// they are; "bChangePlayerHotSpot", "ChangePlayer" and "ProfileName" (and a press inside the welcome
// line) become "ChangeProfile". Enter presses "bStart1"; the main menu has nothing to close, so
// Escape is not used by it.
class MenuSprite : public GameDialog {
public:
    static constexpr int kDrops = 50;
    static constexpr int kStreaks = 25;
    // Decoration waits here, just below the 600-pixel game area, until it starts again.
    static constexpr int kParkY = 610;

    MenuSprite();
    ~MenuSprite() override;

    LANG_CLASS_NAME(MenuSprite, GameDialog)
    LANG_DECLARE_CLASS_RECORD(MenuSprite);

    // "ProfileName" shows "Welcome, " and the name, and is shown.
    void setProfileName(const std::string& name);
    // The clip of the rain (referenced; null for none): by default the first clip of the menu's own
    // sound list. It loops while the menu shows and the sun is hidden, and stops when the menu hides.
    void setAmbientClip(window::AudioClip* clip);
    window::AudioClip* ambientClip() const { return ambient_.get(); }
    // Seeds the weather's generator (tests).
    void seedWeather(uint32_t seed);
    // One frame of the weather; the frame step runs it while the menu is visible.
    void weatherStep();
    bool sunShowing();

    void setVisible(bool visible) override;
    bool update(int frame, util::RectangleNM* out, util::Region* region) override;
    int mouseDown(window::Event* event) override;

protected:
    void setUpDialog() override;
    int translateCommand(lang::String* out, const lang::String& command) override;
    const char* defaultButtonName() const override { return "bStart1"; }

private:
    void startSun();
    void endSun();
    void restartDrop(sprite::AnimateSprite* drop, int sunAlpha);
    void restartStreak(sprite::AnimateSprite* streak);

    util::Random random_;
    lang::Ref<window::AudioClip> ambient_;
    std::vector<lang::Ref<sprite::AnimateSprite>> drops_;
    std::vector<lang::Ref<sprite::AnimateSprite>> streaks_;
    // Frames until the sun may break through; frames the sun stays up once fully shown (-1: not yet).
    int sunCountdown_ = 0;
    int sunStay_ = -1;
    bool sunRising_ = false;
};
