// Ogg Vorbis decoding from memory through vorbisfile.
#include <algorithm>
#include <cstring>

#include <vorbis/vorbisfile.h>

#include "sound/Decoder.h"

namespace sound {

namespace {

// The memory that vorbisfile reads through its callbacks.
struct MemoryFile {
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

size_t memoryRead(void* out, size_t itemSize, size_t count, void* source) {
    auto* file = static_cast<MemoryFile*>(source);
    if (itemSize == 0)
        return 0;
    size_t items = std::min(count, (file->size - file->position) / itemSize);
    std::memcpy(out, file->data + file->position, items * itemSize);
    file->position += items * itemSize;
    return items;
}

int memorySeek(void* source, ogg_int64_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(source);
    ogg_int64_t base = whence == SEEK_SET   ? 0
                       : whence == SEEK_CUR ? static_cast<ogg_int64_t>(file->position)
                                            : static_cast<ogg_int64_t>(file->size);
    ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(file->size))
        return -1;
    file->position = static_cast<size_t>(target);
    return 0;
}

long memoryTell(void* source) {
    return static_cast<long>(static_cast<MemoryFile*>(source)->position);
}

std::string vorbisError(int code) {
    switch (code) {
        case OV_EREAD:
            return "read error";
        case OV_ENOTVORBIS:
            return "not Vorbis data";
        case OV_EVERSION:
            return "unsupported Vorbis version";
        case OV_EBADHEADER:
            return "bad Vorbis header";
        case OV_EFAULT:
            return "internal decoder fault";
        case OV_HOLE:
            return "gap in the data";
        case OV_EBADLINK:
            return "bad link in the stream";
        default:
            return "decoder error " + std::to_string(code);
    }
}

class VorbisDecoder : public Decoder {
public:
    VorbisDecoder(const uint8_t* data, size_t size, std::string name)
        : file_{data, size}, name_(std::move(name)) {}
    ~VorbisDecoder() override {
        if (open_)
            ov_clear(&vorbis_);
    }

    bool open(std::string& error) {
        ov_callbacks callbacks{memoryRead, memorySeek, nullptr, memoryTell};
        int result = ov_open_callbacks(&file_, &vorbis_, nullptr, 0, callbacks);
        if (result != 0) {
            error = name_ + ": " + vorbisError(result) + " (expected an Ogg Vorbis stream)";
            return false;
        }
        open_ = true;
        vorbis_info* info = ov_info(&vorbis_, -1);
        if (info == nullptr || (info->channels != 1 && info->channels != 2)) {
            error = name_ + ": " + std::to_string(info ? info->channels : 0) + " channels (expected 1 or 2)";
            return false;
        }
        if (info->rate < 1000 || info->rate > 384000) {
            error = name_ + ": sample rate " + std::to_string(info->rate) + " Hz (expected 1000 to 384000)";
            return false;
        }
        rate_ = static_cast<int>(info->rate);
        channels_ = info->channels;
        return true;
    }

    long read(int16_t* out, long frames, bool) override {
        long done = 0;
        while (done < frames) {
            int section = 0;
            long bytes = (frames - done) * channels_ * 2;
            long got = ov_read(&vorbis_, reinterpret_cast<char*>(out + done * channels_),
                               static_cast<int>(std::min<long>(bytes, 1 << 20)), 0, 2, 1, &section);
            if (got == OV_HOLE)
                continue;  // a skipped page; decoding goes on after it
            if (got < 0) {
                error_ = name_ + ": " + vorbisError(static_cast<int>(got)) + " at frame " +
                         std::to_string(ov_pcm_tell(&vorbis_));
                return done > 0 ? done : -1;
            }
            if (got == 0)
                break;
            // A chained stream may change its layout; only the first link's layout is played.
            vorbis_info* info = ov_info(&vorbis_, section);
            if (info == nullptr || info->channels != channels_) {
                error_ = name_ + ": a chained link changes the channel count";
                return done > 0 ? done : -1;
            }
            done += got / (2 * channels_);
        }
        return done;
    }

    bool rewind() override { return ov_pcm_seek(&vorbis_, 0) == 0; }

private:
    MemoryFile file_;
    OggVorbis_File vorbis_{};
    bool open_ = false;
    std::string name_;
};

}  // namespace

std::unique_ptr<Decoder> openVorbisDecoder(const uint8_t* data, size_t size, const std::string& name,
                                           std::string& error) {
    auto decoder = std::make_unique<VorbisDecoder>(data, size, name);
    if (!decoder->open(error))
        return nullptr;
    return decoder;
}

}  // namespace sound
