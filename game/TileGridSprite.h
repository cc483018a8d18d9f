// TileGridSprite: the tile of one board square: its type, its frame and the cobweb-struck mark.
#pragma once

#include "sprite/AnimateSprite.h"

class TileGridSprite : public sprite::AnimateSprite {
public:
    TileGridSprite() = default;
    ~TileGridSprite() override;

    LANG_CLASS_NAME(TileGridSprite, AnimateSprite)
    LANG_DECLARE_CLASS_RECORD(TileGridSprite);

    // A copy of the sprite with the square, the type and the mark.
    Sprite* clone() override;

    void setSquare(int x, int y) {
        squareX_ = x;
        squareY_ = y;
    }
    int squareX() const { return squareX_; }
    int squareY() const { return squareY_; }
    void setTileType(int type) { tileType_ = type; }
    int tileType() const { return tileType_; }
    void setStruckMark(bool on) { struckMark_ = on; }
    bool struckMark() const { return struckMark_; }

private:
    bool struckMark_ = false;
    int squareX_ = -13;
    int squareY_ = -13;
    int tileType_ = -13;
};
