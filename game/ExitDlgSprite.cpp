// ExitDlgSprite: the in-game menu's buttons.
#include "game/ExitDlgSprite.h"

LANG_DEFINE_CLASS_RECORD(ExitDlgSprite);

ExitDlgSprite::ExitDlgSprite() = default;
ExitDlgSprite::~ExitDlgSprite() = default;

int ExitDlgSprite::pressButton(const lang::String& name) {
    if (name.equals("ExitClose")) {
        setVisible(false);
        return kClosed;
    }
    if (name.equals("bMenuOptionsFromExit") || name.equals("bMenuInstructionsFromExit") ||
        name.equals("mapbutton") || name.equals("EndGame")) {
        command_ = name;
        return kCommand;
    }
    return kHandled;
}
