// Fuzz harness: the definition loader's counting and loading passes over an arbitrary script.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "lang/String.h"
#include "sprite/DataLoader.h"
#include "sprite/FancyContainer.h"
#include "sprite/LoaderMedia.h"
#include "window/MessageBox.h"

namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

// A scratch folder with the fuzzed script, a sub-script that names it back, and an image pack.
const std::string& folder() {
    static const std::string path = [] {
        std::string p = "/dev/shm/fuzz_loader_" + std::to_string(::getpid());
        ::mkdir(p.c_str(), 0700);
        writeFile(p + "/sub.txt",
                  "<images> s +s <sprites> child Sprite s 1 inner FancyContainer:script.txt <end>");
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
    return 0;
}
