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

BrailleState& B() { return InstalledConsole().braille; }
EventLoop& ConsoleLoop() { return InstalledConsole().loop; }

void Unwatch() {
  auto& b = B();
  if (b.watched_fd >= 0) ConsoleLoop().Unwatch(b.watched_fd);
  b.watched_fd = -1;
}

void Watch() {
  auto& b = B();
  Unwatch();
  int fd = b.device ? b.device->KeyFd() : -1;
  if (fd < 0) return;
  ConsoleLoop().Watch(fd, [] { TakeBrailleKeys(); });
  b.watched_fd = fd;
}

// One connection attempt; the next may come kBrailleRetryMs later.
bool Connect() {
  auto& b = B();
  b.next_try_ms = ConsoleLoop().NowMs() + kBrailleRetryMs;
  if (!b.device->Open()) return false;
  Watch();
  return true;
}

// The connection went away: stop watching a descriptor that is closed.
void Lost() {
  auto& b = B();
  Unwatch();
  b.next_try_ms = ConsoleLoop().NowMs() + kBrailleRetryMs;
}

bool Reachable() {
  auto& b = B();
  if (!b.device) return false;
  if (b.device->IsOpen()) return true;
  return ConsoleLoop().NowMs() >= b.next_try_ms && Connect();
}

std::string TrimRight(std::string_view s) {
  size_t n = s.find_last_not_of(' ');
  return std::string(s.substr(0, n == std::string_view::npos ? 0 : n + 1));
}

void LogRow(std::string_view text, std::string_view braille) {
  auto& b = B();
  if (!b.log) return;
  std::string line = std::to_string(b.last_row + 1) + "\t" + Latin1ToUtf8(TrimRight(text)) + "\t" +
                     Latin1ToUtf8(TrimRight(braille)) + "\n";
  std::fputs(line.c_str(), b.log);
  std::fflush(b.log);
}

bool SameAsSent(const ConsoleGrid& grid, int row) {
  auto& b = B();
  if (row != b.last_row || static_cast<int>(b.last_text.size()) != grid.width()) return false;
  for (int x = 0; x < grid.width(); ++x)
    if (grid.Cell(x, row) != b.last_text[x]) return false;
  return true;
}

}  // namespace

void SetBrailleDevice(std::unique_ptr<BrailleDevice> device) {
  auto& b = B();
  Unwatch();
  if (b.device) b.device->Close();
  b.device = std::move(device);
  b.next_try_ms = 0;
  b.last_row = -1;
}

bool OpenBrailleDisplay() {
  auto& b = B();
  if (!b.device) return false;
  b.last_row = -1;  // the first row goes out whatever was shown before
  return b.device->IsOpen() || Connect();
}

bool BrailleAttached() { return B().device && B().device->IsOpen(); }

void FollowCursorRow(const ConsoleGrid& grid) {
  auto& b = B();
  if (!b.device && !b.log) return;
  int row = grid.Y();
  if (SameAsSent(grid, row)) return;
  b.last_row = row;
  b.last_text = grid.RowText(row);
  WriteBrailleRow(b.last_text);
}

void WriteBrailleRow(std::string_view text) {
  auto& b = B();
  std::string braille = TranscribeBraille(text, &b.text_paren);
  LogRow(text, braille);
  if (!Reachable()) return;
  if (!b.device->WriteCells(BrailleCellsOf(braille, b.device->CellCount()))) Lost();
}

void TakeBrailleKeys() {
  auto& b = B();
  if (!b.device) return;
  BrailleKey key;
  while (b.device->ReadKey(&key)) {
    std::string bytes = BrailleKeyToConsole(key);
    if (!bytes.empty()) PushKeyBytes(bytes);
  }
  if (!b.device->IsOpen()) Lost();
}

bool OpenBrailleLog(const std::string& path) {
  CloseBrailleLog();
  B().log = OpenHostFile(path, "ab");
  return B().log != nullptr;
}

void CloseBrailleLog() {
  if (B().log) std::fclose(B().log);
  B().log = nullptr;
}

}  // namespace kal
