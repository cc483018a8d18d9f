// KolbaxBoardView: the board's pools and geometry, and the model's events (spawns, glides, landings,
// matches, gold, points, the selection and hints, the level's end, the dragonflies) turned into sprite work.
#include <algorithm>

#include "game/DragonflySprite.h"
#include "game/GamePieceSprite.h"
#include "game/KolbaxBoardView.h"
#include "game/MagnifySprite.h"
#include "game/PlayerData.h"
#include "game/TileGridSprite.h"
#include "sprite/GameCanvas2.h"
#include "sprite/NumberSprite.h"

namespace {

// The overlay code of a power value (its thousands digit), kNone for a plain piece.
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
            return board::kNone;
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

KolbaxBoardView::KolbaxBoardView(BoardViewHost& host, Board& board) : host_(host), board_(board) {}

KolbaxBoardView::~KolbaxBoardView() = default;

sprite::Sprite* KolbaxBoardView::named(const char* name) {
    return host_.scene().getSprite(name);
}

sprite::AnimateSprite* KolbaxBoardView::namedAnimated(const char* name) {
    sprite::Sprite* s = named(name);
    return s != nullptr && s->instanceOf("AnimateSprite") ? static_cast<sprite::AnimateSprite*>(s) : nullptr;
}

void KolbaxBoardView::show(const char* name, bool on) {
    if (sprite::Sprite* s = named(name))
        s->setVisible(on);
}

// ---- set-up, pools and geometry ----

void KolbaxBoardView::readGeometry() {
    sprite::Sprite* tile = named("gameTile");
    if (tile == nullptr)
        return;
    if (tile->getWidth() > 0 && tile->getHeight() > 0) {
        squareWidth_ = tile->getWidth();
        squareHeight_ = tile->getHeight();
    }
    boardOriginX_ = tile->getX();
    boardOriginY_ = tile->getY();
    if (tile->instanceOf("TileGridSprite"))
        static_cast<TileGridSprite*>(tile)->setSquare(board::kNone, board::kNone);
}

void KolbaxBoardView::makePools() {
    sprite::AnimateSprite* pieceTemplate = namedAnimated("gamePieces");
    sprite::AnimateSprite* powerTemplate = namedAnimated("powerpieceoverlay");
    sprite::AnimateSprite* sunTemplate = namedAnimated("newsunanim");
    sprite::AnimateSprite* tileTemplate = namedAnimated("gameTile");
    pieces_.clear();
    tiles_.clear();
    magnifiers_.clear();
    dragonflies_.clear();
    auto copyOf = [](sprite::AnimateSprite* t) {
        return t != nullptr ? lang::adopt(static_cast<sprite::AnimateSprite*>(t->clone()))
                            : lang::Ref<sprite::AnimateSprite>();
    };
    for (int x = 0; x < board::kColumns; ++x) {
        for (int y = 0; y < board::kRows; ++y) {
            auto tile = lang::make<TileGridSprite>();
            if (tileTemplate != nullptr)
                tile->setImageGrid(tileTemplate->getImage(), tileTemplate->getColumns(),
                                   tileTemplate->getRows());
            tile->setSquare(x, y);
            util::Point p = squareToScreen(x, y);
            tile->setLocation(p.x, p.y);
            tile->setVisible(false);
            host_.placeBelow(tile.get(), "ipicketfence");
            tiles_.push_back(tile);
            auto zoom = lang::make<MagnifySprite>();
            zoom->setVisible(false);
            host_.placeBelow(zoom.get(), "ipicketfence");
            magnifiers_.push_back(zoom);
        }
    }
    for (int i = 0; i < board::kPoolSize; ++i) {
        auto piece = lang::make<GamePieceSprite>();
        if (pieceTemplate != nullptr)
            piece->setImageGrid(pieceTemplate->getImage(), pieceTemplate->getColumns(),
                                pieceTemplate->getRows());
        piece->setOverlays(copyOf(powerTemplate).get(), copyOf(sunTemplate).get());
        piece->setVisible(false);
        host_.placeBelow(piece.get(), "ipicketfence");
        pieces_.push_back(piece);
    }
    sprite::AnimateSprite* flyTemplate = namedAnimated("dragonfly");
    for (int i = 0; i < 5; ++i) {
        auto fly = lang::make<DragonflySprite>();
        if (flyTemplate != nullptr)
            fly->setImageGrid(flyTemplate->getImage(), flyTemplate->getColumns(), flyTemplate->getRows());
        std::array<lang::Ref<sprite::AnimateSprite>, 4> parts{
            copyOf(namedAnimated("dragonflyup")), copyOf(namedAnimated("dragonflyright")),
            copyOf(namedAnimated("dragonflydown")), copyOf(namedAnimated("dragonflyleft"))};
        fly->setDirectionSprites({parts[0].get(), parts[1].get(), parts[2].get(), parts[3].get()});
        fly->reset();
        host_.placeBelow(fly.get(), "ipicketfence2");
        dragonflies_.push_back(fly);
    }
}

GamePieceSprite* KolbaxBoardView::pieceSprite(int id) {
    return id >= 0 && id < static_cast<int>(pieces_.size()) ? pieces_[static_cast<size_t>(id)].get()
                                                            : nullptr;
}

TileGridSprite* KolbaxBoardView::tileSprite(int x, int y) {
    if (!board::onBoard(x, y) || tiles_.empty())
        return nullptr;
    return tiles_[static_cast<size_t>(board::squareIndex(x, y))].get();
}

MagnifySprite* KolbaxBoardView::magnifySprite(int x, int y) {
    if (!board::onBoard(x, y) || magnifiers_.empty())
        return nullptr;
    return magnifiers_[static_cast<size_t>(board::squareIndex(x, y))].get();
}

DragonflySprite* KolbaxBoardView::dragonflySprite(int i) {
    return i >= 0 && i < static_cast<int>(dragonflies_.size()) ? dragonflies_[static_cast<size_t>(i)].get()
                                                               : nullptr;
}

sprite::AnimateSprite* KolbaxBoardView::bonusBlock(int cell) {
    return cell >= 0 && static_cast<size_t>(cell) < bonusBlocks_.size() ? bonusBlocks_[static_cast<size_t>(cell)].get()
                                                                        : nullptr;
}

util::Point KolbaxBoardView::squareToScreen(int x, int y) const {
    return util::Point(boardOriginX_ + squareWidth_ * x, boardOriginY_ + squareHeight_ * y);
}

BoardSquare KolbaxBoardView::findSquareAt(int px, int py) const {
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y) {
            const TileGridSprite* t =
                tiles_.empty() ? nullptr : tiles_[static_cast<size_t>(board::squareIndex(x, y))].get();
            if (t != nullptr && t->getX() == px && t->getY() == py)
                return {x, y};
        }
    return {-1, -1};
}

BoardSquare KolbaxBoardView::squareUnder(int px, int py) const {
    if (px < boardOriginX_ || py < boardOriginY_)
        return {board::kNone, board::kNone};
    int x = (px - boardOriginX_) / squareWidth_;
    int y = (py - boardOriginY_) / squareHeight_;
    if (!board::onBoard(x, y))
        return {board::kNone, board::kNone};
    return {x, y};
}

int KolbaxBoardView::pieceUnder(int px, int py) {
    if (px < 0 || py < 0 || px >= 800 || py >= 600)
        return board::kNone;
    for (size_t i = 0; i < pieces_.size(); ++i) {
        GamePieceSprite* p = pieces_[i].get();
        if (p->isVisible() && !p->isAnimating() && p->containsPoint(px, py))
            return static_cast<int>(i);
    }
    return board::kNone;
}

int KolbaxBoardView::bonusBlockUnder(int px, int py) {
    for (size_t i = 0; i < bonusBlocks_.size(); ++i)
        if (bonusBlocks_[i]->isVisible() && bonusBlocks_[i]->containsPoint(px, py))
            return static_cast<int>(i);
    return -1;
}

// ---- scene work for the canvas ----

lang::Ref<sprite::AnimateSprite> KolbaxBoardView::floatingNumber(int x, int y, int value, const char* label) {
    lang::Ref<sprite::AnimateSprite> number = host_.effectFrom("numberforboardscore", x, y, label);
    if (number && number->instanceOf("NumberSprite"))
        static_cast<sprite::NumberSprite*>(number.get())->setValue(value);
    return number;
}

void KolbaxBoardView::hideSunCursor() {
    for (const char* name : {"biggoldsunoncursor", "smallgoldsunoncursor", "sparklesoncursor"})
        show(name, false);
}

void KolbaxBoardView::moveSunCursor(int x, int y) {
    for (const char* name : {"biggoldsunoncursor", "smallgoldsunoncursor", "sparklesoncursor"})
        if (sprite::Sprite* s = named(name))
            s->setLocation(x - s->getWidth() / 2, y - s->getHeight() / 2);
}

void KolbaxBoardView::hidePieces() {
    for (auto& p : pieces_) {
        p->setVisible(false);
        p->setHighlighted(false);
        p->setPreviewLit(false);
        p->hidePowerOverlay();
        p->stopDrop();
    }
    for (auto& m : magnifiers_)
        m->setVisible(false);
}

void KolbaxBoardView::reset() {
    hidePieces();
    for (auto& t : tiles_)
        t->setVisible(false);
    for (auto& d : dragonflies_)
        d->reset();
    hoverPiece_ = board::kNone;
    clearBonusGrid();
    clearEffects();
}

void KolbaxBoardView::clearBonusGrid() {
    for (auto& s : bonusBlocks_)
        host_.scene().removeSprite(s.get());
    for (auto& s : bonusPrizes_)
        if (s)
            host_.scene().removeSprite(s.get());
    bonusBlocks_.clear();
    bonusPrizes_.clear();
}

void KolbaxBoardView::hideBonusGrid() {
    for (auto& block : bonusBlocks_)
        block->setVisible(false);
    for (auto& prize : bonusPrizes_)
        if (prize)
            prize->setVisible(false);
}

void KolbaxBoardView::showGoldTile(int carried) {
    // An effect without a square changes nothing.
    const int square = carried - 1;
    if (square < 0 || square >= board::kSquares)
        return;
    const int x = square / board::kRows;
    const int y = square % board::kRows;
    if (TileGridSprite* tile = tileSprite(x, y)) {
        if (board_.gold(x, y)) {
            tile->setFrame(board::kFrameGold);
            tile->setVisible(true);
        }
    }
}

void KolbaxBoardView::showRealPieces() {
    for (auto& zoom : magnifiers_)
        zoom->setVisible(false);
    for (auto& piece : pieces_)
        if (board::onBoard(piece->squareX(), piece->squareY()) &&
            board_.pieceId(piece->squareX(), piece->squareY()) >= 0 &&
            pieceSprite(board_.pieceId(piece->squareX(), piece->squareY())) == piece.get()) {
            host_.placeBelow(piece.get(), "ipicketfence");
            piece->setVisible(true);
        }
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y)
            if (TileGridSprite* tile = tileSprite(x, y))
                tile->setVisible(board_.value(x, y) != board::kHole && board_.tileFrame(x, y) >= 0);
}

void KolbaxBoardView::showSquares() {
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y) {
            if (TileGridSprite* tile = tileSprite(x, y)) {
                const int frame = board_.gold(x, y) ? board::kFrameGold : board_.tileFrame(x, y);
                tile->setTileType(board_.tileType(x, y));
                if (frame >= 0)
                    tile->setFrame(frame);
                tile->setVisible(frame >= 0 && board_.value(x, y) != board::kHole);
            }
            GamePieceSprite* piece = pieceSprite(board_.pieceId(x, y));
            if (piece == nullptr)
                continue;
            pieceChanged(board_.pieceId(x, y), board_.value(x, y));
            piece->setSquare(x, y);
            util::Point p = squareToScreen(x, y);
            piece->setLocation(p.x, p.y);
            host_.placeBelow(piece, "ipicketfence");
            piece->setVisible(true);
        }
}

bool KolbaxBoardView::arrivalStep() {
    util::Random& random = *host_.random();
    bool all = true;
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y) {
            MagnifySprite* zoom = magnifySprite(x, y);
            if (zoom == nullptr || board_.value(x, y) < 0 || zoom->isVisible())
                continue;
            if (random.nextInt(2) == 0) {
                host_.placeBelow(zoom, "ipicketfence");
                zoom->setVisible(true);
            } else {
                all = false;
            }
        }
    return all;
}

bool KolbaxBoardView::departuresStep() {
    util::Random& random = *host_.random();
    bool left = false;
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y) {
            const size_t at = static_cast<size_t>(board::squareIndex(x, y));
            GamePieceSprite* piece = pieceSprite(board_.pieceId(x, y));
            if (departed_[at] || piece == nullptr || !piece->isVisible())
                continue;
            if (random.nextInt(2) != 0) {
                left = true;
                continue;
            }
            // The piece gives way to its loading picture, which fades out where it stood.
            departed_[at] = true;
            piece->setVisible(false);
            if (MagnifySprite* zoom = magnifySprite(x, y)) {
                zoom->setSource(cellImage(*piece, piece->getFrame()).get());
                zoom->setLocation(piece->getX(), piece->getY());
                host_.placeBelow(zoom, "ipicketfence");
                zoom->setColorTransform(128, 128, 128, 128);
                zoom->fadeTo(0, 20, 0);
                zoom->setVisible(true);
            }
        }
    return !left;
}

void KolbaxBoardView::replaceTilesWithEndAnimations() {
    for (auto& tile : tiles_) {
        if (!tile->isVisible())
            continue;
        tile->setVisible(false);
        host_.effectFrom("goldtileplacementburst", tile->getX(), tile->getY(), "Remove effect");
    }
}

void KolbaxBoardView::settlePieces() {
    for (auto& piece : pieces_) {
        piece->stopDrop();
        if (board::onBoard(piece->squareX(), piece->squareY())) {
            util::Point p = squareToScreen(piece->squareX(), piece->squareY());
            piece->setLocation(p.x, p.y);
        }
    }
    for (auto& fly : dragonflies_)
        fly->reset();
}

// ---- the model's events ----

void KolbaxBoardView::playSound(int effect, double volume) {
    (void)volume;
    host_.scene().GameCanvas::playSound(effect);
}

void KolbaxBoardView::showValue(int id, int value) {
    GamePieceSprite* piece = pieceSprite(id);
    if (piece == nullptr)
        return;
    piece->setKind(std::clamp(board::matchKind(value), 0, GamePieceSprite::kKindFrames - 1));
    int code = overlayCode(value);
    if (code != board::kNone)
        piece->showPowerOverlay(code, *host_.random());
    else
        piece->hidePowerOverlay();
    if (piece->kind() == GamePieceSprite::kSunFrame)
        piece->showSunOverlay(*host_.random());
}

void KolbaxBoardView::piecePlaced(int id, int x, int y, int value, int zoomSteps, int turns) {
    GamePieceSprite* piece = pieceSprite(id);
    if (piece == nullptr)
        return;
    showValue(id, value);
    piece->setSquare(x, y);
    util::Point p = squareToScreen(x, y);
    piece->setLocation(p.x, p.y);
    piece->stopDrop();
    // The first board arrives through the arrival phase: each square's zoom picture spins in and
    // the real pieces replace them once all have shown.
    piece->setVisible(false);
    if (MagnifySprite* zoom = magnifySprite(x, y)) {
        zoom->setSource(cellImage(*piece, piece->getFrame()).get());
        zoom->setLocation(p.x, p.y);
        zoom->setVisible(false);
        zoom->startZoom(zoomSteps, 10, 100, turns > 0 ? MagnifySprite::kSpinOneWay : MagnifySprite::kNoSpin,
                        turns, 128, 0);
    }
    host_.beginArrival();
}

void KolbaxBoardView::pieceSpawned(int id, int x, int y, int value, int frames) {
    GamePieceSprite* piece = pieceSprite(id);
    if (piece == nullptr)
        return;
    showValue(id, value);
    piece->setSquare(x, y);
    piece->setHighlighted(false);
    piece->setPreviewLit(false);
    util::Point above = squareToScreen(x, y - 1);
    util::Point to = squareToScreen(x, y);
    piece->setLocation(above.x, above.y);
    piece->setLanding(true);
    piece->setVisible(!host_.arriving());
    piece->moveTo(to.x, to.y, std::max(1, frames));
}

void KolbaxBoardView::pieceMoved(int id, int x, int y, int frames) {
    GamePieceSprite* piece = pieceSprite(id);
    if (piece == nullptr)
        return;
    piece->setSquare(x, y);
    util::Point to = squareToScreen(x, y);
    piece->moveTo(to.x, to.y, std::max(1, frames));
}

void KolbaxBoardView::pieceLanded(int id, const LandingBounce& bounce) {
    GamePieceSprite* piece = pieceSprite(id);
    if (piece == nullptr)
        return;
    // The glide may still have a step to go: the bounce starts from the square itself.
    util::Point to = squareToScreen(piece->squareX(), piece->squareY());
    piece->moveTo(to.x, to.y, 1);
    piece->setLocation(to.x, to.y);
    piece->startBounce(bounce);
}

void KolbaxBoardView::pieceChanged(int id, int value) {
    showValue(id, value);
}

void KolbaxBoardView::squareMatched(int x, int y) {
    util::Point p = squareToScreen(x, y);
    host_.effectFrom("matchoutsparkle", p.x, p.y, "Hide match out sparkle bling");
}

void KolbaxBoardView::pieceLeaving(int id, int x, int y) {
    (void)x;
    (void)y;
    GamePieceSprite* piece = pieceSprite(id);
    if (piece == nullptr)
        return;
    piece->setVisible(false);
    piece->setHighlighted(false);
    piece->setPreviewLit(false);
    piece->hidePowerOverlay();
    piece->stopDrop();
    piece->setSquare(board::kNone, board::kNone);
    if (hoverPiece_ == id)
        hoverPiece_ = board::kNone;
}

void KolbaxBoardView::tileChanged(int x, int y, int tileType, int frame) {
    TileGridSprite* tile = tileSprite(x, y);
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
    util::Point p = squareToScreen(x, y);
    // The effect carries its square, so that its end needs no look-up by position.
    lang::Ref<sprite::AnimateSprite> fx =
        host_.effectFrom("itwinkle", p.x, p.y, "Hide turned to gold anim and show gold tile");
    if (fx)
        fx->setUserValue(board::squareIndex(x, y) + 1);
}

void KolbaxBoardView::pointsShown(const PassPoints& points) {
    util::Point a = squareToScreen(points.left, points.top);
    util::Point b = squareToScreen(points.right + 1, points.bottom + 1);
    click_ = util::Point((a.x + b.x) / 2, (a.y + b.y) / 2);
    floatingNumber(click_.x, click_.y, points.points, "Slow cascading numbers");
    // The first matches cleared on level 1 explain what gold squares are.
    if (host_.level() == 1)
        host_.offerTutorial(board::kPageGold);
    if (points.cascade > 1)
        host_.effectFrom("cascadetext", click_.x, click_.y - 20, "Slow cascading text");
}

void KolbaxBoardView::selectionChanged(int x, int y) {
    sprite::Sprite* highlight = named("highlight");
    for (auto& piece : pieces_)
        piece->setHighlighted(false);
    if (!board::onBoard(x, y)) {
        if (highlight != nullptr)
            highlight->setVisible(false);
        return;
    }
    if (GamePieceSprite* piece = pieceSprite(board_.pieceId(x, y)))
        piece->setHighlighted(true);
    if (highlight != nullptr) {
        util::Point p = squareToScreen(x, y);
        highlight->setLocation(p.x - 3, p.y - 3);
        highlight->setVisible(true);
    }
}

void KolbaxBoardView::hintShown(int x1, int y1, int x2, int y2) {
    const int xs[2] = {x1, x2};
    const int ys[2] = {y1, y2};
    const char* names[2] = {"hinthighlight1", "hinthighlight2"};
    for (int i = 0; i < 2; ++i)
        if (sprite::Sprite* s = named(names[i])) {
            util::Point p = squareToScreen(xs[i], ys[i]);
            s->setLocation(p.x, p.y);
            s->setVisible(true);
        }
}

void KolbaxBoardView::hintCleared() {
    show("hinthighlight1", false);
    show("hinthighlight2", false);
}

void KolbaxBoardView::sunPlaced(int x, int y, int sunsLeft) {
    // A used sun is gone from the player's store at once, whatever becomes of the level.
    if (PlayerData* player = host_.playerData())
        player->setSuns(sunsLeft);
    util::Point p = squareToScreen(x, y);
    host_.effectFrom("goldtileplacementburst", p.x, p.y, "Hide Sunburst");
    hideSunCursor();
}

void KolbaxBoardView::redAlert() {
    host_.scene().loopSound(board::kSoundTimeRunningOut);
}

void KolbaxBoardView::noMoreMoves(bool withSuns) {
    // With suns the level goes on: the player breaks a piece with one (the model offers the
    // explanation). The sign, which takes every press, is only for a player without any: the model
    // ends that level 40 frames later (levelLost). Shown to a player with suns, it would leave the
    // console sun out of reach and the board waiting for ever.
    if (withSuns)
        return;
    if (sprite::Sprite* sign = named("inomoremoves")) {
        host_.placeBelow(sign, "ipicketfence3");
        sign->setVisible(true);
    }
}

void KolbaxBoardView::levelComplete() {
    host_.boardLevelComplete();
}

void KolbaxBoardView::levelLost(LevelLoss reason) {
    host_.boardLevelLost(reason);
}

void KolbaxBoardView::dragonflyLanded(int id, int x, int y) {
    for (auto& fly : dragonflies_) {
        if (fly->flightState() != DragonflySprite::kFree)
            continue;
        util::Point p = squareToScreen(x, y);
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
    for (auto& fly : dragonflies_)
        if (fly->flightState() == DragonflySprite::kResting && fly->restingSquare() == BoardSquare{x, y})
            chosen = fly.get();
    if (chosen == nullptr)
        for (auto& fly : dragonflies_)
            if (fly->flightState() == DragonflySprite::kFree) {
                chosen = fly.get();
                util::Point p = squareToScreen(x, y);
                chosen->setLocation(p.x, p.y);
                chosen->setVisible(true);
                break;
            }
    if (chosen == nullptr)
        return;
    chosen->takeOff(path);
    if (flight >= static_cast<int>(flightDragonfly_.size()))
        flightDragonfly_.resize(static_cast<size_t>(flight) + 1, -1);
    for (size_t i = 0; i < dragonflies_.size(); ++i)
        if (dragonflies_[i].get() == chosen)
            flightDragonfly_[static_cast<size_t>(flight)] = static_cast<int>(i);
}

void KolbaxBoardView::dragonflyMoved(int flight, int x, int y) {
    if (flight < 0 || flight >= static_cast<int>(flightDragonfly_.size()))
        return;
    DragonflySprite* fly = dragonflySprite(flightDragonfly_[static_cast<size_t>(flight)]);
    if (fly == nullptr)
        return;
    fly->nextPathSquare();
    util::Point p = squareToScreen(x, y);
    if (p.x != fly->getX())
        fly->face(p.x > fly->getX() ? Heading::Right : Heading::Left);
    else if (p.y != fly->getY())
        fly->face(p.y > fly->getY() ? Heading::Down : Heading::Up);
    fly->moveTo(p.x, p.y, Board::kDragonflyFramesPerSquare);
}

void KolbaxBoardView::dragonflyLeft(int flight, Heading heading) {
    if (flight < 0 || flight >= static_cast<int>(flightDragonfly_.size()))
        return;
    if (DragonflySprite* fly = dragonflySprite(flightDragonfly_[static_cast<size_t>(flight)]))
        fly->leaveScreen(heading, 20);
    flightDragonfly_[static_cast<size_t>(flight)] = -1;
}

void KolbaxBoardView::previewShown(const std::vector<BoardSquare>& squares) {
    for (auto& piece : pieces_)
        piece->setPreviewLit(false);
    for (const BoardSquare& s : squares)
        if (GamePieceSprite* piece = pieceSprite(board_.pieceId(s.x, s.y)))
            piece->setPreviewLit(true);
}

// ---- effects ----

void KolbaxBoardView::onSquare(const char* templateName, int x, int y, const char* label) {
    util::Point p = squareToScreen(x, y);
    host_.effectFrom(templateName, p.x, p.y, label);
}

void KolbaxBoardView::explanationOffered(int page) {
    host_.explanationDue(page);
}

void KolbaxBoardView::shimmer() {
    const Board& board = board_;
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y)
            if (board.value(x, y) >= 0 && !board.gold(x, y))
                onSquare("ilastgridshimmer", x, y, "Stop Shimmer");
}

void KolbaxBoardView::sunTwinkle() {
    const util::Point sun = host_.consoleSunPoint();
    host_.effectFrom("itwinklebig", sun.x, sun.y, "Hide Gold Sun Twinkle");
}

void KolbaxBoardView::sunCarriedChanged(bool carried) {
    if (!carried)
        hideSunCursor();
}

void KolbaxBoardView::powerFired(int x, int y, int value) {
    (void)value;
    show("itutorial", false);
    onSquare("powerpiecehighlight", x, y, "Hide Big Power Piece Explosions");
}

void KolbaxBoardView::pointsLabel(int x, int y, int points) {
    util::Point p = squareToScreen(x, y);
    floatingNumber(p.x, p.y, points, "Slow cascading numbers");
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
    util::Point p = squareToScreen(x, y);
    // The arrow lives as long as the beam: it has no end label of its own until it leaves.
    lang::Ref<sprite::AnimateSprite> arrow = host_.effectFrom("iarrow", p.x, p.y, "Hide Arrow");
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
    util::Point p = squareToScreen(x, y);
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
    arrow->setNotify(&host_.scene(), label.get());
    arrow->moveTo(tx, ty, 10);
    beams_.erase(found);
}

void KolbaxBoardView::cloudDropShown(int cloud, int screenX) {
    (void)cloud;
    host_.effectFrom("drips", screenX, std::max(0, boardOriginY_ - 40), "Remove effect");
}

void KolbaxBoardView::strikeShown(int x, int y, int cloud) {
    (void)cloud;
    onSquare("ilightning", x, y, "Hide lightning");
}

void KolbaxBoardView::timerFrozen(int frames) {
    (void)frames;
    const util::Point score = host_.scorePoint();
    host_.effectFrom("staticelectric", score.x, score.y, "Hide static ball");
}

void KolbaxBoardView::fiveMatchFlash(int slot, int x, int y) {
    if (slot < 0 || slot > 1)
        return;
    fiveMatchFlashHidden(slot);
    util::Point p = squareToScreen(x, y);
    lang::Ref<sprite::AnimateSprite> flash =
        host_.effectFrom(slot == 0 ? "fiverflash1" : "fiverflash2", p.x, p.y, "Hide Fiver Flash");
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
    host_.scene().removeSprite(flashes_[static_cast<size_t>(slot)].get());
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
        host_.scene().removeSprite(arrow.get());
    beams_.clear();
    for (int slot = 0; slot < 2; ++slot)
        fiveMatchFlashHidden(slot);
}

// ---- the bonus level ----

void KolbaxBoardView::bonusGridDealt(const std::array<int, 36>& prizes) {
    clearBonusGrid();
    sprite::AnimateSprite* blockTemplate = namedAnimated("ibonusblocks");
    sprite::AnimateSprite* prizeTemplate = namedAnimated("ibonusprizes");
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
            host_.placeBelow(prize.get(), "ipicketfence");
        }
        auto block = lang::adopt(static_cast<sprite::AnimateSprite*>(blockTemplate->clone()));
        block->setLocation(x, y);
        block->setFrame(block->getFirstFrame());
        block->setFrameStep(0, false);
        block->setVisible(true);
        host_.placeBelow(block.get(), "ipicketfence");
        bonusBlocks_.push_back(block);
        bonusPrizes_.push_back(prize);
    }
}

void KolbaxBoardView::bonusPicksChanged(int picks) {
    sprite::Sprite* counter = named("bonusclicknumber");
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
    if (i >= bonusBlocks_.size())
        return;
    sprite::AnimateSprite* block = bonusBlocks_[i].get();
    if (awarded) {
        util::Point p(block->getX(), block->getY());
        host_.effectFrom("bonussparkle", p.x, p.y, "Remove effect");
    }
    block->setVisible(false);
    if (sprite::AnimateSprite* shown = bonusPrizes_[i].get()) {
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
    if (i < bonusBlocks_.size())
        host_.effectFrom("fiverflash1", bonusBlocks_[i]->getX(), bonusBlocks_[i]->getY(),
                           "Remove effect");
}

void KolbaxBoardView::bonusPointsSent(int row, int column, int points, int frames) {
    (void)frames;
    const size_t i = static_cast<size_t>(row * 6 + column);
    if (i >= bonusBlocks_.size())
        return;
    // The prize's points show on the block, then fly to the score and burst there.
    floatingNumber(bonusBlocks_[i]->getX(), bonusBlocks_[i]->getY(), points,
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
    if (i >= bonusBlocks_.size())
        return;
    host_.effectFrom("bonussunglitter", bonusBlocks_[i]->getX(), bonusBlocks_[i]->getY(),
                       "Send points to console sun location");
}

void KolbaxBoardView::sunDelivered(int sunsHeld) {
    (void)sunsHeld;
    host_.scene().handleAction(nullptr, lang::String("Give gold sun"));
}
