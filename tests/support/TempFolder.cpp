// A temporary folder for a test, made and removed with std::filesystem.
#include "tests/support/TempFolder.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace testsupport {

namespace fs = std::filesystem;

TempFolder::TempFolder() : TempFolder(fs::temp_directory_path()) {}

TempFolder::TempFolder(const fs::path& base) {
    static std::atomic<unsigned> serial{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    // The process id, a serial and the clock make the name unique; create_directory tells if it is
    // taken (another process's folder) and the next serial is tried.
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / ("lumaroo-test-" + std::to_string(::getpid()) + "-" +
                                     std::to_string(serial++) + "-" + std::to_string(stamp % 1000000));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path_ = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder in " + base.string());
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempFolder::file(std::string_view name) const {
    return (fs::path(path_) / fs::path(name)).string();
}

std::string TempFolder::write(std::string_view name, std::string_view bytes) const {
    const fs::path full = fs::path(path_) / fs::path(name);
    std::error_code error;
    fs::create_directories(full.parent_path(), error);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write the test file " + full.string());
    return full.string();
}

std::string TempFolder::read(std::string_view name) const {
    std::ifstream in(fs::path(path_) / fs::path(name), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace testsupport
