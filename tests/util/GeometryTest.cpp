// Rectangles and regions: union, intersection, the hash and region queries on touching edges.
#include <gtest/gtest.h>

#include "util/Point.h"
#include "util/Region.h"

namespace {

using util::RectangleNM;
using util::Region;

void expectRect(const RectangleNM& r, int x, int y, int w, int h) {
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.width, w);
    EXPECT_EQ(r.height, h);
}

TEST(GeometryTest, RectangleUnionIntersectionAndHash) {
    RectangleNM r(0, 0, 0, 0);
    r.add(RectangleNM(10, 10, 5, 5));
    expectRect(r, 0, 0, 15, 15);

    RectangleNM touching(0, 0, 10, 10);
    touching.intersect(RectangleNM(10, 0, 5, 5));
    expectRect(touching, 0, 0, 0, 0);
    RectangleNM overlap(0, 0, 10, 10);
    overlap.intersect(RectangleNM(5, -5, 20, 8));
    expectRect(overlap, 5, 0, 5, 3);

    EXPECT_EQ(RectangleNM(1, 2, 3, 4).hashCode(), 0x01020304);
    RectangleNM a(1, 2, 3, 4), b(1, 2, 3, 4);
    EXPECT_TRUE(a.equalsRect(&b));
    EXPECT_FALSE(a.equals(&b));
    util::Point p(1, 2);
    EXPECT_FALSE(a.equalsRect(&p));
    EXPECT_STREQ(a.getClassName(), "Rectangle");
}

TEST(GeometryTest, RegionIntersectsOnlyOnSharedPixels) {
    Region region;
    EXPECT_TRUE(region.isEmpty());
    EXPECT_FALSE(region.intersects(RectangleNM(0, 0, 100, 100)));
    EXPECT_EQ(region.handle(), nullptr);
    region.add(0, 0, 10, 10);
    EXPECT_TRUE(region.intersects(RectangleNM(9, 9, 5, 5)));
    EXPECT_FALSE(region.intersects(RectangleNM(10, 0, 5, 5)));
    EXPECT_FALSE(region.intersects(RectangleNM(5, 5, 0, 5)));
    region.add(RectangleNM(20, 20, 0, 5));  // no pixels
    region.add(20, 0, 5, 5);
    EXPECT_FALSE(region.intersects(RectangleNM(12, 0, 6, 30)));  // the gap between the two parts
    expectRect(region.getBounds(), 0, 0, 25, 10);
    EXPECT_EQ(region.boxes().size(), 3u);  // two bands: both parts, then the taller one

    region.translate(100, 50);
    EXPECT_TRUE(region.contains(100, 50));
    EXPECT_FALSE(region.contains(99, 50));
}

TEST(GeometryTest, RegionIntersectAndUnionOfRegions) {
    Region region;
    region.add(0, 0, 10, 10);
    region.intersect(0, 0, 0, 10);
    EXPECT_TRUE(region.isEmpty());
    region.intersect(0, 0, 50, 50);  // an empty region stays empty
    EXPECT_TRUE(region.isEmpty());

    region.add(0, 0, 10, 10);
    region.intersect(5, 5, 100, 100);
    expectRect(region.getBounds(), 5, 5, 5, 5);
    region.intersect(50, 50, 5, 5);  // nothing in common
    EXPECT_TRUE(region.isEmpty());

    Region a, b;
    a.add(0, 0, 4, 4);
    b.add(10, 10, 4, 4);
    a.add(b);
    a.add(Region());
    EXPECT_TRUE(a.contains(11, 11));
    Region copy(a);
    a.clear();
    EXPECT_TRUE(a.isEmpty());
    EXPECT_TRUE(copy.contains(1, 1));
    copy.subtract(0, 0, 100, 100);
    EXPECT_TRUE(copy.isEmpty());
}

}  // namespace
