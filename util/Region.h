// util::Region: a set of pixels made of rectangles; the canvas's dirty area and the drawing clip.
#pragma once

#include <cstdint>
#include <span>

#include "util/RectangleNM.h"

namespace util {

class Region : public lang::Object {
public:
    // One rectangle of the region: x1, y1 inclusive, x2, y2 exclusive.
    struct Box {
        int32_t x1, y1, x2, y2;
    };

    // An empty region holds no storage at all.
    Region() = default;
    Region(const Region& other);
    Region& operator=(const Region& other);
    ~Region() override;

    LANG_CLASS_NAME(Region, Object)

    // Union with a rectangle; a rectangle with zero or negative size adds nothing.
    virtual void add(int x, int y, int width, int height);
    virtual void add(const RectangleNM& rect);
    virtual void translate(int dx, int dy);
    virtual void clear();
    // True when the rectangle has positive size, the region is not empty and some pixel of the
    // rectangle lies in the region.
    virtual bool intersects(const RectangleNM& rect) const;
    // The region library's own handle, or null when the region is empty (for drawing code only).
    virtual const void* handle() const;

    bool isEmpty() const { return data_ == nullptr; }
    void add(const Region& other);
    // Keeps only the part inside the rectangle; a rectangle below 1 pixel in width or height empties it.
    void intersect(int x, int y, int width, int height);
    void intersect(const Region& other);
    // Removes the rectangle's pixels.
    void subtract(int x, int y, int width, int height);
    bool contains(int x, int y) const;
    // The smallest rectangle holding the region (all zero when empty).
    RectangleNM getBounds() const;
    // The region as non-overlapping rectangles, in rows from top to bottom and left to right within a
    // row. Valid until the region next changes.
    std::span<const Box> boxes() const;

private:
    struct Data;
    void dropIfEmpty();

    Data* data_ = nullptr;
};

}  // namespace util
