// sprite::readImagePack: the image pack reader.
#include "sprite/ImagePack.h"

#include <vector>

namespace sprite {

namespace {

// A big-endian 32-bit integer from four single-byte reads; false when the stream ends first.
bool readInt(io::InputStream& in, int64_t& value) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        int b = in.read();
        if (b < 0)
            return false;
        v = v << 8 | static_cast<uint32_t>(b);
    }
    value = static_cast<int32_t>(v);
    return true;
}

// Reads up to length bytes, repeating reads until all have arrived or a read delivers nothing.
int64_t readFully(io::InputStream& in, uint8_t* into, int64_t length) {
    int64_t got = 0;
    while (got < length) {
        int n = in.read(into, static_cast<int>(got), static_cast<int>(length - got));
        if (n <= 0)
            break;
        got += n;
    }
    return got;
}

}  // namespace

int readImagePack(
    io::InputStream& in,
    const std::function<void(const lang::String& name, const uint8_t* bytes, int length)>& onImage) {
    int64_t count = 0;
    int64_t total = 0;
    if (!readInt(in, count) || !readInt(in, total))
        return 0;
    if (count <= 0 || total >= kImagePackSizeLimit || 4 * count > total)
        return 0;
    int delivered = 0;
    int64_t position = 8;
    std::vector<uint8_t> data;
    for (int64_t i = 0; i < count; ++i) {
        int64_t size = 0;
        if (!readInt(in, size))
            break;
        int nameLength = in.read();
        if (nameLength < 0)
            break;
        std::vector<char> nameField(static_cast<size_t>(nameLength) + 1, 0);
        if (readFully(in, reinterpret_cast<uint8_t*>(nameField.data()), nameLength) < nameLength)
            break;
        position += 5 + nameLength;
        // A negative size is as implausible as one past the declared total.
        if (size < 0 || size > total - position)
            break;
        data.resize(static_cast<size_t>(size));
        int64_t got = readFully(in, data.data(), size);
        position += got;
        if (got < size)
            continue;
        for (uint8_t& b : data)
            b ^= kImagePackKey;
        // The name ends at the field's last byte, or at an earlier zero byte.
        nameField[static_cast<size_t>(nameLength > 0 ? nameLength - 1 : 0)] = 0;
        lang::String name(nameField.data());
        onImage(name, data.data(), static_cast<int>(size));
        ++delivered;
    }
    return delivered;
}

}  // namespace sprite
