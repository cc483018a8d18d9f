// OptionsSprite: the options: music and effects volume knobs, full screen, tutorials, credits.
#pragma once

#include <atomic>

#include "game/GameDialog.h"

namespace window {
class AudioClip;
}

// The data list gives the effects knob's track origin (x, y), then the music knob's. A knob's x on
// its track is its volume: origin x + 0..255. A knob is dragged with the mouse (a press on its track
// beside it brings it there and starts the drag) or turned with the wheel over its track (kWheelStep
// per notch); either way the sound follows at once and its test clip plays.
// Closing ("bOptionsClose", Escape, Enter) stores both volumes and answers "closed"; the game then
// applies them. The full-screen mark ("bFullScreen") shows whether the frame is in full screen, looked
// at every frame, since the frame switches on its own thread some time after it is asked; the switch
// is stored ("FULLSCREEN", in the profile and the program key) once the frame has made it.
// "bCredits" shows the credits ("creditsbackground" with "btnclosecredits"); while they
// show, only their close button acts (Escape and Enter press it).
class OptionsSprite : public GameDialog {
public:
    static constexpr int kWheelStep = 8;
    static constexpr int kMaxVolume = 255;

    OptionsSprite();
    ~OptionsSprite() override;

    LANG_CLASS_NAME(OptionsSprite, GameDialog)
    LANG_DECLARE_CLASS_RECORD(OptionsSprite);

    // The effects knob's test clip is the dialog's own: the first clip of its sound list.
    // The in-game music, the music knob's test clip (referenced; null for none).
    void setMusicTestClip(window::AudioClip* music);
    // Both test clips at once, referenced; either may be null.
    void setTestClips(window::AudioClip* music, window::AudioClip* effects);
    // Before the options show: knobs at the stored volumes, the tutorials mark, the full-screen mark,
    // the credits hidden.
    void load();
    int musicVolume();
    int effectsVolume();
    bool isDragging() const { return dragKnob_ != kNoKnob; }

    int pressButton(const lang::String& name) override;
    int handleCommand(const lang::String& command) override;
    int mouseDown(window::Event* event) override;
    int mouseUp(window::Event* event) override;
    bool mouseMove(window::Event* event) override;
    int mouseWheel(window::Event* event) override;
    // Each frame: the full-screen mark follows the frame's full-screen state (see refreshFullScreen).
    bool update(int frame, util::RectangleNM* out, util::Region* region) override;

protected:
    void setUpDialog() override;
    // With the credits up, Escape closes the credits first.
    const char* closeButtonName() const override {
        return creditsShown_ ? "btnclosecredits" : "bOptionsClose";
    }
    const char* defaultButtonName() const override {
        return creditsShown_ ? "btnclosecredits" : "bOptionsClose";
    }

private:
    static constexpr int kNoKnob = -1;
    static constexpr int kNoSwitch = -1;
    static constexpr int kEffects = 0;
    static constexpr int kMusic = 1;

    struct Knob {
        lang::Ref<sprite::Sprite> sprite;
        int originX = 0;
        int originY = 0;
    };
    // Puts the knob at origin + volume (clamped) and applies the volume: effects to the sound
    // front-end with its test clip playing, music to its test clip, looping.
    void setKnob(int knob, int volume, bool audition);
    int knobVolume(int knob);
    int knobAt(int x, int y);
    // The knob whose track holds the point (dialog coordinates), or kNoKnob.
    int trackAt(int x, int y);
    void stopTestClips();
    // Asks the frame for the other screen mode; the frame switches on its own thread.
    void toggleFullScreen();
    // Shows the mark as the frame is now, and stores "FULLSCREEN" once the switch asked for is done.
    void refreshFullScreen();
    void toggleTutorials();
    void close();
    void showCredits(bool on);

    Knob knobs_[2];
    lang::Ref<window::AudioClip> musicClip_;
    lang::Ref<window::AudioClip> effectsClip_;
    int dragKnob_ = kNoKnob;
    int grabOffset_ = 0;
    bool creditsShown_ = false;
    // The full-screen switch asked for and not yet seen done: 1 on, 0 off, kNoSwitch none. Asked on the
    // input thread, seen done on the render thread.
    std::atomic<int> fullScreenAsked_{kNoSwitch};
};
