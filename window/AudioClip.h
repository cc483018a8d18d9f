// window::AudioClip: one sound effect, music stream or tracker module that the game plays on the engine.
#pragma once

#include <cstdint>
#include <string>

#include "lang/Arrays.h"
#include "lang/Ref.h"
#include "lang/String.h"

namespace window {

// A clip loads from the data archive ("+name") or a file, and can be played once, looped, paused,
// stopped, given a volume (0..255) and a speed, and faded in either over a number of frames.
//
// Every operation holds the process-wide sound lock (sound::soundLock()) for its whole length: it
// serialises the calls into the engine and also guards the clip's own fields, so the render, input
// and loader threads may use one clip at the same time. Without sound every operation is silent.
class AudioClip : public lang::Object {
public:
    static constexpr int kSample = 0;
    static constexpr int kStream = 1;
    static constexpr int kModule = 2;

    AudioClip() = default;
    ~AudioClip() override;
    AudioClip(const AudioClip&) = delete;
    AudioClip& operator=(const AudioClip&) = delete;

    LANG_CLASS_NAME(AudioClip, Object)

    // Starts the engine at 22050 Hz with 32 channels unless sound is ready already; mixBufferMs -1
    // keeps the device's update size. forceWaveOut (the USEWINMM switch) bypasses the desktop sound
    // server and opens ALSA directly. Answers the sound-ready flag.
    static bool initSound(int mixBufferMs, bool forceWaveOut);
    // Stops every clip's sound, frees the engine's buffers and clears the sound-ready flag. Clips
    // keep their names and load again on their next play once sound is back.
    static void shutdownSound();
    static bool isSoundReady();
    // The effects master volume (0..255), applied to every sample.
    static void setMasterVolume(int volume);
    // The effects master volume set last (255 until one is set).
    static int masterVolume();

    // Loads `name` as kind (kSample, kStream, kModule); false when sound is not ready or nothing
    // loaded (then loadFailed() is true and lastError() says why).
    bool load(const lang::String& name, int kind);
    // Loads a sound from bytes already in memory; name is kept for messages and reloads.
    bool loadData(const lang::String& name, int kind, lang::ByteArray* bytes);
    void unload();

    virtual void pause();
    virtual void play();
    virtual void loop();
    virtual void stop();
    virtual void loopImpl();
    virtual void pauseImpl();
    virtual void playImpl();
    virtual void stopImpl();
    virtual void setVolume(int volume);
    virtual void setSpeed(float speed);
    // Fades the volume to target over frames frame steps; pauseAtEnd pauses the clip when it ends.
    virtual void fadeVolume(int target, int frames, bool pauseAtEnd);
    virtual void fadeSpeed(float target, int frames);
    // One frame step of the running fades; false when neither fade runs.
    virtual bool stepFade();

    bool isLoaded() const;
    bool loadFailed() const;
    int getVolume() const;
    float getSpeed() const;
    int getKind() const;
    int getChannel() const;
    int getDefaultFrequency() const;
    const lang::String& getName() const { return name_; }
    std::string lastError() const;
    // True while the clip's sound plays or is held paused on its channel (module: the song).
    bool isActive() const;
    bool isPaused() const;

private:
    bool loadBytes(int kind, lang::ByteArray* bytes);
    // Tells the player (once) that this clip's sound is missing or damaged.
    void reportProblem(const std::string& error) const;
    void applyVolume();
    void applyFrequency();
    void start(bool looping);

    int32_t handle_ = 0;               // engine handle of the sample, stream or song; 0 none
    lang::Ref<lang::ByteArray> data_;  // a stream's bytes, kept while it plays from memory
    int channel_ = -1;
    int volume_ = -1;  // -1: the engine default
    int fadeTarget_ = 0;
    double fadeAccumulator_ = 0.0;
    double fadeStepSize_ = 0.0;
    int fadeFrames_ = 0;
    bool pauseAtEnd_ = false;
    int kind_ = kSample;
    int defaultFrequency_ = 0;
    float speed_ = 1.0f;
    float speedTarget_ = 1.0f;
    float speedStep_ = 0.0f;
    int speedFrames_ = 0;
    lang::String name_;
    bool loadFailed_ = false;
    std::string lastError_;
};

}  // namespace window
