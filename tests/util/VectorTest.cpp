// Vector: references held on elements, the head offset that makes both ends cheap, and bounds errors.
#include <gtest/gtest.h>

#include <string>

#include "lang/Exception.h"
#include "lang/Integer.h"
#include "lang/Ref.h"
#include "util/Vector.h"

namespace {

using lang::Integer;

std::string contents(util::Vector& v) {
    std::string out;
    for (int i = 0; i < v.size(); ++i) {
        auto* e = static_cast<Integer*>(v.elementAt(i));
        out += e == nullptr ? "-" : std::to_string(e->value());
        out += ' ';
    }
    return out;
}

std::string messageOf(lang::Exception* e) {
    std::string message(e->message().chars());
    e->release();
    return message;
}

TEST(VectorTest, RemovingTheFirstElementMovesTheHeadAndAddMovesBack) {
    // Elements are declared before the vector, so that they outlive its releases.
    Integer items[4] = {Integer(0), Integer(1), Integer(2), Integer(3)};
    util::Vector v(4);
    for (auto& item : items) v.addElement(&item);
    EXPECT_EQ(items[0].referenceCount(), 2);
    v.removeElementAt(0);
    v.removeElementAt(0);
    EXPECT_EQ(v.head(), 2);
    EXPECT_EQ(items[0].referenceCount(), 1);
    EXPECT_EQ(contents(v), "2 3 ");
    // The slot after the last element lies past the storage end: the elements move to the front.
    Integer four(4);
    v.addElement(&four);
    EXPECT_EQ(v.head(), 0);
    EXPECT_EQ(v.capacity(), 4);
    EXPECT_EQ(contents(v), "2 3 4 ");
    v.removeAllElements();
    EXPECT_EQ(four.referenceCount(), 1);
}

TEST(VectorTest, GrowsByHalfAndInsertsOnTheCheaperSide) {
    Integer a(1), b(2), c(3), d(4), e(5);
    util::Vector v(2);
    v.addElement(&a);
    v.addElement(&b);
    v.addElement(&c);  // 2 * 3 / 2 = 3
    EXPECT_EQ(v.capacity(), 3);
    v.removeElementAt(0);
    EXPECT_EQ(v.head(), 1);
    v.insertElementAt(&d, 1);  // storage is full at its end: the front part moves down
    EXPECT_EQ(v.head(), 0);
    EXPECT_EQ(contents(v), "2 4 3 ");
    v.insertElementAt(&e, 0);
    v.insertElementAt(nullptr, 5 - 1);
    EXPECT_EQ(contents(v), "5 2 4 3 - ");
    v.removeElementAt(2);  // the shorter side (after) moves down
    EXPECT_EQ(contents(v), "5 2 3 - ");
    v.removeElementAt(1);  // the shorter side (before) moves up
    EXPECT_EQ(contents(v), "5 3 - ");
    EXPECT_EQ(v.indexOf(&c), 1);
    EXPECT_TRUE(v.removeElement(&c));
    EXPECT_FALSE(v.removeElement(&c));
    EXPECT_EQ(v.indexOf(nullptr), -1);
}

TEST(VectorTest, IndexErrorsThrowWithTheirMessages) {
    Integer a(1);
    util::Vector v;
    v.addElement(&a);
    try {
        v.elementAt(1);
        FAIL();
    } catch (lang::Exception* e) {
        EXPECT_EQ(messageOf(e), "Index out of range");
    }
    try {
        v.removeElementAt(-1);
        FAIL();
    } catch (lang::Exception* e) {
        EXPECT_EQ(messageOf(e), "Index out of range");
    }
    try {
        v.insertElementAt(&a, 2);
        FAIL();
    } catch (lang::Exception* e) {
        EXPECT_EQ(messageOf(e), "Index out of bounds");
    }
    EXPECT_EQ(a.referenceCount(), 2);
}

TEST(VectorTest, CopyIntoHandsTheArrayOwnerOneReferenceEach) {
    Integer a(1);
    {
        util::Vector v;
        v.addElement(&a);
        v.addElement(nullptr);
        lang::ObjectArray array;
        v.copyInto(array);
        ASSERT_EQ(array.length(), 2);
        EXPECT_EQ(array[0], &a);
        EXPECT_EQ(a.referenceCount(), 3);
        array[0]->release();
    }
    EXPECT_EQ(a.referenceCount(), 1);
}

}  // namespace
