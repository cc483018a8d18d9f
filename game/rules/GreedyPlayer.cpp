// GreedyPlayer: the bots' move choice.
#include "game/rules/GreedyPlayer.h"

#include <algorithm>
#include <array>
#include <utility>

int GreedyPlayer::powerValue(const Board& board, int x, int y) {
    auto notGold = [&](int px, int py) {
        return board::onBoard(px, py) && board.tileType(px, py) != board::kTileHole && !board.gold(px, py);
    };
    int v = board.value(x, y), n = 0;
    switch (board::powerOf(v)) {
        case 4:
        case 5:
        case 8: {
            int p = board::powerOf(v);
            for (int i = 0; i < board::kColumns && p != 8; ++i)
                n += notGold(i, y) ? 1 : 0;
            for (int i = 0; i < board::kRows && p != 4; ++i)
                n += notGold(x, i) ? 1 : 0;
            return n;
        }
        case 3:
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx)
                    n += notGold(x + dx, y + dy) ? 1 : 0;
            }
            return n;
        case 6:
            for (int px = 0; px < board::kColumns; ++px) {
                for (int py = 0; py < board::kRows; ++py) {
                    int w = board.value(px, py);
                    n += w >= 0 && board::matchKind(w) == board::matchKind(v) && notGold(px, py) ? 1 : 0;
                }
            }
            return n;
        case 9:
            return 3;
        case 7:
            return board.timer() / 40;
        case 2:
            return 20;
        default:
            return 0;
    }
}

SwapMove GreedyPlayer::chooseMove(const Board& board) {
    SwapMove best;
    int bestScore = 0, bestRow = -1;
    std::array<bool, board::kSquares> squares;
    for (int x = 0; x < board::kColumns; ++x) {
        for (int y = 0; y < board::kRows; ++y) {
            for (int dir = 0; dir < 2; ++dir) {
                int x2 = dir == 0 ? x + 1 : x, y2 = dir == 0 ? y : y + 1;
                if (!board::onBoard(x2, y2) || board.runSquaresAfterSwap(x, y, x2, y2, &squares) == 0)
                    continue;
                int score = 1;  // any move beats none
                for (int i = 0; i < board::kSquares; ++i) {
                    if (!squares[static_cast<size_t>(i)])
                        continue;
                    int sx = i / board::kRows, sy = i % board::kRows;
                    // The piece that stands there after the swap.
                    int px = sx, py = sy;
                    if (sx == x && sy == y)
                        px = x2, py = y2;
                    else if (sx == x2 && sy == y2)
                        px = x, py = y;
                    score += board.gold(sx, sy) ? 0 : 10;
                    score += 10 * powerValue(board, px, py);
                    for (auto [dx, dy] : {std::pair{0, 1}, {0, -1}, {1, 0}, {-1, 0}}) {
                        if (board::onBoard(sx + dx, sy + dy) && board.isCobweb(sx + dx, sy + dy))
                            score += 5;
                    }
                }
                int row = std::max(y, y2);
                if (score > bestScore || (score == bestScore && row > bestRow)) {
                    best = SwapMove{x, y, x2, y2};
                    bestScore = score;
                    bestRow = row;
                }
            }
        }
    }
    return best;
}

bool GreedyPlayer::sunTarget(const Board& board, int& tx, int& ty) {
    for (int y = board::kRows - 1; y >= 0; --y) {
        for (int x = 0; x < board::kColumns; ++x) {
            if (board.value(x, y) >= 0 && !board.gold(x, y) && board.pieceAtRest(x, y) &&
                board.mark(x, y) != board::kMarked) {
                tx = x, ty = y;
                return true;
            }
        }
    }
    return false;
}
