// BonusGrid: the 6-by-6 prize grid of a bonus level: the bag of prizes, the deal with its fairness rule
// for blast prizes, and which blocks still cover their prize.
#pragma once

#include <array>

#include "util/Random.h"

class BonusGrid {
public:
    static constexpr int kSize = 6;
    static constexpr int kCells = kSize * kSize;
    using Prizes = std::array<int, kCells>;

    // Prize codes: 0..4 points, 5..7 suns, 8..10 row, column and area blasts, 11 one more pick.
    static constexpr int kRowBlast = 8;
    static constexpr int kColumnBlast = 9;
    static constexpr int kAreaBlast = 10;
    static constexpr int kExtraPick = 11;

    static const Prizes& bag();
    static bool isSun(int prize) { return prize >= 5 && prize <= 7; }
    static bool isBlast(int prize) { return prize >= kRowBlast && prize <= kAreaBlast; }
    static int pointsOf(int prize);
    static int sunsOf(int prize) { return isSun(prize) ? prize - 4 : 0; }
    // Whether every blast prize has at most four sun prizes and at most one other blast prize within its
    // reach (its row, its column, or the 3-by-3 block around it).
    static bool fair(const Prizes& prizes);
    // The cells a blast prize at (row, column) reaches, itself excluded.
    static bool inReach(int blast, int row, int column, int r, int c);

    // Deals a fresh bag until the deal is fair and covers every block; returns the number of deals.
    int deal(util::Random& random);
    // Sets a dealt grid directly (tests, scenarios); every block covered.
    void set(const Prizes& prizes);

    int prize(int row, int column) const { return prizes_[index(row, column)]; }
    void setPrize(int row, int column, int prize) { prizes_[index(row, column)] = prize; }
    bool covered(int row, int column) const { return covered_[index(row, column)]; }
    void uncover(int row, int column) { covered_[index(row, column)] = false; }
    int coveredCount() const;
    const Prizes& prizes() const { return prizes_; }

    static bool onGrid(int row, int column) {
        return row >= 0 && row < kSize && column >= 0 && column < kSize;
    }

private:
    static size_t index(int row, int column) { return static_cast<size_t>(row * kSize + column); }

    Prizes prizes_{};
    std::array<bool, kCells> covered_{};
};
