// KolbaxCanvas's view of the board model: spawns, glides, landings, matches, gold, points, the
// selection and hints, the level's end and the dragonflies, turned into sprite work.
#include <algorithm>

#include "game/DragonflySprite.h"
#include "game/GamePieceSprite.h"
#include "game/KolbaxBoardView.h"
#include "game/KolbaxCanvas.h"
#include "game/MagnifySprite.h"
#include "game/TileGridSprite.h"

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

// One cell of a sprite sheet as a picture of its own, for the zoom-in.
lang::Ref<window::Image> cellImage(sprite::AnimateSprite& sheet, int frame) {
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

}  // namespace

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
    canvas_.effectFrom("numberforboardscore", canvas_.clickX_, canvas_.clickY_, "Slow cascading numbers");
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
    (void)sunsLeft;
    util::Point p = canvas_.squareToScreen(x, y);
    canvas_.effectFrom("goldtileplacementburst", p.x, p.y, "Hide Sunburst");
    canvas_.hideSunCursor();
}

void KolbaxBoardView::redAlert() {
    canvas_.loopSound(KolbaxCanvas::kSoundTimeRunningOut);
}

void KolbaxBoardView::noMoreMoves(bool withSuns) {
    if (sprite::Sprite* sign = canvas_.named("inomoremoves")) {
        canvas_.placeBelow(sign, "ipicketfence3");
        sign->setVisible(true);
    }
    // Without suns the model itself ends the level 40 frames later (levelLost); with suns the sign
    // waits for a sun.
    (void)withSuns;
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
