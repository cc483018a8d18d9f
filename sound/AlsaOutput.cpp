// Direct ALSA output: renders the mix period by period and writes it to a PCM opened with libasound.
#include "sound/AlsaOutput.h"

#include <alsa/asoundlib.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <thread>
#include <vector>

namespace sound {

namespace {

// Failed writes in a row that recovery does not cure before the output gives up (a device unplugged).
constexpr int kMaxFailedWrites = 8;

}  // namespace

struct AlsaOutput::State {
    snd_pcm_t* pcm = nullptr;
    std::thread thread;
    std::atomic<bool> quit{false};
    Render render;
    clockid_t clock{};
    bool haveClock = false;
};

std::unique_ptr<AlsaOutput> AlsaOutput::open(const std::string& name, int rate, int periodMs,
                                             std::string& error) {
    const std::string device = name.empty() ? "default" : name;
    auto state = std::make_unique<State>();
    // Opened without blocking, so that a device another program holds answers "busy" at once instead of
    // holding the start until it is free; writes block again afterwards, which paces the output.
    int rc = snd_pcm_open(&state->pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (rc < 0) {
        error = "no ALSA device \"" + device + "\": " + snd_strerror(rc);
        return nullptr;
    }
    snd_pcm_nonblock(state->pcm, 0);
    // Four periods buffered; the plug layer resamples when the device does not take the rate itself.
    const unsigned latencyUs = 4u * static_cast<unsigned>(std::clamp(periodMs, 5, 250)) * 1000u;
    rc = snd_pcm_set_params(state->pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 2,
                            static_cast<unsigned>(rate), 1, latencyUs);
    snd_pcm_uframes_t bufferFrames = 0;
    snd_pcm_uframes_t periodFrames = 0;
    if (rc >= 0)
        rc = snd_pcm_get_params(state->pcm, &bufferFrames, &periodFrames);
    if (rc < 0 || periodFrames == 0) {
        error = "the ALSA device \"" + device + "\" refused 16-bit stereo at " + std::to_string(rate) +
                " Hz: " + (rc < 0 ? snd_strerror(rc) : "no period size");
        snd_pcm_close(state->pcm);
        return nullptr;
    }
    return std::unique_ptr<AlsaOutput>(
        new AlsaOutput(std::move(state), rate, static_cast<long>(periodFrames),
                       static_cast<long>(std::max(bufferFrames, periodFrames))));
}

AlsaOutput::AlsaOutput(std::unique_ptr<State> state, int rate, long periodFrames, long bufferFrames)
    : state_(std::move(state)), rate_(rate), periodFrames_(periodFrames), bufferFrames_(bufferFrames) {}

AlsaOutput::~AlsaOutput() {
    stop();
    snd_pcm_drop(state_->pcm);
    snd_pcm_close(state_->pcm);
}

bool AlsaOutput::start(Render render) {
    State& s = *state_;
    if (s.thread.joinable())
        return true;
    s.render = std::move(render);
    s.quit.store(false);
    try {
        s.thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        return false;
    }
    s.haveClock = pthread_getcpuclockid(s.thread.native_handle(), &s.clock) == 0;
    return true;
}

void AlsaOutput::stop() {
    State& s = *state_;
    s.quit.store(true);
    if (s.thread.joinable())
        s.thread.join();
    s.haveClock = false;
}

int64_t AlsaOutput::threadCpuNanos() const {
    timespec time{};
    if (!state_->haveClock || clock_gettime(state_->clock, &time) != 0)
        return 0;
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

void AlsaOutput::run() {
    State& s = *state_;
    using Clock = std::chrono::steady_clock;
    const auto framesToTime = [this](long long frames) {
        return std::chrono::microseconds(frames * 1000000 / rate_);
    };
    const auto periodTime = framesToTime(periodFrames_);
    const auto bufferTime = framesToTime(bufferFrames_);
    std::vector<int16_t> mix(static_cast<size_t>(periodFrames_ * 2));
    // A PCM backed by hardware blocks the writer and so keeps time itself; some (null, file) take data as
    // fast as it comes, and the thread then keeps to the clock, at most one buffer ahead. Every write that
    // blocked re-anchors that clock, so a device running a little fast never drifts into a wait.
    auto anchor = Clock::now();
    long long sinceAnchor = 0;
    int failures = 0;
    while (!s.quit.load()) {
        s.render(mix.data(), periodFrames_);
        const auto before = Clock::now();
        long done = 0;
        while (done < periodFrames_ && !s.quit.load()) {
            snd_pcm_sframes_t n = snd_pcm_writei(s.pcm, mix.data() + done * 2,
                                                 static_cast<snd_pcm_uframes_t>(periodFrames_ - done));
            if (n >= 0) {
                done += static_cast<long>(n);
                failures = 0;
                continue;
            }
            // An underrun or a suspend is recovered from; a device that keeps failing ends the output.
            if (snd_pcm_recover(s.pcm, static_cast<int>(n), 1) < 0 || ++failures > kMaxFailedWrites) {
                std::fprintf(stderr, "sound: the ALSA output stopped: %s\n",
                             snd_strerror(static_cast<int>(n)));
                return;
            }
        }
        const auto after = Clock::now();
        sinceAnchor += periodFrames_;
        if (after - before >= periodTime / 4) {
            anchor = after;
            sinceAnchor = 0;
            continue;
        }
        const auto ahead = anchor + framesToTime(sinceAnchor) - after;
        if (ahead > bufferTime)
            std::this_thread::sleep_for(ahead - bufferTime);
    }
}

}  // namespace sound
