// Every class record written in the tree registers by name in a program linked like the game, whatever
// the program references: data files create these classes by name only.
#include <gtest/gtest.h>

#include "lang/Class.h"
#include "lang/Ref.h"

namespace {

struct RecordSource {
    const char* name;
    const char* file;
};

// Generated at configure time from every LANG_DEFINE_CLASS_RECORD of the sources.
const RecordSource kRecords[] = {
#include "ClassRecordList.inc"
};

TEST(ClassRegistry, EveryDefinedRecordResolvesAndMakesItsClass) {
    ASSERT_GT(sizeof(kRecords) / sizeof(kRecords[0]), 0u);
    for (const RecordSource& record : kRecords) {
        lang::Class* found = lang::Class::forName(record.name);
        ASSERT_NE(found, nullptr) << record.name << " (defined in " << record.file
                                  << ") is not registered in a program linked like the game";
        EXPECT_STREQ(found->name().chars(), record.name);
        lang::Ref<lang::Object> made = lang::adopt(found->newInstance());
        ASSERT_TRUE(made) << record.name << " made no object";
        // Each class answers its own name and is-a test by that name.
        EXPECT_STREQ(made->getClassName(), record.name) << record.file;
        EXPECT_TRUE(made->instanceOf(record.name)) << record.file;
    }
}

TEST(ClassRegistry, UnknownNamesAnswerNull) {
    EXPECT_EQ(lang::Class::forName("NoSuchSprite"), nullptr);
    EXPECT_EQ(lang::Class::forName(""), nullptr);
    // Names are exact: case matters.
    EXPECT_EQ(lang::Class::forName("fancycontainer"), nullptr);
}

}  // namespace
