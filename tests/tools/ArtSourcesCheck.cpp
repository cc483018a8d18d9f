// Checks of the content tools' readers on bad input: every fault is an error that says where, never a crash.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TempFolder.h"
#include "tools/ArtImage.h"
#include "tools/ArtList.h"

namespace {

using testsupport::TempFolder;

// The message of the ArtError that `action` throws, or "" when it throws none.
template <class F>
std::string errorOf(F action) {
    try {
        action();
    } catch (const art::ArtError& e) {
        return e.what();
    }
    return "";
}

TEST(PictureList, ReadsNamesSheetsAndQuotedRecipeArguments) {
    TempFolder folder;
    const std::string file =
        folder.write("file.txt", "# comment\n\nbutton1 png 120 40 4 1 dialogs button 120 40 \"Main Menu\"\n");
    std::vector<art::PictureEntry> list = art::readPictureList(file);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "button1");
    EXPECT_EQ(list[0].sheetWidth(), 480);
    EXPECT_EQ(list[0].frameCount(), 4);
    EXPECT_EQ(list[0].arg(2), "Main Menu");
    EXPECT_EQ(list[0].where, file + ":3");
    EXPECT_NE(errorOf([&] { list[0].arg(3); }).find("needs argument 4"), std::string::npos);
    EXPECT_NE(errorOf([&] { list[0].intArg(2); }).find("must be a number"), std::string::npos);
}

TEST(PictureList, FaultsNameTheFileAndLine) {
    TempFolder folder;
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"a png 1 1 1\n", ":1: expected name, format"},
        {"a gif 1 1 1 1 g r\n", ":1: format must be png or jpg"},
        {"a png 1 x 1 1 g r\n", ":1: field 4 must be a whole number"},
        {"a png 1 1 0 1 g r\n", ":1: columns and rows must be at least 1"},
        {"a png 1 1 1 1 g r\n\na png 1 1 1 1 g r\n", ":3: duplicate name a"},
        {"a png 1 1 1 1 g text \"open\n", ":1: quote not closed"},
        {"a png 999999 1 1 1 g r\n", ":1: field 3 must be a whole number"},
    };
    for (const Case& c : cases) {
        const std::string file = folder.write("file.txt", c.text);
        std::string message = errorOf([&] { art::readPictureList(file); });
        EXPECT_NE(message.find(file + c.expected), std::string::npos)
            << c.text << " gave: " << message;
    }
    EXPECT_NE(errorOf([] { art::readPictureList("/nonexistent/pictures.txt"); }).find("cannot open"),
              std::string::npos);
}

TEST(BoardFile, ReadsTheGamesGrammarAndRefusesShortFiles) {
    TempFolder folder;
    std::string rows;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 13; ++x)
            rows += std::to_string((x + y) % 7) + " ";
        rows += y == 4 ? "; a comment 9 9 9\nwords skipped\n" : "\n";
    }
    const std::string good = folder.write("good.txt", rows);
    auto codes = art::readBoardFile(good);
    EXPECT_EQ(codes[4][12], (12 + 4) % 7);
    EXPECT_EQ(codes[9][12], (12 + 9) % 7);
    EXPECT_TRUE(art::isSquareCode(0));
    EXPECT_FALSE(art::isSquareCode(1));
    EXPECT_FALSE(art::isSquareCode(7));
    EXPECT_FALSE(art::isSquareCode(-1));
    const std::string shortFile = folder.write("shortFile.txt", "0 0 0\n");
    EXPECT_NE(errorOf([&] {
                  art::readBoardFile(shortFile);
              }).find("expected 130 numbers (10 rows of 13), found 3"),
              std::string::npos);
}

TEST(Layout, RowsAreFoundByNameAndBadNumbersSayWhere) {
    TempFolder folder;
    const std::string good = folder.write("good.txt", "board_origin 88 44 ; comment\nsquare 48\n");
    art::Layout layout = art::Layout::read(good);
    EXPECT_EQ(layout.get("board_origin", 2)[1], 44);
    EXPECT_NE(errorOf([&] { layout.get("square", 2); }).find("row square needs 2 numbers"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { layout.get("console", 1); }).find("no row named console"), std::string::npos);
    const std::string bad = folder.write("bad.txt", "a 1\nsquare 4x8\n");
    EXPECT_NE(errorOf([&] { art::Layout::read(bad); }).find(":2: '4x8' of square"), std::string::npos);
}

TEST(PictureCodecs, RoundTripAndRefuseDamagedData) {
    art::ArtImage image(7, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x)
            image.at(x, y) = art::Rgba{uint8_t(x * 30), uint8_t(y * 50), 200, uint8_t(x * 40)};
    }
    // PNG keeps every byte, even the colour of transparent pixels: the font tables rely on it.
    TempFolder folder;
    const std::string path = folder.file("roundtrip");
    art::writePng(image, path + ".png");
    art::ArtImage back = art::readPicture(path + ".png");
    ASSERT_EQ(back.width(), 7);
    for (size_t i = 0; i < image.pixels().size(); ++i) {
        EXPECT_EQ(back.pixels()[i].r, image.pixels()[i].r);
        EXPECT_EQ(back.pixels()[i].a, image.pixels()[i].a);
    }
    art::writeJpeg(image, path + ".jpg", 95);
    EXPECT_EQ(art::readPicture(path + ".jpg").height(), 5);
    std::vector<uint8_t> bytes = art::readFileBytes(path + ".png");
    for (size_t cut : {size_t(0), size_t(8), size_t(20), bytes.size() / 2}) {
        std::vector<uint8_t> part(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        EXPECT_NE(errorOf([&] { art::decodePicture(part, "cut.png"); }).find("cut.png: "), std::string::npos)
            << cut;
    }
    std::vector<uint8_t> jpeg = art::readFileBytes(path + ".jpg");
    jpeg.resize(jpeg.size() / 3);
    EXPECT_NE(errorOf([&] { art::decodePicture(jpeg, "cut.jpg"); }).find("cut.jpg: "), std::string::npos);
    EXPECT_THROW(art::ArtImage(0, 5), art::ArtError);
}

}  // namespace
