// Strings: capacity rules, the hash, trimming, comparisons, borrowing and number formatting.
#include <gtest/gtest.h>

#include <string>

#include "lang/CodePage.h"
#include "lang/Ref.h"
#include "lang/String.h"

namespace {

using lang::String;

std::string text(String* s) {
    std::string out(s->chars());
    s->release();
    return out;
}

TEST(StringTest, CapacityRoundsToSixteen) {
    EXPECT_EQ(String("12345678901234567890").capacity(), 32);  // 20 bytes
    EXPECT_EQ(String("123456789012345").capacity(), 16);       // 15 bytes
    EXPECT_EQ(String("1234567890123456").capacity(), 32);      // 16 bytes
    EXPECT_EQ(String('x').capacity(), 16);
    EXPECT_EQ(String().capacity(), 0);
    EXPECT_EQ(String(String("abc"), 40).capacity(), 48);  // (40 + 15) rounded down
    EXPECT_EQ(String(String("abc"), 3).capacity(), 16);

    String grown("123456789012345");  // capacity 16, full
    grown.append('x');                // 17 bytes need 18 -> 32
    EXPECT_EQ(grown.capacity(), 32);
    EXPECT_STREQ(grown.chars(), "123456789012345x");
}

TEST(StringTest, HashMatchesStoredValues) {
    EXPECT_EQ(String("abc").hashCode(), 0x00636261);
    EXPECT_EQ(String("abcde").hashCode(), 0x64636265);
    EXPECT_EQ(String("").hashCode(), 0);
    EXPECT_EQ(String().hashCode(), 0);
    // A byte of 128 or more is sign-extended: every bit above its own position is set.
    EXPECT_EQ(static_cast<uint32_t>(String("a\xE9").hashCode()), 0xFFFFE961u);
}

TEST(StringTest, TrimStripsBlanksAndKeepsAccentedLetters) {
    EXPECT_EQ(text(String("  a b  ").trim()), "a b");
    EXPECT_EQ(text(String("ab").trim()), "ab");
    EXPECT_EQ(text(String(" \t\r\n ").trim()), "");
    EXPECT_EQ(text(String().trim()), "");
    EXPECT_EQ(text(String(" \xC9lodie\xE9 ").trim()), "\xC9lodie\xE9");
}

TEST(StringTest, ComparisonsAndSearches) {
    String s("Hello");
    EXPECT_TRUE(s.equals("Hello"));
    EXPECT_FALSE(s.equals("hello"));
    EXPECT_TRUE(s.equalsIgnoreCase("hELLO"));
    EXPECT_TRUE(String("\xC9t\xE9").equalsIgnoreCase("\xE9T\xC9"));  // accented capitals fold too
    EXPECT_FALSE(s.equals(static_cast<const lang::Object*>(nullptr)));
    String other("Hello");
    EXPECT_TRUE(s.equals(static_cast<const lang::Object*>(&other)));

    EXPECT_TRUE(s.startsWith(""));
    EXPECT_TRUE(s.startsWith("He"));
    EXPECT_TRUE(String().startsWith(""));
    EXPECT_FALSE(String().startsWith("a"));
    EXPECT_TRUE(s.endsWith("llo"));
    EXPECT_FALSE(s.endsWith("xHello"));
    EXPECT_EQ(s.indexOf('l'), 2);
    EXPECT_EQ(s.lastIndexOf('l'), 3);
    EXPECT_EQ(s.indexOf('z'), -1);
    EXPECT_EQ(text(s.substring(3)), "lo");
    EXPECT_EQ(text(s.substring(99)), "");
    EXPECT_EQ(text(s.substring(1, 3)), "el");
}

TEST(StringTest, ChangesKeepTheTextConsistent) {
    static const char kConstant[] = "constant";
    String borrowed(kConstant, true);
    EXPECT_EQ(borrowed.capacity(), 0);
    borrowed.append("!");
    EXPECT_STREQ(borrowed.chars(), "constant!");
    EXPECT_STREQ(kConstant, "constant");

    String s("abc");
    s.setLength(5);
    EXPECT_STREQ(s.chars(), "abc");
    s.setLength(1);
    EXPECT_STREQ(s.chars(), "a");
    s.setCharAt(0, 'z');
    s.setCharAt(7, 'q');
    EXPECT_STREQ(s.chars(), "z");
    s.append(-42);
    s.append(static_cast<const char*>(nullptr));
    s.append(String());
    EXPECT_STREQ(s.chars(), "z-42");
    s.append(s);  // appending itself while the buffer grows
    EXPECT_STREQ(s.chars(), "z-42z-42");
    s.assign(static_cast<const char*>(nullptr));
    EXPECT_EQ(s.length(), 0);
    EXPECT_STREQ(s.chars(), "");
    s.assign("a longer text than the buffer had");
    EXPECT_STREQ(s.chars(), "a longer text than the buffer had");

    auto joined = lang::adopt(lang::concat(String("ab"), String("cd")));
    EXPECT_STREQ(joined->chars(), "abcd");
    EXPECT_EQ(joined->length(), 4);
}

TEST(StringTest, NumbersFormatLikeTheRuntime) {
    EXPECT_STREQ(String(-123).chars(), "-123");
    EXPECT_STREQ(String(12.0).chars(), "12.");
    EXPECT_STREQ(String(0.5).chars(), "0.5");
    EXPECT_STREQ(String(0.05).chars(), "5.e-002");
    EXPECT_STREQ(String(123456789012.0).chars(), "1.23456789e+011");
    EXPECT_STREQ(String(100000000.0).chars(), "100000000.");
    EXPECT_STREQ(String(1000000000.0).chars(), "1.e+009");
    EXPECT_STREQ(String(-2.25).chars(), "-2.25");
    EXPECT_STREQ(String(3.14159265358979).chars(), "3.14159265");
}

TEST(StringTest, NameCharactersAndCodePage) {
    for (char c : std::string("aZ09 -.\xC0\xFF")) EXPECT_TRUE(lang::isNameChar(c)) << int(c);
    for (char c : std::string("_!\\/\x85\xBF")) EXPECT_FALSE(lang::isNameChar(c)) << int(c);

    EXPECT_EQ(lang::utf8ToCp1252("caf\xC3\xA9 \xE2\x80\xA6 \xE2\x82\xAC \xE4\xB8\xAD"), "caf\xE9 \x85 \x80 ?");
    EXPECT_EQ(lang::utf8ToCp1252("bad \xC3"), "bad ?");
    EXPECT_EQ(lang::cp1252ToUtf8("caf\xE9 \x85"), "caf\xC3\xA9 \xE2\x80\xA6");
}

}  // namespace
