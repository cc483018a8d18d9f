// Reading effect recipes: header lines, layer lines and their keys, each checked against what its layer
// kind understands.
#include "tools/SoundRecipe.h"

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

namespace soundgen {

namespace {

// Keys and their number of values (-1: one or more).
using KeyTable = std::map<std::string, int>;

const KeyTable& commonKeys() {
    static const KeyTable keys = {{"at", 1},     {"gain", 1},    {"pan", 1},  {"repeat", 1},
                                  {"every", 1},  {"scatter", 1}, {"over", 1}, {"jitter", 1},
                                  {"detune", 1}, {"vary", 1},    {"step", 1}, {"fade", 1}};
    return keys;
}

const std::map<std::string, KeyTable>& layerKeys() {
    static const std::map<std::string, KeyTable> kinds = {
        {"tone", {{"voice", 1}, {"note", 1}, {"decay", 1}, {"glide", 1}, {"bright", 1}, {"mallet", 1}}},
        {"noise",
         {{"band", 2},
          {"to", 2},
          {"attack", 1},
          {"hold", 1},
          {"decay", 1},
          {"length", 1},
          {"flutter", 2},
          {"q", 1},
          {"swell", 1}}},
        {"sweep",
         {{"path", -1},
          {"length", 1},
          {"shape", 1},
          {"vibrato", 2},
          {"harmonics", -1},
          {"trill", 2},
          {"attack", 1}}},
        {"drop", {{"note", 1}, {"rise", 1}, {"decay", 1}}},
        {"crackle", {{"density", 1}, {"band", 2}, {"length", 1}, {"decay", 1}, {"thin", 1}}},
        {"pulse",
         {{"note", 1}, {"rate", 1}, {"width", 1}, {"length", 1}, {"attack", 1}, {"decay", 1}, {"buzz", 1}}},
        {"thump", {{"note", 1}, {"to", 1}, {"decay", 1}}},
    };
    return kinds;
}

const std::set<std::string>& voiceNames() {
    static const std::set<std::string> names = {"marimba", "wood",    "chime", "bell",
                                                "glock",   "kalimba", "stone", "glass"};
    return names;
}

const std::set<std::string>& pitchKeys() {
    static const std::set<std::string> keys = {"note", "path", "to"};
    return keys;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

bool parseNumber(const std::string& text, double& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

double headerNumber(const std::vector<std::string>& w, const std::string& where) {
    double value = 0;
    if (w.size() != 2 || !parseNumber(w[1], value))
        throw SoundError(where + ": \"" + w[0] + "\" takes one number");
    return value;
}

}  // namespace

void stripComment(std::string& line) {
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
            line.erase(i);
            return;
        }
    }
}

bool isNoteName(const std::string& text) {
    if (text.size() < 2 || text.size() > 4 || text[0] < 'A' || text[0] > 'G')
        return false;
    size_t i = 1;
    if (text[i] == '#' || text[i] == 'b')
        ++i;
    if (i < text.size() && text[i] == '-')
        ++i;
    if (i + 1 != text.size())
        return false;
    return text[i] >= '0' && text[i] <= '9';
}

double noteFrequency(const std::string& name, const std::string& where) {
    if (!isNoteName(name))
        throw SoundError(where + ": \"" + name + "\" is not a note (expected a name such as C5, F#4 or Bb3)");
    static const int semitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int n = semitone[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#') {
        ++n;
        ++i;
    } else if (name[i] == 'b') {
        --n;
        ++i;
    }
    int octave = name[i] == '-' ? -(name[i + 1] - '0') : name[i] - '0';
    int midi = (octave + 1) * 12 + n;
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

double Layer::number(const std::string& key, double fallback, size_t index) const {
    auto it = params.find(key);
    if (it == params.end() || index >= it->second.size())
        return fallback;
    double value = 0;
    if (!parseNumber(it->second[index], value))
        throw SoundError(where + ": \"" + key + "\" expects a number, not \"" + it->second[index] + "\"");
    return value;
}

std::string Layer::word(const std::string& key, const std::string& fallback) const {
    auto it = params.find(key);
    return it == params.end() ? fallback : it->second[0];
}

double Layer::pitch(const std::string& key, double fallback, size_t index) const {
    auto it = params.find(key);
    if (it == params.end() || index >= it->second.size())
        return fallback;
    const std::string& text = it->second[index];
    double value = 0;
    if (parseNumber(text, value)) {
        if (value <= 0 || value >= kRate / 2.0)
            throw SoundError(where + ": \"" + key + "\" " + text + " Hz is outside 0 to " +
                             std::to_string(kRate / 2) + " Hz");
        return value;
    }
    return noteFrequency(text, where);
}

size_t Layer::count(const std::string& key) const {
    auto it = params.find(key);
    return it == params.end() ? 0 : it->second.size();
}

Recipe parseRecipe(const std::string& text, const std::string& path) {
    Recipe recipe;
    recipe.path = path;
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    bool haveLength = false;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string where = path + ":" + std::to_string(lineNumber);
        stripComment(line);
        std::vector<std::string> w = words(line);
        if (w.empty())
            continue;
        const std::string& head = w[0];
        if (head == "kind") {
            if (w.size() != 2)
                throw SoundError(where + ": \"kind\" takes one word (effect or ambient)");
            recipe.kind = kindFromName(w[1], where);
            if (recipe.kind == SoundKind::Music)
                throw SoundError(where + ": music is written as a score, not a recipe");
        } else if (head == "length") {
            recipe.length = headerNumber(w, where);
            if (recipe.length <= 0 || recipe.length > 60)
                throw SoundError(where + ": the length must be above 0 and at most 60 seconds");
            haveLength = true;
        } else if (head == "loop") {
            if (w.size() != 1)
                throw SoundError(where + ": \"loop\" takes no value");
            recipe.loop = true;
        } else if (head == "channels") {
            double c = headerNumber(w, where);
            if (c != 1 && c != 2)
                throw SoundError(where + ": \"channels\" must be 1 or 2");
            recipe.channels = static_cast<int>(c);
        } else if (head == "seed") {
            double s = headerNumber(w, where);
            if (s < 0 || s > 4294967295.0 || s != std::floor(s))
                throw SoundError(where + ": \"seed\" must be a whole number from 0 to 4294967295");
            recipe.seed = static_cast<unsigned>(s);
        } else if (head == "level") {
            recipe.levelDb = headerNumber(w, where);
            if (std::fabs(recipe.levelDb) > 30)
                throw SoundError(where + ": \"level\" must be within -30 and +30 dB");
        } else {
            auto kind = layerKeys().find(head);
            if (kind == layerKeys().end())
                throw SoundError(where + ": unknown line \"" + head +
                                 "\" (expected kind, length, loop, channels, seed, level or a layer: "
                                 "tone, noise, sweep, drop, crackle, pulse, thump)");
            Layer layer;
            layer.kind = head;
            layer.where = where;
            size_t i = 1;
            while (i < w.size()) {
                const std::string& key = w[i];
                int arity = 0;
                if (auto k = kind->second.find(key); k != kind->second.end())
                    arity = k->second;
                else if (auto c = commonKeys().find(key); c != commonKeys().end())
                    arity = c->second;
                else
                    throw SoundError(where + ": a " + head + " layer has no key \"" + key + "\"");
                if (layer.params.count(key))
                    throw SoundError(where + ": the key \"" + key + "\" is given twice");
                std::vector<std::string> values;
                ++i;
                if (arity < 0) {
                    while (i < w.size() && !kind->second.count(w[i]) && !commonKeys().count(w[i]))
                        values.push_back(w[i++]);
                    if (values.empty())
                        throw SoundError(where + ": \"" + key + "\" needs at least one value");
                } else {
                    for (int a = 0; a < arity; ++a) {
                        if (i >= w.size())
                            throw SoundError(where + ": \"" + key + "\" needs " + std::to_string(arity) +
                                             " value" + (arity > 1 ? "s" : ""));
                        values.push_back(w[i++]);
                    }
                }
                layer.params[key] = values;
                // Check every value now, so a typo is reported where it stands.
                for (size_t v = 0; v < values.size(); ++v) {
                    if (pitchKeys().count(key) && !(head == "noise" && key == "to"))
                        layer.pitch(key, 0, v);
                    else if (key == "voice" && !voiceNames().count(values[v]))
                        throw SoundError(
                            where + ": unknown voice \"" + values[v] +
                            "\" (expected marimba, wood, chime, bell, glock, kalimba, stone or glass)");
                    else if (key == "shape" && values[v] != "swell" && values[v] != "pluck" &&
                             values[v] != "flat")
                        throw SoundError(where + ": unknown shape \"" + values[v] +
                                         "\" (expected swell, pluck or flat)");
                    else if (key != "voice" && key != "shape")
                        layer.number(key, 0, v);
                }
            }
            recipe.layers.push_back(std::move(layer));
        }
    }
    if (!haveLength)
        throw SoundError(path + ": no \"length\" line (expected the length in seconds)");
    if (recipe.layers.empty())
        throw SoundError(path + ": no layer (expected at least one tone, noise, sweep, ... line)");
    return recipe;
}

Recipe readRecipe(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw SoundError("cannot open the recipe " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return parseRecipe(text.str(), path);
}

}  // namespace soundgen
