// The engine's own RIFF/WAVE reader: PCM of 8, 16, 24 or 32 bits and 32-bit float, mono or stereo.
#include <algorithm>
#include <cstring>

#include "sound/Decoder.h"

namespace sound {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

class WavDecoder : public Decoder {
public:
    WavDecoder(const uint8_t* pcm, size_t frames, int rate, int channels, int bits, bool isFloat)
        : pcm_(pcm), frames_(frames), bits_(bits), float_(isFloat) {
        rate_ = rate;
        channels_ = channels;
    }

    long read(int16_t* out, long frames, bool) override {
        if (frames <= 0)
            return 0;
        size_t count = std::min(static_cast<size_t>(frames), frames_ - position_);
        size_t bytesPerValue = static_cast<size_t>(bits_ / 8);
        const uint8_t* in = pcm_ + position_ * bytesPerValue * static_cast<size_t>(channels_);
        size_t values = count * static_cast<size_t>(channels_);
        for (size_t i = 0; i < values; ++i, in += bytesPerValue)
            out[i] = convert(in);
        position_ += count;
        return static_cast<long>(count);
    }

    bool rewind() override {
        position_ = 0;
        return true;
    }

private:
    int16_t convert(const uint8_t* in) const {
        if (float_) {
            float f;
            std::memcpy(&f, in, sizeof f);
            if (!(f == f))
                f = 0.0f;  // NaN
            f = std::clamp(f, -1.0f, 1.0f);
            return static_cast<int16_t>(f * 32767.0f);
        }
        switch (bits_) {
            case 8:
                return static_cast<int16_t>((in[0] - 128) << 8);  // 8-bit WAV is unsigned
            case 16:
                return static_cast<int16_t>(le16(in));
            case 24:
                return static_cast<int16_t>(in[1] | (in[2] << 8));
            default:
                return static_cast<int16_t>(in[2] | (in[3] << 8));
        }
    }

    const uint8_t* pcm_;
    size_t frames_;
    size_t position_ = 0;
    int bits_;
    bool float_;
};

}  // namespace

std::unique_ptr<Decoder> openWavDecoder(const uint8_t* data, size_t size, const std::string& name,
                                        std::string& error) {
    auto fail = [&](const std::string& what) {
        error = name + ": " + what;
        return std::unique_ptr<Decoder>();
    };
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return fail("not a WAV file (expected \"RIFF\" and \"WAVE\" at the start)");

    bool haveFormat = false;
    uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
    uint32_t rate = 0;
    size_t offset = 12;
    while (offset + 8 <= size) {
        const uint8_t* chunk = data + offset;
        uint32_t chunkSize = le32(chunk + 4);
        size_t body = offset + 8;
        size_t left = size - body;
        std::string id(reinterpret_cast<const char*>(chunk), 4);
        if (id == "fmt ") {
            if (chunkSize < 16 || chunkSize > left)
                return fail("\"fmt \" chunk at byte " + std::to_string(offset) +
                            " is truncated (expected at least 16 bytes)");
            tag = le16(data + body);
            channels = le16(data + body + 2);
            rate = le32(data + body + 4);
            blockAlign = le16(data + body + 12);
            bits = le16(data + body + 14);
            if (tag == kFormatExtensible && chunkSize >= 26)
                tag = le16(data + body + 24);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return fail("\"data\" chunk comes before the \"fmt \" chunk");
            if (tag != kFormatPcm && tag != kFormatFloat)
                return fail("unsupported encoding " + std::to_string(tag) + " (expected PCM or float)");
            if (channels != 1 && channels != 2)
                return fail(std::to_string(channels) + " channels (expected 1 or 2)");
            if (rate < 1000 || rate > 384000)
                return fail("sample rate " + std::to_string(rate) + " Hz (expected 1000 to 384000)");
            bool validBits =
                tag == kFormatFloat ? bits == 32 : (bits == 8 || bits == 16 || bits == 24 || bits == 32);
            if (!validBits)
                return fail(std::to_string(bits) + " bits per sample (expected 8, 16, 24 or 32)");
            if (blockAlign != channels * (bits / 8))
                return fail("block size " + std::to_string(blockAlign) + " does not match " +
                            std::to_string(channels) + " channels of " + std::to_string(bits) + " bits");
            size_t bytes = chunkSize;
            // Writers that stream to a pipe leave the size unset; the data then runs to the end.
            if (chunkSize == 0xFFFFFFFFu || (chunkSize == 0 && left > 0))
                bytes = left;
            if (bytes > left)
                return fail("\"data\" chunk is truncated (" + std::to_string(chunkSize) +
                            " bytes declared, " + std::to_string(left) + " present)");
            size_t frames = bytes / blockAlign;
            return std::make_unique<WavDecoder>(data + body, frames, static_cast<int>(rate), channels, bits,
                                                tag == kFormatFloat);
        }
        // Chunks are padded to an even length.
        uint64_t next = static_cast<uint64_t>(body) + chunkSize + (chunkSize & 1u);
        if (next > size)
            break;
        offset = static_cast<size_t>(next);
    }
    return fail(haveFormat ? "no \"data\" chunk" : "no \"fmt \" chunk");
}

SoundFormat detectFormat(const uint8_t* data, size_t size) {
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0)
        return SoundFormat::Wav;
    if (size >= 4 && std::memcmp(data, "OggS", 4) == 0)
        return SoundFormat::Vorbis;
    // An ID3v2 tag, or an MPEG audio frame sync (11 set bits) with a valid layer.
    if (size >= 3 && std::memcmp(data, "ID3", 3) == 0)
        return SoundFormat::Mpeg;
    if (size >= 2 && data[0] == 0xFF && (data[1] & 0xE0) == 0xE0 && (data[1] & 0x06) != 0)
        return SoundFormat::Mpeg;
    return SoundFormat::Unknown;
}

std::unique_ptr<Decoder> openSoundDecoder(const uint8_t* data, size_t size, const std::string& name,
                                          std::string& error) {
    switch (detectFormat(data, size)) {
        case SoundFormat::Wav:
            return openWavDecoder(data, size, name, error);
        case SoundFormat::Vorbis:
            return openVorbisDecoder(data, size, name, error);
        case SoundFormat::Mpeg:
            return openMpegDecoder(data, size, name, error);
        default:
            break;
    }
    error = name + ": unknown sound format (expected WAV, Ogg Vorbis or MPEG audio)";
    return nullptr;
}

}  // namespace sound
