// playsound: plays WAV, Ogg Vorbis, MPEG audio and module files through the sound engine, one after
// another, on the real device or (with --wave) into a WAV file by OpenAL Soft's wave back-end.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "lang/Arrays.h"
#include "lang/Ref.h"
#include "sound/SoundEngine.h"

namespace {

using sound::SoundEngine;

enum class Kind { Sample, Stream, Module };

void usage() {
    std::fprintf(
        stderr,
        "usage: playsound [--wave OUT.wav] [--loop SECONDS] [--volume 0-255] [--speed FACTOR] FILE...\n"
        "  .wav plays as a sample, .ogg .mp3 .mp2 as a stream, .mod .s3m .xm .it as a module song.\n"
        "  --wave writes what is played to OUT.wav instead of the sound device.\n"
        "  --loop plays each file looping for SECONDS seconds.\n");
}

bool endsWith(const std::string& text, const char* suffix) {
    size_t n = std::strlen(suffix);
    if (text.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != suffix[i])
            return false;
    return true;
}

Kind kindOf(const std::string& name) {
    for (const char* ext : {".mod", ".s3m", ".xm", ".it"})
        if (endsWith(name, ext))
            return Kind::Module;
    for (const char* ext : {".ogg", ".mp3", ".mp2"})
        if (endsWith(name, ext))
            return Kind::Stream;
    return Kind::Sample;
}

// Routes OpenAL Soft to its wave back-end before its first use, writing to out.
bool useWaveFile(const std::string& out) {
    char config[] = "/tmp/playsound-alsoft-XXXXXX";
    int fd = mkstemp(config);
    if (fd < 0)
        return false;
    std::string text = "[general]\ndrivers = wave\n[wave]\nfile = " + out + "\n";
    bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", config, 1);
    return ok;
}

bool play(const std::string& name, double loopSeconds, int volume, double speed) {
    std::ifstream file(name, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "playsound: %s: cannot open\n", name.c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Kind kind = kindOf(name);
    std::string error;
    int32_t handle = 0;
    int channel = -1;
    bool loop = loopSeconds > 0;
    if (kind == Kind::Stream) {
        auto data = lang::make<lang::ByteArray>(static_cast<int>(bytes.size()));
        if (!bytes.empty())
            std::memcpy(data->data(), bytes.data(), bytes.size());
        handle = SoundEngine::openStream(data.get(), name, &error);
        if (handle != 0)
            channel = SoundEngine::playStream(handle, loop, true);
    } else if (kind == Kind::Module) {
        handle = SoundEngine::loadSong(bytes.data(), bytes.size(), name, &error);
        if (handle != 0 && SoundEngine::playSong(handle, loop))
            SoundEngine::setSongVolume(handle, volume);
    } else {
        handle = SoundEngine::loadSample(bytes.data(), bytes.size(), name, &error);
        if (handle != 0)
            channel = SoundEngine::playSample(handle, -1, loop, true);
    }
    if (handle == 0) {
        std::fprintf(stderr, "playsound: %s\n", error.c_str());
        return false;
    }
    int rate = SoundEngine::defaultFrequency(handle);
    if (channel >= 0) {
        SoundEngine::setChannelVolume(channel, handle, volume);
        if (speed != 1.0)
            SoundEngine::setChannelFrequency(channel, handle, static_cast<int>(rate * speed));
        SoundEngine::setChannelPaused(channel, handle, false);
    }
    const char* kindName = kind == Kind::Stream ? "stream" : kind == Kind::Module ? "module" : "sample";
    std::printf("playing %s (%s, %d Hz)%s\n", name.c_str(), kindName, rate, loop ? " looping" : "");
    std::fflush(stdout);
    auto started = std::chrono::steady_clock::now();
    auto active = [&] {
        return kind == Kind::Module ? SoundEngine::isSongActive(handle)
                                    : SoundEngine::isChannelActive(channel, handle);
    };
    // A sound that does not end by itself is stopped after ten minutes.
    double limit = loop ? loopSeconds : 600.0;
    while (active() &&
           std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    SoundEngine::free(handle);
    std::printf("  done after %.2f s\n", seconds);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string waveOut;
    double loopSeconds = 0;
    int volume = 255;
    double speed = 1.0;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--wave" && hasValue)
            waveOut = argv[++i];
        else if (arg == "--loop" && hasValue)
            loopSeconds = std::atof(argv[++i]);
        else if (arg == "--volume" && hasValue)
            volume = std::atoi(argv[++i]);
        else if (arg == "--speed" && hasValue)
            speed = std::atof(argv[++i]);
        else if (arg.rfind("--", 0) == 0) {
            usage();
            return 2;
        } else
            files.push_back(arg);
    }
    if (files.empty()) {
        usage();
        return 2;
    }
    if (!waveOut.empty() && !useWaveFile(waveOut)) {
        std::fprintf(stderr, "playsound: cannot write the OpenAL configuration for %s\n", waveOut.c_str());
        return 1;
    }
    if (!SoundEngine::start(sound::EngineOptions{})) {
        std::fprintf(stderr, "playsound: no sound: %s\n", SoundEngine::lastStartError().c_str());
        return 1;
    }
    int failures = 0;
    for (const std::string& name : files)
        if (!play(name, loopSeconds, volume, speed))
            ++failures;
    // A short tail, so that the last sound is written out completely before the device closes.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    SoundEngine::shutdown();
    return failures == 0 ? 0 : 1;
}
