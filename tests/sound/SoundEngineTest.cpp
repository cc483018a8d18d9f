// Tests of the sound engine through OpenAL Soft's wave back-end: what was played is read back.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "lang/Arrays.h"
#include "lang/Ref.h"
#include "sound/SoundEngine.h"
#include "tests/sound/SoundTestSupport.h"

namespace {

using namespace soundtest;
using sound::SoundEngine;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class SoundEngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { output_ = useWaveOutput(); }

    void SetUp() override {
        sound::EngineOptions options;
        options.mixBufferMs = 20;
        ASSERT_TRUE(SoundEngine::start(options)) << SoundEngine::lastStartError();
    }
    void TearDown() override {
        SoundEngine::shutdown();
        SoundEngine::setMasterVolume(255);
    }

    // Shuts the engine down, which completes the output file, and reads it.
    Recording finish() {
        SoundEngine::shutdown();
        return readRecording(output_);
    }

    int32_t loadWav(const std::vector<int16_t>& pcm, int rate = 22050) {
        std::vector<uint8_t> bytes = wav16(pcm, rate);
        std::string error;
        int32_t handle = SoundEngine::loadSample(bytes.data(), bytes.size(), "tone.wav", &error);
        EXPECT_NE(handle, 0) << error;
        return handle;
    }

    static inline std::filesystem::path output_;
};

TEST_F(SoundEngineTest, StartsWithThirtyTwoChannelsAtTheOutputRate) {
    EXPECT_TRUE(SoundEngine::isRunning());
    EXPECT_EQ(SoundEngine::channelCount(), 32);
    sound::EngineOptions again;
    EXPECT_TRUE(SoundEngine::start(again));  // already running
    // The mix buffer asked for by the first start in the process (the fixture's 20 ms).
    EXPECT_NEAR(SoundEngine::updateMs(), 20, 1);
    EXPECT_STREQ(std::getenv("ALSOFT_CONF"), (output_.parent_path() / "alsoft.conf").c_str());
    Recording r = finish();
    EXPECT_EQ(r.rate, 22050);
    EXPECT_FALSE(SoundEngine::isRunning());
    EXPECT_EQ(SoundEngine::updateMs(), 0);
}

TEST_F(SoundEngineTest, ASampleComesOutAtItsPitchAndLength) {
    int32_t tone = loadWav(sine(440, 0.5, 22050));
    EXPECT_EQ(SoundEngine::defaultFrequency(tone), 22050);
    int channel = SoundEngine::playSample(tone, -1, false, false);
    ASSERT_GE(channel, 0);
    EXPECT_TRUE(SoundEngine::isChannelActive(channel, tone));
    sleepMs(900);
    EXPECT_FALSE(SoundEngine::isChannelActive(channel, tone));  // played to its end
    Recording r = finish();
    Span span = audibleSpan(r);
    EXPECT_NEAR(span.length() / 22050.0, 0.5, 0.01);
    EXPECT_NEAR(frequency(r, span), 440.0, 4.0);
    EXPECT_GT(peak(r), 0.1);
}

TEST_F(SoundEngineTest, FrequencyAndMasterVolumeShapeTheOutput) {
    // Twice the sample's rate: an octave up, in half the time.
    int32_t tone = loadWav(sine(440, 0.4, 22050));
    int channel = SoundEngine::playSample(tone, -1, false, true);
    SoundEngine::setChannelFrequency(channel, tone, 44100);
    SoundEngine::setChannelPaused(channel, tone, false);
    sleepMs(400);
    // The same again with the effects master volume at half.
    SoundEngine::setMasterVolume(128);
    channel = SoundEngine::playSample(tone, -1, false, false);
    sleepMs(500);
    Recording r = finish();
    Span span = audibleSpan(r);
    Recording first = r, second = r;
    long middle = span.first + static_cast<long>(0.3 * 22050);
    first.samples.assign(r.samples.begin(), r.samples.begin() + middle);
    second.samples.assign(r.samples.begin() + middle, r.samples.end());
    Span firstSpan = audibleSpan(first);
    EXPECT_NEAR(firstSpan.length() / 22050.0, 0.2, 0.01);
    EXPECT_NEAR(frequency(first, firstSpan), 880.0, 8.0);
    Span secondSpan = audibleSpan(second, 0.005f);
    EXPECT_NEAR(secondSpan.length() / 22050.0, 0.4, 0.01);
    EXPECT_NEAR(frequency(second, secondSpan), 440.0, 4.0);
    EXPECT_NEAR(peak(second) / peak(first), 128.0 / 255.0, 0.03);
}

TEST_F(SoundEngineTest, VolumeZeroIsSilence) {
    int32_t tone = loadWav(sine(440, 0.3, 22050, 0.9));
    int channel = SoundEngine::playSample(tone, -1, false, true);
    SoundEngine::setChannelVolume(channel, tone, 0);
    SoundEngine::setChannelPaused(channel, tone, false);
    sleepMs(400);
    Recording r = finish();
    ASSERT_GT(r.samples.size(), 0u);
    EXPECT_EQ(peak(r), 0.0f);
}

TEST_F(SoundEngineTest, AStoppedChannelFallsSilent) {
    int32_t tone = loadWav(sine(440, 3.0, 22050));
    int channel = SoundEngine::playSample(tone, -1, true, false);
    sleepMs(300);
    SoundEngine::stopChannel(channel, tone);
    EXPECT_FALSE(SoundEngine::isChannelActive(channel, tone));
    sleepMs(300);
    Recording r = finish();
    Span span = audibleSpan(r);
    EXPECT_GT(span.length(), 0);
    EXPECT_LT(span.length() / 22050.0, 1.5);
    // Nothing after the stop: the recording ends in silence well past the last sound.
    EXPECT_LT(span.last, static_cast<long>(r.samples.size()) - 22050 / 10);
}

TEST_F(SoundEngineTest, APausedChannelResumesWhereItStopped) {
    int32_t tone = loadWav(sine(440, 0.6, 22050));
    int channel = SoundEngine::playSample(tone, -1, false, false);
    sleepMs(200);
    SoundEngine::setChannelPaused(channel, tone, true);
    EXPECT_TRUE(SoundEngine::isChannelPaused(channel, tone));
    EXPECT_TRUE(SoundEngine::isChannelActive(channel, tone));  // a paused channel stays its sound's
    sleepMs(300);
    SoundEngine::setChannelPaused(channel, tone, false);
    sleepMs(700);
    Recording r = finish();
    Span span = audibleSpan(r);
    long sounding = 0;
    for (long i = span.first; i <= span.last; ++i)
        if (std::fabs(r.samples[static_cast<size_t>(i)]) > 0.01f)
            ++sounding;
    // All of the tone is heard, once, with the pause as one silent stretch in the middle.
    EXPECT_GT(longestGap(r, span), 22050 / 10);
    EXPECT_NEAR(static_cast<double>(sounding) / 22050.0, 0.6 * 0.9, 0.08);
    EXPECT_GT(span.length() / 22050.0, 0.8);
}

TEST_F(SoundEngineTest, ALoopingStreamRunsPastItsLengthWithoutAGap) {
    // 0.25 s of a 441 Hz tone: exactly 50 samples a period, so the loop joins in phase.
    auto bytes = lang::make<lang::ByteArray>(0);
    std::vector<uint8_t> ogg = oggVorbis(sine(441, 0.25, 22050), 22050);
    bytes->setSize(static_cast<int>(ogg.size()));
    std::memcpy(bytes->data(), ogg.data(), ogg.size());
    std::string error;
    int32_t stream = SoundEngine::openStream(bytes.get(), "loop.ogg", &error);
    ASSERT_NE(stream, 0) << error;
    EXPECT_GE(bytes->referenceCount(), 2);  // the engine keeps the bytes it decodes from
    int channel = SoundEngine::playStream(stream, true, false);
    ASSERT_GE(channel, 0);
    sleepMs(1300);
    EXPECT_TRUE(SoundEngine::isChannelActive(channel, stream));
    SoundEngine::stop(stream);
    EXPECT_FALSE(SoundEngine::isChannelActive(channel, stream));
    sleepMs(100);
    Recording r = finish();
    Span span = audibleSpan(r);
    EXPECT_GT(span.length() / 22050.0, 1.0);  // four times its own length and more
    EXPECT_LT(longestGap(r, span), 10);
    EXPECT_NEAR(frequency(r, span), 441.0, 3.0);
}

TEST_F(SoundEngineTest, AStreamPlayedOnceEndsAndFreesItsChannel) {
    auto bytes = lang::make<lang::ByteArray>(0);
    std::vector<uint8_t> ogg = oggVorbis(sine(441, 0.3, 22050), 22050);
    bytes->setSize(static_cast<int>(ogg.size()));
    std::memcpy(bytes->data(), ogg.data(), ogg.size());
    int32_t stream = SoundEngine::openStream(bytes.get(), "once.ogg", nullptr);
    int channel = SoundEngine::playStream(stream, false, false);
    ASSERT_GE(channel, 0);
    sleepMs(800);
    EXPECT_FALSE(SoundEngine::isChannelActive(channel, stream));
    Recording r = finish();
    EXPECT_NEAR(audibleSpan(r).length() / 22050.0, 0.3, 0.02);
}

TEST_F(SoundEngineTest, AModulePlaysAndEnds) {
    std::vector<uint8_t> mod = tinyModule(4);
    std::string error;
    int32_t song = SoundEngine::loadSong(mod.data(), mod.size(), "tiny.mod", &error);
    ASSERT_NE(song, 0) << error;
    ASSERT_TRUE(SoundEngine::playSong(song, false));
    EXPECT_TRUE(SoundEngine::isSongActive(song));
    sleepMs(1000);
    EXPECT_FALSE(SoundEngine::isSongActive(song));
    Recording r = finish();
    Span span = audibleSpan(r);
    EXPECT_NEAR(span.length() / 22050.0, 0.48, 0.06);
    EXPECT_GT(peak(r), 0.05);
}

TEST_F(SoundEngineTest, ChannelsAreTakenOverOnlyByTheirNewSound) {
    int32_t first = loadWav(sine(440, 2.0, 22050));
    int32_t second = loadWav(sine(660, 2.0, 22050));
    int channel = SoundEngine::playSample(first, 5, false, false);
    EXPECT_EQ(channel, 5);
    // A busy channel is not taken when others are free.
    EXPECT_NE(SoundEngine::playSample(second, 5, false, false), 5);
    // With every channel busy, the effect started longest ago gives way.
    for (int i = 0; i < 40; ++i)
        SoundEngine::playSample(second, -1, false, false);
    EXPECT_FALSE(SoundEngine::isChannelActive(channel, first));
    EXPECT_TRUE(SoundEngine::isChannelActive(channel, second));
    // The old owner's stale channel number no longer reaches the new sound.
    SoundEngine::stopChannel(channel, first);
    SoundEngine::setChannelPaused(channel, first, true);
    EXPECT_TRUE(SoundEngine::isChannelActive(channel, second));
    EXPECT_FALSE(SoundEngine::isChannelPaused(channel, second));
}

TEST_F(SoundEngineTest, FreedAndShutDownHandlesAreUnknownAndHarmless) {
    int32_t tone = loadWav(sine(440, 1.0, 22050));
    int channel = SoundEngine::playSample(tone, -1, true, false);
    SoundEngine::free(tone);
    EXPECT_FALSE(SoundEngine::isKnown(tone));
    EXPECT_FALSE(SoundEngine::isChannelActive(channel, tone));
    EXPECT_EQ(SoundEngine::playSample(tone, -1, false, false), -1);

    int32_t other = loadWav(sine(440, 1.0, 22050));
    SoundEngine::shutdown();
    EXPECT_FALSE(SoundEngine::isKnown(other));
    // Everything is silent without the engine.
    EXPECT_EQ(SoundEngine::playSample(other, -1, false, false), -1);
    SoundEngine::setChannelVolume(0, other, 10);
    SoundEngine::stop(other);
    std::vector<uint8_t> bytes = wav16({1, 2}, 22050);
    std::string error;
    EXPECT_EQ(SoundEngine::loadSample(bytes.data(), bytes.size(), "late.wav", &error), 0);
    EXPECT_NE(error.find("late.wav"), std::string::npos);

    // A restart hands out new handles that never collide with the old ones.
    ASSERT_TRUE(SoundEngine::start(sound::EngineOptions{}));
    int32_t fresh = loadWav({1, 2, 3});
    EXPECT_GT(fresh, other);
}

TEST_F(SoundEngineTest, BadDataFailsWithItsNameAndTheEngineGoesOn) {
    std::vector<uint8_t> junk(100, 0x33);
    std::string error;
    EXPECT_EQ(SoundEngine::loadSample(junk.data(), junk.size(), "junk.wav", &error), 0);
    EXPECT_NE(error.find("junk.wav"), std::string::npos);
    EXPECT_EQ(SoundEngine::loadSong(junk.data(), junk.size(), "junk.xm", &error), 0);
    EXPECT_NE(error.find("junk.xm"), std::string::npos);
    auto bytes = lang::make<lang::ByteArray>(4);
    EXPECT_EQ(SoundEngine::openStream(bytes.get(), "empty.ogg", &error), 0);
    EXPECT_EQ(SoundEngine::openStream(nullptr, "none.ogg", &error), 0);
    EXPECT_TRUE(SoundEngine::isRunning());
}

TEST(SoundEngineStartTest, AMissingDeviceLeavesTheEngineSilent) {
    useWaveOutput();
    sound::EngineOptions options;
    options.deviceName = "no such device";
    EXPECT_FALSE(SoundEngine::start(options));
    EXPECT_FALSE(SoundEngine::isRunning());
    EXPECT_NE(SoundEngine::lastStartError().find("no such device"), std::string::npos);
    EXPECT_EQ(SoundEngine::channelCount(), 0);
    EXPECT_EQ(SoundEngine::playSample(1, 0, false, false), -1);
    EXPECT_FALSE(SoundEngine::playSong(1, true));
    SoundEngine::shutdown();
}

// The game's third start attempt forces ALSA after the first ones have made OpenAL Soft settle on another
// back-end (here its wave writer). The engine then writes the mix to ALSA itself; ALSA's file plugin
// records what reached it.
TEST(SoundEngineStartTest, AForcedAlsaStartAfterAnotherBackEndPlaysThroughAlsaItself) {
    const std::filesystem::path wave = useWaveOutput();
    sound::EngineOptions first;
    first.deviceName = "no such device";
    ASSERT_FALSE(SoundEngine::start(first));

    const std::filesystem::path raw = scratchFolder() / "alsa.raw";
    sound::EngineOptions forced;
    forced.forceAlsa = true;
    forced.mixBufferMs = 10;
    forced.deviceName = "file:FILE=" + raw.string() + ",FORMAT=raw";
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(SoundEngine::start(forced)) << SoundEngine::lastStartError();
    EXPECT_EQ(SoundEngine::channelCount(), 32);
    EXPECT_NEAR(SoundEngine::updateMs(), 10, 1);
    std::vector<uint8_t> bytes = wav16(sine(440, 0.3, 22050), 22050);
    std::string error;
    int32_t tone = SoundEngine::loadSample(bytes.data(), bytes.size(), "tone.wav", &error);
    ASSERT_NE(tone, 0) << error;
    ASSERT_GE(SoundEngine::playSample(tone, -1, false, false), 0);
    sleepMs(700);
    SoundEngine::shutdown();
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    Recording r = readRawStereo16(raw, 22050);
    Span span = audibleSpan(r);
    EXPECT_NEAR(span.length() / 22050.0, 0.3, 0.01);
    EXPECT_NEAR(frequency(r, span), 440.0, 4.0);
    // The file plugin takes data as fast as it comes: the output keeps to the clock, a buffer ahead at most.
    EXPECT_LT(r.samples.size() / 22050.0, elapsed + 0.1);
    EXPECT_GT(r.samples.size() / 22050.0, elapsed - 0.2);
    EXPECT_FALSE(std::filesystem::exists(wave)) << "the sound went through OpenAL Soft's own back-end";

    // An ALSA device that cannot be opened fails the start with its name, and the engine stays silent.
    forced.deviceName = "no such pcm";
    EXPECT_FALSE(SoundEngine::start(forced));
    EXPECT_NE(SoundEngine::lastStartError().find("no such pcm"), std::string::npos);
    EXPECT_FALSE(SoundEngine::isRunning());
    EXPECT_EQ(SoundEngine::updateMs(), 0);
}

}  // namespace
