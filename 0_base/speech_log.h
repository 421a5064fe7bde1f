// The speech log: every request that reaches the speech layer, one line
// each, appended to the file given with --speech-log (UTF-8). Tests read it
// back; a person can read it too.
//
// Line forms: "say TEXT", "char CODE", "spell TEXT", "play NAME",
// "click", "beep", "wave PATH" and "wave memory BYTES" (sound files and
// images played directly), "words WORDS" (number words), "time", "date",
// "dial DIGITS", "battery", "open TEXT". Details (below) add "phrase WORDS"
// (a run of words for the word voice), "diphone NOTATION", "snippet NAME"
// and "stop".
//
// main builds one log for the run and hands it down: the wave player holds
// it (wave_player_state.h), so the voices and the speech facade reach it
// through the player they play on, and a command handler through its run
// context. A test gets a fresh one with each case.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

struct SpeechLog {
  SpeechLog() = default;
  // Closes the file when one is open.
  ~SpeechLog();
  SpeechLog(const SpeechLog&) = delete;
  SpeechLog& operator=(const SpeechLog&) = delete;

  std::FILE* file = nullptr;        // appended to, flushed after each line
  bool capture = false;             // the lines are kept in memory as well
  bool detail = false;              // details are kept (in memory only)
  int depth = 0;                    // requests open (SpeechLogScope)
  std::vector<std::string> lines;   // kept while capturing
};

// Takes over a log file opened for appending (the caller opens it by host
// path, so that any file name reaches the disk as written); false when it is
// null. The file is closed by CloseSpeechLog, the next OpenSpeechLog or the
// end of the log.
bool OpenSpeechLog(SpeechLog& log, std::FILE* file);
void CloseSpeechLog(SpeechLog& log);

// Keeps the lines in memory as well (tests).
void CaptureSpeechLog(SpeechLog& log, bool on);
const std::vector<std::string>& CapturedSpeech(const SpeechLog& log);
void ClearCapturedSpeech(SpeechLog& log);

// verb is ASCII; text is Latin-1 and is written as UTF-8.
void LogSpeech(SpeechLog& log, std::string_view verb, std::string_view text = {});

// Requests inside requests. A request made while another is being served
// (the digits of a number inside "say", the letters of a spelled word) is
// a detail of the outer one. Details are kept only when asked for, each
// indented by two spaces per level, so that the log of a run shows what the
// program asked for, and a test of the speech layer can see how it was
// served.
void CaptureSpeechDetail(SpeechLog& log, bool on);

// Marks one request for its lifetime: logs "verb text" (as a detail when
// another request is open) and makes requests made meanwhile its details.
// A scope made with top_only logs nothing when nested. The log must outlive
// the scope.
class SpeechLogScope {
 public:
  SpeechLogScope(SpeechLog& log, std::string_view verb, std::string_view text = {}, bool top_only = false);
  ~SpeechLogScope();
  SpeechLogScope(const SpeechLogScope&) = delete;
  SpeechLogScope& operator=(const SpeechLogScope&) = delete;

 private:
  SpeechLog& log_;
};

// A detail line only ("stop", snippets): never logged at the top level.
void LogSpeechDetail(SpeechLog& log, std::string_view verb, std::string_view text = {});

}  // namespace kal
