// Board geometry, square values, tile types and frames, and the kind arithmetic shared by the rules.
#pragma once

namespace board {

constexpr int kColumns = 13;
constexpr int kRows = 10;
constexpr int kSquares = kColumns * kRows;

// Per-square arrays are column-major: x * 10 + y.
constexpr int squareIndex(int x, int y) {
    return x * kRows + y;
}
constexpr bool onBoard(int x, int y) {
    return x >= 0 && x < kColumns && y >= 0 && y < kRows;
}

// Values of boardKinds besides pieces. -13 also stands for "none" (no square, no pick, no pool id).
constexpr int kNone = -13;
constexpr int kEmpty = -13;
constexpr int kHole = -2;
constexpr int kOneVine = -5;
constexpr int kTwoVines = -6;
constexpr int kCutOff = -14;  // empty, and no falling piece can reach it

// clearMarks values.
constexpr int kMarked = -12;
constexpr int kClearedMark = -9;

// Tile types.
constexpr int kTilePlain = 0;
constexpr int kTileChanged = -1;  // a plain square that used to be a cobweb, vine or multi tile
constexpr int kTileDouble = -15;
constexpr int kTileTriple = -16;
constexpr int kTileCobweb = -4;
constexpr int kTileTwoVines = -6;
constexpr int kTileOneVine = -5;
constexpr int kTileHole = -2;

// Tile frames.
constexpr int kFramePlain = 0;
constexpr int kFrameDouble = 1;
constexpr int kFrameDoubleHit = 2;
constexpr int kFrameTriple = 3;
constexpr int kFrameTripleHit = 4;
constexpr int kFrameTripleHitTwice = 5;
constexpr int kFrameGold = 6;
constexpr int kFrameCobweb = 8;
constexpr int kFrameTwoVines = 9;
constexpr int kFrameOneVine = 10;
constexpr int kFrameHidden = -1;

// The kind table: 18 kind codes; index 17 is the sun piece.
constexpr int kKindCount = 18;
constexpr int kSunKindIndex = 17;
constexpr int kMaxKindsInPlay = 7;

// Power values: base kind + the power's thousands.
constexpr int kPowerBase = 2000;
constexpr int kDragonfly = 2000;
constexpr int kAreaBlast = 3000;
constexpr int kRowBlast = 4000;
constexpr int kCrosshairBlast = 5000;
constexpr int kColourBlast = 6000;
constexpr int kClock = 7000;
constexpr int kColumnBlast = 8000;
constexpr int kRandomBlast = 9000;

constexpr int kPoolSize = 250;

// The power of a value: its thousands digit, 2 (dragonfly) .. 9 (random blast); 0 for no power.
constexpr int powerOf(int value) {
    if (value < kPowerBase)
        return 0;
    return value >= kRandomBlast ? 9 : value / 1000;
}

// The kind a value matches by: itself below 1000, value % 1000 above (a power piece's base kind).
constexpr int matchKind(int value) {
    return value < 1000 ? value : value % 1000;
}
constexpr bool isPowerValue(int value) {
    return value >= kPowerBase;
}
constexpr bool isVineValue(int value) {
    return value == kOneVine || value == kTwoVines;
}
constexpr bool isVineTile(int tileType) {
    return tileType == kTileOneVine || tileType == kTileTwoVines;
}

}  // namespace board
