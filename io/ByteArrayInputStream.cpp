// io::ByteArrayInputStream: a byte stream over an entry of the data archive.
#include "io/ByteArrayInputStream.h"

#include <cstring>

namespace io {

ByteArrayInputStream::ByteArrayInputStream(const char* name) {
    const char* rest = name != nullptr ? name : "";
    if (*rest == '+')
        ++rest;
    attach(lang::adopt(lang::getResource(rest, false)));
}

ByteArrayInputStream::ByteArrayInputStream(lang::ResourceItem* item) {
    attach(lang::share(item));
}

void ByteArrayInputStream::attach(lang::Ref<lang::ResourceItem> item) {
    item_ = std::move(item);
    if (item_ && item_->getData() != nullptr && item_->getLength() > 0) {
        data_ = item_->getData();
        length_ = item_->getLength();
    }
}

int ByteArrayInputStream::read(uint8_t* buffer, int offset, int length) {
    if (buffer == nullptr || length < 1 || offset < 0)
        return 0;
    int count = length_ - position_;
    if (count > length)
        count = length;
    if (count <= 0)
        return 0;
    std::memcpy(buffer + offset, data_ + position_, static_cast<size_t>(count));
    position_ += count;
    return count;
}

int ByteArrayInputStream::read() {
    if (position_ >= length_)
        return -1;
    return data_[position_++];
}

int64_t ByteArrayInputStream::skip(int64_t n) {
    if (n <= 0)
        return 0;
    int64_t left = length_ - position_;
    int64_t moved = n < left ? n : left;
    position_ += static_cast<int>(moved);
    return moved;
}

}  // namespace io
