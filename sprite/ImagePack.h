// sprite::readImagePack: the image pack files beside the program, several scrambled images in one.
#pragma once

#include <cstdint>
#include <functional>

#include "io/InputStream.h"
#include "lang/String.h"

namespace sprite {

// Every data byte of a pack is stored exclusive-or this key.
inline constexpr uint8_t kImagePackKey = 0xA7;
// A pack declaring this total size or more is refused.
inline constexpr int64_t kImagePackSizeLimit = 10000001;

// Reads a pack: big-endian 32-bit count and total size (header included), then per image its 32-bit
// data size, a one-byte name field length L, the name field (the name is its first L - 1 bytes) and the
// scrambled data. Calls onImage with each image's name and unscrambled bytes, in pack order; returns
// how many it delivered. Nothing is read past a header that is implausible (count not above 0, total
// over the limit, fewer than 4 bytes of total per image); an image whose size runs past the declared
// total, or a header field cut short by the end of the stream, ends the pack; an image whose data is
// cut short is skipped.
int readImagePack(
    io::InputStream& in,
    const std::function<void(const lang::String& name, const uint8_t* bytes, int length)>& onImage);

}  // namespace sprite
