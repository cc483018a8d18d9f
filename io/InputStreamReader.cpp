// io::InputStreamReader: forwards every operation to its stream.
#include "io/InputStreamReader.h"

namespace io {

void InputStreamReader::close() {
    if (stream_)
        stream_->close();
}

int InputStreamReader::read(uint8_t* buffer, int offset, int length) {
    return stream_ ? stream_->read(buffer, offset, length) : 0;
}

int InputStreamReader::read(lang::ByteArray& array) {
    int total = 0;
    while (total < array.length()) {
        int got = read(array.data(), total, array.length() - total);
        if (got <= 0)
            break;
        total += got;
    }
    return total;
}

int InputStreamReader::read() {
    return stream_ ? stream_->read() : -1;
}

void InputStreamReader::reset() {
    if (stream_)
        stream_->reset();
}

int64_t InputStreamReader::skip(int64_t n) {
    return stream_ ? stream_->skip(n) : 0;
}

}  // namespace io
