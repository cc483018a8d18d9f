// Reading text scores into timed notes: header, instruments, patterns over chords, melodies and form.
#include "tools/SoundScore.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "lang/Ref.h"
#include "tools/SoundRecipe.h"
#include "util/Random.h"

namespace soundgen {

namespace {

struct Pattern {
    std::string name;
    int instrument = 0;
    int octave = 4;
    double step = 1;
    int velocity = 80;
    bool bass = false;
    std::vector<std::string> steps;
    std::string where;
};

struct Melody {
    int instrument = 0;
    int velocity = 90;
    std::vector<std::pair<std::string, std::string>> tokens;  // token, where
};

struct Section {
    std::string name;
    int bars = 0;
    std::vector<std::pair<std::string, std::string>> chordTokens;  // token ("|" included), where
    std::vector<std::string> patterns;
    std::vector<Melody> melodies;
    std::string where;
};

// A note in beats from the start of its section, before the form places it.
struct BeatNote {
    double start, length;
    int channel, key, velocity;
};

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

bool toNumber(const std::string& text, double& value) {
    if (text.empty())
        return false;
    size_t slash = text.find('/');
    char* end = nullptr;
    if (slash != std::string::npos) {
        double a = std::strtod(text.substr(0, slash).c_str(), &end);
        if (*end != 0)
            return false;
        double b = std::strtod(text.substr(slash + 1).c_str(), &end);
        if (*end != 0 || b == 0)
            return false;
        value = a / b;
        return std::isfinite(value);
    }
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

double number(const std::string& text, const std::string& what, const std::string& where, double lo,
              double hi) {
    double value = 0;
    if (!toNumber(text, value) || value < lo || value > hi)
        throw SoundError(where + ": " + what + " expects a number from " + std::to_string(lo) + " to " +
                         std::to_string(hi) + ", not \"" + text + "\"");
    return value;
}

int pitchClass(const std::string& name, size_t& i, const std::string& where) {
    static const int semitone[7] = {9, 11, 0, 2, 4, 5, 7};
    if (i >= name.size() || name[i] < 'A' || name[i] > 'G')
        throw SoundError(where + ": \"" + name + "\" does not start with a note letter A to G");
    int pc = semitone[name[i] - 'A'];
    ++i;
    if (i < name.size() && name[i] == '#') {
        ++pc;
        ++i;
    } else if (i < name.size() && name[i] == 'b') {
        --pc;
        ++i;
    }
    return (pc + 12) % 12;
}

int midiKey(const std::string& name, const std::string& where) {
    return static_cast<int>(std::lround(69.0 + 12.0 * std::log2(noteFrequency(name, where) / 440.0)));
}

// Splits "TOKEN!" / "TOKEN?" into the token and a velocity change.
int accent(std::string& token) {
    if (!token.empty() && token.back() == '!') {
        token.pop_back();
        return 18;
    }
    if (!token.empty() && token.back() == '?') {
        token.pop_back();
        return -18;
    }
    return 0;
}

int instrumentIndex(const Score& score, const std::string& name, const std::string& where) {
    for (size_t i = 0; i < score.instruments.size(); ++i)
        if (score.instruments[i].name == name)
            return static_cast<int>(i);
    throw SoundError(where + ": no instrument \"" + name +
                     "\" (declare it with an \"instrument\" line first)");
}

// The chords of a section, one list per bar.
std::vector<std::vector<Chord>> sectionChords(const Section& section) {
    std::vector<std::vector<Chord>> bars(1);
    for (const auto& [token, where] : section.chordTokens) {
        if (token == "|") {
            bars.emplace_back();
            continue;
        }
        bars.back().push_back(parseChord(token, where));
    }
    if (!bars.empty() && bars.back().empty())
        bars.pop_back();
    if (!section.chordTokens.empty() && static_cast<int>(bars.size()) != section.bars)
        throw SoundError(section.where + ": section " + section.name + " has " +
                         std::to_string(section.bars) + " bars but " + std::to_string(bars.size()) +
                         " bars of chords");
    for (size_t b = 0; b < bars.size(); ++b)
        if (bars[b].empty())
            throw SoundError(section.where + ": bar " + std::to_string(b + 1) + " of section " +
                             section.name + " has no chord");
    return bars;
}

void addPatternNotes(const Score& score, const Section& section, const Pattern& pattern,
                     const std::vector<std::vector<Chord>>& chords, std::vector<BeatNote>& out) {
    if (chords.empty())
        throw SoundError(pattern.where + ": pattern " + pattern.name + " is played in section " +
                         section.name + ", which has no chords");
    double sectionBeats = section.bars * score.beats;
    double patternBeats = pattern.steps.size() * pattern.step;
    const ScoreInstrument& instrument = score.instruments[static_cast<size_t>(pattern.instrument)];
    for (double start = 0; start < sectionBeats - 1e-9; start += patternBeats) {
        for (size_t s = 0; s < pattern.steps.size(); ++s) {
            std::string token = pattern.steps[s];
            int velocity = pattern.velocity + accent(token);
            if (token == "-" || token == ".")
                continue;
            double at = start + s * pattern.step;
            if (at >= sectionBeats - 1e-9)
                break;
            size_t held = 1;
            while (s + held < pattern.steps.size() && pattern.steps[s + held] == "-")
                ++held;
            int bar = static_cast<int>(at / score.beats);
            const std::vector<Chord>& inBar = chords[static_cast<size_t>(bar)];
            double within = at - bar * score.beats;
            const Chord& chord = inBar[std::min(
                inBar.size() - 1, static_cast<size_t>(within * inBar.size() / score.beats + 1e-9))];
            std::stringstream parts(token);
            std::string part;
            while (std::getline(parts, part, '+')) {
                int key;
                if (instrument.drums) {
                    // A drum kit plays keys, not chord tones.
                    key = static_cast<int>(number(part, "a drum key", pattern.where, 27, 87));
                } else {
                    double degree = number(part, "a pattern step", pattern.where, 1, 15);
                    key = chordDegreeKey(chord, static_cast<int>(degree), pattern.octave, pattern.bass,
                                         pattern.where);
                }
                double length = std::min(held * pattern.step, sectionBeats - at);
                out.push_back({at, length * 0.96, instrument.channel, key, velocity});
            }
        }
    }
}

void addMelodyNotes(const Score& score, const Section& section, const Melody& melody,
                    std::vector<BeatNote>& out) {
    double position = 0;
    double sectionBeats = section.bars * score.beats;
    const ScoreInstrument& instrument = score.instruments[static_cast<size_t>(melody.instrument)];
    int lineVelocity = melody.velocity;
    for (auto [token, where] : melody.tokens) {
        if (token[0] == '@') {
            lineVelocity = std::stoi(token.substr(1));
            continue;
        }
        if (token == "|") {
            double bars = position / score.beats;
            if (std::fabs(bars - std::round(bars)) > 1e-6)
                throw SoundError(where + ": bar check at beat " + std::to_string(position) + " of section " +
                                 section.name + " is not on a bar line");
            continue;
        }
        int velocity = lineVelocity + accent(token);
        size_t colon = token.rfind(':');
        if (colon == std::string::npos)
            throw SoundError(where + ": \"" + token + "\" is not a note (expected NAME:BEATS such as E5:1)");
        double length = number(token.substr(colon + 1), "a note length", where, 1.0 / 64, 64);
        std::string pitches = token.substr(0, colon);
        if (pitches != "r") {
            std::stringstream parts(pitches);
            std::string part;
            while (std::getline(parts, part, '+')) {
                double key = 0;
                int midi = toNumber(part, key) ? static_cast<int>(key) : midiKey(part, where);
                if (midi < 0 || midi > 127)
                    throw SoundError(where + ": key " + part + " is outside 0 to 127");
                out.push_back({position, length * 0.97, instrument.channel, midi, velocity});
            }
        }
        position += length;
        if (position > sectionBeats + 1e-6)
            throw SoundError(where + ": the melody runs past the end of section " + section.name + " (" +
                             std::to_string(position) + " of " + std::to_string(sectionBeats) + " beats)");
    }
}

}  // namespace

Chord parseChord(const std::string& symbol, const std::string& where) {
    static const std::map<std::string, std::vector<int>> qualities = {
        {"", {0, 4, 7}},       {"m", {0, 3, 7}},        {"7", {0, 4, 7, 10}}, {"maj7", {0, 4, 7, 11}},
        {"m7", {0, 3, 7, 10}}, {"sus2", {0, 2, 7}},     {"sus4", {0, 5, 7}},  {"7sus4", {0, 5, 7, 10}},
        {"6", {0, 4, 7, 9}},   {"m6", {0, 3, 7, 9}},    {"add9", {0, 4, 7}},  {"madd9", {0, 3, 7}},
        {"dim", {0, 3, 6}},    {"m7b5", {0, 3, 6, 10}}, {"9", {0, 4, 7, 10}}, {"maj9", {0, 4, 7, 11}},
        {"m9", {0, 3, 7, 10}}, {"5", {0, 7, 12}},
    };
    Chord chord;
    size_t i = 0;
    chord.root = pitchClass(symbol, i, where);
    std::string rest = symbol.substr(i);
    size_t slash = rest.find('/');
    if (slash != std::string::npos) {
        size_t j = 0;
        std::string bass = rest.substr(slash + 1);
        chord.bass = pitchClass(bass, j, where);
        if (j != bass.size())
            throw SoundError(where + ": \"" + symbol + "\" has an unreadable bass note after \"/\"");
        rest = rest.substr(0, slash);
    }
    auto quality = qualities.find(rest);
    if (quality == qualities.end())
        throw SoundError(where + ": unknown chord \"" + symbol +
                         "\" (qualities: major, m, 7, maj7, m7, sus2, sus4, 7sus4, 6, m6, add9, madd9, dim, "
                         "m7b5, 9, maj9, m9, 5)");
    chord.tones = quality->second;
    return chord;
}

int chordDegreeKey(const Chord& chord, int degree, int octave, bool useBass, const std::string& where) {
    const std::vector<int>& t = chord.tones;
    int seventh = t.size() > 3 ? t[3] : 12;
    int interval;
    switch (degree) {
        case 1:
            interval = 0;
            break;
        case 2:
            interval = 2;
            break;
        case 3:
            interval = t[1];
            break;
        case 4:
            interval = 5;
            break;
        case 5:
            interval = t[2];
            break;
        case 6:
            interval = 9;
            break;
        case 7:
            interval = seventh;
            break;
        case 8:
            interval = 12;
            break;
        case 9:
            interval = chord.added;
            break;
        case 10:
            interval = t[1] + 12;
            break;
        case 11:
            interval = 17;
            break;
        case 12:
            interval = t[2] + 12;
            break;
        case 13:
            interval = 21;
            break;
        case 14:
            interval = seventh + 12;
            break;
        case 15:
            interval = 24;
            break;
        default:
            throw SoundError(where + ": chord degree " + std::to_string(degree) + " (expected 1 to 15)");
    }
    int base = (octave + 1) * 12;
    if (useBass && chord.bass >= 0 && (degree == 1 || degree == 8 || degree == 15)) {
        // The slash bass is the one nearest the root (within a tritone), so the bass line keeps its register.
        int offset = (chord.bass - chord.root + 12) % 12;
        if (offset > 6)
            offset -= 12;
        return base + chord.root + offset + interval;
    }
    return base + chord.root + interval;
}

Score parseScore(const std::string& text, const std::string& path) {
    Score score;
    score.path = path;
    std::map<std::string, Pattern> patterns;
    std::vector<Section> sections;
    std::vector<std::pair<std::string, std::string>> form;
    std::string humanizeWhere;
    double humanizeMs = 0, humanizeVelocity = 0;
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string where = path + ":" + std::to_string(lineNumber);
        stripComment(line);
        std::vector<std::string> w = words(line);
        if (w.empty())
            continue;
        const std::string& head = w[0];
        auto one = [&](const std::string& what, double lo, double hi) {
            if (w.size() != 2)
                throw SoundError(where + ": \"" + head + "\" takes one value");
            return number(w[1], what, where, lo, hi);
        };
        // Everything after the ":" of a pattern or melody line.
        auto afterColon = [&]() {
            auto colon = std::find(w.begin(), w.end(), ":");
            if (colon == w.end())
                throw SoundError(where + ": expected \" : \" before the steps or notes");
            return std::make_pair(std::vector<std::string>(w.begin() + 1, colon),
                                  std::vector<std::string>(colon + 1, w.end()));
        };
        if (head == "tempo") {
            score.tempo = one("tempo", 20, 300);
        } else if (head == "beats") {
            score.beats = static_cast<int>(one("beats", 1, 16));
        } else if (head == "loop") {
            score.loop = true;
        } else if (head == "tail") {
            score.tail = one("tail", 0, 20);
        } else if (head == "seed") {
            score.seed = static_cast<unsigned>(one("seed", 0, 4294967295.0));
        } else if (head == "level") {
            score.levelDb = one("level", -30, 30);
        } else if (head == "kind") {
            if (w.size() != 2)
                throw SoundError(where + ": \"kind\" takes one word (music or effect)");
            score.kind = kindFromName(w[1], where);
        } else if (head == "humanize") {
            if (w.size() != 3)
                throw SoundError(where +
                                 ": \"humanize\" takes the timing spread (ms) and the velocity spread");
            humanizeMs = number(w[1], "humanize", where, 0, 50);
            humanizeVelocity = number(w[2], "humanize", where, 0, 40);
        } else if (head == "reverb") {
            if (w.size() != 5)
                throw SoundError(where + ": \"reverb\" takes room size, damping, width and level");
            score.reverbRoom = number(w[1], "room size", where, 0, 1);
            score.reverbDamp = number(w[2], "damping", where, 0, 1);
            score.reverbWidth = number(w[3], "width", where, 0, 100);
            score.reverbLevel = number(w[4], "level", where, 0, 1);
        } else if (head == "chorus") {
            if (w.size() != 2 || (w[1] != "on" && w[1] != "off"))
                throw SoundError(where + ": \"chorus\" takes on or off");
            score.chorus = w[1] == "on";
        } else if (head == "instrument") {
            if (w.size() < 2)
                throw SoundError(where + ": \"instrument\" needs a name");
            ScoreInstrument instrument;
            instrument.name = w[1];
            for (const ScoreInstrument& other : score.instruments)
                if (other.name == instrument.name)
                    throw SoundError(where + ": instrument \"" + instrument.name + "\" is declared twice");
            for (size_t i = 2; i < w.size(); ++i) {
                const std::string& key = w[i];
                if (key == "drums") {
                    instrument.drums = true;
                    continue;
                }
                if (i + 1 >= w.size())
                    throw SoundError(where + ": \"" + key + "\" needs a value");
                const std::string& value = w[++i];
                if (key == "program")
                    instrument.program = static_cast<int>(number(value, "program", where, 0, 127));
                else if (key == "bank")
                    instrument.bank = static_cast<int>(number(value, "bank", where, 0, 16383));
                else if (key == "volume")
                    instrument.volume = static_cast<int>(number(value, "volume", where, 0, 127));
                else if (key == "pan")
                    instrument.pan = number(value, "pan", where, -1, 1);
                else if (key == "reverb")
                    instrument.reverb = static_cast<int>(number(value, "reverb", where, 0, 127));
                else if (key == "chorus")
                    instrument.chorus = static_cast<int>(number(value, "chorus", where, 0, 127));
                else
                    throw SoundError(where + ": an instrument has no key \"" + key +
                                     "\" (expected program, bank, volume, pan, reverb, chorus or drums)");
            }
            // Channel 9 is General MIDI's drum channel: only drum instruments get it.
            int melodic = 0;
            for (const ScoreInstrument& other : score.instruments)
                if (!other.drums)
                    ++melodic;
            instrument.channel = instrument.drums ? 9 : (melodic >= 9 ? melodic + 1 : melodic);
            if (instrument.channel > 15 ||
                (instrument.drums && std::any_of(score.instruments.begin(), score.instruments.end(),
                                                 [](auto& i) { return i.drums; })))
                throw SoundError(where + ": too many instruments (15 melodic and one drum kit at most)");
            score.instruments.push_back(instrument);
        } else if (head == "pattern") {
            auto [options, steps] = afterColon();
            if (options.size() < 2)
                throw SoundError(where + ": expected \"pattern NAME INSTRUMENT [options] : steps\"");
            Pattern pattern;
            pattern.name = options[0];
            pattern.where = where;
            pattern.instrument = instrumentIndex(score, options[1], where);
            for (size_t i = 2; i < options.size(); ++i) {
                const std::string& key = options[i];
                if (key == "bass") {
                    pattern.bass = true;
                    continue;
                }
                if (i + 1 >= options.size())
                    throw SoundError(where + ": \"" + key + "\" needs a value");
                const std::string& value = options[++i];
                if (key == "octave")
                    pattern.octave = static_cast<int>(number(value, "octave", where, 0, 8));
                else if (key == "step")
                    pattern.step = number(value, "step", where, 1.0 / 16, 16);
                else if (key == "velocity")
                    pattern.velocity = static_cast<int>(number(value, "velocity", where, 1, 127));
                else
                    throw SoundError(where + ": a pattern has no option \"" + key +
                                     "\" (expected octave, step, velocity or bass)");
            }
            if (steps.empty())
                throw SoundError(where + ": pattern " + pattern.name + " has no steps");
            if (patterns.count(pattern.name))
                throw SoundError(where + ": pattern " + pattern.name + " is defined twice");
            pattern.steps = steps;
            patterns[pattern.name] = pattern;
        } else if (head == "section") {
            if (w.size() != 3)
                throw SoundError(where + ": expected \"section NAME BARS\"");
            for (const Section& other : sections)
                if (other.name == w[1])
                    throw SoundError(where + ": section " + w[1] + " is defined twice");
            Section section;
            section.name = w[1];
            section.bars = static_cast<int>(number(w[2], "bars", where, 1, 256));
            section.where = where;
            sections.push_back(section);
            current = &sections.back();
        } else if (head == "chords" || head == "play" || head == "melody") {
            if (current == nullptr)
                throw SoundError(where + ": \"" + head + "\" outside a section (start one with \"section\")");
            if (head == "chords") {
                for (size_t i = 1; i < w.size(); ++i)
                    current->chordTokens.push_back({w[i], where});
                if (!current->chordTokens.empty() && current->chordTokens.back().first != "|")
                    current->chordTokens.push_back({"|", where});  // a chords line ends a bar
            } else if (head == "play") {
                for (size_t i = 1; i < w.size(); ++i) {
                    if (!patterns.count(w[i]))
                        throw SoundError(where + ": no pattern \"" + w[i] +
                                         "\" (define it before the section)");
                    current->patterns.push_back(w[i]);
                }
            } else {
                auto [options, notes] = afterColon();
                if (options.empty())
                    throw SoundError(where + ": expected \"melody INSTRUMENT [velocity V] : notes\"");
                int instrument = instrumentIndex(score, options[0], where);
                int velocity = 90;
                if (options.size() == 3 && options[1] == "velocity")
                    velocity = static_cast<int>(number(options[2], "velocity", where, 1, 127));
                else if (options.size() != 1)
                    throw SoundError(where + ": a melody line takes only \"velocity V\" before the \":\"");
                // Melody lines for the same instrument, one after another, continue one voice (at the
                // voice's velocity unless the line gives its own).
                Melody* melody = nullptr;
                if (!current->melodies.empty() && current->melodies.back().instrument == instrument)
                    melody = &current->melodies.back();
                if (melody == nullptr) {
                    current->melodies.push_back({instrument, velocity, {}});
                    melody = &current->melodies.back();
                }
                // A line's own velocity applies to its notes, written as a marker token.
                if (options.size() == 3)
                    melody->tokens.push_back({"@" + std::to_string(velocity), where});
                for (const std::string& note : notes)
                    melody->tokens.push_back({note, where});
            }
        } else if (head == "form") {
            if (w.size() < 2)
                throw SoundError(where + ": \"form\" lists the sections in the order they play");
            for (size_t i = 1; i < w.size(); ++i)
                form.push_back({w[i], where});
            current = nullptr;
        } else {
            throw SoundError(
                where + ": unknown line \"" + head +
                "\" (expected tempo, beats, loop, tail, kind, seed, humanize, reverb, chorus, level, "
                "instrument, pattern, section, chords, play, melody or form)");
        }
    }
    if (score.instruments.empty())
        throw SoundError(path + ": no instrument");
    if (form.empty())
        throw SoundError(path + ": no \"form\" line (expected the order of the sections)");

    // Each section's notes once, in beats; the form then places copies.
    std::map<std::string, std::vector<BeatNote>> sectionNotes;
    for (const Section& section : sections) {
        std::vector<BeatNote>& notes = sectionNotes[section.name];
        std::vector<std::vector<Chord>> chords = sectionChords(section);
        for (const std::string& name : section.patterns)
            addPatternNotes(score, section, patterns.at(name), chords, notes);
        for (const Melody& melody : section.melodies)
            addMelodyNotes(score, section, melody, notes);
    }
    lang::Ref<util::Random> random = lang::adopt(new util::Random(score.seed));
    double secondsPerBeat = 60.0 / score.tempo;
    double beat = 0;
    for (const auto& [name, where] : form) {
        auto section =
            std::find_if(sections.begin(), sections.end(), [&](const Section& s) { return s.name == name; });
        if (section == sections.end())
            throw SoundError(where + ": the form names section \"" + name + "\", which is not defined");
        for (const BeatNote& n : sectionNotes[name]) {
            ScoreNote note;
            double shift = humanizeMs / 1000.0 * (random->nextInt(2000) / 1000.0 - 1.0);
            note.start = std::max(0.0, (beat + n.start) * secondsPerBeat + shift);
            note.duration = n.length * secondsPerBeat;
            note.channel = n.channel;
            note.key = n.key;
            int spread = static_cast<int>(humanizeVelocity);
            note.velocity =
                std::clamp(n.velocity + (spread > 0 ? random->nextInt(2 * spread) - spread : 0), 1, 127);
            score.notes.push_back(note);
        }
        beat += section->bars * score.beats;
        score.bars += section->bars;
    }
    score.length = beat * secondsPerBeat;
    std::stable_sort(score.notes.begin(), score.notes.end(),
                     [](const ScoreNote& a, const ScoreNote& b) { return a.start < b.start; });
    return score;
}

Score readScore(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw SoundError("cannot open the score " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return parseScore(text.str(), path);
}

}  // namespace soundgen
