// Checks of the built content: every listed picture is in the archive, decodes, has its promised sheet,
// animations move and keep inside their frames, piece kinds differ in shape, fonts cover Windows-1252,
// masks cover their boards and leave holes open, and the board's signals read at a glance: the selection
// on stone and gold, double and triple marks under a piece, gold against stone in lightness.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "lang/Ref.h"
#include "lang/ResourceFile.h"
#include "lang/String.h"
#include "tools/ArtImage.h"
#include "tools/ArtList.h"

namespace {

using art::ArtImage;
using art::PictureEntry;

// The built pictures, read from Kolbax.bin when the archive has been packed, else from the picture folder.
class BuiltContent {
public:
    BuiltContent() : list_(art::readPictureList(std::string(LUMAROO_DATA_DIR) + "/pictures.txt")) {
        if (std::filesystem::exists(LUMAROO_ARCHIVE)) {
            archive_ = lang::adopt(new lang::ResourceFileHeader(lang::String(LUMAROO_ARCHIVE)));
        }
    }
    const std::vector<PictureEntry>& list() const { return list_; }
    bool fromArchive() const { return archive_.get() != nullptr; }

    // The entry's bytes; empty when the entry is missing.
    std::vector<uint8_t> bytes(const PictureEntry& entry) const {
        if (archive_) {
            lang::Ref<lang::FileItem> item =
                lang::adopt(archive_->find(lang::String(entry.name.c_str()), false));
            if (!item)
                return {};
            return std::vector<uint8_t>(item->getData(), item->getData() + item->getLength());
        }
        std::string path = std::string(LUMAROO_PICTURE_DIR) + "/" + entry.name + "." + entry.format;
        if (!std::filesystem::exists(path))
            return {};
        return art::readFileBytes(path);
    }
    const ArtImage& picture(const std::string& name) {
        auto it = cache_.find(name);
        if (it != cache_.end())
            return it->second;
        const PictureEntry* entry = art::findPicture(list_, name);
        if (entry == nullptr)
            throw art::ArtError("not in the list: " + name);
        return cache_[name] = art::decodePicture(bytes(*entry), name);
    }

private:
    std::vector<PictureEntry> list_;
    lang::Ref<lang::ResourceFileHeader> archive_;
    std::map<std::string, ArtImage> cache_;
};

BuiltContent& content() {
    static BuiltContent instance;
    return instance;
}

ArtImage frameOf(const ArtImage& sheet, const PictureEntry& entry, int frame) {
    ArtImage cell(entry.frameWidth, entry.frameHeight);
    cell.copyFrom(sheet, (frame % entry.columns) * entry.frameWidth,
                  (frame / entry.columns) * entry.frameHeight, entry.frameWidth, entry.frameHeight, 0, 0);
    return cell;
}

double meanDifference(const ArtImage& a, const ArtImage& b) {
    double sum = 0;
    for (size_t i = 0; i < a.pixels().size(); ++i) {
        const art::Rgba& p = a.pixels()[i];
        const art::Rgba& q = b.pixels()[i];
        sum += std::abs(p.r * p.a - q.r * q.a) + std::abs(p.g * p.a - q.g * q.a) +
               std::abs(p.b * p.a - q.b * q.a);
        sum += 255.0 * std::abs(p.a - q.a);
    }
    return sum / (a.pixels().size() * 255.0 * 4);
}

TEST(Content, TheGameFindsEveryPictureItLooksUpByName) {
    // The picture names the game forms in code; everything else is named by the scene script.
    std::vector<std::string> names = {"loading", "loadbar", "loading_logo", "playarea_bonus",
                                      "playarea_bonusalpha"};
    for (int i = 1; i <= 13; ++i)
        names.push_back("background" + std::to_string(i));
    for (int i = 1; i <= 60; ++i) {
        names.push_back("playarea" + std::to_string(i));
        names.push_back("playarea" + std::to_string(i) + "alpha");
    }
    for (const char* kind : {"frog", "panther", "gorilla", "medallion", "crystal", "ant", "fern", "nugget",
                             "bluemask", "brownmask", "arrowhead", "roundmedallion", "frond", "mushroom",
                             "butterfly", "moneybags", "bluerobot", "sun"}) {
        names.push_back(std::string("i") + kind);
    }
    for (const std::string& name : names) {
        EXPECT_NE(art::findPicture(content().list(), name), nullptr)
            << name << " is missing from data/pictures.txt";
    }
}

TEST(Content, EveryListedPictureIsBuiltDecodesAndHasItsSheetSize) {
    SCOPED_TRACE(content().fromArchive() ? "reading Kolbax.bin" : "reading the picture folder");
    for (const PictureEntry& entry : content().list()) {
        std::vector<uint8_t> bytes = content().bytes(entry);
        ASSERT_FALSE(bytes.empty()) << entry.where << ": " << entry.name << " is not in the built content";
        bool jpeg = bytes.size() > 2 && bytes[0] == 0xFF && bytes[1] == 0xD8;
        EXPECT_EQ(jpeg, entry.format == "jpg") << entry.name << " is not stored as " << entry.format;
        const ArtImage& image = content().picture(entry.name);
        if (entry.frameWidth > 0) {
            EXPECT_EQ(image.width(), entry.sheetWidth()) << entry.where << ": " << entry.name;
            EXPECT_EQ(image.height(), entry.sheetHeight()) << entry.where << ": " << entry.name;
        }
        EXPECT_FALSE(std::all_of(image.pixels().begin(), image.pixels().end(),
                                 [](const art::Rgba& p) { return p.a == 0; }))
            << entry.name << " is blank";
    }
}

TEST(Content, AnimationsMoveFromFrameToFrame) {
    for (const PictureEntry& entry : content().list()) {
        if ((entry.group != "effects" && entry.group != "console") || entry.frameCount() < 2)
            continue;
        const ArtImage& sheet = content().picture(entry.name);
        for (int f = 1; f < entry.frameCount(); ++f) {
            double d = meanDifference(frameOf(sheet, entry, f - 1), frameOf(sheet, entry, f));
            EXPECT_GT(d, 0.0005) << entry.name << ": frames " << f - 1 << " and " << f
                                 << " are the same picture";
        }
    }
}

TEST(Content, PieceKindsDifferInShapeAndLitFramesAreBrighter) {
    const PictureEntry& entry = *art::findPicture(content().list(), "gamepieces");
    ASSERT_EQ(entry.frameCount(), 36);
    const ArtImage& sheet = content().picture("gamepieces");
    std::vector<std::vector<bool>> shapes;
    std::vector<ArtImage> greys;
    for (int k = 0; k < 18; ++k) {
        ArtImage cell = frameOf(sheet, entry, k);
        std::vector<bool> shape;
        for (const art::Rgba& p : cell.pixels())
            shape.push_back(p.a > 160);
        shapes.push_back(shape);
        greys.push_back(cell);
    }
    for (int a = 0; a < 18; ++a) {
        for (int b = a + 1; b < 18; ++b) {
            int both = 0, either = 0;
            for (size_t i = 0; i < shapes[a].size(); ++i) {
                both += shapes[a][i] && shapes[b][i];
                either += shapes[a][i] || shapes[b][i];
            }
            double overlap = either == 0 ? 1.0 : static_cast<double>(both) / either;
            EXPECT_LT(overlap, 0.86) << "kinds " << a << " and " << b << " have near-identical silhouettes";
        }
    }
    auto luminance = [](const ArtImage& cell) {
        double sum = 0, weight = 0;
        for (const art::Rgba& p : cell.pixels()) {
            sum += (0.3 * p.r + 0.59 * p.g + 0.11 * p.b) * p.a;
            weight += p.a;
        }
        return sum / std::max(1.0, weight);
    };
    for (int k = 0; k < 18; ++k) {
        EXPECT_GT(luminance(frameOf(sheet, entry, k + 18)), luminance(frameOf(sheet, entry, k)) + 5)
            << "kind " << k;
    }
}

int32_t word(const ArtImage& table, int character, int field) {
    const art::Rgba& p = table.pixels()[static_cast<size_t>(character - 32) * 6 + field];
    return static_cast<int32_t>((static_cast<uint32_t>(p.a) << 24) | (p.r << 16) | (p.g << 8) | p.b);
}

TEST(Content, EveryBitmapFontHasAGlyphForEveryWindows1252Character) {
    int fonts = 0;
    for (const PictureEntry& entry : content().list()) {
        if (entry.recipe.empty() || entry.recipe[0] != "fonttable")
            continue;
        ++fonts;
        const ArtImage& table = content().picture(entry.name);
        const ArtImage& glyphs = content().picture(entry.arg(0));
        ASSERT_EQ(table.width() * table.height(), 6 * 224) << entry.name;
        int lineHeight = word(table, 32, 3);
        EXPECT_GT(lineHeight, 0) << entry.name << ": the space record gives no line height";
        for (int c = 32; c < 256; ++c) {
            int x = word(table, c, 0), y = word(table, c, 1), w = word(table, c, 2), h = word(table, c, 3);
            EXPECT_GT(word(table, c, 5), 0) << entry.name << ": character " << c << " does not advance";
            if (c == 32 || c == 0xA0)
                continue;
            ASSERT_TRUE(w > 0 && h > 0 && x >= 0 && y >= 0 && x + w <= glyphs.width() &&
                        y + h <= glyphs.height())
                << entry.name << ": character " << c << " has box " << x << "," << y << " " << w << "x" << h;
            bool ink = false;
            for (int j = y; j < y + h && !ink; ++j) {
                for (int i = x; i < x + w && !ink; ++i)
                    ink = glyphs.at(i, j).a > 64;
            }
            EXPECT_TRUE(ink) << entry.name << ": character " << c << " has an empty glyph";
        }
    }
    EXPECT_GE(fonts, 4);
}

TEST(Content, BackdropMasksShowTheBedUnderEverySquareAndNoneInHoles) {
    art::Layout layout = art::Layout::read(std::string(LUMAROO_DATA_DIR) + "/layout.txt");
    const std::vector<int>& origin = layout.get("board_origin", 2);
    int square = layout.get("square", 1)[0];
    for (int level = 1; level <= 60; ++level) {
        std::string name = "playarea" + std::to_string(level) + "alpha";
        auto codes = art::readBoardFile(std::string(LUMAROO_DATA_DIR) + "/boards/board" +
                                        std::to_string(level) + ".txt");
        const ArtImage& mask = content().picture(name);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 13; ++x) {
                int px = origin[0] + x * square + square / 2, py = origin[1] + y * square + square / 2;
                if (art::isSquareCode(codes[y][x])) {
                    EXPECT_EQ(mask.at(px, py).a, 255) << name << " hides square " << x << "," << y;
                } else {
                    // A hole shows the scene through it, even between squares, so it reads as no square.
                    EXPECT_EQ(mask.at(px, py).a, 0) << name << " shows a bed in hole " << x << "," << y;
                }
            }
        }
        EXPECT_EQ(mask.at(0, 0).a, 0) << name;
        EXPECT_EQ(mask.at(799, 599).a, 0) << name;
    }
}

TEST(Content, TheLayoutFitsTheScreen) {
    art::Layout layout = art::Layout::read(std::string(LUMAROO_DATA_DIR) + "/layout.txt");
    const std::vector<int>& origin = layout.get("board_origin", 2);
    const std::vector<int>& square = layout.get("square", 2);
    const std::vector<int>& console = layout.get("console", 4);
    EXPECT_GE(origin[0], 0);
    EXPECT_LE(origin[0] + 13 * square[0], 800);
    EXPECT_LE(origin[1] + 10 * square[1], console[1]) << "the console covers the board";
    const PictureEntry* piece = art::findPicture(content().list(), "gamepieces");
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(piece->frameWidth, square[0]);
    const PictureEntry* overlay = art::findPicture(content().list(), "powerpieceoverlay");
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->frameWidth, square[0] + 30) << "overlays reach 15 pixels round the piece";
    EXPECT_GE(overlay->frameCount(), 169);
    // The selection and hint markers are drawn 3 pixels up and left of the square, so they frame it.
    for (const char* name : {"highlight", "hinthighlight"}) {
        const PictureEntry* h = art::findPicture(content().list(), name);
        ASSERT_NE(h, nullptr) << name;
        EXPECT_EQ(h->frameWidth, square[0] + 6) << name;
        EXPECT_EQ(h->frameHeight, square[1] + 6) << name;
    }
}

TEST(Content, EveryMapMarkerStandsWholeInItsOwnStagesPartOfTheMap) {
    art::Layout layout = art::Layout::read(std::string(LUMAROO_DATA_DIR) + "/layout.txt");
    const PictureEntry* map = art::findPicture(content().list(), "map");
    const PictureEntry* marker = art::findPicture(content().list(), "levelmarker");
    ASSERT_TRUE(map != nullptr && marker != nullptr);
    int stageWidth = map->frameWidth / 12, half = marker->frameWidth / 2;
    int consoleTop = layout.get("map_console", 4)[1];
    std::vector<int> previous;
    for (int i = 1; i <= 60; ++i) {
        const std::vector<int>& m = layout.get("marker" + std::to_string(i), 2);
        int stage = (i - 1) / 5;
        EXPECT_GE(m[0] - half, stage * stageWidth) << "marker " << i << " reaches into stage " << stage;
        EXPECT_LE(m[0] + half, (stage + 1) * stageWidth)
            << "marker " << i << " reaches into stage " << stage + 2;
        EXPECT_GE(m[1] - half, 0) << "marker " << i;
        EXPECT_LE(m[1] + half, consoleTop) << "marker " << i << " hides under the map console";
        if (!previous.empty()) {
            double gap = std::hypot(m[0] - previous[0], m[1] - previous[1]);
            EXPECT_GE(gap, marker->frameWidth) << "markers " << i - 1 << " and " << i << " overlap";
        }
        previous = m;
    }
}

// Any pixel at least this opaque on a frame's edge means the drawing was cut off by its frame.
constexpr int kOpaqueEdge = 48;

TEST(Content, AnimationFramesKeepATransparentBorder) {
    // Pictures meant to tile or to run on past their frame: squares, their edges and sweeps, beams and
    // bolts that join up, and the water of the timer bar with its leading wave.
    const std::set<std::string> joined = {
        "gametile", "igridvariance", "igridvarianceedge", "ilastgridshimmer", "goldsweep",   "tilevanish",
        "ibeam",    "ilightning",    "wateroverlay",      "waterfalloverlay", "waterlinetip"};
    int checked = 0;
    for (const PictureEntry& entry : content().list()) {
        bool animated = entry.group == "effects" || entry.group == "tiles" || entry.group == "console" ||
                        entry.group == "screens";
        if (!animated || entry.frameCount() < 2 || joined.count(entry.name) != 0)
            continue;
        ++checked;
        const ArtImage& sheet = content().picture(entry.name);
        for (int f = 0; f < entry.frameCount(); ++f) {
            ArtImage cell = frameOf(sheet, entry, f);
            int w = cell.width(), h = cell.height(), cut = 0, firstX = -1, firstY = -1;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    if ((x == 0 || y == 0 || x == w - 1 || y == h - 1) && cell.at(x, y).a >= kOpaqueEdge) {
                        if (cut++ == 0)
                            firstX = x, firstY = y;
                    }
                }
            }
            EXPECT_EQ(cut, 0) << entry.where << ": " << entry.name << " frame " << f
                              << " is cut off at its edge (" << cut << " pixels, first at " << firstX << ","
                              << firstY << ")";
        }
    }
    EXPECT_GT(checked, 30);
}

// CIE L* of an sRGB colour (D65), and the same colour as a deuteranope sees it (Machado, Oliveira and
// Fernandes 2009, full severity, applied to linear RGB).
double linear(double c) {
    c /= 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double lightnessOfLinear(double r, double g, double b) {
    double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    double f = y > 216.0 / 24389.0 ? std::cbrt(y) : (24389.0 / 27.0 * y + 16.0) / 116.0;
    return 116.0 * f - 16.0;
}
double lightness(const art::Rgba& p, bool deuteranope) {
    double r = linear(p.r), g = linear(p.g), b = linear(p.b);
    if (!deuteranope)
        return lightnessOfLinear(r, g, b);
    auto clamp = [](double v) { return std::min(1.0, std::max(0.0, v)); };
    return lightnessOfLinear(clamp(0.367322 * r + 0.860646 * g - 0.227968 * b),
                             clamp(0.280085 * r + 0.672501 * g + 0.047413 * b),
                             clamp(-0.011820 * r + 0.042940 * g + 0.968881 * b));
}
double meanLightness(const ArtImage& cell, bool deuteranope) {
    double sum = 0;
    for (const art::Rgba& p : cell.pixels())
        sum += lightness(p, deuteranope);
    return sum / static_cast<double>(cell.pixels().size());
}

// A board square as the game stacks it: the stage's stone variant under the tile frame.
ArtImage squareOf(int stage, int variant, int tileFrame) {
    const PictureEntry& varianceEntry = *art::findPicture(content().list(), "igridvariance");
    const PictureEntry& tileEntry = *art::findPicture(content().list(), "gametile");
    ArtImage cell = frameOf(content().picture("igridvariance"), varianceEntry, 5 * (stage - 1) + variant);
    cell.blend(frameOf(content().picture("gametile"), tileEntry, tileFrame), 0, 0);
    return cell;
}

// Gold must stand out from stone by lightness alone, so players who cannot tell ochre from grey, and
// players on a washed-out screen, still see which squares are done.
constexpr double kGoldStoneLightnessStep = 20.0;

TEST(Content, GoldAndStoneSquaresOfEveryStageDifferClearlyInLightness) {
    for (bool deuteranope : {false, true}) {
        double gold = meanLightness(squareOf(1, 0, 6), deuteranope);
        for (int stage = 1; stage <= 12; ++stage) {
            for (int variant = 0; variant < 5; ++variant) {
                double stone = meanLightness(squareOf(stage, variant, 0), deuteranope);
                EXPECT_GE(std::fabs(gold - stone), kGoldStoneLightnessStep)
                    << "stage " << stage << " variant " << variant << (deuteranope ? " (deuteranopia)" : "")
                    << ": gold L* " << gold << ", stone L* " << stone;
            }
        }
    }
}

TEST(Content, TheSelectionRingReadsOnStoneAndOnGold) {
    const PictureEntry& entry = *art::findPicture(content().list(), "highlight");
    const ArtImage& sheet = content().picture("highlight");
    for (int tileFrame : {0, 6}) {
        for (int stage : {1, 5, 11}) {
            ArtImage under = squareOf(stage, 0, tileFrame);
            for (int f = 0; f < entry.frameCount(); ++f) {
                ArtImage shown = under;
                shown.blend(frameOf(sheet, entry, f), -3, -3);
                int changed = 0;
                for (size_t i = 0; i < shown.pixels().size(); ++i)
                    changed += std::fabs(lightness(shown.pixels()[i], false) -
                                         lightness(under.pixels()[i], false)) >= 30;
                EXPECT_GE(changed, 300)
                    << "selection frame " << f << " on " << (tileFrame == 6 ? "gold" : "stone")
                    << " of stage " << stage << " changes only " << changed << " pixels";
            }
        }
    }
    // The ring leaves the middle of the square, where the piece stands, clear.
    ArtImage first = frameOf(sheet, entry, 0);
    double inner = 0;
    for (int y = 15; y < 39; ++y) {
        for (int x = 15; x < 39; ++x)
            inner += first.at(x, y).a;
    }
    EXPECT_LT(inner / (24.0 * 24.0), 10.0) << "the selection ring covers the piece";
}

TEST(Content, DoubleAndTripleMarksStayVisibleWithAPieceOnTheSquare) {
    // Frames 0-5: plain, double, double hit once, triple, triple hit once, triple hit twice. Each must
    // look different from every other with any piece standing on it.
    const PictureEntry& pieces = *art::findPicture(content().list(), "gamepieces");
    const ArtImage& sheet = content().picture("gamepieces");
    for (int kind = 0; kind < 18; ++kind) {
        ArtImage piece = frameOf(sheet, pieces, kind);
        std::vector<ArtImage> shown;
        for (int tileFrame = 0; tileFrame <= 5; ++tileFrame) {
            shown.push_back(squareOf(4, 0, tileFrame));
            shown.back().blend(piece, 0, 0);
        }
        for (int a = 0; a <= 5; ++a) {
            for (int b = a + 1; b <= 5; ++b) {
                int differ = 0;
                for (size_t i = 0; i < shown[a].pixels().size(); ++i) {
                    const art::Rgba& p = shown[a].pixels()[i];
                    const art::Rgba& q = shown[b].pixels()[i];
                    differ += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) >= 90;
                }
                EXPECT_GE(differ, 20) << "with piece " << kind << " on it, tile frames " << a << " and " << b
                                      << " differ in only " << differ << " pixels";
            }
        }
    }
}

}  // namespace
