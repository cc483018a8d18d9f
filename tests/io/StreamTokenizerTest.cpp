// The tokenizer: numbers, words, quotes, comments, line counting, the byte-order mark, class errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/StreamTokenizer.h"
#include "lang/Exception.h"
#include "tests/io/TestStreams.h"

namespace {

using io::StreamTokenizer;
using testing_io::streamOver;

// A tokenizer with the default table plus numbers, over the text.
lang::Ref<StreamTokenizer> tokenizer(std::string_view text) {
    auto stream = streamOver(text);
    auto t = lang::make<StreamTokenizer>(stream.get());
    t->parseNumbers();
    return t;
}

// Every token as text: words as "w:<text>", numbers as "n:<value>", others by toString().
std::vector<std::string> tokens(StreamTokenizer& t) {
    std::vector<std::string> out;
    while (t.nextToken() != StreamTokenizer::TT_EOF) {
        if (t.ttype == StreamTokenizer::TT_WORD) {
            out.push_back("w:" + std::string(t.sval.view()));
        } else if (t.ttype == StreamTokenizer::TT_NUMBER) {
            out.push_back("n:" + std::to_string(t.nval));
        } else {
            lang::Ref<lang::String> s = lang::adopt(t.toString());
            out.push_back(std::string(s->view()));
        }
    }
    return out;
}

std::vector<std::string> tokens(std::string_view text) {
    return tokens(*tokenizer(text));
}

TEST(StreamTokenizerTest, NumbersNegateAnywhereAndSwitchToHex) {
    auto t = tokenizer("-12.5 1-2 0x1F 3. 0xff 0x 1.25.5 - .");
    std::vector<double> values;
    while (t->nextToken() == StreamTokenizer::TT_NUMBER)
        values.push_back(t->nval);
    EXPECT_EQ(t->ttype, StreamTokenizer::TT_EOF);
    ASSERT_EQ(values.size(), 9u);
    EXPECT_DOUBLE_EQ(values[0], -12.5);
    EXPECT_DOUBLE_EQ(values[1], -12);  // a hyphen anywhere in the run negates
    EXPECT_DOUBLE_EQ(values[2], 31);
    EXPECT_DOUBLE_EQ(values[3], 3);
    EXPECT_DOUBLE_EQ(values[4], 255);
    EXPECT_DOUBLE_EQ(values[5], 0);
    EXPECT_DOUBLE_EQ(values[6], 1.255);  // one decimal point; every digit after it divides by 10
    EXPECT_DOUBLE_EQ(values[7], 0);
    EXPECT_DOUBLE_EQ(values[8], 0);
}

TEST(StreamTokenizerTest, WordsKeepDigitsButNumbersStopAtLetters) {
    EXPECT_EQ(tokens("abc123 123abc"), (std::vector<std::string>{"w:abc123", "n:123.000000", "w:abc"}));
    // Hex letters only count after "0x"; "x" after a non-zero value ends the number.
    EXPECT_EQ(tokens("12x 0x1Fg"), (std::vector<std::string>{"n:12.000000", "w:x", "n:31.000000", "w:g"}));
}

TEST(StreamTokenizerTest, ToStringNamesEveryTokenKind) {
    auto stream = streamOver("word 12 ,\r");
    auto t = lang::make<StreamTokenizer>(stream.get());
    t->parseNumbers();
    t->ordinaryChar(',');
    t->eolIsSignificant(true);
    std::vector<std::string> texts;
    do {
        t->nextToken();
        lang::Ref<lang::String> s = lang::adopt(t->toString());
        texts.emplace_back(s->view());
    } while (t->ttype != StreamTokenizer::TT_EOF);
    EXPECT_EQ(texts, (std::vector<std::string>{"word", "12.", ",", "EOL", "EOF"}));
}

TEST(StreamTokenizerTest, QuotesCloseOnAnyQuoteCharacterAndEndOfStream) {
    auto stream = streamOver("\"a b' c 'x y\"\"\"'unterminated ; text");
    auto t = lang::make<StreamTokenizer>(stream.get());
    t->quoteChar('"');
    t->quoteChar('\'');
    t->commentChar(';');
    EXPECT_EQ(tokens(*t), (std::vector<std::string>{"w:a b", "w:c", "w:x y", "w:", "w:unterminated ; text"}));
}

TEST(StreamTokenizerTest, CommentsRunToTheLineEndWhateverTheLineEnd) {
    for (const char* end : {"\n", "\r\n", "\r"}) {
        std::string text =
            std::string("one ; two\n") + "three;four" + end + "five ;" + end + ";six" + end + "7";
        auto stream = streamOver(text);
        auto t = lang::make<StreamTokenizer>(stream.get());
        t->parseNumbers();
        t->commentChar(';');
        EXPECT_EQ(tokens(*t), (std::vector<std::string>{"w:one", "w:three", "w:five", "n:7.000000"}))
            << "line end " << int(end[0]);
        EXPECT_EQ(t->lineno(), 5);
    }
}

TEST(StreamTokenizerTest, LineNumbersCountEachLineEndOnce) {
    auto t = tokenizer("a\r\nb\nc\rd\n\n\"q\nq\"\ne");
    t->quoteChar('"');
    std::vector<int> lines;
    while (t->nextToken() != StreamTokenizer::TT_EOF)
        lines.push_back(t->lineno());
    // A token reports the line it ends on: the quoted string spans lines 6 and 7.
    EXPECT_EQ(lines, (std::vector<int>{1, 2, 3, 4, 7, 8}));
}

TEST(StreamTokenizerTest, EndOfLineTokensOnlyWhenSignificant) {
    auto t = tokenizer("a\rb\r\n");
    t->eolIsSignificant(true);
    EXPECT_EQ(tokens(*t), (std::vector<std::string>{"w:a", "EOL", "w:b", "EOL"}));
    EXPECT_EQ(tokens("a\rb\r\n"), (std::vector<std::string>{"w:a", "w:b"}));
}

TEST(StreamTokenizerTest, ByteOrderMarkIsRemovedFromTheFirstWordOnly) {
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(tokens(bom + "<images> " + bom + "x"),
              (std::vector<std::string>{"w:<images>", "w:" + bom + "x"}));
    // The mark alone becomes an empty word; a quoted first token loses it too.
    EXPECT_EQ(tokens(bom + " a"), (std::vector<std::string>{"w:", "w:a"}));
    auto stream = streamOver("12 " + bom + "\"" + bom + "q\"");
    auto t = lang::make<StreamTokenizer>(stream.get());
    t->parseNumbers();
    t->quoteChar('"');
    // The quote character follows the mark, so the word is the mark itself, then the quoted string.
    EXPECT_EQ(tokens(*t), (std::vector<std::string>{"n:12.000000", "w:", "w:" + bom + "q"}));
}

TEST(StreamTokenizerTest, PushBackRepeatsTheSameToken) {
    auto t = tokenizer("first 2");
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    t->pushBack();
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval.view(), "first");
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    t->pushBack();
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_DOUBLE_EQ(t->nval, 2);
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_EOF);
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_EOF);  // stays at the end
}

TEST(StreamTokenizerTest, AnInvalidClassThrowsAndTheTokenizerGoesOn) {
    auto t = tokenizer("ok ! next");
    t->setClass('!', 9);
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    try {
        t->nextToken();
        FAIL() << "no exception";
    } catch (lang::Exception* e) {
        EXPECT_EQ(e->message().view(), "Invalid character type");
        e->release();
    }
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval.view(), "next");
}

TEST(StreamTokenizerTest, EmptyStreamAndHighBytes) {
    EXPECT_TRUE(tokens("").empty());
    EXPECT_TRUE(tokens(" \t\r\n").empty());
    // Bytes above 127 are word characters like any other (Windows-1252 letters).
    EXPECT_EQ(tokens("caf\xE9 \xFF"), (std::vector<std::string>{"w:caf\xE9", "w:\xFF"}));
}

TEST(StreamTokenizerTest, LongDigitRunsSaturateOrKeepTheirValue) {
    std::string digits(400, '9');
    auto t = tokenizer(digits + " ." + digits + " 1." + digits);
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_GT(t->nval, 1e300);
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_NEAR(t->nval, 1.0, 1e-9);
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_NEAR(t->nval, 2.0, 1e-9);
}

}  // namespace
