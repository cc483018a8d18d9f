// window::AudioClip: loading, playing and fading one clip through the sound engine.
#include "window/AudioClip.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "lang/CodePage.h"
#include "lang/Exception.h"
#include "lang/ResourceFile.h"
#include "sound/SoundEngine.h"
#include "util/DataProblems.h"

namespace window {

namespace {

using sound::SoundEngine;

// The volume a channel plays at before the game sets one.
constexpr int kEngineDefaultVolume = 255;
// Larger sound files than this are refused rather than read whole into memory.
constexpr long kMaxFileBytes = 256L << 20;

class SoundGuard {
public:
    // The sound lock lives for the whole process, so no reference is taken on it.
    SoundGuard() : guard_(sound::soundLock(), true) {}

private:
    lang::Synchronized guard_;
};

lang::Ref<lang::ByteArray> readArchiveEntry(const lang::String& entry, const std::string& label,
                                            std::string& error) {
    lang::Ref<lang::ResourceItem> item;
    try {
        item = lang::adopt(lang::getResource(entry, false));
    } catch (lang::Exception* e) {
        error = label + ": " + std::string(e->message().view());
        e->release();
        return nullptr;
    }
    if (!item) {
        error = label + ": no such entry in the data archive";
        return nullptr;
    }
    auto bytes = lang::make<lang::ByteArray>(item->getLength());
    if (item->getLength() > 0)
        std::memcpy(bytes->data(), item->getData(), static_cast<size_t>(item->getLength()));
    return bytes;
}

lang::Ref<lang::ByteArray> readFile(const lang::String& name, std::string& error) {
    // Names are Windows-1252 text written with Windows separators; the file system wants UTF-8 and "/".
    std::string path = lang::cp1252ToUtf8(name.view());
    for (char& c : path)
        if (c == '\\')
            c = '/';
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = path + ": cannot open (" + std::strerror(errno) + ")";
        return nullptr;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    if (size < 0 || size > kMaxFileBytes || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        error =
            path + (size > kMaxFileBytes ? ": larger than a sound file may be (256 MiB)" : ": cannot read");
        return nullptr;
    }
    auto bytes = lang::make<lang::ByteArray>(static_cast<int>(size));
    size_t got = size > 0 ? std::fread(bytes->data(), 1, static_cast<size_t>(size), file) : 0;
    std::fclose(file);
    if (got != static_cast<size_t>(size)) {
        error = path + ": read " + std::to_string(got) + " of " + std::to_string(size) + " bytes";
        return nullptr;
    }
    return bytes;
}

}  // namespace

AudioClip::~AudioClip() {
    SoundGuard guard;
    if (handle_ != 0)
        SoundEngine::free(handle_);
}

bool AudioClip::initSound(int mixBufferMs, bool forceWaveOut) {
    SoundGuard guard;
    if (SoundEngine::isRunning())
        return true;
    sound::EngineOptions options;
    options.mixBufferMs = mixBufferMs;
    options.forceAlsa = forceWaveOut;
    if (SoundEngine::start(options))
        return true;
    std::fprintf(stderr, "AudioClip: sound is off: %s\n", SoundEngine::lastStartError().c_str());
    return false;
}

void AudioClip::shutdownSound() {
    SoundGuard guard;
    SoundEngine::shutdown();
}

bool AudioClip::isSoundReady() {
    return SoundEngine::isRunning();
}

namespace {

std::atomic<int> lastMasterVolume{255};

}  // namespace

void AudioClip::setMasterVolume(int volume) {
    SoundGuard guard;
    lastMasterVolume = volume;
    SoundEngine::setMasterVolume(volume);
}

int AudioClip::masterVolume() {
    return lastMasterVolume;
}

bool AudioClip::load(const lang::String& name, int kind) {
    SoundGuard guard;
    if (!SoundEngine::isRunning())
        return false;
    lang::String wanted(name);  // name may be this clip's own name_, which unload keeps but we reassign
    stopImpl();
    unload();
    name_ = wanted;
    kind_ = kind;
    std::string error;
    lang::Ref<lang::ByteArray> bytes;
    if (wanted.startsWith("+")) {
        lang::Ref<lang::String> entry = lang::adopt(wanted.substring(1));
        bytes = readArchiveEntry(*entry, std::string(wanted.view()), error);
    } else {
        bytes = readFile(wanted, error);
    }
    if (!bytes) {
        loadFailed_ = true;
        lastError_ = error;
        std::fprintf(stderr, "AudioClip: %s\n", error.c_str());
        reportProblem(error);
        return false;
    }
    return loadBytes(kind, bytes.get());
}

bool AudioClip::loadData(const lang::String& name, int kind, lang::ByteArray* bytes) {
    SoundGuard guard;
    if (!SoundEngine::isRunning())
        return false;
    lang::String wanted(name);
    stopImpl();
    unload();
    name_ = wanted;
    kind_ = kind;
    if (bytes == nullptr) {
        loadFailed_ = true;
        lastError_ = std::string(wanted.view()) + ": no data";
        return false;
    }
    return loadBytes(kind, bytes);
}

void AudioClip::reportProblem(const std::string& error) const {
    util::reportDataProblem("sound", name_.view(), error);
}

bool AudioClip::loadBytes(int kind, lang::ByteArray* bytes) {
    std::string label(name_.view());
    std::string error;
    const uint8_t* data = bytes->data();
    size_t size = static_cast<size_t>(bytes->length());
    switch (kind) {
        case kSample:
            handle_ = SoundEngine::loadSample(data, size, label, &error);
            break;
        case kStream:
            // The stream decodes from these bytes while it plays: the clip keeps them, and so does the
            // engine.
            data_ = lang::share(bytes);
            handle_ = SoundEngine::openStream(bytes, label, &error);
            if (handle_ == 0)
                data_.reset();
            break;
        case kModule:
            handle_ = SoundEngine::loadSong(data, size, label, &error);
            break;
        default:
            error = label + ": unknown clip kind " + std::to_string(kind) + " (expected 0, 1 or 2)";
            break;
    }
    defaultFrequency_ = handle_ != 0 ? SoundEngine::defaultFrequency(handle_) : 0;
    loadFailed_ = handle_ == 0;
    lastError_ = loadFailed_ ? error : std::string();
    if (loadFailed_) {
        std::fprintf(stderr, "AudioClip: %s\n", error.c_str());
        reportProblem(error);
    }
    return handle_ != 0;
}

void AudioClip::unload() {
    SoundGuard guard;
    if (handle_ != 0)
        SoundEngine::free(handle_);
    handle_ = 0;
    channel_ = -1;
    data_.reset();
}

void AudioClip::pause() {
    SoundGuard guard;
    pauseImpl();
}

void AudioClip::play() {
    SoundGuard guard;
    playImpl();
}

void AudioClip::loop() {
    SoundGuard guard;
    loopImpl();
}

void AudioClip::stop() {
    SoundGuard guard;
    stopImpl();
}

void AudioClip::playImpl() {
    start(false);
}

void AudioClip::loopImpl() {
    start(true);
}

void AudioClip::start(bool looping) {
    SoundGuard guard;
    if (!SoundEngine::isRunning())
        return;
    // A handle from before a shutdown of the engine is gone: the clip loads again like an unloaded one.
    if (handle_ != 0 && !SoundEngine::isKnown(handle_)) {
        handle_ = 0;
        channel_ = -1;
        data_.reset();
    }
    if (handle_ == 0) {
        if (name_.length() == 0 || loadFailed_)
            return;
        load(name_, kind_);
        if (handle_ == 0)
            return;
    }
    if (looping && isActive()) {
        // Already on its channel (perhaps paused by a fade): it goes on where it is.
        if (kind_ == kModule)
            SoundEngine::setSongPaused(handle_, false);
        else
            SoundEngine::setChannelPaused(channel_, handle_, false);
        return;
    }
    int previous = channel_;
    stop();
    // Channels start paused so that volume and speed are in place before the first sample sounds.
    switch (kind_) {
        case kSample:
            channel_ = SoundEngine::playSample(handle_, previous, looping, true);
            break;
        case kStream:
            channel_ = SoundEngine::playStream(handle_, looping, true);
            SoundEngine::setChannelVolume(channel_, handle_, 255);
            break;
        case kModule:
            SoundEngine::playSong(handle_, looping);
            break;
        default:
            return;
    }
    if (volume_ != -1)
        applyVolume();
    if (speed_ != 1.0f)
        applyFrequency();
    if (kind_ != kModule && channel_ >= 0)
        SoundEngine::setChannelPaused(channel_, handle_, false);
}

void AudioClip::pauseImpl() {
    SoundGuard guard;
    if (handle_ == 0)
        return;
    if (kind_ == kModule)
        SoundEngine::setSongPaused(handle_, true);
    else
        SoundEngine::setChannelPaused(channel_, handle_, true);
}

void AudioClip::stopImpl() {
    SoundGuard guard;
    if (handle_ != 0) {
        if (kind_ == kSample)
            SoundEngine::stopChannel(channel_, handle_);
        else
            SoundEngine::stop(handle_);
    }
    channel_ = -1;
}

void AudioClip::setVolume(int volume) {
    SoundGuard guard;
    volume_ = volume;
    applyVolume();
}

void AudioClip::applyVolume() {
    if (handle_ == 0)
        return;
    if (kind_ == kModule)
        SoundEngine::setSongVolume(handle_, volume_);
    else if (channel_ >= 0)
        SoundEngine::setChannelVolume(channel_, handle_, volume_);
}

void AudioClip::setSpeed(float speed) {
    SoundGuard guard;
    speed_ = speed;
    applyFrequency();
}

void AudioClip::applyFrequency() {
    if (handle_ == 0 || channel_ < 0 || defaultFrequency_ <= 0)
        return;
    SoundEngine::setChannelFrequency(channel_, handle_,
                                     static_cast<int>(static_cast<float>(defaultFrequency_) * speed_));
}

void AudioClip::fadeVolume(int target, int frames, bool pauseAtEnd) {
    SoundGuard guard;
    if (frames < 1) {
        fadeFrames_ = 0;
        setVolume(target);
        return;
    }
    // A clip still at the engine default starts its fade from what is heard: full volume.
    if (volume_ == -1)
        volume_ = kEngineDefaultVolume;
    fadeTarget_ = target;
    fadeStepSize_ = static_cast<double>(target - volume_) / frames;
    fadeAccumulator_ = 0.0;
    fadeFrames_ = frames;
    pauseAtEnd_ = pauseAtEnd;
}

void AudioClip::fadeSpeed(float target, int frames) {
    SoundGuard guard;
    if (frames < 1) {
        speedFrames_ = 0;
        setSpeed(target);
        return;
    }
    speedTarget_ = target;
    speedStep_ = (target - speed_) / static_cast<float>(frames);
    speedFrames_ = frames;
}

bool AudioClip::stepFade() {
    SoundGuard guard;
    bool running = false;
    if (fadeFrames_ > 0) {
        running = true;
        if (fadeFrames_ == 1) {
            fadeFrames_ = 0;
            setVolume(fadeTarget_);
            if (pauseAtEnd_)
                pause();
        } else {
            --fadeFrames_;
            // Whole steps reach the volume; the fraction waits in the accumulator for the next frame.
            fadeAccumulator_ += fadeStepSize_;
            int whole = static_cast<int>(fadeAccumulator_);
            fadeAccumulator_ -= whole;
            if (whole != 0)
                setVolume(volume_ + whole);
        }
    }
    if (speedFrames_ > 0) {
        running = true;
        if (speedFrames_ == 1) {
            speedFrames_ = 0;
            setSpeed(speedTarget_);
        } else {
            --speedFrames_;
            setSpeed(speed_ + speedStep_);
        }
    }
    return running;
}

bool AudioClip::isLoaded() const {
    SoundGuard guard;
    return handle_ != 0 && SoundEngine::isKnown(handle_);
}

bool AudioClip::loadFailed() const {
    SoundGuard guard;
    return loadFailed_;
}

int AudioClip::getVolume() const {
    SoundGuard guard;
    return volume_;
}

float AudioClip::getSpeed() const {
    SoundGuard guard;
    return speed_;
}

int AudioClip::getKind() const {
    SoundGuard guard;
    return kind_;
}

int AudioClip::getChannel() const {
    SoundGuard guard;
    return channel_;
}

int AudioClip::getDefaultFrequency() const {
    SoundGuard guard;
    return defaultFrequency_;
}

std::string AudioClip::lastError() const {
    SoundGuard guard;
    return lastError_;
}

bool AudioClip::isActive() const {
    SoundGuard guard;
    if (handle_ == 0)
        return false;
    if (kind_ == kModule)
        return SoundEngine::isSongActive(handle_);
    return SoundEngine::isChannelActive(channel_, handle_);
}

bool AudioClip::isPaused() const {
    SoundGuard guard;
    if (handle_ == 0)
        return false;
    if (kind_ == kModule)
        return SoundEngine::isSongPaused(handle_);
    return SoundEngine::isChannelPaused(channel_, handle_);
}

}  // namespace window
