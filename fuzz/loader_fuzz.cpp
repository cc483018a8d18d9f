// Fuzz harness: the definition loader's counting and loading passes over an arbitrary script.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "lang/String.h"
#include "sprite/DataLoader.h"
#include "sprite/FancyContainer.h"
#include "sprite/LoaderMedia.h"
#include "sprite/Sprite.h"
#include "tests/support/TempFolder.h"
#include "util/Region.h"
#include "window/Graphics.h"
#include "window/Image.h"
#include "window/MessageBox.h"

namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

// A scratch folder with the fuzzed script, a sub-script that names it back, and an image pack; in
// memory, since every input is written there.
const std::string& folder() {
    static const testsupport::TempFolder scratch("/dev/shm");
    static const std::string path = [] {
        const std::string& p = scratch.path();
        // Every sprite class, with records cut short, so that their inits meet missing numbers and
        // images.
        writeFile(p + "/sub.txt",
                  "<images> s +s i img <sprites> child Sprite s 1 inner FancyContainer:script.txt"
                  " a AnimateSprite i 1 2 0 0 -1 0 1 -3 b ButtonSprite i 1 2 9 c RectButtonSprite 1 2 3"
                  " d DialogSprite:script.txt 1 e NewFontSprite i i 1 f NumberSprite i 0 0 0 -2147483648 3"
                  " g TextSprite h RectSprite 1 2 3 4 5 6 7 <end>");
        std::string pack("\0\0\0\1\0\0\0\x12\0\0\0\3\2p\0\xA7\xA8\xA9", 18);
        writeFile(p + "/pack.bin", pack);
        window::setMessageBoxHook([](std::string_view, std::string_view) {});
        return p;
    }();
    return path;
}

// Fake media: every image and sound is its path as a string, so no decoder runs.
sprite::LoaderMedia fakeMedia() {
    sprite::LoaderMedia media;
    media.loadImage = [](const lang::String& path, bool requireData) -> lang::Object* {
        if (requireData && path.endsWith("missing"))
            return nullptr;
        // Names ending in "img" become real pictures (sized by the name), so that the sprites' inits
        // and paints work on pixels; the rest stay strings, which sprites must ignore.
        if (path.endsWith("img")) {
            auto* image = new window::Image(1 + path.length() % 13, 1 + path.length() % 7);
            image->setHasAlpha(true);
            return image;
        }
        return new lang::String(path);
    };
    media.decodeImage = [](const lang::String& name, const uint8_t*, int) -> lang::Object* {
        return new lang::String(name);
    };
    media.loadSound = [](const lang::String& path, int) -> lang::Object* {
        return new lang::String(path);
    };
    return media;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = folder();
    writeFile(dir + "/script.txt", std::string(reinterpret_cast<const char*>(data), size));
    lang::String programDir(dir.c_str());
    static const sprite::LoaderMedia media = fakeMedia();
    // No settings store: "@" names fall back to their archive entries.
    auto loader = lang::adopt(new sprite::DataLoader(programDir, nullptr, nullptr, media));
    loader->count("script.txt");
    loader->load("script.txt");
    // Step and paint whatever the records made, as the canvas would.
    auto target = lang::make<window::Image>(64, 64);
    auto g = lang::adopt(target->getGraphics());
    util::Vector* sprites = loader->sprites();
    for (int frame = 0; frame < 3; ++frame) {
        for (int i = 0; i < sprites->size(); ++i) {
            auto* sprite = static_cast<sprite::Sprite*>(sprites->elementAt(i));
            util::RectangleNM out;
            util::Region region;
            sprite->update(frame, &out, &region);
            sprite->paint(g.get());
            sprite->hitTest(frame, frame);
        }
    }
    return 0;
}
