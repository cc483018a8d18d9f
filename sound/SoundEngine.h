// The sound engine: samples, looping streams and module songs played on channels of OpenAL Soft.
#pragma once

#include <cstdint>
#include <string>

#include "lang/Arrays.h"
#include "lang/Object.h"

namespace sound {

// How the engine starts. The output rate and channel count are the game's fixed 22050 Hz and 32.
struct EngineOptions {
    int outputRate = 22050;
    int channels = 32;
    // The device's update (mix buffer) length in milliseconds; -1 keeps the device default. It reaches
    // OpenAL Soft 1.19's own back-ends only at the first start in the process; the direct ALSA output
    // (below) takes it as its period at any start.
    int mixBufferMs = -1;
    // Output through ALSA rather than the desktop sound server. At the first start in the process this
    // selects OpenAL Soft's ALSA back-end (unless the ALSOFT_DRIVERS environment variable already names
    // the back-ends: the user's choice stands). OpenAL Soft keeps the back-end it chose at its first use
    // for the life of the process, so a later start that forces ALSA, after a first start without it,
    // mixes through an OpenAL Soft loopback device and writes the mix to an ALSA PCM itself.
    bool forceAlsa = false;
    // A device by name; empty is the default device. For the direct ALSA output it names the ALSA PCM
    // (empty: "default").
    std::string deviceName;
};

// The process-wide lock that serialises every call the audio clips make into the engine. It is a
// leaf in the lock order: nothing else is locked while it is held, except the engine's own state.
lang::Object* soundLock();

// Handles are positive numbers, unique for the life of the process; 0 is none. A handle freed, or
// left over from before a shutdown, is simply unknown: every operation on it does nothing.
// Channels are numbered 0 to channels - 1; -1 is none. Channel operations name the handle that is
// expected on the channel and do nothing when another sound has taken the channel over since.
// Volumes are 0 to 255 (values outside are limited to that range).
class SoundEngine {
public:
    // Opens the device and starts the engine thread; true when it runs (at once when it already
    // ran). A failure leaves the engine stopped and every operation silent.
    static bool start(const EngineOptions& options);
    // Ends the engine thread, stops every channel, frees every buffer, sample, stream and song, and
    // closes the device. Handles taken before are unknown afterwards.
    static void shutdown();
    // The sound-ready flag: the engine has started and not been shut down.
    static bool isRunning();

    static bool isKnown(int32_t handle);

    // A sample, decoded whole from a WAV, Ogg Vorbis or MPEG audio file in memory (the bytes may be
    // freed afterwards). 0 on failure, with error naming the sound and what was wrong.
    static int32_t loadSample(const uint8_t* data, size_t size, const std::string& name, std::string* error);
    // Starts a sample on channel when that one is free, else on a free channel, else on the effect
    // channel started longest ago. Started paused when paused is set (see setChannelPaused). Answers
    // the channel, -1 when none.
    static int playSample(int32_t sample, int channel, bool loop, bool paused);

    // A stream decoded in pieces from bytes the engine keeps a reference on while the stream lives.
    static int32_t openStream(lang::ByteArray* data, const std::string& name, std::string* error);
    // Starts a stream from its beginning on a free channel; answers the channel or -1.
    static int playStream(int32_t stream, bool loop, bool paused);

    // A tracker module song; rendered at the output rate, in pieces like a stream.
    static int32_t loadSong(const uint8_t* data, size_t size, const std::string& name, std::string* error);
    static bool playSong(int32_t song, bool loop);
    static bool isSongActive(int32_t song);
    static bool isSongPaused(int32_t song);
    static void setSongPaused(int32_t song, bool paused);
    static void setSongVolume(int32_t song, int volume);

    // The playback rate of a sample or stream in Hz (0 when unknown; for songs the output rate).
    static int defaultFrequency(int32_t handle);
    // Stops whatever the handle plays (every channel of a sample, the channel of a stream or song)
    // and rewinds streams and songs.
    static void stop(int32_t handle);
    // Stops, then frees a sample, stream or song.
    static void free(int32_t handle);

    static void stopChannel(int channel, int32_t handle);
    static void setChannelPaused(int channel, int32_t handle, bool paused);
    static void setChannelVolume(int channel, int32_t handle, int volume);
    static void setChannelFrequency(int channel, int32_t handle, int frequency);
    // True while the channel plays (or holds paused) the handle's sound.
    static bool isChannelActive(int channel, int32_t handle);
    static bool isChannelPaused(int channel, int32_t handle);

    // The effects master volume: scales every sample channel (music streams and songs keep their own).
    static void setMasterVolume(int volume);
    static int masterVolume();

    // The device's update (mix buffer) length in milliseconds as the device reports it; 0 when stopped.
    static int updateMs();
    // Number of channels of the running engine (0 when stopped).
    static int channelCount();
    // CPU time the engine thread has used since the engine started, in nanoseconds.
    static int64_t engineThreadCpuNanos();
    // The error of the last failed start, for the log.
    static std::string lastStartError();
};

}  // namespace sound
