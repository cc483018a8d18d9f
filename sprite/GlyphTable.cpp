// sprite::GlyphTable: reading glyph records out of a metrics image within its pixel count.
#include "sprite/GlyphTable.h"

namespace sprite {

GlyphTable::GlyphTable(window::Image* metrics) {
    if (metrics == nullptr)
        return;
    words_ = metrics->getPixels();
    if (words_ == nullptr)
        return;
    const int64_t count = int64_t{metrics->getWidth()} * metrics->getHeight();
    records_ = static_cast<int>(count / kWordsPerRecord);
}

bool GlyphTable::record(unsigned char c, GlyphRecord& out) const {
    if (words_ == nullptr || c < kFirstCharacter || c - kFirstCharacter >= records_)
        return false;
    const uint32_t* w = words_ + static_cast<size_t>(c - kFirstCharacter) * kWordsPerRecord;
    out.originX = static_cast<int32_t>(w[0]);
    out.originY = static_cast<int32_t>(w[1]);
    out.width = static_cast<int32_t>(w[2]);
    out.height = static_cast<int32_t>(w[3]);
    out.leftOffset = static_cast<int32_t>(w[4]);
    out.advance = static_cast<int32_t>(w[5]);
    return true;
}

int GlyphTable::lineHeight() const {
    GlyphRecord space;
    return record(' ', space) ? space.height : 0;
}

}  // namespace sprite
