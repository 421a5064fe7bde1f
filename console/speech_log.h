// The speech log: every request that reaches the speech layer, one line
// each, appended to the file given with --speech-log (UTF-8). Tests read it
// back; a person can read it too.
//
// Line forms: "say TEXT", "char CODE", "spell TEXT", "play NAME-OR-PATH",
// "click", "beep", "stop", and others added by the speech layer as
// "VERB ARGUMENTS".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kal {

// Opens (appends to) the log file; false when it cannot be opened.
bool OpenSpeechLog(const std::string& path);
void CloseSpeechLog();

// Keeps the lines in memory as well (tests).
void CaptureSpeechLog(bool on);
const std::vector<std::string>& CapturedSpeech();
void ClearCapturedSpeech();

// verb is ASCII; text is Latin-1 and is written as UTF-8.
void LogSpeech(std::string_view verb, std::string_view text = {});

}  // namespace kal
