// Tests of the sound decoders: the RIFF reader's checks, Vorbis, MPEG audio and modules from memory.
#include <gtest/gtest.h>

#include "sound/Decoder.h"
#include "tests/sound/SoundTestSupport.h"

namespace {

using namespace soundtest;

std::vector<int16_t> decodeAll(sound::Decoder& decoder, bool loop = false, long limit = 1 << 22) {
    std::vector<int16_t> out;
    std::vector<int16_t> piece(static_cast<size_t>(1000 * decoder.channels()));
    while (static_cast<long>(out.size()) < limit) {
        long n = decoder.read(piece.data(), 1000, loop);
        if (n <= 0)
            break;
        out.insert(out.end(), piece.begin(), piece.begin() + n * decoder.channels());
    }
    return out;
}

std::unique_ptr<sound::Decoder> openWav(const std::vector<uint8_t>& bytes, std::string& error) {
    return sound::openWavDecoder(bytes.data(), bytes.size(), "test.wav", error);
}

TEST(WavDecoderTest, ReadsPcmOfEveryWidthAsSixteenBits) {
    std::vector<int16_t> pcm = {0, 1000, -1000, 32767, -32768};
    std::string error;
    std::vector<uint8_t> mono = wav16(pcm, 22050);
    auto decoder = openWav(mono, error);
    ASSERT_TRUE(decoder) << error;
    EXPECT_EQ(decoder->rate(), 22050);
    EXPECT_EQ(decoder->channels(), 1);
    EXPECT_EQ(decodeAll(*decoder), pcm);
    ASSERT_TRUE(decoder->rewind());
    EXPECT_EQ(decodeAll(*decoder), pcm);

    // 8-bit data is unsigned around 128; a stereo file keeps its two channels interleaved.
    std::vector<uint8_t> eight = wav16({}, 8000);
    eight[34] = 8;     // bits per sample
    eight[32] = 1;     // block size
    eight[28] = 0x40;  // byte rate 8000
    eight[29] = 0x1F;
    eight.insert(eight.end(), {128, 255, 0});
    eight[40] = 3;  // data size
    auto decoder8 = openWav(eight, error);
    ASSERT_TRUE(decoder8) << error;
    EXPECT_EQ(decodeAll(*decoder8), (std::vector<int16_t>{0, 127 << 8, -128 << 8}));

    std::vector<uint8_t> stereoBytes = wav16({1, 2, 3, 4}, 44100, 2);
    auto stereo = openWav(stereoBytes, error);
    ASSERT_TRUE(stereo) << error;
    EXPECT_EQ(stereo->channels(), 2);
    EXPECT_EQ(decodeAll(*stereo), (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(WavDecoderTest, SkipsUnknownChunksWithTheirPadding) {
    std::vector<uint8_t> bytes = wav16({7, 8}, 22050);
    // A LIST chunk of odd length (padded to even) between "fmt " and "data".
    std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    bytes.insert(bytes.begin() + 36, list.begin(), list.end());
    std::string error;
    auto decoder = openWav(bytes, error);
    ASSERT_TRUE(decoder) << error;
    EXPECT_EQ(decodeAll(*decoder), (std::vector<int16_t>{7, 8}));
}

TEST(WavDecoderTest, RefusesMalformedFilesNamingWhatWasExpected) {
    std::string error;
    std::vector<uint8_t> good = wav16(sine(440, 0.01, 22050), 22050);

    EXPECT_FALSE(openWav({'R', 'I', 'F', 'F'}, error));
    EXPECT_NE(error.find("test.wav: not a WAV file"), std::string::npos) << error;

    std::vector<uint8_t> truncated(good.begin(), good.end() - 10);
    EXPECT_FALSE(openWav(truncated, error));
    EXPECT_NE(error.find("truncated"), std::string::npos) << error;

    std::vector<uint8_t> adpcm = good;
    adpcm[20] = 2;
    EXPECT_FALSE(openWav(adpcm, error));
    EXPECT_NE(error.find("expected PCM or float"), std::string::npos) << error;

    std::vector<uint8_t> sixChannels = good;
    sixChannels[22] = 6;
    EXPECT_FALSE(openWav(sixChannels, error));
    EXPECT_NE(error.find("expected 1 or 2"), std::string::npos) << error;

    std::vector<uint8_t> badAlign = good;
    badAlign[32] = 7;
    EXPECT_FALSE(openWav(badAlign, error));
    EXPECT_NE(error.find("block size"), std::string::npos) << error;

    std::vector<uint8_t> noFormat = good;
    std::memcpy(&noFormat[12], "junk", 4);
    EXPECT_FALSE(openWav(noFormat, error));
    EXPECT_NE(error.find("before the \"fmt \" chunk"), std::string::npos) << error;

    // A chunk whose size points far past the end stops the walk instead of reading past the data.
    std::vector<uint8_t> huge = good;
    huge[16] = 0xF0;
    huge[17] = 0xFF;
    huge[18] = 0xFF;
    huge[19] = 0xFF;
    EXPECT_FALSE(openWav(huge, error));
}

TEST(WavDecoderTest, EveryPrefixOfAFileFailsCleanlyOrDecodesWhatIsThere) {
    std::vector<uint8_t> good = wav16(sine(440, 0.005, 22050), 22050);
    for (size_t length = 0; length <= good.size(); ++length) {
        std::vector<uint8_t> prefix(good.begin(), good.begin() + static_cast<long>(length));
        std::string error;
        auto decoder = sound::openSoundDecoder(prefix.data(), prefix.size(), "prefix.wav", error);
        if (decoder)
            decodeAll(*decoder);
        else
            EXPECT_EQ(error.rfind("prefix.wav: ", 0), 0u) << error;
    }
}

TEST(VorbisDecoderTest, DecodesEveryFrameOfTheToneAndRewinds) {
    std::vector<uint8_t> ogg = oggVorbis(sine(440, 0.5, 22050), 22050);
    ASSERT_FALSE(ogg.empty());
    std::string error;
    auto decoder = sound::openSoundDecoder(ogg.data(), ogg.size(), "tone.ogg", error);
    ASSERT_TRUE(decoder) << error;
    EXPECT_EQ(decoder->rate(), 22050);
    EXPECT_EQ(decoder->channels(), 1);
    std::vector<int16_t> first = decodeAll(*decoder);
    EXPECT_EQ(first.size(), 11025u);
    Recording r{22050, {}};
    for (int16_t s : first)
        r.samples.push_back(s / 32768.0f);
    EXPECT_NEAR(frequency(r, audibleSpan(r)), 440.0, 2.0);
    ASSERT_TRUE(decoder->rewind());
    EXPECT_EQ(decodeAll(*decoder), first);
}

TEST(VorbisDecoderTest, CorruptOrTruncatedStreamsFailWithTheirName) {
    std::vector<uint8_t> ogg = oggVorbis(sine(440, 0.2, 22050), 22050);
    std::string error;
    std::vector<uint8_t> header(ogg.begin(), ogg.begin() + 40);
    EXPECT_FALSE(sound::openSoundDecoder(header.data(), header.size(), "cut.ogg", error));
    EXPECT_EQ(error.rfind("cut.ogg: ", 0), 0u) << error;

    // Damage inside the audio pages: decoding goes on or stops, but never reads out of bounds.
    for (size_t cut = 100; cut < ogg.size(); cut += 97) {
        std::vector<uint8_t> damaged = ogg;
        for (size_t i = cut; i < std::min(cut + 16, damaged.size()); ++i)
            damaged[i] ^= 0x5A;
        auto decoder = sound::openSoundDecoder(damaged.data(), damaged.size(), "damaged.ogg", error);
        if (decoder) {
            EXPECT_LE(decodeAll(*decoder).size(), 4410u * 2);
        }
        std::vector<uint8_t> prefix(ogg.begin(), ogg.begin() + static_cast<long>(cut));
        auto shortened = sound::openSoundDecoder(prefix.data(), prefix.size(), "prefix.ogg", error);
        if (shortened) {
            EXPECT_LE(decodeAll(*shortened).size(), 4410u);
        }
    }
}

// MPEG-1 layer III frames of silence: 44.1 kHz, 128 kbit/s, mono, side information all zero.
std::vector<uint8_t> silentMp3(int frames) {
    std::vector<uint8_t> out;
    for (int i = 0; i < frames; ++i) {
        std::vector<uint8_t> frame(417, 0);
        frame[0] = 0xFF;
        frame[1] = 0xFB;
        frame[2] = 0x90;
        frame[3] = 0xC0;
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

TEST(MpegDecoderTest, DecodesFramesToTheirLengthAndRefusesGarbage) {
    std::vector<uint8_t> mp3 = silentMp3(20);
    ASSERT_EQ(sound::detectFormat(mp3.data(), mp3.size()), sound::SoundFormat::Mpeg);
    std::string error;
    auto decoder = sound::openSoundDecoder(mp3.data(), mp3.size(), "quiet.mp3", error);
    ASSERT_TRUE(decoder) << error;
    EXPECT_EQ(decoder->rate(), 44100);
    EXPECT_EQ(decoder->channels(), 1);
    std::vector<int16_t> pcm = decodeAll(*decoder);
    EXPECT_GE(pcm.size(), 18u * 1152);
    EXPECT_LE(pcm.size(), 20u * 1152);
    for (int16_t s : pcm)
        ASSERT_EQ(s, 0);
    ASSERT_TRUE(decoder->rewind());
    EXPECT_EQ(decodeAll(*decoder).size(), pcm.size());

    std::vector<uint8_t> garbage = {0xFF, 0xFB, 0x90, 0xC0, 1, 2, 3};
    EXPECT_FALSE(sound::openSoundDecoder(garbage.data(), garbage.size(), "junk.mp3", error));
    EXPECT_EQ(error.rfind("junk.mp3: ", 0), 0u) << error;
}

TEST(ModuleDecoderTest, PlaysOnceOrLoopsAtTheOutputRate) {
    std::vector<uint8_t> mod = tinyModule(4);
    std::string error;
    auto decoder = sound::openModuleDecoder(mod.data(), mod.size(), 22050, "tiny.mod", error);
    ASSERT_TRUE(decoder) << error;
    EXPECT_EQ(decoder->rate(), 22050);
    EXPECT_EQ(decoder->channels(), 2);
    std::vector<int16_t> once = decodeAll(*decoder);
    // Four rows of 120 ms: about 0.48 s of stereo frames, and not all silent.
    EXPECT_NEAR(static_cast<double>(once.size()) / 2 / 22050, 0.48, 0.05);
    EXPECT_NE(std::count(once.begin(), once.end(), 0), static_cast<long>(once.size()));

    ASSERT_TRUE(decoder->rewind());
    std::vector<int16_t> looped = decodeAll(*decoder, true, static_cast<long>(once.size()) * 3);
    EXPECT_GE(looped.size(), once.size() * 3);

    std::vector<uint8_t> junk(2000, 0x41);
    EXPECT_FALSE(sound::openModuleDecoder(junk.data(), junk.size(), 22050, "junk.mod", error));
    EXPECT_NE(error.find("junk.mod: not a tracker module"), std::string::npos) << error;
}

TEST(DecoderTest, FormatsAreToldApartByContent) {
    std::vector<uint8_t> wav = wav16({1}, 22050);
    std::vector<uint8_t> ogg = oggVorbis(sine(440, 0.05, 22050), 22050);
    EXPECT_EQ(sound::detectFormat(wav.data(), wav.size()), sound::SoundFormat::Wav);
    EXPECT_EQ(sound::detectFormat(ogg.data(), ogg.size()), sound::SoundFormat::Vorbis);
    const uint8_t id3[] = {'I', 'D', '3', 4, 0};
    EXPECT_EQ(sound::detectFormat(id3, sizeof id3), sound::SoundFormat::Mpeg);
    const uint8_t text[] = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(sound::detectFormat(text, sizeof text), sound::SoundFormat::Unknown);
    EXPECT_EQ(sound::detectFormat(nullptr, 0), sound::SoundFormat::Unknown);
    std::string error;
    EXPECT_FALSE(sound::openSoundDecoder(text, sizeof text, "hello.txt", error));
    EXPECT_NE(error.find("hello.txt: unknown sound format"), std::string::npos);
}

}  // namespace
