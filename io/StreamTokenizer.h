// io::StreamTokenizer: splits a byte stream into words, quoted strings, numbers and ordinary characters.
#pragma once

#include <cstdint>

#include "io/InputStream.h"
#include "lang/Ref.h"
#include "lang/String.h"

namespace io {

class StreamTokenizer : public lang::Object {
public:
    // Character classes, one per byte value.
    static constexpr uint8_t kWord = 0;
    static constexpr uint8_t kWhiteSpace = 1;
    static constexpr uint8_t kNumeric = 2;
    static constexpr uint8_t kComment = 3;
    static constexpr uint8_t kOrdinary = 4;
    static constexpr uint8_t kEndOfLine = 5;
    static constexpr uint8_t kQuote = 6;

    // Token types; an ordinary character's token type is its own code.
    static constexpr int TT_EOF = -1;
    static constexpr int TT_EOL = -2;
    static constexpr int TT_NUMBER = -3;
    static constexpr int TT_WORD = -4;  // words and quoted strings alike

    // Every byte is a word character, except 0 to 32 (white space) and carriage return (end of line).
    // Takes a reference on the stream.
    explicit StreamTokenizer(InputStream* stream);

    LANG_CLASS_NAME(StreamTokenizer, Object)

    void commentChar(int ch) { setClass(ch, kComment); }
    void quoteChar(int ch) { setClass(ch, kQuote); }
    void ordinaryChar(int ch) { setClass(ch, kOrdinary); }
    // The digits, "." and "-" become numeric.
    void parseNumbers();
    void wordChars(int low, int high);
    void whitespaceChars(int low, int high);
    void eolIsSignificant(bool flag) { eolIsSignificant_ = flag; }
    // Stores a raw class value; a value above 6 makes nextToken throw when it meets that byte.
    void setClass(int ch, uint8_t characterClass);

    // Reads the next token and returns its type (also kept in ttype). Throws lang::Exception
    // "Invalid character type" for a byte whose class is not one of the seven.
    int nextToken();
    // The next nextToken() returns the current token again.
    void pushBack() { pushedBack_ = true; }
    // The current line, from 1: every line end counts once, whether CR LF, LF alone or CR alone.
    int lineno() const { return lineNumber_; }

    // A new String: the word, the number's text, "EOL", "EOF" or the single ordinary character.
    lang::String* toString() const override;

    lang::String sval;  // text of the last word or quoted string
    double nval = 0;    // value of the last number
    int ttype = TT_EOF;

private:
    int readByte();
    // Consumes the current character as part of white space, counting it if it ends a line.
    void countLineEnd(int c);
    void skipComment();
    void readNumber(int c);

    lang::Ref<InputStream> stream_;
    int peek_ = -1;  // look-ahead character; -1 when none is held
    bool havePeek_ = false;
    uint8_t classes_[256];
    bool eolIsSignificant_ = false;
    bool pushedBack_ = false;
    int lineNumber_ = 1;
    bool byteOrderMarkTested_ = false;
    bool lastWasCarriageReturn_ = false;
};

}  // namespace io
