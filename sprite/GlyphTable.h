// sprite::GlyphTable: bounds-checked access to a bitmap font's metrics image.
#pragma once

#include <cstdint>

#include "window/Image.h"

namespace sprite {

// The metrics image's pixels read as signed 32-bit words, six per character from 32 upwards: originX,
// originY (the glyph's box in the picture image), width, height, leftOffset (pen to box) and advance.
// Characters below 32, and characters past the end of a short table, have no record.
struct GlyphRecord {
    int32_t originX = 0;
    int32_t originY = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t leftOffset = 0;
    int32_t advance = 0;
};

class GlyphTable {
public:
    static constexpr int kWordsPerRecord = 6;
    static constexpr int kFirstCharacter = 32;

    // Borrows the metrics image for the table's lifetime; null or pixel-less gives an empty table.
    explicit GlyphTable(window::Image* metrics);

    bool valid() const { return words_ != nullptr; }
    // The record of character c (a byte), or false when the table has none.
    bool record(unsigned char c, GlyphRecord& out) const;
    // The height of the space record: the line height.
    int lineHeight() const;

private:
    const uint32_t* words_ = nullptr;
    int records_ = 0;
};

}  // namespace sprite
