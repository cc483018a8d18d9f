// The sound list (data/sound/sounds.txt): every sound the archive holds, with its entry name, its
// file format and what the game plays it for; the effects in the order of the game's sound indexes.
#pragma once

#include <string>
#include <vector>

namespace soundgen {

struct SoundEntry {
    std::string group;   // "index" (in the definition script's sound list), "ambient", "music" or "extra"
    int index = -1;      // the sound index, for the "index" group
    std::string name;    // archive entry name, without the leading "+"
    std::string format;  // "wav" or "ogg"
    std::string purpose;
    std::string where;  // "file:line"
};

// The fewest sound indexes the game plays (0 to 59).
constexpr int kSoundIndexes = 60;

// Reads and checks the list: indexes from 0 in order without gaps, at least kSoundIndexes of them;
// unique names that the definition scripts can write (a letter first, no spaces, more than two
// characters); music and ambience as Ogg Vorbis. Every fault names the file and line.
std::vector<SoundEntry> readSoundList(const std::string& path);

// The source of a sound: data/sound/{effects,ambient,music}/NAME.fx or NAME.score; throws when there is
// none or more than one.
std::string findSoundSource(const std::string& soundDir, const std::string& name);

}  // namespace soundgen
