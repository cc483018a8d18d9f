// io::BufferedReader: reads a character reader through a 1024-byte buffer, line by line if asked.
#pragma once

#include "io/Reader.h"
#include "lang/Ref.h"

namespace io {

class BufferedReader : public Reader {
public:
    static constexpr int kBufferSize = 1024;

    // Takes a reference on the reader.
    explicit BufferedReader(Reader* reader) : reader_(lang::share(reader)) {}

    LANG_CLASS_NAME(BufferedReader, Reader)

    void close() override;
    int read(uint8_t* buffer, int offset, int length) override;
    int read(lang::ByteArray& array) override;
    int read() override;
    bool ready() override { return true; }
    // Empties the buffer and resets the underlying reader.
    void reset() override;
    int64_t skip(int64_t n) override;

    // The next line without its end (CR LF, LF or CR): the reader's own line String, valid until the next
    // call (no reference for the caller), or endOfStream() when nothing is left.
    lang::String* readLine();
    // The process-wide end-of-stream String (its text is the single byte 1); compare pointers with it.
    static lang::String* endOfStream();

private:
    bool fill();

    lang::Ref<Reader> reader_;
    uint8_t buffer_[kBufferSize];
    int count_ = 0;     // bytes in the buffer
    int position_ = 0;  // next byte to hand out
    lang::String line_;
};

}  // namespace io
