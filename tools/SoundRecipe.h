// Effect recipes (data/sound/**/*.fx): the text that says how a synthesised sound is made, read into
// layers that SoundSynth renders.
//
// A recipe is a list of lines; "#" at the start of a line or after a space starts a comment. Header lines:
// "kind effect|ambient", "length S" (seconds kept), "loop" (what sounds past the end is folded onto the
// start), "channels 1|2", "seed N" (the random draws of noise and variation), "level DB" (offset from the
// kind's loudness target). Every other line is a layer: a layer kind followed by key-value pairs, e.g.
//     tone voice marimba note C5 decay 0.4 at 0.1 gain -3
// Keys every layer knows: at, gain, pan, repeat, every, scatter, over, jitter, detune, vary, step, fade.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/SoundLevel.h"

namespace soundgen {

struct Layer {
    std::string kind;
    std::map<std::string, std::vector<std::string>> params;
    std::string where;  // "file:line"

    bool has(const std::string& key) const { return params.count(key) != 0; }
    // The value of a key (its argument `index`), or `fallback` when the key is absent. A value that is not
    // a number (or, for "note"-like keys, a note name) throws naming the line.
    double number(const std::string& key, double fallback, size_t index = 0) const;
    std::string word(const std::string& key, const std::string& fallback) const;
    // A pitch: a frequency in Hz, or a note name such as "C5", "F#4" or "Bb3" (A4 = 440 Hz).
    double pitch(const std::string& key, double fallback, size_t index = 0) const;
    size_t count(const std::string& key) const;
};

struct Recipe {
    std::string path;
    SoundKind kind = SoundKind::Effect;
    double length = 0;
    bool loop = false;
    int channels = 1;
    unsigned seed = 1;
    double levelDb = 0;
    std::vector<Layer> layers;
};

// The frequency of a note name ("C5", "F#4", "Bb3"); throws with `where` when it is not one.
double noteFrequency(const std::string& name, const std::string& where);
bool isNoteName(const std::string& text);

// Cuts a comment off a source line: "#" at the start or after white space (so "F#4" stays a note).
void stripComment(std::string& line);

Recipe parseRecipe(const std::string& text, const std::string& path);
Recipe readRecipe(const std::string& path);

}  // namespace soundgen
