// TutorialDialog: the tutorial pop-ups: 23 pages, each due on its level, each seen once per player.
#pragma once

#include <array>
#include <set>
#include <string>

#include "game/GameDialog.h"

// Data list: numbers 0..22 are the level each page is due on; then, per page p, three numbers from
// index 23 + 3p: the arrow shown (1..4, 0 none) and its x, y in the dialog; then the text's distance
// below the title and the wrap width of title and text (missing numbers: no arrow, a distance of two
// title lines, the background's width less the margins).
//
// A page is done for the current player when the mark "TUT" + page is 1. Otherwise pages 5 and 14,
// and a page on its due level, are done only once shown to this player since the program started;
// on any other level a page is done. Offering a page shows it (unless "SHOW_TUTS" is 0) and marks it
// seen. Pages 4 and 6 do not exist: offering them shows nothing.
//
// The canvas places the dialog in the sprite order; the dialog places its arrow. Escape and Enter both
// press "btn_tutorialClose", which the game handles (it records the page and closes the tutorial).
class TutorialDialog : public GameDialog {
public:
    static constexpr int kPages = 23;
    static constexpr int kNoPage = -1;
    static constexpr int kArrows = 4;

    TutorialDialog();
    ~TutorialDialog() override;

    LANG_CLASS_NAME(TutorialDialog, GameDialog)
    LANG_DECLARE_CLASS_RECORD(TutorialDialog);

    // The string-table id of a page's text (its title is the id + "_TITLE"), or null for pages that
    // do not exist.
    static const char* textId(int page);
    // The power-piece page for a board value (2000 and up, by thousands band), or kNoPage.
    static int powerPage(int boardValue);

    int page() const { return page_; }
    bool isShowing() { return isVisible() && page_ != kNoPage; }
    int dueLevel(int page) const;
    // Whether the page needs no showing to the current player on this level.
    bool isPageDone(int page, int level);
    // Tutorials are on and the page is not done.
    bool isDue(int page, int level);

    // Shows the page (answers false when tutorials are off or the page does not exist) with its arrow
    // where the data puts it; marks it seen.
    bool offerPage(int page);
    // The same, with the arrow's data position taken relative to a canvas point (a piece on the board).
    bool offerPageAt(int page, int x, int y);
    // Offers the page only when it is due on this level; answers whether it was shown.
    bool offerIfDue(int page, int level);
    bool offerIfDueAt(int page, int level, int x, int y);
    // Marks the page on the dialog seen by the current player.
    void recordSeen();
    // Page none, arrows hidden, dialog hidden.
    void close();
    // Re-reads the player: a change of player forgets which pages were shown to the one before.
    void reset();

protected:
    void setUpDialog() override;
    const char* closeButtonName() const override { return "btn_tutorialClose"; }
    const char* defaultButtonName() const override { return "btn_tutorialClose"; }

private:
    bool showPage(int page, bool atPoint, int x, int y);
    void hideArrows();
    std::string player();

    std::array<int, kPages> dueLevels_{};
    std::array<lang::Ref<sprite::Sprite>, kArrows> arrows_;
    lang::Ref<sprite::NewFontSprite> title_;
    lang::Ref<sprite::NewFontSprite> text_;
    int page_ = kNoPage;
    // Pages shown since the program started, for the player named here.
    std::string shownPlayer_;
    std::set<int> shownThisRun_;
};
