#include "0_base/speech_log.h"

#include <cstdio>

#include "0_base/latin1.h"

namespace kal {
namespace {
struct LogState {
  FILE* file = nullptr;
  bool capture = false;
  bool detail = false;
  int depth = 0;
  std::vector<std::string> lines;
};
LogState& L() {
  static LogState s;
  return s;
}
}  // namespace

bool OpenSpeechLog(std::FILE* file) {
  CloseSpeechLog();
  L().file = file;
  return L().file != nullptr;
}

void CloseSpeechLog() {
  if (L().file) std::fclose(L().file);
  L().file = nullptr;
}

void CaptureSpeechLog(bool on) { L().capture = on; }
const std::vector<std::string>& CapturedSpeech() { return L().lines; }
void ClearCapturedSpeech() { L().lines.clear(); }

namespace {
void WriteLine(int depth, std::string_view verb, std::string_view text) {
  if (!L().file && !L().capture) return;
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
  if (L().capture) L().lines.push_back(line);
  if (L().file) {
    std::fputs(line.c_str(), L().file);
    std::fputc('\n', L().file);
    std::fflush(L().file);
  }
}
}  // namespace

void LogSpeech(std::string_view verb, std::string_view text) {
  if (L().depth == 0) WriteLine(0, verb, text);
  else if (L().detail && L().capture) WriteLine(L().depth, verb, text);
}

void LogSpeechDetail(std::string_view verb, std::string_view text) {
  if (L().detail && L().capture) WriteLine(L().depth > 0 ? L().depth : 1, verb, text);
}

void CaptureSpeechDetail(bool on) { L().detail = on; }

SpeechLogScope::SpeechLogScope(std::string_view verb, std::string_view text, bool top_only) {
  if (!top_only || L().depth == 0) LogSpeech(verb, text);
  ++L().depth;
}

SpeechLogScope::~SpeechLogScope() { --L().depth; }

}  // namespace kal
