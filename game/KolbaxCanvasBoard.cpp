// KolbaxCanvas's view of the board model: spawns, glides, landings, matches, gold, points, the
// selection and hints, the level's end and the dragonflies, turned into sprite work.
#include <algorithm>

#include "game/DragonflySprite.h"
#include "game/GamePieceSprite.h"
#include "game/KolbaxBoardView.h"
#include "game/KolbaxCanvas.h"
#include "game/MagnifySprite.h"
#include "game/PlayerData.h"
#include "game/TileGridSprite.h"
#include "sprite/NumberSprite.h"

namespace {

// The overlay code of a power value (its thousands digit), -13 for a plain piece.
int overlayCode(int value) {
    switch (board::powerOf(value)) {
        case 2:
            return GamePieceSprite::kDragonfly;
        case 3:
            return GamePieceSprite::kArea;
        case 4:
            return GamePieceSprite::kRow;
        case 5:
            return GamePieceSprite::kCrosshair;
        case 6:
            return GamePieceSprite::kColour;
        case 7:
            return GamePieceSprite::kClock;
        case 8:
            return GamePieceSprite::kColumn;
        case 9:
            return GamePieceSprite::kRandom;
        default:
            return -13;
    }
}

}  // namespace

// One cell of a sprite sheet as a picture of its own, for the zoom-in.
lang::Ref<window::Image> KolbaxBoardView::cellImage(sprite::AnimateSprite& sheet, int frame) {
    window::Image* image = sheet.getImage();
    const int w = sheet.getWidth();
    const int h = sheet.getHeight();
    if (image == nullptr || w <= 0 || h <= 0 || image->getPixels() == nullptr)
        return {};
    const int columns = std::max(1, sheet.getColumns());
    const int sx = (frame % columns) * w;
    const int sy = (frame / columns) * h;
    if (sx + w > image->getWidth() || sy + h > image->getHeight())
        return {};
    auto cell = lang::make<window::Image>(w, h);
    cell->setHasAlpha(image->hasAlpha());
    const uint32_t* src = image->getPixels();
    uint32_t* dst = cell->getPixels();
    for (int y = 0; y < h; ++y)
        std::copy_n(src + static_cast<long>(sy + y) * (image->getStride() / 4) + sx, w,
                    dst + static_cast<long>(y) * (cell->getStride() / 4));
    return cell;
}

void KolbaxBoardView::playSound(int effect, double volume) {
    (void)volume;
    canvas_.GameCanvas::playSound(effect);
}

void KolbaxBoardView::showValue(int id, int value) {
    GamePieceSprite* piece = canvas_.pieceSprite(id);
    if (piece == nullptr)
        return;
    piece->setKind(std::clamp(board::matchKind(value), 0, GamePieceSprite::kKindFrames - 1));
    int code = overlayCode(value);
    if (code != -13)
        piece->showPowerOverlay(code, gameRandom());
    else
        piece->hidePowerOverlay();
    if (piece->kind() == GamePieceSprite::kSunFrame)
        piece->showSunOverlay(gameRandom());
}

void KolbaxBoardView::piecePlaced(int id, int x, int y, int value, int zoomSteps, int turns) {
    GamePieceSprite* piece = canvas_.pieceSprite(id);
    if (piece == nullptr)
        return;
    showValue(id, value);
    piece->setSquare(x, y);
    util::Point p = canvas_.squareToScreen(x, y);
    piece->setLocation(p.x, p.y);
    piece->stopDrop();
    // The first board arrives through the arrival phase: each square's zoom picture spins in and
    // the real pieces replace them once all have shown.
    piece->setVisible(false);
    if (MagnifySprite* zoom = canvas_.magnifySprite(x, y)) {
        zoom->setSource(cellImage(*piece, piece->getFrame()).get());
        zoom->setLocation(p.x, p.y);
        zoom->setVisible(false);
        zoom->startZoom(zoomSteps, 10, 100, turns > 0 ? MagnifySprite::kSpinOneWay : MagnifySprite::kNoSpin,
                        turns, 128, 0);
    }
    canvas_.initialShowPhase_ = true;
}

void KolbaxBoardView::pieceSpawned(int id, int x, int y, int value, int frames) {
    GamePieceSprite* piece = canvas_.pieceSprite(id);
    if (piece == nullptr)
        return;
    showValue(id, value);
    piece->setSquare(x, y);
    piece->setHighlighted(false);
    piece->setPreviewLit(false);
    util::Point above = canvas_.squareToScreen(x, y - 1);
    util::Point to = canvas_.squareToScreen(x, y);
    piece->setLocation(above.x, above.y);
    piece->setLanding(true);
    piece->setVisible(!canvas_.initialShowPhase_);
    piece->moveTo(to.x, to.y, std::max(1, frames));
}

void KolbaxBoardView::pieceMoved(int id, int x, int y, int frames) {
    GamePieceSprite* piece = canvas_.pieceSprite(id);
    if (piece == nullptr)
        return;
    piece->setSquare(x, y);
    util::Point to = canvas_.squareToScreen(x, y);
    piece->moveTo(to.x, to.y, std::max(1, frames));
}

void KolbaxBoardView::pieceLanded(int id, const LandingBounce& bounce) {
    GamePieceSprite* piece = canvas_.pieceSprite(id);
    if (piece == nullptr)
        return;
    // The glide may still have a step to go: the bounce starts from the square itself.
    util::Point to = canvas_.squareToScreen(piece->squareX(), piece->squareY());
    piece->moveTo(to.x, to.y, 1);
    piece->setLocation(to.x, to.y);
    piece->startBounce(bounce);
}

void KolbaxBoardView::pieceChanged(int id, int value) {
    showValue(id, value);
}

void KolbaxBoardView::squareMatched(int x, int y) {
    util::Point p = canvas_.squareToScreen(x, y);
    canvas_.effectFrom("matchoutsparkle", p.x, p.y, "Hide match out sparkle bling");
}

void KolbaxBoardView::pieceLeaving(int id, int x, int y) {
    (void)x;
    (void)y;
    GamePieceSprite* piece = canvas_.pieceSprite(id);
    if (piece == nullptr)
        return;
    piece->setVisible(false);
    piece->setHighlighted(false);
    piece->setPreviewLit(false);
    piece->hidePowerOverlay();
    piece->stopDrop();
    piece->setSquare(board::kNone, board::kNone);
    if (canvas_.hoverPiece_ == id)
        canvas_.hoverPiece_ = board::kNone;
}

void KolbaxBoardView::tileChanged(int x, int y, int tileType, int frame) {
    TileGridSprite* tile = canvas_.tileSprite(x, y);
    if (tile == nullptr)
        return;
    tile->setTileType(tileType);
    if (frame < 0) {
        tile->setVisible(false);
        return;
    }
    tile->setFrame(frame);
    tile->setVisible(true);
}

void KolbaxBoardView::squareTurnedGold(int x, int y) {
    util::Point p = canvas_.squareToScreen(x, y);
    // The effect carries its square, so that its end needs no look-up by position.
    lang::Ref<sprite::AnimateSprite> fx =
        canvas_.effectFrom("itwinkle", p.x, p.y, "Hide turned to gold anim and show gold tile");
    if (fx)
        fx->setUserValue(board::squareIndex(x, y) + 1);
}

void KolbaxBoardView::pointsShown(const PassPoints& points) {
    util::Point a = canvas_.squareToScreen(points.left, points.top);
    util::Point b = canvas_.squareToScreen(points.right + 1, points.bottom + 1);
    canvas_.clickX_ = (a.x + b.x) / 2;
    canvas_.clickY_ = (a.y + b.y) / 2;
    canvas_.floatingNumber(canvas_.clickX_, canvas_.clickY_, points.points, "Slow cascading numbers");
    // The first matches cleared on level 1 explain what gold squares are.
    if (canvas_.level_ == 1)
        canvas_.offerTutorial(1);
    if (points.cascade > 1)
        canvas_.effectFrom("cascadetext", canvas_.clickX_, canvas_.clickY_ - 20, "Slow cascading text");
}

void KolbaxBoardView::selectionChanged(int x, int y) {
    sprite::Sprite* highlight = canvas_.named("highlight");
    for (auto& piece : canvas_.pieces_)
        piece->setHighlighted(false);
    if (!board::onBoard(x, y)) {
        if (highlight != nullptr)
            highlight->setVisible(false);
        return;
    }
    if (GamePieceSprite* piece = canvas_.pieceSprite(canvas_.board_.pieceId(x, y)))
        piece->setHighlighted(true);
    if (highlight != nullptr) {
        util::Point p = canvas_.squareToScreen(x, y);
        highlight->setLocation(p.x - 3, p.y - 3);
        highlight->setVisible(true);
    }
}

void KolbaxBoardView::hintShown(int x1, int y1, int x2, int y2) {
    const int xs[2] = {x1, x2};
    const int ys[2] = {y1, y2};
    const char* names[2] = {"hinthighlight1", "hinthighlight2"};
    for (int i = 0; i < 2; ++i)
        if (sprite::Sprite* s = canvas_.named(names[i])) {
            util::Point p = canvas_.squareToScreen(xs[i], ys[i]);
            s->setLocation(p.x, p.y);
            s->setVisible(true);
        }
}

void KolbaxBoardView::hintCleared() {
    canvas_.show("hinthighlight1", false);
    canvas_.show("hinthighlight2", false);
}

void KolbaxBoardView::sunPlaced(int x, int y, int sunsLeft) {
    // A used sun is gone from the player's store at once, whatever becomes of the level.
    if (canvas_.playerData_)
        canvas_.playerData_->setSuns(sunsLeft);
    util::Point p = canvas_.squareToScreen(x, y);
    canvas_.effectFrom("goldtileplacementburst", p.x, p.y, "Hide Sunburst");
    canvas_.hideSunCursor();
}

void KolbaxBoardView::redAlert() {
    canvas_.loopSound(KolbaxCanvas::kSoundTimeRunningOut);
}

void KolbaxBoardView::noMoreMoves(bool withSuns) {
    // With suns the level goes on: the player breaks a piece with one (the model offers the
    // explanation). The sign, which takes every press, is only for a player without any: the model
    // ends that level 40 frames later (levelLost). Shown to a player with suns, it would leave the
    // console sun out of reach and the board waiting for ever.
    if (withSuns)
        return;
    if (sprite::Sprite* sign = canvas_.named("inomoremoves")) {
        canvas_.placeBelow(sign, "ipicketfence3");
        sign->setVisible(true);
    }
}

void KolbaxBoardView::levelComplete() {
    canvas_.levelEnded_ = true;
}

void KolbaxBoardView::levelLost(LevelLoss reason) {
    canvas_.levelEnded_ = true;
    canvas_.lostByNoMoves_ = reason == LevelLoss::NoMoreMoves;
}

void KolbaxBoardView::dragonflyLanded(int id, int x, int y) {
    for (auto& fly : canvas_.dragonflies_) {
        if (fly->flightState() != DragonflySprite::kFree)
            continue;
        util::Point p = canvas_.squareToScreen(x, y);
        fly->setLocation(p.x, -60);
        fly->face(Heading::Down);
        fly->flyToSquare(x, y, p.x, p.y, 12);
        (void)id;
        return;
    }
}

void KolbaxBoardView::dragonflyTookOff(int flight, int x, int y, const std::vector<BoardSquare>& path,
                                       int framesPerSquare) {
    (void)framesPerSquare;
    DragonflySprite* chosen = nullptr;
    for (auto& fly : canvas_.dragonflies_)
        if (fly->flightState() == DragonflySprite::kResting && fly->restingSquare() == BoardSquare{x, y})
            chosen = fly.get();
    if (chosen == nullptr)
        for (auto& fly : canvas_.dragonflies_)
            if (fly->flightState() == DragonflySprite::kFree) {
                chosen = fly.get();
                util::Point p = canvas_.squareToScreen(x, y);
                chosen->setLocation(p.x, p.y);
                chosen->setVisible(true);
                break;
            }
    if (chosen == nullptr)
        return;
    chosen->takeOff(path);
    if (flight >= static_cast<int>(canvas_.flightDragonfly_.size()))
        canvas_.flightDragonfly_.resize(static_cast<size_t>(flight) + 1, -1);
    for (size_t i = 0; i < canvas_.dragonflies_.size(); ++i)
        if (canvas_.dragonflies_[i].get() == chosen)
            canvas_.flightDragonfly_[static_cast<size_t>(flight)] = static_cast<int>(i);
}

void KolbaxBoardView::dragonflyMoved(int flight, int x, int y) {
    if (flight < 0 || flight >= static_cast<int>(canvas_.flightDragonfly_.size()))
        return;
    DragonflySprite* fly = canvas_.dragonflySprite(canvas_.flightDragonfly_[static_cast<size_t>(flight)]);
    if (fly == nullptr)
        return;
    fly->nextPathSquare();
    util::Point p = canvas_.squareToScreen(x, y);
    if (p.x != fly->getX())
        fly->face(p.x > fly->getX() ? Heading::Right : Heading::Left);
    else if (p.y != fly->getY())
        fly->face(p.y > fly->getY() ? Heading::Down : Heading::Up);
    fly->moveTo(p.x, p.y, Board::kDragonflyFramesPerSquare);
}

void KolbaxBoardView::dragonflyLeft(int flight, Heading heading) {
    if (flight < 0 || flight >= static_cast<int>(canvas_.flightDragonfly_.size()))
        return;
    if (DragonflySprite* fly = canvas_.dragonflySprite(canvas_.flightDragonfly_[static_cast<size_t>(flight)]))
        fly->leaveScreen(heading, 20);
    canvas_.flightDragonfly_[static_cast<size_t>(flight)] = -1;
}

void KolbaxBoardView::previewShown(const std::vector<BoardSquare>& squares) {
    for (auto& piece : canvas_.pieces_)
        piece->setPreviewLit(false);
    for (const BoardSquare& s : squares)
        if (GamePieceSprite* piece = canvas_.pieceSprite(canvas_.board_.pieceId(s.x, s.y)))
            piece->setPreviewLit(true);
}

// ---- effects ----

void KolbaxBoardView::onSquare(const char* templateName, int x, int y, const char* label) {
    util::Point p = canvas_.squareToScreen(x, y);
    canvas_.effectFrom(templateName, p.x, p.y, label);
}

void KolbaxBoardView::explanationOffered(int page) {
    if (canvas_.startingLevel_) {
        canvas_.heldExplanations_.push_back(page);
        return;
    }
    canvas_.offerTutorial(page);
}

void KolbaxBoardView::shimmer() {
    const Board& board = canvas_.board_;
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y)
            if (board.value(x, y) >= 0 && !board.gold(x, y))
                onSquare("ilastgridshimmer", x, y, "Stop Shimmer");
}

void KolbaxBoardView::sunTwinkle() {
    canvas_.effectFrom("itwinklebig", canvas_.consoleSunX_, canvas_.consoleSunY_, "Hide Gold Sun Twinkle");
}

void KolbaxBoardView::sunCarriedChanged(bool carried) {
    if (!carried)
        canvas_.hideSunCursor();
}

void KolbaxBoardView::powerFired(int x, int y, int value) {
    (void)value;
    canvas_.show("itutorial", false);
    onSquare("powerpiecehighlight", x, y, "Hide Big Power Piece Explosions");
}

void KolbaxBoardView::pointsLabel(int x, int y, int points) {
    util::Point p = canvas_.squareToScreen(x, y);
    canvas_.floatingNumber(p.x, p.y, points, "Slow cascading numbers");
}

void KolbaxBoardView::areaBlastShown(int x, int y, int ring) {
    (void)ring;
    onSquare("randombombblast", x, y, "Hide Random Bomb Explosion");
}

namespace {

int beamKey(Heading heading, int beam) {
    return static_cast<int>(heading) * 100 + beam;
}

}  // namespace

void KolbaxBoardView::beamLaunched(Heading heading, int beam, int x, int y) {
    util::Point p = canvas_.squareToScreen(x, y);
    // The arrow lives as long as the beam: it has no end label of its own until it leaves.
    lang::Ref<sprite::AnimateSprite> arrow = canvas_.effectFrom("iarrow", p.x, p.y, "Hide Arrow");
    if (!arrow)
        return;
    arrow->setNotify(nullptr, nullptr);
    arrow->setFrameStep(1, true);
    beams_[beamKey(heading, beam)] = arrow;
}

void KolbaxBoardView::beamMoved(Heading heading, int beam, int x, int y) {
    auto found = beams_.find(beamKey(heading, beam));
    if (found == beams_.end())
        return;
    util::Point p = canvas_.squareToScreen(x, y);
    found->second->moveTo(p.x, p.y, 2);
}

void KolbaxBoardView::beamLeft(Heading heading, int beam) {
    auto found = beams_.find(beamKey(heading, beam));
    if (found == beams_.end())
        return;
    sprite::AnimateSprite* arrow = found->second.get();
    int tx = arrow->getX(), ty = arrow->getY();
    switch (heading) {
        case Heading::Up:
            ty = -arrow->getHeight();
            break;
        case Heading::Right:
            tx = 800;
            break;
        case Heading::Down:
            ty = 600;
            break;
        case Heading::Left:
            tx = -arrow->getWidth();
            break;
    }
    auto label = lang::make<lang::String>("Hide Arrow");
    arrow->setNotify(&canvas_, label.get());
    arrow->moveTo(tx, ty, 10);
    beams_.erase(found);
}

void KolbaxBoardView::cloudDropShown(int cloud, int screenX) {
    (void)cloud;
    canvas_.effectFrom("drips", screenX, std::max(0, canvas_.boardOriginY_ - 40), "Remove effect");
}

void KolbaxBoardView::strikeShown(int x, int y, int cloud) {
    (void)cloud;
    onSquare("ilightning", x, y, "Hide lightning");
}

void KolbaxBoardView::timerFrozen(int frames) {
    (void)frames;
    canvas_.effectFrom("staticelectric", canvas_.scoreX_, canvas_.scoreY_, "Hide static ball");
}

void KolbaxBoardView::fiveMatchFlash(int slot, int x, int y) {
    if (slot < 0 || slot > 1)
        return;
    fiveMatchFlashHidden(slot);
    util::Point p = canvas_.squareToScreen(x, y);
    lang::Ref<sprite::AnimateSprite> flash =
        canvas_.effectFrom(slot == 0 ? "fiverflash1" : "fiverflash2", p.x, p.y, "Hide Fiver Flash");
    if (!flash)
        return;
    // It flashes until the dragonfly is awarded or the slot is dropped.
    flash->setNotify(nullptr, nullptr);
    flash->setFrameStep(1, true);
    flashes_[static_cast<size_t>(slot)] = flash;
}

void KolbaxBoardView::fiveMatchFlashHidden(int slot) {
    if (slot < 0 || slot > 1 || !flashes_[static_cast<size_t>(slot)])
        return;
    canvas_.removeSprite(flashes_[static_cast<size_t>(slot)].get());
    flashes_[static_cast<size_t>(slot)].reset();
}

void KolbaxBoardView::cobwebRemoved(int x, int y) {
    onSquare("cobwebanim", x, y, "Hide Cobweb");
}

void KolbaxBoardView::vineDamaged(int x, int y, int vinesLeft) {
    (void)vinesLeft;
    onSquare("animatedvines", x, y, "Hide Vine");
}

void KolbaxBoardView::clearEffects() {
    for (auto& [key, arrow] : beams_)
        canvas_.removeSprite(arrow.get());
    beams_.clear();
    for (int slot = 0; slot < 2; ++slot)
        fiveMatchFlashHidden(slot);
}

// ---- the bonus level ----

void KolbaxBoardView::bonusGridDealt(const std::array<int, 36>& prizes) {
    canvas_.clearBonusGrid();
    sprite::AnimateSprite* blockTemplate = canvas_.namedAnimated("ibonusblocks");
    sprite::AnimateSprite* prizeTemplate = canvas_.namedAnimated("ibonusprizes");
    if (blockTemplate == nullptr)
        return;
    // The template stands where the grid's first block goes; the blocks lie edge to edge.
    const int w = std::max(1, blockTemplate->getWidth());
    const int h = std::max(1, blockTemplate->getHeight());
    for (int i = 0; i < 36; ++i) {
        const int x = blockTemplate->getX() + (i % 6) * w;
        const int y = blockTemplate->getY() + (i / 6) * h;
        lang::Ref<sprite::AnimateSprite> prize;
        if (prizeTemplate != nullptr) {
            prize = lang::adopt(static_cast<sprite::AnimateSprite*>(prizeTemplate->clone()));
            prize->setFrame(
                std::clamp(prizes[static_cast<size_t>(i)], 0, std::max(0, prize->getFrameCount() - 1)));
            prize->setFrameStep(0, false);
            prize->setLocation(x + (w - prize->getWidth()) / 2, y + (h - prize->getHeight()) / 2);
            prize->setVisible(false);
            canvas_.placeBelow(prize.get(), "ipicketfence");
        }
        auto block = lang::adopt(static_cast<sprite::AnimateSprite*>(blockTemplate->clone()));
        block->setLocation(x, y);
        block->setFrame(block->getFirstFrame());
        block->setFrameStep(0, false);
        block->setVisible(true);
        canvas_.placeBelow(block.get(), "ipicketfence");
        canvas_.bonusBlocks_.push_back(block);
        canvas_.bonusPrizes_.push_back(prize);
    }
}

void KolbaxBoardView::bonusPicksChanged(int picks) {
    sprite::Sprite* counter = canvas_.named("bonusclicknumber");
    if (counter == nullptr)
        return;
    if (picks < 0) {
        counter->setVisible(false);
        return;
    }
    if (counter->instanceOf("NumberSprite"))
        static_cast<sprite::NumberSprite*>(counter)->setValue(picks);
    else if (counter->instanceOf("AnimateSprite"))
        static_cast<sprite::AnimateSprite*>(counter)->setFrame(picks);
    counter->setVisible(true);
}

void KolbaxBoardView::bonusBlockBroken(int row, int column, int prize, bool awarded) {
    const size_t i = static_cast<size_t>(row * 6 + column);
    if (i >= canvas_.bonusBlocks_.size())
        return;
    sprite::AnimateSprite* block = canvas_.bonusBlocks_[i].get();
    if (awarded) {
        util::Point p(block->getX(), block->getY());
        canvas_.effectFrom("bonussparkle", p.x, p.y, "Remove effect");
    }
    block->setVisible(false);
    if (sprite::AnimateSprite* shown = canvas_.bonusPrizes_[i].get()) {
        shown->setFrame(std::clamp(prize, 0, std::max(0, shown->getFrameCount() - 1)));
        // Prizes revealed at the end, without an award, show as given out.
        if (!awarded)
            shown->setColorTransform(128, 90, 90, 90);
        shown->setVisible(true);
    }
}

void KolbaxBoardView::bonusBlastStarted(BonusBlast blast, int row, int column) {
    (void)blast;
    const size_t i = static_cast<size_t>(row * 6 + column);
    if (i < canvas_.bonusBlocks_.size())
        canvas_.effectFrom("fiverflash1", canvas_.bonusBlocks_[i]->getX(), canvas_.bonusBlocks_[i]->getY(),
                           "Remove effect");
}

void KolbaxBoardView::bonusPointsSent(int row, int column, int points, int frames) {
    (void)frames;
    const size_t i = static_cast<size_t>(row * 6 + column);
    if (i >= canvas_.bonusBlocks_.size())
        return;
    // The prize's points show on the block, then fly to the score and burst there.
    canvas_.floatingNumber(canvas_.bonusBlocks_[i]->getX(), canvas_.bonusBlocks_[i]->getY(), points,
                           "Send points to score location");
}

void KolbaxBoardView::bonusPointsArrived(int points) {
    // The flying number's burst at the score has greeted them already.
    (void)points;
}

void KolbaxBoardView::bonusSunsSent(int row, int column, int suns, int frames) {
    (void)suns;
    (void)frames;
    const size_t i = static_cast<size_t>(row * 6 + column);
    if (i >= canvas_.bonusBlocks_.size())
        return;
    canvas_.effectFrom("bonussunglitter", canvas_.bonusBlocks_[i]->getX(), canvas_.bonusBlocks_[i]->getY(),
                       "Send points to console sun location");
}

void KolbaxBoardView::sunDelivered(int sunsHeld) {
    (void)sunsHeld;
    canvas_.handleAction(nullptr, lang::String("Give gold sun"));
}
