// The synthesis of effect recipes, layer kind by layer kind.
#include "tools/SoundSynth.h"

#include <algorithm>
#include <cmath>

#include "lang/Ref.h"
#include "util/Random.h"

namespace soundgen {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMaxLayerSeconds = 30.0;

double dbToGain(double db) {
    return std::pow(10.0, db / 20.0);
}

// Uniform draws in [0, 1] and [-1, 1] from the recipe's generator.
double unit(util::Random& random) {
    return random.nextInt(0xFFFFFF) / 16777215.0;
}
double bipolar(util::Random& random) {
    return 2.0 * unit(random) - 1.0;
}

size_t framesFor(double seconds) {
    return static_cast<size_t>(std::clamp(seconds, 0.0, kMaxLayerSeconds) * kRate) + 1;
}

// A resonant 2-pole filter (the usual cookbook biquads) whose corner can move while it runs.
class Filter {
public:
    enum Type { LowPass, HighPass };
    Filter(Type type, double q) : type_(type), q_(q) {}
    void tune(double hz) {
        hz = std::clamp(hz, 10.0, kRate * 0.45);
        double w = 2.0 * kPi * hz / kRate;
        double alpha = std::sin(w) / (2.0 * q_);
        double c = std::cos(w);
        double a0 = 1.0 + alpha;
        if (type_ == LowPass) {
            b0_ = (1.0 - c) / 2.0 / a0;
            b1_ = (1.0 - c) / a0;
        } else {
            b0_ = (1.0 + c) / 2.0 / a0;
            b1_ = -(1.0 + c) / a0;
        }
        b2_ = b0_;
        a1_ = -2.0 * c / a0;
        a2_ = (1.0 - alpha) / a0;
    }
    double step(double x) {
        double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    Type type_;
    double q_;
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// Band-limited noise between two corners that may glide to two others over the layer.
class BandNoise {
public:
    BandNoise(double lo, double hi, double q) : high_(Filter::HighPass, q), low_(Filter::LowPass, q) {
        retune(lo, hi);
    }
    void retune(double lo, double hi) {
        high_.tune(lo);
        low_.tune(hi);
    }
    double step(util::Random& random) { return low_.step(high_.step(bipolar(random))); }

private:
    Filter high_, low_;
};

// Smooth random movement between 0 and 1, a new target `rate` times a second (gusts, flutter).
class SmoothRandom {
public:
    SmoothRandom(double rate, util::Random& random)
        : period_(std::max<size_t>(1, static_cast<size_t>(kRate / std::max(rate, 0.01)))), random_(random) {
        from_ = unit(random_);
        to_ = unit(random_);
    }
    double step() {
        if (position_ == period_) {
            position_ = 0;
            from_ = to_;
            to_ = unit(random_);
        }
        double t = static_cast<double>(position_++) / period_;
        double s = 0.5 - 0.5 * std::cos(kPi * t);
        return from_ + (to_ - from_) * s;
    }

private:
    size_t period_;
    size_t position_ = 0;
    double from_, to_;
    util::Random& random_;
};

struct Mode {
    double ratio, amplitude, decay;
};

struct Voice {
    std::vector<Mode> modes;
    double malletDb;  // the strike's click, relative to the tone
};

const Voice& voiceNamed(const Layer& layer) {
    static const std::map<std::string, Voice> voices = {
        {"marimba", {{{1, 1, 1}, {3.93, 0.30, 0.32}, {10.7, 0.08, 0.12}}, -24}},
        {"wood", {{{1, 1, 1}, {2.58, 0.55, 0.7}, {4.43, 0.35, 0.5}, {6.9, 0.2, 0.35}}, -14}},
        {"chime",
         {{{1, 1, 1}, {2.76, 0.55, 0.8}, {5.40, 0.35, 0.6}, {8.93, 0.25, 0.45}, {13.34, 0.12, 0.35}}, -30}},
        {"bell",
         {{{0.5, 0.5, 1.6},
           {1, 1, 1},
           {1.19, 0.5, 0.9},
           {1.5, 0.35, 0.8},
           {2.0, 0.4, 0.7},
           {2.52, 0.2, 0.5},
           {3.01, 0.15, 0.4}},
          -30}},
        {"glock", {{{1, 1, 1}, {2.71, 0.4, 0.6}, {5.15, 0.2, 0.4}, {8.43, 0.1, 0.3}}, -26}},
        {"kalimba", {{{1, 1, 1}, {2.0, 0.05, 0.5}, {5.5, 0.18, 0.25}, {12.9, 0.06, 0.1}}, -22}},
        {"stone", {{{1, 1, 1}, {1.73, 0.7, 0.6}, {2.91, 0.5, 0.4}, {4.1, 0.35, 0.3}, {5.6, 0.2, 0.2}}, -8}},
        {"glass", {{{1, 1, 1}, {2.32, 0.4, 0.8}, {4.25, 0.25, 0.6}, {6.63, 0.12, 0.5}}, -34}},
    };
    std::string name = layer.word("voice", "marimba");
    auto it = voices.find(name);
    if (it == voices.end())
        throw SoundError(layer.where + ": unknown voice \"" + name +
                         "\" (expected marimba, wood, chime, bell, glock, kalimba, stone or glass)");
    return it->second;
}

// A struck tone: decaying partials at the voice's ratios, with a short mallet click.
std::vector<float> renderTone(const Layer& layer, double pitchFactor, util::Random& random) {
    const Voice& voice = voiceNamed(layer);
    double f0 = layer.pitch("note", 440.0) * pitchFactor;
    double decay = std::max(0.005, layer.number("decay", 0.3));
    double glide = layer.number("glide", 0.0);
    double bright = std::max(0.0, layer.number("bright", 1.0));
    double malletDb = layer.number("mallet", voice.malletDb);
    double longest = 0;
    for (const Mode& m : voice.modes)
        longest = std::max(longest, m.decay);
    std::vector<float> out(framesFor(9.2 * decay * longest));
    size_t attack = static_cast<size_t>(0.0015 * kRate);
    for (size_t k = 0; k < voice.modes.size(); ++k) {
        const Mode& m = voice.modes[k];
        double amplitude = m.amplitude * (k == 0 || m.ratio < 1 ? 1.0 : bright);
        double tau = decay * m.decay;
        double phase = 0;
        for (size_t i = 0; i < out.size(); ++i) {
            double t = static_cast<double>(i) / kRate;
            double f = f0 * m.ratio * std::pow(2.0, glide / 12.0 * (1.0 - std::exp(-t / decay)));
            if (f >= kRate * 0.45)
                break;
            phase += 2.0 * kPi * f / kRate;
            double env = amplitude * std::exp(-t / tau);
            if (i < attack)
                env *= 0.5 - 0.5 * std::cos(kPi * i / attack);
            out[i] += static_cast<float>(env * std::sin(phase));
        }
    }
    // The mallet: a few milliseconds of bright noise.
    double mallet = dbToGain(malletDb);
    Filter high(Filter::HighPass, 0.7);
    high.tune(std::min(8000.0, std::max(800.0, 2.0 * f0)));
    size_t clickFrames = std::min(out.size(), static_cast<size_t>(0.012 * kRate));
    for (size_t i = 0; i < clickFrames; ++i) {
        double t = static_cast<double>(i) / kRate;
        out[i] += static_cast<float>(mallet * std::exp(-t / 0.0015) * high.step(bipolar(random)));
    }
    return out;
}

// Attack, hold, then an exponential decay; with a length the decay is cut there (faded over the last
// fifth, at most 50 ms).
// With "swell" the noise fades in and out over that many seconds instead (a bed under a loop).
std::vector<float> renderNoise(const Layer& layer, double pitchFactor, util::Random& random) {
    double lo = layer.number("band", 200, 0) * pitchFactor, hi = layer.number("band", 4000, 1) * pitchFactor;
    double toLo = layer.number("to", lo / pitchFactor, 0) * pitchFactor;
    double toHi = layer.number("to", hi / pitchFactor, 1) * pitchFactor;
    double attack = std::max(0.0005, layer.number("attack", 0.005));
    double hold = std::max(0.0, layer.number("hold", 0.0));
    double decay = std::max(0.002, layer.number("decay", 0.1));
    double length = layer.number("length", attack + hold + 7.0 * decay);
    double q = std::clamp(layer.number("q", 0.707), 0.3, 20.0);
    double swell = std::max(0.0, layer.number("swell", 0.0));
    bool flutter = layer.has("flutter");
    double flutterDepth = std::clamp(layer.number("flutter", 0, 1), 0.0, 1.0);
    SmoothRandom gust(layer.number("flutter", 1, 0), random);
    BandNoise noise(lo, hi, q);
    std::vector<float> out(framesFor(length));
    size_t fade = std::max<size_t>(1, static_cast<size_t>(std::min(0.05, 0.2 * length) * kRate));
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        if (i % 32 == 0 && (toLo != lo || toHi != hi)) {
            double x = std::min(1.0, t / length);
            noise.retune(lo * std::pow(toLo / lo, x), hi * std::pow(toHi / hi, x));
        }
        double env;
        if (swell > 0) {
            // Sine in, cosine out: folded over a loop's seam the two overlap at constant power.
            env = std::sin(kPi / 2.0 * std::clamp(std::min(t, length - t) / swell, 0.0, 1.0));
        } else {
            env = t < attack ? t / attack : t < attack + hold ? 1.0 : std::exp(-(t - attack - hold) / decay);
            if (out.size() - i < fade)
                env *= static_cast<double>(out.size() - i) / fade;
        }
        if (flutter)
            env *= 1.0 - flutterDepth + flutterDepth * gust.step();
        out[i] = static_cast<float>(env * noise.step(random));
    }
    return out;
}

// A pitch glide along a path of points (birds, whooshes with a tone in them).
std::vector<float> renderSweep(const Layer& layer, double pitchFactor, util::Random&) {
    size_t points = layer.count("path");
    if (points == 0)
        throw SoundError(layer.where + ": a sweep needs a \"path\" of one or more pitches");
    std::vector<double> path;
    for (size_t k = 0; k < points; ++k)
        path.push_back(std::log(layer.pitch("path", 440, k) * pitchFactor));
    double length = std::max(0.005, layer.number("length", 0.2));
    std::string shape = layer.word("shape", "swell");
    if (shape != "swell" && shape != "pluck" && shape != "flat")
        throw SoundError(layer.where + ": unknown shape \"" + shape + "\" (expected swell, pluck or flat)");
    double attack = std::max(0.001, layer.number("attack", 0.005));
    double vibratoRate = layer.number("vibrato", 0, 0), vibratoDepth = layer.number("vibrato", 0, 1);
    double trillRate = layer.number("trill", 0, 0),
           trillDepth = std::clamp(layer.number("trill", 0, 1), 0.0, 1.0);
    std::vector<double> harmonics = {1.0};
    for (size_t k = 0; k < layer.count("harmonics"); ++k)
        harmonics.push_back(layer.number("harmonics", 0, k));
    std::vector<float> out(framesFor(length));
    std::vector<double> phase(harmonics.size(), 0.0);
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double x = std::min(1.0, t / length) * (points - 1);
        size_t k = std::min(points - 1, static_cast<size_t>(x));
        double frac = x - k;
        double s = 0.5 - 0.5 * std::cos(kPi * frac);
        double logF = k + 1 < points ? path[k] + (path[k + 1] - path[k]) * s : path[k];
        double f =
            std::exp(logF) * std::pow(2.0, vibratoDepth / 12.0 * std::sin(2.0 * kPi * vibratoRate * t));
        double env;
        if (shape == "swell") {
            env = std::sin(kPi * std::min(1.0, t / length));
            env *= env;
        } else if (shape == "pluck") {
            env = t < attack ? t / attack : std::exp(-(t - attack) / (length / 4.0));
        } else {
            env = std::min({1.0, t / attack, std::max(0.0, length - t) / attack});
        }
        if (trillRate > 0)
            env *= 1.0 - trillDepth + trillDepth * (0.5 + 0.5 * std::cos(2.0 * kPi * trillRate * t));
        double sum = 0;
        for (size_t h = 0; h < harmonics.size(); ++h) {
            double fh = f * (h + 1);
            if (fh >= kRate * 0.45)
                continue;
            phase[h] += 2.0 * kPi * fh / kRate;
            sum += harmonics[h] * std::sin(phase[h]);
        }
        out[i] = static_cast<float>(env * sum);
    }
    return out;
}

// A bubble: a sine whose pitch rises as it dies away.
std::vector<float> renderDrop(const Layer& layer, double pitchFactor, util::Random&) {
    double f0 = layer.pitch("note", 1200) * pitchFactor;
    double rise = std::max(1.0, layer.number("rise", 1.6));
    double decay = std::max(0.002, layer.number("decay", 0.03));
    std::vector<float> out(framesFor(7.0 * decay));
    double phase = 0;
    size_t attack = static_cast<size_t>(0.0005 * kRate) + 1;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double f = std::min(kRate * 0.45, f0 * (1.0 + (rise - 1.0) * std::min(1.0, t / (3.0 * decay))));
        phase += 2.0 * kPi * f / kRate;
        double env = std::exp(-t / decay) * std::min(1.0, static_cast<double>(i) / attack);
        out[i] = static_cast<float>(env * std::sin(phase));
    }
    return out;
}

// Random sharp clicks, thinning out (the crack of lightning, static).
std::vector<float> renderCrackle(const Layer& layer, double pitchFactor, util::Random& random) {
    double density = std::max(1.0, layer.number("density", 200));
    double length = std::max(0.01, layer.number("length", 0.5));
    double decay = std::max(0.005, layer.number("decay", length));
    double thin = std::max(0.005, layer.number("thin", length));
    BandNoise noise(layer.number("band", 1500, 0) * pitchFactor, layer.number("band", 9000, 1) * pitchFactor,
                    0.7);
    std::vector<float> out(framesFor(length));
    double burst = 0, burstLevel = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double rate = density * std::exp(-t / thin);
        if (unit(random) < rate / kRate) {
            burstLevel = 0.3 + 0.7 * unit(random) * unit(random) * 2.0;
            burst = 0.0005 + 0.003 * unit(random);
        }
        double level = 0;
        if (burst > 0) {
            level = burstLevel;
            burst -= 1.0 / kRate;
        }
        // The last third fades out, so the crackle dies away instead of stopping.
        double tailFade = std::min(1.0, 3.0 * (length - t) / length);
        out[i] = static_cast<float>(std::exp(-t / decay) * tailFade * level * noise.step(random));
    }
    return out;
}

// A carrier gated by a pulse train (insects): pure tone for crickets, buzzing noise for cicadas.
std::vector<float> renderPulse(const Layer& layer, double pitchFactor, util::Random& random) {
    double f = layer.pitch("note", 4500) * pitchFactor;
    double rate = std::max(0.5, layer.number("rate", 30));
    double width = std::clamp(layer.number("width", 0.5), 0.05, 1.0);
    double length = std::max(0.01, layer.number("length", 0.3));
    double attack = std::max(0.001, layer.number("attack", 0.01));
    double release = std::max(0.001, layer.number("decay", 0.02));
    double buzz = std::clamp(layer.number("buzz", 0.0), 0.0, 1.0);
    BandNoise noise(f * 0.8, f * 1.25, 2.0);
    std::vector<float> out(framesFor(length));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double cycle = std::fmod(t * rate, 1.0);
        double gate = cycle < width ? std::sin(kPi * cycle / width) : 0.0;
        double env = std::min({1.0, t / attack, std::max(0.0, length - t) / release});
        phase += 2.0 * kPi * f / kRate;
        double carrier = (1.0 - buzz) * std::sin(phase) + buzz * 3.0 * noise.step(random);
        out[i] = static_cast<float>(env * gate * carrier);
    }
    return out;
}

// A low sine that drops in pitch (the body of a burst, a heartbeat).
std::vector<float> renderThump(const Layer& layer, double pitchFactor, util::Random&) {
    double from = layer.pitch("note", 120) * pitchFactor;
    double to = layer.pitch("to", from / pitchFactor) * pitchFactor;
    double decay = std::max(0.005, layer.number("decay", 0.08));
    std::vector<float> out(framesFor(7.0 * decay));
    double phase = 0;
    size_t attack = static_cast<size_t>(0.002 * kRate) + 1;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double f = to + (from - to) * std::exp(-t / (decay * 0.5));
        phase += 2.0 * kPi * f / kRate;
        double env = std::exp(-t / decay) * std::min(1.0, static_cast<double>(i) / attack);
        out[i] = static_cast<float>(env * std::sin(phase));
    }
    return out;
}

std::vector<float> renderLayerOnce(const Layer& layer, double pitchFactor, util::Random& random) {
    if (layer.kind == "tone")
        return renderTone(layer, pitchFactor, random);
    if (layer.kind == "noise")
        return renderNoise(layer, pitchFactor, random);
    if (layer.kind == "sweep")
        return renderSweep(layer, pitchFactor, random);
    if (layer.kind == "drop")
        return renderDrop(layer, pitchFactor, random);
    if (layer.kind == "crackle")
        return renderCrackle(layer, pitchFactor, random);
    if (layer.kind == "pulse")
        return renderPulse(layer, pitchFactor, random);
    return renderThump(layer, pitchFactor, random);
}

void mixInto(SoundBuffer& mix, const std::vector<float>& part, double startSeconds, double gain, double pan) {
    size_t start = static_cast<size_t>(std::max(0.0, startSeconds) * kRate + 0.5);
    if (mix.frames() < start + part.size())
        mix.samples.resize((start + part.size()) * static_cast<size_t>(mix.channels), 0.0f);
    // Equal-power panning; a mono mix ignores it.
    double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
    double sides[2] = {std::cos(angle) * std::sqrt(2.0), std::sin(angle) * std::sqrt(2.0)};
    for (size_t i = 0; i < part.size(); ++i)
        for (int c = 0; c < mix.channels; ++c)
            mix.at(start + i, c) += static_cast<float>(part[i] * gain * (mix.channels == 1 ? 1.0 : sides[c]));
}

}  // namespace

SoundBuffer renderRecipe(const Recipe& recipe) {
    lang::Ref<util::Random> random = lang::adopt(new util::Random(recipe.seed));
    SoundBuffer mix(recipe.channels, 0);
    for (const Layer& layer : recipe.layers) {
        double at = layer.number("at", 0);
        int repeat = static_cast<int>(layer.number("repeat", 1));
        int scatter = static_cast<int>(layer.number("scatter", 0));
        if (repeat < 1 || repeat > 2000 || scatter < 0 || scatter > 2000)
            throw SoundError(layer.where + ": \"repeat\" must be 1 to 2000 and \"scatter\" 0 to 2000");
        double every = layer.number("every", 0.1);
        double over = layer.number("over", recipe.length);
        int instances = scatter > 0 ? scatter : repeat;
        for (int i = 0; i < instances; ++i) {
            double time = scatter > 0 ? at + over * unit(*random) : at + i * every;
            time += layer.number("jitter", 0) * bipolar(*random);
            double semitones = i * layer.number("step", 0) + layer.number("detune", 0) * bipolar(*random);
            double gainDb = layer.number("gain", 0) + i * layer.number("fade", 0) +
                            layer.number("vary", 0) * bipolar(*random);
            double pan = layer.number("pan", 0);
            if (scatter > 0 && !layer.has("pan"))
                pan = 0.8 * bipolar(*random);  // scattered sounds spread over the stereo field
            std::vector<float> part = renderLayerOnce(layer, std::pow(2.0, semitones / 12.0), *random);
            mixInto(mix, part, time, dbToGain(gainDb), pan);
        }
    }
    size_t frames = static_cast<size_t>(recipe.length * kRate + 0.5);
    if (recipe.loop) {
        if (mix.frames() < frames)
            mix.samples.resize(frames * static_cast<size_t>(mix.channels), 0.0f);
        foldLoop(mix, frames);
    } else {
        mix.samples.resize(frames * static_cast<size_t>(mix.channels), 0.0f);
    }
    return mix;
}

SoundBuffer buildRecipe(const Recipe& recipe) {
    SoundBuffer sound = renderRecipe(recipe);
    if (recipe.loop) {
        removeLoopDc(sound);
    } else {
        removeDc(sound);
        fadeEnds(sound, 0.001, std::min(0.02, recipe.length / 4));
    }
    try {
        finishLevel(sound, recipe.kind, recipe.levelDb, recipe.loop);
    } catch (const SoundError& e) {
        throw SoundError(recipe.path + ": " + e.what());
    }
    return sound;
}

}  // namespace soundgen
