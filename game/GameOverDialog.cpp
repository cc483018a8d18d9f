// GameOverDialog: either button hides the dialog and passes its name up.
#include "game/GameOverDialog.h"

LANG_DEFINE_CLASS_RECORD(GameOverDialog);

GameOverDialog::GameOverDialog() = default;
GameOverDialog::~GameOverDialog() = default;

int GameOverDialog::pressButton(const lang::String& name) {
    if (!name.equals("retry") && !name.equals("OverMenu"))
        return kHandled;
    setVisible(false);
    command_ = name;
    return kCommand;
}
