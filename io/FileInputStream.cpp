// io::FileInputStream: a byte stream over a disk file.
#include "io/FileInputStream.h"

#include <sys/stat.h>

#include <string>

#include "io/Path.h"
#include "lang/Exception.h"

namespace io {

FileInputStream::FileInputStream(const char* name) : path_(name) {
    open();
}

FileInputStream::FileInputStream(const char* name, const char* directory)
    : path_(joinPath(directory != nullptr ? directory : "", name != nullptr ? name : "").c_str()) {
    open();
}

void FileInputStream::open() {
    file_ = std::fopen(path_.chars(), "rb");
    // A folder opens on Linux but cannot be read; refuse it like a missing file.
    struct stat info;
    if (file_ != nullptr && (::fstat(fileno(file_), &info) != 0 || S_ISDIR(info.st_mode))) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (file_ == nullptr) {
        std::string message = std::string("Error Opening ") + path_.chars();
        throw new lang::Exception(message.c_str());
    }
}

FileInputStream::~FileInputStream() {
    close();
}

int FileInputStream::read(uint8_t* buffer, int offset, int length) {
    if (file_ == nullptr || buffer == nullptr || length < 1 || offset < 0)
        return 0;
    return static_cast<int>(std::fread(buffer + offset, 1, static_cast<size_t>(length), file_));
}

int FileInputStream::read() {
    if (file_ == nullptr)
        return -1;
    int c = std::fgetc(file_);
    if (c == EOF) {
        if (std::ferror(file_)) {
            std::clearerr(file_);
            throw new lang::Exception("File error");
        }
        return -1;
    }
    return c;
}

void FileInputStream::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void FileInputStream::reset() {
    if (file_ != nullptr) {
        std::clearerr(file_);
        std::fseek(file_, 0, SEEK_SET);
    }
}

int64_t FileInputStream::skip(int64_t n) {
    if (file_ == nullptr || n <= 0)
        return 0;
    int64_t before = ftello(file_);
    if (fseeko(file_, static_cast<off_t>(n), SEEK_CUR) != 0)
        return 0;
    return ftello(file_) - before;
}

}  // namespace io
