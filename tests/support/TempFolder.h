// A temporary folder for a test, removed with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

class TempFolder {
public:
    // A new, empty folder below the system's temporary folder ($TMPDIR or /tmp).
    TempFolder();
    // A new, empty folder below `base` (a fuzzer's memory-backed /dev/shm, say).
    explicit TempFolder(const std::filesystem::path& base);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // The full path of a name below the folder (nothing is created).
    std::string file(std::string_view name) const;
    // Writes bytes to a file below the folder, creating the folders on the way; returns its full path.
    // Throws std::runtime_error when the file cannot be written, so a test never runs on a missing file.
    std::string write(std::string_view name, std::string_view bytes) const;
    // The whole content of a file below the folder (empty when it cannot be read).
    std::string read(std::string_view name) const;

private:
    std::string path_;
};

}  // namespace testsupport
