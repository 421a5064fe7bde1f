#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "9_app/text_viewer.h"
#include "6_console/clipboard.h"
#include "6_console/screen_review.h"
#include "6_console/console.h"
#include "0_base/speech_log.h"
#include "1_platform/event_loop.h"
#include "1_platform/fake/capture_audio.h"
#include "3_audio/wave_player.h"
#include "tests/support/script_harness.h"
#include "tests/support/memory_console.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {

TEST(TextView, MovesStayInsideTheText) {
  TextView v({"a", "b", "c"});
  EXPECT_FALSE(v.Move(-1));
  EXPECT_TRUE(v.Move(5));
  EXPECT_EQ(v.current(), 2);
  EXPECT_FALSE(v.Last());
  EXPECT_TRUE(v.First());
  EXPECT_EQ(v.current(), 0);
}

// Blocks are runs of lines between blank ones: the stations of the report.
TEST(TextView, BlocksSkipBlankLines) {
  TextView v({"1. A", "SP", "", "", "2. B", "RJ", " ", "3. C"});
  EXPECT_FALSE(v.PreviousBlock());
  EXPECT_TRUE(v.NextBlock());
  EXPECT_EQ(v.current(), 4);
  int first, last;
  ASSERT_TRUE(v.Move(1) && v.CurrentBlock(&first, &last));
  EXPECT_EQ(first, 4);
  EXPECT_EQ(last, 5);
  EXPECT_TRUE(v.NextBlock());
  EXPECT_EQ(v.current(), 7);
  EXPECT_FALSE(v.NextBlock());
  EXPECT_TRUE(v.Move(-1));  // the blank line between: no block of its own
  EXPECT_FALSE(v.CurrentBlock(&first, &last));
  EXPECT_TRUE(v.PreviousBlock());
  EXPECT_EQ(v.current(), 4);
  EXPECT_TRUE(v.PreviousBlock());
  EXPECT_EQ(v.current(), 0);
}

TEST(TextView, ColumnAndSearch) {
  TextView v({"abc", "xabc", "", "abc"});
  EXPECT_FALSE(v.Left());
  EXPECT_EQ(v.CharAtColumn(), 'a');
  EXPECT_TRUE(v.Right() && v.Right() && v.Right());
  EXPECT_FALSE(v.Right());
  EXPECT_EQ(v.CharAtColumn(), ' ');
  // Text before or at the position on the current line is not found there.
  while (v.Left()) {
  }
  EXPECT_TRUE(v.FindNext("abc"));
  EXPECT_EQ(v.current(), 1);
  EXPECT_EQ(v.column(), 2);
  EXPECT_TRUE(v.FindNext("abc"));
  EXPECT_EQ(v.current(), 3);
  EXPECT_FALSE(v.FindNext("abc"));
  EXPECT_FALSE(v.FindNext("ABC"));  // letter case counts
  EXPECT_EQ(v.current(), 3);
}

TEST(TextView, SplitsCrLfAndConvertsUtf8) {
  auto lines = SplitViewerText("1. R\xC3\xA1" "dio\r\nSP\r\n\r\nfim");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "1. R\xE1" "dio");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(SplitViewerText("").size(), 1u);
}

// Down, Down, Home, Esc: every move is spoken, an empty line as such.
TEST(TextViewer, SpeaksEveryMove) {
  std::string path = ::testing::TempDir() + "viewer.txt";
  std::ofstream(path, std::ios::binary) << "um\r\n\r\ntres\r\n";
  std::string out;
  test::UseMemoryConsole(std::string("\0P\0P\0G\x1b", 7), &out);
  CaptureSpeechLog(test::Context().speech_log, true);
  StationPlayer player(test::TestLoop(), test::Context().speech);
  EXPECT_EQ(RunTextViewer(test::Context().console, test::Context().network, path, player), 0);
  EXPECT_EQ(test::Joined(CapturedSpeech(test::Context().speech_log)),
            "say 3 linhas\nsay um\nsay linha vazia\nsay tres\nsay um\n");
  std::remove(path.c_str());
}

// q leaves like Esc; a key the viewer has no use for (a letter, F4) beeps;
// an empty file is announced as holding no line.
TEST(TextViewer, UnusedKeysBeepAndQLeaves) {
  std::string path = ::testing::TempDir() + "viewer_empty.txt";
  std::ofstream(path, std::ios::binary) << "";
  std::string out;
  // The beeps go to a capture device: a machine without sound would add
  // its notice to the speech.
  InstallCaptureAudio(test::Context().platform);
  test::UseMemoryConsole(std::string("x\0>q", 4), &out);
  CaptureSpeechLog(test::Context().speech_log, true);
  StationPlayer player(test::TestLoop(), test::Context().speech);
  EXPECT_EQ(RunTextViewer(test::Context().console, test::Context().network, path, player), 0);
  EXPECT_EQ(test::Joined(CapturedSpeech(test::Context().speech_log)), "say 0 linhas\nsay linha vazia\nbeep\nbeep\n");
  std::remove(path.c_str());
}

}  // namespace kal

namespace kal {

// The reading keys on a two-station report: next and previous station, the
// address short and whole, spelling, copying, a search found and not found.
TEST(TextViewer, ReadingKeys) {
  std::string path = ::testing::TempDir() + "viewer_report.txt";
  std::ofstream(path, std::ios::binary) << "1. Ra\r\nSP\r\nhttp://a.example/um.mp3\r\n\r\n2. Rb\r\nRio\r\n";
  std::string keys = std::string("\t", 1)        // next station
                     + std::string("\0q", 2)     // Ctrl+Up: previous station
                     + std::string("\0=", 2)     // F3: the station's address, short
                     + std::string("\0`", 2)     // Ctrl+F3: the whole address
                     + std::string("\0<", 2)     // F2: spell
                     + std::string("\x03", 1)    // Ctrl+C: copy
                     + std::string("\0?Rio\r", 6)  // F5: search
                     + std::string("\0b", 2)     // Ctrl+F5: again, not found
                     + std::string("\0M", 2)     // Right: the character under the cursor
                     + "q";
  std::string out;
  test::UseMemoryConsole(keys, &out);
  CaptureSpeechLog(test::Context().speech_log, true);
  StationPlayer player(test::TestLoop(), test::Context().speech);
  EXPECT_EQ(RunTextViewer(test::Context().console, test::Context().network, path, player), 0);
  EXPECT_EQ(test::Joined(CapturedSpeech(test::Context().speech_log)),
            "say 6 linhas\nsay 1. Ra\n"
            "say 2. Rb\nsay 1. Ra\n"
            "say a example um mp3\nsay http://a.example/um.mp3\n"
            "spell 1. Ra\nsay Linha copiada\n"
            "say Qual texto\nchar 82\nchar 105\nchar 111\nclick\nsay Rio\n"
            "beep\nbeep\n"
            "char 82\n");
  EXPECT_EQ(PasteFromClipboard(test::Context().console, 100), "1. Ra");
  std::remove(path.c_str());
}

}  // namespace kal

namespace kal {

// Without a player: Enter on a station without address, or with one that
// may not be played, says why; Space reads the line; the volume keys beep.
TEST(TextViewer, ListeningKeysWithoutAPlayer) {
  std::string path = ::testing::TempDir() + "viewer_stations.txt";
  std::ofstream(path, std::ios::binary) << "1. Ra\r\nSP\r\n\r\n2. Rb\r\nhttp://b.example/r\xC3\xA1" "dio\r\n";
  std::string out;
  InstallCaptureAudio(test::Context().platform);  // the volume keys' beeps: see UnusedKeysBeepAndQLeaves
  test::UseMemoryConsole(std::string("\r \t\r+-q", 8), &out);
  CaptureSpeechLog(test::Context().speech_log, true);
  StationPlayer player(test::TestLoop(), test::Context().speech);
  EXPECT_EQ(RunTextViewer(test::Context().console, test::Context().network, path, player), 0);
  EXPECT_EQ(test::Joined(CapturedSpeech(test::Context().speech_log)),
            "say 5 linhas\nsay 1. Ra\n"
            "say Esta esta\xC3\xA7\xC3\xA3o n\xC3\xA3o tem endere\xC3\xA7o para tocar.\n"
            "say 1. Ra\n"
            "say 2. Rb\n"
            "say Endere\xC3\xA7o recusado: s\xC3\xB3 se tocam endere\xC3\xA7os http e https.\n"
            "beep\nbeep\n");
  std::remove(path.c_str());
}

}  // namespace kal
