// Loudness and level: K-weighted loudness (ITU-R BS.1770 weighting and gating), peaks, the loudness
// targets of every kind of sound, and the finishing steps (loop folding, fades, limiting, normalising).
#pragma once

#include <string>

#include "tools/SoundBuffer.h"

namespace soundgen {

// The kinds of sound and the level each is finished to. Music is measured as integrated loudness over
// 400 ms blocks; effects and ambience, being short, over 100 ms blocks (the loudness of their active
// part: the same gating drops their silent tails). The game plays music and ambience at the player's
// music volume (128 of 255 by default) and effects at full volume, so effects sit above the music.
enum class SoundKind { Effect, Ambient, Music };

constexpr double kMusicLufs = -18.0;
constexpr double kEffectLufs = -17.0;
constexpr double kAmbientLufs = -26.0;
// Sample peaks after finishing; the encoders' own overshoot (Vorbis) stays under the -1 dBFS ceiling
// that the content check holds every decoded sound to.
constexpr double kPeakCeilingDb = -1.5;
constexpr double kCheckedPeakDb = -1.0;

double targetLufs(SoundKind kind);
double blockSeconds(SoundKind kind);
SoundKind kindFromName(const std::string& name, const std::string& where);

// Gated K-weighted loudness in LUFS over blocks of `block` seconds (75% overlap); a sound shorter than
// one block is measured whole. -70 or below (the absolute gate) for silence.
double loudness(const SoundBuffer& sound, double block);
double peakDb(const SoundBuffer& sound);
// The mean of every channel's samples, as a fraction of full scale (the largest channel's).
double dcOffset(const SoundBuffer& sound);

void applyGain(SoundBuffer& sound, double db);
// Adds everything past `frames` onto the start, again and again, and cuts the sound to `frames`: a
// note or echo that runs over the loop's end is heard at its start, so the loop has no seam.
void foldLoop(SoundBuffer& sound, size_t frames);
// Short linear fades at both ends (not for loops): no click where a sound starts or stops.
void fadeEnds(SoundBuffer& sound, double inSeconds, double outSeconds);
// Removes DC with a gentle high-pass (about 10 Hz), for one-shot sounds.
void removeDc(SoundBuffer& sound);
// Removes DC from a loop by taking each channel's mean away: a constant shift keeps the loop seamless.
void removeLoopDc(SoundBuffer& sound);
// A look-ahead peak limiter: no sample above `ceilingDb`, gain changes smooth (5 ms attack looking
// ahead, 80 ms release). With `circular` it treats the sound as a loop, so the gain at the seam matches.
void limitPeaks(SoundBuffer& sound, double ceilingDb, bool circular);
// Brings the sound to its kind's loudness (plus `offsetDb`), then limits its peaks.
void finishLevel(SoundBuffer& sound, SoundKind kind, double offsetDb, bool loop);
// Mixes a stereo sound down to mono (the mean of both sides).
SoundBuffer toMono(const SoundBuffer& sound);

}  // namespace soundgen
