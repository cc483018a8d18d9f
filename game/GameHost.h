// GameHost: what the game's dialogs ask of the game around them (the canvas implements it).
#pragma once

#include <string>

#include "lang/Object.h"
#include "lang/String.h"

class PlayerData;

namespace util {
class Random;
}

// The dialogs are made by the definition loader, before the game's canvas has its scene; the canvas
// hands itself over as their host once the scene is built (GameDialog::setHost). The host outlives
// every dialog of its scene, so dialogs keep it without a reference. Every call may come from the
// input thread (routing) or the render thread (frame steps, the tally).
class GameHost {
public:
    virtual ~GameHost() = default;

    // The one player-data object of the game.
    virtual PlayerData* playerData() = 0;
    // The generator every random rule of the dialogs draws from.
    virtual util::Random* random() = 0;
    // The text of a string-table entry, or "" when the archive has none.
    virtual std::string text(const char* id) = 0;
    // The canvas's sound table, by index.
    virtual void playSound(int index) = 0;
    virtual void stopSound(int index) = 0;
    // The canvas's named-action handler, run now on the calling thread.
    virtual void runAction(lang::Object* source, const lang::String& label) = 0;
    // The sound front-end's effects volume (0..255).
    virtual void setEffectsVolume(int volume) = 0;
    virtual bool isFullScreen() = 0;
    // Switches the frame to full screen or back to a window.
    virtual void setFullScreen(bool on) = 0;
};
