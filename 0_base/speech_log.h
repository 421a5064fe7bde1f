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
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

// Takes over a log file opened for appending (the caller opens it by host
// path, so that any file name reaches the disk as written); false when it is
// null. The file is closed by CloseSpeechLog or the next OpenSpeechLog.
bool OpenSpeechLog(std::FILE* file);
void CloseSpeechLog();

// Keeps the lines in memory as well (tests).
void CaptureSpeechLog(bool on);
const std::vector<std::string>& CapturedSpeech();
void ClearCapturedSpeech();

// verb is ASCII; text is Latin-1 and is written as UTF-8.
void LogSpeech(std::string_view verb, std::string_view text = {});

// Requests inside requests. A request made while another is being served
// (the digits of a number inside "say", the letters of a spelled word) is
// a detail of the outer one. Details are kept only when asked for, each
// indented by two spaces per level, so that the log of a run shows what the
// program asked for, and a test of the speech layer can see how it was
// served.
void CaptureSpeechDetail(bool on);

// Marks one request for its lifetime: logs "verb text" (as a detail when
// another request is open) and makes requests made meanwhile its details.
// A scope made with top_only logs nothing when nested.
class SpeechLogScope {
 public:
  SpeechLogScope(std::string_view verb, std::string_view text = {}, bool top_only = false);
  ~SpeechLogScope();
  SpeechLogScope(const SpeechLogScope&) = delete;
  SpeechLogScope& operator=(const SpeechLogScope&) = delete;
};

// A detail line only ("stop", snippets): never logged at the top level.
void LogSpeechDetail(std::string_view verb, std::string_view text = {});

}  // namespace kal
