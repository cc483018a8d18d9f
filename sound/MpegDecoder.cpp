// MPEG audio (layers I to III) decoding from memory through libmpg123.
#include <algorithm>
#include <cstring>
#include <mutex>

#include <mpg123.h>

#include "sound/Decoder.h"

namespace sound {

namespace {

struct MemoryFile {
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

mpg123_ssize_t memoryRead(void* source, void* out, size_t bytes) {
    auto* file = static_cast<MemoryFile*>(source);
    size_t count = std::min(bytes, file->size - file->position);
    std::memcpy(out, file->data + file->position, count);
    file->position += count;
    return static_cast<mpg123_ssize_t>(count);
}

off_t memorySeek(void* source, off_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(source);
    off_t base = whence == SEEK_SET   ? 0
                 : whence == SEEK_CUR ? static_cast<off_t>(file->position)
                                      : static_cast<off_t>(file->size);
    off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(file->size))
        return -1;
    file->position = static_cast<size_t>(target);
    return target;
}

// libmpg123 before 1.27 needs one process-wide initialisation; later versions ignore it.
void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

class MpegDecoder : public Decoder {
public:
    MpegDecoder(const uint8_t* data, size_t size, std::string name)
        : file_{data, size}, name_(std::move(name)) {}
    ~MpegDecoder() override {
        if (handle_ != nullptr) {
            mpg123_close(handle_);
            mpg123_delete(handle_);
        }
    }

    bool open(std::string& error) {
        initLibrary();
        int result = MPG123_OK;
        handle_ = mpg123_new(nullptr, &result);
        if (handle_ == nullptr) {
            error = name_ + ": cannot create an MPEG decoder: " + mpg123_plain_strerror(result);
            return false;
        }
        mpg123_param(handle_, MPG123_FLAGS, MPG123_QUIET, 0.0);
        // Every rate, mono or stereo, as 16-bit integers: the layout is fixed below once it is known.
        mpg123_format_none(handle_);
        const long* rates = nullptr;
        size_t rateCount = 0;
        mpg123_rates(&rates, &rateCount);
        for (size_t i = 0; i < rateCount; ++i)
            mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        if (mpg123_replace_reader_handle(handle_, memoryRead, memorySeek, nullptr) != MPG123_OK ||
            mpg123_open_handle(handle_, &file_) != MPG123_OK) {
            error = name_ + ": " + mpg123_strerror(handle_);
            return false;
        }
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK) {
            error = name_ + ": no MPEG audio frame found (" + mpg123_strerror(handle_) + ")";
            return false;
        }
        rate_ = static_cast<int>(rate);
        channels_ = channels;
        // Later frames of another layout are converted to this one rather than changing it mid-stream.
        mpg123_format_none(handle_);
        mpg123_format(handle_, rate, channels, MPG123_ENC_SIGNED_16);
        return true;
    }

    long read(int16_t* out, long frames, bool) override {
        long done = 0;
        while (done < frames) {
            size_t bytes = 0;
            size_t want = static_cast<size_t>(frames - done) * static_cast<size_t>(channels_) * 2;
            int result =
                mpg123_read(handle_, reinterpret_cast<unsigned char*>(out + done * channels_), want, &bytes);
            done += static_cast<long>(bytes / (2 * static_cast<size_t>(channels_)));
            if (result == MPG123_DONE)
                break;
            if (result == MPG123_NEW_FORMAT) {
                long rate = 0;
                int channels = 0, encoding = 0;
                mpg123_getformat(handle_, &rate, &channels, &encoding);
                if (channels != channels_ || encoding != MPG123_ENC_SIGNED_16) {
                    error_ = name_ + ": the MPEG stream changes its channel layout";
                    return done > 0 ? done : -1;
                }
                continue;
            }
            if (result != MPG123_OK) {
                error_ = name_ + ": " + mpg123_strerror(handle_);
                return done > 0 ? done : -1;
            }
            if (bytes == 0)
                break;
        }
        return done;
    }

    bool rewind() override { return mpg123_seek(handle_, 0, SEEK_SET) >= 0; }

private:
    MemoryFile file_;
    mpg123_handle* handle_ = nullptr;
    std::string name_;
};

}  // namespace

std::unique_ptr<Decoder> openMpegDecoder(const uint8_t* data, size_t size, const std::string& name,
                                         std::string& error) {
    auto decoder = std::make_unique<MpegDecoder>(data, size, name);
    if (!decoder->open(error))
        return nullptr;
    return decoder;
}

}  // namespace sound
