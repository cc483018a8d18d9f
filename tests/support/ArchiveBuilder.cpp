// Builds small data archives for tests through the archive writer's own format code.
#include "tests/support/ArchiveBuilder.h"

#include "tests/support/TempFolder.h"
#include "tools/ArchiveFormat.h"

namespace testsupport {

ArchiveBuilder& ArchiveBuilder::add(std::string name, std::string bytes) {
    entries_.emplace_back(std::move(name), std::move(bytes));
    return *this;
}

std::string ArchiveBuilder::bytes() const {
    std::vector<archiveformat::Entry> entries;
    for (const auto& [name, data] : entries_)
        entries.push_back(archiveformat::Entry{name, "", data});
    return archiveformat::buildArchive(entries);
}

std::string ArchiveBuilder::writeTo(const TempFolder& folder, const std::string& fileName) const {
    return folder.write(fileName, bytes());
}

}  // namespace testsupport
