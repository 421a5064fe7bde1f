// The console's state for a run, in one object: the screen and its keys,
// the menu, the braille display, the clipboard, screen review's search text,
// and the key input and notice writer the console gives the layers below.
// main builds one for the run and hands it down; a test gets a fresh one for
// each case. The console's free functions (console.h, console_menu.h,
// braille_display.h, clipboard.h, ...) work on the one they are given.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "0_base/console_grid.h"
#include "1_platform/braille.h"
#include "1_platform/console_frontend.h"
#include "1_platform/pump.h"
#include "1_platform/user_notice.h"
#include "6_console/braille_keyboard.h"
#include "6_console/clipboard.h"
#include "6_console/console_painter.h"
#include "6_console/key_decoder.h"
#include "6_console/key_pacer.h"
#include "6_console/key_queue.h"

namespace kal {

class EventLoop;
struct ConfigState;
struct Platform;
struct SpeechState;

// The screen: the grid, the key queue and the front end that shows them
// (console.cpp).
struct ConsoleScreen {
  std::unique_ptr<ConsoleFrontEnd> front;
  ConsoleGrid grid;
  KeyQueue keys;
  KeyDecoder decoder;
  KeyPacer pacer;             // keys written ahead, typed one at a time
  BrailleKeyboard braille;
  ConsolePainter painter;     // frames for a front end that paints cells
  std::string title;
  uint8_t last_mods = 0;      // modifiers of the key ReadKey returned last
  bool input_ended = false;   // no key can come any more
  bool source_ended = false;  // the front end's input has ended (the pacer may still hold keys)
  bool created = false;
  bool watching = false;      // the front end's input descriptor is watched
  bool suspended = false;     // a program in the foreground has the terminal
  bool check_break = true;
  bool check_eof = false;
  bool mouse_enabled = true;
  bool ignore_next_click = false;
  bool small_said = false;    // the small-terminal notice was looked at
  std::string small_speech;   // the notice, to be said at the next wait for a key
};

// The menu (console_menu.cpp): its items in their rectangle, and the last
// rectangle, blanked at the end.
struct ConsoleMenu {
  std::vector<std::string> items;
  std::vector<uint8_t> marks;
  int x1 = 1, y1 = 1, x2 = 1, y2 = 1;
  int current = 0;
  int top = 0;
  int start = 1;
};

struct MenuState {
  std::optional<ConsoleMenu> menu;
  int x1 = 0, y1 = 0, x2 = -1, y2 = -1;
};

// The braille display (braille_display.cpp).
struct BrailleState {
  std::unique_ptr<BrailleDevice> device;
  int watched_fd = -1;       // the display's key descriptor in the event loop
  int64_t next_try_ms = 0;   // no connection attempt before this time
  bool text_paren = false;   // carried from row to row by the transcription
  int last_row = -1;         // what was sent last
  std::string last_text;
  std::FILE* log = nullptr;
};

// The key queue of a console as the waits of the lower layers see it
// (console.cpp).
class ConsoleKeys : public KeyInput {
 public:
  explicit ConsoleKeys(Console& console) : console_(console) {}
  void Open() override;
  void TakeInput() override;
  bool KeyQueued() override;
  uint8_t ReadKey() override;
  void ClearQueue() override;

 private:
  Console& console_;
};

// Lines for the user from the layers below (write_and_speak.cpp).
class ConsoleNotice : public UserNotice {
 public:
  // Lines go to this console; an announcement is spoken by its facade from a
  // task posted on its loop.
  explicit ConsoleNotice(Console& console) : console_(console) {}
  void WriteLine(std::string_view line) override;
  void Announce(std::string_view line) override;

 private:
  Console& console_;
};

struct Console {
  // The platform state whose loop the console watches its input on and
  // waits in, whose key input and notice writer it becomes, and the speech
  // facade its editor, menu and review speak with; both must outlive it.
  // Its colours, braille mode and magnifier come from the facade's
  // configuration.
  Console(Platform& run_platform, SpeechState& speech_used);
  // Stops watching the descriptors of the front end and the display,
  // closes the braille log, and stops being the key input and the notice
  // writer if it still is.
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  Platform& platform;
  EventLoop& loop;
  SpeechState& speech;
  ConfigState& config;
  ConsoleScreen screen;
  MenuState menu;
  BrailleState braille;
  std::unique_ptr<ClipboardBackend> clipboard;  // nullptr: the in-process one, made at first use
  std::string review_search;                    // the text of the last screen-review search

  // The console is the key input and the notice writer of the platform
  // (pump.h, user_notice.h) from the first use of its screen: until then
  // notices go to standard error, as they do before main has a console.
  ConsoleKeys key_input;
  ConsoleNotice notice;
  bool hooked = false;
  void Hook();
};

// For the guard's life the console may become the key input and the notice
// writer of its platform (at the first use of its screen); at its end, when
// it had, the outer console takes them back if it had them, else nobody has
// them. main makes one for the run's console; a console made beside another
// names that one as its outer console.
class ConsoleHookGuard {
 public:
  explicit ConsoleHookGuard(Console& console, Console* outer = nullptr);
  ~ConsoleHookGuard();
  ConsoleHookGuard(const ConsoleHookGuard&) = delete;
  ConsoleHookGuard& operator=(const ConsoleHookGuard&) = delete;

 private:
  Console& console_;
  Console* outer_;
};

}  // namespace kal
