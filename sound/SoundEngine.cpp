// The sound engine on OpenAL Soft: 32 sources as channels, samples in single buffers, streams and
// module songs refilled through queued buffers by one engine thread.
#include "sound/SoundEngine.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "lang/Ref.h"
#include "sound/AlsaOutput.h"
#include "sound/Decoder.h"

namespace sound {

namespace {

// Four queued buffers of 4096 frames hold 186 ms of a 44.1 kHz stream; the engine thread tops the
// queue up every 20 ms, so a refill is never late unless the machine stalls for longer than that.
constexpr int kQueuedBuffers = 4;
constexpr long kBufferFrames = 4096;
constexpr auto kRefillPeriod = std::chrono::milliseconds(20);
// A sample is decoded whole into memory; more than this (about six minutes of 44.1 kHz stereo) is
// refused rather than letting a corrupt length exhaust memory.
constexpr size_t kMaxSampleBytes = 64u << 20;

enum class Kind { Sample, Stream, Song };

// A stream or a song: its decoder and the buffers it cycles through its channel's queue.
struct Streamed {
    lang::Ref<lang::ByteArray> data;  // the bytes a stream decodes from (songs are copied by libxmp)
    std::unique_ptr<Decoder> decoder;
    std::array<ALuint, kQueuedBuffers> buffers{};
    ALenum format = AL_FORMAT_STEREO16;
    std::vector<int16_t> scratch;
    int channel = -1;
    bool loop = false;
    bool drained = false;   // the decoder has delivered its last frame for this play
    bool reported = false;  // a decoding error has been written to the log once
    int volume = 255;       // a song's master volume
};

struct Sound {
    Kind kind = Kind::Sample;
    std::string name;
    ALuint buffer = 0;  // a sample's whole data
    int rate = 0;
    std::unique_ptr<Streamed> streamed;
};

struct Channel {
    ALuint source = 0;
    int32_t owner = 0;
    Kind kind = Kind::Sample;
    bool paused = false;
    int volume = 255;
    uint64_t started = 0;  // order of starts, to take over the oldest effect when all are busy
};

struct Engine {
    // Guards everything below; the engine thread holds it for each refill pass.
    std::mutex mutex;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::vector<Channel> channels;
    std::unordered_map<int32_t, Sound> sounds;
    std::thread thread;
    std::condition_variable wake;
    bool quit = false;
    bool openalUsed = false;  // OpenAL Soft has chosen its back-end for this process
    // The first start asked for ALSA, so OpenAL Soft's own back-end already answers a forced ALSA start.
    bool backendForcedAlsa = false;
    // The direct ALSA output of a forced ALSA start that came after OpenAL Soft had chosen another
    // back-end: the device is then a loopback device that this output renders.
    std::unique_ptr<AlsaOutput> direct;
    uint64_t startCounter = 0;
    int outputRate = 22050;
    clockid_t threadClock{};
    bool haveThreadClock = false;
    std::string lastStartError;
};

// Never destroyed: a game that ends without a shutdown must not join a thread from a static
// destructor.
Engine& engine() {
    static Engine* instance = new Engine();
    return *instance;
}

std::atomic<bool> running{false};
std::atomic<int> master{255};
std::atomic<int32_t> nextHandle{1};

int clampVolume(int volume) {
    return std::clamp(volume, 0, 255);
}

float gainOf(const Channel& channel) {
    float gain = static_cast<float>(channel.volume) / 255.0f;
    if (channel.kind == Kind::Sample)
        gain *= static_cast<float>(master.load()) / 255.0f;
    return gain;
}

ALint sourceState(ALuint source) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

Sound* findSound(Engine& e, int32_t handle) {
    auto it = e.sounds.find(handle);
    return it == e.sounds.end() ? nullptr : &it->second;
}

// The channel when it still plays, or holds paused, the handle's sound.
Channel* activeChannel(Engine& e, int channel, int32_t handle) {
    if (channel < 0 || channel >= static_cast<int>(e.channels.size()) || handle == 0)
        return nullptr;
    Channel& c = e.channels[static_cast<size_t>(channel)];
    if (c.owner != handle)
        return nullptr;
    // A stream or song keeps its channel until the engine thread sees it end; an effect is done as
    // soon as its source has stopped.
    if (c.kind == Kind::Sample && !c.paused && sourceState(c.source) != AL_PLAYING)
        return nullptr;
    return &c;
}

bool isFree(Channel& c) {
    if (c.owner == 0)
        return true;
    return c.kind == Kind::Sample && !c.paused && sourceState(c.source) != AL_PLAYING;
}

// Silences a channel and empties its source; a stream or song on it goes back to its beginning.
void releaseChannel(Engine& e, Channel& c) {
    alSourceStop(c.source);
    alSourcei(c.source, AL_BUFFER, 0);
    alSourcei(c.source, AL_LOOPING, AL_FALSE);
    if (c.kind != Kind::Sample && c.owner != 0) {
        if (Sound* sound = findSound(e, c.owner); sound != nullptr && sound->streamed) {
            Streamed& s = *sound->streamed;
            s.channel = -1;
            s.drained = false;
            s.decoder->rewind();
        }
    }
    c.owner = 0;
    c.paused = false;
}

// A free channel, preferring the one asked for; when all are busy, the effect started longest ago.
int pickChannel(Engine& e, int wanted) {
    int count = static_cast<int>(e.channels.size());
    if (wanted >= 0 && wanted < count && isFree(e.channels[static_cast<size_t>(wanted)]))
        return wanted;
    for (int i = 0; i < count; ++i)
        if (isFree(e.channels[static_cast<size_t>(i)]))
            return i;
    int oldest = -1;
    for (int i = 0; i < count; ++i) {
        Channel& c = e.channels[static_cast<size_t>(i)];
        if (c.kind == Kind::Sample &&
            (oldest < 0 || c.started < e.channels[static_cast<size_t>(oldest)].started))
            oldest = i;
    }
    return oldest;
}

void logError(const std::string& text) {
    std::fprintf(stderr, "sound: %s\n", text.c_str());
}

// Decodes the next piece of a stream into buffer; false when nothing is left to play.
bool fillBuffer(Streamed& s, ALuint buffer) {
    if (s.drained)
        return false;
    Decoder& decoder = *s.decoder;
    int channels = decoder.channels();
    long got = 0;
    bool rewoundEmpty = false;
    while (got < kBufferFrames) {
        long n = decoder.read(s.scratch.data() + got * channels, kBufferFrames - got, s.loop);
        if (n < 0) {
            if (!s.reported)
                logError(decoder.error());
            s.reported = true;
            s.drained = true;
            break;
        }
        if (n == 0) {
            // Looping continues in the same buffer, so the end joins the beginning without a gap. A
            // sound that delivers nothing right after a rewind would loop forever: it is ended.
            if (!s.loop || rewoundEmpty || !decoder.rewind()) {
                s.drained = true;
                break;
            }
            rewoundEmpty = true;
            continue;
        }
        rewoundEmpty = false;
        got += n;
    }
    if (got == 0)
        return false;
    alBufferData(buffer, s.format, s.scratch.data(), static_cast<ALsizei>(got * channels * 2),
                 decoder.rate());
    return alGetError() == AL_NO_ERROR;
}

// One refill pass over a stream or song that holds a channel.
void service(Engine& e, Sound& sound) {
    Streamed& s = *sound.streamed;
    Channel& c = e.channels[static_cast<size_t>(s.channel)];
    ALint processed = 0;
    alGetSourcei(c.source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(c.source, 1, &buffer);
        if (fillBuffer(s, buffer))
            alSourceQueueBuffers(c.source, 1, &buffer);
    }
    if (c.paused || sourceState(c.source) == AL_PLAYING)
        return;
    ALint queued = 0;
    alGetSourcei(c.source, AL_BUFFERS_QUEUED, &queued);
    if (queued > 0 && !s.drained) {
        alSourcePlay(c.source);  // the queue ran dry before a refill: go on with what is queued now
    } else if (queued > 0) {
        // The last pieces are queued but the source stopped early (an underrun at the very end).
        ALint processedNow = 0;
        alGetSourcei(c.source, AL_BUFFERS_PROCESSED, &processedNow);
        if (processedNow < queued)
            alSourcePlay(c.source);
        else
            releaseChannel(e, c);
    } else {
        releaseChannel(e, c);  // played to its end
    }
}

void threadMain() {
    Engine& e = engine();
    std::unique_lock<std::mutex> lock(e.mutex);
    while (!e.quit) {
        for (auto& [handle, sound] : e.sounds)
            if (sound.streamed && sound.streamed->channel >= 0)
                service(e, sound);
        e.wake.wait_for(lock, kRefillPeriod, [&e] { return e.quit; });
    }
}

// Starts a stream or song from its beginning on a free channel.
int startStreamed(Engine& e, int32_t handle, Sound& sound, bool loop, bool paused) {
    Streamed& s = *sound.streamed;
    if (s.channel >= 0)
        releaseChannel(e, e.channels[static_cast<size_t>(s.channel)]);
    int index = pickChannel(e, -1);
    if (index < 0)
        return -1;
    Channel& c = e.channels[static_cast<size_t>(index)];
    if (c.owner != 0)
        releaseChannel(e, c);
    s.decoder->rewind();
    s.drained = false;
    s.loop = loop;
    int filled = 0;
    while (filled < kQueuedBuffers && fillBuffer(s, s.buffers[static_cast<size_t>(filled)]))
        ++filled;
    if (filled == 0)
        return -1;
    alSourcei(c.source, AL_LOOPING, AL_FALSE);
    alSourceQueueBuffers(c.source, filled, s.buffers.data());
    c.owner = handle;
    c.kind = sound.kind;
    c.paused = paused;
    c.started = ++e.startCounter;
    c.volume = sound.kind == Kind::Song ? s.volume : 255;
    alSourcef(c.source, AL_GAIN, gainOf(c));
    alSourcef(c.source, AL_PITCH, 1.0f);
    s.channel = index;
    if (!paused)
        alSourcePlay(c.source);
    return index;
}

int32_t addStreamed(Engine& e, Kind kind, std::unique_ptr<Decoder> decoder, lang::ByteArray* data,
                    const std::string& name, std::string* error) {
    auto s = std::make_unique<Streamed>();
    alGetError();
    alGenBuffers(kQueuedBuffers, s->buffers.data());
    if (alGetError() != AL_NO_ERROR) {
        if (error)
            *error = name + ": no sound buffers left";
        return 0;
    }
    s->format = decoder->channels() == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    s->scratch.resize(static_cast<size_t>(kBufferFrames * decoder->channels()));
    s->decoder = std::move(decoder);
    s->data = lang::share(data);
    int32_t handle = nextHandle++;
    Sound sound;
    sound.kind = kind;
    sound.name = name;
    sound.rate = s->decoder->rate();
    sound.streamed = std::move(s);
    e.sounds.emplace(handle, std::move(sound));
    return handle;
}

// OpenAL Soft reads its configuration once, on its first use in the process, and only there can the
// device's update size ("period_size", in frames) be chosen; version 1.19 ignores ALC_REFRESH. Before
// the first start the engine therefore hands it a configuration file of its own: the file that
// ALSOFT_CONF names, if any, followed by the output rate and the period size, so that everything
// else the user configured still holds. Restores ALSOFT_CONF and removes the file when destroyed.
class MixBufferConfig {
public:
    MixBufferConfig(int rate, int mixBufferMs) {
        const char* previous = std::getenv("ALSOFT_CONF");
        if (previous != nullptr)
            previous_ = previous;
        hadPrevious_ = previous != nullptr;
        char path[] = "/tmp/lumaroo-alsoft-XXXXXX";
        int fd = mkstemp(path);
        if (fd < 0)
            return;
        std::string text;
        if (hadPrevious_) {
            std::ifstream user(previous_);
            text.assign(std::istreambuf_iterator<char>(user), std::istreambuf_iterator<char>());
        }
        long frames = std::clamp(static_cast<long>(rate) * mixBufferMs / 1000, 64L, 8192L);
        text += "\n[general]\nfrequency = " + std::to_string(rate) +
                "\nperiod_size = " + std::to_string(frames) + "\n";
        bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        close(fd);
        path_ = path;
        if (written)
            setenv("ALSOFT_CONF", path, 1);
    }
    ~MixBufferConfig() {
        if (path_.empty())
            return;
        if (hadPrevious_)
            setenv("ALSOFT_CONF", previous_.c_str(), 1);
        else
            unsetenv("ALSOFT_CONF");
        unlink(path_.c_str());
    }
    MixBufferConfig(const MixBufferConfig&) = delete;
    MixBufferConfig& operator=(const MixBufferConfig&) = delete;

private:
    std::string path_;
    std::string previous_;
    bool hadPrevious_ = false;
};

// The period of the direct output when the game leaves the mix buffer to the engine.
constexpr int kDirectPeriodMs = 20;

// Opens an OpenAL Soft loopback device whose mix the direct ALSA output pulls, and that output. OpenAL
// Soft settles on one back-end at its first use in the process and never reconsiders, so this is how a
// later start reaches ALSA at all. The context attributes for the device are appended to attributes.
bool openDirect(Engine& e, const EngineOptions& options, std::vector<ALCint>& attributes, std::string& why) {
    auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto render =
        reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE || openLoopback == nullptr ||
        render == nullptr) {
        why = "OpenAL Soft offers no loopback device for the direct ALSA output";
        return false;
    }
    e.direct = AlsaOutput::open(options.deviceName, e.outputRate,
                                options.mixBufferMs > 0 ? options.mixBufferMs : kDirectPeriodMs, why);
    if (!e.direct)
        return false;
    e.device = openLoopback(nullptr);
    if (e.device == nullptr) {
        why = "OpenAL Soft refused a loopback device for the direct ALSA output";
        return false;
    }
    attributes.insert(attributes.end(),
                      {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT});
    return true;
}

// Starts the direct output once the loopback device has its context, and with it the format it renders.
bool startDirect(Engine& e) {
    auto render =
        reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    ALCdevice* device = e.device;
    return e.direct->start(
        [device, render](int16_t* out, long frames) { render(device, out, static_cast<ALCsizei>(frames)); });
}

void stopLocked(Engine& e, int32_t handle) {
    for (Channel& c : e.channels)
        if (c.owner == handle)
            releaseChannel(e, c);
}

}  // namespace

lang::Object* soundLock() {
    static lang::Object* lock = new lang::Object();
    return lock;
}

bool SoundEngine::start(const EngineOptions& options) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    if (running.load())
        return true;
    // The choices OpenAL Soft makes once per process: they only reach it before its first use.
    std::unique_ptr<MixBufferConfig> mixConfig;
    bool direct = false;
    if (!e.openalUsed) {
        if (options.forceAlsa && std::getenv("ALSOFT_DRIVERS") == nullptr)
            setenv("ALSOFT_DRIVERS", "alsa", 0);
        if (options.mixBufferMs > 0)
            mixConfig = std::make_unique<MixBufferConfig>(std::clamp(options.outputRate, 8000, 192000),
                                                          options.mixBufferMs);
        e.backendForcedAlsa = options.forceAlsa;
    } else {
        direct = options.forceAlsa && !e.backendForcedAlsa;
    }
    e.openalUsed = true;

    auto fail = [&e](const std::string& why) {
        e.lastStartError = why;
        // The direct output renders the device: it stops before the device goes.
        if (e.direct)
            e.direct->stop();
        for (Channel& c : e.channels)
            alDeleteSources(1, &c.source);
        e.channels.clear();
        if (e.context != nullptr) {
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(e.context);
        }
        if (e.device != nullptr)
            alcCloseDevice(e.device);
        e.context = nullptr;
        e.device = nullptr;
        e.direct.reset();
        return false;
    };

    e.outputRate = std::clamp(options.outputRate, 8000, 192000);
    std::vector<ALCint> attributes{ALC_FREQUENCY, e.outputRate};
    if (direct) {
        std::string why;
        if (!openDirect(e, options, attributes, why))
            return fail(why);
    } else {
        e.device = alcOpenDevice(options.deviceName.empty() ? nullptr : options.deviceName.c_str());
        mixConfig.reset();
        if (e.device == nullptr)
            return fail(options.deviceName.empty() ? "no sound device"
                                                   : "no sound device \"" + options.deviceName + "\"");
    }
    // Later starts, and OpenAL Soft versions that honour it, take the mix buffer as the update rate.
    if (!direct && options.mixBufferMs > 0) {
        attributes.push_back(ALC_REFRESH);
        attributes.push_back(std::max(1, 1000 / options.mixBufferMs));
    }
    attributes.push_back(0);
    e.context = alcCreateContext(e.device, attributes.data());
    if (e.context == nullptr || alcMakeContextCurrent(e.context) != ALC_TRUE)
        return fail("the sound device refused a 22050 Hz context");
    alGetError();
    for (int i = 0; i < std::max(1, options.channels); ++i) {
        Channel c;
        alGenSources(1, &c.source);
        if (alGetError() != AL_NO_ERROR)
            break;
        e.channels.push_back(c);
    }
    if (e.channels.empty())
        return fail("the sound device gives no channels");
    if (e.direct && !startDirect(e))
        return fail("the direct ALSA output thread does not start");

    e.quit = false;
    try {
        e.thread = std::thread(threadMain);
    } catch (const std::system_error&) {
        return fail("the engine thread does not start");
    }
    e.haveThreadClock = pthread_getcpuclockid(e.thread.native_handle(), &e.threadClock) == 0;
    e.lastStartError.clear();
    running.store(true);
    return true;
}

void SoundEngine::shutdown() {
    Engine& e = engine();
    {
        std::lock_guard<std::mutex> guard(e.mutex);
        if (!running.load())
            return;
        running.store(false);
        e.quit = true;
    }
    e.wake.notify_all();
    if (e.thread.joinable())
        e.thread.join();
    std::lock_guard<std::mutex> guard(e.mutex);
    if (e.direct)
        e.direct->stop();
    for (Channel& c : e.channels) {
        alSourceStop(c.source);
        alSourcei(c.source, AL_BUFFER, 0);
        alDeleteSources(1, &c.source);
    }
    e.channels.clear();
    for (auto& [handle, sound] : e.sounds) {
        if (sound.buffer != 0)
            alDeleteBuffers(1, &sound.buffer);
        if (sound.streamed)
            alDeleteBuffers(kQueuedBuffers, sound.streamed->buffers.data());
    }
    e.sounds.clear();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(e.context);
    alcCloseDevice(e.device);
    e.context = nullptr;
    e.device = nullptr;
    e.direct.reset();
    e.haveThreadClock = false;
    e.quit = false;
}

bool SoundEngine::isRunning() {
    return running.load();
}

bool SoundEngine::isKnown(int32_t handle) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    return findSound(e, handle) != nullptr;
}

int32_t SoundEngine::loadSample(const uint8_t* data, size_t size, const std::string& name,
                                std::string* error) {
    Engine& e = engine();
    std::string why;
    std::unique_ptr<Decoder> decoder = openSoundDecoder(data, size, name, why);
    if (!decoder) {
        if (error)
            *error = why;
        return 0;
    }
    // Decoded outside the engine lock, so that a long sample does not hold up the playing streams.
    std::vector<int16_t> pcm;
    int channels = decoder->channels();
    std::vector<int16_t> piece(static_cast<size_t>(kBufferFrames * channels));
    for (;;) {
        long n = decoder->read(piece.data(), kBufferFrames, false);
        if (n < 0) {
            if (error)
                *error = decoder->error();
            return 0;
        }
        if (n == 0)
            break;
        pcm.insert(pcm.end(), piece.begin(), piece.begin() + n * channels);
        if (pcm.size() * 2 > kMaxSampleBytes) {
            if (error)
                *error = name + ": longer than a sample may be (expected at most 64 MiB decoded)";
            return 0;
        }
    }
    std::lock_guard<std::mutex> guard(e.mutex);
    if (!running.load()) {
        if (error)
            *error = name + ": sound is not running";
        return 0;
    }
    Sound sound;
    sound.kind = Kind::Sample;
    sound.name = name;
    sound.rate = decoder->rate();
    alGetError();
    alGenBuffers(1, &sound.buffer);
    if (alGetError() != AL_NO_ERROR) {
        if (error)
            *error = name + ": no sound buffers left";
        return 0;
    }
    // An empty sound still gets one silent frame, so that it plays (and ends) like any other.
    if (pcm.empty())
        pcm.assign(static_cast<size_t>(channels), 0);
    alBufferData(sound.buffer, channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm.data(),
                 static_cast<ALsizei>(pcm.size() * 2), sound.rate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &sound.buffer);
        if (error)
            *error = name + ": the sound device refused the sample data";
        return 0;
    }
    int32_t handle = nextHandle++;
    e.sounds.emplace(handle, std::move(sound));
    return handle;
}

int SoundEngine::playSample(int32_t sample, int channel, bool loop, bool paused) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Sound* sound = findSound(e, sample);
    if (sound == nullptr || sound->kind != Kind::Sample)
        return -1;
    int index = pickChannel(e, channel);
    if (index < 0)
        return -1;
    Channel& c = e.channels[static_cast<size_t>(index)];
    releaseChannel(e, c);
    alSourcei(c.source, AL_BUFFER, static_cast<ALint>(sound->buffer));
    alSourcei(c.source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    c.owner = sample;
    c.kind = Kind::Sample;
    c.paused = paused;
    c.volume = 255;
    c.started = ++e.startCounter;
    alSourcef(c.source, AL_GAIN, gainOf(c));
    alSourcef(c.source, AL_PITCH, 1.0f);
    if (!paused)
        alSourcePlay(c.source);
    return index;
}

int32_t SoundEngine::openStream(lang::ByteArray* data, const std::string& name, std::string* error) {
    Engine& e = engine();
    if (data == nullptr) {
        if (error)
            *error = name + ": no data";
        return 0;
    }
    std::string why;
    std::unique_ptr<Decoder> decoder =
        openSoundDecoder(data->data(), static_cast<size_t>(data->length()), name, why);
    if (!decoder) {
        if (error)
            *error = why;
        return 0;
    }
    std::lock_guard<std::mutex> guard(e.mutex);
    if (!running.load()) {
        if (error)
            *error = name + ": sound is not running";
        return 0;
    }
    return addStreamed(e, Kind::Stream, std::move(decoder), data, name, error);
}

int SoundEngine::playStream(int32_t stream, bool loop, bool paused) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Sound* sound = findSound(e, stream);
    if (sound == nullptr || sound->kind != Kind::Stream)
        return -1;
    return startStreamed(e, stream, *sound, loop, paused);
}

int32_t SoundEngine::loadSong(const uint8_t* data, size_t size, const std::string& name, std::string* error) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    if (!running.load()) {
        if (error)
            *error = name + ": sound is not running";
        return 0;
    }
    std::string why;
    std::unique_ptr<Decoder> decoder = openModuleDecoder(data, size, e.outputRate, name, why);
    if (!decoder) {
        if (error)
            *error = why;
        return 0;
    }
    return addStreamed(e, Kind::Song, std::move(decoder), nullptr, name, error);
}

bool SoundEngine::playSong(int32_t song, bool loop) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Sound* sound = findSound(e, song);
    if (sound == nullptr || sound->kind != Kind::Song)
        return false;
    return startStreamed(e, song, *sound, loop, false) >= 0;
}

bool SoundEngine::isSongActive(int32_t song) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Sound* sound = findSound(e, song);
    return sound != nullptr && sound->kind == Kind::Song && sound->streamed->channel >= 0;
}

bool SoundEngine::isSongPaused(int32_t song) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Sound* sound = findSound(e, song);
    if (sound == nullptr || sound->kind != Kind::Song)
        return false;
    Channel* c = activeChannel(e, sound->streamed->channel, song);
    return c != nullptr && c->paused;
}

void SoundEngine::setSongPaused(int32_t song, bool paused) {
    int channel = -1;
    {
        Engine& e = engine();
        std::lock_guard<std::mutex> guard(e.mutex);
        Sound* sound = findSound(e, song);
        if (sound == nullptr || sound->kind != Kind::Song)
            return;
        channel = sound->streamed->channel;
    }
    setChannelPaused(channel, song, paused);
}

void SoundEngine::setSongVolume(int32_t song, int volume) {
    int channel = -1;
    {
        Engine& e = engine();
        std::lock_guard<std::mutex> guard(e.mutex);
        Sound* sound = findSound(e, song);
        if (sound == nullptr || sound->kind != Kind::Song)
            return;
        sound->streamed->volume = clampVolume(volume);
        channel = sound->streamed->channel;
    }
    setChannelVolume(channel, song, volume);
}

int SoundEngine::defaultFrequency(int32_t handle) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Sound* sound = findSound(e, handle);
    return sound == nullptr ? 0 : sound->rate;
}

void SoundEngine::stop(int32_t handle) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    if (findSound(e, handle) != nullptr)
        stopLocked(e, handle);
}

void SoundEngine::free(int32_t handle) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Sound* sound = findSound(e, handle);
    if (sound == nullptr)
        return;
    stopLocked(e, handle);
    if (sound->buffer != 0)
        alDeleteBuffers(1, &sound->buffer);
    if (sound->streamed)
        alDeleteBuffers(kQueuedBuffers, sound->streamed->buffers.data());
    e.sounds.erase(handle);
}

void SoundEngine::stopChannel(int channel, int32_t handle) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    if (Channel* c = activeChannel(e, channel, handle))
        releaseChannel(e, *c);
}

void SoundEngine::setChannelPaused(int channel, int32_t handle, bool paused) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Channel* c = activeChannel(e, channel, handle);
    if (c == nullptr || c->paused == paused)
        return;
    c->paused = paused;
    // Play resumes a paused source where it stopped and starts one that was set up paused.
    if (!paused) {
        alSourcePlay(c->source);
        return;
    }
    alSourcePause(c->source);
    // An effect that reached its end just before the pause is over, not paused: a later unpause must
    // not start it again from the beginning.
    if (c->kind == Kind::Sample && sourceState(c->source) == AL_STOPPED)
        c->paused = false;
}

void SoundEngine::setChannelVolume(int channel, int32_t handle, int volume) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Channel* c = activeChannel(e, channel, handle);
    if (c == nullptr)
        return;
    c->volume = clampVolume(volume);
    alSourcef(c->source, AL_GAIN, gainOf(*c));
}

void SoundEngine::setChannelFrequency(int channel, int32_t handle, int frequency) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Channel* c = activeChannel(e, channel, handle);
    Sound* sound = findSound(e, handle);
    if (c == nullptr || sound == nullptr || sound->rate <= 0)
        return;
    // OpenAL Soft resamples up to 255 times the sample's own rate; a rate of 0 would stall the queue.
    float pitch = static_cast<float>(std::max(frequency, 1)) / static_cast<float>(sound->rate);
    alSourcef(c->source, AL_PITCH, std::min(pitch, 255.0f));
}

bool SoundEngine::isChannelActive(int channel, int32_t handle) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    return activeChannel(e, channel, handle) != nullptr;
}

bool SoundEngine::isChannelPaused(int channel, int32_t handle) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    Channel* c = activeChannel(e, channel, handle);
    return c != nullptr && c->paused;
}

void SoundEngine::setMasterVolume(int volume) {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    master.store(clampVolume(volume));
    for (Channel& c : e.channels)
        if (c.kind == Kind::Sample && c.owner != 0)
            alSourcef(c.source, AL_GAIN, gainOf(c));
}

int SoundEngine::masterVolume() {
    return master.load();
}

int SoundEngine::updateMs() {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    if (e.device == nullptr)
        return 0;
    if (e.direct)
        return static_cast<int>((e.direct->periodFrames() * 1000 + e.direct->rate() / 2) / e.direct->rate());
    ALCint refresh = 0;
    alcGetIntegerv(e.device, ALC_REFRESH, 1, &refresh);
    return refresh > 0 ? (1000 + refresh / 2) / refresh : 0;
}

int SoundEngine::channelCount() {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    return static_cast<int>(e.channels.size());
}

int64_t SoundEngine::engineThreadCpuNanos() {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    timespec time{};
    if (!e.haveThreadClock || clock_gettime(e.threadClock, &time) != 0)
        return 0;
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

std::string SoundEngine::lastStartError() {
    Engine& e = engine();
    std::lock_guard<std::mutex> guard(e.mutex);
    return e.lastStartError;
}

}  // namespace sound
