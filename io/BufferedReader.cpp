// io::BufferedReader: block reads, skipping and line splitting over a character reader.
#include "io/BufferedReader.h"

namespace io {

lang::String* BufferedReader::endOfStream() {
    // Never destroyed: callers may compare against it during static destruction.
    static auto* end = new lang::String("\x01");
    return end;
}

bool BufferedReader::fill() {
    position_ = 0;
    count_ = 0;
    if (!reader_)
        return false;
    int got = reader_->read(buffer_, 0, kBufferSize);
    if (got < 1)
        return false;
    count_ = got > kBufferSize ? kBufferSize : got;
    return true;
}

void BufferedReader::close() {
    if (reader_)
        reader_->close();
    count_ = position_ = 0;
}

int BufferedReader::read() {
    if (position_ >= count_ && !fill())
        return -1;
    return buffer_[position_++];
}

int BufferedReader::read(uint8_t* buffer, int offset, int length) {
    if (buffer == nullptr || length < 1 || offset < 0)
        return 0;
    int copied = 0;
    while (copied < length) {
        if (position_ >= count_ && !fill())
            break;
        buffer[offset + copied++] = buffer_[position_++];
    }
    return copied;
}

int BufferedReader::read(lang::ByteArray& array) {
    return read(array.data(), 0, array.length());
}

void BufferedReader::reset() {
    count_ = position_ = 0;
    if (reader_)
        reader_->reset();
}

int64_t BufferedReader::skip(int64_t n) {
    if (n <= 0)
        return 0;
    int64_t buffered = count_ - position_;
    if (n <= buffered) {
        position_ += static_cast<int>(n);
        return n;
    }
    count_ = position_ = 0;
    return buffered + (reader_ ? reader_->skip(n - buffered) : 0);
}

lang::String* BufferedReader::readLine() {
    line_.setLength(0);
    bool any = false;
    while (true) {
        int c = read();
        if (c < 0)
            return any ? &line_ : endOfStream();
        any = true;
        if (c == '\n')
            return &line_;
        if (c == '\r') {
            int next = read();
            // Anything but a line feed is given back: it is still in the buffer, one byte behind.
            if (next >= 0 && next != '\n')
                --position_;
            return &line_;
        }
        line_.append(static_cast<char>(c));
    }
}

}  // namespace io
