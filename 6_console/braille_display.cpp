#include "6_console/braille_display.h"

#include <cstdio>
#include <vector>

#include "0_base/console_grid.h"
#include "0_base/latin1.h"
#include "1_platform/event_loop.h"
#include "1_platform/host_file.h"
#include "6_console/braille_cells.h"
#include "6_console/braille_transcribe.h"
#include "6_console/console.h"
#include "6_console/console_state.h"

namespace kal {
namespace {

void Unwatch(Console& c) {
  auto& b = c.braille;
  if (b.watched_fd >= 0) c.loop.Unwatch(b.watched_fd);
  b.watched_fd = -1;
}

void Watch(Console& c) {
  auto& b = c.braille;
  Unwatch(c);
  int fd = b.device ? b.device->KeyFd() : -1;
  if (fd < 0) return;
  c.loop.Watch(fd, [&c] { TakeBrailleKeys(c); });
  b.watched_fd = fd;
}

// One connection attempt; the next may come kBrailleRetryMs later.
bool Connect(Console& c) {
  auto& b = c.braille;
  b.next_try_ms = c.loop.NowMs() + kBrailleRetryMs;
  if (!b.device->Open()) return false;
  Watch(c);
  return true;
}

// The connection went away: stop watching a descriptor that is closed.
void Lost(Console& c) {
  auto& b = c.braille;
  Unwatch(c);
  b.next_try_ms = c.loop.NowMs() + kBrailleRetryMs;
}

bool Reachable(Console& c) {
  auto& b = c.braille;
  if (!b.device) return false;
  if (b.device->IsOpen()) return true;
  return c.loop.NowMs() >= b.next_try_ms && Connect(c);
}

std::string TrimRight(std::string_view s) {
  size_t n = s.find_last_not_of(' ');
  return std::string(s.substr(0, n == std::string_view::npos ? 0 : n + 1));
}

void LogRow(Console& c, std::string_view text, std::string_view braille) {
  auto& b = c.braille;
  if (!b.log) return;
  std::string line = std::to_string(b.last_row + 1) + "\t" + Latin1ToUtf8(TrimRight(text)) + "\t" +
                     Latin1ToUtf8(TrimRight(braille)) + "\n";
  std::fputs(line.c_str(), b.log);
  std::fflush(b.log);
}

bool SameAsSent(Console& c, const ConsoleGrid& grid, int row) {
  auto& b = c.braille;
  if (row != b.last_row || static_cast<int>(b.last_text.size()) != grid.width()) return false;
  for (int x = 0; x < grid.width(); ++x)
    if (grid.Cell(x, row) != b.last_text[x]) return false;
  return true;
}

}  // namespace

void SetBrailleDevice(Console& c, std::unique_ptr<BrailleDevice> device) {
  auto& b = c.braille;
  Unwatch(c);
  if (b.device) b.device->Close();
  b.device = std::move(device);
  b.next_try_ms = 0;
  b.last_row = -1;
}

bool OpenBrailleDisplay(Console& c) {
  auto& b = c.braille;
  if (!b.device) return false;
  b.last_row = -1;  // the first row goes out whatever was shown before
  return b.device->IsOpen() || Connect(c);
}

bool BrailleAttached(Console& c) { return c.braille.device && c.braille.device->IsOpen(); }

void FollowCursorRow(Console& c, const ConsoleGrid& grid) {
  auto& b = c.braille;
  if (!b.device && !b.log) return;
  int row = grid.Y();
  if (SameAsSent(c, grid, row)) return;
  b.last_row = row;
  b.last_text = grid.RowText(row);
  WriteBrailleRow(c, b.last_text);
}

void WriteBrailleRow(Console& c, std::string_view text) {
  auto& b = c.braille;
  std::string braille = TranscribeBraille(text, &b.text_paren);
  LogRow(c, text, braille);
  if (!Reachable(c)) return;
  if (!b.device->WriteCells(BrailleCellsOf(braille, b.device->CellCount()))) Lost(c);
}

void TakeBrailleKeys(Console& c) {
  auto& b = c.braille;
  if (!b.device) return;
  BrailleKey key;
  while (b.device->ReadKey(&key)) {
    std::string bytes = BrailleKeyToConsole(key);
    if (!bytes.empty()) PushKeyBytes(c, bytes);
  }
  if (!b.device->IsOpen()) Lost(c);
}

bool OpenBrailleLog(Console& c, const std::string& path) {
  CloseBrailleLog(c);
  c.braille.log = OpenHostFile(path, "ab");
  return c.braille.log != nullptr;
}

void CloseBrailleLog(Console& c) {
  if (c.braille.log) std::fclose(c.braille.log);
  c.braille.log = nullptr;
}

}  // namespace kal
