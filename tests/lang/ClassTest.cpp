// Class records: registration by static initialisation, look-up by exact name, creation by name.
#include <gtest/gtest.h>

#include "lang/Class.h"
#include "lang/Ref.h"

namespace {

class TestWidget : public lang::Object {
public:
    LANG_CLASS_NAME(TestWidget, Object)
    LANG_DECLARE_CLASS_RECORD(TestWidget);
};
LANG_DEFINE_CLASS_RECORD(TestWidget);

class TestFancyWidget : public TestWidget {
public:
    LANG_CLASS_NAME(TestFancyWidget, TestWidget)
    LANG_DECLARE_CLASS_RECORD(TestFancyWidget);
};
LANG_DEFINE_CLASS_RECORD(TestFancyWidget);

TEST(ClassTest, ForNameFindsRegisteredRecordsOnly) {
    EXPECT_EQ(lang::Class::forName("NoSuchClass"), nullptr);
    EXPECT_EQ(lang::Class::forName("testwidget"), nullptr);  // exact, case-sensitive
    lang::Class* record = lang::Class::forName("TestWidget");
    ASSERT_EQ(record, &TestWidget::classRecord);
    EXPECT_STREQ(record->name().chars(), "TestWidget");

    auto made = lang::adopt(record->newInstance());
    ASSERT_TRUE(made);
    EXPECT_STREQ(made->getClassName(), "TestWidget");
    EXPECT_EQ(made->referenceCount(), 1);
}

TEST(ClassTest, InstanceOfAsksTheBaseChain) {
    auto fancy = lang::adopt(lang::Class::forName("TestFancyWidget")->newInstance());
    EXPECT_TRUE(fancy->instanceOf("TestFancyWidget"));
    EXPECT_TRUE(fancy->instanceOf("TestWidget"));
    EXPECT_TRUE(fancy->instanceOf("Object"));
    TestWidget plain;
    EXPECT_FALSE(plain.instanceOf("TestFancyWidget"));
}

TEST(ClassTest, RecordsComeAndGo) {
    struct Temporary : lang::Class {
        Temporary() : lang::Class("TemporaryThing") {}
        lang::Object* newInstance() override { return new lang::Object(); }
    };
    {
        Temporary record;
        EXPECT_EQ(lang::Class::forName("TemporaryThing"), &record);
    }
    EXPECT_EQ(lang::Class::forName("TemporaryThing"), nullptr);
    EXPECT_NE(lang::Class::forName("TestWidget"), nullptr);
}

}  // namespace
