// Checks of the built texts: every text id the game looks up is in the archive, reads back through the
// game's own text look-up in the game's code page, and fits the place it is shown in.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "game/TutorialDialog.h"
#include "lang/CodePage.h"
#include "lang/Ref.h"
#include "lang/ResourceFile.h"
#include "lang/String.h"
#include "tools/TextTable.h"

namespace {

// The tutorial pages' text ids, as the dialog looks them up (pages that do not exist have none).
std::vector<std::string> tutorialIds() {
    std::vector<std::string> ids;
    for (int page = 0; page < TutorialDialog::kPages; ++page) {
        if (const char* id = TutorialDialog::textId(page))
            ids.push_back(id);
    }
    return ids;
}

std::vector<std::string> requiredIds() {
    std::vector<std::string> ids = {"IDS_GAMETITLE", "REGISTRYNAME", "STR_DUPLICATE_NAME",
                                    "STR_REALLY_DELETE_1", "STR_REALLY_DELETE_2"};
    for (const std::string& id : tutorialIds()) {
        ids.push_back(id);
        ids.push_back(id + "_TITLE");
    }
    for (int page = 1; page <= 4; ++page) {
        ids.push_back("IDS_INSTRUCTIONS_" + std::to_string(page));
        ids.push_back("IDS_INSTRUCTIONS_" + std::to_string(page) + "_TITLE");
    }
    return ids;
}

class BuiltTexts : public ::testing::Test {
protected:
    void SetUp() override {
        for (const texts::TextEntry& entry :
             texts::readTexts(std::string(LUMAROO_DATA_DIR) + "/text/texts.txt"))
            source_[entry.id] = entry.text;
        ASSERT_TRUE(std::filesystem::exists(LUMAROO_ARCHIVE)) << LUMAROO_ARCHIVE << " is missing";
        lang::openArchive(LUMAROO_ARCHIVE);
    }
    void TearDown() override { lang::closeArchives(); }
    std::map<std::string, std::string> source_;
};

TEST_F(BuiltTexts, EveryIdTheGameLooksUpReadsBackInTheCodePage) {
    EXPECT_EQ(tutorialIds().size(), 21u) << "21 tutorial pages";
    for (const std::string& id : requiredIds()) {
        SCOPED_TRACE(id);
        auto text = source_.find(id);
        ASSERT_NE(text, source_.end()) << "not in data/text/texts.txt";
        lang::Ref<lang::ResourceItem> item = lang::adopt(lang::getResource(id.c_str(), false));
        ASSERT_TRUE(item) << "not in the archive";
        ASSERT_GT(item->getLength(), 1);
        EXPECT_EQ(item->getData()[item->getLength() - 1], 0) << "a text entry ends with a zero byte";
        lang::Ref<lang::String> read = lang::adopt(lang::getResourceString(id.c_str()));
        std::string got(read->chars(), static_cast<size_t>(read->length()));
        EXPECT_EQ(got, lang::utf8ToCp1252(text->second));
        EXPECT_EQ(got.find('?') != std::string::npos, text->second.find('?') != std::string::npos)
            << "a character did not survive the code page";
    }
}

// The dialogs lay messages out by how they begin, and the pop-ups have room for a few lines only.
TEST_F(BuiltTexts, TextsFitWhereTheyAreShown) {
    EXPECT_EQ(source_["STR_DUPLICATE_NAME"].rfind("That name already exists", 0), 0u);
    EXPECT_EQ(source_["STR_REALLY_DELETE_1"].rfind("Are you sure", 0), 0u);
    const std::string& registry = source_["REGISTRYNAME"];
    EXPECT_EQ(registry.find_first_of("\\/\n"), std::string::npos) << "the settings key is one name";
    EXPECT_LE(registry.size(), 64u);
    for (const std::string& id : tutorialIds()) {
        EXPECT_LE(source_[id].size(), 200u) << id << " is too long for the tutorial pop-up";
        EXPECT_LE(source_[id + "_TITLE"].size(), 28u) << id << "_TITLE is too long";
    }
}

}  // namespace
