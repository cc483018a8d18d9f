// sprite::NumberSprite: the layout of digits, signs and separators, painting, and the rolling counter.
#include "sprite/NumberSprite.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>

namespace sprite {

LANG_DEFINE_CLASS_RECORD(NumberSprite);

namespace {

constexpr int kTimeSeparatorCell = 0;
constexpr int kMinusCell = 1;
constexpr int kSignCell = 2;
constexpr int kCommaCell = 3;
constexpr int kPointCell = 4;
constexpr int kFirstDigitCell = 5;
constexpr int kGap = -1;  // a half-cell gap without a picture

// ' ' stands for every kind of space (no cell, a gap).
std::atomic<char> gDecimal{0};
std::atomic<char> gThousands{0};

char classifyThousands(const char* text) {
    if (text == nullptr || text[0] == 0)
        return ',';
    if (text[0] == ' ' || std::strcmp(text, "\xC2\xA0") == 0 || std::strcmp(text, "\xE2\x80\xAF") == 0 ||
        static_cast<unsigned char>(text[0]) == 0xA0) {
        return ' ';
    }
    return text[0];
}

// The user's separators, read once from the platform locale settings (LC_NUMERIC and friends).
void readLocaleOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        char decimal = '.', thousands = ',';
        if (locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr))) {
            const char* d = nl_langinfo_l(RADIXCHAR, loc);
            if (d != nullptr && d[0] != 0)
                decimal = d[0];
            thousands = classifyThousands(nl_langinfo_l(THOUSEP, loc));
            freelocale(loc);
        }
        char expected = 0;
        gDecimal.compare_exchange_strong(expected, decimal);
        expected = 0;
        gThousands.compare_exchange_strong(expected, thousands);
    });
}

int decimalCell() {
    readLocaleOnce();
    return gDecimal.load() == ',' ? kCommaCell : kPointCell;
}

int thousandsCell() {
    readLocaleOnce();
    const char t = gThousands.load();
    if (t == '.')
        return kPointCell;
    if (t == ' ')
        return kGap;
    return kCommaCell;
}

}  // namespace

void NumberSprite::setSeparators(char decimalSeparator, char thousandsSeparator) {
    readLocaleOnce();
    gDecimal = decimalSeparator;
    gThousands = thousandsSeparator == static_cast<char>(0xA0) ? ' ' : thousandsSeparator;
}

NumberSprite::~NumberSprite() = default;

void NumberSprite::init(window::ImageArray* images, lang::IntArray* numbers) {
    initImageAndPosition(images, numbers);
    setAlign(numberAt(numbers, 2));
    setMode(numberAt(numbers, 4));
    setSpacing(numberAt(numbers, 5));
    setMinDigits(numberAt(numbers, 6));
    setValue(numberAt(numbers, 3));
}

std::vector<NumberSprite::Cell> NumberSprite::layout() const {
    std::vector<Cell> cells;
    const bool negative = value_ < 0;
    // 64 bits: the magnitude of the smallest int does not fit in an int.
    int64_t m = value_ < 0 ? -int64_t{value_} : int64_t{value_};
    bool cents = false;
    if (timeMode_) {
        const int64_t hours = m / 3600, minutes = (m % 3600) / 60, seconds = m % 60;
        m = hours * 10000 + minutes * 100 + seconds;
    } else if (moneyMode_) {
        cents = m % 100 != 0;
        if (!cents)
            m /= 100;
    }
    const int digitBase = digitsOnly_ ? 0 : kFirstDigitCell;
    const int thousands = thousandsCell();
    int drawn = 0;
    do {
        cells.push_back({digitBase + static_cast<int>(m % 10), 2});
        m /= 10;
        ++drawn;
        const bool more = m > 0 || drawn < minDigits_;
        if (!more || digitsOnly_)
            continue;
        if (timeMode_) {
            if (drawn == 2 || drawn == 4)
                cells.push_back({kTimeSeparatorCell, separatorWidth_});
        } else if (cents && drawn == 2) {
            cells.push_back({decimalCell(), 1});
        } else {
            const int integerDigits = cents ? drawn - 2 : drawn;
            if (integerDigits > 0 && integerDigits % 3 == 0)
                cells.push_back({thousands, 1});
        }
    } while (m > 0 || drawn < minDigits_);
    if (!digitsOnly_) {
        if (moneyMode_ || (plusMode_ && value_ > 0))
            cells.push_back({kSignCell, 2});
        if (negative)
            cells.push_back({kMinusCell, 2});
    }
    return cells;
}

int NumberSprite::pixelWidth() const {
    const std::vector<Cell> cells = layout();
    int64_t width = 0;
    for (const Cell& c : cells)
        width += c.halfCells * cellWidth_ / 2;
    width -= int64_t{spacing_} * static_cast<int64_t>(cells.size() - 1);
    return static_cast<int>(std::max<int64_t>(0, width));
}

void NumberSprite::computeSize() {
    int slots = 0;
    for (const Cell& c : layout())
        slots += c.halfCells;
    digitSlots_ = slots;
    width_ = pixelWidth();
    height_ = image_ ? image_->getHeight() : 0;
}

template <class F>
void NumberSprite::relayout(F change) {
    markDirty();
    change();
    computeSize();
    markDirty();
}

void NumberSprite::setValue(int value) {
    if (value == value_ && digitSlots_ > 0)
        return;
    relayout([&] { value_ = value; });
}

void NumberSprite::setAlign(int align) {
    relayout([&] { align_ = align; });
}

void NumberSprite::setMode(int mode) {
    relayout([&] {
        digitsOnly_ = mode == kModeDigitsOnly;
        moneyMode_ = mode == kModeMoney;
        timeMode_ = mode == kModeTime;
        plusMode_ = mode == kModePlus;
        cellWidth_ = image_ ? image_->getWidth() / (digitsOnly_ ? 10 : 15) : 0;
    });
}

void NumberSprite::setSpacing(int spacing) {
    relayout([&] { spacing_ = spacing; });
}

void NumberSprite::setMinDigits(int digits) {
    relayout([&] { minDigits_ = std::clamp(digits, 0, 32); });
}

void NumberSprite::setSeparatorWidth(int halfCells) {
    relayout([&] { separatorWidth_ = std::clamp(halfCells, 0, 4); });
}

void NumberSprite::setImage(window::Image* image) {
    relayout([&] {
        image_ = lang::share(image);
        cellWidth_ = image != nullptr ? image->getWidth() / (digitsOnly_ ? 10 : 15) : 0;
        columns_ = 1;
        rows_ = 1;
        frameCount_ = 1;
    });
}

util::RectangleNM NumberSprite::getBounds() {
    const int w = width_;
    int left = x_;
    if (align_ == 1)
        left -= w / 2;
    else if (align_ == 2)
        left -= w;
    util::RectangleNM b(left, y_, w, height_);
    if (clipRect_)
        b.intersect(*clipRect_);
    return b;
}

void NumberSprite::paint(window::Graphics* g) {
    if (!image_ || !shown_ || g == nullptr || cellWidth_ <= 0)
        return;
    const util::RectangleNM box = getBounds();
    const int h = height_;
    int right = box.x + box.width;
    if (clipRect_) {
        // The box was cut by the clip; lay out from the unclipped anchor.
        const int w = width_;
        right = x_ + (align_ == 0 ? w : align_ == 1 ? w - w / 2 : 0);
    }
    for (const Cell& c : layout()) {
        const int w = c.halfCells * cellWidth_ / 2;
        right -= w;
        if (c.index != kGap && w > 0) {
            lang::Ref<window::Graphics> cell = lang::adopt(g->create());
            cell->clipRect(right, y_, w, h);
            if (clipRect_)
                cell->clipRect(clipRect_->x, clipRect_->y, clipRect_->width, clipRect_->height);
            // A narrow cell shows the middle of its strip cell, where the separator's picture is.
            drawWithLevels(cell.get(), image_.get(), right - c.index * cellWidth_ - (cellWidth_ - w) / 2, y_);
            cell->dispose();
        }
        right += spacing_;
    }
}

void NumberSprite::rollTo(int target) {
    targetValue_ = target;
    rolling_ = true;
    rollStep_ = 1;
}

bool NumberSprite::update(int frame, util::RectangleNM* out, util::Region* region) {
    if (rolling_ && !paused_) {
        const int64_t value = value_, target = targetValue_;
        int64_t step = std::max<int64_t>(1, rollStep_ < 0 ? -int64_t{rollStep_} : rollStep_);
        if (value == target) {
            rolling_ = false;
        } else {
            const int64_t distance = value < target ? target - value : value - target;
            while (step > distance && step > 1)
                step /= 2;
            step = std::min(step, distance);
            setValue(static_cast<int>(value < target ? value + step : value - step));
            step = std::min<int64_t>(step + step / 5 + 1, INT32_MAX);
            rollStep_ = static_cast<int32_t>(value < target ? step : -step);
            if (value_ == targetValue_)
                rolling_ = false;
        }
    }
    return AnimateSprite::update(frame, out, region);
}

Sprite* NumberSprite::clone() {
    auto* copy = new NumberSprite();
    copySpriteTo(*copy);
    copyAnimationTo(*copy);
    copy->value_ = value_;
    copy->minDigits_ = minDigits_;
    copy->align_ = align_;
    copy->spacing_ = spacing_;
    copy->moneyMode_ = moneyMode_;
    copy->plusMode_ = plusMode_;
    copy->digitsOnly_ = digitsOnly_;
    copy->timeMode_ = timeMode_;
    copy->separatorWidth_ = separatorWidth_;
    copy->cellWidth_ = cellWidth_;
    copy->computeSize();
    return copy;
}

}  // namespace sprite
