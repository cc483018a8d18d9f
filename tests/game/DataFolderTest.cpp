// Tests of the data-folder look-up: a build tree, an installed tree moved elsewhere, and no data.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/DataFolder.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(DataFolder, TheProgramsOwnFolderWinsWhenItHoldsTheArchive) {
    testsupport::TempFolder root;
    root.write("game/Kolbax.bin", "archive");
    // An installed-looking data folder nearby must not be preferred to the archive beside the program.
    root.write("share/lumaroo/Kolbax.bin", "other");
    EXPECT_EQ(gameDataFolder(root.file("game")), root.file("game"));
}

TEST(DataFolder, AnInstalledTreeIsFoundFromItsBinFolderWhereverItIsMoved) {
    testsupport::TempFolder root;
    for (const char* prefix : {"usr/local", "opt/moved/elsewhere"}) {
        root.write(std::string(prefix) + "/share/lumaroo/Kolbax.bin", "archive");
        std::filesystem::create_directories(root.file(std::string(prefix) + "/bin"));
        EXPECT_EQ(gameDataFolder(root.file(std::string(prefix) + "/bin")),
                  root.file(std::string(prefix) + "/share/lumaroo"));
    }
}

TEST(DataFolder, NoArchiveAnywhereGivesNothing) {
    testsupport::TempFolder root;
    std::filesystem::create_directories(root.file("bin"));
    // A folder of the archive's name is not the archive.
    std::filesystem::create_directories(root.file("share/lumaroo/Kolbax.bin"));
    EXPECT_EQ(gameDataFolder(root.file("bin")), "");
    EXPECT_EQ(gameDataFolder(""), "");
}

}  // namespace
