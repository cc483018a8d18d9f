// Writing built sounds: 16-bit PCM WAV for effects, Ogg Vorbis (libvorbisenc) for music and ambience.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/SoundBuffer.h"

namespace soundgen {

// A RIFF/WAVE file of 16-bit PCM; samples are rounded and clamped to the 16-bit range.
std::vector<uint8_t> encodeWav(const SoundBuffer& sound);
// An Ogg Vorbis stream at VBR `quality` (-0.1 to 1.0). The stream's last granule position is the exact
// frame count, so a decoder gives back exactly as many frames as went in and a loop keeps its length.
std::vector<uint8_t> encodeVorbis(const SoundBuffer& sound, float quality, uint32_t serial);
// Writes through a temporary file and a rename, so a failed step leaves no half-written output.
void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace soundgen
