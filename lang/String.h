// lang::String: mutable, reference-counted, zero-terminated single-byte text in Windows-1252.
#pragma once

#include <cstdint>
#include <string_view>

#include "lang/Object.h"

namespace lang {

class String : public Object {
public:
    // The empty String: no buffer at all.
    String() = default;
    // A copy of text, or the text itself (never written or freed) when borrow is true; null is empty.
    explicit String(const char* text, bool borrow = false);
    // A copy of the bytes [from, to) of text.
    String(const char* text, int from, int to);
    // A copy, with room for at least minimumCapacity bytes.
    String(const String& other, int minimumCapacity = 0);
    explicit String(char c);
    explicit String(int value);
    // The text of a double with 9 significant digits, in the manner of the C runtime's _gcvt:
    // 12.0 -> "12.", 0.05 -> "5.e-002".
    explicit String(double value);
    ~String() override;

    String& operator=(const String& other) {
        assign(other);
        return *this;
    }

    LANG_CLASS_NAME(String, Object)
    int32_t hashCode() const override;
    bool equals(const Object* other) const override;
    String* toString() const override { return new String(*this); }

    int length() const { return length_; }
    int capacity() const { return capacity_; }
    // Never null: the empty text when the String has none.
    const char* chars() const { return chars_ != nullptr ? chars_ : ""; }
    std::string_view view() const { return {chars(), static_cast<size_t>(length_)}; }
    char charAt(int index) const { return chars_[index]; }

    bool equals(const String& other) const;
    bool equals(const char* text) const;
    bool equalsIgnoreCase(const String& other) const;
    bool equalsIgnoreCase(const char* text) const;
    bool startsWith(const char* prefix) const;
    bool endsWith(const char* suffix) const;
    int indexOf(char c) const;
    int lastIndexOf(char c) const;
    // New Strings (one reference for the caller).
    String* substring(int from) const;
    String* substring(int from, int to) const;
    // Without the bytes 0 to 32 at either end. The accented letters 192 to 255 are kept, so that typed
    // names keep their letters.
    String* trim() const;

    void assign(const String& other);
    void assign(const char* text);
    void append(const char* text);
    void append(const String& other);
    void append(int value);
    void append(char c);
    void setCharAt(int index, char c);
    // Shortens to n bytes; never lengthens.
    void setLength(int n);

private:
    void appendBytes(const char* bytes, int count);
    void adoptCopy(const char* bytes, int count, int capacity);

    char* chars_ = nullptr;
    int capacity_ = 0;  // 0: no buffer of our own (empty, or a borrowed constant)
    int length_ = 0;
};

// A new String holding a's text followed by b's (one reference for the caller).
String* concat(const String& a, const String& b);

// The letters, digits, space, '-', '.' and the accented letters 192..255 a typed name may hold.
bool isNameChar(char c);

}  // namespace lang
