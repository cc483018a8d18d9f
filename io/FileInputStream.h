// io::FileInputStream: a byte stream over a disk file, opened for binary reading.
#pragma once

#include <cstdio>

#include "io/InputStream.h"
#include "lang/String.h"

namespace io {

class FileInputStream : public InputStream {
public:
    // Opens `name`, or `name` inside `directory` (joined by io::joinPath). Throws lang::Exception
    // "Error Opening " followed by the path tried.
    explicit FileInputStream(const char* name);
    FileInputStream(const char* name, const char* directory);
    ~FileInputStream() override;
    FileInputStream(const FileInputStream&) = delete;
    FileInputStream& operator=(const FileInputStream&) = delete;

    LANG_CLASS_NAME(FileInputStream, InputStream)

    // 0 at the end of the file and once closed.
    int read(uint8_t* buffer, int offset, int length) override;
    // Throws lang::Exception "File error" when the file reports a read error.
    int read() override;
    void close() override;
    void reset() override;
    int64_t skip(int64_t n) override;

    const lang::String& path() const { return path_; }

private:
    void open();

    lang::String path_;
    std::FILE* file_ = nullptr;
};

}  // namespace io
