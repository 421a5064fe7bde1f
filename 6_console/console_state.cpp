#include "6_console/console_state.h"

#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "5_speech/speech_state.h"

namespace kal {

Console::Console(Platform& run_platform, SpeechState& speech_used)
    : platform(run_platform),
      loop(run_platform.loop),
      speech(speech_used),
      config(speech_used.config),
      key_input(*this),
      notice(*this) {}

Console::~Console() {
  if (screen.watching && screen.front) loop.Unwatch(screen.front->InputFd());
  if (braille.watched_fd >= 0) loop.Unwatch(braille.watched_fd);
  if (braille.log) std::fclose(braille.log);
}

void Console::Hook() {
  SetKeyInput(platform, &key_input);
  SetUserNotice(platform, &notice);
  hooked = true;
}

ConsoleScope::ConsoleScope(Console& console, Console* outer) : console_(console), outer_(outer) {}

ConsoleScope::~ConsoleScope() {
  if (!console_.hooked) return;
  console_.hooked = false;
  if (outer_ && outer_->hooked) {
    outer_->Hook();
  } else {
    SetKeyInput(console_.platform, nullptr);
    SetUserNotice(console_.platform, nullptr);
  }
}

}  // namespace kal
