// Hashtable: head insertion with duplicate keys, growth at the 51st entry, removal and key snapshots.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "lang/Integer.h"
#include "lang/Ref.h"
#include "util/Hashtable.h"

namespace {

using lang::Integer;
using lang::String;

TEST(HashtableTest, DuplicateKeysAreHeldTwiceAndTheNewerWins) {
    Integer first(1), second(2);
    util::Hashtable table;
    table.put("key", &first);
    table.put("key", &second);
    EXPECT_EQ(table.size(), 2);
    EXPECT_EQ(table.get("key"), &second);
    auto keys = lang::adopt(table.keys());
    int count = 0;
    while (keys->hasMoreElements()) {
        EXPECT_TRUE(static_cast<String*>(keys->nextElement())->equals("key"));
        ++count;
    }
    EXPECT_EQ(count, 2);
    EXPECT_EQ(keys->nextElement(), nullptr);

    EXPECT_EQ(table.remove(&*lang::make<String>("key")), &second);
    EXPECT_EQ(table.get("key"), &first);
    EXPECT_EQ(second.referenceCount(), 1);
}

TEST(HashtableTest, GrowsFromOneHundredBucketsAtTheFiftyFirstEntry) {
    util::Hashtable table;
    std::vector<lang::Ref<Integer>> values;
    for (int i = 0; i < 51; ++i) {
        values.push_back(lang::make<Integer>(i));
        table.put(values.back().get(), values.back().get());
        EXPECT_EQ(table.capacity(), i < 50 ? 100 : 204) << "after " << i + 1 << " entries";
    }
    for (int i = 0; i < 51; ++i) {
        Integer key(i);
        ASSERT_EQ(table.get(&key), values[i].get());
    }
    Integer missing(1000);
    EXPECT_FALSE(table.containsKey(&missing));
    EXPECT_EQ(values[0]->referenceCount(), 3);  // as key and as value
    table.clear();
    EXPECT_EQ(table.size(), 0);
    EXPECT_EQ(values[0]->referenceCount(), 1);
}

TEST(HashtableTest, NegativeHashesAndStringKeysFindTheirBuckets) {
    Integer negative(-12345), value(1);
    util::Hashtable table(7);
    table.put(&negative, &value);
    Integer probe(-12345);
    EXPECT_EQ(table.get(&probe), &value);

    String accented("\xE9t\xE9");  // bytes above 127 hash negative
    table.put(accented, &value);
    EXPECT_EQ(table.get("\xE9t\xE9"), &value);
    EXPECT_EQ(table.get("\xC9T\xC9"), nullptr);  // keys are case-sensitive
}

TEST(HashtableTest, EnumerationKeepsItsKeysAlive) {
    lang::Ref<util::Hashtable::HTEnum> keys;
    {
        Integer value(0);
        util::Hashtable table;
        table.put("a", &value);
        table.put("b", &value);
        keys = lang::adopt(table.keys());
    }
    std::set<std::string> seen;
    while (keys->hasMoreElements()) seen.insert(static_cast<String*>(keys->nextElement())->chars());
    EXPECT_EQ(seen, (std::set<std::string>{"a", "b"}));
}

}  // namespace
