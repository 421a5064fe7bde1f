#include "6_console/key_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kal {
namespace {

using std::string;

// Decodes raw bytes as a terminal sends them, with the pause after them.
std::vector<KeyEvent> Terminal(const string& raw, uint8_t erase = 0x7F) {
  KeyDecoder d(KeyDecoder::Source::kTerminal, erase);
  std::vector<KeyEvent> out;
  d.Feed(raw, 0, &out);
  d.Flush(1000, &out);
  return out;
}

string Z(int code) { return string(1, '\0') + static_cast<char>(code); }

struct Case {
  const char* name;
  string raw;
  string keys;
  uint8_t mods;  // of the last key
};

TEST(KeyDecoder, XtermSequencesGiveTheKeyByteStream) {
  const std::vector<Case> cases = {
      {"Up", "\x1b[A", Z(72), 0},
      {"Down SS3", "\x1bOB", Z(80), 0},
      {"Right", "\x1b[C", Z(77), 0},
      {"Left", "\x1b[D", Z(75), 0},
      {"Home CSI H", "\x1b[H", Z(71), 0},
      {"Home CSI 1~", "\x1b[1~", Z(71), 0},
      {"Home rxvt", "\x1b[7~", Z(71), 0},
      {"End CSI F", "\x1b[F", Z(79), 0},
      {"End CSI 4~", "\x1b[4~", Z(79), 0},
      {"Insert", "\x1b[2~", Z(82), 0},
      {"Delete", "\x1b[3~", Z(83), 0},
      {"Page Up", "\x1b[5~", Z(73), 0},
      {"Page Down", "\x1b[6~", Z(81), 0},
      {"F1 SS3", "\x1bOP", Z(59), 0},
      {"F4 SS3", "\x1bOS", Z(62), 0},
      {"F1 linux", "\x1b[[A", Z(59), 0},
      {"F5 linux", "\x1b[[E", Z(63), 0},
      {"F1 vt220", "\x1b[11~", Z(59), 0},
      {"F5", "\x1b[15~", Z(63), 0},
      {"F6", "\x1b[17~", Z(64), 0},
      {"F10", "\x1b[21~", Z(68), 0},
      {"F11", "\x1b[23~", Z(69), 0},
      {"F12", "\x1b[24~", Z(70), 0},
      {"Ctrl+F1", "\x1b[1;5P", Z(94), kModCtrl},
      {"Ctrl+F4", "\x1b[1;5S", Z(97), kModCtrl},
      {"Ctrl+F8", "\x1b[19;5~", Z(101), kModCtrl},
      {"Ctrl+F9", "\x1b[20;5~", Z(102), kModCtrl},
      {"Ctrl+Alt+F9", "\x1b[20;7~", Z(102), kModCtrl | kModAlt},
      {"Ctrl+F11", "\x1b[23;5~", Z(104), kModCtrl},
      {"Ctrl+F12", "\x1b[24;5~", Z(105), kModCtrl},
      {"Shift+F1 keeps the plain code", "\x1b[1;2P", Z(59), kModShift},
      {"Alt+F1", "\x1b[1;3P", Z(59), kModAlt},
      {"Ctrl+Insert", "\x1b[2;5~", Z(255), kModCtrl},
      {"Shift+Insert", "\x1b[2;2~", Z(254), kModShift},
      {"Ctrl+Delete", "\x1b[3;5~", Z(83), kModCtrl},
      {"Ctrl+Home", "\x1b[1;5H", Z(119), kModCtrl},
      {"Ctrl+End", "\x1b[1;5F", Z(117), kModCtrl},
      {"Ctrl+Page Up", "\x1b[5;5~", Z(132), kModCtrl},
      {"Ctrl+Page Down", "\x1b[6;5~", Z(118), kModCtrl},
      {"Ctrl+Up", "\x1b[1;5A", Z(113), kModCtrl},
      {"Ctrl+Down", "\x1b[1;5B", Z(114), kModCtrl},
      {"Ctrl+Left", "\x1b[1;5D", Z(115), kModCtrl},
      {"Ctrl+Right", "\x1b[1;5C", Z(116), kModCtrl},
      {"Shift+Left", "\x1b[1;2D", Z(75), kModShift},
      {"Alt+Right", "\x1b[1;3C", Z(77), kModAlt},
      {"Ctrl+Shift+Right", "\x1b[1;6C", Z(116), kModCtrl | kModShift},
      {"rxvt Shift+Up", "\x1b[a", Z(72), kModShift},
      {"rxvt Ctrl+Left", "\x1bOd", Z(115), kModCtrl},
      {"rxvt Ctrl+Delete", "\x1b[3^", Z(83), kModCtrl},
      {"rxvt Shift+Insert", "\x1b[2$", Z(254), kModShift},
      {"Alt+a", "\x1b" "a", Z(30), kModAlt},
      {"Alt+Shift+Z", "\x1bZ", Z(44), kModAlt | kModShift},
      {"Alt+m", "\x1bm", Z(50), kModAlt},
      {"Alt+1", "\x1b" "1", Z(120), kModAlt},
      {"Alt+9", "\x1b" "9", Z(128), kModAlt},
      {"Alt+0", "\x1b" "0", Z(129), kModAlt},
      {"Ctrl+Alt+f", "\x1b\x06", Z(33), kModAlt | kModCtrl},
      {"Alt with punctuation gives nothing", "\x1b/", "", 0},
      {"Ctrl+Enter (modifyOtherKeys)", "\x1b[27;5;13~", "\n", kModCtrl},
      {"Ctrl+Enter (CSI u)", "\x1b[13;5u", "\n", kModCtrl},
      {"Ctrl+Backspace (CSI u)", "\x1b[127;5u", "\x7f", kModCtrl},
      {"Alt+x (CSI u)", "\x1b[120;3u", Z(45), kModAlt},
      {"Ctrl+a (CSI u)", "\x1b[97;5u", "\x01", kModCtrl},
      {"key release (CSI u) is no key byte", "\x1b[97;1:3u", "", 0},
      {"Shift+Tab", "\x1b[Z", "\t", kModShift},
      {"Enter", "\r", "\r", 0},
      {"LF from a terminal is Ctrl+Enter", "\n", "\n", kModCtrl},
      {"Backspace (DEL)", "\x7f", "\b", 0},
      {"Ctrl+Backspace (^H)", "\x08", "\x7f", kModCtrl},
      {"Tab", "\t", "\t", 0},
      {"Ctrl+A", "\x01", "\x01", kModCtrl},
      {"Ctrl+backslash", "\x1c", "\x1c", kModCtrl},
      {"Ctrl+Space", string(1, '\0'), " ", kModCtrl},
      {"upper-case letter has Shift", "A", "A", kModShift},
      {"UTF-8 to Latin-1", "\xc3\xa7", "\xe7", 0},
      {"outside Latin-1 is ?", "\xe2\x82\xac", "?", 0},
      {"keypad Enter", "\x1bOM", "\r", 0},
      {"focus report is no key", "\x1b[I", "", 0},
      {"unknown sequence is dropped whole", "\x1b[99;5x", "", 0},
      {"mouse left press", "\x1b[<0;10;5M", "\r", 0},
      {"mouse left release is nothing", "\x1b[<0;10;5m", "", 0},
      {"mouse right", "\x1b[<2;1;1M", "\x1b", 0},
      {"mouse middle", "\x1b[<1;1;1M", Z(67), 0},
      {"wheel away", "\x1b[<64;3;3M", Z(72), 0},
      {"wheel towards", "\x1b[<65;3;3M", Z(80), 0},
      {"mouse motion is nothing", "\x1b[<32;3;3M", "", 0},
      {"lone Esc after the pause", "\x1b", "\x1b", 0},
      {"Esc Esc", "\x1b\x1b", "\x1b\x1b", 0},
  };
  for (const Case& c : cases) {
    auto ev = Terminal(c.raw);
    EXPECT_EQ(KeyBytes(ev), c.keys) << c.name;
    if (!ev.empty()) {
      EXPECT_EQ(ev.back().mods, c.mods) << c.name;
    }
  }
}

TEST(KeyDecoder, KeyReleasesAreReportedForTheChordKeyboard) {
  auto ev = Terminal("\x1b[102;1:1u\x1b[70;2:3u\x1b[32;1:3u");
  ASSERT_EQ(ev.size(), 3u);
  EXPECT_EQ(ev[0], (KeyEvent{KeyEvent::kChar, 'f', 0}));
  EXPECT_EQ(ev[1], (KeyEvent{KeyEvent::kKeyUp, 'f', kModShift}));
  EXPECT_EQ(ev[2], (KeyEvent{KeyEvent::kKeyUp, ' ', 0}));
}

TEST(KeyDecoder, MouseKeysAreQueuedByteByByteKinds) {
  auto ev = Terminal("\x1b[<1;1;1M\x1b[<0;1;1M");
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].kind, KeyEvent::kMouseExtended);
  EXPECT_EQ(ev[1].kind, KeyEvent::kMouseChar);
}

TEST(KeyDecoder, TerminalWhoseBackspaceSendsCtrlHHasNoCtrlBackspace) {
  EXPECT_EQ(KeyBytes(Terminal("\x08", 0x08)), "\b");
  EXPECT_EQ(KeyBytes(Terminal("\x7f", 0x08)), "\b");
}

TEST(KeyDecoder, LoneEscIsHeldUntilThePauseHasPassed) {
  KeyDecoder d(KeyDecoder::Source::kTerminal);
  std::vector<KeyEvent> out;
  d.Feed("\x1b", 100, &out);
  EXPECT_TRUE(out.empty());
  d.Flush(100 + KeyDecoder::kEscPauseMs - 1, &out);
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(d.Pending());
  d.Flush(100 + KeyDecoder::kEscPauseMs, &out);
  EXPECT_EQ(KeyBytes(out), "\x1b");
  EXPECT_FALSE(d.Pending());
}

TEST(KeyDecoder, SequenceSplitAcrossReadsIsJoined) {
  KeyDecoder d(KeyDecoder::Source::kTerminal);
  std::vector<KeyEvent> out;
  d.Feed("ab\x1b[1;", 0, &out);
  d.Feed("5", 10, &out);
  d.Feed("Ax\xc3", 20, &out);
  EXPECT_EQ(KeyBytes(out), "ab" + Z(113) + "x");
  d.Feed("\xa9", 30, &out);
  EXPECT_EQ(KeyBytes(out), "ab" + Z(113) + "x\xe9");
}

TEST(KeyDecoder, PartialSequenceAfterThePauseIsEscThenItsBytes) {
  KeyDecoder d(KeyDecoder::Source::kTerminal);
  std::vector<KeyEvent> out;
  d.Feed("\x1b[", 0, &out);
  d.Flush(1000, &out);
  EXPECT_EQ(KeyBytes(out), "\x1b[");
}

TEST(KeyDecoder, StreamInputTakesLfAndCrAsEnterAndCrLfAsOne) {
  KeyDecoder d(KeyDecoder::Source::kStream);
  std::vector<KeyEvent> out;
  d.Feed("a\nb\r\nc\r", 0, &out);
  d.Feed("\n\n\x7f\x08", 0, &out);
  EXPECT_EQ(KeyBytes(out), "a\rb\rc\r\r\b\b");
}

TEST(KeyDecoder, StreamInputMayCarryExtendedKeysAsZeroAndCode) {
  KeyDecoder d(KeyDecoder::Source::kStream);
  std::vector<KeyEvent> out;
  d.Feed(string("\0", 1), 0, &out);
  d.Feed("Hx", 0, &out);
  EXPECT_EQ(KeyBytes(out), Z(72) + "x");
}

TEST(KeyDecoder, OverlongGarbageDoesNotGrowWithoutBound) {
  KeyDecoder d(KeyDecoder::Source::kTerminal);
  std::vector<KeyEvent> out;
  d.Feed("\x1b[" + string(100, '1'), 0, &out);
  EXPECT_FALSE(d.Pending());
  d.Feed("z", 0, &out);
  EXPECT_EQ(KeyBytes(out), "z");
}

TEST(KeyDecoder, CtrlPauseOfTheProgressiveProtocolIsBreak) {
  KeyDecoder d(KeyDecoder::Source::kTerminal);
  std::vector<KeyEvent> ev;
  d.Feed("\x1b[57362;5u\x1b[57362u\x1b[92;5u", 0, &ev);
  ASSERT_EQ(ev.size(), 2u);  // plain Pause gives no key
  EXPECT_EQ(ev[0].kind, KeyEvent::kBreak);
  EXPECT_EQ(ev[1], (KeyEvent{KeyEvent::kChar, 28, kModCtrl}));  // Ctrl+\, the console's break on a terminal
  EXPECT_EQ(KeyBytes(ev), "\x1c");
}

}  // namespace
}  // namespace kal

namespace kal {
namespace {

// Screen review's key reaches the program however the terminal sends it:
// Ctrl+Alt+F9 in xterm's and rxvt's forms, and Ctrl+R everywhere.
TEST(KeyDecoder, ScreenReviewKeyInEveryForm) {
  const std::vector<Case> cases = {
      {"xterm", "\x1b[20;7~", Z(102), kModCtrl | kModAlt},
      {"rxvt: Esc then Ctrl+F9", "\x1b\x1b[20^", Z(102), kModCtrl | kModAlt},
      {"Esc before a sequence is Alt", "\x1b\x1b[A", Z(72), kModAlt},
      {"Ctrl+R", "\x12", Z(102), kModCtrl | kModAlt},
      {"Ctrl+R (CSI u)", "\x1b[114;5u", Z(102), kModCtrl | kModAlt},
  };
  for (const Case& c : cases) {
    auto ev = Terminal(c.raw);
    EXPECT_EQ(KeyBytes(ev), c.keys) << c.name;
    if (!ev.empty()) {
      EXPECT_EQ(ev.back().mods, c.mods) << c.name;
    }
  }
  KeyDecoder stream(KeyDecoder::Source::kStream);
  std::vector<KeyEvent> out;
  stream.Feed("\x12", 0, &out);
  EXPECT_EQ(KeyBytes(out), Z(102));
}

}  // namespace
}  // namespace kal
