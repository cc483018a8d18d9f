// The level map's sub-script in small: every child the map dialog looks up, with 60 markers 25 pixels apart
// along the map picture. Shared by the map's tests and the game-script fuzz harness's seed dialogs.
#pragma once

#include <string>

namespace dialog_test {

inline std::string mapDialogScript() {
    std::string s =
        "<data> 3 4\n<sprites>\n"
        " map Sprite bg 0 0\n"
        " mapconsolestagenumber NumberSprite digits 600 500\n"
        " mapconsolelevelnumber NumberSprite digits 650 500\n"
        " scrollmapright ButtonSprite btn 760 300 3 1 2 1 0 1\n"
        " scrollmapleft ButtonSprite btn 10 300 3 1 2 1 0 1\n"
        " mapconsolebackarrow ButtonSprite btn 560 540 3 1 2 1 0 1\n"
        " mapconsoleforwardarrow ButtonSprite btn 700 540 3 1 2 1 0 1\n"
        " bstartgame ButtonSprite btn 620 560 3 1 2 1 0 1\n"
        " bbacktomainmenu ButtonSprite btn 20 560 3 1 2 1 0 1\n"
        " FrogShadow AnimateSprite btn 0 0 3 1\n"
        " selectedlevelmarker AnimateSprite btn 0 0 3 1\n";
    for (int level = 1; level <= 60; ++level)
        s += " levelmarker" + std::to_string(level) + " AnimateSprite btn " + std::to_string(65 + 25 * level) +
             " 110 3 1\n";
    return s;
}

}  // namespace dialog_test
