// The data archive's file format, as the archive writer produces it: the manifest reader and the packer,
// shared by tools/mkarchive and the tests' archive builder.
//
// A manifest line names one entry: the entry name, white space, then the source file (the rest of the
// line, so paths may hold spaces; relative paths are taken from the manifest's folder). A name written
// in double quotes may be empty or hold spaces. Blank lines and lines starting with "#" are skipped.
// The archive holds the entries in manifest order: an ignored zero word, an empty preamble, the
// directory, then the entries' bytes back to back. The same entries always give the same bytes.
#pragma once

#include <string>
#include <vector>

namespace archiveformat {

struct Entry {
    std::string name;
    std::string source;  // the file the bytes came from (empty for entries made in memory)
    std::string data;
};

// Thrown with a message that names the manifest line or entry at fault.
struct Failure {
    std::string message;
};

// The entries of a manifest with their bytes read; throws Failure.
std::vector<Entry> readManifest(const std::string& manifestPath);
// The archive's bytes; throws Failure when it would pass 4 GiB.
std::string buildArchive(const std::vector<Entry>& entries);
// Writes bytes to a temporary file beside path and renames it, so a failure leaves no half file behind;
// throws Failure.
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace archiveformat
