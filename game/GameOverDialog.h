// GameOverDialog: game over, with "retry" and "OverMenu".
#pragma once

#include "game/GameDialog.h"

// Either button hides the dialog and passes its name up. Enter retries; Escape goes back to the menu.
class GameOverDialog : public GameDialog {
public:
    GameOverDialog();
    ~GameOverDialog() override;

    LANG_CLASS_NAME(GameOverDialog, GameDialog)
    LANG_DECLARE_CLASS_RECORD(GameOverDialog);

    int pressButton(const lang::String& name) override;

protected:
    const char* closeButtonName() const override { return "OverMenu"; }
    const char* defaultButtonName() const override { return "retry"; }
};
