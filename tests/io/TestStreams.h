// Test helpers: streams over bytes held in memory, and temporary files that remove themselves.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "io/ByteArrayInputStream.h"
#include "lang/ResourceFile.h"

namespace testing_io {

// An archive item over a copy of some bytes.
class MemoryItem : public lang::ResourceItem {
public:
    explicit MemoryItem(std::string_view bytes) : bytes_(bytes) {}
    const uint8_t* getData() const override { return reinterpret_cast<const uint8_t*>(bytes_.data()); }
    int getLength() const override { return static_cast<int>(bytes_.size()); }

private:
    std::string bytes_;
};

// A new stream over the bytes (one reference for the caller, held by the Ref).
inline lang::Ref<io::ByteArrayInputStream> streamOver(std::string_view bytes) {
    auto item = lang::make<MemoryItem>(bytes);
    return lang::make<io::ByteArrayInputStream>(item.get());
}

// A temporary folder, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/lumaroo-test-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TempFolder() {
        std::string command = "rm -rf '" + path_ + "'";
        if (std::system(command.c_str()) != 0)
            std::perror("rm");
    }
    const std::string& path() const { return path_; }
    // Writes a file below the folder and returns its full path.
    std::string write(const std::string& name, std::string_view bytes) const {
        std::string full = path_ + "/" + name;
        std::FILE* f = std::fopen(full.c_str(), "wb");
        if (f != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return full;
    }

private:
    std::string path_;
};

}  // namespace testing_io
