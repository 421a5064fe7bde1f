#include "0_base/speech_log.h"

#include <cstdio>

#include "0_base/latin1.h"

namespace kal {

SpeechLog::~SpeechLog() { CloseSpeechLog(*this); }

bool OpenSpeechLog(SpeechLog& log, std::FILE* file) {
  CloseSpeechLog(log);
  log.file = file;
  return log.file != nullptr;
}

void CloseSpeechLog(SpeechLog& log) {
  if (log.file) std::fclose(log.file);
  log.file = nullptr;
}

void CaptureSpeechLog(SpeechLog& log, bool on) { log.capture = on; }
const std::vector<std::string>& CapturedSpeech(const SpeechLog& log) { return log.lines; }
void ClearCapturedSpeech(SpeechLog& log) { log.lines.clear(); }

namespace {
void WriteLine(SpeechLog& log, int depth, std::string_view verb, std::string_view text) {
  if (!log.file && !log.capture) return;
  std::string line(2 * depth, ' ');
  line += verb;
  if (!text.empty()) {
    line += ' ';
    // Line ends inside a text would split the entry: show them escaped.
    for (char c : Latin1ToUtf8(text)) {
      if (c == '\n') line += "\\n";
      else if (c == '\r') line += "\\r";
      else line += c;
    }
  }
  if (log.capture) log.lines.push_back(line);
  if (log.file) {
    std::fputs(line.c_str(), log.file);
    std::fputc('\n', log.file);
    std::fflush(log.file);
  }
}
}  // namespace

void LogSpeech(SpeechLog& log, std::string_view verb, std::string_view text) {
  if (log.depth == 0) WriteLine(log, 0, verb, text);
  else if (log.detail && log.capture) WriteLine(log, log.depth, verb, text);
}

void LogSpeechDetail(SpeechLog& log, std::string_view verb, std::string_view text) {
  if (log.detail && log.capture) WriteLine(log, log.depth > 0 ? log.depth : 1, verb, text);
}

void CaptureSpeechDetail(SpeechLog& log, bool on) { log.detail = on; }

SpeechLogScope::SpeechLogScope(SpeechLog& log, std::string_view verb, std::string_view text, bool top_only)
    : log_(log) {
  if (!top_only || log_.depth == 0) LogSpeech(log_, verb, text);
  ++log_.depth;
}

SpeechLogScope::~SpeechLogScope() { --log_.depth; }

}  // namespace kal
