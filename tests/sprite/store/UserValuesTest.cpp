// Tests of the settings store's values and keys: round trips, type rules, letter case, sub-keys, deletion.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "lang/Ref.h"
#include "sprite/store/User.h"
#include "tests/support/TempFolder.h"
#include "util/Vector.h"

namespace {

using lang::Ref;
using testsupport::TempFolder;

std::string text(lang::String* s) {
    Ref<lang::String> owned = lang::adopt(s);
    return std::string(owned->view());
}

std::string getString(sprite::User& user, std::string_view name, std::string_view fallback = "<none>") {
    return text(user.getString(name, fallback));
}

std::vector<std::string> subKeys(sprite::User& user) {
    auto names = lang::make<util::Vector>();
    user.listSubKeys(*names);
    std::vector<std::string> out;
    for (int i = 0; i < names->size(); ++i) {
        out.emplace_back(static_cast<lang::String*>(names->elementAt(i))->view());
    }
    return out;
}

class UserValues : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.path().empty());
        user_ = lang::make<sprite::User>(folder_.path().c_str());
        ASSERT_TRUE(user_->isAvailable());
        ASSERT_TRUE(user_->setPath("Lumaroo"));
    }
    // A second store on the same database, as the next start of the game would open it.
    Ref<sprite::User> reopen(const char* path = "Lumaroo") {
        auto other = lang::make<sprite::User>(folder_.path().c_str());
        other->setPath(path);
        return other;
    }

    TempFolder folder_;
    Ref<sprite::User> user_;
};

TEST_F(UserValues, EveryTypeSurvivesAReopen) {
    const int32_t numbers[] = {0, 1, -1, 255, INT32_MIN, INT32_MAX};
    for (int32_t n : numbers) {
        user_->setInt("N" + std::to_string(n), n);
    }
    // Every byte a Windows-1252 text may hold, the five unused ones of 0x80..0x9F included.
    std::string all;
    for (int c = 1; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    user_->setString("ALL", all);
    user_->setString("EMPTY", "");
    lang::ByteArray bytes(256);
    for (int i = 0; i < 256; ++i)
        bytes[i] = static_cast<uint8_t>(255 - i);
    user_->setBytes("BYTES", bytes);
    user_->setBytes("NOBYTES", lang::ByteArray(0));

    auto again = reopen();
    for (int32_t n : numbers) {
        EXPECT_EQ(again->getInt("N" + std::to_string(n), 12345), n);
    }
    EXPECT_EQ(getString(*again, "ALL"), all);
    EXPECT_EQ(getString(*again, "EMPTY"), "");
    lang::ByteArray read(3);
    ASSERT_TRUE(again->getBytes("BYTES", read));
    ASSERT_EQ(read.length(), 256);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(read[i], 255 - i) << i;
    lang::ByteArray none(7);
    ASSERT_TRUE(again->getBytes("NOBYTES", none));
    EXPECT_EQ(none.length(), 0);

    // Overwriting changes the type as well as the value.
    again->setString("N1", "text");
    EXPECT_EQ(again->getInt("N1", -9), -9);
    EXPECT_EQ(getString(*again, "N1"), "text");
}

TEST_F(UserValues, MissingAndMistypedValuesReadAsTheirDefaults) {
    EXPECT_EQ(user_->getInt("SHOW_TUTS", 1), 1);
    EXPECT_EQ(getString(*user_, "LASTPROFILE", ""), "");
    lang::ByteArray untouched(4);
    untouched[0] = 9;
    EXPECT_FALSE(user_->getBytes("MISSING", untouched));
    EXPECT_EQ(untouched.length(), 4);
    EXPECT_EQ(untouched[0], 9);

    user_->setInt("NUMBER", 7);
    lang::ByteArray bytes(2);
    user_->setBytes("BYTES", bytes);
    EXPECT_EQ(getString(*user_, "NUMBER"), "<none>");
    EXPECT_EQ(user_->getInt("BYTES", 44), 44);
    EXPECT_FALSE(user_->getBytes("NUMBER", untouched));
}

TEST_F(UserValues, AStringHoldingADecimalNumberReadsAsThatInteger) {
    const std::pair<const char*, int32_t> numbers[] = {
        {"42", 42},
        {"-17", -17},
        {"+8", 8},
        {" 300 ", 300},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
    };
    for (const auto& [stored, expected] : numbers) {
        user_->setString("V", stored);
        EXPECT_EQ(user_->getInt("V", -99), expected) << stored;
    }
    // Not a number, or not one that fits 32 bits: the default.
    for (const char* stored :
         {"", "abc", "12abc", "1 2", "-", "2147483648", "-2147483649", "99999999999999999999"}) {
        user_->setString("V", stored);
        EXPECT_EQ(user_->getInt("V", -99), -99) << stored;
    }
}

TEST_F(UserValues, StringsAreReadUpTo1023Bytes) {
    std::string longText(5000, 'x');
    longText[1022] = 'y';
    user_->setString("LONG", longText);
    std::string read = getString(*user_, "LONG");
    EXPECT_EQ(read.size(), 1023u);
    EXPECT_EQ(read.back(), 'y');
    // A zero byte ends the text, as it would for any C string.
    user_->setString("ZERO", std::string_view("ab\0cd", 5));
    EXPECT_EQ(getString(*user_, "ZERO"), "ab");
}

TEST_F(UserValues, KeysAndValueNamesIgnoreLetterCaseAccentedLettersIncluded) {
    // "\xC0NN\x8A" is ÀNNŠ; its lower-case form is "\xE0nn\x9A", àannš.
    ASSERT_TRUE(user_->setPath("Lumaroo\\\xC0NN\x8A"));
    user_->setInt("Volume\xDE", 200);  // Þ
    user_->setString("hig_lvl", "12");

    ASSERT_TRUE(user_->setPath("LUMAROO\\\xE0nn\x9A"));
    EXPECT_EQ(user_->getInt("VOLUME\xFE", 0), 200);
    EXPECT_EQ(user_->getInt("HIG_LVL", 0), 12);
    user_->setInt("VOLUME\xFE", 201);

    ASSERT_TRUE(user_->setPath("lumaroo"));
    // One key, listed with the case it was created with.
    EXPECT_EQ(subKeys(*user_), std::vector<std::string>{"\xC0NN\x8A"});
    ASSERT_TRUE(user_->setPath("Lumaroo\\\xC0NN\x8A"));
    EXPECT_EQ(user_->getInt("volume\xDE", 0), 201);

    // Letters that only look alike stay apart: ß has no capital, and Y differs from Ÿ.
    ASSERT_TRUE(user_->setPath("Lumaroo"));
    user_->setInt("\xDF", 1);
    user_->setInt("\x9F", 2);
    EXPECT_EQ(user_->getInt("SS", 0), 0);
    EXPECT_EQ(user_->getInt("Y", 0), 0);
    EXPECT_EQ(user_->getInt("\xFF", 0), 2);
}

TEST_F(UserValues, ABackslashInAValueNameNamesAValueInASubKey) {
    user_->setInt("Stats\\Week 1\\BEST", 5);
    EXPECT_EQ(user_->getInt("stats\\WEEK 1\\best", 0), 5);
    EXPECT_EQ(user_->getInt("BEST", 0), 0);
    // The sub-keys were created on the way.
    EXPECT_EQ(subKeys(*user_), std::vector<std::string>{"Stats"});
    ASSERT_TRUE(user_->setPath("Lumaroo\\Stats\\Week 1"));
    EXPECT_EQ(user_->getInt("BEST", 0), 5);

    // Reading through a sub-key that does not exist creates nothing.
    ASSERT_TRUE(user_->setPath("Lumaroo"));
    EXPECT_EQ(user_->getInt("Nowhere\\X", 3), 3);
    EXPECT_EQ(subKeys(*user_), std::vector<std::string>{"Stats"});
}

TEST_F(UserValues, DeletingAProfileRemovesEverythingBelowItAndNothingElse) {
    const char* profiles[] = {"Ann", "Anna", "Ann]", "Bob"};
    for (const char* name : profiles) {
        ASSERT_TRUE(user_->setPath(std::string("Lumaroo\\") + name));
        user_->setInt("haveProfile", 1);
        user_->setInt("HIG_LVL", 9);
        user_->setString("Deep\\Deeper\\NOTE", name);
    }
    ASSERT_TRUE(user_->setPath("Lumaroo"));
    user_->setString("LASTPROFILE", "Ann");
    EXPECT_EQ(subKeys(*user_), (std::vector<std::string>{"Ann", "Ann]", "Anna", "Bob"}));

    EXPECT_TRUE(user_->remove("ANN"));
    EXPECT_EQ(subKeys(*user_), (std::vector<std::string>{"Ann]", "Anna", "Bob"}));
    EXPECT_EQ(getString(*user_, "LASTPROFILE"), "Ann");
    EXPECT_FALSE(user_->remove("Ann"));

    // The profile comes back empty when it is selected again.
    ASSERT_TRUE(user_->setPath("Lumaroo\\Ann"));
    EXPECT_EQ(user_->getInt("haveProfile", 0), 0);
    EXPECT_EQ(getString(*user_, "Deep\\Deeper\\NOTE"), "<none>");
    EXPECT_TRUE(subKeys(*user_).empty());
    for (const char* name : {"Anna", "Ann]", "Bob"}) {
        ASSERT_TRUE(user_->setPath(std::string("Lumaroo\\") + name));
        EXPECT_EQ(user_->getInt("HIG_LVL", 0), 9) << name;
        EXPECT_EQ(getString(*user_, "Deep\\Deeper\\NOTE"), name);
    }
}

TEST_F(UserValues, DeleteTakesTheValueBeforeTheSubKeyOfTheSameName) {
    user_->setInt("Twin", 1);
    user_->setInt("Twin\\Inner", 2);
    EXPECT_TRUE(user_->remove("twin"));
    EXPECT_EQ(user_->getInt("Twin", 0), 0);
    EXPECT_EQ(user_->getInt("Twin\\Inner", 0), 2);
    EXPECT_TRUE(user_->remove("Twin"));
    EXPECT_EQ(user_->getInt("Twin\\Inner", 0), 0);
    // A value in a sub-key goes alone; the sub-key stays.
    user_->setInt("Box\\A", 1);
    user_->setInt("Box\\B", 2);
    EXPECT_TRUE(user_->remove("Box\\A"));
    EXPECT_EQ(user_->getInt("Box\\A", 0), 0);
    EXPECT_EQ(user_->getInt("Box\\B", 0), 2);
}

TEST_F(UserValues, AKeyOnlyDeleteLeavesValuesOfTheSameNameAlone) {
    // Program-key values whose names a player could choose for a profile.
    user_->setInt("SCORE", 7);
    user_->setInt("Glt", 3);
    user_->setString("LASTPROFILE", "Score");
    for (const char* profile : {"Score", "GLT"}) {
        user_->setInt(std::string(profile) + "\\haveProfile", 1);
        user_->setInt(std::string(profile) + "\\Deep\\HIG_LVL", 4);
    }
    EXPECT_TRUE(user_->removeKey("score"));
    EXPECT_EQ(user_->getInt("SCORE", 0), 7);
    EXPECT_EQ(user_->getInt("Score\\haveProfile", 0), 0);
    EXPECT_EQ(user_->getInt("Score\\Deep\\HIG_LVL", 0), 0);
    EXPECT_FALSE(user_->removeKey("Score"));
    EXPECT_EQ(subKeys(*user_), (std::vector<std::string>{"GLT"}));
    EXPECT_TRUE(user_->removeKey("GLT"));
    EXPECT_EQ(user_->getInt("Glt", 0), 3);
    EXPECT_EQ(getString(*user_, "LASTPROFILE"), "Score");
    // A key-only delete of a name that is only a value deletes nothing; nor does an empty name.
    EXPECT_FALSE(user_->removeKey("SCORE"));
    EXPECT_FALSE(user_->removeKey(""));
    EXPECT_FALSE(user_->removeKey("\\"));
    EXPECT_EQ(user_->getInt("SCORE", 0), 7);
    auto again = reopen();
    EXPECT_EQ(again->getInt("SCORE", 0), 7);
    EXPECT_TRUE(subKeys(*again).empty());
}

TEST_F(UserValues, AnEmptyNameNeverDeletesTheCurrentKey) {
    user_->setInt("KEEP", 1);
    EXPECT_FALSE(user_->remove(""));
    EXPECT_FALSE(user_->remove("\\\\"));
    EXPECT_EQ(user_->getInt("KEEP", 0), 1);
    // The nameless value itself is a value like any other.
    user_->setString("", "default value");
    EXPECT_TRUE(user_->remove(""));
    EXPECT_EQ(getString(*user_, ""), "<none>");
    EXPECT_EQ(user_->getInt("KEEP", 0), 1);
}

// The faces handed to the font-face handler, in order; the handler is a plain function pointer.
std::vector<std::string> handedFaces;
void recordFace(const lang::String& face) {
    handedFaces.emplace_back(face.view());
}

// Installs recordFace for one test and puts back whatever was installed before.
class RecordedFaces {
public:
    RecordedFaces() : previous_(sprite::User::setFontFaceHandler(&recordFace)) { handedFaces.clear(); }
    ~RecordedFaces() { sprite::User::setFontFaceHandler(previous_); }

private:
    sprite::User::FontFaceHandler previous_;
};

TEST_F(UserValues, SetPathReadsCreditsFontAndMetricMode) {
    RecordedFaces faces;

    EXPECT_EQ(user_->credits(), 0);
    EXPECT_EQ(user_->nonAscentDescent(), 2);
    EXPECT_EQ(text(user_->fontName()), "");

    user_->setInt("CREDITS", 3);
    user_->setString("fontName", "DejaVu Sans");
    user_->setString("nonAscentDescent", "0");
    EXPECT_EQ(user_->credits(), 0);  // read when the key changes, not on every write
    EXPECT_TRUE(handedFaces.empty()) << "a write hands nothing to the font code";
    ASSERT_TRUE(user_->setPath("Lumaroo"));
    EXPECT_EQ(user_->credits(), 3);
    EXPECT_EQ(user_->nonAscentDescent(), 0);
    EXPECT_EQ(text(user_->fontName()), "DejaVu Sans");
    EXPECT_EQ(handedFaces, (std::vector<std::string>{"DejaVu Sans"}));
    EXPECT_EQ(text(user_->path()), "Software\\Quillbeck\\Lumaroo");
}

TEST_F(UserValues, AnEmptyOrMissingFontNameIsNotHandedOn) {
    RecordedFaces faces;
    ASSERT_TRUE(user_->setPath("Lumaroo"));
    user_->setString("fontName", "");
    ASSERT_TRUE(user_->setPath("Lumaroo"));
    EXPECT_TRUE(handedFaces.empty());
    // A key of its own without the value hands nothing on either, even after a key that had one.
    user_->setString("fontName", "Liberation Serif");
    ASSERT_TRUE(user_->setPath("Lumaroo\\Ann"));
    EXPECT_EQ(text(user_->fontName()), "");
    EXPECT_TRUE(handedFaces.empty());
}

TEST_F(UserValues, WithoutAHandlerAFontNameIsOnlyKept) {
    auto previous = sprite::User::setFontFaceHandler(nullptr);
    user_->setString("fontName", "DejaVu Sans");
    EXPECT_TRUE(user_->setPath("Lumaroo"));
    EXPECT_EQ(text(user_->fontName()), "DejaVu Sans");
    EXPECT_EQ(sprite::User::setFontFaceHandler(previous), nullptr);
}

TEST_F(UserValues, TheHandlerIsCalledOutsideTheStoresMonitor) {
    // The font code takes locks of its own; a handler that needs the store from another thread would
    // wait on a monitor setPath still held. The reader gets five seconds; it is kept beyond the handler,
    // so that a reader still waiting finishes once setPath lets go instead of hanging the test.
    static sprite::User* shared = nullptr;
    static std::future<int32_t> reader;
    static bool readInTime = false;
    shared = user_.get();
    readInTime = false;
    auto previous = sprite::User::setFontFaceHandler([](const lang::String&) {
        reader = std::async(std::launch::async, [] { return shared->getInt("CREDITS", -1); });
        readInTime = reader.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    });
    user_->setInt("CREDITS", 7);
    user_->setString("fontName", "DejaVu Sans");
    EXPECT_TRUE(user_->setPath("Lumaroo"));
    sprite::User::setFontFaceHandler(previous);
    EXPECT_TRUE(readInTime) << "another thread could not read the store while the handler ran";
    ASSERT_TRUE(reader.valid());
    EXPECT_EQ(reader.get(), 7);
    shared = nullptr;
}

TEST_F(UserValues, OneStoreServesSeveralThreadsAtOnce) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 25; ++i) {
                std::string name = "T" + std::to_string(t) + "\\V" + std::to_string(i);
                user_->setInt(name, t * 100 + i);
                EXPECT_EQ(user_->getInt(name, -1), t * 100 + i);
                auto names = lang::make<util::Vector>();
                user_->listSubKeys(*names);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(subKeys(*user_), (std::vector<std::string>{"T0", "T1", "T2", "T3"}));
    auto again = reopen();
    EXPECT_EQ(again->getInt("T3\\V24", -1), 324);
}

TEST(UserUnavailable, AStoreThatCannotOpenAnswersDefaultsAndLosesWrites) {
    TempFolder folder;
    // A plain file where the store's folder should be.
    std::string blocked = folder.file("blocked");
    std::FILE* f = std::fopen(blocked.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);

    ::testing::internal::CaptureStderr();
    auto user = lang::make<sprite::User>(blocked.c_str());
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(user->isAvailable());
    EXPECT_NE(said.find("settings will not be kept"), std::string::npos) << said;

    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(user->setPath("Lumaroo"));
    user->setInt("X", 1);
    user->setString("S", "s");
    EXPECT_EQ(user->getInt("X", 5), 5);
    EXPECT_EQ(getString(*user, "S", "d"), "d");
    EXPECT_FALSE(user->remove("X"));
    EXPECT_TRUE(subKeys(*user).empty());
    EXPECT_EQ(user->nonAscentDescent(), 2);
    // Said once when opening, not on every lost write.
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
