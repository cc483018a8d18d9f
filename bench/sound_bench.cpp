// Speed of the sound engine: CPU of the engine thread while two music streams and eight effects play.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "lang/Arrays.h"
#include "lang/Ref.h"
#include "sound/Decoder.h"
#include "sound/SoundEngine.h"
#include "tests/sound/SoundTestSupport.h"

namespace {

using sound::SoundEngine;

// The game's load: two looping Vorbis streams at 44.1 kHz stereo (music and ambience) and eight
// looping effects. The goal is at most 2% of one core for the engine thread, which decodes the
// streams and refills their buffers (OpenAL's own mixer thread is not counted).
void BM_EngineThreadWhilePlaying(benchmark::State& state) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    if (!SoundEngine::start(sound::EngineOptions{})) {
        state.SkipWithError(("no sound engine: " + SoundEngine::lastStartError()).c_str());
        return;
    }
    std::vector<lang::Ref<lang::ByteArray>> music;
    for (double hz : {220.0, 330.0}) {
        std::vector<uint8_t> ogg = soundtest::oggVorbis(soundtest::sine(hz, 4.0, 44100), 44100, 2);
        auto bytes = lang::make<lang::ByteArray>(static_cast<int>(ogg.size()));
        std::memcpy(bytes->data(), ogg.data(), ogg.size());
        int32_t stream = SoundEngine::openStream(bytes.get(), "music.ogg", nullptr);
        SoundEngine::playStream(stream, true, false);
        music.push_back(bytes);
    }
    std::vector<uint8_t> effect = soundtest::wav16(soundtest::sine(880, 0.5, 22050), 22050);
    int32_t sample = SoundEngine::loadSample(effect.data(), effect.size(), "effect.wav", nullptr);
    for (int i = 0; i < 8; ++i)
        SoundEngine::playSample(sample, -1, true, false);

    double cpuSeconds = 0, wallSeconds = 0;
    for (auto _ : state) {
        int64_t cpuStart = SoundEngine::engineThreadCpuNanos();
        auto wallStart = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        cpuSeconds += static_cast<double>(SoundEngine::engineThreadCpuNanos() - cpuStart) / 1e9;
        wallSeconds += wall;
        state.SetIterationTime(wall);
    }
    state.counters["engine_cpu_percent"] = 100.0 * cpuSeconds / wallSeconds;
    SoundEngine::shutdown();
}
BENCHMARK(BM_EngineThreadWhilePlaying)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// Decoding speed of one second of 44.1 kHz stereo Vorbis, the bulk of the engine thread's work.
void BM_VorbisDecodeOneSecond(benchmark::State& state) {
    std::vector<uint8_t> ogg = soundtest::oggVorbis(soundtest::sine(440, 1.0, 44100), 44100, 2);
    std::vector<int16_t> piece(4096 * 2);
    for (auto _ : state) {
        std::string error;
        auto decoder = sound::openSoundDecoder(ogg.data(), ogg.size(), "second.ogg", error);
        long frames = 0;
        for (long n; (n = decoder->read(piece.data(), 4096, false)) > 0;)
            frames += n;
        benchmark::DoNotOptimize(frames);
    }
}
BENCHMARK(BM_VorbisDecodeOneSecond)->Unit(benchmark::kMillisecond);

}  // namespace
