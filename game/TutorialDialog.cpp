// TutorialDialog: the page table, when a page is due, and showing a page with its arrow.
#include "game/TutorialDialog.h"

#include "game/PlayerData.h"
#include "game/rules/BoardIds.h"
#include "sprite/NewFontSprite.h"

LANG_DEFINE_CLASS_RECORD(TutorialDialog);

namespace {

constexpr const char* kTextIds[TutorialDialog::kPages] = {
    "IDS_STRING_GENERALGAMEPLAY",
    "IDS_STRING_TURNTOGOLD",
    "IDS_STRING_AFTERTENMATCHES",
    "IDS_STRING_TIMEREXPLANATION",
    nullptr,
    "IDS_STRING_GOLDSUNONCONSOLEEXPLANATION",
    nullptr,
    "IDS_STRING_NOWAITSWAPPING",
    "IDS_STRING_TUT_AREABLAST",
    "IDS_STRING_TUT_RANDOMBLAST",
    "IDS_STRING_TUT_COLUMNBLAST",
    "IDS_STRING_TUT_ROWBLAST",
    "IDS_STRING_TUT_CROSSHAIRBLAST",
    "IDS_STRING_TUT_COLORBLAST",
    "IDS_STRING_TUT_CLOCK",
    "IDS_STRING_TUT_DRAGONFLY",
    "IDS_STRING_BONUSLEVELEXPLANATION",
    "IDS_STRING_COBWEBEXLANATION",
    "IDS_STRING_TWOVINEEXPLANATION",
    "IDS_STRING_ONEVINEEXPLANATION",
    "IDS_STRING_DOUBLESTANDARDTILEEXPLANATION",
    "IDS_STRING_TRIPLESTANDARDTILEEXPLANATION",
    "IDS_STRING_NOMOVES_BUTHAVESUNS",
};

// The power pieces' thousands bands, from 2000 up, and their pages.
constexpr int kPowerPages[] = {board::kPageDragonfly,   board::kPageAreaBlast,   board::kPageRowBlast,
                                board::kPageCrosshair,   board::kPageColourBlast, board::kPageClock,
                                board::kPageColumnBlast, board::kPageRandomBlast};

// Pages that are due on every level until shown: the console sun and the clock.
bool dueEverywhere(int page) {
    return page == board::kPageConsoleSun || page == board::kPageClock;
}

// Where the data list keeps a page's arrow, and the layout numbers after the arrows.
constexpr int kArrowData = TutorialDialog::kPages;
constexpr int kTextGapData = kArrowData + 3 * TutorialDialog::kPages;
constexpr int kWrapData = kTextGapData + 1;
constexpr int kMargin = 20;

}  // namespace

TutorialDialog::TutorialDialog() = default;
TutorialDialog::~TutorialDialog() = default;

const char* TutorialDialog::textId(int page) {
    return page >= 0 && page < kPages ? kTextIds[page] : nullptr;
}

int TutorialDialog::powerPage(int boardValue) {
    if (boardValue < 2000)
        return kNoPage;
    const int band = boardValue / 1000 - 2;
    return kPowerPages[band < 7 ? band : 7];
}

void TutorialDialog::setUpDialog() {
    for (int p = 0; p < kPages; ++p)
        dueLevels_[static_cast<size_t>(p)] = dataAt(p, 0);
    for (int i = 0; i < kArrows; ++i)
        arrows_[static_cast<size_t>(i)] = child(("tutorialarrow" + std::to_string(i + 1)).c_str());
    stopFrameAnimation(button("btn_tutorialClose").get());
    // "tutorialfont" is the look of the page's words: the title and the text are copies of it.
    lang::Ref<sprite::NewFontSprite> proto = font("tutorialfont");
    if (proto && !title_) {
        proto->setVisible(false);
        auto copy = [&](const char* name) {
            lang::Ref<sprite::Sprite> s = lang::adopt(proto->clone());
            if (!s || !s->instanceOf("NewFontSprite"))
                return lang::Ref<sprite::NewFontSprite>();
            addChild(name, s.get());
            return lang::Ref<sprite::NewFontSprite>::share(static_cast<sprite::NewFontSprite*>(s.get()));
        };
        title_ = copy("tutorialtitle");
        text_ = copy("tutorialtext");
    }
    close();
}

int TutorialDialog::dueLevel(int page) const {
    return page >= 0 && page < kPages ? dueLevels_[static_cast<size_t>(page)] : 0;
}

std::string TutorialDialog::player() {
    PlayerData* data = host() != nullptr ? host()->playerData() : nullptr;
    return data != nullptr ? data->currentProfile() : std::string();
}

void TutorialDialog::reset() {
    std::string now = player();
    if (now != shownPlayer_) {
        shownPlayer_ = now;
        shownThisRun_.clear();
    }
}

bool TutorialDialog::isPageDone(int page, int level) {
    if (textId(page) == nullptr)
        return true;
    reset();
    PlayerData* data = host() != nullptr ? host()->playerData() : nullptr;
    if (data != nullptr && data->tutorialSeen(page))
        return true;
    if (dueEverywhere(page) || level == dueLevel(page))
        return shownThisRun_.count(page) != 0;
    return true;
}

bool TutorialDialog::isDue(int page, int level) {
    PlayerData* data = host() != nullptr ? host()->playerData() : nullptr;
    if (data != nullptr && !data->showTutorials())
        return false;
    return !isPageDone(page, level);
}

bool TutorialDialog::offerPage(int page) {
    return showPage(page, false, 0, 0);
}

bool TutorialDialog::offerPageAt(int page, int x, int y) {
    return showPage(page, true, x, y);
}

bool TutorialDialog::offerIfDue(int page, int level) {
    return isDue(page, level) && showPage(page, false, 0, 0);
}

bool TutorialDialog::offerIfDueAt(int page, int level, int x, int y) {
    return isDue(page, level) && showPage(page, true, x, y);
}

void TutorialDialog::hideArrows() {
    for (const lang::Ref<sprite::Sprite>& arrow : arrows_)
        show(arrow.get(), false);
}

bool TutorialDialog::showPage(int page, bool atPoint, int x, int y) {
    const char* id = textId(page);
    if (id == nullptr)
        return false;
    PlayerData* data = host() != nullptr ? host()->playerData() : nullptr;
    if (data != nullptr && !data->showTutorials())
        return false;
    hideArrows();
    lang::Ref<sprite::Sprite> background = child("itutorialbackground");
    const int width = background ? background->getWidth() : getWidth();
    const int wrap = dataAt(kWrapData, width - 2 * kMargin);
    if (title_) {
        title_->setText(host() != nullptr ? host()->text((std::string(id) + "_TITLE").c_str()).c_str() : "");
        title_->wrapToWidth(wrap);
        title_->setVisible(true);
    }
    if (text_) {
        text_->setText(host() != nullptr ? host()->text(id).c_str() : "");
        text_->wrapToWidth(wrap);
        const int gap = title_ ? dataAt(kTextGapData, 2 * title_->getHeight()) : 0;
        if (title_)
            text_->setLocation(title_->getX(), title_->getY() + gap);
        text_->setVisible(true);
    }
    const int base = kArrowData + 3 * page;
    const int arrow = dataAt(base, 0);
    if (arrow >= 1 && arrow <= kArrows) {
        if (sprite::Sprite* a = arrows_[static_cast<size_t>(arrow - 1)].get()) {
            int ax = dataAt(base + 1), ay = dataAt(base + 2);
            if (atPoint) {
                ax += x - getX();
                ay += y - getY();
            }
            a->setLocation(ax, ay);
            a->setVisible(true);
        }
    }
    page_ = page;
    reset();
    shownThisRun_.insert(page);
    if (data != nullptr)
        data->markTutorialSeen(page);
    setVisible(true);
    return true;
}

void TutorialDialog::recordSeen() {
    if (textId(page_) == nullptr)
        return;
    reset();
    shownThisRun_.insert(page_);
    if (PlayerData* data = host() != nullptr ? host()->playerData() : nullptr)
        data->markTutorialSeen(page_);
}

void TutorialDialog::close() {
    page_ = kNoPage;
    hideArrows();
    setVisible(false);
}
