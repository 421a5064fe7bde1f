// What the console shows itself on, and where its keys come from.
//
// The console model (6_console/) keeps the 80x25 grid and the key queue; a
// front end only presents it and delivers raw input bytes. Three front ends:
// the terminal (raw mode, ANSI drawing), a desktop window (cells painted in
// a chosen font, pictures, the magnified strip, key releases) and the
// headless one (console lines as UTF-8 text on standard output, input bytes
// from standard input). Tests use the headless one over in-memory streams.
//
// Every front end delivers its keys as the bytes a terminal would send
// (escape sequences of the xterm family and of the progressive keyboard
// protocol, SGR mouse reports), so that one decoder gives the same key codes
// whatever the keys came from.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "1_platform/cell_paint.h"

namespace kal {

class ConsoleGrid;
class EventLoop;
struct Platform;
struct Picture;

class ConsoleFrontEnd {
 public:
  virtual ~ConsoleFrontEnd() = default;

  // Bytes the program wrote (Latin-1, with CR, LF and backspace as written),
  // after the grid has been updated with them. The headless front end turns
  // them into lines; the terminal front end ignores them and draws the grid.
  virtual void OnWrite(std::string_view bytes) = 0;

  // The grid changed (cells, cursor, colours): bring the display up to date.
  virtual void Present(const ConsoleGrid& grid) = 0;

  // Window title, Latin-1.
  virtual void SetTitle(std::string_view title) = 0;

  // The bell byte was written.
  virtual void Bell() {}

  // Descriptor to watch for input, or -1 when input is not a descriptor.
  virtual int InputFd() = 0;

  // Reads at most cap raw input bytes without blocking. Returns the count
  // (0 when nothing is there now), or -1 at the end of input.
  virtual int ReadInput(char* buf, int cap) = 0;

  // Key releases (for the braille chord keyboard): asked for while the
  // chord keyboard is on; ReportsKeyReleases tells whether they come.
  virtual void SetKeyReleases(bool on) {}
  virtual bool ReportsKeyReleases() const { return false; }

  // The program is about to wait for a key with an empty queue.
  virtual void WaitingForKey() {}
  // The input was written ahead rather than typed key by key (standard
  // input from a pipe or a file, a test's keys): the console hands its keys
  // to the program one at a time, as a person would type them
  // (6_console/key_pacer.h).
  virtual bool InputWrittenAhead() const { return false; }
  // The caret (the terminal's cursor) is shown while the program waits for
  // a key, and hidden otherwise.
  virtual void ShowCaret(bool on) {}

  // A program started in a shown mode takes the terminal while it runs:
  // leave raw mode and the alternate screen, and come back afterwards.
  virtual void Suspend() {}
  virtual void Resume() {}

  // Puts the terminal back as it was found. Safe to call twice.
  virtual void Restore() {}

  virtual bool IsTerminal() const { return false; }

  // The terminal is smaller than the console's grid and shows only the
  // part around the cursor.
  virtual bool SmallerThanGrid() const { return false; }
  // Columns of the grid shown at once; 0 when all of them are.
  virtual int VisibleColumns() const { return 0; }
  // The name of the terminal the console is drawn on, the same for every
  // program started on it; empty when there is none.
  virtual std::string TerminalName() const { return ""; }

  // Input comes from a terminal in raw mode (Enter is CR, LF is Ctrl+Enter),
  // whose Backspace key sends EraseByte(); otherwise from a byte stream.
  virtual bool TerminalKeys() const { return false; }
  virtual int EraseByte() const { return 0x7F; }

  // A front end that paints cells itself asks the console for frames
  // through this painter (installed once by the console); Present then
  // paints the next frame.
  virtual void SetFramePainter(FramePainter painter) {}

  // Shows the picture with its top-left corner at pixel (x, y) of the
  // console, over the cells, replacing an earlier one. False when this front
  // end cannot show pictures (the earlier picture stays).
  virtual bool ShowPicture(const Picture& picture, int x, int y) { return false; }
  virtual void RemovePicture() {}

  // The desktop's id of the console's own window; 0 when it has none.
  virtual uint64_t WindowId() const { return 0; }
};

struct TerminalOptions {
  bool truecolor = true;       // 24-bit colour, else the nearest of 16
  bool handle_signals = true;  // SIGINT, SIGTERM, SIGHUP end the program cleanly
};

// The host's front ends watch their input and post their wake-ups on the
// loop of the platform state they are made with, and record there what they
// learn for the run (the terminal its restoring clean-up, a window its id
// and the stop when it is closed); it must outlive them.

// The terminal on in_fd/out_fd in raw mode on the alternate screen; nullptr
// when in_fd is not a terminal.
std::unique_ptr<ConsoleFrontEnd> MakeTerminalFrontEnd(Platform& platform, int in_fd, int out_fd,
                                                      const TerminalOptions& opts);

// True when the environment announces 24-bit colour (COLORTERM).
bool TerminalAnnouncesTruecolor();

// How the window front end opens (from Talven.ini; main reads it).
struct WindowOptions {
  std::string face;        // font face; an installed monospaced one when not found
  int weight = 0;          // 1-1000 as fonts count it (400 regular, 700 bold); 0: regular
  int cell_width = 0;      // pixels; 0: from the desktop's work area
  int cell_height = 0;
  bool maximised = false;
  std::string title;       // Latin-1
};

// True when a desktop display is announced (DISPLAY or WAYLAND_DISPLAY).
bool DisplayAnnounced();

// A desktop window; when none can be opened, a stand-in whose
// StandInReason (1_platform/unavailable_backends.h) says why.
std::unique_ptr<ConsoleFrontEnd> MakeWindowFrontEnd(Platform& platform, const WindowOptions& opts);

// Headless: lines to out_fd as UTF-8, raw input bytes from in_fd.
std::unique_ptr<ConsoleFrontEnd> MakeHeadlessFrontEnd(EventLoop& loop, int in_fd, int out_fd);

// Headless over memory, for tests: the input string is input written ahead,
// typed as a person would type it (the first key at once and each further
// key when the program waits for one); output lines accumulate in *out.
std::unique_ptr<ConsoleFrontEnd> MakeMemoryFrontEnd(std::string input, std::string* out);

}  // namespace kal
