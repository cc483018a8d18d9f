// io::InputStream: the byte stream every file, archive entry and network body is read through.
#pragma once

#include <cstdint>

#include "lang/Object.h"

namespace io {

class InputStream : public lang::Object {
public:
    LANG_CLASS_NAME(InputStream, Object)

    // Reads up to `length` bytes into buffer + offset; the number read, 0 at the end (never -1).
    virtual int read(uint8_t* buffer, int offset, int length) = 0;
    // The next byte as 0 to 255, or -1 at the end.
    virtual int read() = 0;
    virtual void close() = 0;
    // Back to the first byte.
    virtual void reset() = 0;
    // Moves forward up to n bytes; returns how far it moved.
    virtual int64_t skip(int64_t n) = 0;
};

}  // namespace io
