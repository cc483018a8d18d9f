// KolbaxCanvas: input in play: picks and drags on the board, the console sun, hover previews, the
// pause key and the pause sign, and the loss of focus.
#include <cstdio>

#include "game/GamePieceSprite.h"
#include "game/KolbaxBoardView.h"
#include "game/KolbaxCanvas.h"
#include "sprite/ButtonSprite.h"
#include "window/Cursor.h"

namespace {

bool under(sprite::Sprite* s, int x, int y) {
    return s != nullptr && s->isVisible() && s->containsPoint(x, y);
}

}  // namespace

void KolbaxCanvas::onDeactivate() {
    // Window thread: never waits for the canvas lock; the input thread acts on the label.
    if (!accepting())
        return;
    auto label = lang::make<lang::String>(kFocusLostLabel);
    auto event = lang::make<window::Event>(label.get(), nullptr);
    enqueueEvent(event.get());
}

void KolbaxCanvas::exitGame() {
    {
        lang::Synchronized guard(this, true);
        sendReport(GamePlayReport::kExit);
    }
    // Posts the close to the window thread and returns: the frame stops the canvas from there, never
    // from this thread, which may be the input thread holding the canvas lock.
    GameCanvas2::exitGame();
}

void KolbaxCanvas::resumeFromPause() {
    lang::Synchronized guard(this, true);
    show("dim", false);
    show("pausesign", false);
    paused_ = false;
    if (state_ == kPaused) {
        previousState_ = state_;
        state_ = pausedState_;
    }
    if (boardActive() && levelInProgress_)
        switchMusic(kMusicNone, bonusLevel_ ? kMusicBonus : kMusicInGame);
}

void KolbaxCanvas::togglePause() {
    if (!paused_) {
        // Only an actual pause silences the music: nothing would bring it back otherwise.
        if (anyScreenShowing())
            return;
        paused_ = true;
        if (boardActive()) {
            fadeAllClips(kMusicFadeFrames);
            pausedState_ = state_;
            state_ = kPaused;
            pauseBoard();
        }
        return;
    }
    if (!anyScreenShowing())
        resumeFromPause();
}

void KolbaxCanvas::sendSunBack() {
    board_.putSunBack();
    view_->hideSunCursor();
}

void KolbaxCanvas::openExitDialog() {
    // Closing the menu ("CLOSED") returns to the state it was opened from.
    previousState_ = state_;
    paused_ = true;
    for (const char* name : {"dim", "ExitDialog"})
        if (sprite::Sprite* s = named(name)) {
            placeBelow(s, "ipicketfence3");
            s->setVisible(true);
        }
}

bool KolbaxCanvas::boardClick(int x, int y, bool dragging) {
    if (anyScreenShowing() || initialShowPhase_ || levelCompleteCountdown_ > 0 || state_ == kGameOver ||
        state_ == kLevelComplete || !levelInProgress_)
        return false;
    // The model's view of what covers the board is the last frame's; the click sees it as it is now.
    updateDialogShown();
    if (board_.bonusLevel()) {
        if (tutorialShowing() || board_.bonusClicksLeft() < 1 || board_.bonusBlastRunning())
            return false;
        if (view_->hasBonusBlocks()) {
            const int block = view_->bonusBlockUnder(x, y);
            if (block < 0)
                return false;
            board_.pickBonusBlock(block / 6, block % 6);
            return true;
        }
        // A scene without block pictures: the grid spreads over the board's area.
        BoardSquare sq = view_->squareUnder(x, y);
        if (sq.x == board::kNone)
            return false;
        board_.pickBonusBlock(sq.y * 6 / board::kRows, sq.x * 6 / board::kColumns);
        return true;
    }
    int id = view_->pieceUnder(x, y);
    BoardSquare sq = view_->squareUnder(x, y);
    if (board_.sunCarried()) {
        // A carried sun goes onto the tile under the pointer; the model decides whether it takes it.
        if (sq.x == board::kNone)
            return false;
        board_.pickPiece(sq.x, sq.y);
        return true;
    }
    if (id == board::kNone)
        return false;
    GamePieceSprite* piece = pieceSprite(id);
    if (shown("inomoremoves")) {
        GameCanvas::playSound(kSoundRefused);
        return false;
    }
    const int px = piece->squareX();
    const int py = piece->squareY();
    if (!board::onBoard(px, py))
        return false;
    const int tile = board_.tileType(px, py);
    if (tile == board::kTileCobweb || board::isVineTile(tile)) {
        GameCanvas::playSound(kSoundRefused);
        return false;
    }
    // A drag over the picked piece only keeps the drag going.
    if (dragging && board_.selectedPiece() == board_.pieceId(px, py))
        return false;
    if (tutorialShowing())
        playedUnderTutorial_ = true;
    board_.pickPiece(px, py);
    if (board_.state() == kResolving) {
        // An accepted swap closes the explanation on show; ten swaps into level 1 the next lesson is due.
        show("itutorial", false);
        playedUnderTutorial_ = false;
        if (level_ == 1 && board_.swapCount() > 9)
            offerTutorial(board::kPageAfterTenSwaps);
    }
    syncBoardState();
    return true;
}

bool KolbaxCanvas::onMouseDown(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) {
    std::printf("KolbaxCanvas::OnMouseDown %d,%d\n", event->x, event->y);
    bool result = GameCanvas2::onMouseDown(event, target, command);
    std::printf("super::OnMouseDown returned %d %s\n", result ? 1 : 0, command->chars());
    lang::Synchronized guard(this, true);
    pointerX_ = event->x;
    pointerY_ = event->y;
    dragPending_ = false;
    if (levelCompleteCountdown_ > 0 || bonusCompleteCountdown_ > 0)
        return result;
    if (shown("pausesign")) {
        // A click anywhere only resumes.
        resumeFromPause();
        return false;
    }
    // The console's two buttons are the game's own: the routing may have pressed one of them (it then
    // names it as the command), but what a press does depends on play, so it is decided here and the
    // button's name goes no further. A press the routing gave to anything else is the routing's.
    sprite::Sprite* menuButton = named("btn_MenuOnConsole");
    sprite::Sprite* sunButton = named("btn_consolesun");
    if (result && *target && (target->get() == menuButton || target->get() == sunButton)) {
        command->assign("");
        result = false;
    }
    if (shown("inomoremoves") && !result && view_->pieceUnder(event->x, event->y) != board::kNone) {
        // The board takes no pick under the sign; the player hears that it was refused.
        GameCanvas::playSound(kSoundRefused);
        return false;
    }
    if (shown("inomoremoves") || state_ == kGameOver || state_ == kLevelComplete || result)
        return result;
    const int x = event->x;
    const int y = event->y;
    if (under(menuButton, x, y) && !initialShowPhase_) {
        if (!boardActive() || state_ == kResolving || state_ == kSettling || anyScreenShowing())
            return false;
        if (bonusLevel_ && (bonusCompleteCountdown_ > 0 || board_.bonusBlastRunning()))
            return false;
        pausedState_ = state_;
        if (!board_.sunCarried()) {
            show("itutorial", false);
            openExitDialog();
        } else {
            sendSunBack();
            show("itutorial", false);
            scheduleNotify(10, lang::String("Delay exit dialog because sun has to go back to console"), 0,
                           nullptr, nullptr);
        }
        return false;
    }
    if (under(sunButton, x, y) && !anyScreenShowing()) {
        if (boardActive() && (board_.sunCarried() || board_.suns() > 0)) {
            board_.clickConsoleSun();
            dragPending_ = board_.sunCarried();
            if (board_.sunCarried()) {
                // The sun is on the pointer from the press on, not where it was last carried.
                view_->moveSunCursor(x, y);
                show("biggoldsunoncursor", true);
            } else {
                view_->hideSunCursor();
            }
        }
        return false;
    }
    if (boardActive() && !initialShowPhase_) {
        bool acted = boardClick(x, y, false);
        dragPending_ = acted && (board_.selectedPiece() != board::kNone || board_.sunCarried());
        if (!acted)
            return false;
    }
    return result;
}

bool KolbaxCanvas::onMouseUp(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) {
    bool result = GameCanvas2::onMouseUp(event, target, command);
    lang::Synchronized guard(this, true);
    if (dragPending_ && boardActive() && (board_.selectedPiece() != board::kNone || board_.sunCarried())) {
        BoardSquare sq = view_->squareUnder(event->x, event->y);
        // A release over the pressed piece keeps the pick; over another square it completes the drag.
        int id = view_->pieceUnder(event->x, event->y);
        if (board_.sunCarried() ||
            (id != board::kNone && id != board_.selectedPiece() && sq.x != board::kNone))
            boardClick(event->x, event->y, true);
    }
    dragPending_ = false;
    return result;
}

bool KolbaxCanvas::onMouseMove(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) {
    bool result = GameCanvas2::onMouseMove(event, target, command);
    lang::Synchronized guard(this, true);
    pointerX_ = event->x;
    pointerY_ = event->y;
    if (dragPending_ && boardActive() && board_.selectedPiece() != board::kNone) {
        int id = view_->pieceUnder(event->x, event->y);
        if (id != board::kNone && id != board_.selectedPiece()) {
            dragPending_ = false;
            if (boardClick(event->x, event->y, true))
                result = true;
        }
    }
    if (!result && boardActive() && !initialShowPhase_ && !anyScreenShowing())
        hoverPieces(event->x, event->y);
    if (board_.sunCarried()) {
        // Over a piece the carried sun shrinks to show where it will land; elsewhere it is big.
        view_->moveSunCursor(event->x, event->y);
        const bool overPiece = boardActive() && view_->pieceUnder(event->x, event->y) != board::kNone;
        show("smallgoldsunoncursor", overPiece);
        show("biggoldsunoncursor", !overPiece);
    }
    return result;
}

void KolbaxCanvas::hoverPieces(int px, int py) {
    int id = view_->pieceUnder(px, py);
    if (id == view_->hoverPiece())
        return;
    view_->setHoverPiece(id);
    board_.previewPower(-1, -1);
    GamePieceSprite* piece = pieceSprite(id);
    if (piece == nullptr || !board::onBoard(piece->squareX(), piece->squareY())) {
        // Off the pieces the hand gives way to the arrow again.
        setCursor(window::Cursor::arrow());
        return;
    }
    const int tile = board_.tileType(piece->squareX(), piece->squareY());
    const bool pickable = tile != board::kTileCobweb && !board::isVineTile(tile);
    setCursor(pickable ? window::Cursor::hand() : window::Cursor::arrow());
    if (state_ == kPlay && piece->hasPower())
        board_.previewPower(piece->squareX(), piece->squareY());
}

bool KolbaxCanvas::onKeyDown(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) {
    bool result = GameCanvas2::onKeyDown(event, target, command);
    lang::Synchronized guard(this, true);
    if (event->key == 'P' || event->key == 'p')
        togglePause();
    return result;
}
