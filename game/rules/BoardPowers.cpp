// Board: firing a power piece. The bookkeeping every power shares lives here; the effects of the
// powers on the board come with the power rules.
#include "game/rules/Board.h"

using namespace board;

void Board::firePower(int x, int y) {
    if (!onBoard(x, y) || !isPowerValue(kinds_[at(x, y)]))
        return;
    ++powerPiecesUsed_;
    powerFiredThisPass_ = true;
    if (powerPiecesOnBoard_ > 0)
        --powerPiecesOnBoard_;
}
