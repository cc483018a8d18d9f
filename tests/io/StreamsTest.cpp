// Byte streams and readers: file and archive streams, the buffered reader and its line splitting.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "io/BufferedReader.h"
#include "io/FileInputStream.h"
#include "io/InputStreamReader.h"
#include "io/Path.h"
#include "io/StreamTokenizer.h"
#include "lang/Exception.h"
#include "tests/io/TestStreams.h"
#include "tests/support/TempFolder.h"

namespace {

using testing_io::streamOver;
using testsupport::TempFolder;

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

std::vector<std::string> lines(std::string_view bytes) {
    auto stream = streamOver(bytes);
    auto reader = lang::make<io::BufferedReader>(lang::make<io::InputStreamReader>(stream.get()).get());
    std::vector<std::string> out;
    for (int guard = 0; guard < 10000; ++guard) {
        lang::String* line = reader->readLine();
        if (line == io::BufferedReader::endOfStream())
            return out;
        out.emplace_back(line->view());
    }
    ADD_FAILURE() << "readLine never reported the end";
    return out;
}

TEST(PathTest, JoinsWithOneSlash) {
    EXPECT_EQ(io::joinPath("data", "a.txt"), "data/a.txt");
    EXPECT_EQ(io::joinPath("data/", "a.txt"), "data/a.txt");
    EXPECT_EQ(io::joinPath("", "a.txt"), "a.txt");
}

TEST(FileInputStreamTest, OpenFailuresNameThePathTried) {
    TempFolder folder;
    EXPECT_EQ(exceptionText([&] { io::FileInputStream s((folder.path() + "/missing").c_str()); }),
              "Error Opening " + folder.path() + "/missing");
    EXPECT_EQ(exceptionText([&] { io::FileInputStream s("missing", folder.path().c_str()); }),
              "Error Opening " + folder.path() + "/missing");
    // A folder is not a readable file.
    EXPECT_EQ(exceptionText([&] { io::FileInputStream s(folder.path().c_str()); }),
              "Error Opening " + folder.path());
}

TEST(FileInputStreamTest, ReadsSkipsResetsAndCloses) {
    TempFolder folder;
    folder.write("data.bin", std::string("\x00\x01\xFFxyz", 6));
    auto s = lang::make<io::FileInputStream>("data.bin", (folder.path() + "/").c_str());
    EXPECT_EQ(s->path().view(), folder.path() + "/data.bin");
    EXPECT_EQ(s->read(), 0);
    EXPECT_EQ(s->read(), 1);
    EXPECT_EQ(s->read(), 255);
    EXPECT_EQ(s->skip(1), 1);
    uint8_t buffer[8] = {};
    EXPECT_EQ(s->read(buffer, 2, 8), 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer + 2), 2), "yz");
    EXPECT_EQ(s->read(buffer, 0, 8), 0);
    EXPECT_EQ(s->read(), -1);
    s->reset();
    EXPECT_EQ(s->read(buffer, 0, 8), 6);
    s->close();
    EXPECT_EQ(s->read(buffer, 0, 8), 0);
    EXPECT_EQ(s->read(), -1);
    EXPECT_EQ(s->skip(3), 0);
}

TEST(ByteArrayInputStreamTest, StreamsBytesAndStopsAtTheEnd) {
    auto s = streamOver(std::string("ab\xFF", 3));
    EXPECT_EQ(s->length(), 3);
    EXPECT_EQ(s->read(), 'a');
    EXPECT_EQ(s->skip(1), 1);
    EXPECT_EQ(s->read(), 255);
    s->reset();
    EXPECT_EQ(s->skip(10), 3);
    EXPECT_EQ(s->read(), -1);
    EXPECT_EQ(s->skip(5), 0);
    s->reset();
    uint8_t buffer[4];
    EXPECT_EQ(s->read(buffer, 1, 2), 2);
    EXPECT_EQ(s->read(buffer, 0, 4), 1);
    EXPECT_EQ(s->read(buffer, 0, 4), 0);
    EXPECT_EQ(s->read(buffer, 0, 0), 0);
}

TEST(ByteArrayInputStreamTest, AMissingEntryIsAnEmptyStream) {
    // With or without an open archive, an entry nobody has is empty, not an error.
    auto s = lang::make<io::ByteArrayInputStream>("+no such entry");
    EXPECT_EQ(s->length(), 0);
    EXPECT_EQ(s->read(), -1);
    auto t = lang::make<io::StreamTokenizer>(s.get());
    EXPECT_EQ(t->nextToken(), io::StreamTokenizer::TT_EOF);
    auto none = lang::make<io::ByteArrayInputStream>(static_cast<lang::ResourceItem*>(nullptr));
    EXPECT_EQ(none->read(), -1);
}

TEST(BufferedReaderTest, EveryKindOfLineEndIsOneLineEnd) {
    EXPECT_EQ(lines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(lines("\n\r\n\r"), (std::vector<std::string>{"", "", ""}));
    // A CR as the very last byte ends its line; the next call reports the end.
    EXPECT_EQ(lines("last\r"), (std::vector<std::string>{"last"}));
    EXPECT_EQ(lines(""), (std::vector<std::string>{}));
    EXPECT_EQ(lines("x\n\n"), (std::vector<std::string>{"x", ""}));
}

TEST(BufferedReaderTest, ByteTwoFiftyFiveIsDataNotTheEnd) {
    EXPECT_EQ(lines("a\xFF"
                    "b\n\xFF"),
              (std::vector<std::string>{"a\xFF"
                                        "b",
                                        "\xFF"}));
    auto stream = streamOver("\xFF");
    auto reader = lang::make<io::BufferedReader>(lang::make<io::InputStreamReader>(stream.get()).get());
    EXPECT_EQ(reader->read(), 255);
    EXPECT_EQ(reader->read(), -1);
}

TEST(BufferedReaderTest, LinesAndCrLfPairsAcrossTheBufferBoundary) {
    // The CR of a CR LF pair is the last byte of the first block, its LF the first of the next.
    std::string first(io::BufferedReader::kBufferSize - 1, 'a');
    std::string longLine(3000, 'b');
    EXPECT_EQ(lines(first + "\r\n" + longLine + "\rz"), (std::vector<std::string>{first, longLine, "z"}));
}

TEST(BufferedReaderTest, BlockReadsSkipAndReset) {
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text.push_back(static_cast<char>('a' + i % 26));
    auto stream = streamOver(text);
    auto reader = lang::make<io::BufferedReader>(lang::make<io::InputStreamReader>(stream.get()).get());
    uint8_t buffer[2000];
    EXPECT_EQ(reader->read(buffer, 0, 1500), 1500);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 1500), text.substr(0, 1500));
    EXPECT_EQ(reader->skip(10), 10);      // inside the buffer
    EXPECT_EQ(reader->skip(1000), 1000);  // past it
    EXPECT_EQ(reader->read(), static_cast<uint8_t>(text[2510]));
    EXPECT_EQ(reader->read(buffer, 0, 2000), 489);
    EXPECT_EQ(reader->read(buffer, 0, 0), 0);
    reader->reset();
    lang::ByteArray all(4000);
    EXPECT_EQ(reader->read(all), 3000);
    EXPECT_EQ(all[2999], static_cast<uint8_t>(text[2999]));
}

}  // namespace
