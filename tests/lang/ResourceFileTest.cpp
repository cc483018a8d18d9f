// The data archive: archives written by mkarchive read back, look-ups through the list, texts,
// library modules, the search path and refused corrupt archives.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "lang/Exception.h"
#include "lang/ProgramPath.h"
#include "lang/ResourceFile.h"
#include "tests/support/TempFolder.h"
#include "tools/ArchiveFormat.h"

namespace {

using lang::adopt;
using lang::Ref;
using lang::ResourceItem;

using testsupport::TempFolder;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string bytesOf(ResourceItem* item) {
    return std::string(reinterpret_cast<const char*>(item->getData()),
                       static_cast<size_t>(item->getLength()));
}

std::string exceptionText(const std::function<void()>& action) {
    try {
        action();
    } catch (lang::Exception* e) {
        std::string text(e->message().view());
        e->release();
        return text;
    }
    return "(no exception)";
}

std::string stringOf(const char* entry) {
    Ref<lang::String> text = adopt(lang::getResourceString(entry));
    return std::string(text->view());
}

// Packs a manifest into an archive file as mkarchive does; returns mkarchive's exit status (0, or 1 with
// the message in errors).
int packManifest(const std::string& manifest, const std::string& output, std::string* errors) {
    try {
        archiveformat::writeFile(output, archiveformat::buildArchive(archiveformat::readManifest(manifest)));
        return 0;
    } catch (const archiveformat::Failure& failure) {
        if (errors != nullptr)
            *errors = failure.message;
        return 1;
    }
}

// Packs a manifest of (name, bytes) entries written into the folder; returns its exit status.
int writeArchive(const TempFolder& folder, const std::vector<std::pair<std::string, std::string>>& entries,
                 const std::string& output, std::string* errors = nullptr) {
    std::string manifest = "# test entries\n\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string source = "source" + std::to_string(i) + ".dat";
        folder.write(source, entries[i].second);
        manifest += "\"" + entries[i].first + "\"\t" + source + "\n";
    }
    folder.write("manifest.txt", manifest);
    return packManifest(folder.file("manifest.txt"), output, errors);
}

// Every test leaves the process-wide list empty.
class ResourceFileTest : public ::testing::Test {
protected:
    void TearDown() override { lang::closeArchives(); }
    TempFolder folder_;
};

const std::vector<std::pair<std::string, std::string>> kEntries = {
    {"", "empty name"},
    {"Name", "upper"},
    {"name", "lower"},
    {"text", std::string("abc\0", 4)},
    {"utf8", std::string("caf\xC3\xA9 \xE2\x80\xA6\0", 10)},
    {"unterminated", "xyz"},
    {"binary", std::string("\0\xFF\x01", 3)},
    {"nothing", ""},
};

TEST_F(ResourceFileTest, MkarchiveWritesTheExactLayoutDeterministically) {
    std::string out = folder_.file("tiny.bin");
    ASSERT_EQ(writeArchive(folder_, {{"ab", "XYZ"}, {"", "Q"}}, out), 0);
    const std::string expected = std::string(
                                     "\0\0\0\0"
                                     "\0\0\0\0"
                                     "\2\0\0\0",
                                     12) +
                                 std::string(
                                     "\2ab"
                                     "\x20\0\0\0"
                                     "\3\0\0\0",
                                     11) +
                                 std::string(
                                     "\0"
                                     "\x23\0\0\0"
                                     "\1\0\0\0",
                                     9) +
                                 "XYZQ";
    EXPECT_EQ(readAll(out), expected);
    std::string again = folder_.file("again.bin");
    ASSERT_EQ(writeArchive(folder_, {{"ab", "XYZ"}, {"", "Q"}}, again), 0);
    EXPECT_EQ(readAll(again), readAll(out));
}

TEST_F(ResourceFileTest, EntriesReadBackByExactName) {
    std::string out = folder_.file("all.bin");
    ASSERT_EQ(writeArchive(folder_, kEntries, out), 0);
    lang::openArchive(out.c_str());
    ASSERT_NE(lang::archiveListHead(), nullptr);
    EXPECT_EQ(lang::archiveListHead()->kind(), lang::ResourceFile::kArchiveFile);
    EXPECT_EQ(lang::archiveListHead()->header()->entryCount(), static_cast<int>(kEntries.size()));
    for (const auto& [name, bytes] : kEntries) {
        Ref<ResourceItem> item = adopt(lang::getResource(name.c_str(), false));
        ASSERT_TRUE(item) << "entry \"" << name << "\"";
        EXPECT_NE(item->getData(), nullptr);
        EXPECT_EQ(bytesOf(item.get()), bytes) << "entry \"" << name << "\"";
    }
    EXPECT_EQ(lang::getResource("NAME", false), nullptr);   // names differ by case
    EXPECT_EQ(lang::getResource("+name", false), nullptr);  // the "+" is the caller's to remove
    EXPECT_EQ(lang::getResource("missing", false), nullptr);
}

TEST_F(ResourceFileTest, KeepDecidesWhetherBytesAreShared) {
    std::string out = folder_.file("keep.bin");
    ASSERT_EQ(writeArchive(folder_, kEntries, out), 0);
    lang::openArchive(out.c_str());
    Ref<ResourceItem> first = adopt(lang::getResource("Name", false));
    Ref<ResourceItem> second = adopt(lang::getResource("Name", false));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_NE(first->getData(), second->getData());
    EXPECT_EQ(bytesOf(first.get()), bytesOf(second.get()));

    Ref<ResourceItem> kept = adopt(lang::getResource("name", true));
    Ref<ResourceItem> keptAgain = adopt(lang::getResource("name", true));
    Ref<ResourceItem> afterKeep = adopt(lang::getResource("name", false));
    EXPECT_EQ(kept.get(), keptAgain.get());
    EXPECT_EQ(kept.get(), afterKeep.get());  // once cached, every request shares the bytes
    EXPECT_EQ(bytesOf(kept.get()), "lower");
    // Items stay valid after the archive is closed.
    lang::closeArchives();
    EXPECT_EQ(bytesOf(first.get()), "upper");
    EXPECT_EQ(bytesOf(kept.get()), "lower");
    EXPECT_EQ(lang::getResource("name", false), nullptr);
}

TEST_F(ResourceFileTest, TextEntriesLoseTheirTerminatorAndBecomeWindows1252) {
    std::string out = folder_.file("texts.bin");
    ASSERT_EQ(writeArchive(folder_, kEntries, out), 0);
    lang::openArchive(out.c_str());
    EXPECT_EQ(stringOf("text"), "abc");
    EXPECT_EQ(stringOf("utf8"), "caf\xE9 \x85");
    EXPECT_EQ(stringOf("unterminated"), "xyz");
    EXPECT_EQ(stringOf("nothing"), "");
    EXPECT_EQ(stringOf("missing"), "");
}

TEST_F(ResourceFileTest, AnEmptyArchiveAnswersNothing) {
    std::string out = folder_.file("empty.bin");
    ASSERT_EQ(writeArchive(folder_, {}, out), 0);
    lang::openArchive(out.c_str());
    EXPECT_EQ(lang::archiveListHead()->header()->entryCount(), 0);
    EXPECT_EQ(lang::getResource("", false), nullptr);
    EXPECT_EQ(lang::getResource("datfile", false), nullptr);
}

TEST_F(ResourceFileTest, ModulesServeTheirResourcesAndPassMissesOn) {
    std::string archive = folder_.file("after.bin");
    ASSERT_EQ(writeArchive(folder_, {{"greeting", "from the archive"}, {"late", std::string("late\0", 5)}},
                           archive),
              0);
    lang::openArchive("/no/such/module.dll");  // does not load: misses every look-up
    lang::openArchive(LUMAROO_TEST_MODULE);
    lang::openArchive(archive.c_str());
    lang::ResourceFile* broken = lang::archiveListHead();
    EXPECT_EQ(broken->kind(), lang::ResourceFile::kModule);
    EXPECT_FALSE(broken->moduleLoaded());

    Ref<ResourceItem> greeting = adopt(lang::getResource("greeting", false));
    ASSERT_TRUE(greeting);
    EXPECT_TRUE(greeting->instanceOf("DLLItem"));
    EXPECT_EQ(stringOf("greeting"), "hello from a module");
    EXPECT_EQ(stringOf("late"), "late");  // the module's miss goes on to the archive file
    lang::closeArchives();
    // The item keeps its module loaded.
    EXPECT_EQ(bytesOf(greeting.get()), std::string("hello from a module\0", 20));
}

TEST_F(ResourceFileTest, AnArchiveFileMissEndsTheSearch) {
    std::string first = folder_.file("first.bin");
    std::string second = folder_.file("second.bin");
    ASSERT_EQ(writeArchive(folder_, {{"a", "1"}}, first), 0);
    ASSERT_EQ(writeArchive(folder_, {{"b", "2"}}, second), 0);
    lang::openArchive(first.c_str());
    lang::openArchive(second.c_str());
    Ref<ResourceItem> a = adopt(lang::getResource("a", false));
    EXPECT_TRUE(a);
    EXPECT_EQ(lang::getResource("b", false), nullptr);
}

TEST_F(ResourceFileTest, OnlyTwoSpellingsMakeAModule) {
    // ".Dll" is an archive file name, so a missing one fails to open like any archive file.
    EXPECT_EQ(exceptionText([] { lang::ResourceFile f("absent.Dll"); }), "Error Opening absent.Dll");
    lang::ResourceFile upper("absent.DLL");
    EXPECT_EQ(upper.kind(), lang::ResourceFile::kModule);
}

TEST_F(ResourceFileTest, FindsArchivesInTheCurrentFolderAndOnPath) {
    ASSERT_EQ(writeArchive(folder_, {{"where", "here"}}, folder_.file("found.bin")), 0);
    EXPECT_EQ(lang::searchPath("lumaroo-surely-absent.bin"), "");
    EXPECT_FALSE(lang::programFolder().empty());

    char* previous = ::getcwd(nullptr, 0);
    ASSERT_EQ(::chdir(folder_.path().c_str()), 0);
    EXPECT_EQ(lang::searchPath("found.bin"), "./found.bin");
    ASSERT_EQ(::chdir(previous), 0);
    std::free(previous);

    std::string oldPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    ::setenv("PATH", ("/nonexistent::" + folder_.path()).c_str(), 1);
    EXPECT_EQ(lang::searchPath("found.bin"), folder_.file("found.bin"));
    lang::openArchive("found.bin");
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(stringOf("where"), "here");
    EXPECT_EQ(exceptionText([] { lang::openArchive("lumaroo-surely-absent.bin"); }),
              "Error Opening lumaroo-surely-absent.bin");
}

TEST_F(ResourceFileTest, TruncatedAndCorruptArchivesAreRefusedNamingTheFile) {
    std::string good = folder_.file("good.bin");
    ASSERT_EQ(writeArchive(folder_, {{"alpha", "0123456789"}, {"beta", "xy"}}, good), 0);
    const std::string bytes = readAll(good);
    // Every shorter prefix has its directory or an entry run past the end of the file.
    for (size_t length = 0; length < bytes.size(); ++length) {
        std::string cut = folder_.write("cut.bin", bytes.substr(0, length));
        std::string message = exceptionText([&] { lang::ResourceFile f(cut.c_str()); });
        EXPECT_EQ(message.rfind("Corrupt archive " + cut + ": ", 0), 0u) << length << ": " << message;
    }
    std::string hugeCount = bytes;
    hugeCount[8] = '\xFF';
    hugeCount[11] = '\x7F';
    std::string path = folder_.write("count.bin", hugeCount);
    EXPECT_EQ(exceptionText([&] { lang::ResourceFile f(path.c_str()); }),
              "Corrupt archive " + path +
                  ": the directory of 2130706687 entries runs past the end of the file (51 bytes)");
    std::string farEntry = bytes;
    farEntry[18] = '\x7F';  // the offset of "alpha"
    path = folder_.write("offset.bin", farEntry);
    EXPECT_EQ(exceptionText([&] { lang::ResourceFile f(path.c_str()); }),
              "Corrupt archive " + path +
                  ": entry \"alpha\" (offset 127, 10 bytes) runs past the end of the file (51 bytes)");
    std::string bigPreamble = bytes;
    bigPreamble[7] = '\x10';
    path = folder_.write("preamble.bin", bigPreamble);
    EXPECT_NE(exceptionText([&] { lang::ResourceFile f(path.c_str()); }).find("preamble"), std::string::npos);
}

TEST_F(ResourceFileTest, ConcurrentReadsNeverMixEntries) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < 8; ++i)
        entries.emplace_back("e" + std::to_string(i), std::string(5000 + i, char('a' + i)));
    std::string out = folder_.file("threads.bin");
    ASSERT_EQ(writeArchive(folder_, entries, out), 0);
    lang::openArchive(out.c_str());
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 200; ++round) {
                const auto& [name, bytes] = entries[(t + round) % entries.size()];
                Ref<ResourceItem> item = adopt(lang::getResource(name.c_str(), round % 3 == 0));
                if (!item || bytesOf(item.get()) != bytes)
                    ++wrong[t];
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST(ArchiveFormatTest, ClearErrorsForBadManifests) {
    TempFolder folder;
    std::string errors;
    folder.write("bad.txt", "good source0.dat\nmissing nowhere.dat\n");
    folder.write("source0.dat", "x");
    EXPECT_EQ(packManifest(folder.file("bad.txt"), folder.file("out.bin"), &errors), 1);
    EXPECT_NE(errors.find(folder.file("bad.txt") + ":2: cannot open the source file " +
                          folder.file("nowhere.dat") + " of entry \"missing\""),
              std::string::npos)
        << errors;
    EXPECT_FALSE(std::ifstream(folder.file("out.bin")).good());  // no half archive left behind

    EXPECT_EQ(writeArchive(folder, {{"twice", "1"}, {"twice", "2"}}, folder.file("out.bin"), &errors), 1);
    EXPECT_NE(errors.find(":4: the entry name \"twice\" is used twice"), std::string::npos) << errors;
    EXPECT_EQ(writeArchive(folder, {{std::string(256, 'n'), "1"}}, folder.file("out.bin"), &errors), 1);
    EXPECT_NE(errors.find("longer than 255 bytes"), std::string::npos) << errors;
}

}  // namespace
