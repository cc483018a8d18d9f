// Windows-1252, the one single-byte code page of every String: case folding and conversion to Unicode.
#pragma once

#include <string>
#include <string_view>

namespace lang {

// The lower-case letter of a Windows-1252 byte (accented capitals included); other bytes unchanged.
unsigned char toLower1252(unsigned char c);
// Compares two texts without regard to letter case: < 0, 0 or > 0.
int compareIgnoreCase(std::string_view a, std::string_view b);

// The Unicode code point of a Windows-1252 byte (the five unused bytes map to themselves).
char32_t toUnicode(unsigned char c);
// The Windows-1252 byte of a code point, or '?' when the code page has none.
unsigned char fromUnicode(char32_t codePoint);

// UTF-8 to Windows-1252; characters the code page lacks and malformed sequences become '?'.
std::string utf8ToCp1252(std::string_view utf8);
std::string cp1252ToUtf8(std::string_view text);

}  // namespace lang
