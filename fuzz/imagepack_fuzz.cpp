// Fuzz harness: the image pack reader over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "io/ByteArrayInputStream.h"
#include "lang/ResourceFile.h"
#include "sprite/ImagePack.h"

namespace {

class BytesItem : public lang::ResourceItem {
public:
    BytesItem(const uint8_t* data, size_t size) : bytes_(reinterpret_cast<const char*>(data), size) {}
    const uint8_t* getData() const override { return reinterpret_cast<const uint8_t*>(bytes_.data()); }
    int getLength() const override { return static_cast<int>(bytes_.size()); }

private:
    std::string bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto item = lang::make<BytesItem>(data, size);
    auto stream = lang::make<io::ByteArrayInputStream>(item.get());
    sprite::readImagePack(*stream, [](const lang::String& name, const uint8_t* bytes, int length) {
        volatile uint8_t sum = static_cast<uint8_t>(name.length());
        for (int i = 0; i < length; ++i)
            sum = sum + bytes[i];
    });
    return 0;
}
