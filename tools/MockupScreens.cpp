// The screen mock-ups, drawn as the scene script will place the sprites: every position comes from
// data/layout.txt and every picture from the built content.
#include "tools/MockupScreens.h"

#include <algorithm>
#include <cmath>

#include "lang/CodePage.h"
#include "tools/ArtRecipes.h"

namespace art {

MockupCanvas::MockupCanvas(const std::string& dataDir, const std::string& pictureDir)
    : pictureDir_(pictureDir),
      list_(readPictureList(dataDir + "/pictures.txt")),
      layout_(Layout::read(dataDir + "/layout.txt")),
      screen_(800, 600) {}

const PictureEntry& MockupCanvas::entry(const std::string& name) const {
    const PictureEntry* entry = findPicture(list_, name);
    if (entry == nullptr)
        throw ArtError("mock-up asks for " + name + ", which the picture list lacks");
    return *entry;
}

const ArtImage& MockupCanvas::picture(const std::string& name) {
    auto it = cache_.find(name);
    if (it != cache_.end())
        return it->second;
    const PictureEntry& s = entry(name);
    return cache_[name] = readPicture(pictureDir_ + "/" + name + "." + s.format);
}

void MockupCanvas::clear() {
    screen_.fill(Rgba{80, 80, 76, 255});
}

void MockupCanvas::draw(const std::string& name, int x, int y, int frame, float opacity) {
    const ArtImage& sheet = picture(name);
    const PictureEntry& s = entry(name);
    if (s.frameWidth == 0) {
        screen_.blend(sheet, x, y, opacity);
        return;
    }
    frame = std::clamp(frame, 0, s.frameCount() - 1);
    ArtImage cell(s.frameWidth, s.frameHeight);
    cell.copyFrom(sheet, (frame % s.columns) * s.frameWidth, (frame / s.columns) * s.frameHeight,
                  s.frameWidth, s.frameHeight, 0, 0);
    screen_.blend(cell, x, y, opacity);
}

void MockupCanvas::drawClipped(const std::string& name, int x, int y, int width, int frame) {
    const PictureEntry& s = entry(name);
    const ArtImage& sheet = picture(name);
    ArtImage cell(std::max(1, width), s.frameHeight);
    cell.copyFrom(sheet, (frame % s.columns) * s.frameWidth, (frame / s.columns) * s.frameHeight,
                  std::min(width, s.frameWidth), s.frameHeight, 0, 0);
    if (width > 0)
        screen_.blend(cell, x, y);
}

void MockupCanvas::drawMasked(const std::string& name, const std::string& mask, int x, int y) {
    ArtImage image = picture(name);
    const ArtImage& m = picture(mask);
    for (int j = 0; j < image.height(); ++j) {
        for (int i = 0; i < image.width(); ++i)
            image.at(i, j).a = m.at(i % m.width(), j % m.height()).a;
    }
    screen_.blend(image, x, y);
}

void MockupCanvas::text(const std::string& font, const std::string& utf8, int x, int y, int align) {
    std::string text = lang::utf8ToCp1252(utf8);
    const ArtImage& glyphs = picture(font);
    const ArtImage& table = picture(font + "_table");
    auto word = [&](int c, int k) {
        const Rgba& p = table.pixels()[static_cast<size_t>(c - 32) * 6 + k];
        return static_cast<int32_t>((static_cast<uint32_t>(p.a) << 24) | (p.r << 16) | (p.g << 8) | p.b);
    };
    auto code = [](char ch) { return std::max(32, static_cast<int>(static_cast<unsigned char>(ch))); };
    int width = text.empty() ? 0 : -word(code(text[0]), 4);
    for (char ch : text)
        width += word(code(ch), 5);
    int pen = align == 1 ? x - width / 2 : align == 2 ? x - width : x;
    bool first = true;
    for (char ch : text) {
        int c = code(ch);
        int lead = word(c, 4);
        if (!first)
            pen += lead;
        if (c != 32) {
            ArtImage cell(std::max(1, word(c, 2)), std::max(1, word(c, 3)));
            cell.copyFrom(glyphs, word(c, 0), word(c, 1), word(c, 2), word(c, 3), 0, 0);
            screen_.blend(cell, pen, y);
        }
        pen += word(c, 5) - lead;
        first = false;
    }
}

void MockupCanvas::number(const std::string& strip, long value, int x, int y, bool thousands) {
    const PictureEntry& s = entry(strip);
    bool digitsOnly = s.columns == 10;
    std::string digits = std::to_string(value);
    int pen = x;
    int count = 0;
    for (int i = static_cast<int>(digits.size()) - 1; i >= 0; --i) {
        if (thousands && !digitsOnly && count > 0 && count % 3 == 0) {
            pen -= s.frameWidth / 2;
            draw(strip, pen - s.frameWidth / 4, y, 3);
        }
        pen -= s.frameWidth;
        draw(strip, pen, y, (digitsOnly ? 0 : 5) + (digits[i] - '0'));
        ++count;
    }
}

void MockupCanvas::dim(float opacity) {
    draw("dim", 0, 0, 0, opacity / 0.55f);
}

namespace {

// The level shown in play: its board file decides the squares, a fixed pattern decides gold and pieces.
const int kShownLevel = 23;

std::vector<std::vector<int>> shownBoard(const std::string& dataDir) {
    return readBoardFile(dataDir + "/boards/board" + std::to_string(kShownLevel) + ".txt");
}

std::string g_dataDir;

void boardScene(MockupCanvas& c, bool withPieces, int goldUpTo) {
    int stage = (kShownLevel - 1) / 5 + 1;
    const std::vector<int>& o = c.layout().get("board_origin", 2);
    int sq = c.layout().get("square", 1)[0];
    c.draw("background" + std::to_string(stage), 0, 0);
    c.drawMasked("playarea" + std::to_string(kShownLevel), "playarea" + std::to_string(kShownLevel) + "alpha",
                 0, 0);
    std::vector<std::vector<int>> b = shownBoard(g_dataDir);
    auto square = [&](int x, int y) { return x >= 0 && x < 13 && y >= 0 && y < 10 && isSquareCode(b[y][x]); };
    Rng rng(std::string("mock"));
    // Stage variants under the tiles, then edge pieces on every open side, as the board set-up does.
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 13; ++x) {
            if (!square(x, y))
                continue;
            c.draw("igridvariance", o[0] + x * sq, o[1] + y * sq, 5 * (stage - 1) + rng.pick(5));
        }
    }
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 13; ++x) {
            if (!square(x, y))
                continue;
            bool top = !square(x, y - 1), bottom = !square(x, y + 1), left = !square(x - 1, y),
                 right = !square(x + 1, y);
            if (top && bottom && !left && !right)
                top = false;
            if (left && right && !top && !bottom)
                left = false;
            int px = o[0] + x * sq, py = o[1] + y * sq;
            if (top)
                c.draw("igridvarianceedge", px, py - sq, 4 * stage - 1);
            if (left)
                c.draw("igridvarianceedge", px - sq, py, 4 * stage - 2);
            if (bottom)
                c.draw("igridvarianceedge", px, py + sq, 4 * stage - 3);
            if (right)
                c.draw("igridvarianceedge", px + sq, py, 4 * stage - 4);
        }
    }
    const int tileFrame[7] = {0, -1, 8, 9, 10, 1, 3};
    // In play, the squares under the power pieces and the selection are gold, where those are hardest to
    // see, and a row shows the double and triple tiles in their hit steps.
    auto shownFrame = [&](int x, int y) {
        int code = b[y][x];
        bool special = (x == 3 && y == 4) || (x == 9 && y == 2) || (x == 6 && y == 7) || (x == 7 && y == 3) ||
                       (x == 5 && y == 5);
        if (withPieces && code == 0 && y == 8 && x >= 2 && x <= 6)
            return x - 1;  // frames 1-5: double, double hit, triple, triple hit once, triple hit twice
        bool gold = code == 0 && ((x + y * 13) % 7 < goldUpTo || (withPieces && special));
        return gold ? 6 : tileFrame[code];
    };
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 13; ++x) {
            if (square(x, y))
                c.draw("gametile", o[0] + x * sq, o[1] + y * sq, shownFrame(x, y));
        }
    }
    if (!withPieces)
        return;
    const int kinds[6] = {0, 3, 4, 7, 11, 13};
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 13; ++x) {
            if (!square(x, y) || b[y][x] == 3 || b[y][x] == 4)
                continue;
            int kind = kinds[(x * 7 + y * 3 + (x * y) % 5) % 6];
            int px = o[0] + x * sq, py = o[1] + y * sq;
            bool power = (x == 3 && y == 4) || (x == 9 && y == 2) || (x == 6 && y == 7) || (x == 7 && y == 3);
            int overlay = x == 3 ? 4 : x == 9 ? 50 : x == 7 ? 110 : 150;
            if (power && overlay >= 105)
                c.draw("powerpieceoverlay", px - 15, py - 15, overlay);
            if (power && overlay < 42)
                c.draw("powerpieceoverlay", px - 15, py - 15, overlay);
            bool lit = (x == 5 && y == 5);
            c.draw("gamepieces", px, py, kind + (lit ? 18 : 0));
            if (power && overlay >= 42 && overlay < 105)
                c.draw("powerpieceoverlay", px - 15, py - 15, overlay);
            if (b[y][x] == 2)
                c.draw("tilegridoverlays", px, py, 8);
        }
    }
    // The selection and hint markers stand 3 pixels up and left of their squares.
    c.draw("highlight", o[0] + 5 * sq - 3, o[1] + 5 * sq - 3, 2);
    c.draw("hinthighlight", o[0] + 10 * sq - 3, o[1] + 6 * sq - 3, 2, 0.5f);
    c.draw("hinthighlight", o[0] + 10 * sq - 3, o[1] + 7 * sq - 3, 2, 0.5f);
    c.draw("iarrow", o[0] + 10 * sq + 4, o[1] + 6 * sq - 30, 2);
    c.draw("matchoutsparkle", o[0] + 1 * sq - 8, o[1] + 8 * sq - 8, 4);
    c.draw("dragonfly", o[0] + 6 * sq - 8, o[1] + 7 * sq - 12, 2);
}

void console(MockupCanvas& c, int timer) {
    const std::vector<int>& con = c.layout().get("console", 4);
    c.draw("console", con[0], con[1]);
    const std::vector<int>& tl = c.layout().get("console_timeline", 4);
    c.draw("itimeline", tl[0], tl[1]);
    c.drawClipped("wateroverlay", tl[0], tl[1], timer, 3);
    c.draw("waterlinetip", tl[0] + timer - 30 + 12, tl[1] - 6, 2);
    const std::vector<int>& sc = c.layout().get("console_score", 2);
    c.number("numbers_score", 24150, sc[0], sc[1]);
    // The stage right-aligned at its place, the level left-aligned at its own (one digit).
    c.number("numbers_level", 12, c.lx("console_stage"), c.lx("console_stage", 1), false);
    c.number("numbers_level", 3, c.lx("console_level") + 16, c.lx("console_level", 1), false);
    c.draw("btn_consolesun", c.lx("console_sun"), c.lx("console_sun", 1), 0);
    c.number("numbers_console", 4, c.lx("console_suncount") + 9, c.lx("console_suncount", 1) - 12, false);
    c.draw("btn_menuonconsole", c.lx("console_menu"), c.lx("console_menu", 1), 0);
}

void fences(MockupCanvas& c) {
    c.draw("ipicketfence", c.lx("fence_left"), c.lx("fence_left", 1));
    c.draw("ipicketfence2", c.lx("fence_right"), c.lx("fence_right", 1));
    c.draw("ipicketfence3", c.lx("fence_top"), c.lx("fence_top", 1));
}

void buttonColumn(MockupCanvas& c, const std::vector<std::string>& names, int x, int y, int step, int hover) {
    for (size_t i = 0; i < names.size(); ++i) {
        c.draw(names[i], x, y + static_cast<int>(i) * step, static_cast<int>(i) == hover ? 1 : 0);
    }
}

}  // namespace

void mockLoading(MockupCanvas& c) {
    c.draw("background4", 0, 0);
    const std::vector<int>& at = c.layout().get("loading_bar", 2);
    c.draw("loading", at[0], at[1]);
    c.drawClipped("loadbar", at[0], at[1], 274 * 62 / 100);
    c.draw("loading_logo", c.lx("loading_logo"), c.lx("loading_logo", 1));
}

void mockMainMenu(MockupCanvas& c) {
    c.draw("mainmenu", 0, 0);
    c.draw("isunaffect", 0, 0, 0, 0.6f);
    Rng rng(std::string("drops"));
    for (int k = 0; k < 14; ++k)
        c.draw("drip", rng.pick(800), rng.pick(560), 0, 0.8f);
    c.draw("loading_logo", 0, -10);
    const std::vector<int>& m = c.layout().get("menu_buttons", 3);
    buttonColumn(c, {"bstart1", "bmenuoptions", "bmenuinstructions", "upsellqb", "bmenuexit"}, m[0], m[1],
                 m[2], 0);
    c.text("font_name", "Welcome, Maya", 400, c.lx("menu_welcome", 1), 1);
    c.draw("changeplayer", c.lx("menu_changeplayer"), c.lx("menu_changeplayer", 1));
}

void mockLevelMap(MockupCanvas& c) {
    int mapX = -400;
    c.draw("map", mapX, 0);
    int selected = 14;
    for (int i = 1; i <= 60; ++i) {
        const std::vector<int>& m = c.layout().get("marker" + std::to_string(i), 2);
        int frame = i < selected ? 1 : i == selected ? 0 : 2;
        if (i <= selected + 6)
            c.draw("levelmarker", mapX + m[0] - 20, m[1] - 20, frame);
    }
    const std::vector<int>& s = c.layout().get("marker" + std::to_string(selected), 2);
    c.draw("frogshadow", mapX + s[0] - 24, s[1] + 10);
    c.draw("selectedlevelmarker", mapX + s[0] - 28, s[1] - 44, 3);
    const std::vector<int>& mc = c.layout().get("map_console", 4);
    c.draw("mapconsole", mc[0], mc[1]);
    c.number("numbers_map", 3, 362, mc[1] + 38, false);
    c.number("numbers_map", 4, 462, mc[1] + 38, false);
    c.draw("mapconsolebackarrow", 250, mc[1] + 22, 0);
    c.draw("mapconsoleforwardarrow", 506, mc[1] + 22, 1);
    c.draw("bstartgame", 590, mc[1] + 18, 0);
    c.draw("bbacktomainmenu", 30, mc[1] + 22, 0);
    c.draw("scrollmapleft", 6, 200, 0);
    c.draw("scrollmapright", 746, 200, 1);
}

void mockLevel(MockupCanvas& c) {
    boardScene(c, true, 3);
    fences(c);
    console(c, 230);
}

void mockLevelComplete(MockupCanvas& c) {
    boardScene(c, false, 7);
    fences(c);
    console(c, 400);
    c.dim(0.5f);
    int x = c.lx("dialog_levelcomplete"), y = c.lx("dialog_levelcomplete", 1);
    c.draw("levelcompletepanel", x, y);
    c.draw("ilevelcompletetext", x + 20, y + 24);
    const char* labels[] = {"itimetext", "ibonustext", "iscoretext", "isunsacquiredtext"};
    for (int i = 0; i < 4; ++i)
        c.draw(labels[i], x + 40, y + 110 + i * 50);
    c.number("numbers_large", 83, x + 440, y + 112 + 0 * 50, false);
    c.number("numbers_large", 1660, x + 440, y + 112 + 1 * 50);
    c.number("numbers_large", 25810, x + 440, y + 112 + 2 * 50);
    c.number("numbers_large", 4, x + 440, y + 112 + 3 * 50, false);
    c.draw("continuebuttonholder", x + 130, y + 320);
    c.draw("ibtncontinue", x + 150, y + 330, 1);
}

void mockDialog(MockupCanvas& c) {
    mockMainMenu(c);
    c.dim(0.55f);
    int x = c.lx("dialog_chooseplayer"), y = c.lx("dialog_chooseplayer", 1);
    c.draw("chooseplayerpanel", x, y);
    c.draw("bkgselectplayer", x + 60, y + 90);
    const char* names[] = {"Amélie", "Björn", "Maya", "Zoë"};
    const std::vector<int>& rows = c.layout().get("chooser_rows", 3);
    for (int i = 0; i < 4; ++i) {
        c.draw("hilite", x + rows[0] - 10, y + rows[1] + i * rows[2] - 4, i == 2 ? 4 : 0);
        c.text("font_name", names[i], x + rows[0] + 150, y + rows[1] + i * rows[2], 1);
    }
    c.draw("acceptprofile", x + 30, y + 330, 1);
    c.draw("deleteprofile", x + 165, y + 330, 0);
    c.draw("createnewprofile", x + 300, y + 330, 0);
}

void mockBonus(MockupCanvas& c) {
    c.draw("background13", 0, 0);
    c.drawMasked("playarea_bonus", "playarea_bonusalpha", 0, 0);
    const std::vector<int>& o = c.layout().get("bonus_origin", 2);
    const std::vector<int>& cell = c.layout().get("bonus_cell", 2);
    const int opened[36] = {0, 0, 5, 0, 0, 0, 0, 2, 0, 0, 11, 0, 0, 0, 0, 7, 0, 0,
                            0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0,  0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 36; ++i) {
        int px = o[0] + (i % 6) * cell[0], py = o[1] + (i / 6) * cell[1];
        if (opened[i] != 0) {
            c.draw("ibonusprizes", px, py, opened[i]);
        } else {
            c.draw("ibonusblockcover", px, py, i == 20 ? 1 : 0);
        }
    }
    c.draw("ibonusblocks", o[0] + 3 * cell[0], o[1] + 4 * cell[1], 4);
    c.draw("ibonuslevelstarttext", 160, 460);
    c.number("numbers_bonusclick", 3, c.lx("bonus_picks"), c.lx("bonus_picks", 1), false);
    fences(c);
}

void setMockupDataDir(const std::string& dir) {
    g_dataDir = dir;
}

}  // namespace art
