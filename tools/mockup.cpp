// mockup: composes the 800x600 still mock-ups of the main screens from the built pictures.
#include <cstdio>

#include "tools/MockupScreens.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: mockup <data folder> <picture folder> <output folder>\n");
        return 2;
    }
    try {
        art::setMockupDataDir(argv[1]);
        art::MockupCanvas canvas(argv[1], argv[2]);
        std::string out = argv[3];
        struct Screen {
            const char* name;
            void (*draw)(art::MockupCanvas&);
        };
        const Screen screens[] = {{"loading", art::mockLoading},
                                  {"mainmenu", art::mockMainMenu},
                                  {"levelmap", art::mockLevelMap},
                                  {"level", art::mockLevel},
                                  {"levelcomplete", art::mockLevelComplete},
                                  {"dialog", art::mockDialog},
                                  {"bonus", art::mockBonus}};
        for (const Screen& s : screens) {
            canvas.clear();
            s.draw(canvas);
            art::writePng(canvas.screen(), out + "/mockup-" + s.name + ".png", false);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mockup: %s\n", e.what());
        return 1;
    }
    return 0;
}
