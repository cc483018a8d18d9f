// The definition loader: every section, the sprite-record grammar, nested containers, progress counts,
// "@" image names, image packs and the message boxes for bad scripts.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "lang/Exception.h"
#include "lang/ResourceFile.h"
#include "sprite/AnimateSprite.h"
#include "sprite/DataLoader.h"
#include "sprite/FancyContainer.h"
#include "sprite/ImagePack.h"
#include "sprite/LoadedScene.h"
#include "sprite/LoaderMedia.h"
#include "tests/io/TestStreams.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/ScratchSettings.h"
#include "tests/support/TempFolder.h"
#include "util/Region.h"
#include "window/Graphics.h"
#include "window/Image.h"
#include "window/ImageArray.h"
#include "window/MessageBox.h"

namespace {

using lang::Ref;
using testsupport::TempFolder;

// Images and sounds made by the test media: the path they were made from, and the loader's state then.
class FakeMedia : public lang::Object {
public:
    FakeMedia(const lang::String& path, int kind)
        : path(path.chars()),
          kind(kind),
          fillDepth(window::containerFillDepth),
          fromDisk(window::diskImageFlag) {}
    LANG_CLASS_NAME(FakeMedia, Object)
    std::string path;
    int kind;
    int fillDepth;
    bool fromDisk;
};

std::string pathOf(lang::Object* media) {
    return media != nullptr ? static_cast<FakeMedia*>(media)->path : "(null)";
}

// A sprite that copies what its record gave it. Its first number 666 makes init throw.
class TestSprite : public sprite::Sprite {
public:
    LANG_CLASS_NAME(TestSprite, Sprite)
    LANG_DECLARE_CLASS_RECORD(TestSprite);
    void init(window::ImageArray* images, lang::IntArray* numbers) override {
        const lang::ObjectArray& slots = *images;
        for (int i = 0; i < slots.length(); ++i)
            imagePaths.push_back(pathOf(slots[i]));
        for (int i = 0; i < numbers->length(); ++i)
            values.push_back((*numbers)[i]);
        if (!values.empty() && values[0] == 666)
            throw new lang::Exception("init refused 666");
    }
    std::vector<std::string> imagePaths;
    std::vector<int> values;
};
LANG_DEFINE_CLASS_RECORD(TestSprite);

// A container that is hidden when its first number is 0, and remembers its set-up.
class TestContainer : public sprite::FancyContainer {
public:
    LANG_CLASS_NAME(TestContainer, FancyContainer)
    LANG_DECLARE_CLASS_RECORD(TestContainer);
    void init(window::ImageArray*, lang::IntArray* numbers) override {
        visible_ = numbers->length() == 0 || (*numbers)[0] != 0;
    }
    void setUp(sprite::DataLoader* loader) override {
        ++setUps;
        childNames = loader->names()->size();
    }
    int setUps = 0;
    int childNames = -1;
};
LANG_DEFINE_CLASS_RECORD(TestContainer);

class NotASprite : public lang::Object {
public:
    LANG_CLASS_NAME(NotASprite, Object)
    LANG_DECLARE_CLASS_RECORD(NotASprite);
};
LANG_DEFINE_CLASS_RECORD(NotASprite);

class TestCanvas : public lang::Object, public sprite::LoaderCanvas {
public:
    LANG_CLASS_NAME(TestCanvas, Object)
    sprite::Sprite* createSprite(const lang::String& classToken, window::ImageArray*, lang::IntArray*,
                                 sprite::DataLoader*) override {
        classTokens.emplace_back(classToken.view());
        return classToken.equals("CanvasMade") ? new sprite::Sprite() : nullptr;
    }
    void incrementLoadedCount() override { ++loaded; }
    int loaded = 0;
    std::vector<std::string> classTokens;
};

struct Box {
    std::string title;
    std::string text;
};

class DataLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousHook_ = window::setMessageBoxHook([this](std::string_view title, std::string_view text) {
            boxes.push_back({std::string(title), std::string(text)});
        });
        media.loadImage = [this](const lang::String& path, bool requireData) -> lang::Object* {
            imageRequests.push_back(std::string(path.view()) + (requireData ? " (required)" : ""));
            if (std::string(path.view()).find("missing") != std::string::npos)
                return nullptr;
            return new FakeMedia(path, -1);
        };
        media.decodeImage = [](const lang::String& name, const uint8_t* bytes, int length) -> lang::Object* {
            std::string text(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
            if (text == "undecodable")
                return nullptr;
            return new FakeMedia(lang::String((std::string(name.view()) + "=" + text).c_str()), -1);
        };
        media.loadSound = [](const lang::String& path, int kind) -> lang::Object* {
            return new FakeMedia(path, kind);
        };
        media.readSetting = [this](sprite::User*, const lang::String& name, const lang::String& fallback) {
            auto found = settingValues.find(std::string(name.view()));
            return new lang::String(found != settingValues.end() ? found->second.c_str() : fallback.chars());
        };
    }
    void TearDown() override {
        window::setMessageBoxHook(previousHook_);
        lang::closeArchives();
    }

    Ref<sprite::DataLoader> loader(sprite::LoaderCanvas* canvas = nullptr, bool withSettings = true) {
        lang::String dir(folder.path().c_str());
        return lang::adopt(
            new sprite::DataLoader(dir, canvas, withSettings ? settings.user() : nullptr, media));
    }

    // Opens an archive holding the given entries (the names without "+").
    void openArchive(const std::vector<std::pair<std::string, std::string>>& entries) {
        testsupport::ArchiveBuilder archive;
        for (const auto& [name, bytes] : entries)
            archive.add(name, bytes);
        lang::openArchive(archive.writeTo(folder).c_str());
    }

    static std::vector<std::string> spriteNames(sprite::DataLoader& l) {
        std::vector<std::string> out;
        for (int i = 0; i < l.sprites()->size(); ++i) {
            out.emplace_back(static_cast<sprite::Sprite*>(l.sprites()->elementAt(i))->getName().view());
        }
        return out;
    }

    static TestSprite* spriteAt(sprite::DataLoader& l, int index) {
        return dynamic_cast<TestSprite*>(static_cast<lang::Object*>(l.sprites()->elementAt(index)));
    }

    TempFolder folder;
    // A real store, so the loader gets a settings object; "@" names read settingValues through the fake
    // readSetting.
    testsupport::ScratchSettings settings;
    // The media every loader of a test uses: fakes that record what the loader asked for.
    sprite::LoaderMedia media;
    std::vector<Box> boxes;
    std::vector<std::string> imageRequests;
    std::map<std::string, std::string> settingValues;

private:
    window::MessageBoxHook previousHook_;
};

const char* kScript =
    "; the whole script\n"
    "<IMAGES>\n"
    "  bg +background.png   ; from the archive\n"
    "  photo pictures/photo.png\n"
    "<sounds> +click.wav *+music.ogg *+song.xm ab x +tune.mod\n"
    "<strings> \"Hello, world\" plain 12 \"\"\n"
    "<data> 1 -2 0x1F 4.9 -4.9 99999999999\n"
    "stray tokens between sections\n"
    "<Sprites>\n"
    "  \"\" TestSprite \"\" 0 0 10 10\n"
    "  back TestSprite bg photo 1 2   ; a comment after a record\n"
    "  implicit TestSprite newpic missing 3\n"
    "  made CanvasMade 7\n"
    "  ghost NoSuchClass bg 1\n"
    "  object NotASprite 1\n";

TEST_F(DataLoaderTest, EverySectionOfAScriptWithoutEnd) {
    folder.write("script.txt", kScript);
    auto canvas = lang::make<TestCanvas>();
    auto l = loader(canvas.get());
    int total = l->count("script.txt");
    // 2 image entries, 4 sounds, 6 sprite records (dropped ones included).
    EXPECT_EQ(total, 12);
    ASSERT_TRUE(l->load("script.txt"));
    EXPECT_TRUE(boxes.empty());

    EXPECT_EQ(pathOf(l->images()->get("bg")), "+background.png");
    EXPECT_EQ(pathOf(l->images()->get("photo")), folder.path() + "/pictures/photo.png");
    // Record image names unknown so far load from the archive entry of that name.
    EXPECT_EQ(pathOf(l->images()->get("newpic")), "+newpic");
    EXPECT_EQ(l->images()->get("missing"), nullptr);

    ASSERT_EQ(l->sounds()->length(), 4);
    std::vector<std::pair<std::string, int>> sounds;
    for (int i = 0; i < 4; ++i) {
        auto* clip = static_cast<FakeMedia*>((*l->sounds())[i]);
        sounds.emplace_back(clip->path, clip->kind);
    }
    EXPECT_EQ(sounds, (std::vector<std::pair<std::string, int>>{
                          {"+click.wav", 0}, {"+music.ogg", 1}, {"+song.xm", 2}, {"+tune.mod", 2}}));

    ASSERT_EQ(l->strings()->length(), 4);
    EXPECT_EQ((*l->strings())[0]->view(), "Hello, world");
    EXPECT_EQ((*l->strings())[1]->view(), "plain");
    EXPECT_EQ((*l->strings())[2]->view(), "12.");  // a number reads as its value's text
    EXPECT_EQ((*l->strings())[3]->view(), "");

    ASSERT_EQ(l->data()->length(), 6);
    std::vector<int> data(l->data()->data(), l->data()->data() + 6);
    EXPECT_EQ(data, (std::vector<int>{1, -2, 31, 4, -4, 2147483647}));

    EXPECT_EQ(spriteNames(*l), (std::vector<std::string>{"", "back", "implicit", "made"}));
    TestSprite* unnamed = spriteAt(*l, 0);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(unnamed->imagePaths, (std::vector<std::string>{"(null)"}));
    EXPECT_EQ(unnamed->values, (std::vector<int>{0, 0, 10, 10}));
    EXPECT_EQ(spriteAt(*l, 1)->imagePaths,
              (std::vector<std::string>{"+background.png", folder.path() + "/pictures/photo.png"}));
    EXPECT_EQ(spriteAt(*l, 1)->values, (std::vector<int>{1, 2}));
    EXPECT_EQ(spriteAt(*l, 2)->imagePaths, (std::vector<std::string>{"+newpic"}));
    EXPECT_EQ(l->names()->size(), 3);  // the unnamed sprite is not in the table
    EXPECT_EQ(l->names()->get("back"), l->sprites()->elementAt(1));

    // The canvas is asked first, with the class token as written, for every record.
    EXPECT_EQ(canvas->classTokens.size(), 6u);
    // Progress: every image entry, sound and sprite made.
    EXPECT_EQ(canvas->loaded, 2 + 4 + 4);
}

TEST_F(DataLoaderTest, AHandedOverSceneOutlivesItsLoader) {
    folder.write("script.txt", kScript);
    Ref<sprite::LoadedScene> scene;
    Ref<lang::Object> firstClip;
    auto canvas = lang::make<TestCanvas>();
    {
        auto l = loader(canvas.get());
        ASSERT_TRUE(l->load("script.txt"));
        scene = sprite::LoadedScene::takeFrom(*l);
        firstClip = lang::share((*l->sounds())[0]);
    }
    // The loader has died and released what it held; the scene keeps every table whole.
    ASSERT_EQ(scene->sounds()->length(), 4);
    EXPECT_EQ((*scene->sounds())[0], firstClip.get());
    EXPECT_EQ(pathOf((*scene->sounds())[3]), "+tune.mod");
    EXPECT_EQ(firstClip->referenceCount(), 2);  // ours and the scene's
    ASSERT_EQ(scene->strings()->length(), 4);
    EXPECT_EQ((*scene->strings())[0]->view(), "Hello, world");
    ASSERT_EQ(scene->numbers()->length(), 6);
    EXPECT_EQ((*scene->numbers())[2], 31);
    ASSERT_EQ(scene->sprites()->size(), 4);
    EXPECT_EQ(scene->names()->get("back"), scene->sprites()->elementAt(1));

    // Releasing the scene gives back its references on the elements.
    scene.reset();
    EXPECT_EQ(firstClip->referenceCount(), 1);
}

TEST_F(DataLoaderTest, ARecordWithoutImagesOrNumbersSwallowsTheNextRecord) {
    folder.write("s.txt",
                 "<sprites> first TestSprite second TestSprite 5 6 third TestSprite <end> after TestSprite");
    auto l = loader();
    EXPECT_EQ(l->count("s.txt"), 2);
    ASSERT_TRUE(l->load("s.txt"));
    EXPECT_EQ(spriteNames(*l), (std::vector<std::string>{"first", "third"}));
    EXPECT_EQ(spriteAt(*l, 0)->imagePaths, (std::vector<std::string>{"+second", "+TestSprite"}));
    EXPECT_EQ(spriteAt(*l, 0)->values, (std::vector<int>{5, 6}));
    EXPECT_TRUE(spriteAt(*l, 1)->values.empty());
}

TEST_F(DataLoaderTest, DuplicateNamesShowOneBoxAndKeepBoth) {
    folder.write("dup.txt", "<sprites>\r\n a TestSprite 1\r\n b TestSprite 2\r\n a TestSprite 3\r\n");
    auto l = loader();
    ASSERT_TRUE(l->load("dup.txt"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Duplicate name in dup.txt");
    EXPECT_EQ(boxes[0].text, "a (line 4)");
    EXPECT_EQ(spriteNames(*l), (std::vector<std::string>{"a", "b", "a"}));
    EXPECT_EQ(l->names()->size(), 3);
}

TEST_F(DataLoaderTest, DataKeepsFiveHundredNumbersAndLaterSectionsReplaceEarlierOnes) {
    std::string script = "<data>";
    for (int i = 1; i <= 501; ++i)
        script += " " + std::to_string(i);
    script += " <strings> one <STRINGS> two three <data> 7 <sprites> x TestSprite 1";
    folder.write("data.txt", script);
    auto l = loader();
    ASSERT_TRUE(l->load("data.txt"));
    ASSERT_EQ(l->data()->length(), 1);
    EXPECT_EQ((*l->data())[0], 7);
    ASSERT_EQ(l->strings()->length(), 2);
    EXPECT_EQ((*l->strings())[0]->view(), "two");

    folder.write("data2.txt", script.substr(0, script.find(" <strings>")));
    ASSERT_TRUE(l->load("data2.txt"));
    ASSERT_EQ(l->data()->length(), 500);
    EXPECT_EQ((*l->data())[499], 500);
    // Sprites and names are replaced by every load; images stay.
    EXPECT_EQ(l->sprites()->size(), 0);
}

TEST_F(DataLoaderTest, ContainersLoadTheirSubScriptsAsChildren) {
    openArchive({{"kids", "<images> k +kid.png <sprites> one TestSprite k 1 two TestSprite 2 <end>"},
                 {"inner", "<sprites> deep TestSprite 9"}});
    folder.write("main.txt",
                 "<sprites> shown TestContainer:+kids 1 hidden TestContainer:+kids 0\n"
                 " nest TestContainer:+inner 1 plain TestContainer 1 wrong TestSprite:+kids 1");
    auto canvas = lang::make<TestCanvas>();
    auto l = loader(canvas.get());
    int total = l->count("main.txt");
    // 5 records, plus 3 for each "+kids" container (one image entry, two sprites), plus 1 for "+inner".
    EXPECT_EQ(total, 5 + 3 + 3 + 1);
    ASSERT_TRUE(l->load("main.txt"));
    EXPECT_EQ(canvas->loaded, total);  // the loading bar ends exactly full
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(spriteNames(*l), (std::vector<std::string>{"shown", "hidden", "nest", "plain", "wrong"}));

    auto* shown = dynamic_cast<TestContainer*>(static_cast<lang::Object*>(l->sprites()->elementAt(0)));
    auto* hidden = dynamic_cast<TestContainer*>(static_cast<lang::Object*>(l->sprites()->elementAt(1)));
    auto* plain = dynamic_cast<TestContainer*>(static_cast<lang::Object*>(l->sprites()->elementAt(3)));
    ASSERT_TRUE(shown && hidden && plain);
    ASSERT_EQ(shown->children().size(), 2);
    EXPECT_EQ(static_cast<sprite::Sprite*>(shown->children().elementAt(0))->getName().view(), "one");
    EXPECT_EQ(static_cast<sprite::Sprite*>(shown->children().elementAt(1))->getName().view(), "two");
    EXPECT_EQ(shown->setUps, 1);
    EXPECT_EQ(shown->childNames, 2);
    EXPECT_EQ(hidden->children().size(), 2);
    EXPECT_EQ(plain->setUps, 0);  // no sub-script, no set-up
    // Children are not sprites of the outer script.
    EXPECT_EQ(l->names()->get("one"), nullptr);

    // Each container's loader registers the images of its own sub-script.
    EXPECT_EQ(imageRequests, (std::vector<std::string>{"+kid.png", "+kid.png"}));
    EXPECT_EQ(window::containerFillDepth.load(), 0);
}

TEST_F(DataLoaderTest, HiddenContainersRaiseTheFillDepthForTheirImages) {
    openArchive({{"kids", "<images> k +kid.png"}});
    folder.write("main.txt", "<sprites> shown TestContainer:+kids 1 hidden TestContainer:+kids 0");
    std::vector<int> depths;
    media.loadImage = [&depths](const lang::String& path, bool) -> lang::Object* {
        depths.push_back(window::containerFillDepth);
        return new FakeMedia(path, -1);
    };
    auto withDepth = loader();
    ASSERT_TRUE(withDepth->load("main.txt"));
    EXPECT_EQ(depths, (std::vector<int>{0, 1}));
    EXPECT_EQ(window::containerFillDepth.load(), 0);
}

TEST_F(DataLoaderTest, AContainerNamingItsOwnScriptIsReportedNotFollowed) {
    openArchive({{"loop", "<sprites> again TestContainer:+loop 1 after TestSprite 1"}});
    folder.write("top.txt", "<sprites>\n\n top TestContainer:+loop 1");
    auto l = loader();
    EXPECT_EQ(l->count("top.txt"), 1 + 2);
    ASSERT_TRUE(l->load("top.txt"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Error");
    EXPECT_EQ(boxes[0].text,
              "The script +loop is already being loaded and cannot contain itself (+loop, line 1)");
    auto* top = dynamic_cast<TestContainer*>(static_cast<lang::Object*>(l->sprites()->elementAt(0)));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->children().size(), 2);
}

TEST_F(DataLoaderTest, DifferentNamesForOneScriptNestOnlySoDeep) {
    // Twenty scripts, each holding a container of the next: the chain is cut after 16 sub-scripts.
    for (int i = 0; i < 20; ++i) {
        folder.write("s" + std::to_string(i) + ".txt",
                     "<sprites> level" + std::to_string(i) + " TestContainer:s" + std::to_string(i + 1) + ".txt 1");
    }
    folder.write("s20.txt", "<sprites> bottom TestSprite 1");
    auto l = loader();
    EXPECT_EQ(l->count("s0.txt"), 17);
    ASSERT_TRUE(l->load("s0.txt"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The script s17.txt nests containers more than 16 scripts deep (s16.txt, line 1)");
}

TEST_F(DataLoaderTest, MissingScripts) {
    auto l = loader();
    // A missing archive entry is an empty script.
    EXPECT_EQ(l->count("+nothing"), 0);
    EXPECT_TRUE(l->load("+nothing"));
    EXPECT_TRUE(boxes.empty());
    // A missing file is an error, shown once per pass.
    EXPECT_EQ(l->count("absent.txt"), 0);
    EXPECT_FALSE(l->load("absent.txt"));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].title, "Error");
    EXPECT_EQ(boxes[0].text, "Error Opening " + folder.path() + "/absent.txt");
    // A container's missing sub-script names where it was asked for.
    boxes.clear();
    folder.write("holder.txt", "<sprites>\n box TestContainer:gone.txt 1 next TestSprite 1");
    ASSERT_TRUE(l->load("holder.txt"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Error Opening " + folder.path() + "/gone.txt (named in holder.txt, line 2)");
    EXPECT_EQ(spriteNames(*l), (std::vector<std::string>{"box", "next"}));
}

TEST_F(DataLoaderTest, ExceptionsStopThePassAndNameScriptAndLine) {
    folder.write("bad.txt",
                 "<sprites>\n ok TestSprite 1\n ; comment\n bad TestSprite 666\n never TestSprite 2\n");
    auto canvas = lang::make<TestCanvas>();
    auto l = loader(canvas.get());
    EXPECT_EQ(l->count("bad.txt"), 3);  // counting makes no sprites
    EXPECT_FALSE(l->load("bad.txt"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Error");
    // The line is where the tokenizer stands: the record's last number has been read.
    EXPECT_EQ(boxes[0].text, "init refused 666 (bad.txt, line 5)");
    EXPECT_EQ(spriteNames(*l), (std::vector<std::string>{"ok"}));
}

TEST_F(DataLoaderTest, AtNamesGoThroughTheSettingsStore) {
    settingValues["fromdisk"] = "custom/pic.png";
    settingValues["broken"] = "custom/missing.png";
    settingValues["archived"] = "+other";
    folder.write("at.txt", "<images> a @fromdisk b @broken c @archived d @unset");
    auto l = loader();
    ASSERT_TRUE(l->load("at.txt"));
    EXPECT_EQ(imageRequests, (std::vector<std::string>{folder.path() + "/custom/pic.png (required)",
                                                       folder.path() + "/custom/missing.png (required)",
                                                       "+broken", "+other (required)", "+unset (required)"}));
    auto* fromDisk = static_cast<FakeMedia*>(l->images()->get("a"));
    ASSERT_NE(fromDisk, nullptr);
    EXPECT_TRUE(fromDisk->fromDisk);
    EXPECT_FALSE(window::diskImageFlag);
    EXPECT_EQ(pathOf(l->images()->get("b")), "+broken");
    EXPECT_EQ(pathOf(l->images()->get("c")), "+other");

    // Without a settings store the archive entry is the path.
    imageRequests.clear();
    auto noStore = loader(nullptr, false);
    ASSERT_TRUE(noStore->load("at.txt"));
    EXPECT_EQ(imageRequests.front(), "+fromdisk (required)");
}

std::string imagePack(const std::vector<std::pair<std::string, std::string>>& images, int64_t total = -1) {
    std::string body;
    auto word = [](std::string& out, uint32_t v) {
        for (int i = 3; i >= 0; --i)
            out.push_back(static_cast<char>(v >> (8 * i)));
    };
    for (const auto& [name, bytes] : images) {
        word(body, static_cast<uint32_t>(bytes.size()));
        body.push_back(static_cast<char>(name.size() + 1));
        body += name;
        body.push_back('\0');
        for (char c : bytes)
            body.push_back(static_cast<char>(c ^ sprite::kImagePackKey));
    }
    std::string pack;
    word(pack, static_cast<uint32_t>(images.size()));
    word(pack, static_cast<uint32_t>(total >= 0 ? total : static_cast<int64_t>(body.size()) + 8));
    return pack + body;
}

TEST_F(DataLoaderTest, ImagePacksRegisterTheirImages) {
    folder.write("pack.bin", imagePack({{"one", "GIF"}, {"two", "undecodable"}, {"three", "PNG"}}));
    std::string cut = imagePack({{"first", "AAAA"}, {"second", "BBBB"}});
    folder.write("cut.bin", cut.substr(0, cut.size() - 1));
    folder.write("huge.bin", imagePack({{"x", "X"}}, 10000001));
    folder.write("past.bin", imagePack({{"fits", "1"}, {"over", "22"}}, 8 + 6 + 1 + 6 + 1));
    folder.write("packs.txt",
                 "<images> pack.bin cut.bin huge.bin absent.bin past.bin <sprites> s TestSprite one three");
    auto canvas = lang::make<TestCanvas>();
    auto l = loader(canvas.get());
    EXPECT_EQ(l->count("packs.txt"), 6);
    ASSERT_TRUE(l->load("packs.txt"));
    EXPECT_EQ(canvas->loaded, 6);
    EXPECT_EQ(pathOf(l->images()->get("one")), "one=GIF");
    EXPECT_EQ(l->images()->get("two"), nullptr);
    EXPECT_EQ(pathOf(l->images()->get("first")), "first=AAAA");
    EXPECT_EQ(l->images()->get("second"), nullptr);  // cut short: skipped
    EXPECT_EQ(l->images()->get("x"), nullptr);       // implausible total
    EXPECT_EQ(pathOf(l->images()->get("fits")), "fits=1");
    EXPECT_EQ(l->images()->get("over"), nullptr);  // runs past the declared total
    EXPECT_EQ(spriteAt(*l, 0)->imagePaths, (std::vector<std::string>{"one=GIF", "three=PNG"}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DataLoaderTest, ScriptsFromTheArchiveAreReadTwiceFromOneStream) {
    openArchive({{"datfile", "\xEF\xBB\xBF<sprites> a TestSprite 1 b TestSprite 2"}});
    auto canvas = lang::make<TestCanvas>();
    auto l = loader(canvas.get());
    EXPECT_EQ(l->count("+datfile"), 2);
    ASSERT_TRUE(l->load("+datfile"));
    EXPECT_EQ(spriteNames(*l), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(canvas->loaded, 2);
}

// Found by the game-script fuzzer: a record may place or size a sprite at the ends of the int range.
// The engine keeps positions and sizes within a range where bounds, dirty rectangles, hit tests and
// translations cannot overflow, and frame grids within one whose frame count fits.
TEST_F(DataLoaderTest, ExtremeNumbersInRecordsAreClampedBeforeAnyGeometry) {
    media.loadImage = [](const lang::String&, bool) -> lang::Object* {
        return new window::Image(12, 6, window::Image::kCleared);
    };
    folder.write("kid.txt", "<sprites> inner Sprite pic -2147483648 2147483647");
    folder.write("main.txt",
                 "<sprites> far Sprite pic 2147483647 -2147483648\n"
                 " box FancyContainer:kid.txt 500 0 2147483647 2147483647\n"
                 " grid AnimateSprite pic 2147483647 0 2147483647 3\n");
    auto l = loader();
    ASSERT_TRUE(l->load("main.txt"));
    ASSERT_EQ(l->sprites()->size(), 3);
    auto target = lang::make<window::Image>(64, 64);
    auto g = lang::adopt(target->getGraphics());
    for (int i = 0; i < 3; ++i) {
        auto* s = static_cast<sprite::Sprite*>(l->sprites()->elementAt(i));
        s->setVisible(true);
        s->moveBy(2147483647, -2147483647);
        util::RectangleNM out;
        util::Region region;
        s->update(1, &out, &region);
        s->paint(g.get());
        s->hitTest(501, 1);
    }
    const int limit = sprite::Sprite::kCoordinateLimit;
    auto* far = static_cast<sprite::Sprite*>(l->sprites()->elementAt(0));
    EXPECT_EQ(far->getX(), limit);
    EXPECT_EQ(far->getY(), -limit);
    auto* box = static_cast<sprite::Sprite*>(l->sprites()->elementAt(1));
    EXPECT_EQ(box->getBounds().width, limit);
    auto* grid = dynamic_cast<sprite::AnimateSprite*>(static_cast<lang::Object*>(l->sprites()->elementAt(2)));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->getFrameCount(), sprite::AnimateSprite::kMaxGridSide * 3);
}

}  // namespace
