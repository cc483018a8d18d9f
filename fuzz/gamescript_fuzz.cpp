// Fuzz harness: the definition loader with every class record of the game, on scripts made of the
// game's own records. The input is up to three scripts separated by a line "%%": the main script
// "script.txt" and the sub-scripts "a.txt" and "b.txt" that its containers may name; the dialogs' usual
// sub-scripts (chooser, prompt, question, map, tally, console) lie beside them unchanged. What the
// loader made then goes through what the game does with a scene: the sprites join a game canvas, the
// game's dialogs get it as their host, and frames, clicks, keys and paints run over them.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "game/GameDialog.h"
#include "game/GameHost.h"
#include "game/PlayerData.h"
#include "lang/Ref.h"
#include "lang/String.h"
#include "sprite/DataLoader.h"
#include "sprite/GameCanvas2.h"
#include "sprite/LoaderMedia.h"
#include "sprite/Sprite.h"
#include "sprite/store/User.h"
#include "tests/support/TempFolder.h"
#include "tests/game/MapDialogScript.h"
#include "util/Random.h"
#include "util/Region.h"
#include "window/Event.h"
#include "window/Graphics.h"
#include "window/Image.h"
#include "window/MessageBox.h"

namespace {

// A script that cannot be written would leave every input loading nothing: stop instead.
void writeFile(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::fprintf(stderr, "gamescript_fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
    std::fclose(f);
}

const char kButtons[] =
    " acceptProfile ButtonSprite btn 20 400 3 1 2 1 0 1\n"
    " createNewProfile ButtonSprite btn 60 400 3 1 2 1 0 1\n"
    " deleteProfile ButtonSprite btn 100 400 3 1 2 1 0 1\n";

// The program folder with the dialogs' sub-scripts; the fuzzed scripts are written into it per input,
// so it lies in memory. The folder goes when the run ends normally (a crash leaves it for the replay).
const std::string& folder() {
    static const testsupport::TempFolder scratch("/dev/shm");
    static const std::string path = [] {
        const std::string& p = scratch.path();
        writeFile(p + "/chooser.txt",
                  std::string("<data> 200 100 40 128 100 100\n<sprites>\n"
                              " bkgSelectPlayer Sprite bg 0 0\n protoName NewFontSprite 0 0\n"
                              " Hilite0 ButtonSprite btn 180 95 3 1 2 1 0 1\n"
                              " Hilite1 ButtonSprite btn 180 135 3 1 2 1 0 1\n"
                              " Hilite2 ButtonSprite btn 180 175 3 1 2 1 0 1\n") +
                      kButtons +
                      " inputPrompt ProfileInputPrompt:prompt.txt 150 150 300 200 1 0 0\n"
                      " genericDialog GenericDialog:generic.txt 150 150 300 200 1 0 0\n");
        writeFile(p + "/prompt.txt",
                  "<sprites>\n name NewFontSprite 20 20\n"
                  " submitNewProfile ButtonSprite btn 200 150 3 1 2 1 0 1\n"
                  " cancelAddProfile ButtonSprite btn 240 150 3 1 2 1 0 1\n");
        writeFile(p + "/generic.txt",
                  "<sprites>\n genericTitles AnimateSprite btn 0 0 3 1\n"
                  " messageText NewFontSprite 10 40\n messageName NewFontSprite 10 80\n"
                  " b1Delete ButtonSprite btn 50 150 3 1 2 1 0 1\n b2Cancel ButtonSprite btn 100 150 3 1 2 1 0 1\n"
                  " b1OK ButtonSprite btn 150 150 3 1 2 1 0 1\n b1Clear ButtonSprite btn 200 150 3 1 2 1 0 1\n");
        writeFile(p + "/map.txt", dialog_test::mapDialogScript());
        writeFile(p + "/lc.txt",
                  "<sprites>\n ibtncontinue ButtonSprite btn 100 100 3 1 2 1 0 1\n"
                  " continuebuttonholder Sprite bg 90 90\n bonusnumbers_score NumberSprite digits 10 10\n"
                  " bonusnumbers_bonus NumberSprite digits 10 30\n timeminutenumber NumberSprite digits 10 50\n"
                  " numbersunsacquired NumberSprite digits 10 70\n");
        writeFile(p + "/console.txt",
                  "<sprites>\n Console Sprite bg 0 0\n itimeline Sprite bg 100 20\n"
                  " wateroverlay Sprite bg 100 20\n waterlinetip Sprite bg 100 10\n timer_redalert Sprite bg 0 0\n"
                  " numsunsonconsole NumberSprite digits 10 10\n Score NumberSprite digits 10 30\n"
                  " Level NumberSprite digits 10 50\n Stage NumberSprite digits 10 70\n");
        window::setMessageBoxHook([](std::string_view, std::string_view) {});
        return p;
    }();
    return path;
}

// Pictures made in memory: every name gives an opaque sheet sized by the name (so that frame counts
// and button sheets meet odd sizes), except names ending in "missing", which have no data, and names
// ending in "str", which stay strings that sprites must not take for pictures.
sprite::LoaderMedia fakeMedia() {
    sprite::LoaderMedia media;
    media.loadImage = [](const lang::String& path, bool requireData) -> lang::Object* {
        if (path.endsWith("missing"))
            return requireData ? nullptr : new window::Image(0, 0);
        if (path.endsWith("str"))
            return new lang::String(path);
        auto* image = new window::Image(1 + 7 * (path.length() % 11), 1 + 5 * (path.length() % 5),
                                        window::Image::kCleared);
        uint32_t* p = image->getPixels();
        for (int i = 0; i < image->getWidth() * image->getHeight(); ++i)
            p[i] = 0xFF000000u | static_cast<uint32_t>(i % 7);
        return image;
    };
    media.decodeImage = [](const lang::String& name, const uint8_t*, int) -> lang::Object* {
        return new lang::String(name);
    };
    media.loadSound = [](const lang::String& path, int) -> lang::Object* { return new lang::String(path); };
    return media;
}

// The canvas as the game's: the host of the dialogs, with a real player store.
class FuzzCanvas : public sprite::GameCanvas2, public GameHost {
public:
    FuzzCanvas(sprite::User* store, uint32_t seed)
        : data_(lang::make<PlayerData>(store, "Lumaroo")), generator_(seed) {}

    void deliver(window::Event* event) {
        currentEvent_ = lang::share(event);
        dispatchEvent();
        currentEvent_.reset();
    }

    PlayerData* playerData() override { return data_.get(); }
    util::Random* random() override { return &generator_; }
    std::string text(const char* id) override { return std::string(id) + " text"; }
    void playSound(int) override {}
    void stopSound(int) override {}
    void runAction(lang::Object* source, const lang::String& label) override { handleAction(source, label); }
    void setEffectsVolume(int) override {}
    bool isFullScreen() override { return false; }
    void setFullScreen(bool) override {}

private:
    lang::Ref<PlayerData> data_;
    util::Random generator_;
};

sprite::User* store() {
    static sprite::User* user = [] {
        std::string dir = folder() + "/settings";
        ::mkdir(dir.c_str(), 0700);
        auto* u = new sprite::User(dir.c_str());
        // A player with progress, so the map, the chooser and the tally have something to show.
        PlayerData data(u, "Lumaroo");
        data.createProfile("Ann");
        data.selectProfile("Ann");
        return u;
    }();
    return user;
}

uint32_t seedOf(const uint8_t* data, size_t size) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h;
}

void click(FuzzCanvas& canvas, int x, int y) {
    canvas.deliver(lang::make<window::Event>(window::Event::kMouseDown, x, y, 0, 0, 1).get());
    canvas.deliver(lang::make<window::Event>(window::Event::kMouseUp, x, y, 0, 0, 1).get());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = folder();
    // Split the input into the main script and the two sub-scripts.
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view parts[3];
    for (int i = 0; i < 3; ++i) {
        size_t cut = i < 2 ? input.find("\n%%\n") : std::string_view::npos;
        parts[i] = input.substr(0, cut);
        input = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 4);
    }
    writeFile(dir + "/script.txt", parts[0]);
    writeFile(dir + "/a.txt", parts[1]);
    writeFile(dir + "/b.txt", parts[2]);

    const uint32_t seed = seedOf(data, size);
    static const sprite::LoaderMedia media = fakeMedia();
    auto canvas = lang::make<FuzzCanvas>(store(), seed);
    {
        auto loader =
            lang::adopt(new sprite::DataLoader(lang::String(dir.c_str()), canvas.get(), store(), media));
        loader->count("script.txt");
        if (loader->load("script.txt")) {
            util::Vector* sprites = loader->sprites();
            for (int i = 0; i < sprites->size(); ++i) {
                auto* s = static_cast<sprite::Sprite*>(sprites->elementAt(i));
                canvas->addSprite(s->getName().chars(), s, -1);
                if (s->instanceOf("GameDialog")) {
                    static_cast<GameDialog*>(s)->setHost(canvas.get());
                    // The game opens its dialogs by actions; some inputs see them all open.
                    if (seed & 1)
                        s->setVisible(true);
                }
            }
        }
    }
    // Frames with input in between, as the render and input threads would run them.
    auto target = lang::make<window::Image>(160, 120);
    auto g = lang::adopt(target->getGraphics());
    util::Random input2(seed);
    for (int frame = 0; frame < 4; ++frame) {
        canvas->tick();
        for (const lang::Ref<sprite::Sprite>& s : canvas->sceneSnapshot()) {
            s->paint(g.get());
            util::RectangleNM r = s->getBounds();
            // A point inside the sprite; fuzzed bounds may lie anywhere.
            int x = std::clamp(r.x, -1000, 2000) + input2.nextInt(std::clamp(r.width, 0, 1000));
            int y = std::clamp(r.y, -1000, 2000) + input2.nextInt(std::clamp(r.height, 0, 1000));
            click(*canvas, x, y);
        }
        click(*canvas, input2.nextInt(800), input2.nextInt(600));
        int keys[] = {27, 13, 'a', 8, ' '};
        canvas->deliver(lang::make<window::Event>(window::Event::kKeyDown, 0, 0, 0,
                                                   keys[input2.nextInt(4)], 1).get());
    }
    canvas->destroy();
    return 0;
}
