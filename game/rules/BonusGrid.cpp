// BonusGrid: the bag, the deal and its fairness check.
#include "game/rules/BonusGrid.h"

#include <cstdlib>

const BonusGrid::Prizes& BonusGrid::bag() {
    static const Prizes kBag = {0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3,  3,  3,  3,
                                4, 4, 5, 5, 5, 5, 5, 5, 6, 6, 6, 7, 8, 9, 10, 11, 11, 11};
    return kBag;
}

int BonusGrid::pointsOf(int prize) {
    static constexpr int kPoints[5] = {100, 500, 1000, 5000, 10000};
    return prize >= 0 && prize < 5 ? kPoints[prize] : 0;
}

bool BonusGrid::inReach(int blast, int row, int column, int r, int c) {
    if (r == row && c == column)
        return false;
    switch (blast) {
        case kRowBlast:
            return r == row;
        case kColumnBlast:
            return c == column;
        case kAreaBlast:
            return std::abs(r - row) <= 1 && std::abs(c - column) <= 1;
        default:
            return false;
    }
}

bool BonusGrid::fair(const Prizes& prizes) {
    for (int row = 0; row < kSize; ++row) {
        for (int column = 0; column < kSize; ++column) {
            int blast = prizes[index(row, column)];
            if (!isBlast(blast))
                continue;
            int suns = 0, blasts = 0;
            for (int r = 0; r < kSize; ++r) {
                for (int c = 0; c < kSize; ++c) {
                    if (!inReach(blast, row, column, r, c))
                        continue;
                    suns += isSun(prizes[index(r, c)]) ? 1 : 0;
                    blasts += isBlast(prizes[index(r, c)]) ? 1 : 0;
                }
            }
            if (suns > 4 || blasts > 1)
                return false;
        }
    }
    return true;
}

int BonusGrid::deal(util::Random& random) {
    for (int deals = 1;; ++deals) {
        std::array<bool, kCells> taken{};
        for (int cell = 0; cell < kCells; ++cell) {
            int slot = 0;
            do {
                slot = random.nextInt(kCells - 1);
            } while (taken[static_cast<size_t>(slot)]);
            taken[static_cast<size_t>(slot)] = true;
            prizes_[static_cast<size_t>(cell)] = bag()[static_cast<size_t>(slot)];
        }
        // A fair deal exists and comes up often (most deals pass), so the loop ends.
        if (fair(prizes_)) {
            covered_.fill(true);
            return deals;
        }
    }
}

void BonusGrid::set(const Prizes& prizes) {
    prizes_ = prizes;
    covered_.fill(true);
}

int BonusGrid::coveredCount() const {
    int n = 0;
    for (bool c : covered_)
        n += c ? 1 : 0;
    return n;
}
