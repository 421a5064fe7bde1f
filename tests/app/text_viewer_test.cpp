#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "9_app/text_viewer.h"
#include "6_console/console.h"
#include "0_base/speech_log.h"
#include "1_platform/event_loop.h"
#include "tests/support/script_harness.h"

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
  std::ofstream(path) << "um\r\n\r\ntres\r\n";
  std::string out;
  SetLoop(MakeFakeEventLoop());
  ResetConsoleForTest(std::string("\0P\0P\0G\x1b", 7), &out);
  CaptureSpeechLog(true);
  ClearCapturedSpeech();
  EXPECT_EQ(RunTextViewer(path), 0);
  EXPECT_EQ(test::Joined(CapturedSpeech()),
            "say 3 linhas\nsay um\nsay linha vazia\nsay tres\nsay um\n");
  CaptureSpeechLog(false);
  std::remove(path.c_str());
}

// q leaves like Esc; a key the viewer has no use for (a letter, F2) beeps;
// an empty file is announced as holding no line.
TEST(TextViewer, UnusedKeysBeepAndQLeaves) {
  std::string path = ::testing::TempDir() + "viewer_empty.txt";
  std::ofstream(path) << "";
  std::string out;
  SetLoop(MakeFakeEventLoop());
  ResetConsoleForTest(std::string("x\0<q", 4), &out);
  CaptureSpeechLog(true);
  ClearCapturedSpeech();
  EXPECT_EQ(RunTextViewer(path), 0);
  EXPECT_EQ(test::Joined(CapturedSpeech()), "say 0 linhas\nsay linha vazia\nbeep\nbeep\n");
  CaptureSpeechLog(false);
  std::remove(path.c_str());
}

}  // namespace kal
