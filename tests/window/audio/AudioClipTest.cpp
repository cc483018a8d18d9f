// Tests of window::AudioClip: loading from files and the archive, playing, fading, and many threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "lang/ResourceFile.h"
#include "sound/SoundEngine.h"
#include "tests/sound/SoundTestSupport.h"
#include "window/AudioClip.h"

namespace {

using namespace soundtest;
using window::AudioClip;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

lang::String path(const std::filesystem::path& p) {
    return lang::String(p.c_str());
}

// Writes a test sound file once per process and answers its path.
std::filesystem::path soundFile(const char* name, const std::vector<uint8_t>& bytes) {
    std::filesystem::path p = scratchFolder() / name;
    writeFile(p, bytes);
    return p;
}

class AudioClipTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { output_ = useWaveOutput(); }
    void SetUp() override { ASSERT_TRUE(AudioClip::initSound(20, false)); }
    void TearDown() override {
        AudioClip::shutdownSound();
        AudioClip::setMasterVolume(255);
    }
    Recording finish() {
        AudioClip::shutdownSound();
        return readRecording(output_);
    }
    static inline std::filesystem::path output_;
};

TEST(AudioClipWithoutSoundTest, EveryOperationIsSilentAndLoadAnswersFalse) {
    useWaveOutput();
    ASSERT_FALSE(AudioClip::isSoundReady());
    std::filesystem::path tone = soundFile("quiet.wav", wav16(sine(440, 0.1, 22050), 22050));
    lang::Ref<AudioClip> clip = lang::make<AudioClip>();
    EXPECT_FALSE(clip->load(path(tone), AudioClip::kSample));
    EXPECT_FALSE(clip->loadFailed());  // nothing was tried
    clip->play();
    clip->loop();
    clip->pause();
    clip->setVolume(100);
    clip->setSpeed(2.0f);
    clip->fadeVolume(0, 10, true);
    EXPECT_TRUE(clip->stepFade());
    clip->stop();
    clip->unload();
    AudioClip::setMasterVolume(10);
    AudioClip::shutdownSound();
    EXPECT_EQ(clip->getChannel(), -1);
    EXPECT_FALSE(clip->isActive());
    EXPECT_EQ(clip->getVolume(), 90);  // the fields still follow the calls, ready for when sound is back
}

TEST_F(AudioClipTest, APlayedSampleIsHeardAtItsPitchAndLength) {
    std::filesystem::path tone = soundFile("tone.wav", wav16(sine(440, 0.5, 22050), 22050));
    lang::Ref<AudioClip> clip = lang::make<AudioClip>();
    ASSERT_TRUE(clip->load(path(tone), AudioClip::kSample)) << clip->lastError();
    EXPECT_EQ(clip->getDefaultFrequency(), 22050);
    clip->play();
    EXPECT_TRUE(clip->isActive());
    sleepMs(800);
    Recording r = finish();
    Span span = audibleSpan(r);
    EXPECT_NEAR(span.length() / 22050.0, 0.5, 0.01);
    EXPECT_NEAR(frequency(r, span), 440.0, 4.0);
}

TEST_F(AudioClipTest, VolumeZeroIsSilenceAndSpeedScalesTheFrequency) {
    std::filesystem::path tone = soundFile("loud.wav", wav16(sine(440, 0.4, 22050, 0.9), 22050));
    lang::Ref<AudioClip> quiet = lang::make<AudioClip>();
    ASSERT_TRUE(quiet->load(path(tone), AudioClip::kSample));
    quiet->setVolume(0);
    quiet->play();
    sleepMs(500);
    Recording silent = finish();
    ASSERT_GT(silent.samples.size(), 0u);
    EXPECT_EQ(peak(silent), 0.0f);

    ASSERT_TRUE(AudioClip::initSound(-1, false));
    lang::Ref<AudioClip> fast = lang::make<AudioClip>();
    ASSERT_TRUE(fast->load(path(tone), AudioClip::kSample));
    fast->setSpeed(1.5f);
    fast->play();
    sleepMs(500);
    Recording r = finish();
    Span span = audibleSpan(r);
    EXPECT_NEAR(frequency(r, span), 660.0, 6.0);
    EXPECT_NEAR(span.length() / 22050.0, 0.4 / 1.5, 0.01);
}

TEST_F(AudioClipTest, AStoppedClipStops) {
    std::filesystem::path tone = soundFile("long.wav", wav16(sine(440, 3.0, 22050), 22050));
    lang::Ref<AudioClip> clip = lang::make<AudioClip>();
    ASSERT_TRUE(clip->load(path(tone), AudioClip::kSample));
    clip->loop();
    sleepMs(300);
    clip->stop();
    EXPECT_EQ(clip->getChannel(), -1);
    EXPECT_FALSE(clip->isActive());
    sleepMs(300);
    Recording r = finish();
    Span span = audibleSpan(r);
    EXPECT_GT(span.length(), 0);
    EXPECT_LT(span.length() / 22050.0, 1.5);
}

TEST_F(AudioClipTest, ALoopingMusicStreamRunsPastItsLengthWithoutAGap) {
    std::filesystem::path music = soundFile("music.ogg", oggVorbis(sine(441, 0.25, 22050), 22050));
    lang::Ref<AudioClip> clip = lang::make<AudioClip>();
    ASSERT_TRUE(clip->load(path(music), AudioClip::kStream)) << clip->lastError();
    clip->loop();
    sleepMs(1200);
    EXPECT_TRUE(clip->isActive());
    clip->stop();
    Recording r = finish();
    Span span = audibleSpan(r);
    EXPECT_GT(span.length() / 22050.0, 1.0);
    EXPECT_LT(longestGap(r, span), 10);
}

TEST_F(AudioClipTest, AModuleSongPlays) {
    std::filesystem::path song = soundFile("tiny.mod", tinyModule(4));
    lang::Ref<AudioClip> clip = lang::make<AudioClip>();
    ASSERT_TRUE(clip->load(path(song), AudioClip::kModule)) << clip->lastError();
    clip->setVolume(255);
    clip->play();
    EXPECT_TRUE(clip->isActive());
    clip->pause();
    EXPECT_TRUE(clip->isPaused());
    clip->loop();  // a song already on its way is only unpaused
    EXPECT_FALSE(clip->isPaused());
    EXPECT_TRUE(clip->isActive());
    clip->stop();
    EXPECT_FALSE(clip->isActive());
    clip->play();
    sleepMs(900);
    EXPECT_FALSE(clip->isActive());  // played once, to its end
    Recording r = finish();
    EXPECT_NEAR(audibleSpan(r).length() / 22050.0, 0.48, 0.06);
}

TEST_F(AudioClipTest, AFadeOfFiftyFramesEndsExactlyOnItsTarget) {
    lang::Ref<AudioClip> clip = lang::make<AudioClip>();
    clip->setVolume(0);
    clip->fadeVolume(255, 50, false);
    for (int frame = 1; frame < 50; ++frame) {
        ASSERT_TRUE(clip->stepFade());
        EXPECT_LT(clip->getVolume(), 255) << "frame " << frame;
        // Whole steps of 5.1 with the fractions carried over: never more than one behind 5.1 n.
        EXPECT_NEAR(clip->getVolume(), 5.1 * frame, 1.0) << "frame " << frame;
        EXPECT_LE(clip->getVolume(), 5.1 * frame) << "frame " << frame;
    }
    EXPECT_TRUE(clip->stepFade());
    EXPECT_EQ(clip->getVolume(), 255);
    EXPECT_FALSE(clip->stepFade());

    // A fade down moves by whole steps too; frames below 1 set the volume at once.
    clip->fadeVolume(0, 4, false);
    for (int i = 0; i < 3; ++i)
        clip->stepFade();
    EXPECT_NEAR(clip->getVolume(), 255 - 3 * 63.75, 1.0);
    clip->fadeVolume(17, 0, false);
    EXPECT_EQ(clip->getVolume(), 17);
    EXPECT_FALSE(clip->stepFade());

    // From the engine default, a fade starts at full volume.
    lang::Ref<AudioClip> fresh = lang::make<AudioClip>();
    fresh->fadeVolume(0, 2, false);
    fresh->stepFade();
    EXPECT_EQ(fresh->getVolume(), 128);

    clip->setSpeed(1.0f);
    clip->fadeSpeed(2.0f, 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(clip->stepFade());
    EXPECT_FLOAT_EQ(clip->getSpeed(), 1.75f);
    EXPECT_TRUE(clip->stepFade());
    EXPECT_EQ(clip->getSpeed(), 2.0f);
    EXPECT_FALSE(clip->stepFade());
}

TEST_F(AudioClipTest, AFadeOutWithPauseLeavesMusicPausedAndLoopResumesIt) {
    std::filesystem::path music = soundFile("fade.ogg", oggVorbis(sine(441, 0.5, 22050), 22050));
    lang::Ref<AudioClip> clip = lang::make<AudioClip>();
    ASSERT_TRUE(clip->load(path(music), AudioClip::kStream));
    clip->setVolume(200);
    clip->loop();
    int channel = clip->getChannel();
    ASSERT_GE(channel, 0);
    clip->fadeVolume(0, 30, true);
    for (int i = 0; i < 30; ++i)
        EXPECT_TRUE(clip->stepFade());
    EXPECT_FALSE(clip->stepFade());
    EXPECT_EQ(clip->getVolume(), 0);
    EXPECT_TRUE(clip->isPaused());
    EXPECT_TRUE(clip->isActive());

    clip->loop();  // unpaused where it was, not restarted
    EXPECT_FALSE(clip->isPaused());
    EXPECT_TRUE(clip->isActive());
    EXPECT_EQ(clip->getChannel(), channel);
    EXPECT_EQ(clip->getVolume(), 0);

    // play() always restarts from the beginning.
    clip->pause();
    clip->play();
    EXPECT_FALSE(clip->isPaused());
    EXPECT_TRUE(clip->isActive());
}

TEST_F(AudioClipTest, UnloadedClipsComeBackOnDemandAndMissingOnesKeepFailing) {
    std::filesystem::path tone = soundFile("again.wav", wav16(sine(440, 0.2, 22050), 22050));
    lang::Ref<AudioClip> clip = lang::make<AudioClip>();
    ASSERT_TRUE(clip->load(path(tone), AudioClip::kSample));
    clip->unload();
    EXPECT_FALSE(clip->isLoaded());
    clip->play();
    EXPECT_TRUE(clip->isLoaded());
    EXPECT_TRUE(clip->isActive());

    // After an engine restart the old handle is gone; the next play loads again.
    AudioClip::shutdownSound();
    ASSERT_TRUE(AudioClip::initSound(-1, false));
    EXPECT_FALSE(clip->isLoaded());
    clip->play();
    EXPECT_TRUE(clip->isLoaded());

    std::filesystem::path missing = scratchFolder() / "missing.wav";
    std::filesystem::remove(missing);
    lang::Ref<AudioClip> ghost = lang::make<AudioClip>();
    EXPECT_FALSE(ghost->load(path(missing), AudioClip::kSample));
    EXPECT_TRUE(ghost->loadFailed());
    EXPECT_NE(ghost->lastError().find("missing.wav: cannot open"), std::string::npos) << ghost->lastError();
    // Once failed, play does not try again, even when the file has appeared since.
    writeFile(missing, wav16(sine(440, 0.2, 22050), 22050));
    ghost->play();
    EXPECT_FALSE(ghost->isLoaded());
    EXPECT_FALSE(ghost->isActive());
    // An explicit load does.
    EXPECT_TRUE(ghost->load(path(missing), AudioClip::kSample));
    EXPECT_FALSE(ghost->loadFailed());
}

TEST_F(AudioClipTest, FileNamesAreWindowsTextWithEitherSeparator) {
    // "café.wav" on disk (UTF-8), named in Windows-1252 with a backslash before the file name.
    std::filesystem::path file = soundFile("caf\xc3\xa9.wav", wav16(sine(440, 0.1, 22050), 22050));
    std::string name = scratchFolder().string() + "\\caf\xe9.wav";
    lang::Ref<AudioClip> clip = lang::make<AudioClip>();
    EXPECT_TRUE(clip->load(lang::String(name.c_str()), AudioClip::kSample)) << clip->lastError();
    EXPECT_TRUE(std::filesystem::exists(file));
}

TEST_F(AudioClipTest, CorruptFilesFailWithTheirNameAndWhatWasExpected) {
    std::vector<uint8_t> bad = wav16(sine(440, 0.1, 22050), 22050);
    bad.resize(bad.size() / 2);
    std::filesystem::path file = soundFile("half.wav", bad);
    lang::Ref<AudioClip> clip = lang::make<AudioClip>();
    EXPECT_FALSE(clip->load(path(file), AudioClip::kSample));
    EXPECT_TRUE(clip->loadFailed());
    EXPECT_NE(clip->lastError().find("half.wav"), std::string::npos);
    EXPECT_NE(clip->lastError().find("truncated"), std::string::npos) << clip->lastError();
    EXPECT_FALSE(clip->load(path(file), 7));
    EXPECT_NE(clip->lastError().find("unknown clip kind 7"), std::string::npos);
    clip->play();
    EXPECT_FALSE(clip->isActive());
}

// A data archive of the given entries, in the archive layout: an unused word, an empty preamble,
// the entry count, then per entry its name length, name, offset and size.
std::filesystem::path writeArchive(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& entries) {
    std::vector<uint8_t> directory;
    size_t directorySize = 12;
    for (auto& [name, bytes] : entries)
        directorySize += 1 + name.size() + 8;
    std::vector<uint8_t> out;
    put32(out, 0);
    put32(out, 0);
    put32(out, static_cast<uint32_t>(entries.size()));
    size_t offset = directorySize;
    for (auto& [name, bytes] : entries) {
        out.push_back(static_cast<uint8_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        put32(out, static_cast<uint32_t>(offset));
        put32(out, static_cast<uint32_t>(bytes.size()));
        offset += bytes.size();
    }
    for (auto& [name, bytes] : entries)
        out.insert(out.end(), bytes.begin(), bytes.end());
    std::filesystem::path p = scratchFolder() / "sounds.bin";
    writeFile(p, out);
    return p;
}

TEST_F(AudioClipTest, PlusNamesAreEntriesOfTheDataArchive) {
    std::filesystem::path archive = writeArchive({
        {"beep", wav16(sine(440, 0.3, 22050), 22050)},
        {"tune", oggVorbis(sine(441, 0.3, 22050), 22050)},
        {"song", tinyModule(2)},
    });
    lang::openArchive(archive.c_str());
    lang::Ref<AudioClip> beep = lang::make<AudioClip>();
    lang::Ref<AudioClip> tune = lang::make<AudioClip>();
    lang::Ref<AudioClip> song = lang::make<AudioClip>();
    lang::Ref<AudioClip> none = lang::make<AudioClip>();
    EXPECT_TRUE(beep->load(lang::String("+beep"), AudioClip::kSample)) << beep->lastError();
    EXPECT_TRUE(tune->load(lang::String("+tune"), AudioClip::kStream)) << tune->lastError();
    EXPECT_TRUE(song->load(lang::String("+song"), AudioClip::kModule)) << song->lastError();
    EXPECT_FALSE(none->load(lang::String("+Beep"), AudioClip::kSample));  // names keep their case
    EXPECT_NE(none->lastError().find("+Beep: no such entry"), std::string::npos) << none->lastError();
    lang::closeArchives();
    // The stream keeps its bytes: it plays after the archive is closed.
    tune->play();
    EXPECT_TRUE(tune->isActive());
}

TEST_F(AudioClipTest, ClipsArePlayedStoppedAndFadedFromThreeThreadsAtOnce) {
    std::filesystem::path tone = soundFile("busy.wav", wav16(sine(440, 0.2, 22050), 22050));
    std::filesystem::path music = soundFile("busy.ogg", oggVorbis(sine(441, 0.3, 22050), 22050));
    lang::Ref<AudioClip> effect = lang::make<AudioClip>();
    lang::Ref<AudioClip> stream = lang::make<AudioClip>();
    ASSERT_TRUE(effect->load(path(tone), AudioClip::kSample));
    ASSERT_TRUE(stream->load(path(music), AudioClip::kStream));
    std::atomic<bool> go{false};
    auto worker = [&](int role) {
        while (!go.load())
            std::this_thread::yield();
        for (int i = 0; i < 200; ++i) {
            AudioClip* clip = (i + role) % 2 == 0 ? effect.get() : stream.get();
            switch (role) {
                case 0:
                    clip->play();
                    clip->loop();
                    break;
                case 1:
                    clip->stop();
                    clip->setSpeed(1.0f + static_cast<float>(i % 3) * 0.25f);
                    if (i % 50 == 0)
                        clip->unload();
                    break;
                default:
                    clip->fadeVolume(i % 256, 5, i % 2 == 0);
                    clip->fadeSpeed(1.5f, 3);
                    clip->stepFade();
                    clip->pause();
                    break;
            }
        }
    };
    std::thread a(worker, 0), b(worker, 1), c(worker, 2);
    go.store(true);
    a.join();
    b.join();
    c.join();
    effect->play();
    EXPECT_TRUE(effect->isActive());
    EXPECT_TRUE(AudioClip::isSoundReady());
}

}  // namespace
