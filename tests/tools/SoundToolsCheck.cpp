// Checks of the sound and text builders: notes and chords, recipe, score, list and text readers on
// good and bad input, loudness against known signals, loop folding, the limiter, and the writers
// read back through the game's decoders.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sound/Decoder.h"
#include "tests/support/TempFolder.h"
#include "tools/SoundFile.h"
#include "tools/SoundList.h"
#include "tools/SoundScore.h"
#include "tools/SoundSynth.h"
#include "tools/TextTable.h"

namespace {

using namespace soundgen;
using testsupport::TempFolder;

// The message of the error that `action` throws, or "" when it throws none.
template <class F>
std::string errorOf(F action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

SoundBuffer sine(double hz, double seconds, double amplitude, int channels = 1) {
    SoundBuffer sound(channels, static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < sound.frames(); ++i)
        for (int c = 0; c < channels; ++c)
            sound.at(i, c) = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * i / kRate));
    return sound;
}

TEST(SoundNotes, NamesGiveEqualTemperedPitches) {
    EXPECT_NEAR(noteFrequency("A4", "x"), 440.0, 1e-9);
    EXPECT_NEAR(noteFrequency("C4", "x"), 261.6256, 1e-3);
    EXPECT_NEAR(noteFrequency("F#4", "x"), noteFrequency("Gb4", "x"), 1e-9);
    EXPECT_NEAR(noteFrequency("A5", "x"), 880.0, 1e-9);
    EXPECT_NE(errorOf([] { noteFrequency("H4", "a.fx:3"); }).find("a.fx:3"), std::string::npos);
    EXPECT_NE(errorOf([] { noteFrequency("C", "a.fx:3"); }), "");
}

TEST(SoundChords, DegreesNameTheChordTones) {
    Chord am7 = parseChord("Am7", "x");
    EXPECT_EQ(chordDegreeKey(am7, 1, 3, false, "x"), 57);  // A3
    EXPECT_EQ(chordDegreeKey(am7, 3, 3, false, "x"), 60);  // C4
    EXPECT_EQ(chordDegreeKey(am7, 5, 3, false, "x"), 64);  // E4
    EXPECT_EQ(chordDegreeKey(am7, 7, 3, false, "x"), 67);  // G4
    EXPECT_EQ(chordDegreeKey(am7, 10, 3, false, "x"), 72);
    // A triad's seventh degree is its octave; a slash bass replaces the root in bass patterns only.
    Chord cOverE = parseChord("C/E", "x");
    EXPECT_EQ(chordDegreeKey(cOverE, 7, 4, false, "x"), 72);
    EXPECT_EQ(chordDegreeKey(cOverE, 1, 2, true, "x"), 40);  // E2, below C3
    EXPECT_EQ(chordDegreeKey(cOverE, 1, 2, false, "x"), 36);
    EXPECT_NE(errorOf([] { parseChord("Cmaj13", "s.score:4"); }).find("s.score:4"), std::string::npos);
    EXPECT_NE(errorOf([] { chordDegreeKey(parseChord("C", "x"), 16, 4, false, "s:1"); }), "");
}

TEST(SoundRecipes, FaultsNameTheLine) {
    EXPECT_NE(errorOf([] {
                  parseRecipe("length 1\ntone voice marimba note C4 colour 3\n", "r.fx");
              }).find("r.fx:2"),
              std::string::npos);
    EXPECT_NE(errorOf([] { parseRecipe("tone note C4\n", "r.fx"); }).find("no \"length\""),
              std::string::npos);
    EXPECT_NE(errorOf([] { parseRecipe("length 1\ntone note Q4\n", "r.fx"); }).find("r.fx:2"),
              std::string::npos);
    EXPECT_NE(errorOf([] { parseRecipe("length 1\ntone decay\n", "r.fx"); }).find("needs 1 value"),
              std::string::npos);
    EXPECT_NE(errorOf([] { parseRecipe("length 1\nwhistle\n", "r.fx"); }).find("unknown line"),
              std::string::npos);
    EXPECT_NE(
        errorOf([] { parseRecipe("length 1\ntone voice banjo\n", "r.fx"); }).find("r.fx:2: unknown voice"),
        std::string::npos);
    EXPECT_NE(errorOf([] { parseRecipe("length 1\nsweep path C5 shape wobble\n", "r.fx"); }).find("wobble"),
              std::string::npos);
    EXPECT_NE(errorOf([] { parseRecipe("length 1\ntone note C4 note D4\n", "r.fx"); }).find("twice"),
              std::string::npos);
    // A "#" inside a note is a sharp, not a comment.
    Recipe recipe = parseRecipe("length 0.5 # half a second\ntone note F#4 # a sharp\n", "r.fx");
    EXPECT_NEAR(recipe.layers[0].pitch("note", 0), noteFrequency("F#4", "x"), 1e-9);
}

TEST(SoundRecipes, RenderingIsDeterministicPerSeed) {
    const std::string text = "length 0.3\nseed 5\nnoise band 500 4000 decay 0.05\ntone voice wood note C5\n";
    SoundBuffer a = renderRecipe(parseRecipe(text, "a.fx"));
    SoundBuffer b = renderRecipe(parseRecipe(text, "a.fx"));
    EXPECT_EQ(a.samples, b.samples);
    SoundBuffer c =
        renderRecipe(parseRecipe("length 0.3\nseed 6\nnoise band 500 4000 decay 0.05\n"
                                 "tone voice wood note C5\n",
                                 "a.fx"));
    EXPECT_NE(a.samples, c.samples);
    EXPECT_EQ(a.frames(), static_cast<size_t>(0.3 * kRate + 0.5));
}

TEST(SoundRecipes, BuiltSoundsMeetTheirTarget) {
    SoundBuffer sound =
        buildRecipe(parseRecipe("length 1\nlevel -3\ntone voice marimba note C5 decay 0.3\n", "m.fx"));
    EXPECT_NEAR(loudness(sound, blockSeconds(SoundKind::Effect)), kEffectLufs - 3.0, 0.3);
    EXPECT_LE(peakDb(sound), kPeakCeilingDb + 0.01);
    EXPECT_LT(dcOffset(sound), 0.001);
    EXPECT_NE(
        errorOf([] { buildRecipe(parseRecipe("length 1\ntone note C4 gain -400\n", "q.fx")); }).find("q.fx"),
        std::string::npos)
        << "a silent sound cannot be brought to a loudness";
}

TEST(SoundLevels, LoudnessOfKnownSignals) {
    // A full-scale 1 kHz sine in one channel reads -3.01 LUFS; in both channels 3 dB more.
    EXPECT_NEAR(loudness(sine(1000, 3, 1.0), 0.4), -3.01, 0.15);
    EXPECT_NEAR(loudness(sine(1000, 3, 1.0, 2), 0.4), 0.0, 0.15);
    EXPECT_NEAR(loudness(sine(1000, 3, 0.1), 0.4), -23.01, 0.15);
    // The weighting lowers the bass: 50 Hz reads quieter than 1 kHz at the same level.
    EXPECT_LT(loudness(sine(50, 3, 0.5), 0.4), loudness(sine(1000, 3, 0.5), 0.4) - 1.0);
    // Gating ignores silence: a tone with a long silent tail reads (nearly) as loud as the tone, not
    // 6 dB less as the plain average over four times its length would.
    SoundBuffer gapped = sine(1000, 2, 0.5);
    gapped.samples.resize(gapped.samples.size() * 4, 0.0f);
    EXPECT_NEAR(loudness(gapped, 0.4), loudness(sine(1000, 2, 0.5), 0.4), 0.5);
    EXPECT_LE(loudness(SoundBuffer(1, 22050), 0.4), -70.0);
    EXPECT_NEAR(peakDb(sine(440, 1, 0.5)), -6.02, 0.05);
}

TEST(SoundLevels, FoldingMakesALoopPeriodic) {
    // A tone of 300 ms started 100 ms before the end of a 1 s loop goes on at the loop's start.
    SoundBuffer sound(1, static_cast<size_t>(1.2 * kRate));
    SoundBuffer tone = sine(441, 0.3, 0.5);
    size_t start = static_cast<size_t>(0.9 * kRate);
    for (size_t i = 0; i < tone.frames(); ++i)
        sound.samples[start + i] = tone.samples[i];
    foldLoop(sound, static_cast<size_t>(kRate));
    ASSERT_EQ(sound.frames(), static_cast<size_t>(kRate));
    size_t inTone = static_cast<size_t>(0.1 * kRate);
    EXPECT_FLOAT_EQ(sound.samples[0], tone.samples[inTone]);
    EXPECT_FLOAT_EQ(sound.samples[100], tone.samples[inTone + 100]);
    EXPECT_FLOAT_EQ(sound.samples[static_cast<size_t>(0.25 * kRate)], 0.0f);
}

TEST(SoundLevels, TheLimiterHoldsTheCeilingAndWrapsAroundLoops) {
    SoundBuffer loud = sine(300, 1, 0.5);
    loud.samples.back() = 2.0f;
    loud.samples[5000] = -1.5f;
    SoundBuffer once = loud, looped = loud;
    limitPeaks(once, -1.5, false);
    limitPeaks(looped, -1.5, true);
    for (const SoundBuffer* s : {&once, &looped})
        EXPECT_LE(peakDb(*s), -1.5 + 1e-4);
    // The gain that the last frame's peak needed recovers over the loop's start only when it loops.
    EXPECT_FLOAT_EQ(once.samples[20], loud.samples[20]);
    EXPECT_LT(std::fabs(looped.samples[20]), std::fabs(loud.samples[20]) * 0.9f);
    // Far from any peak the gain has come back.
    EXPECT_NEAR(once.samples[20000], loud.samples[20000], 1e-3);
}

TEST(SoundFiles, WriterOutputDecodesThroughTheGameDecoders) {
    SoundBuffer stereo = sine(440, 0.56, 0.5, 2);
    stereo.samples.resize(12345 * 2);
    std::vector<uint8_t> ogg = encodeVorbis(stereo, 0.4f, 7);
    std::string error;
    auto vorbis = sound::openVorbisDecoder(ogg.data(), ogg.size(), "t.ogg", error);
    ASSERT_TRUE(vorbis) << error;
    EXPECT_EQ(vorbis->rate(), kRate);
    EXPECT_EQ(vorbis->channels(), 2);
    std::vector<int16_t> block(8192);
    long frames = 0, got;
    while ((got = vorbis->read(block.data(), 4096, false)) > 0)
        frames += got;
    EXPECT_EQ(frames, 12345) << "a loop must keep its exact length";

    SoundBuffer mono = sine(440, 0.1, 0.5);
    std::vector<uint8_t> wav = encodeWav(mono);
    auto pcm = sound::openWavDecoder(wav.data(), wav.size(), "t.wav", error);
    ASSERT_TRUE(pcm) << error;
    std::vector<int16_t> back(mono.frames());
    ASSERT_EQ(pcm->read(back.data(), static_cast<long>(back.size()), false),
              static_cast<long>(mono.frames()));
    for (size_t i = 0; i < back.size(); ++i)
        ASSERT_NEAR(back[i], mono.samples[i] * 32767.0f, 1.0) << "frame " << i;
}

TEST(SoundScores, NotesLandOnTheBeatsTheScoreGives) {
    Score score = parseScore(
        "tempo 120\nbeats 4\nloop\n"
        "instrument keys program 0\n"
        "pattern roots keys octave 3 step 2 : 1 5\n"
        "section A 2\nchords C | Am\nplay roots\nmelody keys : E5:1 r:1 G5:2 | C6:4\n"
        "form A A\n",
        "s.score");
    EXPECT_TRUE(score.loop);
    EXPECT_EQ(score.bars, 4);
    EXPECT_DOUBLE_EQ(score.length, 8.0);  // 16 beats at 120
    ASSERT_EQ(score.notes.size(), 2u * (4 + 3));
    EXPECT_DOUBLE_EQ(score.notes[0].start, 0.0);
    int a3 = 0;
    for (const ScoreNote& note : score.notes)
        if (note.key == 57 && std::fabs(note.start - 2.0) < 1e-9)
            ++a3;
    EXPECT_EQ(a3, 1) << "the root of Am in bar 2, at 2 s";
}

TEST(SoundScores, FaultsNameTheLine) {
    const std::string head = "instrument keys program 0\nsection A 1\nchords C\n";
    EXPECT_NE(errorOf([&] {
                  parseScore(head + "melody keys : C5:3 | D5:1\nform A\n", "s.score");
              }).find("s.score:4"),
              std::string::npos)
        << "a bar check off the bar line";
    EXPECT_NE(
        errorOf([&] { parseScore(head + "melody keys : C5:5\nform A\n", "s.score"); }).find("runs past"),
        std::string::npos);
    EXPECT_NE(errorOf([&] { parseScore(head + "form A B\n", "s.score"); }).find("section \"B\""),
              std::string::npos);
    EXPECT_NE(errorOf([&] { parseScore(head + "melody flute : C5:1\nform A\n", "s.score"); }).find("flute"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { parseScore(head + "play nothing\nform A\n", "s.score"); }).find("s.score:4"),
              std::string::npos);
    EXPECT_NE(errorOf([] {
                  parseScore("instrument keys program 0\nsection A 2\nchords C\nform A\n", "s.score");
              }).find("bars of chords"),
              std::string::npos);
    EXPECT_NE(errorOf([] { parseScore("tempo 500\n", "s.score"); }).find("s.score:1"), std::string::npos);
}

std::string listOf(int count, const std::string& extra = "") {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::to_string(i) + " fxSound" + std::to_string(i) + " wav a sound\n";
    return text + extra;
}

TEST(SoundListReader, ChecksIndexesNamesAndFormats) {
    TempFolder folder;
    const std::string good = folder.write("good.txt", listOf(60, "music aMusicX ogg a tune\n"));
    std::vector<SoundEntry> entries = readSoundList(good);
    ASSERT_EQ(entries.size(), 61u);
    EXPECT_EQ(entries[59].index, 59);
    EXPECT_EQ(entries[60].group, "music");

    const std::string few = folder.write("few.txt", listOf(59));
    EXPECT_NE(errorOf([&] { readSoundList(few); }).find("at least 60"), std::string::npos);
    const std::string gap = folder.write("gap.txt", "0 fxA0 wav a\n2 fxA2 wav b\n");
    EXPECT_NE(errorOf([&] { readSoundList(gap); }).find(":2: sound index 2 is out of order"),
              std::string::npos);
    const std::string digit = folder.write("digit.txt", "0 9lives wav a\n");
    EXPECT_NE(errorOf([&] { readSoundList(digit); }).find("must start with a letter"),
              std::string::npos);
    const std::string twice = folder.write("twice.txt", "0 fxSame wav a\n1 fxSame wav b\n");
    EXPECT_NE(errorOf([&] { readSoundList(twice); }).find("used twice"), std::string::npos);
    const std::string wavMusic = folder.write("wavMusic.txt", listOf(60, "music aMusicX wav a tune\n"));
    EXPECT_NE(errorOf([&] { readSoundList(wavMusic); }).find("Ogg Vorbis"), std::string::npos);
    const std::string huge = folder.write("huge.txt", "123456789012 fxBig wav a\n");
    EXPECT_NE(errorOf([&] { readSoundList(huge); }).find("not a sound index"), std::string::npos);
}

TEST(TextReader, KeepsTextsAndRefusesWhatTheGameCannotShow) {
    std::vector<texts::TextEntry> entries =
        texts::parseTexts("# note\n[A_1]\n\nCafé au lait\nsecond line\n\n[B]\n“Quoted” – yes\n", "t.txt");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text, "Café au lait\nsecond line");
    EXPECT_EQ(texts::entryBytes(entries[0]), std::string("Café au lait\nsecond line") + '\0');
    EXPECT_EQ(entries[1].where, "t.txt:7");

    EXPECT_NE(errorOf([] { texts::parseTexts("[A]\nΩ\n", "t.txt"); }).find("t.txt:2: U+3A9"),
              std::string::npos);
    EXPECT_NE(errorOf([] { texts::parseTexts("[A]\nbad \xC3\n", "t.txt"); }).find("malformed UTF-8"),
              std::string::npos);
    EXPECT_NE(errorOf([] { texts::parseTexts("[A]\nx\n[A]\ny\n", "t.txt"); }).find("t.txt:3"),
              std::string::npos);
    EXPECT_NE(errorOf([] { texts::parseTexts("[A]\n\n[B]\ny\n", "t.txt"); }).find("empty"),
              std::string::npos);
    EXPECT_NE(errorOf([] { texts::parseTexts("[a-b]\nx\n", "t.txt"); }).find("id line"), std::string::npos);
    EXPECT_NE(errorOf([] { texts::parseTexts("loose\n[A]\nx\n", "t.txt"); }).find("before the first"),
              std::string::npos);
    EXPECT_NE(errorOf([] { texts::parseTexts("[A]\nx \n", "t.txt"); }).find("space at the end"),
              std::string::npos);
}

}  // namespace
