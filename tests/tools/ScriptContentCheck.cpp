// Checks of the built definition scripts: the archive holds every script of data/script/ as written,
// every token of every script names something that exists (class records, sub-scripts, pictures,
// sounds), every sprite the game looks up is declared where it looks, the integer and sound lists
// have the lengths and order the game reads them in, and the game's own loader builds the whole scene
// from the real archive without a message. Failures name the script and the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/SceneNames.h"
#include "game/rules/LevelTable.h"
#include "io/ByteArrayInputStream.h"
#include "io/StreamTokenizer.h"
#include "lang/Class.h"
#include "lang/Exception.h"
#include "lang/Ref.h"
#include "lang/ResourceFile.h"
#include "lang/String.h"
#include "sprite/ButtonSprite.h"
#include "sprite/DataLoader.h"
#include "sprite/DialogSprite.h"
#include "sprite/Sprite.h"
#include "window/MessageBox.h"

namespace {

namespace fs = std::filesystem;

// ---- what the game looks up ----
// The scene set-up's names and clips are the canvas's own tables (game/SceneNames.h).

// The children each dialog's set-up and press handling find by name, with the class expected.
struct DialogChildren {
    const char* dialog;  // the name of the dialog (in the scene, or in another dialog)
    std::vector<std::pair<std::string, std::string>> children;
    int dataCount;  // how many numbers its integer list holds at least (-1: it has none)
};

std::vector<DialogChildren> dialogChildren() {
    const std::string B = "ButtonSprite", N = "NumberSprite", F = "NewFontSprite", A = "AnimateSprite",
                      S = "";
    std::vector<DialogChildren> all = {
        {scene_names::kMainMenu,
         {{"bMenuOptions", B}, {"bMenuInstructions", B}, {"isunaffect", A}, {"drip", A}, {"streak", A},
          {"ChangePlayer", B}, {"ProfileName", F}, {"bStart1", B}, {"bMenuExit", B},
          {scene_names::kLinkButton, B}, {"bChangePlayerHotSpot", B}},
         -1},
        {"MenuMap",
         {{"map", S}, {"mapconsolestagenumber", N}, {"mapconsolelevelnumber", N}, {"scrollmapright", B},
          {"scrollmapleft", B}, {"FrogShadow", S}, {"selectedlevelmarker", S}, {"starteditor", B},
          {"bstartgame", B}, {"mapconsolebackarrow", B}, {"mapconsoleforwardarrow", B},
          {"bbacktomainmenu", B}},
         2},
        {"Options",
         {{"bFullScreen", S}, {"butfxknob", S}, {"butmuknob", S}, {"bOptionsClose", B}, {"itoggletutorials", S},
          {"creditsbackground", S}, {"bCredits", B}, {"btnclosecredits", B}, {"fullscreenhotspot", B},
          {"tutorialhotspot", B}},
         4},
        {"Instructions",
         {{"pg1", A}, {"pg2", A}, {"pg3", A}, {"pg4", A}, {"bInstructionsNext", B}, {"bInstructionsBack", B},
          {"bInstructionsClose", B}},
         2},
        {"ExitDialog",
         {{"bMenuOptionsFromExit", B}, {"bMenuInstructionsFromExit", B}, {"mapbutton", B}, {"EndGame", B},
          {"ExitClose", B}},
         -1},
        {"GameOver", {{"retry", B}, {"OverMenu", B}}, -1},
        {"LevelComplete",
         {{"ilevelcompletetext", A}, {"icongratulationstext", A}, {"ibtncontinue", B},
          {"continuebuttonholder", S}, {"iscoretext", S}, {"bonusnumbers_score", N}, {"ibonustext", S},
          {"bonusnumbers_bonus", N}, {"itimetext", S}, {"timeminutenumber", N}, {"isunsacquiredtext", S},
          {"numbersunsacquired", N}},
         -1},
        {"consoledialog",
         {{"goldtileincreasehighlight", S}, {"Console", S}, {"itimeline", S}, {"numsunsonconsole", N},
          {"wateroverlay", S}, {"waterfalloverlay", S}, {"waterlinetip", S}, {"timer_redalert", S},
          {"Score", N}, {"Level", N}, {"Stage", N}, {"timergraphic", S}, {"iwatertipmask", S}},
         -1},
        {"itutorial",
         {{"itutorialbackground", S}, {"tutorialarrow1", A}, {"tutorialarrow2", A}, {"tutorialarrow3", A},
          {"tutorialarrow4", A}, {"btn_tutorialClose", B}, {"tutorialfont", F}},
         23},
        {"ChoosePlayer",
         {{"protoName", F}, {"bkgSelectPlayer", S}, {"acceptProfile", B}, {"deleteProfile", B},
          {"createNewProfile", B}, {"inputPrompt", "ProfileInputPrompt"}, {"genericDialog", "GenericDialog"}},
         8},
        {"inputPrompt", {{"name", F}, {"submitNewProfile", B}, {"cancelAddProfile", B}}, -1},
    };
    for (int level = 1; level <= 60; ++level)
        all[1].children.push_back({"levelmarker" + std::to_string(level), S});
    for (int row = 0; row < 5; ++row)
        all[9].children.push_back({"Hilite" + std::to_string(row), B});
    const std::vector<std::pair<std::string, std::string>> generic = {
        {"genericTitles", A}, {"b2Cancel", B}, {"b1Delete", B}, {"b1OK", B}, {"b1Clear", B},
        {"messageText", F}, {"messageName", F}};
    all.push_back({"GenericDialog", generic, -1});
    all.push_back({"genericDialog", generic, -1});
    return all;
}

// The text entries the game reads by id.
std::vector<std::string> stringIds() {
    std::vector<std::string> ids = {"IDS_GAMETITLE", "REGISTRYNAME", "STR_DUPLICATE_NAME", "STR_REALLY_DELETE_1",
                                    "STR_REALLY_DELETE_2"};
    for (const char* page :
         {"GENERALGAMEPLAY", "TURNTOGOLD", "AFTERTENMATCHES", "TIMEREXPLANATION", "GOLDSUNONCONSOLEEXPLANATION",
          "NOWAITSWAPPING", "TUT_AREABLAST", "TUT_RANDOMBLAST", "TUT_COLUMNBLAST", "TUT_ROWBLAST",
          "TUT_CROSSHAIRBLAST", "TUT_COLORBLAST", "TUT_CLOCK", "TUT_DRAGONFLY", "BONUSLEVELEXPLANATION",
          "COBWEBEXLANATION", "TWOVINEEXPLANATION", "ONEVINEEXPLANATION", "DOUBLESTANDARDTILEEXPLANATION",
          "TRIPLESTANDARDTILEEXPLANATION", "NOMOVES_BUTHAVESUNS"}) {
        ids.push_back(std::string("IDS_STRING_") + page);
        ids.push_back(std::string("IDS_STRING_") + page + "_TITLE");
    }
    return ids;
}

// ---- reading a script as the loader does ----

struct Token {
    std::string text;
    int line = 0;
};

struct Record {
    Token name, classToken;
    std::string className, subScript;
    std::vector<Token> images;
    std::vector<int> numbers;
};

struct Script {
    std::string file;
    std::vector<Record> records;
    std::vector<Token> sounds;
    std::vector<int> data;
    bool hasData = false;
};

std::string entryText(const std::string& name) {
    lang::Ref<lang::ResourceItem> item = lang::adopt(lang::getResource(name.c_str(), false));
    if (!item)
        return {};
    return std::string(reinterpret_cast<const char*>(item->getData()), static_cast<size_t>(item->getLength()));
}

bool inArchive(const std::string& name) {
    return lang::Ref<lang::ResourceItem>(lang::adopt(lang::getResource(name.c_str(), false))).get() != nullptr;
}

// Parses the archive entry `file` with the loader's tokenizer set-up and section grammar.
Script parse(const std::string& file) {
    Script script;
    script.file = file;
    lang::Ref<lang::ResourceItem> item = lang::adopt(lang::getResource(file.c_str(), false));
    auto stream = lang::make<io::ByteArrayInputStream>(item.get());
    auto tokenizer = lang::make<io::StreamTokenizer>(stream.get());
    tokenizer->commentChar(';');
    tokenizer->quoteChar('"');
    tokenizer->parseNumbers();
    tokenizer->wordChars('<', '<');
    tokenizer->wordChars('>', '>');
    bool number = false;
    double value = 0;
    auto next = [&](Token& token) {
        int type = tokenizer->nextToken();
        if (type == io::StreamTokenizer::TT_EOF)
            return false;
        number = type == io::StreamTokenizer::TT_NUMBER;
        value = tokenizer->nval;
        token.text = number ? std::to_string(value) : std::string(tokenizer->sval.view());
        token.line = tokenizer->lineno();
        return true;
    };
    auto marker = [&](const Token& t) { return !number && !t.text.empty() && t.text[0] == '<'; };
    std::string section;
    Token t;
    bool have = next(t);
    while (have) {
        if (marker(t)) {
            section = t.text;
            std::transform(section.begin(), section.end(), section.begin(), ::tolower);
            if (section == "<end>")
                break;
            if (section == "<data>")
                script.hasData = true;
            have = next(t);
            continue;
        }
        if (section == "<sounds>") {
            if (t.text.size() > 2)
                script.sounds.push_back(t);
            have = next(t);
        } else if (section == "<data>") {
            if (!number) {
                section.clear();
                continue;
            }
            script.data.push_back(static_cast<int>(value));
            have = next(t);
        } else if (section == "<sprites>") {
            Record r;
            r.name = t;
            if (!next(r.classToken) || marker(r.classToken))
                break;
            size_t colon = r.classToken.text.find(':');
            r.className = r.classToken.text.substr(0, colon);
            if (colon != std::string::npos)
                r.subScript = r.classToken.text.substr(colon + 1);
            have = next(t);
            while (have && !number && !marker(t)) {
                r.images.push_back(t);
                have = next(t);
            }
            while (have && number) {
                r.numbers.push_back(static_cast<int>(value));
                have = next(t);
            }
            script.records.push_back(r);
        } else {
            have = next(t);
        }
    }
    return script;
}

// A whole token that the tokenizer reads as one number: digits with at most one point, an optional
// leading "-", or a hexadecimal "0x" run.
bool isNumber(const std::string& token) {
    size_t i = token[0] == '-' ? 1 : 0;
    if (token.compare(i, 2, "0x") == 0 && token.size() > i + 2)
        return token.find_first_not_of("0123456789abcdefABCDEF", i + 2) == std::string::npos;
    const std::string digits = token.substr(i);
    return digits.find_first_of("0123456789") != std::string::npos &&
           digits.find_first_not_of("0123456789.") == std::string::npos &&
           std::count(digits.begin(), digits.end(), '.') <= 1;
}

// Names that the tokenizer would split or read as something else, found in the script's text: a
// token that begins with a digit, "-" or "." but is not a number, or begins with "<" but is no marker.
std::vector<std::string> namingFaults(const std::string& file, const std::string& text) {
    static const std::set<std::string> markers = {"<images>", "<sounds>", "<strings>", "<data>", "<sprites>", "<end>"};
    std::vector<std::string> faults;
    std::istringstream lines(text);
    std::string line;
    for (int n = 1; std::getline(lines, line); ++n) {
        size_t i = 0;
        while (i < line.size()) {
            char c = line[i];
            if (c == ';')
                break;
            if (static_cast<unsigned char>(c) <= ' ') {
                ++i;
                continue;
            }
            if (c == '"') {
                size_t end = line.find('"', i + 1);
                i = end == std::string::npos ? line.size() : end + 1;
                continue;
            }
            size_t end = line.find_first_of(" \t\r;\"", i);
            std::string token = line.substr(i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? line.size() : end;
            std::string lower = token;
            std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
            if ((token[0] == '-' || token[0] == '.' || std::isdigit(static_cast<unsigned char>(token[0]))) &&
                !isNumber(token))
                faults.push_back(file + ":" + std::to_string(n) + ": \"" + token +
                                 "\" begins with a digit, \"-\" or \".\" and reads as a number");
            else if (token[0] == '<' && markers.count(lower) == 0)
                faults.push_back(file + ":" + std::to_string(n) + ": \"" + token +
                                 "\" begins with \"<\" and reads as a section marker");
        }
    }
    return faults;
}

std::string where(const Script& s, const Token& t) {
    return s.file + ":" + std::to_string(t.line);
}

std::string archiveName(const std::string& name) {
    return !name.empty() && name[0] == '+' ? name.substr(1) : std::string();
}

class BuiltScripts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(LUMAROO_ARCHIVE)) << LUMAROO_ARCHIVE << " is missing";
        lang::openArchive(LUMAROO_ARCHIVE);
        ASSERT_TRUE(inArchive("datfile")) << "the archive holds no \"datfile\"";
        // Every script reached from the scene, each once, with the dialog whose children it holds.
        std::vector<std::pair<std::string, std::string>> pending = {{"datfile", ""}};
        while (!pending.empty()) {
            auto [file, owner] = pending.back();
            pending.pop_back();
            if (scripts_.count(file) != 0) {
                owners_[owner] = file;
                continue;
            }
            scripts_[file] = parse(file);
            owners_[owner] = file;
            for (const Record& r : scripts_[file].records)
                if (!archiveName(r.subScript).empty() && inArchive(archiveName(r.subScript)))
                    pending.push_back({archiveName(r.subScript), r.name.text});
        }
    }
    void TearDown() override { lang::closeArchives(); }

    const Record* find(const std::string& file, const std::string& name) const {
        auto s = scripts_.find(file);
        if (s == scripts_.end())
            return nullptr;
        for (const Record& r : s->second.records)
            if (r.name.text == name)
                return &r;
        return nullptr;
    }

    std::map<std::string, Script> scripts_;
    std::map<std::string, std::string> owners_;  // dialog name -> its sub-script ("" -> datfile)
};

std::string joined(const std::vector<std::string>& faults) {
    std::string out;
    for (const std::string& f : faults)
        out += "\n  " + f;
    return out;
}

// The archive holds each file of data/script/ byte for byte, every one is reached from the scene, and
// no name in them would be read as a number or a marker.
TEST_F(BuiltScripts, ScriptsArePackedAsWrittenAndTheirNamesReadAsNames) {
    std::vector<std::string> faults;
    int files = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(std::string(LUMAROO_DATA_DIR) + "/script")) {
        ++files;
        std::string file = e.path().filename().string();
        std::ifstream in(e.path(), std::ios::binary);
        std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (entryText(file) != source)
            faults.push_back(file + ": the archive's entry differs from data/script/" + file);
        if (scripts_.count(file) == 0)
            faults.push_back(file + ": no script of the scene names it");
        for (const std::string& f : namingFaults(file, source))
            faults.push_back(f);
    }
    EXPECT_GE(files, 2);
    EXPECT_TRUE(faults.empty()) << joined(faults);
}

// The rule itself: a name glued to a leading digit, a leading "-" or ".", or a "<" that is no marker
// is found by file and line; numbers, quoted texts and comments are not.
TEST(ScriptNamingRule, FindsNamesThatReadAsNumbersOrMarkers) {
    std::string text = "<sprites> ; 1up in a comment\n"
                       "ok Sprite img 10 -20 0.5 0x1F\n"
                       "1up Sprite \"2 quoted\" 0\n"
                       "a Sprite -shadow .hidden 0\n"
                       "<Sprites> <nomarker> 3\n";
    std::vector<std::string> faults = namingFaults("s", text);
    ASSERT_EQ(faults.size(), 4u) << joined(faults);
    EXPECT_EQ(faults[0].rfind("s:3: \"1up\"", 0), 0u);
    EXPECT_EQ(faults[1].rfind("s:4: \"-shadow\"", 0), 0u);
    EXPECT_EQ(faults[2].rfind("s:4: \".hidden\"", 0), 0u);
    EXPECT_EQ(faults[3].rfind("s:5: \"<nomarker>\"", 0), 0u);
}

// Every class token names a class record (of a container when it names a sub-script), every
// sub-script, picture and sound names an archive entry.
TEST_F(BuiltScripts, EveryTokenNamesSomethingThatExists) {
    std::vector<std::string> faults;
    for (const auto& [file, script] : scripts_) {
        for (const Record& r : script.records) {
            lang::Class* record = lang::Class::forName(r.className.c_str());
            if (record == nullptr) {
                faults.push_back(where(script, r.classToken) + ": \"" + r.name.text + "\": the class " +
                                 r.className + " has no class record");
            } else if (!r.subScript.empty()) {
                lang::Ref<lang::Object> probe = lang::adopt(record->newInstance());
                if (!probe || !probe->instanceOf("FancyContainer"))
                    faults.push_back(where(script, r.classToken) + ": " + r.className +
                                     " is no container and cannot hold the sub-script " + r.subScript);
            }
            if (!r.subScript.empty() && !inArchive(archiveName(r.subScript)))
                faults.push_back(where(script, r.classToken) + ": the sub-script " + r.subScript +
                                 " is not an archive entry (written with a \"+\")");
            for (const Token& image : r.images)
                if (!image.text.empty() && !inArchive(image.text))
                    faults.push_back(where(script, image) + ": \"" + r.name.text + "\": no picture " + image.text);
        }
        for (const Token& sound : script.sounds) {
            std::string name = sound.text[0] == '*' ? sound.text.substr(1) : sound.text;
            if (!inArchive(archiveName(name)))
                faults.push_back(where(script, sound) + ": the sound " + sound.text + " is not an archive entry");
        }
    }
    EXPECT_TRUE(faults.empty()) << joined(faults);
}

// The names the scene set-up and the dialogs look up are declared in the scripts they read, with the
// class the game takes them for.
TEST_F(BuiltScripts, EveryNameTheGameLooksUpIsDeclared) {
    std::vector<std::string> faults;
    auto check = [&](const std::string& file, const std::string& owner, const std::string& name,
                     const std::string& className) {
        const Record* r = find(file, name);
        if (r == nullptr) {
            faults.push_back(file + ": no sprite named \"" + name + "\" (looked up by " + owner + ")");
            return;
        }
        lang::Class* record = lang::Class::forName(r->className.c_str());
        if (className.empty() || record == nullptr)
            return;
        lang::Ref<lang::Object> probe = lang::adopt(record->newInstance());
        if (!probe || !probe->instanceOf(className.c_str()))
            faults.push_back(file + ":" + std::to_string(r->name.line) + ": \"" + name + "\" is a " + r->className +
                             ", the game takes it for a " + className);
    };
    for (const scene_names::SceneSprite& s : scene_names::kSceneSprites)
        check("datfile", "the scene set-up", s.name, s.className);
    for (const DialogChildren& d : dialogChildren()) {
        auto sub = owners_.find(d.dialog);
        if (sub == owners_.end()) {
            faults.push_back(std::string("no script holds the children of \"") + d.dialog + "\"");
            continue;
        }
        for (const auto& [child, className] : d.children)
            check(sub->second, d.dialog, child, className);
        const Script& s = scripts_.at(sub->second);
        int count = s.hasData ? static_cast<int>(s.data.size()) : -1;
        if (d.dataCount < 0 ? count >= 0 : count < d.dataCount)
            faults.push_back(sub->second + ": the integer list of \"" + d.dialog + "\" holds " +
                             std::to_string(count) + " numbers, the dialog reads " + std::to_string(d.dataCount));
    }
    EXPECT_TRUE(faults.empty()) << joined(faults);
}

// The sheet columns of every picture of data/pictures.txt (name, format, frame size, columns, rows).
std::map<std::string, int> pictureColumns() {
    std::map<std::string, int> columns;
    std::ifstream list(std::string(LUMAROO_DATA_DIR) + "/pictures.txt");
    for (std::string line; std::getline(list, line);) {
        std::istringstream fields(line);
        std::string name, format;
        int frameWidth = 0, frameHeight = 0, cols = 0;
        if (fields >> name >> format >> frameWidth >> frameHeight >> cols && name[0] != '#')
            columns[name] = cols;
    }
    return columns;
}

// A number reads its strip as ten digit cells in digits-only mode and as the fifteen cells of
// separators, signs and digits otherwise: a strip of the other kind draws punctuation for digits.
TEST_F(BuiltScripts, EveryNumberReadsAStripOfTheCellsItsModeNeeds) {
    const std::map<std::string, int> columns = pictureColumns();
    ASSERT_FALSE(columns.empty()) << "data/pictures.txt lists no picture";
    std::vector<std::string> faults;
    int numbers = 0;
    for (const auto& [file, script] : scripts_) {
        for (const Record& r : script.records) {
            if (r.className != "NumberSprite" || r.images.empty())
                continue;
            ++numbers;
            const int mode = r.numbers.size() > 4 ? r.numbers[4] : 0;
            const int wanted = mode == 1 ? 10 : 15;
            auto found = columns.find(r.images[0].text);
            if (found == columns.end())
                faults.push_back(where(script, r.images[0]) + ": \"" + r.name.text + "\": the strip " +
                                 r.images[0].text + " is not in data/pictures.txt");
            else if (found->second != wanted)
                faults.push_back(where(script, r.name) + ": \"" + r.name.text + "\" in mode " +
                                 std::to_string(mode) + " reads " + std::to_string(wanted) +
                                 " cells, its strip " + found->first + " has " +
                                 std::to_string(found->second));
        }
    }
    EXPECT_GE(numbers, 10);
    EXPECT_TRUE(faults.empty()) << joined(faults);
}

// The scene's integer list is the kind table, its sound list the numbered sounds of
// data/sound/sounds.txt in index order, the menu and the options each hand over one clip, and the
// clips, texts and level files that the game opens by name exist.
TEST_F(BuiltScripts, ListsAndNamedFilesAreComplete) {
    const Script& scene = scripts_.at("datfile");
    std::vector<int> kinds(scene_names::kKindTableLength);
    for (int i = 0; i < scene_names::kKindTableLength; ++i)
        kinds[static_cast<size_t>(i)] = i;
    EXPECT_EQ(scene.data, kinds) << "datfile: the kind table is the codes 0..17 in order";

    std::vector<std::string> numbered;
    std::set<std::string> extras;
    std::ifstream list(std::string(LUMAROO_DATA_DIR) + "/sound/sounds.txt");
    for (std::string line; std::getline(list, line);) {
        std::istringstream fields(line);
        std::string index, entry;
        fields >> index >> entry;
        if (!index.empty() && std::isdigit(static_cast<unsigned char>(index[0]))) {
            ASSERT_EQ(std::stoi(index), static_cast<int>(numbered.size())) << "sounds.txt: " << line;
            numbered.push_back("+" + entry);
        } else if (index == "extra") {
            extras.insert("+" + entry);
        }
    }
    ASSERT_GE(numbered.size(), 60u);
    EXPECT_EQ(scene.sounds.size(), numbered.size()) << "datfile: the sound list's length";
    for (size_t i = 0; i < std::min(scene.sounds.size(), numbered.size()); ++i) {
        if (scene.sounds[i].text != numbered[i]) {
            ADD_FAILURE() << where(scene, scene.sounds[i]) << ": sound " << i << " is " << scene.sounds[i].text
                          << ", sounds.txt numbers " << numbered[i];
            break;
        }
    }
    for (const char* dialog : {"MainMenu", "Options"}) {
        auto owner = owners_.find(dialog);
        ASSERT_NE(owner, owners_.end()) << "no script holds the children of " << dialog;
        const Script& s = scripts_.at(owner->second);
        ASSERT_EQ(s.sounds.size(), 1u) << s.file;
        std::string name = s.sounds[0].text[0] == '*' ? s.sounds[0].text.substr(1) : s.sounds[0].text;
        EXPECT_EQ(extras.count(name), 1u) << where(s, s.sounds[0]) << ": " << name << " is no extra of sounds.txt";
    }

    std::vector<std::string> missing;
    for (const char* clip : scene_names::kClipNames)
        if (!inArchive(clip + 1))  // past the "+" of an archive name
            missing.push_back(clip + 1);
    for (const std::string& id : stringIds())
        if (!inArchive(id))
            missing.push_back(id);
    EXPECT_TRUE(missing.empty()) << "archive entries missing:" << joined(missing);

    std::string boards = std::string(LUMAROO_DATA_DIR) + "/boards";
    LevelTable table;
    std::string error;
    EXPECT_TRUE(table.load(boards + "/leveling.txt", error)) << error;
    for (int level = 1; level <= 60; ++level)
        EXPECT_TRUE(fs::exists(boards + "/board" + std::to_string(level) + ".txt")) << "board" << level;
}

// The game's own loader builds the scene from the real archive: no message, every record a sprite,
// every looked-up name found where the game looks for it.
TEST_F(BuiltScripts, TheLoaderBuildsTheWholeSceneWithoutAMessage) {
    std::vector<std::string> messages;
    window::MessageBoxHook previous = window::setMessageBoxHook(
        [&](std::string_view title, std::string_view text) { messages.push_back(std::string(title) + ": " + std::string(text)); });
    auto loader = lang::make<sprite::DataLoader>(lang::String("."), nullptr, nullptr);
    EXPECT_TRUE(loader->load("+datfile"));
    window::setMessageBoxHook(previous);
    EXPECT_TRUE(messages.empty()) << joined(messages);

    EXPECT_EQ(loader->sprites()->size(), static_cast<int>(scripts_.at("datfile").records.size()))
        << "datfile: a record made no sprite";
    std::map<std::string, lang::Ref<sprite::Sprite>> dialogs;
    for (const scene_names::SceneSprite& looked : scene_names::kSceneSprites) {
        lang::String key(looked.name);
        auto* s = static_cast<sprite::Sprite*>(loader->names()->get(&key));
        EXPECT_NE(s, nullptr) << "the scene has no \"" << looked.name << "\"";
        if (s != nullptr)
            dialogs[looked.name] = lang::share(s);
    }
    for (const DialogChildren& d : dialogChildren()) {
        sprite::Sprite* dialog = nullptr;
        if (dialogs.count(d.dialog) != 0) {
            dialog = dialogs[d.dialog].get();
        } else if (lang::Ref<sprite::Sprite> chooser = dialogs["ChoosePlayer"];
                   chooser && chooser->instanceOf("DialogSprite")) {
            lang::Ref<sprite::Sprite> inner = static_cast<sprite::DialogSprite*>(chooser.get())->getChild(d.dialog);
            dialog = inner.get();
            if (inner)
                dialogs[d.dialog] = inner;
        }
        if (dialog == nullptr || !dialog->instanceOf("DialogSprite")) {
            ADD_FAILURE() << "\"" << d.dialog << "\" was not built as a dialog";
            continue;
        }
        auto* box = static_cast<sprite::DialogSprite*>(dialog);
        for (const auto& [child, className] : d.children)
            EXPECT_TRUE(box->getChild(child.c_str())) << "\"" << d.dialog << "\" has no child \"" << child << "\"";
    }
}

// The chooser's row buttons, as the real scene sets them up, show the selected row in a frame of its
// own: a selected state with no frame would hide the row's button, one equal to the normal or hover
// frame would not show which player is chosen.
TEST_F(BuiltScripts, TheChoosersRowsHaveASelectedLookOfTheirOwn) {
    auto loader = lang::make<sprite::DataLoader>(lang::String("."), nullptr, nullptr);
    ASSERT_TRUE(loader->load("+datfile"));
    lang::String key("ChoosePlayer");
    auto* chooser = static_cast<sprite::Sprite*>(loader->names()->get(&key));
    ASSERT_TRUE(chooser != nullptr && chooser->instanceOf("DialogSprite"));
    using B = sprite::ButtonSprite;
    for (int row = 0; row < 5; ++row) {
        const std::string name = "Hilite" + std::to_string(row);
        lang::Ref<sprite::Sprite> s = static_cast<sprite::DialogSprite*>(chooser)->getChild(name.c_str());
        ASSERT_TRUE(s && s->instanceOf("ButtonSprite")) << name;
        auto* b = static_cast<B*>(s.get());
        for (int state : {B::kSelected, B::kSelectedHover}) {
            const int frame = b->getStateFrame(state);
            EXPECT_TRUE(frame >= 0 && frame < b->getFrameCount())
                << "chooseplayer.def: \"" << name << "\" has no frame for state " << state << " (" << frame
                << ")";
            EXPECT_NE(frame, b->getStateFrame(B::kNormal)) << name << ", state " << state;
            EXPECT_NE(frame, b->getStateFrame(B::kHover)) << name << ", state " << state;
        }
    }
}

// The instructions' version line, as the real scene makes it, stands inside the panel's frame (16
// pixels of stone and rim on each side of the panel picture) and over none of the pages or buttons.
TEST_F(BuiltScripts, TheInstructionsVersionLineStandsInsideThePanelsFrame) {
    constexpr int kFrame = 16;
    auto loader = lang::make<sprite::DataLoader>(lang::String("."), nullptr, nullptr);
    ASSERT_TRUE(loader->load("+datfile"));
    lang::String key("Instructions");
    auto* dialog = static_cast<sprite::Sprite*>(loader->names()->get(&key));
    ASSERT_TRUE(dialog != nullptr && dialog->instanceOf("DialogSprite"));
    auto* box = static_cast<sprite::DialogSprite*>(dialog);
    lang::Ref<sprite::Sprite> version = box->getChild("version");
    ASSERT_TRUE(version) << "the instructions make no version line";
    const util::RectangleNM line = version->getBounds();
    ASSERT_FALSE(line.isEmpty()) << "the version line measures nothing";
    const util::RectangleNM inside(kFrame, kFrame, dialog->getWidth() - 2 * kFrame,
                                   dialog->getHeight() - 2 * kFrame);
    util::RectangleNM within = line;
    within.intersect(inside);
    EXPECT_TRUE(within.x == line.x && within.y == line.y && within.width == line.width &&
                within.height == line.height)
        << "instructions.def: the version line (" << line.x << ", " << line.y << ", " << line.width << " x "
        << line.height << ") reaches into the panel's frame";
    for (const char* other :
         {"pg1", "pg2", "pg3", "pg4", "bInstructionsBack", "bInstructionsClose", "bInstructionsNext"}) {
        lang::Ref<sprite::Sprite> s = box->getChild(other);
        if (!s)
            continue;
        util::RectangleNM overlap = line;
        overlap.intersect(s->getBounds());
        EXPECT_TRUE(overlap.isEmpty())
            << "instructions.def: the version line stands over \"" << other << "\"";
    }
}

}  // namespace
