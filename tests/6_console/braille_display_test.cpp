#include "6_console/braille_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "0_base/latin1.h"
#include "1_platform/event_loop.h"
#include "1_platform/fake/recording_braille.h"
#include "6_console/braille_cells.h"
#include "6_console/console.h"
#include "tests/support/temp_folder.h"
#include "tests/support/memory_console.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

using Cells = std::vector<uint8_t>;

// Dots written as the numbers of the dots, as braille readers name them:
// {1, 14, 0} is a, c, blank.
Cells Dots(std::initializer_list<int> names) {
  Cells out;
  for (int name : names) {
    uint8_t cell = 0;
    for (; name; name /= 10) cell |= 1 << (name % 10 - 1);
    out.push_back(cell);
  }
  return out;
}

Cells Padded(Cells cells, size_t count) {
  cells.resize(count, 0);
  return cells;
}

TEST(BrailleCells, BrailleAsciiDotPatterns) {
  EXPECT_EQ(BrailleAsciiDots('A'), BrailleAsciiDots('a'));
  EXPECT_EQ(BrailleAsciiDots('@'), BrailleAsciiDots('`'));
  EXPECT_EQ(BrailleAsciiDots('['), BrailleAsciiDots('{'));
  EXPECT_EQ(BrailleAsciiDots('\\'), BrailleAsciiDots('|'));
  EXPECT_EQ(BrailleAsciiDots(']'), BrailleAsciiDots('}'));
  EXPECT_EQ(BrailleAsciiDots('^'), BrailleAsciiDots('~'));
  std::string sample = " A#=_/7Z?";
  Cells got;
  for (char c : sample) got.push_back(BrailleAsciiDots(static_cast<uint8_t>(c)));
  EXPECT_EQ(got, Dots({0, 1, 3456, 123456, 456, 34, 2356, 1356, 1456}));
  EXPECT_EQ(BrailleAsciiDots(0), 0);
  EXPECT_EQ(BrailleAsciiDots(0x7F), 0);
  EXPECT_EQ(BrailleAsciiDots(0xE9), 0);
}

TEST(BrailleCells, CharacterTableGivesPortugueseCells) {
  // Accented letters take the cells of their braille forms.
  EXPECT_EQ(BrailleCellsOf(L1("ação é"), 6), Dots({1, 12346, 345, 135, 0, 123456}));
  // Bytes with no braille form are empty cells; 8 and 15 are listed.
  EXPECT_EQ(BrailleCellsOf(std::string("\x01\x08\x0F\x86\xFE", 5), 5), Dots({0, 0, 46, 0, 0}));
  // Digits and signs of the transcription.
  EXPECT_EQ(BrailleCellsOf("{casa #abc", 10), Dots({46, 14, 1, 234, 1, 0, 3456, 1, 12, 14}));
}

TEST(BrailleCells, RowsArePaddedOrCutToTheDisplay) {
  EXPECT_EQ(BrailleCellsOf("ab", 4), Dots({1, 12, 0, 0}));
  EXPECT_EQ(BrailleCellsOf(std::string(50, 'a'), 40), Cells(40, 1));
  EXPECT_TRUE(BrailleCellsOf("abc", 0).empty());
}

BrailleKey Chord(int dot_names, bool space = false) {
  BrailleKey k;
  k.kind = BrailleKey::kChord;
  k.dots = Dots({dot_names})[0];
  k.space_bar = space;
  return k;
}

BrailleKey Kind(BrailleKey::Kind kind, uint8_t code = 0) {
  BrailleKey k;
  k.kind = kind;
  k.code = code;
  return k;
}

TEST(BrailleCells, DisplayKeysGiveConsoleKeys) {
  using std::string;
  EXPECT_EQ(BrailleKeyToConsole(Chord(1)), "a");
  EXPECT_EQ(BrailleKeyToConsole(Chord(3)), ".");    // not the keyboard's "'"
  EXPECT_EQ(BrailleKeyToConsole(Chord(156)), "@");  // not "û"
  EXPECT_EQ(BrailleKeyToConsole(Chord(46)), "{");
  EXPECT_EQ(BrailleKeyToConsole(Chord(12, true)), "\x02");  // Ctrl+B
  EXPECT_EQ(BrailleKeyToConsole(Chord(0, true)), " ");
  EXPECT_EQ(BrailleKeyToConsole(Chord(7)), "\b");
  EXPECT_EQ(BrailleKeyToConsole(Chord(8)), "\r");
  EXPECT_EQ(BrailleKeyToConsole(Chord(78)), "\x1B");
  EXPECT_EQ(BrailleKeyToConsole(Chord(17)), "");        // dot 7 with other dots
  EXPECT_EQ(BrailleKeyToConsole(Chord(8, true)), "");   // dot 8 with the space bar
  EXPECT_EQ(BrailleKeyToConsole(Chord(0)), "");
  // Space with a chord whose control code would be 0 (the "@"): a zero in
  // the queue would swallow the next key as a scan code.
  EXPECT_EQ(BrailleKeyToConsole(Chord(156, true)), "");
  EXPECT_EQ(BrailleKeyToConsole(Kind(BrailleKey::kLineUp)), string("\0\x48", 2));
  EXPECT_EQ(BrailleKeyToConsole(Kind(BrailleKey::kLineDown)), string("\0\x50", 2));
  EXPECT_EQ(BrailleKeyToConsole(Kind(BrailleKey::kLineStart)), string("\0\x47", 2));
  EXPECT_EQ(BrailleKeyToConsole(Kind(BrailleKey::kLineEnd)), string("\0\x4F", 2));
  EXPECT_EQ(BrailleKeyToConsole(Kind(BrailleKey::kCharacter, 0xE7)), "\xE7");
  EXPECT_EQ(BrailleKeyToConsole(Kind(BrailleKey::kEnter)), "\r");
  EXPECT_EQ(BrailleKeyToConsole(Kind(BrailleKey::kEscape)), "\x1B");
  EXPECT_EQ(BrailleKeyToConsole(Kind(BrailleKey::kBackspace)), "\b");
  EXPECT_EQ(BrailleKeyToConsole(Kind(BrailleKey::kOther)), "?");
}

// The console over the memory front end, with a recording display of 40
// cells attached.
class BrailleConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseMemoryConsole("", &out_);
    auto device = std::make_unique<RecordingBraille>(40);
    display_ = device.get();
    SetBrailleDevice(test::Context().console, std::move(device));
  }

  std::string out_;
  RecordingBraille* display_ = nullptr;
};

TEST_F(BrailleConsoleTest, ShowsTheCursorRowWhenItChanges) {
  InitConsole(test::Context().console);
  ASSERT_TRUE(BrailleAttached(test::Context().console));
  ASSERT_EQ(display_->writes().size(), 1u);  // the first row, blank
  EXPECT_EQ(display_->writes()[0], Cells(40, 0));
  ConsoleWrite(test::Context().console, "Casa 123");
  ASSERT_EQ(display_->writes().size(), 2u);
  EXPECT_EQ(display_->writes()[1], Padded(Dots({46, 14, 1, 234, 1, 0, 3456, 1, 12, 14}), 40));
  ConsoleWrite(test::Context().console, "");
  GotoXY(test::Context().console, 3, 1);  // the same row, the same text: nothing new to show
  EXPECT_EQ(display_->writes().size(), 2u);
  GotoXY(test::Context().console, 1, 5);
  ASSERT_EQ(display_->writes().size(), 3u);
  EXPECT_EQ(display_->writes()[2], Cells(40, 0));
}

TEST_F(BrailleConsoleTest, ALineWrittenWithItsEndIsShownBeforeTheCursorMovesOn) {
  InitConsole(test::Context().console);
  ConsoleWriteLine(test::Context().console, "ab");
  ASSERT_EQ(display_->writes().size(), 3u);
  EXPECT_EQ(display_->writes()[1], Padded(Dots({1, 12}), 40));
  EXPECT_EQ(display_->writes()[2], Cells(40, 0));  // the cursor's new row
}

TEST_F(BrailleConsoleTest, DisplayKeysReachTheKeyQueue) {
  InitConsole(test::Context().console);
  display_->PressKey(Chord(3));
  display_->PressKey(Chord(12, true));
  display_->PressKey(Kind(BrailleKey::kLineDown));
  display_->PressKey(Chord(17));  // gives nothing
  display_->PressKey(Chord(8));
  TakeBrailleKeys(test::Context().console);
  EXPECT_EQ(ReadKey(test::Context().platform), '.');
  EXPECT_EQ(ReadKey(test::Context().platform), 2);
  EXPECT_EQ(ReadKey(test::Context().platform), 0);
  EXPECT_EQ(ReadKey(test::Context().platform), 80);
  EXPECT_EQ(ReadKey(test::Context().platform), 13);
  EXPECT_FALSE(KeyPressed(test::Context().platform));
}

TEST_F(BrailleConsoleTest, KeysBeyondAFullQueueAreDropped) {
  InitConsole(test::Context().console);
  ASSERT_TRUE(PushKeyBytes(test::Context().console, std::string(63, 'x')));
  display_->PressKey(Kind(BrailleKey::kLineUp));  // two bytes: no room for both
  display_->PressKey(Chord(1));
  display_->PressKey(Chord(12));
  TakeBrailleKeys(test::Context().console);
  EXPECT_EQ(KeyQueueSize(test::Context().console), 64u);
  for (int i = 0; i < 63; ++i) ReadKey(test::Context().platform);
  EXPECT_EQ(ReadKey(test::Context().platform), 'a');
}

TEST_F(BrailleConsoleTest, NoDisplayMeansNoBrailleAndATryEveryFewSeconds) {
  display_->set_present(false);
  InitConsole(test::Context().console);
  EXPECT_FALSE(BrailleAttached(test::Context().console));
  EXPECT_EQ(display_->open_calls(), 1);
  ConsoleWrite(test::Context().console, "um");
  Delay(test::Context().platform, kBrailleRetryMs / 2);
  ConsoleWrite(test::Context().console, " dois");
  EXPECT_EQ(display_->open_calls(), 1);  // too soon to try again
  display_->set_present(true);
  Delay(test::Context().platform, kBrailleRetryMs);
  ConsoleWrite(test::Context().console, " tres");
  EXPECT_EQ(display_->open_calls(), 2);
  ASSERT_TRUE(BrailleAttached(test::Context().console));
  ASSERT_EQ(display_->writes().size(), 1u);
  EXPECT_EQ(display_->writes()[0][0], Dots({136})[0]);  // "um dois tres" starts with u
}

TEST_F(BrailleConsoleTest, ADroppedConnectionIsTakenUpAgainLater) {
  InitConsole(test::Context().console);
  display_->Unplug();
  ConsoleWrite(test::Context().console, "a");  // the write finds the display gone
  EXPECT_FALSE(BrailleAttached(test::Context().console));
  ConsoleWrite(test::Context().console, "b");
  EXPECT_EQ(display_->open_calls(), 1);
  Delay(test::Context().platform, kBrailleRetryMs);
  ConsoleWrite(test::Context().console, "c");
  EXPECT_EQ(display_->open_calls(), 2);
  EXPECT_TRUE(BrailleAttached(test::Context().console));
  EXPECT_EQ(display_->writes().back(), Padded(Dots({1, 12, 14}), 40));
  // Keys of a display that went away are not waited for.
  display_->Unplug();
  display_->PressKey(Chord(1));
  TakeBrailleKeys(test::Context().console);
  EXPECT_FALSE(BrailleAttached(test::Context().console));
  EXPECT_FALSE(KeyPressed(test::Context().platform));
}

TEST_F(BrailleConsoleTest, TheLogRecordsEveryRowWithOrWithoutADisplay) {
  test::TempFolder tmp;
  ASSERT_TRUE(OpenBrailleLog(test::Context().console, tmp / "braille.log"));
  display_->set_present(false);
  InitConsole(test::Context().console);
  ConsoleWriteLine(test::Context().console, L1("Ação 1º"));
  GotoXY(test::Context().console, 1, 3);
  ConsoleWrite(test::Context().console, "ONUs");
  CloseBrailleLog(test::Context().console);
  EXPECT_EQ(test::ReadFileBytes(tmp / "braille.log"),
            "1\t\t\n"
            "1\tAção 1º\t{ação #,o\n"
            "2\t\t\n"
            "3\t\t\n"
            "3\tONUs\t{{onu~s\n");
  EXPECT_TRUE(display_->writes().empty());
}

TEST_F(BrailleConsoleTest, WithoutADeviceNothingIsSent) {
  SetBrailleDevice(test::Context().console, nullptr);
  InitConsole(test::Context().console);
  ConsoleWrite(test::Context().console, "texto");
  EXPECT_FALSE(BrailleAttached(test::Context().console));
  EXPECT_FALSE(OpenBrailleDisplay(test::Context().console));
}

}  // namespace
}  // namespace kal
