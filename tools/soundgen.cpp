// soundgen: builds one sound of the archive from its source.
//
//   soundgen <source.fx|source.score> <output.wav|output.ogg> [--soundfont <file.sf2>]
//
// Recipes (.fx) are synthesised, scores (.score) played on the General MIDI SoundFont with FluidSynth.
// The sound is brought to its kind's loudness, limited below its peak ceiling and written as 16-bit
// WAV or Ogg Vorbis. An Ogg file is decoded again and its gain corrected when the encoding moved its
// loudness or pushed a peak over the ceiling. One line reports the length, peak and loudness.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "sound/Decoder.h"
#include "tools/SoundFile.h"
#include "tools/SoundFluid.h"
#include "tools/SoundSynth.h"

namespace {

using namespace soundgen;

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string baseName(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// An encoded Ogg file as the game's own decoder gives it back.
SoundBuffer decodeBack(const std::vector<uint8_t>& bytes, const std::string& name) {
    std::string error;
    auto decoder = sound::openVorbisDecoder(bytes.data(), bytes.size(), name, error);
    if (!decoder)
        throw SoundError("the encoded sound does not decode: " + error);
    SoundBuffer sound;
    sound.rate = decoder->rate();
    sound.channels = decoder->channels();
    std::vector<int16_t> block(4096 * static_cast<size_t>(decoder->channels()));
    long got;
    while ((got = decoder->read(block.data(), 4096, false)) > 0)
        for (long i = 0; i < got * decoder->channels(); ++i)
            sound.samples.push_back(block[static_cast<size_t>(i)] / 32768.0f);
    if (got < 0)
        throw SoundError("the encoded sound does not decode: " + decoder->error());
    return sound;
}

uint32_t serialOf(const std::string& name) {
    uint32_t hash = 2166136261u;  // FNV-1a: a stable stream serial per sound
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

int run(const std::string& source, const std::string& output, const std::string& soundFont) {
    SoundBuffer sound;
    SoundKind kind;
    double levelDb;
    if (endsWith(source, ".fx")) {
        Recipe recipe = readRecipe(source);
        kind = recipe.kind;
        levelDb = recipe.levelDb;
        sound = buildRecipe(recipe);
    } else if (endsWith(source, ".score")) {
        if (soundFont.empty())
            throw SoundError(source + ": a score needs --soundfont");
        Score score = readScore(source);
        kind = score.kind;
        levelDb = score.levelDb;
        sound = buildScore(score, soundFont);
    } else {
        throw SoundError(source + ": unknown source (expected a .fx recipe or a .score)");
    }
    std::string name = baseName(output);
    std::vector<uint8_t> bytes;
    SoundBuffer delivered = sound;  // what the game will decode
    if (endsWith(output, ".wav")) {
        bytes = encodeWav(sound);
    } else if (endsWith(output, ".ogg")) {
        // Vorbis shapes its noise to the ear: bright, noisy sounds come back a little louder, and a
        // transient may overshoot. What the decoder gives back is measured and the gain set again.
        float quality = kind == SoundKind::Music ? 0.4f : 0.3f;
        const double target = targetLufs(kind) + levelDb;
        for (int attempt = 0;; ++attempt) {
            bytes = encodeVorbis(sound, quality, serialOf(name));
            SoundBuffer back = decodeBack(bytes, name);
            delivered = back;
            double peakRoom = (kCheckedPeakDb - 0.2) - peakDb(back);
            double change = std::min(target - loudness(back, blockSeconds(kind)), peakRoom);
            if (peakRoom >= 0 && std::fabs(change) < 0.25)
                break;
            if (attempt == 3) {
                if (peakRoom < 0)
                    throw SoundError(output + ": the encoded peaks stay above " +
                                     std::to_string(kCheckedPeakDb) + " dBFS");
                break;
            }
            applyGain(sound, change);
        }
    } else {
        throw SoundError(output + ": unknown output format (expected .wav or .ogg)");
    }
    writeFileBytes(output, bytes);
    std::printf("%-22s %6.2f s  %d ch  peak %6.1f dBFS  loudness %6.1f LUFS  %7zu bytes\n", name.c_str(),
                delivered.seconds(), delivered.channels, peakDb(delivered),
                loudness(delivered, blockSeconds(kind)), bytes.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    std::string soundFont;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--soundfont" && i + 1 < argc)
            soundFont = argv[++i];
        else
            files.push_back(arg);
    }
    if (files.size() != 2) {
        std::cerr
            << "usage: soundgen <source.fx|source.score> <output.wav|output.ogg> [--soundfont <file>]\n";
        return 2;
    }
    try {
        return run(files[0], files[1], soundFont);
    } catch (const std::exception& e) {
        std::cerr << "soundgen: " << e.what() << "\n";
        return 1;
    }
}
