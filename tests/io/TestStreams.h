// Test helpers: streams over bytes held in memory.
#pragma once

#include <string>
#include <string_view>

#include "io/ByteArrayInputStream.h"
#include "lang/ResourceFile.h"

namespace testing_io {

// An archive item over a copy of some bytes.
class MemoryItem : public lang::ResourceItem {
public:
    explicit MemoryItem(std::string_view bytes) : bytes_(bytes) {}
    const uint8_t* getData() const override { return reinterpret_cast<const uint8_t*>(bytes_.data()); }
    int getLength() const override { return static_cast<int>(bytes_.size()); }

private:
    std::string bytes_;
};

// A new stream over the bytes (one reference for the caller, held by the Ref).
inline lang::Ref<io::ByteArrayInputStream> streamOver(std::string_view bytes) {
    auto item = lang::make<MemoryItem>(bytes);
    return lang::make<io::ByteArrayInputStream>(item.get());
}


}  // namespace testing_io
