// io::Reader: the character reader interface (characters are the single bytes of Windows-1252).
#pragma once

#include <cstdint>

#include "lang/Arrays.h"

namespace io {

class Reader : public lang::Object {
public:
    LANG_CLASS_NAME(Reader, Object)

    virtual void close() = 0;
    // Reads up to `length` characters into buffer + offset; the number read, 0 at the end.
    virtual int read(uint8_t* buffer, int offset, int length) = 0;
    // Fills the whole array as far as the data goes; the number read.
    virtual int read(lang::ByteArray& array) = 0;
    // The next character as 0 to 255, or -1 at the end.
    virtual int read() = 0;
    virtual bool ready() = 0;
    virtual void reset() = 0;
    virtual int64_t skip(int64_t n) = 0;
};

}  // namespace io
