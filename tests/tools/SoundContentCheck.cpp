// Checks of the built sounds: every sound of the list is in the archive, decodes through the game's own
// decoders at the engine's rate, has the length its source gives, peaks below -1 dBFS, has no DC, sits
// at its kind's loudness, and every loop repeats without a click at its seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "game/SceneNames.h"
#include "lang/Ref.h"
#include "lang/ResourceFile.h"
#include "lang/String.h"
#include "sound/Decoder.h"
#include "tools/SoundLevel.h"
#include "tools/SoundList.h"
#include "tools/SoundRecipe.h"
#include "tools/SoundScore.h"

namespace {

using namespace soundgen;

const std::string kSoundDir = std::string(LUMAROO_DATA_DIR) + "/sound";

// What a sound's source promises: its kind, length, whether it loops, its level offset.
struct Promise {
    SoundKind kind;
    double seconds;
    bool loop;
    double levelDb;
};

Promise promiseOf(const std::string& source) {
    if (source.size() > 3 && source.compare(source.size() - 3, 3, ".fx") == 0) {
        Recipe recipe = readRecipe(source);
        return {recipe.kind, recipe.length, recipe.loop, recipe.levelDb};
    }
    Score score = readScore(source);
    return {score.kind, score.loop ? score.length : score.length + score.tail, score.loop, score.levelDb};
}

struct Decoded {
    SoundBuffer sound;
    std::string error;
};

Decoded decode(const std::vector<uint8_t>& bytes, const std::string& name) {
    Decoded out;
    auto decoder = sound::openSoundDecoder(bytes.data(), bytes.size(), name, out.error);
    if (!decoder)
        return out;
    out.sound.rate = decoder->rate();
    out.sound.channels = decoder->channels();
    std::vector<int16_t> block(4096 * static_cast<size_t>(decoder->channels()));
    long got;
    while ((got = decoder->read(block.data(), 4096, false)) > 0)
        for (long i = 0; i < got * decoder->channels(); ++i)
            out.sound.samples.push_back(block[static_cast<size_t>(i)] / 32768.0f);
    if (got < 0)
        out.error = decoder->error();
    return out;
}

class BuiltSounds : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        list_ = new std::vector<SoundEntry>(readSoundList(kSoundDir + "/sounds.txt"));
        if (std::filesystem::exists(LUMAROO_ARCHIVE))
            archive_ = new lang::Ref<lang::ResourceFileHeader>(
                lang::adopt(new lang::ResourceFileHeader(lang::String(LUMAROO_ARCHIVE))));
    }
    static void TearDownTestSuite() {
        delete list_;
        delete archive_;
        list_ = nullptr;
        archive_ = nullptr;
    }
    static std::vector<uint8_t> bytes(const std::string& name) {
        if (archive_ == nullptr)
            return {};
        lang::Ref<lang::FileItem> item = lang::adopt((*archive_)->find(lang::String(name.c_str()), false));
        if (!item)
            return {};
        return std::vector<uint8_t>(item->getData(), item->getData() + item->getLength());
    }
    static std::vector<SoundEntry>* list_;
    static lang::Ref<lang::ResourceFileHeader>* archive_;
};

std::vector<SoundEntry>* BuiltSounds::list_ = nullptr;
lang::Ref<lang::ResourceFileHeader>* BuiltSounds::archive_ = nullptr;

// The range of lengths each group of sounds may have.
std::pair<double, double> lengthRange(const SoundEntry& entry) {
    if (entry.group == "music")
        return {60.0, 120.0};
    if (entry.group == "ambient")
        return {1.0, 15.0};
    return {0.05, 10.0};
}

TEST_F(BuiltSounds, EverySoundIsInTheArchiveAndDecodesAsPromised) {
    ASSERT_NE(archive_, nullptr) << LUMAROO_ARCHIVE << " is missing (build the content target)";
    const int ceiling = static_cast<int>(32768.0 * std::pow(10.0, kCheckedPeakDb / 20.0));
    for (const SoundEntry& entry : *list_) {
        SCOPED_TRACE(entry.where + " " + entry.name);
        std::vector<uint8_t> data = bytes(entry.name);
        ASSERT_FALSE(data.empty()) << "not in the archive";
        sound::SoundFormat format = sound::detectFormat(data.data(), data.size());
        EXPECT_EQ(format, entry.format == "wav" ? sound::SoundFormat::Wav : sound::SoundFormat::Vorbis);
        Decoded decoded = decode(data, entry.name);
        ASSERT_TRUE(decoded.error.empty()) << decoded.error;
        const SoundBuffer& sound = decoded.sound;
        EXPECT_EQ(sound.rate, kRate) << "not at the engine's output rate";
        EXPECT_EQ(sound.channels, entry.format == "wav" ? 1 : 2);

        Promise promise = promiseOf(findSoundSource(kSoundDir, entry.name));
        EXPECT_NEAR(static_cast<double>(sound.frames()), promise.seconds * kRate, 2.0)
            << "length differs from the source";
        auto [shortest, longest] = lengthRange(entry);
        EXPECT_GE(sound.seconds(), shortest);
        EXPECT_LE(sound.seconds(), longest);

        int peak = 0;
        for (float s : sound.samples)
            peak = std::max(peak, static_cast<int>(std::fabs(s) * 32768.0f));
        EXPECT_LT(peak, ceiling) << "peak " << peakDb(sound) << " dBFS is not below " << kCheckedPeakDb;
        EXPECT_LT(dcOffset(sound), 0.005) << "DC offset";
        double measured = loudness(sound, blockSeconds(promise.kind));
        double target = targetLufs(promise.kind) + promise.levelDb;
        // Limiting may take a little more off sounds with sharp transients.
        EXPECT_NEAR(measured, target - 0.5, 1.5) << "loudness " << measured << " LUFS, target " << target;
    }
}

// The level of 50 ms windows of one channel, in dB.
std::vector<double> windowLevels(const SoundBuffer& sound, int channel) {
    const size_t window = static_cast<size_t>(0.05 * kRate);
    std::vector<double> levels;
    for (size_t start = 0; start + window <= sound.frames(); start += window) {
        double power = 0;
        for (size_t i = start; i < start + window; ++i)
            power += sound.at(i, channel) * sound.at(i, channel);
        levels.push_back(10.0 * std::log10(power / window + 1e-12));
    }
    return levels;
}

// A click at a loop's seam is a jump between the last and the first frame far larger than the jumps
// between neighbouring frames around it. A music loop also must not thin out towards its seam (a
// fade, a gap or a cut-off echo): its first and last 50 ms sit near the piece's usual level.
TEST_F(BuiltSounds, LoopsHaveNoSeam) {
    ASSERT_NE(archive_, nullptr);
    int loops = 0;
    for (const SoundEntry& entry : *list_) {
        Promise promise = promiseOf(findSoundSource(kSoundDir, entry.name));
        if (!promise.loop)
            continue;
        ++loops;
        SCOPED_TRACE(entry.where + " " + entry.name);
        Decoded decoded = decode(bytes(entry.name), entry.name);
        ASSERT_TRUE(decoded.error.empty()) << decoded.error;
        const SoundBuffer& sound = decoded.sound;
        size_t n = sound.frames();
        ASSERT_GT(n, 4000u);
        const size_t around = static_cast<size_t>(0.02 * kRate);
        for (int c = 0; c < sound.channels; ++c) {
            float seam = std::fabs(sound.at(0, c) - sound.at(n - 1, c));
            float largest = 0;
            for (size_t i = 0; i < around; ++i) {
                largest = std::max(largest, std::fabs(sound.at(i + 1, c) - sound.at(i, c)));
                largest = std::max(largest, std::fabs(sound.at(n - 1 - i, c) - sound.at(n - 2 - i, c)));
            }
            EXPECT_LE(seam, 1.5f * largest + 0.002f) << "channel " << c << ": a jump of " << seam
                                                     << " at the seam, at most " << largest << " around it";
            if (entry.group != "music")
                continue;
            std::vector<double> levels = windowLevels(sound, c);
            std::vector<double> sorted = levels;
            std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
            double median = sorted[sorted.size() / 2];
            EXPECT_GT(levels.front(), median - 20.0)
                << "channel " << c << ": the loop starts from near silence";
            EXPECT_GT(levels.back(), median - 20.0)
                << "channel " << c << ": the loop thins out before its seam";
        }
    }
    EXPECT_GE(loops, 7) << "the five music loops, the timer alarm and the menu rain";
}

TEST_F(BuiltSounds, TheListCoversEveryNameTheGameOpens) {
    std::map<std::string, const SoundEntry*> byName;
    for (const SoundEntry& entry : *list_)
        byName[entry.name] = &entry;
    // The canvas's clips: the ambient sounds first, then the music pieces.
    for (int i = 0; i < scene_names::kClipCount; ++i) {
        const std::string name = scene_names::kClipNames[i] + 1;  // without the archive's "+"
        auto it = byName.find(name);
        ASSERT_NE(it, byName.end()) << name;
        EXPECT_EQ(it->second->group, i < scene_names::kAmbientClips ? "ambient" : "music") << name;
    }
    // The cascade sounds 45..59 climb: each note of the series is higher than the one before.
    double previous = 0;
    for (int i = 45; i <= 59; ++i) {
        const SoundEntry& entry = (*list_)[static_cast<size_t>(i)];
        Recipe recipe = readRecipe(findSoundSource(kSoundDir, entry.name));
        double pitch = recipe.layers.at(0).pitch("note", 0);
        EXPECT_GT(pitch, previous) << entry.name;
        previous = pitch;
    }
}

}  // namespace
