// A rendered sound in memory (float samples, interleaved) and the error every sound tool throws.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace soundgen {

// Every sound is built at the sound engine's output rate: anything above it would only be resampled away.
constexpr int kRate = 22050;

// A fault in a source file or a build step; the message names the file (and line) and what was expected.
class SoundError : public std::runtime_error {
public:
    explicit SoundError(const std::string& message) : std::runtime_error(message) {}
};

struct SoundBuffer {
    int rate = kRate;
    int channels = 1;
    std::vector<float> samples;  // interleaved, nominal range -1..1

    SoundBuffer() = default;
    SoundBuffer(int channelCount, size_t frameCount)
        : channels(channelCount), samples(frameCount * channelCount) {}

    size_t frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
    double seconds() const { return static_cast<double>(frames()) / rate; }
    float& at(size_t frame, int channel) { return samples[frame * static_cast<size_t>(channels) + channel]; }
    float at(size_t frame, int channel) const {
        return samples[frame * static_cast<size_t>(channels) + channel];
    }
};

}  // namespace soundgen
