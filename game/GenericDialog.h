// GenericDialog: the yes/no question and the notice of the profile chooser.
#pragma once

#include <string>

#include "game/GameDialog.h"

// Confirm mode shows "b1Delete" (the default) and "b2Cancel"; notice mode "b1OK" alone. A press hides
// the dialog and passes up the command given for that button (its own name when none was given).
// The message ("messageText") and the name ("messageName") are placed by their measured heights, the
// name below the message, so that neither is drawn over the other whatever their lengths.
class GenericDialog : public GameDialog {
public:
    static constexpr int kConfirm = 0;
    static constexpr int kNotice = 1;

    GenericDialog();
    ~GenericDialog() override;

    LANG_CLASS_NAME(GenericDialog, GameDialog)
    LANG_DECLARE_CLASS_RECORD(GenericDialog);

    // Sets the mode, the title frame, the message and the name, and shows the dialog.
    void showMessage(int mode, int titleFrame, const std::string& message, const std::string& name);
    // The commands the delete and cancel buttons of confirm mode give.
    void setConfirmCommands(const char* confirm, const char* cancel);
    int pressButton(const lang::String& name) override;
    int mode() const { return mode_; }

protected:
    void setUpDialog() override;
    const char* closeButtonName() const override { return mode_ == kConfirm ? "b2Cancel" : "b1OK"; }
    const char* defaultButtonName() const override { return mode_ == kConfirm ? "b1Delete" : "b1OK"; }

private:
    void stackMessage(sprite::NewFontSprite* text, sprite::NewFontSprite* name);

    int mode_ = kNotice;
    std::string confirmCommand_;
    std::string cancelCommand_;
};
