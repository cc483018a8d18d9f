// Benchmarks: opening the data archive (directory read), reading entries, and the definition loader's
// throughput in sprite records per second on a generated script of 5,000 records.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "lang/ResourceFile.h"
#include "sprite/DataLoader.h"
#include "sprite/LoaderMedia.h"
#include "sprite/Sprite.h"
#include "tests/support/TempFolder.h"
#include "window/MessageBox.h"

namespace {

using testsupport::TempFolder;

void putWord(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

// An archive of `count` entries of `size` bytes each, named like the game's images.
std::string makeArchive(int count, int size) {
    std::string directory;
    uint32_t offset = 12;
    for (int i = 0; i < count; ++i)
        offset += 9 + static_cast<uint32_t>(std::to_string(i).size() + 6);
    for (int i = 0; i < count; ++i) {
        std::string name = "image" + std::to_string(i) + "p";
        directory.push_back(static_cast<char>(name.size()));
        directory += name;
        putWord(directory, offset);
        putWord(directory, static_cast<uint32_t>(size));
        offset += static_cast<uint32_t>(size);
    }
    std::string archive;
    putWord(archive, 0);
    putWord(archive, 0);
    putWord(archive, static_cast<uint32_t>(count));
    return archive + directory + std::string(static_cast<size_t>(count) * static_cast<size_t>(size), 'x');
}

void BM_ArchiveOpen(benchmark::State& state) {
    TempFolder folder;
    std::string path = folder.write("bench.bin", makeArchive(static_cast<int>(state.range(0)), 64));
    for (auto _ : state) {
        auto archive = lang::make<lang::ResourceFile>(path.c_str());
        benchmark::DoNotOptimize(archive->header()->entryCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("directory entries/s");
}
BENCHMARK(BM_ArchiveOpen)->Arg(100)->Arg(2000)->Unit(benchmark::kMicrosecond);

void BM_EntryRead(benchmark::State& state) {
    TempFolder folder;
    std::string path = folder.write("bench.bin", makeArchive(200, static_cast<int>(state.range(0))));
    lang::openArchive(path.c_str());
    lang::String name("image100p");
    for (auto _ : state) {
        lang::Ref<lang::ResourceItem> item = lang::adopt(lang::getResource(name, false));
        benchmark::DoNotOptimize(item->getData());
    }
    lang::closeArchives();
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EntryRead)->Arg(1024)->Arg(256 * 1024);

class BenchSprite : public sprite::Sprite {
public:
    LANG_CLASS_NAME(BenchSprite, Sprite)
    LANG_DECLARE_CLASS_RECORD(BenchSprite);
};
LANG_DEFINE_CLASS_RECORD(BenchSprite);

// 5,000 sprite records in the shape of the game's script: a name, a class, one or two images out of
// 200, and four to eight numbers; comments every so often.
std::string makeScript(int records) {
    std::string script = "<images>\n";
    for (int i = 0; i < 200; ++i)
        script += "  img" + std::to_string(i) + " +pictures/img" + std::to_string(i) + ".png\n";
    script += "<sprites>\n";
    for (int i = 0; i < records; ++i) {
        script += "  sprite" + std::to_string(i) + " BenchSprite img" + std::to_string(i % 200);
        if (i % 3 == 0)
            script += " img" + std::to_string((i + 7) % 200);
        script += " " + std::to_string(i % 800) + " " + std::to_string(i % 600) + " 0 -1";
        if (i % 2 == 0)
            script += " 4 0 1 1";
        if (i % 10 == 0)
            script += " ; a comment";
        script += "\r\n";
    }
    return script + "<end>\n";
}

void BM_LoaderRecords(benchmark::State& state) {
    const int records = 5000;
    TempFolder folder;
    folder.write("script.txt", makeScript(records));
    sprite::LoaderMedia media;
    media.loadImage = [](const lang::String& path, bool) -> lang::Object* { return new lang::String(path); };
    lang::String dir(folder.path().c_str());
    for (auto _ : state) {
        auto loader = lang::adopt(new sprite::DataLoader(dir, nullptr, nullptr, media));
        if (!loader->load("script.txt") || loader->sprites()->size() != records) {
            state.SkipWithError("the script did not load");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * records);
    state.SetLabel("records/s");
}
BENCHMARK(BM_LoaderRecords)->Unit(benchmark::kMillisecond);

}  // namespace
