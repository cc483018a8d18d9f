// io::ByteArrayInputStream: a byte stream over an entry of the data archive.
#pragma once

#include "io/InputStream.h"
#include "lang/Ref.h"
#include "lang/ResourceFile.h"

namespace io {

class ByteArrayInputStream : public InputStream {
public:
    // The archive entry `name`, one leading "+" removed; a missing entry gives an empty stream.
    explicit ByteArrayInputStream(const char* name);
    // The bytes of an item the caller already holds (the stream takes its own reference); null is empty.
    explicit ByteArrayInputStream(lang::ResourceItem* item);

    LANG_CLASS_NAME(ByteArrayInputStream, InputStream)

    int read(uint8_t* buffer, int offset, int length) override;
    int read() override;
    void close() override {}
    void reset() override { position_ = 0; }
    int64_t skip(int64_t n) override;

    int length() const { return length_; }
    int position() const { return position_; }

private:
    void attach(lang::Ref<lang::ResourceItem> item);

    lang::Ref<lang::ResourceItem> item_;
    const uint8_t* data_ = nullptr;
    int length_ = 0;
    int position_ = 0;
};

}  // namespace io
