// util::Region on pixman's 32-bit regions: a well-tested banded-rectangle region library (the one X
// servers and cairo use), giving exact unions and intersections and the rectangle lists clipping needs.
#include "util/Region.h"

#include <pixman.h>

namespace util {

struct Region::Data {
    pixman_region32_t region;
};

static_assert(sizeof(Region::Box) == sizeof(pixman_box32_t));
static_assert(offsetof(pixman_box32_t, x1) == offsetof(Region::Box, x1));
static_assert(offsetof(pixman_box32_t, y2) == offsetof(Region::Box, y2));

Region::Region(const Region& other) : Object() {
    *this = other;
}

Region& Region::operator=(const Region& other) {
    if (&other == this) return *this;
    clear();
    if (other.data_ != nullptr) {
        data_ = new Data;
        pixman_region32_init(&data_->region);
        pixman_region32_copy(&data_->region, &other.data_->region);
    }
    return *this;
}

Region::~Region() {
    clear();
}

void Region::dropIfEmpty() {
    if (data_ != nullptr && !pixman_region32_not_empty(&data_->region)) clear();
}

void Region::add(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    if (data_ == nullptr) {
        data_ = new Data;
        pixman_region32_init_rect(&data_->region, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
        return;
    }
    pixman_region32_union_rect(&data_->region, &data_->region, x, y, static_cast<unsigned>(width),
                               static_cast<unsigned>(height));
}

void Region::add(const RectangleNM& rect) {
    add(rect.x, rect.y, rect.width, rect.height);
}

void Region::add(const Region& other) {
    if (other.data_ == nullptr || &other == this) return;
    if (data_ == nullptr) {
        *this = other;
        return;
    }
    pixman_region32_union(&data_->region, &data_->region, &other.data_->region);
}

void Region::translate(int dx, int dy) {
    if (data_ != nullptr) pixman_region32_translate(&data_->region, dx, dy);
}

void Region::clear() {
    if (data_ == nullptr) return;
    pixman_region32_fini(&data_->region);
    delete data_;
    data_ = nullptr;
}

bool Region::intersects(const RectangleNM& rect) const {
    if (rect.width <= 0 || rect.height <= 0 || data_ == nullptr) return false;
    pixman_box32_t box{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
    return pixman_region32_contains_rectangle(&data_->region, &box) != PIXMAN_REGION_OUT;
}

const void* Region::handle() const {
    return data_ != nullptr ? &data_->region : nullptr;
}

void Region::intersect(int x, int y, int width, int height) {
    if (width < 1 || height < 1) {
        clear();
        return;
    }
    if (data_ == nullptr) return;
    pixman_region32_intersect_rect(&data_->region, &data_->region, x, y, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height));
    dropIfEmpty();
}

void Region::intersect(const Region& other) {
    if (data_ == nullptr || &other == this) return;
    if (other.data_ == nullptr) {
        clear();
        return;
    }
    pixman_region32_intersect(&data_->region, &data_->region, &other.data_->region);
    dropIfEmpty();
}

void Region::subtract(int x, int y, int width, int height) {
    if (data_ == nullptr || width <= 0 || height <= 0) return;
    pixman_region32_t cut;
    pixman_region32_init_rect(&cut, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    pixman_region32_subtract(&data_->region, &data_->region, &cut);
    pixman_region32_fini(&cut);
    dropIfEmpty();
}

bool Region::contains(int x, int y) const {
    return data_ != nullptr && pixman_region32_contains_point(&data_->region, x, y, nullptr);
}

RectangleNM Region::getBounds() const {
    if (data_ == nullptr) return RectangleNM();
    const pixman_box32_t* b = pixman_region32_extents(&data_->region);
    return RectangleNM(b->x1, b->y1, b->x2 - b->x1, b->y2 - b->y1);
}

std::span<const Region::Box> Region::boxes() const {
    if (data_ == nullptr) return {};
    int n = 0;
    const pixman_box32_t* rects = pixman_region32_rectangles(&data_->region, &n);
    return {reinterpret_cast<const Box*>(rects), static_cast<size_t>(n)};
}

}  // namespace util
