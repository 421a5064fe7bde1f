#include "6_console/console_state.h"

#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "5_speech/speech_state.h"

namespace kal {
namespace {

// The installed console. Process-wide because the console's free functions
// (ConsoleWrite, WriteLineAndSpeak, the menu, braille, and the waits that
// read keys through it) are called from every layer above; main sets it for
// the run.
Console* g_console = nullptr;

}  // namespace

Console::Console(Platform& run_platform, SpeechState& speech_used)
    : platform(run_platform),
      loop(run_platform.loop),
      speech(speech_used),
      config(speech_used.config),
      notice(run_platform.loop, speech_used) {}

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

ConsoleScope::ConsoleScope(Console& console) : console_(console), previous_(g_console) { g_console = &console; }

ConsoleScope::~ConsoleScope() {
  g_console = previous_;
  if (!console_.hooked) return;
  console_.hooked = false;
  if (previous_ && previous_->hooked) {
    previous_->Hook();
  } else {
    SetKeyInput(console_.platform, nullptr);
    SetUserNotice(console_.platform, nullptr);
  }
}

Console& InstalledConsole() { return *g_console; }

}  // namespace kal
