// ProfileInputPrompt: the name prompt of the profile chooser.
#pragma once

#include <string>

#include "game/GameDialog.h"

// The "name" text takes the typed characters: at most kMaxNameLength, each a letter (accented letters
// 192-255 included), a digit, a space, "-" or ".". "submitNewProfile" is enabled exactly while the name
// is not empty. Enter submits (or cancels when submitting is not possible), Escape cancels.
class ProfileInputPrompt : public GameDialog {
public:
    static constexpr int kMaxNameLength = 7;

    ProfileInputPrompt();
    ~ProfileInputPrompt() override;

    LANG_CLASS_NAME(ProfileInputPrompt, GameDialog)
    LANG_DECLARE_CLASS_RECORD(ProfileInputPrompt);

    // Without profiles there is nothing to cancel to: the cancel button is hidden and the submit
    // button centred. Clears the name and shows the prompt.
    void showPrompt(bool profilesExist);
    // The typed name as it stands.
    std::string name();

protected:
    void setUpDialog() override;
    int keyPressed(window::Event* event) override;
    const char* closeButtonName() const override { return "cancelAddProfile"; }
    const char* defaultButtonName() const override;

private:
    void updateSubmit();

    int submitX_ = 0;
    bool submitEnabled_ = false;
};
