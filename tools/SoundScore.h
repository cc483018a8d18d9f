// Text scores (data/sound/**/*.score): tempo, instruments (General MIDI programs), accompaniment
// patterns over chord symbols, written melodies, sections and their order, read into timed notes.
//
//   tempo 76                        quarter-note beats a minute
//   beats 4                         beats a bar
//   loop                            the piece repeats: the tail is folded onto its start
//   tail 4                          seconds rendered after the last bar (release, echo)
//   kind music|effect               music: stereo Ogg; effect: a jingle, mono WAV
//   seed 7                          the draws of "humanize"
//   humanize 8 6                    timing spread in ms, velocity spread
//   reverb 0.6 0.4 0.8 0.5          room size, damping, width, level
//   chorus on|off
//   level -2                        offset from the kind's loudness target, dB
//   instrument flute program 73 volume 90 pan -0.3 reverb 50 [chorus 20] [bank 0] [drums]
//   pattern arp marimba octave 4 step 0.5 velocity 70 [bass] : 1 5 8 10 12 10 8 5
//   section A 8                     a section of 8 bars, then its lines:
//     chords Am7 | Fmaj7 | C G | Dm7 Esus4 ...     one or more chords a bar, shared evenly
//     play arp bass pad              patterns sounding through the section
//     melody flute : E5:1 G5:0.5 A5:0.5 C6:2 | r:1 ...
//   form A A B A
//
// Pattern steps: chord degrees 1 3 5 7 (root, third, fifth, seventh), 2 4 6 9 (added tones), 8 10 12 14
// (the same an octave up), 15 (two octaves); "+" joins tones into one step; "-" holds the step before;
// "." rests; "!" after a step accents it, "?" softens it. A drum instrument's steps are drum keys.
// Melody notes: NAME:BEATS ("E5:1", "C5+E5:2", "r:1" a rest, a MIDI key number for drum notes), "!" or
// "?" after the length; "|" checks a bar line.
#pragma once

#include <string>
#include <vector>

#include "tools/SoundLevel.h"

namespace soundgen {

struct ScoreInstrument {
    std::string name;
    int channel = 0;
    int program = 0;
    int bank = 0;
    int volume = 100;  // 0..127
    double pan = 0;    // -1 left .. 1 right
    int reverb = 40;   // send, 0..127
    int chorus = 0;
    bool drums = false;
};

struct ScoreNote {
    double start = 0;     // seconds
    double duration = 0;  // seconds
    int channel = 0;
    int key = 60;
    int velocity = 80;
};

struct Score {
    std::string path;
    SoundKind kind = SoundKind::Music;
    double tempo = 90;
    int beats = 4;
    bool loop = false;
    double tail = 3;
    unsigned seed = 1;
    double levelDb = 0;
    double reverbRoom = 0.6, reverbDamp = 0.4, reverbWidth = 0.8, reverbLevel = 0.5;
    bool chorus = false;
    std::vector<ScoreInstrument> instruments;
    std::vector<ScoreNote> notes;  // in start order
    double length = 0;             // seconds of the form, without the tail
    int bars = 0;
};

Score parseScore(const std::string& text, const std::string& path);
Score readScore(const std::string& path);

// The semitones of a chord symbol's tones above its root (root, third, fifth and, when it has one, the
// seventh or sixth), its root's pitch class (C = 0) and the added tones; throws naming `where`.
struct Chord {
    int root = 0;
    int bass = -1;           // pitch class of a slash bass, -1 when none
    std::vector<int> tones;  // root 0, third, fifth, [seventh]
    int added = 14;          // the tone that degree 9 (and 2) names
};
Chord parseChord(const std::string& symbol, const std::string& where);
// The MIDI key of degree `degree` of `chord` with its root in `octave` (C4 = 60).
int chordDegreeKey(const Chord& chord, int degree, int octave, bool useBass, const std::string& where);

}  // namespace soundgen
