#include "0_base/speech_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

std::string Lines(const SpeechLog& log) {
  std::string s;
  for (const std::string& l : CapturedSpeech(log)) s += l + "\n";
  return s;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Two runs side by side (a case and the run it builds beside its own): what
// one logs, and the requests it has open, never reach the other.
TEST(SpeechLog, TwoLogsKeepTheirOwnLinesAndDepth) {
  SpeechLog a, b;
  CaptureSpeechLog(a, true);
  CaptureSpeechLog(b, true);
  {
    SpeechLogScope say(a, "say", "um");
    LogSpeech(b, "click");  // b has nothing open: a line of its own, not a detail
    LogSpeech(a, "char", "49");  // a detail of "say", not kept without details
  }
  LogSpeech(a, "beep");
  EXPECT_EQ(Lines(a), "say um\nbeep\n");
  EXPECT_EQ(Lines(b), "click\n");
  ClearCapturedSpeech(a);
  EXPECT_TRUE(CapturedSpeech(a).empty());
  EXPECT_EQ(Lines(b), "click\n");
}

// Details are indented two spaces a level; a top-only scope says nothing when
// nested but its requests are still details; a detail line at the top level
// sits one level in.
TEST(SpeechLog, DetailsAreIndentedByTheirDepth) {
  SpeechLog log;
  CaptureSpeechLog(log, true);
  CaptureSpeechDetail(log, true);
  LogSpeechDetail(log, "stop");
  {
    SpeechLogScope say(log, "say", "12");
    SpeechLogScope words(log, "words", "doze");
    SpeechLogScope wave(log, "wave", "memory 10", true);
    LogSpeechDetail(log, "snippet", "12");
  }
  SpeechLogScope wave(log, "wave", "a.wav", true);
  EXPECT_EQ(Lines(log), "  stop\nsay 12\n  words doze\n      snippet 12\nwave a.wav\n");
}

TEST(SpeechLog, NothingIsKeptWithoutCapture) {
  SpeechLog log;
  LogSpeech(log, "say", "nada");
  CaptureSpeechDetail(log, true);
  LogSpeechDetail(log, "stop");
  EXPECT_TRUE(CapturedSpeech(log).empty());
}

// The file gets each top-level line as soon as it is logged, Latin-1 as
// UTF-8 and line ends escaped, as the lines kept in memory; it is appended
// to and closed with the log. Another log's lines stay out of it.
TEST(SpeechLog, TheFileIsAppendedLineByLine) {
  TempFolder dir;
  std::string path = dir / "fala.log";
  { std::ofstream(path, std::ios::binary) << "antes\n"; }
  SpeechLog other;
  {
    SpeechLog log;
    EXPECT_FALSE(OpenSpeechLog(log, nullptr));
    ASSERT_TRUE(OpenSpeechLog(log, std::fopen(path.c_str(), "ab")));
    CaptureSpeechLog(log, true);
    {
      SpeechLogScope say(log, "say", "a\xe7\xe3o\r\nfim");
      LogSpeech(log, "char", "97");
      EXPECT_EQ(FileText(path), "antes\nsay a\xc3\xa7\xc3\xa3o\\r\\nfim\n");
    }
    LogSpeech(other, "beep");
    LogSpeech(log, "click");
    EXPECT_EQ(Lines(log), "say a\xc3\xa7\xc3\xa3o\\r\\nfim\nclick\n");
  }
  EXPECT_EQ(FileText(path), "antes\nsay a\xc3\xa7\xc3\xa3o\\r\\nfim\nclick\n");
}

// Opening another file closes the first; a closed log writes nowhere.
TEST(SpeechLog, ReopeningAndClosing) {
  TempFolder dir;
  SpeechLog log;
  ASSERT_TRUE(OpenSpeechLog(log, std::fopen((dir / "1.log").c_str(), "ab")));
  LogSpeech(log, "say", "um");
  ASSERT_TRUE(OpenSpeechLog(log, std::fopen((dir / "2.log").c_str(), "ab")));
  LogSpeech(log, "say", "dois");
  CloseSpeechLog(log);
  LogSpeech(log, "say", "tres");
  EXPECT_EQ(log.file, nullptr);
  EXPECT_EQ(FileText(dir / "1.log"), "say um\n");
  EXPECT_EQ(FileText(dir / "2.log"), "say dois\n");
}

}  // namespace
}  // namespace kal::test
