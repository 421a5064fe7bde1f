// A running download's keys and the spoken progress report.
#include "8_interpreter/download_talk.h"

#include <cstdio>
#include <string>

#include "0_base/keys.h"
#include "0_base/latin1.h"
#include "1_platform/stop_request.h"
#include "1_platform/user_locale.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "6_console/write_and_speak.h"
#include "8_interpreter/messages.h"

namespace kal {
namespace {

constexpr int64_t kKiB = 1024;
constexpr int64_t kMiB = kKiB * 1024;
constexpr int64_t kGiB = kMiB * 1024;

// General format with three significant digits, as the report says numbers:
// an exponent part is cut off and the decimal separator is the user's.
std::string General3(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3G", value);
  std::string s(buf);
  size_t e = s.find('E');
  if (e != std::string::npos) s.resize(e);
  for (auto& c : s)
    if (c == '.') c = UserDecimalSeparator();
  return s;
}

std::string TotalText(int64_t total) {
  if (total >= kGiB) return std::to_string(total / kGiB) + " GB.";
  if (total >= kMiB) return std::to_string(total / kMiB) + " MB.";
  if (total < kKiB) return std::to_string(total) + " Bytes.";
  return std::to_string(total / kKiB) + " KB.";
}

std::string WrittenText(int64_t written) {
  double w = static_cast<double>(written);
  if (written >= kGiB) return General3(w / kGiB) + " GigaBytes gravados.";
  if (written >= kMiB) return General3(w / kMiB) + " MegaBytes gravados.";
  if (written >= kKiB) return General3(w / kKiB) + " KBytes gravados.";
  return std::to_string(written) + " Bytes gravados.";
}

// Writes and speaks the question, takes one key and writes it back on the
// question's line. Returns the key byte (0 for an extended key, whose scan
// code is taken too and not echoed).
uint8_t AskKey(Console& console, std::string_view question) {
  WriteLineAndSpeak(console, L1(question));
  uint8_t answer = ReadKey(console.platform);
  if (answer == 0) {
    ReadKey(console.platform);
    ConsoleWrite(console, "\r\n");
  } else {
    ConsoleWrite(console, std::string(1, static_cast<char>(answer)) + "\r\n");
  }
  return answer;
}

// Answers one waiting key; true when the person asked to stop.
bool AnswerKey(Console& console, const std::function<DownloadProgress()>& progress, bool* ticks) {
  uint8_t k = ReadKey(console.platform);
  if (k == 0) {
    ReadKey(console.platform);  // the scan code of an extended key, which means nothing here
    return false;
  }
  if (k == kKeyEnter) {
    DownloadProgress p = progress();
    SpeakText(console.speech, ProgressReport(p.unknown_length, p.written, p.announced, p.resumed, p.file));
  } else if (k == ' ') {
    *ticks = !*ticks;
  } else if (k == kKeyEsc) {
    uint8_t answer = AskKey(console, kMsgAskStopDownload);
    if (answer == 'S' || answer == 's') {
      WriteLineAndSpeak(console, L1(kMsgDownloadStopped));
      return true;
    }
  }
  return false;
}

}  // namespace

bool AnswerDownloadKeys(Console& console, const std::function<DownloadProgress()>& progress, bool* ticks) {
  while (KeyPressed(console.platform)) {
    if (StopRequested(console.platform)) return true;  // the run is ending: so is the transfer
    if (AnswerKey(console, progress, ticks)) return true;
  }
  return false;
}

std::string ProgressReport(bool unknown_length, int64_t written, int64_t announced, int64_t resumed,
                           const std::string& file) {
  std::string say;
  if (unknown_length) {
    say = std::to_string(written) + " bytes escritos em disco.";
  } else {
    int64_t total = announced + resumed;
    double percent = total > 0 ? static_cast<double>(written) / static_cast<double>(total) * 100.0 : 0.0;
    say = "Recebidos: " + General3(percent) + "% de " + TotalText(total);
  }
  return say + " " + WrittenText(written) + " Arquivo: " + file;
}

}  // namespace kal
