// sprite::NumberSprite: an integer drawn from a strip of digit cells, with modes and a rolling counter.
#pragma once

#include <vector>

#include "sprite/AnimateSprite.h"

namespace sprite {

// The strip holds 15 cells: 0 the time separator, 1 minus, 2 the sign of money and plus modes, 3 ',',
// 4 '.', 5-14 the digits 0-9 (with digits only, just the ten digits). The number is laid out from its
// anchor x (left edge, centre or right edge by `align`) and drawn right to left; separators take half a
// cell. Widths are counted in half cells (`digitSlots`).
class NumberSprite : public AnimateSprite {
public:
    static constexpr int kModeDigitsOnly = 1;
    static constexpr int kModeMoney = 2;
    static constexpr int kModeTime = 3;
    static constexpr int kModePlus = 4;

    NumberSprite() = default;
    ~NumberSprite() override;

    LANG_CLASS_NAME(NumberSprite, AnimateSprite)
    LANG_DECLARE_CLASS_RECORD(NumberSprite);

    // Numbers 0-1 position, 2 alignment, 3 initial value, 4 mode (1 digits only, 2 money, 3 time,
    // 4 plus sign), 5 spacing, 6 minimum digits.
    void init(window::ImageArray* images, lang::IntArray* numbers) override;
    void paint(window::Graphics* g) override;
    // The rolling step, then the animation step.
    bool update(int frame, util::RectangleNM* out, util::Region* region) override;
    // The laid-out number's box around the anchor.
    util::RectangleNM getBounds() override;
    // The cell width becomes the strip's width / 15 (or / 10 with digits only); the height the strip's.
    void setImage(window::Image* image) override;
    Sprite* clone() override;

    virtual void setValue(int value);
    // Counts toward `target`, accelerating by a fifth a step and braking by halving near it.
    virtual void rollTo(int target);
    void setAlign(int align);
    void setMode(int mode);
    void setSpacing(int spacing);
    void setMinDigits(int digits);
    void setSeparatorWidth(int halfCells);
    int getValue() const { return value_; }
    bool isRolling() const { return rolling_; }
    int getDigitSlots() const { return digitSlots_; }
    int getCellWidth() const { return cellWidth_; }

    // One drawn cell: its strip cell index and its width in half cells.
    struct Cell {
        int index;
        int halfCells;
    };
    // The cells of the current value, right to left.
    std::vector<Cell> layout() const;

    // The locale's separators, read once; tests may set them.
    static void setSeparators(char decimalSeparator, char thousandsSeparator);

private:
    // Applies a change of anything the layout depends on, marking the old and new boxes.
    template <class F>
    void relayout(F change);
    void computeSize();
    int pixelWidth() const;

    int32_t value_ = 0;
    int32_t digitSlots_ = 0;
    int32_t minDigits_ = 0;
    int32_t align_ = 0;
    int32_t spacing_ = 0;
    bool moneyMode_ = false;
    bool plusMode_ = false;
    bool digitsOnly_ = false;
    bool timeMode_ = false;
    int32_t separatorWidth_ = 2;
    int32_t cellWidth_ = 0;
    bool rolling_ = false;
    int32_t targetValue_ = 0;
    int32_t rollStep_ = 0;
};

}  // namespace sprite
