// lang::String: text storage, comparison, hashing and number formatting.
#include "lang/String.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "lang/CodePage.h"

namespace lang {

namespace {

// Held while a String replaces its buffer. Never destroyed, so that Strings released during static
// destruction can still use it.
std::mutex& bufferLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

// Capacity of a fresh buffer for a text of length bytes: at least one byte more, a multiple of 16.
int capacityFor(int length) {
    return (length + 16) & ~15;
}

// Capacity when growing to hold n bytes (terminator included).
int capacityToHold(int n) {
    return (n + 15) & ~15;
}

char* allocate(int capacity) {
    char* p = static_cast<char*>(std::malloc(static_cast<size_t>(capacity)));
    if (p == nullptr) std::abort();
    return p;
}

// The digits and decimal exponent of a value rounded to 9 significant digits.
void significantDigits(double value, std::string& digits, int& exponent) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.8e", value);
    // buffer is "d.dddddddde+XX"
    digits.assign(1, buffer[0]);
    const char* p = buffer + 2;
    while (*p >= '0' && *p <= '9') digits.push_back(*p++);
    exponent = (*p == 'e') ? std::atoi(p + 1) : 0;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

std::string formatDouble(double value) {
    if (value != value) return "nan";
    if (value < 0) return "-" + formatDouble(-value);
    if (value > 1.7976931348623157e308) return "inf";
    if (value == 0) return "0.";
    std::string digits;
    int exponent = 0;
    significantDigits(value, digits, exponent);
    std::string out;
    if (exponent >= -1 && exponent <= 8) {
        if (exponent == -1) {
            out = "0." + digits;
        } else {
            int whole = exponent + 1;
            while (static_cast<int>(digits.size()) < whole) digits.push_back('0');
            out = digits.substr(0, whole) + "." + digits.substr(whole);
        }
    } else {
        char tail[16];
        std::snprintf(tail, sizeof tail, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out = digits.substr(0, 1) + "." + digits.substr(1) + tail;
    }
    return out;
}

}  // namespace

void String::adoptCopy(const char* bytes, int count, int capacity) {
    chars_ = allocate(capacity);
    capacity_ = capacity;
    length_ = count;
    if (count > 0) std::memcpy(chars_, bytes, static_cast<size_t>(count));
    chars_[count] = 0;
}

String::String(const char* text, bool borrow) {
    if (text == nullptr) return;
    int length = static_cast<int>(std::strlen(text));
    if (borrow) {
        chars_ = const_cast<char*>(text);
        length_ = length;
    } else {
        adoptCopy(text, length, capacityFor(length));
    }
}

String::String(const char* text, int from, int to) {
    int length = to - from;
    if (text == nullptr || length < 0) length = 0;
    adoptCopy(text == nullptr ? "" : text + from, length, capacityFor(length));
}

String::String(const String& other, int minimumCapacity) : Object() {
    int capacity = capacityFor(other.length_);
    int wanted = (minimumCapacity + 15) & ~15;
    if (wanted > capacity) capacity = wanted;
    adoptCopy(other.chars(), other.length_, capacity);
}

String::String(char c) {
    adoptCopy(&c, 1, 16);
}

String::String(int value) {
    std::string text = std::to_string(value);
    adoptCopy(text.data(), static_cast<int>(text.size()), capacityFor(static_cast<int>(text.size())));
}

String::String(double value) {
    std::string text = formatDouble(value);
    adoptCopy(text.data(), static_cast<int>(text.size()), capacityFor(static_cast<int>(text.size())));
}

String::~String() {
    if (capacity_ > 0) std::free(chars_);
}

int32_t String::hashCode() const {
    uint32_t hash = 0;
    int shift = 0;
    for (int i = 0; i < length_; ++i) {
        // Each byte is taken as a signed value: bytes of 128 and more set every bit above them.
        auto value = static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(chars_[i])));
        hash |= value << shift;
        shift += 8;
        if (shift > 24) shift = 0;
    }
    return static_cast<int32_t>(hash);
}

bool String::equals(const Object* other) const {
    if (other == nullptr || !other->instanceOf("String")) return false;
    return equals(*static_cast<const String*>(other));
}

bool String::equals(const String& other) const {
    return view() == other.view();
}

bool String::equals(const char* text) const {
    return view() == std::string_view(text == nullptr ? "" : text);
}

bool String::equalsIgnoreCase(const String& other) const {
    return compareIgnoreCase(view(), other.view()) == 0;
}

bool String::equalsIgnoreCase(const char* text) const {
    return compareIgnoreCase(view(), text == nullptr ? "" : text) == 0;
}

bool String::startsWith(const char* prefix) const {
    return view().starts_with(prefix == nullptr ? "" : prefix);
}

bool String::endsWith(const char* suffix) const {
    return view().ends_with(suffix == nullptr ? "" : suffix);
}

int String::indexOf(char c) const {
    size_t at = view().find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

int String::lastIndexOf(char c) const {
    size_t at = view().rfind(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

String* String::substring(int from) const {
    if (from > length_) from = length_;
    if (from < 0) from = 0;
    return new String(chars(), from, length_);
}

String* String::substring(int from, int to) const {
    return new String(chars(), from, to);
}

String* String::trim() const {
    if (chars_ == nullptr) return new String();
    auto blank = [](char c) {
        auto b = static_cast<unsigned char>(c);
        return b <= 32 || (b >= 128 && b < 192);
    };
    int from = 0;
    int to = length_;
    while (from < to && blank(chars_[from])) ++from;
    while (to > from && blank(chars_[to - 1])) --to;
    return new String(chars_, from, to);
}

void String::assign(const String& other) {
    if (&other == this) return;
    assign(other.chars_ == nullptr ? nullptr : other.chars_);
}

void String::assign(const char* text) {
    if (text == nullptr) {
        if (capacity_ > 0) {
            chars_[0] = 0;
        } else {
            chars_ = nullptr;
        }
        length_ = 0;
        return;
    }
    int length = static_cast<int>(std::strlen(text));
    if (chars_ == nullptr || capacity_ < length + 1) {
        int capacity = capacityFor(length);
        char* buffer = allocate(capacity);
        std::memcpy(buffer, text, static_cast<size_t>(length) + 1);
        std::lock_guard<std::mutex> guard(bufferLock());
        if (capacity_ > 0) std::free(chars_);
        chars_ = buffer;
        capacity_ = capacity;
    } else {
        std::memmove(chars_, text, static_cast<size_t>(length) + 1);
    }
    length_ = length;
}

void String::appendBytes(const char* bytes, int count) {
    if (bytes == nullptr || count <= 0) return;
    int newLength = length_ + count;
    if (newLength + 1 > capacity_) {
        // The bytes may be part of this very String (s.append(s)): remember where they sit.
        bool inside = chars_ != nullptr && bytes >= chars_ && bytes < chars_ + length_;
        ptrdiff_t offset = inside ? bytes - chars_ : 0;
        int capacity = capacityToHold(newLength + 1);
        char* buffer = allocate(capacity);
        if (length_ > 0) std::memcpy(buffer, chars_, static_cast<size_t>(length_));
        buffer[length_] = 0;
        {
            std::lock_guard<std::mutex> guard(bufferLock());
            if (capacity_ > 0) std::free(chars_);
            chars_ = buffer;
            capacity_ = capacity;
        }
        if (inside) bytes = chars_ + offset;
    }
    std::memmove(chars_ + length_, bytes, static_cast<size_t>(count));
    length_ = newLength;
    chars_[length_] = 0;
}

void String::append(const char* text) {
    if (text != nullptr) appendBytes(text, static_cast<int>(std::strlen(text)));
}

void String::append(const String& other) {
    appendBytes(other.chars_, other.length_);
}

void String::append(int value) {
    std::string text = std::to_string(value);
    appendBytes(text.data(), static_cast<int>(text.size()));
}

void String::append(char c) {
    appendBytes(&c, 1);
}

void String::setCharAt(int index, char c) {
    if (index < 0 || index >= length_) return;
    // A borrowed constant is never written: take a copy first.
    if (capacity_ == 0) adoptCopy(chars_, length_, capacityFor(length_));
    chars_[index] = c;
}

void String::setLength(int n) {
    if (n < 0 || n >= length_) return;
    if (capacity_ == 0) {
        // A borrowed constant is never written: take a copy of the part that stays.
        const char* old = chars_;
        adoptCopy(old, n, capacityFor(n));
        return;
    }
    chars_[n] = 0;
    length_ = n;
}

String* concat(const String& a, const String& b) {
    auto* result = new String(a, a.length() + b.length() + 1);
    result->append(b);
    return result;
}

bool isNameChar(char c) {
    auto b = static_cast<unsigned char>(c);
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == ' ' ||
           b == '-' || b == '.' || b >= 192;
}

}  // namespace lang
