// Direct ALSA output: a thread that asks for the next stretch of the mix and writes it to an ALSA PCM.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace sound {

// Plays 16-bit interleaved stereo from a render callback on an ALSA PCM of its own, bypassing the back-end
// OpenAL Soft chose for the process. Used only inside the sound engine; no ALSA type leaves this file.
class AlsaOutput {
public:
    // Fills `frames` stereo frames at `out`; called on the output thread only.
    using Render = std::function<void(int16_t* out, long frames)>;

    // Opens the PCM `name` ("default" when empty) at `rate` Hz, letting ALSA resample when the device runs
    // at another rate, with periods of about `periodMs` milliseconds (four periods buffered). Null with
    // `error` naming the PCM and ALSA's reason when it cannot be opened or configured.
    static std::unique_ptr<AlsaOutput> open(const std::string& name, int rate, int periodMs,
                                            std::string& error);
    // Stops the thread (when started) and closes the PCM.
    ~AlsaOutput();
    AlsaOutput(const AlsaOutput&) = delete;
    AlsaOutput& operator=(const AlsaOutput&) = delete;

    // Starts the output thread. False when the thread cannot start.
    bool start(Render render);
    // Ends the output thread; the PCM stays open until destruction.
    void stop();

    int rate() const { return rate_; }
    long periodFrames() const { return periodFrames_; }
    // The output thread's CPU time in nanoseconds (0 when not running).
    int64_t threadCpuNanos() const;

private:
    struct State;
    explicit AlsaOutput(std::unique_ptr<State> state, int rate, long periodFrames, long bufferFrames);
    void run();

    std::unique_ptr<State> state_;
    int rate_;
    long periodFrames_;
    long bufferFrames_;
};

}  // namespace sound
