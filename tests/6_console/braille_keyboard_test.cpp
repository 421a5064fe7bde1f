#include "6_console/braille_keyboard.h"

#include <gtest/gtest.h>

#include <string>

#include "6_console/console.h"
#include "3_audio/console_sound.h"
#include "0_base/speech_log.h"
#include "1_platform/event_loop.h"
#include "tests/support/script_harness.h"
#include "tests/support/memory_console.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

// Types chords: each string is one chord, its keys pressed in order and
// released in order. Returns the bytes the keyboard gave.
std::string Chords(BrailleKeyboard* kb, std::initializer_list<std::string> chords) {
  std::string out;
  for (const std::string& chord : chords) {
    for (char k : chord) EXPECT_TRUE(kb->KeyDown(static_cast<uint8_t>(k), false));
    for (char k : chord) {
      int b;
      EXPECT_TRUE(kb->KeyUp(static_cast<uint8_t>(k), false, &b));
      if (b != BrailleKeyboard::kNothing) out.push_back(static_cast<char>(b));
    }
  }
  return out;
}

// Letters as chords: a = f, b = fd, c = fj, ...
const std::string kA = "f", kB = "fd", kJ = "djk", kNumber = "sjkl", kCapital = "jl", kTilde = "k";

TEST(BrailleKeyboard, ModeOneGivesTheTableCharacters) {
  BrailleKeyboard kb;
  kb.SetMode(1);
  EXPECT_EQ(Chords(&kb, {kA, kB, "fdsjkl", "s", "jl"}), std::string("ab\xe9'{"));
}

TEST(BrailleKeyboard, ChordIsTranslatedWhenTheLastKeyIsReleased) {
  BrailleKeyboard kb;
  kb.SetMode(1);
  int b;
  kb.KeyDown('f', false);
  kb.KeyDown('d', false);
  kb.KeyUp('f', false, &b);
  EXPECT_EQ(b, BrailleKeyboard::kNothing);
  kb.KeyDown('s', false);  // joins the chord still held
  kb.KeyUp('d', false, &b);
  kb.KeyUp('s', false, &b);
  EXPECT_EQ(b, 'l');
}

TEST(BrailleKeyboard, NumberSignTurnsLettersIntoDigitsUntilTilde) {
  BrailleKeyboard kb;
  kb.SetMode(2);
  EXPECT_EQ(Chords(&kb, {kNumber, kA, kB, kJ, kTilde, kA}), "120~a");
}

TEST(BrailleKeyboard, CapitalSignAndLockedCapitals) {
  BrailleKeyboard kb;
  kb.SetMode(2);
  EXPECT_EQ(Chords(&kb, {kCapital, kA, kB}), "Ab");
  EXPECT_EQ(Chords(&kb, {kCapital, kCapital, kA, kB}), "AB");
  int b;
  EXPECT_FALSE(kb.KeyUp('1', false, &b));  // a key that is not a letter: signs cleared
  EXPECT_EQ(Chords(&kb, {kA}), "a");
}

TEST(BrailleKeyboard, ModeTwoSubstitutions) {
  BrailleKeyboard kb;
  kb.SetMode(2);
  EXPECT_EQ(Chords(&kb, {"s", "fkl"}), ".@");  // ' becomes ., u-circumflex becomes @
}

TEST(BrailleKeyboard, SpaceAloneIsASpaceAndWithDotsAControlByte) {
  BrailleKeyboard kb;
  kb.SetMode(2);
  EXPECT_EQ(Chords(&kb, {" ", " fd", " f"}), std::string(" \x02\x01"));
  EXPECT_EQ(Chords(&kb, {kNumber, " ", kA}), " a");  // space cleared number mode
}

TEST(BrailleKeyboard, CtrlKeysAndOtherLettersAreNotChords) {
  BrailleKeyboard kb;
  kb.SetMode(1);
  EXPECT_FALSE(kb.KeyDown('f', true));
  EXPECT_FALSE(kb.KeyDown('a', false));
  int b;
  EXPECT_TRUE(kb.KeyUp('a', false, &b));  // no chord typed: nothing
  EXPECT_EQ(b, BrailleKeyboard::kNothing);
}

TEST(BrailleKeyboard, ModeAboveTwoMeansOneAndOffTakesNothing) {
  BrailleKeyboard kb;
  kb.SetMode(3);
  EXPECT_EQ(kb.mode(), 1);
  kb.SetMode(0);
  EXPECT_FALSE(kb.KeyDown('f', false));
}

// Press and release of a key as a terminal with key releases reports them.
std::string Press(char c) { return "\x1b[" + std::to_string(static_cast<int>(c)) + "u"; }
std::string Release(char c) { return "\x1b[" + std::to_string(static_cast<int>(c)) + ";1:3u"; }

TEST(BrailleKeyboard, SquareWaveIsWholePeriodsEndingAtSilence) {
  std::string w = MakeSquareWave(800);  // period 13 samples, 848 periods
  ASSERT_EQ(w.size(), 44u + 848 * 13);
  EXPECT_EQ(static_cast<uint8_t>(w[44]), 96);
  EXPECT_EQ(static_cast<uint8_t>(w[44 + 6]), 160);
  EXPECT_EQ(static_cast<uint8_t>(w.back()), 128);
}

TEST(BrailleKeyboard, ConsoleQueuesChordsAndAnnouncesModes) {
  std::string out;
  test::UseMemoryConsole(Press('f') + Press('d') + Release('d') + Release('f') + "1" + Press('q') + Release('q') +
                          "\x1b[24;7~" + "z",
                      &out);
  CaptureSpeechLog(test::Context().speech_log, true);
  SetBrailleKeyboardMode(test::Context().console, 2);
  EXPECT_EQ(ReadKey(test::Context().platform), 'b');
  EXPECT_EQ(ReadKey(test::Context().platform), '1');  // not a letter: typed as it is
  // 'q' gave nothing; Ctrl+Alt+F12 turned the chord keyboard off.
  EXPECT_EQ(ReadKey(test::Context().platform), 'z');
  EXPECT_EQ(BrailleKeyboardMode(test::Context().console), 0);
  EXPECT_EQ(test::Joined(CapturedSpeech(test::Context().speech_log)),
            "sound 800\nnosound\nsound 400\nnosound\nsound 100\nnosound\n");
}

}  // namespace
}  // namespace kal
