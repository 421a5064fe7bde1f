#include "6_console/write_and_speak.h"

#include <string>

#include "1_platform/event_loop.h"
#include "5_speech/speech.h"
#include "6_console/console.h"
#include "6_console/console_state.h"

namespace kal {

void WriteAndSpeak(SpeechState& speech, std::string_view text) {
  ConsoleWrite(text);
  SpeakText(speech, text);
}

void WriteLineAndSpeak(SpeechState& speech, std::string_view text) {
  WriteAndSpeak(speech, text);
  ConsoleWrite("\r\n");
}

void WriteNumberAndSpeak(SpeechState& speech, long long n) { WriteAndSpeak(speech, std::to_string(n)); }

void ConsoleNotice::WriteLine(std::string_view line) { ConsoleWriteLine(line); }

void ConsoleNotice::Announce(std::string_view line) {
  if (WhereX() != 1) ConsoleWrite("\r\n");
  ConsoleWriteLine(line);
  loop_.Post([&speech = speech_, text = std::string(line)] { SpeakText(speech, text); });
}

}  // namespace kal
