// WAV and Ogg Vorbis writers of the sound builder.
#include "tools/SoundFile.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace soundgen {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void putTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

// Owns the encoder's structures, so every way out of encodeVorbis frees them.
struct VorbisEncoder {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool analysing = false;
    bool streaming = false;

    VorbisEncoder() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~VorbisEncoder() {
        if (streaming)
            ogg_stream_clear(&stream);
        if (analysing) {
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
};

}  // namespace

std::vector<uint8_t> encodeWav(const SoundBuffer& sound) {
    std::vector<uint8_t> out;
    uint32_t dataBytes = static_cast<uint32_t>(sound.samples.size() * 2);
    uint32_t channels = static_cast<uint32_t>(sound.channels);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, channels);
    put32(out, static_cast<uint32_t>(sound.rate));
    put32(out, static_cast<uint32_t>(sound.rate) * channels * 2);
    put16(out, channels * 2);
    put16(out, 16);
    putTag(out, "data");
    put32(out, dataBytes);
    for (float s : sound.samples) {
        long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        put16(out, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(v))));
    }
    return out;
}

std::vector<uint8_t> encodeVorbis(const SoundBuffer& sound, float quality, uint32_t serial) {
    VorbisEncoder e;
    if (vorbis_encode_init_vbr(&e.info, sound.channels, sound.rate, quality) != 0)
        throw SoundError("the Vorbis encoder refused " + std::to_string(sound.channels) + " channels at " +
                         std::to_string(sound.rate) + " Hz");
    vorbis_comment_add_tag(&e.comment, "ENCODER", "Lumaroo soundgen");
    vorbis_analysis_init(&e.dsp, &e.info);
    vorbis_block_init(&e.dsp, &e.block);
    e.analysing = true;
    ogg_stream_init(&e.stream, static_cast<int>(serial & 0x7FFFFFFF));
    e.streaming = true;

    std::vector<uint8_t> out;
    auto putPage = [&out](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&e.dsp, &e.comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&e.stream, &header);
    ogg_stream_packetin(&e.stream, &headerComment);
    ogg_stream_packetin(&e.stream, &headerCode);
    ogg_page page;
    // The audio starts on a fresh page, as decoders expect.
    while (ogg_stream_flush(&e.stream, &page) != 0)
        putPage(page);

    auto drain = [&]() {
        while (vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
            vorbis_analysis(&e.block, nullptr);
            vorbis_bitrate_addblock(&e.block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&e.dsp, &packet) == 1) {
                ogg_stream_packetin(&e.stream, &packet);
                while (ogg_stream_pageout(&e.stream, &page) != 0)
                    putPage(page);
            }
        }
    };
    const size_t chunk = 4096;
    size_t frames = sound.frames();
    for (size_t start = 0; start < frames; start += chunk) {
        size_t count = std::min(chunk, frames - start);
        float** buffer = vorbis_analysis_buffer(&e.dsp, static_cast<int>(count));
        for (size_t i = 0; i < count; ++i)
            for (int c = 0; c < sound.channels; ++c)
                buffer[c][i] = sound.at(start + i, c);
        vorbis_analysis_wrote(&e.dsp, static_cast<int>(count));
        drain();
    }
    vorbis_analysis_wrote(&e.dsp, 0);  // end of stream
    drain();
    while (ogg_stream_flush(&e.stream, &page) != 0)
        putPage(page);
    return out;
}

void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            throw SoundError("cannot create " + temporary + ": " + std::strerror(errno));
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            throw SoundError("cannot write " + temporary);
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw SoundError("cannot rename " + temporary + " to " + path + ": " + std::strerror(errno));
    }
}

}  // namespace soundgen
