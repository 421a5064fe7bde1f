#include "6_console/write_and_speak.h"

#include <string>

#include "1_platform/event_loop.h"
#include "5_speech/speech.h"
#include "6_console/console.h"

namespace kal {

void WriteAndSpeak(std::string_view text) {
  ConsoleWrite(text);
  SpeakText(text);
}

void WriteLineAndSpeak(std::string_view text) {
  WriteAndSpeak(text);
  ConsoleWrite("\r\n");
}

void WriteNumberAndSpeak(long long n) { WriteAndSpeak(std::to_string(n)); }

namespace {

class ConsoleNotice : public UserNotice {
 public:
  void WriteLine(std::string_view line) override { ConsoleWriteLine(line); }
  void Announce(std::string_view line) override {
    if (WhereX() != 1) ConsoleWrite("\r\n");
    ConsoleWriteLine(line);
    Loop().Post([text = std::string(line)] { SpeakText(text); });
  }
};

}  // namespace

UserNotice* ConsoleUserNotice() {
  static ConsoleNotice notice;
  return &notice;
}

}  // namespace kal
