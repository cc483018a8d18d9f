// InstructDialog: the instructions, turned page by page.
#pragma once

#include "game/GameDialog.h"

// Pages are the children "pg1", "pg2", ... up to the first missing name. Opening shows the first page
// and hides every other one, however many there are. The arrow keys turn the pages as the two
// buttons do; Enter turns to the next page (closing on the last), Escape closes.
class InstructDialog : public GameDialog {
public:
    static constexpr int kFadeFrames = 10;

    InstructDialog();
    ~InstructDialog() override;

    LANG_CLASS_NAME(InstructDialog, GameDialog)
    LANG_DECLARE_CLASS_RECORD(InstructDialog);

    // Turns to the first page.
    void open();
    int page() const { return page_; }
    int pageCount() const { return pageCount_; }

    int pressButton(const lang::String& name) override;

protected:
    void setUpDialog() override;
    int keyPressed(window::Event* event) override;
    const char* closeButtonName() const override { return "bInstructionsClose"; }
    const char* defaultButtonName() const override;

private:
    lang::Ref<sprite::Sprite> pageSprite(int page);
    void turnTo(int page);
    void updateButtons();

    int page_ = 1;
    int pageCount_ = 0;
    bool nextEnabled_ = false;
};
