// The canvas's named actions against what raises them: every label in the table is raised by a scene
// script (a button's name is the command its press sends) or by the game's code (an effect's end label,
// a scheduled notification, a forwarded action), and the table holds each label once. Labels the base
// class or a dialog handles are not the canvas's and are not in its table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "game/KolbaxCanvas.h"

namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The names of the sprite records of every scene script: a button's name is its command.
std::set<std::string> scriptNames() {
    std::set<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(fs::path(LUMAROO_SOURCE_ROOT) / "data/script")) {
        std::istringstream lines(readAll(e.path()));
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream tokens(line);
            std::string name;
            if (tokens >> name && name[0] != ';' && name[0] != '<' && name[0] != '+' && name[0] != '*')
                names.insert(name);
        }
    }
    return names;
}

// How often `quoted` (a label with its opening quote; the closing one too unless it is a prefix) occurs
// in the game's sources.
int occurrencesInCode(const std::string& quoted) {
    int count = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(fs::path(LUMAROO_SOURCE_ROOT) / "game")) {
        if (!e.is_regular_file())
            continue;
        const std::string text = readAll(e.path());
        for (size_t at = text.find(quoted); at != std::string::npos; at = text.find(quoted, at + 1))
            ++count;
    }
    return count;
}

// Handled labels that nothing raises today: the effects' ends and delays of the design that no effect or
// timer of this game sends yet. Their handlers stay (the effect-label tests drive them directly); a label
// listed here that becomes raised must leave the list.
const std::set<std::string> kNotRaisedYet = {"Hide Gold Twinkle",
                                             "Hide turned to gold anim",
                                             "Hide hopping sun",
                                             "Hide Suns When They Arrive At Console Sun",
                                             "Turn this grid square to gold",
                                             "Bonus block broken",
                                             "Delay bonus level complete",
                                             "Delay gameover state for no more moves dialog",
                                             "crossCursor"};

TEST(ActionTableTest, EveryHandledLabelIsRaisedByAScriptOrTheCode) {
    const std::set<std::string> names = scriptNames();
    ASSERT_FALSE(names.empty()) << "no scene script read from " << LUMAROO_SOURCE_ROOT << "/data/script";
    for (const KolbaxCanvas::NamedAction& action : KolbaxCanvas::namedActions()) {
        const std::string label = action.label;
        if (names.count(label) != 0)
            continue;
        const bool prefix = (action.flags & KolbaxCanvas::kPrefix) != 0;
        const std::string quoted = "\"" + label + (prefix ? "" : "\"");
        // The table names each label once itself; a raised label occurs somewhere else too (the label
        // the canvas queues on losing the focus is a named constant, used where it is queued).
        const int own = label == KolbaxCanvas::kFocusLostLabel ? 0 : 1;
        if (kNotRaisedYet.count(label) != 0)
            EXPECT_EQ(occurrencesInCode(quoted), own) << "\"" << label << "\" is raised now: take it off the list";
        else
            EXPECT_GT(occurrencesInCode(quoted), own)
                << "\"" << label << "\" has a handler, but no script names it and no code raises it";
    }
}

TEST(ActionTableTest, EachLabelHasOneHandlerInItsGroup) {
    std::set<std::string> seen;
    for (const KolbaxCanvas::NamedAction& action : KolbaxCanvas::namedActions()) {
        EXPECT_TRUE(seen.insert(action.label).second) << "\"" << action.label << "\" is in the table twice";
        EXPECT_NE(action.handler, nullptr) << action.label;
        const int group = action.flags & (KolbaxCanvas::kEffect | KolbaxCanvas::kFlow | KolbaxCanvas::kButton);
        EXPECT_TRUE(group == KolbaxCanvas::kEffect || group == KolbaxCanvas::kFlow ||
                    group == KolbaxCanvas::kButton)
            << "\"" << action.label << "\" belongs to exactly one group";
    }
    // A prefix entry must not shadow a label of its own that follows it.
    for (const KolbaxCanvas::NamedAction& action : KolbaxCanvas::namedActions()) {
        if ((action.flags & KolbaxCanvas::kPrefix) == 0)
            continue;
        for (const std::string& other : seen) {
            if (other != action.label) {
                EXPECT_NE(other.rfind(action.label, 0), 0u)
                    << "\"" << other << "\" is taken by the prefix \"" << action.label << "\"";
            }
        }
    }
}

}  // namespace
