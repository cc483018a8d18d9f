// The data archive's file format: the manifest reader and the packer.
#include "tools/ArchiveFormat.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

namespace archiveformat {

namespace {

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

// Splits one manifest line; false for a blank or comment line.
bool parseLine(std::string line, const std::string& where, std::string& name, std::string& source) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    size_t i = 0;
    while (i < line.size() && isSpace(line[i]))
        ++i;
    if (i == line.size() || line[i] == '#')
        return false;
    if (line[i] == '"') {
        size_t close = line.find('"', i + 1);
        if (close == std::string::npos)
            throw Failure{where + ": the quoted entry name has no closing quote"};
        name = line.substr(i + 1, close - i - 1);
        i = close + 1;
        if (i < line.size() && !isSpace(line[i])) {
            throw Failure{where + ": expected white space after the quoted entry name"};
        }
    } else {
        size_t start = i;
        while (i < line.size() && !isSpace(line[i]))
            ++i;
        name = line.substr(start, i - start);
    }
    while (i < line.size() && isSpace(line[i]))
        ++i;
    size_t end = line.size();
    while (end > i && isSpace(line[end - 1]))
        --end;
    source = line.substr(i, end - i);
    if (source.empty())
        throw Failure{where + ": expected a source file after the entry name \"" + name + "\""};
    if (name.size() > 255) {
        throw Failure{where + ": the entry name \"" + name + "\" is longer than 255 bytes"};
    }
    return true;
}

void putWord(std::string& out, uint64_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::vector<Entry> readManifest(const std::string& manifestPath) {
    std::ifstream manifest(manifestPath, std::ios::binary);
    if (!manifest)
        throw Failure{"cannot open the manifest " + manifestPath + ": " + std::strerror(errno)};
    std::vector<Entry> entries;
    std::set<std::string> names;
    std::string line;
    int lineNumber = 0;
    const std::string base = folderOf(manifestPath);
    while (std::getline(manifest, line)) {
        ++lineNumber;
        const std::string where = manifestPath + ":" + std::to_string(lineNumber);
        Entry entry;
        if (!parseLine(line, where, entry.name, entry.source))
            continue;
        if (!names.insert(entry.name).second) {
            throw Failure{where + ": the entry name \"" + entry.name + "\" is used twice"};
        }
        std::string path = entry.source[0] == '/' ? entry.source : base + entry.source;
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            throw Failure{where + ": cannot open the source file " + path + " of entry \"" + entry.name +
                          "\": " + std::strerror(errno)};
        }
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (in.bad())
            throw Failure{where + ": cannot read the source file " + path};
        entry.data = bytes.str();
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string buildArchive(const std::vector<Entry>& entries) {
    uint64_t directorySize = 12;
    for (const Entry& entry : entries)
        directorySize += 9 + entry.name.size();
    std::string out;
    putWord(out, 0);  // the ignored word
    putWord(out, 0);  // no preamble
    putWord(out, entries.size());
    uint64_t offset = directorySize;
    for (const Entry& entry : entries) {
        if (offset + entry.data.size() > 0xFFFFFFFFull) {
            throw Failure{"the archive would pass 4 GiB at entry \"" + entry.name + "\""};
        }
        out.push_back(static_cast<char>(entry.name.size()));
        out += entry.name;
        putWord(out, offset);
        putWord(out, entry.data.size());
        offset += entry.data.size();
    }
    for (const Entry& entry : entries)
        out += entry.data;
    return out;
}

void writeFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            throw Failure{"cannot create " + temporary + ": " + std::strerror(errno)};
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            throw Failure{"cannot write " + temporary};
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw Failure{"cannot rename " + temporary + " to " + path + ": " + std::strerror(errno)};
    }
}

}  // namespace archiveformat
