// io::InputStreamReader: reads the bytes of a stream as characters.
#pragma once

#include "io/InputStream.h"
#include "io/Reader.h"
#include "lang/Ref.h"

namespace io {

class InputStreamReader : public Reader {
public:
    // Takes a reference on the stream.
    explicit InputStreamReader(InputStream* stream) : stream_(lang::share(stream)) {}

    LANG_CLASS_NAME(InputStreamReader, Reader)

    void close() override;
    int read(uint8_t* buffer, int offset, int length) override;
    int read(lang::ByteArray& array) override;
    int read() override;
    bool ready() override { return true; }
    void reset() override;
    int64_t skip(int64_t n) override;

private:
    lang::Ref<InputStream> stream_;
};

}  // namespace io
