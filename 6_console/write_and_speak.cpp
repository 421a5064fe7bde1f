#include "6_console/write_and_speak.h"

#include <string>

#include "1_platform/event_loop.h"
#include "5_speech/speech.h"
#include "6_console/console.h"
#include "6_console/console_state.h"

namespace kal {

void WriteAndSpeak(Console& console, std::string_view text) {
  ConsoleWrite(console, text);
  SpeakText(console.speech, text);
}

void WriteLineAndSpeak(Console& console, std::string_view text) {
  WriteAndSpeak(console, text);
  ConsoleWrite(console, "\r\n");
}

void WriteNumberAndSpeak(Console& console, long long n) { WriteAndSpeak(console, std::to_string(n)); }

void ConsoleNotice::WriteLine(std::string_view line) { ConsoleWriteLine(console_, line); }

void ConsoleNotice::Announce(std::string_view line) {
  if (WhereX(console_) != 1) ConsoleWrite(console_, "\r\n");
  ConsoleWriteLine(console_, line);
  console_.loop.Post([&speech = console_.speech, text = std::string(line)] { SpeakText(speech, text); });
}

}  // namespace kal
