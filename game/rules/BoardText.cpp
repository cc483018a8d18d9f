// BoardText: parsing and printing text cells.
#include "game/rules/BoardText.h"

using namespace board;

bool BoardText::parseCell(std::string_view cell, const Board& b, SquareSetup& out, std::string& error) {
    out = SquareSetup{};
    if (cell.empty()) {
        error = "empty cell";
        return false;
    }
    if (cell.size() == 1) {
        switch (cell[0]) {
            case '.':
                return true;
            case '#':
                out = {kHole, kTileHole, kFrameHidden, false};
                return true;
            case 'v':
                out = {kOneVine, kTileOneVine, kFrameOneVine, false};
                return true;
            case 'V':
                out = {kTwoVines, kTileTwoVines, kFrameTwoVines, false};
                return true;
            case 'x':
                out = {kCutOff, kTilePlain, kFramePlain, false};
                return true;
            default:
                break;
        }
    }
    char letter = cell[0];
    if (letter < 'a' || letter >= 'a' + kKindCount) {
        error = "bad cell \"" + std::string(cell) + "\": expected . # v V x or a piece letter a..r";
        return false;
    }
    out.value = b.kindCode(letter - 'a');
    size_t pos = 1;
    if (pos < cell.size() && cell[pos] >= '2' && cell[pos] <= '9') {
        out.value += (cell[pos] - '0') * 1000;
        ++pos;
    }
    if (pos < cell.size()) {
        switch (cell[pos]) {
            case '*':
                out.frame = kFrameGold;
                out.gold = true;
                break;
            case '~':
                out.tileType = kTileCobweb;
                out.frame = kFrameCobweb;
                break;
            case '=':
                out.tileType = kTileDouble;
                out.frame = kFrameDouble;
                break;
            case '-':
                out.tileType = kTileDouble;
                out.frame = kFrameDoubleHit;
                break;
            case '%':
                out.tileType = kTileTriple;
                out.frame = kFrameTriple;
                break;
            case '&':
                out.tileType = kTileTriple;
                out.frame = kFrameTripleHit;
                break;
            case '$':
                out.tileType = kTileTriple;
                out.frame = kFrameTripleHitTwice;
                break;
            default:
                error = "bad cell \"" + std::string(cell) + "\": unknown power digit or tile mark";
                return false;
        }
        ++pos;
    }
    if (pos != cell.size()) {
        error = "bad cell \"" + std::string(cell) + "\": extra characters";
        return false;
    }
    return true;
}

bool BoardText::parseRow(std::string_view line, const Board& b, int y,
                         std::array<SquareSetup, kSquares>& squares, std::string& error) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    int x = 0;
    size_t start = 0;
    while (true) {
        size_t end = line.find(' ', start);
        std::string_view cell = line.substr(start, end == std::string_view::npos ? end : end - start);
        if (x >= kColumns) {
            error = "row " + std::to_string(y) + " has more than 13 cells";
            return false;
        }
        if (!parseCell(cell, b, squares[static_cast<size_t>(squareIndex(x, y))], error)) {
            error = "row " + std::to_string(y) + ", column " + std::to_string(x) + ": " + error;
            return false;
        }
        ++x;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    if (x != kColumns) {
        error = "row " + std::to_string(y) + " has " + std::to_string(x) + " cells, expected 13";
        return false;
    }
    return true;
}

std::string BoardText::formatCell(const Board& b, int x, int y) {
    int type = b.tileType(x, y);
    int v = b.value(x, y);
    if (type == kTileHole || v == kHole)
        return "#";
    if (type == kTileOneVine)
        return "v";
    if (type == kTileTwoVines)
        return "V";
    if (v == kCutOff)
        return "x";
    if (v < 0)
        return ".";
    std::string cell;
    int index = b.kindIndexOf(v);
    cell += index >= 0 ? static_cast<char>('a' + index) : '?';
    if (isPowerValue(v))
        cell += static_cast<char>('0' + (v / 1000 > 9 ? 9 : v / 1000));
    int f = b.tileFrame(x, y);
    if (type == kTileCobweb)
        cell += '~';
    else if (type == kTileDouble)
        cell += f == kFrameDoubleHit ? '-' : '=';
    else if (type == kTileTriple)
        cell += f == kFrameTripleHitTwice ? '$' : f == kFrameTripleHit ? '&' : '%';
    else if (b.gold(x, y))
        cell += '*';
    return cell;
}

std::string BoardText::formatRow(const Board& b, int y) {
    std::string row;
    for (int x = 0; x < kColumns; ++x) {
        if (x > 0)
            row += ' ';
        row += formatCell(b, x, y);
    }
    return row;
}

std::string BoardText::format(const Board& b) {
    std::string text;
    for (int y = 0; y < kRows; ++y)
        text += formatRow(b, y) + "\n";
    return text;
}
