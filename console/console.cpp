// The console's module state and its operations: the grid, the key queue,
// the front end, and the waits that keep input flowing into the queue.
#include "console/console.h"

#include <cstdio>
#include <deque>

#include "console/console_grid.h"
#include "console/key_decoder.h"
#include "platform/event_loop.h"
#include "platform/process.h"

namespace kal {
namespace {

constexpr size_t kKeyQueueSize = 64;

struct ConsoleState {
  std::unique_ptr<ConsoleFrontEnd> front;
  ConsoleGrid grid;
  std::deque<uint8_t> keys;
  KeyDecoder decoder;
  std::string undelivered;  // decoded keys waiting for room in the queue
  std::string title;
  bool input_ended = false;
  bool created = false;
};

ConsoleState& S() {
  static ConsoleState s;
  return s;
}

// Moves decoded keys into the queue as far as there is room.
void DeliverKeys() {
  auto& s = S();
  size_t i = 0;
  while (i < s.undelivered.size() && s.keys.size() < kKeyQueueSize) s.keys.push_back(s.undelivered[i++]);
  s.undelivered.erase(0, i);
}

// Reads what the front end has, without blocking.
void TakeInput() {
  auto& s = S();
  if (!s.front) return;
  DeliverKeys();
  while (!s.input_ended && s.undelivered.size() < kKeyQueueSize) {
    char buf[256];
    int n = s.front->ReadInput(buf, sizeof buf);
    if (n < 0) {
      s.input_ended = true;
      s.undelivered += s.decoder.Flush(INT64_MAX);
    }
    if (n <= 0) break;
    s.undelivered += s.decoder.Feed(std::string_view(buf, n), Loop().NowMs());
  }
  if (s.decoder.Pending()) s.undelivered += s.decoder.Flush(Loop().NowMs());
  DeliverKeys();
}

}  // namespace

void SetConsoleFrontEnd(std::unique_ptr<ConsoleFrontEnd> front) {
  auto& s = S();
  if (s.front && s.front->InputFd() >= 0) Loop().Unwatch(s.front->InputFd());
  s.front = std::move(front);
  if (s.front && s.front->InputFd() >= 0) Loop().Watch(s.front->InputFd(), [] { TakeInput(); });
}

ConsoleFrontEnd* FrontEnd() { return S().front.get(); }
ConsoleGrid& Grid() { return S().grid; }

void ResetConsoleForTest(std::string keys, std::string* out) {
  SetConsoleFrontEnd(nullptr);
  S().grid = ConsoleGrid();
  S().keys.clear();
  S().decoder = KeyDecoder();
  S().undelivered.clear();
  S().title.clear();
  S().input_ended = false;
  S().created = false;
  SetConsoleFrontEnd(MakeMemoryFrontEnd(std::move(keys), out));
}

void InitConsole() {
  if (S().created) return;
  S().created = true;
  if (S().front) S().front->Present(S().grid);
}

void ConsoleWrite(std::string_view bytes) {
  InitConsole();
  auto& s = S();
  s.grid.Write(bytes);
  if (s.front) {
    s.front->OnWrite(bytes);
    s.front->Present(s.grid);
  }
  TakeInput();
}

void ConsoleWriteLine(std::string_view bytes) {
  std::string line(bytes);
  line += "\r\n";
  ConsoleWrite(line);
}

void ClearScreen() {
  InitConsole();
  S().grid.Clear();
  if (S().front) S().front->Present(S().grid);
}

void ClearEol() {
  S().grid.ClearEol();
  if (S().front) S().front->Present(S().grid);
}

void GotoXY(int column, int row) {
  S().grid.GotoXY(column, row);
  if (S().front) S().front->Present(S().grid);
}

int WhereX() { return S().grid.X() + 1; }
int WhereY() { return S().grid.Y() + 1; }

void TextColor(int colour) {
  auto& g = S().grid;
  g.set_attribute(static_cast<uint8_t>((g.attribute() & 0xF0) | (colour & 0x0F)));
}

void TextBackground(int colour) {
  auto& g = S().grid;
  g.set_attribute(static_cast<uint8_t>((g.attribute() & 0x0F) | ((colour & 0x0F) << 4)));
}

void SetConsoleTitle(std::string_view title) {
  S().title = std::string(title);
  if (S().front) S().front->SetTitle(title);
}

std::string ConsoleTitle() { return S().title; }

void PumpMessages() {
  Loop().Wait(0);
  TakeInput();
}

void Delay(int ms) {
  int64_t end = Loop().NowMs() + ms;
  for (;;) {
    TakeInput();
    int64_t left = end - Loop().NowMs();
    if (left <= 0) break;
    Loop().Wait(static_cast<int>(left));
  }
  TakeInput();
}

bool KeyPressed() {
  PumpMessages();
  return !S().keys.empty();
}

bool InputEnded() {
  TakeInput();
  return S().input_ended && S().keys.empty() && S().undelivered.empty();
}

uint8_t ReadKey() {
  while (!KeyPressed()) {
    if (InputEnded()) DoneConsole(2);
    Loop().Wait(S().decoder.Pending() ? 10 : 100);
  }
  uint8_t k = S().keys.front();
  S().keys.pop_front();
  return k;
}

bool PushKeyBytes(std::string_view bytes) {
  if (S().keys.size() + bytes.size() > kKeyQueueSize) return false;
  for (char c : bytes) S().keys.push_back(static_cast<uint8_t>(c));
  return true;
}

void ClearKeyQueue() { S().keys.clear(); }

std::string ConsoleReadLine() {
  std::string line;
  for (;;) {
    uint8_t k = ReadKey();
    if (k == 13) {
      ConsoleWrite("\r\n");
      return line + "\r\n";
    }
    if (k == 8) {
      if (!line.empty()) {
        line.pop_back();
        ConsoleWrite("\b");
      }
      continue;
    }
    if (k == 0) {
      ReadKey();  // the scan code of an extended key
      continue;
    }
    if (k >= 32 && line.size() < 126) {
      line.push_back(static_cast<char>(k));
      ConsoleWrite(std::string(1, static_cast<char>(k)));
    }
  }
}

void DoneConsole(int code) {
  if (S().front) S().front->Restore();
  std::fputs(code == 2 ? "kaldorin: a entrada terminou; o programa foi encerrado.\n"
                       : "kaldorin: o programa foi encerrado.\n",
             stderr);
  ExitProgram(code);
}

void EndConsoleNormally() {
  SetConsoleTitle("Programa terminado");
  if (S().front) S().front->Restore();
}

}  // namespace kal
