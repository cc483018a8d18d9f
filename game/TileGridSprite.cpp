// TileGridSprite: the square's tile; its frames are the tile frames (plain, double, triple, gold, ...).
#include "game/TileGridSprite.h"

LANG_DEFINE_CLASS_RECORD(TileGridSprite);

TileGridSprite::~TileGridSprite() = default;

sprite::Sprite* TileGridSprite::clone() {
    auto* copy = new TileGridSprite();
    copySpriteTo(*copy);
    copyAnimationTo(*copy);
    copy->struckMark_ = struckMark_;
    copy->squareX_ = squareX_;
    copy->squareY_ = squareY_;
    copy->tileType_ = tileType_;
    return copy;
}
