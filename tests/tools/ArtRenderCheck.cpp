// Checks of the drawing code: straight alpha out of cairo, sheets laid out frame by frame and clipped to
// their cells, prefixed ids, glyph tables that keep negative words, and font recipe faults that say where.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/TempFolder.h"
#include "tools/ArtImage.h"
#include "tools/ArtList.h"
#include "tools/ArtRecipes.h"
#include "tools/GlyphText.h"
#include "tools/SvgRender.h"

namespace {

using testsupport::TempFolder;

TEST(SvgRender, GivesStraightAlphaNotPremultipliedColour) {
    art::ArtImage image = art::renderSvg(
        art::svgDocument(4, 4, "<rect width=\"4\" height=\"4\" fill=\"#ff8000\" fill-opacity=\"0.5\"/>"), 4,
        4, "test");
    const art::Rgba& p = image.at(2, 2);
    EXPECT_NEAR(p.a, 128, 1);
    EXPECT_NEAR(p.r, 255, 2);  // premultiplied data would read 128 here
    EXPECT_NEAR(p.g, 128, 3);
    EXPECT_EQ(p.b, 0);
}

TEST(SvgRender, RefusesDocumentsThatDoNotParseNamingThem) {
    try {
        art::renderSvg("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect", 4, 4, "pictures.txt:7 (frog)");
        FAIL() << "a broken document rendered";
    } catch (const art::ArtError& e) {
        EXPECT_NE(std::string(e.what()).find("pictures.txt:7 (frog)"), std::string::npos) << e.what();
    }
}

art::PictureEntry sheetEntry(int w, int h, int cols, int rows) {
    art::PictureEntry entry;
    entry.name = "sheet";
    entry.where = "test";
    entry.frameWidth = w;
    entry.frameHeight = h;
    entry.columns = cols;
    entry.rows = rows;
    entry.recipe = {"test"};
    return entry;
}

TEST(RenderFrames, PutsFrameNAtColumnNModColumnsAndClipsItToItsCell) {
    art::PictureEntry entry = sheetEntry(10, 8, 3, 2);
    const char* colours[] = {"#ff0000", "#00ff00", "#0000ff", "#ffff00", "#00ffff", "#ff00ff"};
    art::ArtImage sheet = art::renderFrames(entry, [&](int i, const std::string& prefix) {
        // A disc far larger than the cell: whatever leaks out would paint the neighbours.
        return "<defs><linearGradient id=\"" + prefix + "g\"><stop offset=\"0\" stop-color=\"" +
               std::string(colours[i]) + "\"/><stop offset=\"1\" stop-color=\"" + colours[i] +
               "\"/></linearGradient></defs><circle cx=\"5\" cy=\"4\" r=\"40\" fill=\"url(#" + prefix +
               "g)\"/>";
    });
    ASSERT_EQ(sheet.width(), 30);
    ASSERT_EQ(sheet.height(), 16);
    for (int i = 0; i < 6; ++i) {
        int x0 = (i % 3) * 10, y0 = (i / 3) * 8;
        for (int y = y0; y < y0 + 8; ++y) {
            for (int x = x0; x < x0 + 10; ++x) {
                const art::Rgba& p = sheet.at(x, y);
                std::string hex = colours[i];
                EXPECT_EQ(p.r, std::stoi(hex.substr(1, 2), nullptr, 16))
                    << "frame " << i << " at " << x << "," << y;
                EXPECT_EQ(p.g, std::stoi(hex.substr(3, 2), nullptr, 16))
                    << "frame " << i << " at " << x << "," << y;
                EXPECT_EQ(p.b, std::stoi(hex.substr(5, 2), nullptr, 16))
                    << "frame " << i << " at " << x << "," << y;
            }
        }
    }
}

TEST(SvgInner, PrefixesIdsSoTwoCopiesOfADrawingKeepTheirOwnGradients) {
    TempFolder folder;
    const std::string path = folder.file("icon.svg");
    std::ofstream(path)
        << "<!-- icon -->\n<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\"><defs>"
           "<linearGradient id=\"g\"><stop offset=\"0\" stop-color=\"#123456\"/></linearGradient></defs>"
           "<rect width=\"10\" height=\"10\" fill=\"url(#g)\"/></svg>\n";
    std::string inner = art::svgInner(path, "a_");
    EXPECT_NE(inner.find("id=\"a_g\""), std::string::npos);
    EXPECT_NE(inner.find("url(#a_g)"), std::string::npos);
    EXPECT_EQ(inner.find("<svg"), std::string::npos);
    std::ofstream(path) << "<rect/>";
    EXPECT_THROW(art::svgInner(path, "a_"), art::ArtError);
}

TEST(SvgPart, FitsADrawingIntoItsBoxThroughItsOwnViewBox) {
    TempFolder folder;
    const std::filesystem::path dir = folder.path();
    std::filesystem::create_directories(dir / "art" / "tiles");
    // A 10 x 10 drawing whose right half is red, fitted into the right 20 x 20 of a 40 x 20 picture.
    std::ofstream(dir / "art" / "tiles" / "half.svg")
        << "<!-- part -->\n<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 "
           "10\"><defs><linearGradient "
           "id=\"g\"><stop offset=\"0\" stop-color=\"#ff0000\"/></linearGradient></defs><rect x=\"5\" "
           "width=\"5\" height=\"10\" fill=\"url(#g)\"/></svg>\n";
    art::ArtContext context{dir.string()};
    std::string part = art::svgPart(context, "tiles/half.svg", "k_", 20, 0, 20, 20);
    EXPECT_NE(part.find("id=\"k_g\""), std::string::npos);
    art::ArtImage image = art::renderSvg(art::svgDocument(40, 20, part), 40, 20, "part");
    EXPECT_EQ(image.at(25, 10).a, 0);    // left half of the drawing: empty
    EXPECT_EQ(image.at(35, 10).a, 255);  // right half: red, scaled by two
    EXPECT_EQ(image.at(35, 10).r, 255);
    EXPECT_EQ(image.at(10, 10).a, 0);  // nothing outside the box
    std::ofstream(dir / "art" / "tiles" / "bare.svg")
        << "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect/></svg>";
    try {
        art::svgPart(context, "tiles/bare.svg", "k_", 0, 0, 10, 10);
        FAIL() << "a drawing without a viewBox was placed";
    } catch (const art::ArtError& e) {
        EXPECT_NE(std::string(e.what()).find("bare.svg: the <svg> element needs a viewBox"),
                  std::string::npos)
            << e.what();
    }
}

class FontRecipes : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = folder_.path();
        std::filesystem::create_directories(dir_ / "fonts");
    }
    void writeFonts(const std::string& text) { std::ofstream(dir_ / "fonts" / "fonts.txt") << text; }
    art::ArtImage run(const std::string& recipe, int w, int h, int cols) {
        art::PictureEntry entry = sheetEntry(w, h, cols, 1);
        entry.recipe = {recipe, "f"};
        return art::runRecipe(entry, art::ArtContext{dir_.string()});
    }
    TempFolder folder_;
    std::filesystem::path dir_;
};

int32_t word(const art::ArtImage& table, int c, int k) {
    const art::Rgba& p = table.pixels()[static_cast<size_t>(c - 32) * 6 + k];
    return static_cast<int32_t>((static_cast<uint32_t>(p.a) << 24) | (p.r << 16) | (p.g << 8) | p.b);
}

TEST_F(FontRecipes, TableRecordsPointAtTheirGlyphsAndKeepNegativeOffsets) {
    writeFonts("# test font\nf \"DejaVu Sans\" 20 #ffffff #ffffff 1 #000000 1 1\n");
    art::ArtImage table = run("fonttable", 6, 224, 1);
    art::ArtImage glyphs = run("font", 0, 0, 1);
    ASSERT_EQ(table.width() * table.height(), 6 * 224);
    // Every box lies inside the glyph picture, and every line box has the space record's height.
    for (int c = 33; c < 256; ++c) {
        EXPECT_LE(word(table, c, 0) + word(table, c, 2), glyphs.width()) << c;
        EXPECT_LE(word(table, c, 1) + word(table, c, 3), glyphs.height()) << c;
        EXPECT_EQ(word(table, c, 3), word(table, 32, 3)) << c;
    }
    // 'j' hangs left of its pen in this face: the negative word survives the trip through the picture.
    EXPECT_LT(word(table, 'j', 4), 0);
    EXPECT_GT(word(table, 'W', 5), word(table, 'i', 5));
    art::ArtImage strip = run("numbers", 16, 24, 10);
    EXPECT_EQ(strip.width(), 160);
}

TEST_F(FontRecipes, FaultsInTheFontListNameFileAndLine) {
    writeFonts("f \"DejaVu Sans\" 20 #fffff #ffffff 1 #000000 1 1\n");
    std::string where = (dir_ / "fonts" / "fonts.txt").string();
    try {
        run("font", 0, 0, 1);
        FAIL() << "a bad colour was accepted";
    } catch (const art::ArtError& e) {
        EXPECT_NE(std::string(e.what()).find(where + ":1: expected a colour #rrggbb"), std::string::npos)
            << e.what();
    }
    writeFonts("g \"DejaVu Sans\" 20 #ffffff #ffffff 1 #000000 1 1\n");
    EXPECT_THROW(run("font", 0, 0, 1), art::ArtError);
    writeFonts("f \"DejaVu Sans\" 900 #ffffff #ffffff 1 #000000 1 1\n");
    EXPECT_THROW(run("font", 0, 0, 1), art::ArtError);
    EXPECT_THROW(run("numbers", 16, 24, 7), art::ArtError);
}

TEST(ArtImage, BlendsStraightAlphaOverTransparentAndOpaquePixels) {
    art::ArtImage target(2, 1);
    target.at(1, 0) = art::Rgba{0, 0, 255, 255};
    art::ArtImage source(2, 1);
    source.fill(art::Rgba{255, 0, 0, 128});
    target.blend(source, 0, 0);
    EXPECT_EQ(target.at(0, 0).r, 255);  // over nothing the colour stays whole
    EXPECT_EQ(target.at(0, 0).a, 128);
    EXPECT_NEAR(target.at(1, 0).r, 128, 1);
    EXPECT_NEAR(target.at(1, 0).b, 127, 1);
    EXPECT_EQ(target.at(1, 0).a, 255);
    target.blend(source, 5, 5);  // entirely outside: nothing happens, nothing is touched out of bounds
    EXPECT_EQ(target.at(0, 0).a, 128);
}

// fontconfig keeps its configuration for the whole process; give it back so leak checks see only ours.
class FontLibraryRelease : public ::testing::Environment {
public:
    void TearDown() override { art::releaseFontLibrary(); }
};
const ::testing::Environment* const kFontLibraryRelease =
    ::testing::AddGlobalTestEnvironment(new FontLibraryRelease);

}  // namespace
