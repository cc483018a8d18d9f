// Loudness measurement and the level finishing of every built sound.
#include "tools/SoundLevel.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace soundgen {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kAbsoluteGate = -70.0;
constexpr double kRelativeGate = -10.0;

// One biquad section in direct form I.
struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double step(double x) {
        double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// The two stages of the K weighting (a high shelf of about +4 dB above 1.5 kHz, then a high-pass near
// 38 Hz), designed for the sound's own rate.
std::pair<Biquad, Biquad> kWeighting(int rate) {
    double f0 = 1681.974450955533, gain = 3.999843853973347, q = 0.7071752369554196;
    double k = std::tan(kPi * f0 / rate);
    double vh = std::pow(10.0, gain / 20.0);
    double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    Biquad shelf{(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    f0 = 38.13547087602444;
    q = 0.5003270373238773;
    k = std::tan(kPi * f0 / rate);
    a0 = 1.0 + k / q + k * k;
    Biquad highPass{1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    return {shelf, highPass};
}

double toLufs(double power) {
    return power <= 0 ? -200.0 : -0.691 + 10.0 * std::log10(power);
}

// out[i] = min(in[i .. i + width - 1]); past the end the window wraps (circular) or is cut short.
std::vector<float> slidingMin(const std::vector<float>& in, size_t width, bool circular) {
    size_t n = in.size();
    std::vector<float> out(n);
    std::deque<size_t> window;  // indexes (into the extended range) of rising values
    size_t extended = circular ? n + width - 1 : n;
    auto value = [&](size_t i) { return in[i % n]; };
    for (size_t j = 0; j < extended; ++j) {
        while (!window.empty() && value(window.back()) >= value(j))
            window.pop_back();
        window.push_back(j);
        if (j + 1 >= width) {
            size_t i = j + 1 - width;
            while (window.front() < i)
                window.pop_front();
            out[i] = value(window.front());
        }
    }
    if (!circular) {
        // The last windows run past the end: finish them with what is left.
        for (size_t i = n >= width ? n - width + 1 : 0; i < n; ++i) {
            float m = 1.0f;
            for (size_t k = i; k < n; ++k)
                m = std::min(m, in[k]);
            out[i] = m;
        }
    }
    return out;
}

// out[i] = mean(in[i - width + 1 .. i]); before the start the window wraps (circular) or sees 1.0.
std::vector<float> movingMean(const std::vector<float>& in, size_t width, bool circular) {
    size_t n = in.size();
    std::vector<float> out(n);
    double sum = 0;
    auto before = [&](long i) -> double {
        if (i >= 0)
            return in[static_cast<size_t>(i)];
        return circular ? in[static_cast<size_t>(i + static_cast<long>(n))] : 1.0;
    };
    for (long k = -static_cast<long>(width) + 1; k <= 0; ++k)
        sum += before(k);
    for (size_t i = 0; i < n; ++i) {
        if (i > 0)
            sum += before(static_cast<long>(i)) - before(static_cast<long>(i) - static_cast<long>(width));
        out[i] = static_cast<float>(sum / width);
    }
    return out;
}

}  // namespace

double targetLufs(SoundKind kind) {
    switch (kind) {
        case SoundKind::Music:
            return kMusicLufs;
        case SoundKind::Ambient:
            return kAmbientLufs;
        default:
            return kEffectLufs;
    }
}

double blockSeconds(SoundKind kind) {
    return kind == SoundKind::Music ? 0.4 : 0.1;
}

SoundKind kindFromName(const std::string& name, const std::string& where) {
    if (name == "effect")
        return SoundKind::Effect;
    if (name == "ambient")
        return SoundKind::Ambient;
    if (name == "music")
        return SoundKind::Music;
    throw SoundError(where + ": unknown sound kind \"" + name + "\" (expected effect, ambient or music)");
}

double loudness(const SoundBuffer& sound, double block) {
    size_t frames = sound.frames();
    if (frames == 0)
        return -200.0;
    // Squared K-weighted samples, summed over channels (both sides weigh 1).
    std::vector<double> energy(frames, 0.0);
    for (int c = 0; c < sound.channels; ++c) {
        auto [shelf, highPass] = kWeighting(sound.rate);
        for (size_t i = 0; i < frames; ++i) {
            double y = highPass.step(shelf.step(sound.at(i, c)));
            energy[i] += y * y;
        }
    }
    std::vector<double> prefix(frames + 1, 0.0);
    for (size_t i = 0; i < frames; ++i)
        prefix[i + 1] = prefix[i] + energy[i];
    size_t length = std::max<size_t>(1, static_cast<size_t>(block * sound.rate));
    std::vector<double> blocks;
    if (frames <= length) {
        blocks.push_back(prefix[frames] / frames);
    } else {
        size_t hop = std::max<size_t>(1, length / 4);
        for (size_t start = 0; start + length <= frames; start += hop)
            blocks.push_back((prefix[start + length] - prefix[start]) / length);
    }
    auto gatedMean = [&](double gate) {
        double sum = 0;
        size_t count = 0;
        for (double b : blocks) {
            if (toLufs(b) > gate) {
                sum += b;
                ++count;
            }
        }
        return count == 0 ? 0.0 : sum / count;
    };
    double ungated = gatedMean(kAbsoluteGate);
    if (ungated <= 0)
        return -200.0;
    double relative = toLufs(ungated) + kRelativeGate;
    return toLufs(gatedMean(std::max(relative, kAbsoluteGate)));
}

double peakDb(const SoundBuffer& sound) {
    float peak = 0;
    for (float s : sound.samples)
        peak = std::max(peak, std::fabs(s));
    return peak <= 0 ? -200.0 : 20.0 * std::log10(peak);
}

double dcOffset(const SoundBuffer& sound) {
    double worst = 0;
    size_t frames = sound.frames();
    for (int c = 0; c < sound.channels && frames > 0; ++c) {
        double sum = 0;
        for (size_t i = 0; i < frames; ++i)
            sum += sound.at(i, c);
        worst = std::max(worst, std::fabs(sum / frames));
    }
    return worst;
}

void applyGain(SoundBuffer& sound, double db) {
    float factor = static_cast<float>(std::pow(10.0, db / 20.0));
    for (float& s : sound.samples)
        s *= factor;
}

void foldLoop(SoundBuffer& sound, size_t frames) {
    if (frames == 0 || sound.frames() <= frames)
        return;
    size_t total = sound.samples.size();
    size_t period = frames * static_cast<size_t>(sound.channels);
    for (size_t i = period; i < total; ++i)
        sound.samples[i % period] += sound.samples[i];
    sound.samples.resize(period);
}

void fadeEnds(SoundBuffer& sound, double inSeconds, double outSeconds) {
    size_t frames = sound.frames();
    size_t in = std::min(frames, static_cast<size_t>(inSeconds * sound.rate));
    size_t out = std::min(frames, static_cast<size_t>(outSeconds * sound.rate));
    for (size_t i = 0; i < in; ++i)
        for (int c = 0; c < sound.channels; ++c)
            sound.at(i, c) *= static_cast<float>(i) / in;
    for (size_t i = 0; i < out; ++i)
        for (int c = 0; c < sound.channels; ++c)
            sound.at(frames - 1 - i, c) *= static_cast<float>(i) / out;
}

void removeDc(SoundBuffer& sound) {
    double r = 1.0 - 2.0 * kPi * 10.0 / sound.rate;
    for (int c = 0; c < sound.channels; ++c) {
        double x1 = 0, y1 = 0;
        for (size_t i = 0; i < sound.frames(); ++i) {
            double x = sound.at(i, c);
            double y = x - x1 + r * y1;
            x1 = x;
            y1 = y;
            sound.at(i, c) = static_cast<float>(y);
        }
    }
}

void removeLoopDc(SoundBuffer& sound) {
    size_t frames = sound.frames();
    for (int c = 0; c < sound.channels && frames > 0; ++c) {
        double sum = 0;
        for (size_t i = 0; i < frames; ++i)
            sum += sound.at(i, c);
        float mean = static_cast<float>(sum / frames);
        for (size_t i = 0; i < frames; ++i)
            sound.at(i, c) -= mean;
    }
}

void limitPeaks(SoundBuffer& sound, double ceilingDb, bool circular) {
    size_t frames = sound.frames();
    if (frames == 0)
        return;
    float ceiling = static_cast<float>(std::pow(10.0, ceilingDb / 20.0));
    std::vector<float> wanted(frames, 1.0f);
    bool any = false;
    for (size_t i = 0; i < frames; ++i) {
        float peak = 0;
        for (int c = 0; c < sound.channels; ++c)
            peak = std::max(peak, std::fabs(sound.at(i, c)));
        if (peak > ceiling) {
            wanted[i] = ceiling / peak;
            any = true;
        }
    }
    if (!any)
        return;
    size_t attack = std::min(frames, std::max<size_t>(1, static_cast<size_t>(0.005 * sound.rate)));
    // The mean over the last `attack` frames of the minimum over the next `attack` frames is never above
    // the gain a peak asks for, and it moves smoothly towards it.
    std::vector<float> gain = movingMean(slidingMin(wanted, attack, circular), attack, circular);
    double release = 1.0 - std::exp(-1.0 / (0.08 * sound.rate));
    double g = 1.0;
    int passes = circular ? 2 : 1;  // the second pass starts from the gain the loop ends with
    for (int pass = 0; pass < passes; ++pass) {
        for (size_t i = 0; i < frames; ++i) {
            g = std::min<double>(gain[i], g + (1.0 - g) * release);
            if (pass == passes - 1)
                for (int c = 0; c < sound.channels; ++c)
                    sound.at(i, c) = std::clamp(sound.at(i, c) * static_cast<float>(g), -ceiling, ceiling);
        }
    }
}

void finishLevel(SoundBuffer& sound, SoundKind kind, double offsetDb, bool loop) {
    double target = targetLufs(kind) + offsetDb;
    // Limiting takes a little loudness away; a second round puts it back.
    for (int round = 0; round < 3; ++round) {
        double measured = loudness(sound, blockSeconds(kind));
        if (measured <= kAbsoluteGate)
            throw SoundError("the sound is silent (nothing to bring to " + std::to_string(target) + " LUFS)");
        if (round > 0 && std::fabs(measured - target) < 0.1)
            break;
        applyGain(sound, target - measured);
        limitPeaks(sound, kPeakCeilingDb, loop);
    }
}

SoundBuffer toMono(const SoundBuffer& sound) {
    if (sound.channels == 1)
        return sound;
    SoundBuffer mono(1, sound.frames());
    mono.rate = sound.rate;
    for (size_t i = 0; i < sound.frames(); ++i) {
        float sum = 0;
        for (int c = 0; c < sound.channels; ++c)
            sum += sound.at(i, c);
        mono.samples[i] = sum / sound.channels;
    }
    return mono;
}

}  // namespace soundgen
