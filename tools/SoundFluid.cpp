// FluidSynth rendering of text scores: the only file that includes FluidSynth.
#include "tools/SoundFluid.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace soundgen {

namespace {

// FluidSynth reports warnings on standard error by itself; a build step only reports its own errors.
void quietLog(int, const char*, void*) {}

struct Event {
    size_t frame;
    bool on;
    int channel, key, velocity;
};

void setting(fluid_settings_t* settings, const char* name, double value) {
    if (fluid_settings_setnum(settings, name, value) != FLUID_OK)
        throw SoundError(std::string("FluidSynth refused the setting ") + name);
}
void setting(fluid_settings_t* settings, const char* name, int value) {
    if (fluid_settings_setint(settings, name, value) != FLUID_OK)
        throw SoundError(std::string("FluidSynth refused the setting ") + name);
}

}  // namespace

SoundBuffer renderScore(const Score& score, const std::string& soundFont) {
    fluid_set_log_function(FLUID_WARN, quietLog, nullptr);
    fluid_set_log_function(FLUID_INFO, quietLog, nullptr);
    fluid_set_log_function(FLUID_DBG, quietLog, nullptr);
    std::unique_ptr<fluid_settings_t, void (*)(fluid_settings_t*)> settings(new_fluid_settings(),
                                                                            delete_fluid_settings);
    if (!settings)
        throw SoundError("FluidSynth could not make its settings");
    setting(settings.get(), "synth.sample-rate", static_cast<double>(kRate));
    setting(settings.get(), "synth.gain", 0.4);
    setting(settings.get(), "synth.polyphony", 256);
    setting(settings.get(), "synth.reverb.active", 1);
    setting(settings.get(), "synth.chorus.active", score.chorus ? 1 : 0);
    setting(settings.get(), "synth.reverb.room-size", score.reverbRoom);
    setting(settings.get(), "synth.reverb.damp", score.reverbDamp);
    setting(settings.get(), "synth.reverb.width", score.reverbWidth);
    setting(settings.get(), "synth.reverb.level", score.reverbLevel);
    // Only the samples that the score's programs use are read from the (large) SoundFont.
    setting(settings.get(), "synth.dynamic-sample-loading", 1);
    std::unique_ptr<fluid_synth_t, void (*)(fluid_synth_t*)> synth(new_fluid_synth(settings.get()),
                                                                   delete_fluid_synth);
    if (!synth)
        throw SoundError("FluidSynth could not start");
    int font = fluid_synth_sfload(synth.get(), soundFont.c_str(), 1);
    if (font == FLUID_FAILED)
        throw SoundError("FluidSynth cannot load the SoundFont " + soundFont);

    for (const ScoreInstrument& instrument : score.instruments) {
        int bank = instrument.drums ? 128 : instrument.bank;
        if (fluid_synth_program_select(synth.get(), instrument.channel, font, bank, instrument.program) !=
            FLUID_OK)
            throw SoundError(score.path + ": the SoundFont has no program " +
                             std::to_string(instrument.program) + " in bank " + std::to_string(bank) +
                             " (instrument " + instrument.name + ")");
        fluid_synth_cc(synth.get(), instrument.channel, 7, instrument.volume);
        fluid_synth_cc(synth.get(), instrument.channel, 10,
                       std::clamp(static_cast<int>(std::lround(64 + instrument.pan * 63)), 0, 127));
        fluid_synth_cc(synth.get(), instrument.channel, 91, instrument.reverb);
        fluid_synth_cc(synth.get(), instrument.channel, 93, instrument.chorus);
    }

    std::vector<Event> events;
    for (const ScoreNote& note : score.notes) {
        size_t on = static_cast<size_t>(note.start * kRate);
        size_t off = std::max(on + 1, static_cast<size_t>((note.start + note.duration) * kRate));
        events.push_back({on, true, note.channel, note.key, note.velocity});
        events.push_back({off, false, note.channel, note.key, 0});
    }
    // At one frame, note-offs first, so a repeated key is released before it is struck again.
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.frame != b.frame ? a.frame < b.frame : (!a.on && b.on);
    });

    size_t total = static_cast<size_t>((score.length + score.tail) * kRate);
    SoundBuffer sound(2, total);
    std::vector<float> left(4096), right(4096);
    size_t done = 0;
    auto renderTo = [&](size_t frame) {
        frame = std::min(frame, total);
        while (done < frame) {
            int count = static_cast<int>(std::min<size_t>(left.size(), frame - done));
            std::fill(left.begin(), left.end(), 0.0f);
            std::fill(right.begin(), right.end(), 0.0f);
            if (fluid_synth_write_float(synth.get(), count, left.data(), 0, 1, right.data(), 0, 1) !=
                FLUID_OK)
                throw SoundError(score.path + ": FluidSynth failed while rendering");
            for (int i = 0; i < count; ++i) {
                sound.at(done + i, 0) = left[i];
                sound.at(done + i, 1) = right[i];
            }
            done += static_cast<size_t>(count);
        }
    };
    for (const Event& event : events) {
        renderTo(event.frame);
        if (event.on)
            fluid_synth_noteon(synth.get(), event.channel, event.key, event.velocity);
        else
            fluid_synth_noteoff(synth.get(), event.channel, event.key);
    }
    renderTo(total);
    return sound;
}

SoundBuffer buildScore(const Score& score, const std::string& soundFont) {
    SoundBuffer sound = renderScore(score, soundFont);
    bool loop = score.loop;
    if (loop) {
        foldLoop(sound, static_cast<size_t>(std::lround(score.length * kRate)));
        removeLoopDc(sound);
    } else {
        removeDc(sound);
        fadeEnds(sound, 0.001, std::min(0.5, score.tail / 2));
    }
    if (score.kind != SoundKind::Music)
        sound = toMono(sound);
    try {
        finishLevel(sound, score.kind, score.levelDb, loop);
    } catch (const SoundError& e) {
        throw SoundError(score.path + ": " + e.what());
    }
    return sound;
}

}  // namespace soundgen
