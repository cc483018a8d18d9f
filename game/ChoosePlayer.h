// ChoosePlayer: the profile chooser: the list of players, creating, deleting and choosing one.
#pragma once

#include <string>
#include <vector>

#include "game/GameDialog.h"

class GenericDialog;
class ProfileInputPrompt;

// Its data list: the rows' x, first y and step, their tint (three levels), then the row buttons'
// selected and selected-hover frames.
//
// Its commands arrive through the canvas's command handler (handleCommand), whether a button of the
// chooser, of its prompt or of its question produced them. Choosing a player makes it the current
// profile of the player data and hands "profile:" and the name to the game.
//
// Keys: the prompt and the question take keys first while they show; otherwise Tab moves the focus
// from the list to "acceptProfile", "createNewProfile", "deleteProfile" and back, the arrow keys move
// the selection in the list, and Enter presses the focused button (in the list: "acceptProfile").
class ChoosePlayer : public GameDialog {
public:
    static constexpr int kRows = 5;
    static constexpr int kMaxProfiles = 5;

    ChoosePlayer();
    ~ChoosePlayer() override;

    LANG_CLASS_NAME(ChoosePlayer, GameDialog)
    LANG_DECLARE_CLASS_RECORD(ChoosePlayer);

    // Before the chooser shows: selects the given name (or none) and refreshes the list.
    void prepare(const std::string& currentName);
    void refreshList();
    void showSelectionButtons(bool on);
    int handleCommand(const lang::String& command) override;

    const std::string& selectedName() const { return selected_; }
    const std::vector<std::string>& names() const { return names_; }
    // The focus of the keyboard: 0 the list, then the three buttons.
    int focus() const { return focus_; }

protected:
    void setUpDialog() override;
    int keyPressed(window::Event* event) override;
    const char* defaultButtonName() const override;

private:
    void selectRow(int row);
    void ask(int mode, const std::string& message, const std::string& name);
    void choose(const std::string& name);
    std::string text(const char* id);
    ProfileInputPrompt* prompt();
    GenericDialog* question();

    std::vector<std::string> names_;
    std::string selected_;
    std::vector<lang::Ref<sprite::Sprite>> rows_;
    int focus_ = 0;
};
