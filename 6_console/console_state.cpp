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
  // One made without a guard leaves no pointer to itself behind.
  if (platform.key_input == &key_input) SetKeyInput(platform, nullptr);
  if (platform.notice == &notice) SetUserNotice(platform, nullptr);
}

void Console::Hook() {
  SetKeyInput(platform, &key_input);
  SetUserNotice(platform, &notice);
  hooked = true;
}

ConsoleHookGuard::ConsoleHookGuard(Console& console, Console* outer) : console_(console), outer_(outer) {}

ConsoleHookGuard::~ConsoleHookGuard() {
  if (!console_.hooked) return;
  console_.hooked = false;
  SetKeyInput(console_.platform, nullptr);
  SetUserNotice(console_.platform, nullptr);
  if (outer_ && outer_->hooked) outer_->Hook();
}

}  // namespace kal
