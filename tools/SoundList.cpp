// Reading the sound list and finding each sound's source.
#include "tools/SoundList.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "tools/SoundBuffer.h"

namespace soundgen {

std::vector<SoundEntry> readSoundList(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw SoundError("cannot open the sound list " + path);
    std::vector<SoundEntry> entries;
    std::set<std::string> names;
    std::string line;
    int lineNumber = 0;
    int nextIndex = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string where = path + ":" + std::to_string(lineNumber);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        SoundEntry entry;
        std::string first;
        if (!(words >> first) || first[0] == '#')
            continue;
        if (!(words >> entry.name >> entry.format))
            throw SoundError(where +
                             ": expected an index (or ambient, music, extra), an entry name and a format");
        std::getline(words >> std::ws, entry.purpose);
        entry.where = where;
        if (std::isdigit(static_cast<unsigned char>(first[0]))) {
            entry.group = "index";
            if (first.size() > 4 || first.find_first_not_of("0123456789") != std::string::npos)
                throw SoundError(where + ": \"" + first + "\" is not a sound index");
            entry.index = std::stoi(first);
            if (entry.index != nextIndex || first != std::to_string(entry.index))
                throw SoundError(where + ": sound index " + first + " is out of order (expected " +
                                 std::to_string(nextIndex) + ")");
            if (!entries.empty() && entries.back().group != "index")
                throw SoundError(where +
                                 ": the sound indexes come before the ambient, music and extra sounds");
            ++nextIndex;
        } else if (first == "ambient" || first == "music" || first == "extra") {
            entry.group = first;
        } else {
            throw SoundError(where + ": \"" + first + "\" is not a sound index, ambient, music or extra");
        }
        // Script tokens that start with a digit, "-", "." or "<" read as numbers or a section's end, and
        // tokens of two characters or fewer are skipped: names are a letter and more.
        if (entry.name.size() < 3 || entry.name.size() > 255 ||
            !std::isalpha(static_cast<unsigned char>(entry.name[0])))
            throw SoundError(where + ": the entry name \"" + entry.name +
                             "\" must start with a letter and be 3 to 255 characters long");
        for (char c : entry.name)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
                throw SoundError(where + ": the entry name \"" + entry.name +
                                 "\" may hold only letters, digits and \"_\"");
        if (!names.insert(entry.name).second)
            throw SoundError(where + ": the entry name \"" + entry.name + "\" is used twice");
        if (entry.format != "wav" && entry.format != "ogg")
            throw SoundError(where + ": format \"" + entry.format + "\" (expected wav or ogg)");
        if ((entry.group == "music" || entry.group == "ambient") && entry.format != "ogg")
            throw SoundError(where + ": music and ambience are Ogg Vorbis (format ogg)");
        if (entry.purpose.empty())
            throw SoundError(where + ": say what the sound is for after its format");
        entries.push_back(entry);
    }
    if (nextIndex < kSoundIndexes)
        throw SoundError(path + ": " + std::to_string(nextIndex) + " sound indexes (expected at least " +
                         std::to_string(kSoundIndexes) + ")");
    return entries;
}

std::string findSoundSource(const std::string& soundDir, const std::string& name) {
    std::vector<std::string> found;
    for (const char* folder : {"effects", "ambient", "music"})
        for (const char* extension : {".fx", ".score"}) {
            std::string candidate = soundDir + "/" + folder + "/" + name + extension;
            if (std::filesystem::exists(candidate))
                found.push_back(candidate);
        }
    if (found.size() != 1)
        throw SoundError(soundDir + ": " + (found.empty() ? "no source" : "more than one source") +
                         " for the sound " + name + " (expected one effects/, ambient/ or music/" + name +
                         ".fx or .score)");
    return found[0];
}

}  // namespace soundgen
