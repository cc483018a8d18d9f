// Builds small data archives for tests, in the very format the game's archive writer produces.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class TempFolder;

class ArchiveBuilder {
public:
    // Adds an entry (its name without the "+" that the game's names put in front).
    ArchiveBuilder& add(std::string name, std::string bytes);
    // The archive's bytes.
    std::string bytes() const;
    // Writes the archive below the folder and returns its full path.
    std::string writeTo(const TempFolder& folder, const std::string& fileName = "test.bin") const;

private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

}  // namespace testsupport
