// Arrays: resizing keeps and zeroes, copying, and the case-insensitive String sort.
#include <gtest/gtest.h>

#include "lang/Arrays.h"
#include "lang/Exception.h"
#include "lang/Integer.h"
#include "lang/Ref.h"

namespace {

TEST(ArraysTest, SetSizeKeepsOldElementsAndZeroesNewOnes) {
    lang::IntArray ints(3);
    ints[0] = 7;
    ints[2] = 9;
    ints.setSize(5);
    ASSERT_EQ(ints.length(), 5);
    EXPECT_EQ(ints[0], 7);
    EXPECT_EQ(ints[2], 9);
    EXPECT_EQ(ints[3], 0);
    EXPECT_EQ(ints[4], 0);
    ints.setSize(0);
    EXPECT_EQ(ints.length(), 0);
    EXPECT_EQ(ints.data(), nullptr);

    lang::ObjectArray objects(2);
    lang::Integer one(1);
    objects[1] = &one;
    objects.setSize(1);
    objects.setSize(2);
    EXPECT_EQ(objects[1], nullptr);  // shrinking dropped it, growing brought back a zero
    EXPECT_EQ(one.referenceCount(), 1);  // arrays never take references

    lang::ByteArray bytes(2);
    bytes[1] = 200;
    lang::ByteArray copy;
    copy.copyFrom(bytes);
    ASSERT_EQ(copy.length(), 2);
    EXPECT_EQ(copy[1], 200);
}

TEST(ArraysTest, SortIgnoresCaseAndTreatsNullAsEmpty) {
    lang::String b("b"), a("A"), c("c"), e("\xC9t\xE9"), d("d");
    lang::StringArray names(6);
    names[0] = &b;
    names[1] = &a;
    names[2] = &c;
    names[3] = nullptr;
    names[4] = &e;
    names[5] = &d;
    names.sort();
    EXPECT_EQ(names[0], nullptr);
    EXPECT_STREQ(names[1]->chars(), "A");
    EXPECT_STREQ(names[2]->chars(), "b");
    EXPECT_STREQ(names[3]->chars(), "c");
    EXPECT_STREQ(names[4]->chars(), "d");
    EXPECT_STREQ(names[5]->chars(), "\xC9t\xE9");
    EXPECT_TRUE(names.instanceOf("ObjectArray"));
}

TEST(ArraysTest, IntegersAndExceptions) {
    lang::Integer five(5), alsoFive(5), six(6);
    EXPECT_TRUE(five.equals(&alsoFive));
    EXPECT_FALSE(five.equals(&six));
    lang::String notAnInteger("5");
    EXPECT_FALSE(five.equals(&notAnInteger));
    EXPECT_EQ(five.hashCode(), 5);

    try {
        throw new lang::Exception("Index out of range");
    } catch (lang::Exception* e) {
        auto message = lang::adopt(e->toString());
        EXPECT_TRUE(message->equals("Index out of range"));
        e->release();
    }
}

}  // namespace
