// Decoders of the sound engine: WAV, Ogg Vorbis, MPEG audio and tracker modules into 16-bit PCM.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace sound {

// What the first bytes of a sound file say it is.
enum class SoundFormat { Unknown, Wav, Vorbis, Mpeg };

SoundFormat detectFormat(const uint8_t* data, size_t size);

// A source of interleaved signed 16-bit frames (one or two channels) read from memory the caller keeps
// alive for the decoder's lifetime. Errors name the sound and say what was expected.
class Decoder {
public:
    virtual ~Decoder() = default;

    int rate() const { return rate_; }
    int channels() const { return channels_; }

    // Reads up to frames frames into out (frames x channels values). Returns the number read; 0 at the
    // end of the sound, -1 after a decoding error (error() says which). A decoder that loops by itself
    // (a module song with its own restart position) goes on past its end when loop is set.
    virtual long read(int16_t* out, long frames, bool loop) = 0;
    // Goes back to the first frame; false when that failed.
    virtual bool rewind() = 0;

    const std::string& error() const { return error_; }

protected:
    int rate_ = 0;
    int channels_ = 0;
    std::string error_;
};

// Opens a sampled sound (WAV, Ogg Vorbis or MPEG audio, told apart by content). Null on failure, with
// error saying why.
std::unique_ptr<Decoder> openSoundDecoder(const uint8_t* data, size_t size, const std::string& name,
                                          std::string& error);
// Opens a tracker module (.mod, .s3m, .xm, ...) rendered at outputRate in stereo.
std::unique_ptr<Decoder> openModuleDecoder(const uint8_t* data, size_t size, int outputRate,
                                           const std::string& name, std::string& error);

// The individual formats, for the engine's dispatch and for tests.
std::unique_ptr<Decoder> openWavDecoder(const uint8_t* data, size_t size, const std::string& name,
                                        std::string& error);
std::unique_ptr<Decoder> openVorbisDecoder(const uint8_t* data, size_t size, const std::string& name,
                                           std::string& error);
std::unique_ptr<Decoder> openMpegDecoder(const uint8_t* data, size_t size, const std::string& name,
                                         std::string& error);

}  // namespace sound
