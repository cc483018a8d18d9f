// Test sounds made on the spot (WAV, Ogg Vorbis, a tiny module) and a reader for OpenAL's wave output.
#pragma once

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace soundtest {

inline void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
// Byte by byte: GCC 12 misreads a ranged insert here as an overflow (-Wstringop-overflow) under TSan.
inline void putTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(tag[i]));
}

// A sine of `hz` at `amplitude` (0..1), `seconds` long, as 16-bit mono samples.
inline std::vector<int16_t> sine(double hz, double seconds, int rate, double amplitude = 0.5) {
    std::vector<int16_t> pcm(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] =
            static_cast<int16_t>(std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * i / rate)));
    return pcm;
}

// A RIFF/WAVE file of 16-bit PCM (interleaved when channels is 2).
inline std::vector<uint8_t> wav16(const std::vector<int16_t>& pcm, int rate, int channels = 1) {
    std::vector<uint8_t> out;
    uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);
    put16(out, static_cast<uint32_t>(channels));
    put32(out, static_cast<uint32_t>(rate));
    put32(out, static_cast<uint32_t>(rate * channels * 2));
    put16(out, static_cast<uint32_t>(channels * 2));
    put16(out, 16);
    putTag(out, "data");
    put32(out, dataBytes);
    for (int16_t s : pcm)
        put16(out, static_cast<uint16_t>(s));
    return out;
}

// An Ogg Vorbis file of mono samples (copied to both sides when channels is 2), encoded with
// libvorbisenc at quality 0.5.
inline std::vector<uint8_t> oggVorbis(const std::vector<int16_t>& pcm, int rate, int channels = 1) {
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.5f) != 0)
        return out;
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1234);
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    auto putPage = [&out](ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };
    while (ogg_stream_flush(&stream, &page) != 0)
        putPage(page);
    size_t position = 0;
    bool finished = false;
    while (!finished) {
        size_t count = std::min<size_t>(1024, pcm.size() - position);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t i = 0; i < count; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = pcm[position + i] / 32768.0f;
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            position += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    putPage(page);
                    if (ogg_page_eos(&page))
                        finished = true;
                }
            }
        }
        if (count == 0)
            finished = true;
    }
    while (ogg_stream_flush(&stream, &page) != 0)
        putPage(page);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

// A four-channel ProTracker module ("M.K.") with one looping square-wave instrument that plays a note
// on each of the first `rows` rows of its one pattern and then breaks to the end of the song (each row
// lasts 120 ms at the default speed).
inline std::vector<uint8_t> tinyModule(int rows = 64) {
    std::vector<uint8_t> out(20, 0);
    std::memcpy(out.data(), "lumaroo test", 12);
    const int sampleWords = 16;  // 32 bytes: one period of the square wave
    for (int i = 0; i < 31; ++i) {
        std::vector<uint8_t> header(30, 0);
        if (i == 0) {
            std::memcpy(header.data(), "square", 6);
            header[22] = 0;
            header[23] = sampleWords;  // length in words, big-endian
            header[24] = 0;            // finetune
            header[25] = 64;           // volume
            header[26] = 0;
            header[27] = 0;  // loop start
            header[28] = 0;
            header[29] = sampleWords;  // loop length in words
        }
        out.insert(out.end(), header.begin(), header.end());
    }
    out.push_back(1);    // song length: one order
    out.push_back(127);  // restart byte
    std::vector<uint8_t> orders(128, 0);
    out.insert(out.end(), orders.begin(), orders.end());
    out.insert(out.end(), {'M', '.', 'K', '.'});
    for (int row = 0; row < 64; ++row) {
        for (int channel = 0; channel < 4; ++channel) {
            uint8_t cell[4] = {0, 0, 0, 0};
            if (channel == 0 && row < rows) {
                const int period = 214;  // C-3
                cell[0] = static_cast<uint8_t>(0x00 | (period >> 8));
                cell[1] = static_cast<uint8_t>(period & 0xFF);
                cell[2] = 0x10;  // instrument 1
            }
            if (channel == 1 && row == rows - 1) {
                cell[2] = 0x0D;  // pattern break: the song ends after this row
            }
            out.insert(out.end(), cell, cell + 4);
        }
    }
    for (int i = 0; i < sampleWords * 2; ++i)
        out.push_back(i < sampleWords ? 0x60 : 0xA0);
    return out;
}

// A folder for one test process's files, removed when the process ends.
inline std::filesystem::path scratchFolder() {
    static const testsupport::TempFolder folder;
    return folder.path();
}

inline void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Points OpenAL Soft at its wave back-end, writing to a file of this process. Must run before the
// process's first OpenAL call; answers the file's path.
inline std::filesystem::path useWaveOutput() {
    static std::filesystem::path output = [] {
        std::filesystem::path out = scratchFolder() / "output.wav";
        std::filesystem::path config = scratchFolder() / "alsoft.conf";
        std::ofstream(config) << "[general]\ndrivers = wave\n[wave]\nfile = " << out.string() << "\n";
        setenv("ALSOFT_DRIVERS", "wave", 1);
        setenv("ALSOFT_CONF", config.c_str(), 1);
        return out;
    }();
    return output;
}

// What the wave back-end wrote, mixed down to mono in -1..1.
struct Recording {
    int rate = 0;
    std::vector<float> samples;
};

inline Recording readRecording(const std::filesystem::path& path) {
    Recording r;
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto le16 = [&](size_t at) { return static_cast<uint32_t>(bytes[at] | (bytes[at + 1] << 8)); };
    auto le32 = [&](size_t at) { return le16(at) | (le16(at + 2) << 16); };
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0)
        return r;
    size_t offset = 12;
    int channels = 0, bits = 0, tag = 0;
    while (offset + 8 <= bytes.size()) {
        std::string id(reinterpret_cast<const char*>(&bytes[offset]), 4);
        size_t size = le32(offset + 4);
        size_t body = offset + 8;
        if (id == "fmt ") {
            tag = static_cast<int>(le16(body));
            channels = static_cast<int>(le16(body + 2));
            r.rate = static_cast<int>(le32(body + 4));
            bits = static_cast<int>(le16(body + 14));
            if (tag == 0xFFFE)
                tag = static_cast<int>(le16(body + 24));
        } else if (id == "data") {
            size = std::min(size, bytes.size() - body);
            size_t width = static_cast<size_t>(bits / 8);
            size_t frames = size / (width * static_cast<size_t>(channels));
            r.samples.resize(frames);
            for (size_t f = 0; f < frames; ++f) {
                float sum = 0;
                for (int c = 0; c < channels; ++c) {
                    const uint8_t* p = &bytes[body + (f * channels + c) * width];
                    float v = 0;
                    if (tag == 3)
                        std::memcpy(&v, p, 4);
                    else if (bits == 16)
                        v = static_cast<int16_t>(p[0] | (p[1] << 8)) / 32768.0f;
                    else if (bits == 8)
                        v = (p[0] - 128) / 128.0f;
                    else if (bits == 32)
                        v = static_cast<float>(
                                static_cast<int32_t>(le32(body + (f * channels + c) * width))) /
                            2147483648.0f;
                    sum += v;
                }
                r.samples[f] = sum / static_cast<float>(channels);
            }
            break;
        }
        offset = body + size + (size & 1);
    }
    return r;
}

// Headerless 16-bit stereo at `rate` (what ALSA's file plugin writes), mixed down like readRecording.
inline Recording readRawStereo16(const std::filesystem::path& path, int rate) {
    Recording r;
    r.rate = rate;
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    r.samples.resize(bytes.size() / 4);
    for (size_t f = 0; f < r.samples.size(); ++f) {
        int16_t left, right;
        std::memcpy(&left, &bytes[f * 4], 2);
        std::memcpy(&right, &bytes[f * 4 + 2], 2);
        r.samples[f] = (left + right) / 65536.0f;
    }
    return r;
}

// Where sound is heard in a recording: first and last sample above the threshold.
struct Span {
    long first = -1;
    long last = -1;
    long length() const { return first < 0 ? 0 : last - first + 1; }
};

inline Span audibleSpan(const Recording& r, float threshold = 0.01f) {
    Span s;
    for (size_t i = 0; i < r.samples.size(); ++i) {
        if (std::fabs(r.samples[i]) > threshold) {
            if (s.first < 0)
                s.first = static_cast<long>(i);
            s.last = static_cast<long>(i);
        }
    }
    return s;
}

inline float peak(const Recording& r) {
    float p = 0;
    for (float v : r.samples)
        p = std::max(p, std::fabs(v));
    return p;
}

// The frequency inside the span, from upward zero crossings.
inline double frequency(const Recording& r, Span s) {
    long crossings = 0;
    long firstCrossing = -1, lastCrossing = -1;
    for (long i = s.first + 1; i <= s.last; ++i) {
        if (r.samples[static_cast<size_t>(i - 1)] < 0 && r.samples[static_cast<size_t>(i)] >= 0) {
            if (firstCrossing < 0)
                firstCrossing = i;
            lastCrossing = i;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0;
    return (crossings - 1) * static_cast<double>(r.rate) / static_cast<double>(lastCrossing - firstCrossing);
}

// The longest run of near-silent samples inside the span (a gap in the sound).
inline long longestGap(const Recording& r, Span s, float threshold = 0.01f) {
    long longest = 0, run = 0;
    for (long i = s.first; i <= s.last; ++i) {
        if (std::fabs(r.samples[static_cast<size_t>(i)]) <= threshold)
            longest = std::max(longest, ++run);
        else
            run = 0;
    }
    return longest;
}

}  // namespace soundtest
