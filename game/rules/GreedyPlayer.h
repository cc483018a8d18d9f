// GreedyPlayer: the move choice of the bots that play the board, the level bot on the model alone and
// the soak driver through the real game, so that the levels are tuned with the play that is soaked.
#pragma once

#include "game/rules/Board.h"

class GreedyPlayer {
public:
    // The swap whose runs cover the most squares that are not gold yet (10 each), plus ten times what
    // the power pieces in them would clear and 5 for each cobweb beside them; ties go to the lower row.
    // Invalid when the board has no move.
    static SwapMove chooseMove(const Board& board);
    // What a power piece on (x, y) would clear that is not gold yet, estimated from the board without
    // the preview: its lines, its block, its kind, a few strikes; the clock is worth more as time runs
    // out. 0 for a plain piece.
    static int powerValue(const Board& board, int x, int y);
    // Where a sun helps: a square holding a piece at rest that is neither gold nor marked, the lowest
    // row first. False when there is none.
    static bool sunTarget(const Board& board, int& x, int& y);
};
