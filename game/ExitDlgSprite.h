// ExitDlgSprite: the in-game menu opened from the console: options, instructions, map, end game.
#pragma once

#include "game/GameDialog.h"

// "bMenuOptionsFromExit", "bMenuInstructionsFromExit", "mapbutton" and "EndGame" pass up to the game;
// "ExitClose" hides the dialog and answers "closed". Escape and Enter both press "ExitClose": back to
// the game is the safe choice.
class ExitDlgSprite : public GameDialog {
public:
    ExitDlgSprite();
    ~ExitDlgSprite() override;

    LANG_CLASS_NAME(ExitDlgSprite, GameDialog)
    LANG_DECLARE_CLASS_RECORD(ExitDlgSprite);

    int pressButton(const lang::String& name) override;

protected:
    const char* closeButtonName() const override { return "ExitClose"; }
    const char* defaultButtonName() const override { return "ExitClose"; }
};
