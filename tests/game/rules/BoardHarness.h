// Test harness for the board model: boards written as text, an event log, and frames run with the
// invariant check after every one.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "game/rules/Board.h"
#include "game/rules/BoardInvariants.h"
#include "game/rules/BoardText.h"

// A filler that never forms a run: kinds 8..13 in a pattern whose neighbours always differ.
inline char fillerAt(int x, int y) {
    return static_cast<char>('i' + (x + 2 * y) % 6);
}

// The filler board with some cells replaced.
struct CellAt {
    int x, y;
    const char* cell;
};
inline std::string fillerWith(std::initializer_list<CellAt> cells, bool goldFiller = false) {
    std::string rows;
    for (int y = 0; y < board::kRows; ++y) {
        for (int x = 0; x < board::kColumns; ++x) {
            std::string cell = std::string(1, fillerAt(x, y)) + (goldFiller ? "*" : "");
            for (const CellAt& c : cells) {
                if (c.x == x && c.y == y)
                    cell = c.cell;
            }
            rows += cell + (x + 1 < board::kColumns ? " " : "\n");
        }
    }
    return rows;
}

class EventLog : public BoardEvents {
public:
    void playSound(int effect, double) override { sounds.push_back(effect); }
    void pointsShown(const PassPoints& p) override { passes.push_back(p); }
    void squareTurnedGold(int x, int y) override { golds.push_back({x, y}); }
    void noMoreMoves(bool withSuns) override { noMoreMovesEvents.push_back(withSuns); }
    void levelComplete() override { ++completes; }
    void levelLost(LevelLoss reason) override { losses.push_back(reason); }
    void redAlert() override { ++redAlerts; }
    void watchdogFired(int) override { ++watchdogs; }
    void strikeShown(int x, int y, int) override { strikes.push_back({x, y}); }
    void timerFrozen(int frames) override { frozen.push_back(frames); }
    void previewShown(const std::vector<BoardSquare>& squares) override { preview = squares; }
    void bonusBlockBroken(int row, int column, int prize, bool awarded) override {
        broken.push_back({row * 6 + column, awarded ? prize : -1 - prize});
    }
    void sunDelivered(int held) override { deliveries.push_back(held); }
    int count(int sound) const {
        int n = 0;
        for (int s : sounds)
            n += s == sound ? 1 : 0;
        return n;
    }
    std::vector<int> sounds;
    std::vector<PassPoints> passes;
    std::vector<std::pair<int, int>> golds;
    std::vector<bool> noMoreMovesEvents;
    std::vector<LevelLoss> losses;
    std::vector<BoardSquare> strikes;
    std::vector<int> frozen;
    std::vector<BoardSquare> preview;
    std::vector<std::pair<int, int>> broken;  // cell, prize (awarded) or -1 - prize (shown at the end)
    std::vector<int> deliveries;
    int completes = 0;
    int redAlerts = 0;
    int watchdogs = 0;
};

class TestBoard {
public:
    explicit TestBoard(uint32_t seed = 1) : random(seed), board(random, &log) {}

    // Ten lines of 13 cells, "?" standing for the filler; the kinds in play and refill are the caller's.
    void set(const std::string& rows) {
        std::array<SquareSetup, board::kSquares> squares{};
        size_t start = 0;
        for (int y = 0; y < board::kRows; ++y) {
            size_t end = rows.find('\n', start);
            std::string line = rows.substr(start, end == std::string::npos ? std::string::npos : end - start);
            for (size_t q = line.find('?'); q != std::string::npos; q = line.find('?')) {
                int x = 0;
                for (size_t c = 0; c < q; ++c)
                    x += line[c] == ' ' ? 1 : 0;
                line[q] = fillerAt(x, y);
            }
            std::string error;
            ASSERT_TRUE(BoardText::parseRow(line, board, y, squares, error)) << error;
            start = end + 1;
        }
        board.setSquares(squares);
    }
    std::string text() const { return BoardText::format(board); }
    std::string row(int y) const { return BoardText::formatRow(board, y); }

    // Runs frames, checking the invariants after each; stops when the board is quiet in the play
    // state or the level has ended. Returns the frames run.
    int settle(int maxFrames = 5000) {
        for (int f = 0; f < maxFrames; ++f) {
            if (board.finished() || (board.state() == Board::kPlay && board.piecesAtRest()))
                return f;
            step();
        }
        ADD_FAILURE() << "the board did not settle in " << maxFrames << " frames";
        return maxFrames;
    }
    void frames(int n) {
        for (int f = 0; f < n; ++f)
            step();
    }
    void step() {
        board.frame();
        std::string broken = BoardInvariants::check(board);
        if (!broken.empty() && failures++ == 0)
            ADD_FAILURE() << "invariant broken after frame " << board.frameCounter() << ": " << broken << "\n"
                          << text();
    }
    void swap(int x1, int y1, int x2, int y2) {
        board.pickPiece(x1, y1);
        board.pickPiece(x2, y2);
    }
    void setRecord(int timerStep, int tickFrames, std::initializer_list<int> kinds) {
        LevelRecord r;
        r.timerStep = timerStep;
        r.timerTickFrames = tickFrames;
        r.kindCount = 0;
        for (int k : kinds)
            r.kinds[static_cast<size_t>(r.kindCount++)] = k;
        board.setRecord(r);
    }

    util::Random random;
    EventLog log;
    Board board;
    int failures = 0;
};
