// Bad data never crashes the game: the real program on a copy of the real data with one piece removed
// or cut short (the archive, a board file, the level table, a picture, a sound, a sub-script). Each row
// expects a message that names the piece, and then either a game that goes on without it or an orderly
// end (a non-zero result, NORMALEXIT stored as 1).
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "game/KolbaxCanvas.h"
#include "game/MenuMapDialog.h"
#include "game/MyFrame.h"
#include "game/PlayerData.h"
#include "sprite/store/User.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/TempFolder.h"
#include "util/DataProblems.h"
#include "window/MessageBox.h"

namespace {

namespace fs = std::filesystem;
using Entries = std::vector<std::pair<std::string, std::string>>;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

uint32_t word(const std::string& bytes, size_t at) {
    if (at + 4 > bytes.size())
        throw std::runtime_error("the archive ends inside its directory");
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

// The entries of an archive, in directory order (the archive's documented layout).
Entries readArchive(const std::string& bytes) {
    size_t at = 4;
    at += 4 + word(bytes, at);
    const uint32_t count = word(bytes, at);
    at += 4;
    Entries entries;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t length = static_cast<uint8_t>(bytes.at(at));
        std::string name = bytes.substr(at + 1, length);
        at += 1 + length;
        const uint32_t offset = word(bytes, at), size = word(bytes, at + 4);
        at += 8;
        entries.emplace_back(std::move(name), bytes.substr(offset, size));
    }
    return entries;
}

// A copy of the built game's data, changed by one row of the table.
struct Data {
    testsupport::TempFolder folder;
    Entries entries;

    Data() {
        entries = readArchive(readAll(std::string(LUMAROO_GAME_DATA) + "/Kolbax.bin"));
        fs::copy(std::string(LUMAROO_GAME_DATA) + "/boards", folder.file("boards"),
                 fs::copy_options::recursive);
    }
    std::string* entry(const std::string& name) {
        for (auto& [n, bytes] : entries)
            if (n == name)
                return &bytes;
        return nullptr;
    }
    void removeEntry(const std::string& name) {
        ASSERT_NE(entry(name), nullptr) << name << " is an entry of the real archive";
        std::erase_if(entries, [&](const auto& e) { return e.first == name; });
    }
    void truncateEntry(const std::string& name) {
        std::string* bytes = entry(name);
        ASSERT_NE(bytes, nullptr) << name << " is an entry of the real archive";
        bytes->resize(bytes->size() / 2);
    }
    void writeArchive() {
        testsupport::ArchiveBuilder builder;
        for (const auto& [name, bytes] : entries)
            builder.add(name, bytes);
        builder.writeTo(folder, "Kolbax.bin");
    }
};

enum class Outcome { GoesOn, EndsInOrder };

struct Row {
    const char* what;
    std::function<void(Data&)> change;
    const char* named;  // the text the message must hold
    Outcome outcome;
    int level = 0;  // a level to start once loaded (0: none)
};

// What the program showed and how it ended.
struct GameRun {
    int result = -1;
    std::vector<std::string> boxes;
    bool loaded = false;
    bool levelStarted = false;
    bool mapAfterFailedStart = false;
    int stateAfterStart = -1;
    int normalExit = -1;
};

GameRun runGame(Data& data, int level) {
    // No screen and no sound card, unless the caller chose others.
    ::setenv("SDL_VIDEODRIVER", "dummy", 0);
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameRun run;
    // Each problem is told once a process; each run here stands for a program of its own.
    util::clearDataProblems();
    std::mutex lock;
    window::setMessageBoxHook([&](std::string_view title, std::string_view text) {
        std::lock_guard<std::mutex> guard(lock);
        run.boxes.push_back(std::string(title) + ": " + std::string(text));
    });
    testsupport::TempFolder settings;
    MyFrame::Program program;
    program.dataFolder = data.folder.path();
    program.settingsFolder = settings.path();
    const std::string boards = data.folder.path() + "/boards";
    program.makeCanvas = [boards]() -> lang::Ref<sprite::GameCanvas2> {
        auto canvas = lang::make<KolbaxCanvas>();
        std::string error;
        if (!canvas->setBoardsFolder(boards, error))
            throw std::runtime_error(error);
        return canvas;
    };
    std::thread player;
    program.started = [&](MyFrame* frame) {
        lang::Ref<MyFrame> held = lang::share(frame);
        player = std::thread([&run, held, level] {
            for (int i = 0; i < 3000 && held->isLoading(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (held->isLoading() || held->loadFailed())
                return;  // the loader ends the program itself
            run.loaded = true;
            auto* canvas = static_cast<KolbaxCanvas*>(held->canvas());
            if (level > 0) {
                PlayerData* player = canvas->playerData();
                player->createProfile("Ann");
                player->selectProfile("Ann");
                player->setHighestLevel(level);
                player->setSelectedLevel(level);
                // Through the map, as the player goes: it selects the level the profile holds.
                canvas->handleAction(nullptr, lang::String("bStart1"));
                {
                    lang::Synchronized guard(canvas);
                    sprite::Sprite* map = canvas->getSprite("MenuMap");
                    if (map != nullptr && map->instanceOf("MenuMapDialog"))
                        static_cast<MenuMapDialog*>(map)->selectLevel(level);
                }
                canvas->handleAction(nullptr, lang::String("bstartgame"));
                lang::Synchronized guard(canvas);
                run.levelStarted = canvas->state() == KolbaxCanvas::kPlay && canvas->level() == level;
                sprite::Sprite* map = canvas->getSprite("MenuMap");
                run.stateAfterStart = canvas->state();
                run.mapAfterFailedStart =
                    canvas->state() == KolbaxCanvas::kMap && map != nullptr && map->isVisible();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            held->exit();
        });
    };
    run.result = MyFrame::runProgram(program);
    if (player.joinable())
        player.join();
    window::setMessageBoxHook({});
    auto user = lang::make<sprite::User>(settings.path().c_str());
    user->setPath("Lumaroo");
    run.normalExit = user->getInt("NORMALEXIT", -1);
    return run;
}

std::string shown(const GameRun& run) {
    std::string all;
    for (const auto& b : run.boxes)
        all += "\n  " + b;
    return all.empty() ? " (no message)" : all;
}

// One row per piece: how it is damaged, the name a message must hold, and what the game does after.
const std::vector<Row>& rows() {
    static const std::vector<Row> table = {
        {"the archive removed", [](Data& d) { fs::remove(d.folder.file("Kolbax.bin")); }, "Kolbax.bin",
         Outcome::EndsInOrder},
        {"the archive cut short",
         [](Data& d) {
             d.writeArchive();
             fs::resize_file(d.folder.file("Kolbax.bin"), fs::file_size(d.folder.file("Kolbax.bin")) / 2);
         },
         "Kolbax.bin", Outcome::EndsInOrder},
        {"leveling.txt removed", [](Data& d) { fs::remove(d.folder.file("boards/leveling.txt")); },
         "leveling.txt", Outcome::EndsInOrder},
        {"leveling.txt cut short",
         [](Data& d) {
             const std::string table = d.folder.file("boards/leveling.txt");
             fs::resize_file(table, fs::file_size(table) / 3);
         },
         "leveling.txt", Outcome::EndsInOrder},
        {"a board file removed", [](Data& d) { fs::remove(d.folder.file("boards/board7.txt")); },
         "board7.txt", Outcome::GoesOn, 7},
        {"a board file cut short", [](Data& d) { fs::resize_file(d.folder.file("boards/board8.txt"), 40); },
         "board8.txt", Outcome::GoesOn, 8},
        {"a picture removed", [](Data& d) { d.removeEntry("mainmenu"); }, "mainmenu", Outcome::GoesOn},
        {"a picture cut short", [](Data& d) { d.truncateEntry("gamepieces"); }, "gamepieces", Outcome::GoesOn,
         1},
        {"a sound removed", [](Data& d) { d.removeEntry("fxButton"); }, "fxButton", Outcome::GoesOn},
        {"a sound cut short", [](Data& d) { d.truncateEntry("fxSwap"); }, "fxSwap", Outcome::GoesOn},
        {"a sub-script removed", [](Data& d) { d.removeEntry("console.def"); }, "console.def",
         Outcome::GoesOn},
        {"a sub-script cut short", [](Data& d) { d.truncateEntry("options.def"); }, "options.def",
         Outcome::GoesOn},
    };
    return table;
}

GameRun runRow(const Row& row) {
    Data data;
    row.change(data);
    if (!fs::exists(data.folder.file("Kolbax.bin")) && std::string(row.what) != "the archive removed")
        data.writeArchive();
    return runGame(data, row.level);
}

bool names(const GameRun& run, const char* name) {
    return std::any_of(run.boxes.begin(), run.boxes.end(),
                       [&](const std::string& box) { return box.find(name) != std::string::npos; });
}

// The game survives every row (the sanitizers watch the whole run): it either ends with a non-zero
// result and a message that says which file stopped it, or plays on, names what it goes without and
// closes normally; a level whose board cannot be read leaves the player on the map, not on an empty
// screen.
TEST(BadData, EachPieceRemovedOrCutShortEndsInOrderOrPlaysOn) {
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.what);
        GameRun run = runRow(row);
        if (row.outcome == Outcome::EndsInOrder) {
            EXPECT_NE(run.result, 0) << "the game ends, and says it failed";
            EXPECT_FALSE(run.loaded) << "no game starts without the piece";
            EXPECT_TRUE(names(run, row.named)) << "the end names " << row.named << "; shown:" << shown(run);
        } else {
            EXPECT_EQ(run.result, 0) << "the game plays on and closes normally; shown:" << shown(run);
            EXPECT_TRUE(run.loaded);
            EXPECT_EQ(run.normalExit, 1);
            EXPECT_TRUE(names(run, row.named)) << "a message names " << row.named << "; shown:" << shown(run);
            const bool board = std::string(row.named).rfind("board", 0) == 0;
            if (row.level > 0 && !board) {
                EXPECT_TRUE(run.levelStarted) << "level " << row.level << " starts without the piece";
            }
            if (row.level > 0 && board) {
                EXPECT_TRUE(run.mapAfterFailedStart)
                    << "a level that cannot start leaves the player on the map (state " << run.stateAfterStart
                    << ")";
            }
        }
    }
}

}  // namespace
