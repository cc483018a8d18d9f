// io::StreamTokenizer: the character-class table and the token reader.
#include "io/StreamTokenizer.h"

#include "lang/Exception.h"

namespace io {

namespace {

constexpr unsigned char kByteOrderMark[3] = {0xEF, 0xBB, 0xBF};

int hexLetterValue(int c) {
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Digits after the decimal point stop counting once the value holds more than a double's precision:
// they could not change the result, and a long run of them would otherwise overflow to infinity.
void addDigit(double& value, int& decimals, bool point, int base, int digit) {
    if (point && value >= 9007199254740992.0)
        return;
    value = value * base + digit;
    if (point)
        ++decimals;
}

bool isByte(int c) {
    return c >= 0 && c <= 255;
}

}  // namespace

StreamTokenizer::StreamTokenizer(InputStream* stream) : stream_(lang::share(stream)) {
    for (int c = 0; c < 256; ++c)
        classes_[c] = c <= 32 ? kWhiteSpace : kWord;
    classes_[13] = kEndOfLine;  // carriage return
}

void StreamTokenizer::setClass(int ch, uint8_t characterClass) {
    if (isByte(ch))
        classes_[ch] = characterClass;
}

void StreamTokenizer::parseNumbers() {
    for (int c = '0'; c <= '9'; ++c)
        classes_[c] = kNumeric;
    classes_[int{'.'}] = kNumeric;
    classes_[int{'-'}] = kNumeric;
}

void StreamTokenizer::wordChars(int low, int high) {
    for (int c = low < 0 ? 0 : low; c <= high && c < 256; ++c)
        classes_[c] = kWord;
}

void StreamTokenizer::whitespaceChars(int low, int high) {
    for (int c = low < 0 ? 0 : low; c <= high && c < 256; ++c)
        classes_[c] = kWhiteSpace;
}

int StreamTokenizer::readByte() {
    return stream_ ? stream_->read() : -1;
}

// Line ends are counted as they are consumed, whatever their class: LF files (the usual kind here) and
// CR LF files number their lines alike, and the LF of a CR LF pair does not count a second time.
void StreamTokenizer::countLineEnd(int c) {
    if (c == '\r') {
        ++lineNumber_;
        lastWasCarriageReturn_ = true;
        return;
    }
    if (c == '\n' && !lastWasCarriageReturn_)
        ++lineNumber_;
    lastWasCarriageReturn_ = false;
}

// Skips a comment up to its line end, which it leaves as the current character. A comment ends at
// CR or LF (and at any end-of-line character), so that LF-only files keep their following lines.
void StreamTokenizer::skipComment() {
    int c;
    do {
        c = readByte();
    } while (isByte(c) && c != '\r' && c != '\n' && classes_[c] != kEndOfLine);
    peek_ = c;
    havePeek_ = true;
}

int StreamTokenizer::nextToken() {
    if (pushedBack_) {
        pushedBack_ = false;
        return ttype;
    }
    int c = havePeek_ ? peek_ : readByte();
    havePeek_ = false;
    while (true) {
        if (!isByte(c)) {
            peek_ = c;
            havePeek_ = true;
            return ttype = TT_EOF;
        }
        uint8_t cls = classes_[c];
        if (cls == kComment) {
            skipComment();
            c = peek_;
            havePeek_ = false;
            continue;
        }
        if (cls == kWhiteSpace || (cls == kEndOfLine && !eolIsSignificant_)) {
            countLineEnd(c);
            c = readByte();
            continue;
        }
        break;
    }
    uint8_t cls = classes_[c];
    if (cls != kEndOfLine)
        lastWasCarriageReturn_ = false;
    switch (cls) {
        case kWord: {
            sval.setLength(0);
            sval.append(static_cast<char>(c));
            while (true) {
                c = readByte();
                if (!isByte(c) || (classes_[c] != kWord && classes_[c] != kNumeric))
                    break;
                sval.append(static_cast<char>(c));
            }
            peek_ = c;
            havePeek_ = true;
            ttype = TT_WORD;
            break;
        }
        case kNumeric:
            readNumber(c);
            return ttype = TT_NUMBER;
        case kOrdinary:
            return ttype = c;
        case kEndOfLine:
            countLineEnd(c);
            return ttype = TT_EOL;
        case kQuote: {
            sval.setLength(0);
            while (true) {
                c = readByte();
                if (!isByte(c) || classes_[c] == kQuote)
                    break;
                countLineEnd(c);
                sval.append(static_cast<char>(c));
            }
            lastWasCarriageReturn_ = false;
            ttype = TT_WORD;
            break;
        }
        default:
            throw new lang::Exception("Invalid character type");
    }
    // Only the first word or quoted string of a stream may carry a UTF-8 byte-order mark.
    if (!byteOrderMarkTested_) {
        byteOrderMarkTested_ = true;
        const auto* text = reinterpret_cast<const unsigned char*>(sval.chars());
        if (sval.length() > 2 && text[0] == kByteOrderMark[0] && text[1] == kByteOrderMark[1] &&
            text[2] == kByteOrderMark[2]) {
            lang::String rest(sval.chars(), 3, sval.length());
            sval = rest;
        }
    }
    return ttype;
}

// A run of numeric characters: "-" anywhere negates, "." marks the decimal point, and an "x" while the
// value is still 0 switches to hexadecimal, after which the letters a-f and A-F are digits too.
void StreamTokenizer::readNumber(int c) {
    double value = 0;
    bool negative = false;
    bool hex = false;
    bool point = false;
    int decimals = 0;
    while (isByte(c)) {
        if (c == 'x' && value == 0) {
            hex = true;
        } else if (hex && hexLetterValue(c) >= 0) {
            addDigit(value, decimals, point, 16, hexLetterValue(c));
        } else if (classes_[c] != kNumeric) {
            break;
        } else if (c == '-') {
            negative = true;
        } else if (c == '.') {
            point = true;
        } else if (c >= '0' && c <= '9') {
            addDigit(value, decimals, point, hex ? 16 : 10, c - '0');
        }
        c = readByte();
    }
    for (int i = 0; i < decimals; ++i)
        value /= 10;
    nval = negative ? -value : value;
    peek_ = c;
    havePeek_ = true;
}

lang::String* StreamTokenizer::toString() const {
    switch (ttype) {
        case TT_WORD:
            return new lang::String(sval);
        case TT_NUMBER:
            return new lang::String(nval);
        case TT_EOL:
            return new lang::String("EOL");
        case TT_EOF:
            return new lang::String("EOF");
        default:
            return new lang::String(static_cast<char>(ttype));
    }
}

}  // namespace io
