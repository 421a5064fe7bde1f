// The console's operations on the screen of the installed console
// (console_state.h): the grid, the key queue, the front end, and the waits
// that keep input flowing into the queue.
#include "6_console/console.h"
#include "6_console/console_messages.h"
#include "6_console/console_state.h"

#include <algorithm>
#include <cstdio>

#include "0_base/keys.h"
#include "6_console/braille_display.h"
#include "6_console/braille_keyboard.h"
#include "6_console/console_painter.h"
#include "0_base/console_grid.h"
#include "2_config/console_settings.h"
#include "3_audio/console_sound.h"
#include "6_console/key_decoder.h"
#include "6_console/key_pacer.h"
#include "6_console/key_queue.h"
#include "6_console/small_terminal.h"
#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "1_platform/event_loop.h"
#include "1_platform/stop_request.h"
#include "1_platform/pump.h"

namespace kal {
namespace {

// Ctrl+]: the break key on a terminal.
constexpr uint8_t kBreakByte = 29;

// The screen of the installed console, which becomes the key input and the
// notice writer of the platform at its first use.
ConsoleScreen& S() {
  Console& c = InstalledConsole();
  if (!c.hooked) c.Hook();
  return c.screen;
}

// The loop and the platform state the installed console was built with.
EventLoop& ConsoleLoop() { return InstalledConsole().loop; }
Platform& ConsolePlatform() { return InstalledConsole().platform; }

void TakeInput();
void SetBrailleMode(int mode);

bool Paced() { return S().front && S().front->InputWrittenAhead(); }

// Watches the input descriptor only while the queue has room: a full queue
// leaves further keys with the system, and a readable descriptor that is
// not read would wake every wait at once.
void UpdateWatch() {
  auto& s = S();
  int fd = s.front ? s.front->InputFd() : -1;
  bool room = Paced() ? s.pacer.room() > 0 : s.keys.room() > 0;
  bool want = fd >= 0 && !s.suspended && !s.source_ended && room;
  if (want == s.watching) return;
  if (want) {
    ConsoleLoop().Watch(fd, [] { TakeInput(); });
  } else {
    ConsoleLoop().Unwatch(fd);
  }
  s.watching = want;
}

// The break key: Ctrl+Break where the input reports it, and on a terminal
// Ctrl+] (byte 29), a control byte that no key of the program uses (the
// field editor keeps Ctrl+\ for dialling the field).
bool IsBreak(const KeyEvent& e) {
  if (e.kind == KeyEvent::kBreak) return true;
  auto& s = S();
  return e.kind == KeyEvent::kChar && e.code == kBreakByte && (e.mods & kModCtrl) && s.front && s.front->TerminalKeys();
}

// Puts decoded keys into the queue by its rules; some keys act at once.
void Deliver(const std::vector<KeyEvent>& events) {
  auto& s = S();
  for (const KeyEvent& e : events) {
    bool ctrl = e.mods & kModCtrl;
    if (IsBreak(e)) {
      if (s.check_break) {
        RunEnd end = EndOf(EndReason::kInterrupted);
        end.break_key = true;
        RequestStop(ConsolePlatform(), end);
        s.keys.Clear();
      }
      continue;
    }
    switch (e.kind) {
      case KeyEvent::kChar:
        // With the chord keyboard on, letters and space come from chords.
        if (s.braille.on() && s.front && s.front->ReportsKeyReleases() && !ctrl &&
            (e.code == ' ' || (e.code >= 'a' && e.code <= 'z') || (e.code >= 'A' && e.code <= 'Z'))) {
          s.braille.KeyDown(e.code, ctrl);
          break;
        }
        s.keys.PushByte(e.code, e.mods);
        break;
      case KeyEvent::kKeyUp: {
        int byte = BrailleKeyboard::kNothing;
        s.braille.KeyUp(e.code, ctrl, &byte);
        if (byte != BrailleKeyboard::kNothing) s.keys.PushByte(static_cast<uint8_t>(byte), 0);
        break;
      }
      case KeyEvent::kExtended:
        // Ctrl+Alt+F12 turns the chord keyboard off, Ctrl+Alt+F11 steps its mode.
        if (ctrl && (e.mods & kModAlt) && (e.code == 105 || e.code == 104)) {
          SetBrailleMode(e.code == 105 ? 0 : s.braille.mode() + 1);
          break;
        }
        s.keys.PushExtended(e.code, e.mods);
        break;
      case KeyEvent::kBreak:
        break;
      case KeyEvent::kMouseChar:
      case KeyEvent::kMouseExtended:
        if (!s.mouse_enabled) break;
        if (s.ignore_next_click) {
          s.ignore_next_click = false;
          break;
        }
        if (e.kind == KeyEvent::kMouseExtended) s.keys.PushByte(0, 0);
        s.keys.PushByte(e.code, 0);
        break;
    }
  }
}

// Keys typed at the keyboard: what the front end has, as far as the queue
// has room for it (every raw byte gives at most one queued byte).
void TakeTypedInput(std::vector<KeyEvent>* events) {
  auto& s = S();
  while (!s.input_ended) {
    int room = static_cast<int>(s.keys.room()) - static_cast<int>(s.decoder.pending_size());
    if (room <= 0) break;
    char buf[KeyQueue::kCapacity];
    int n = s.front->ReadInput(buf, room);
    if (n < 0) {
      s.input_ended = s.source_ended = true;
      s.decoder.Flush(ConsoleLoop().NowMs(), events, true);
      break;
    }
    if (n == 0) break;
    s.decoder.Feed(std::string_view(buf, n), ConsoleLoop().NowMs(), events);
    Deliver(*events);
    events->clear();
  }
}

// Keys written ahead: what the front end has goes to the pacer, and the
// pacer gives the key that may be typed now, if any.
void TakePacedInput(std::vector<KeyEvent>* events) {
  auto& s = S();
  while (!s.source_ended && s.pacer.room() > 0) {
    char buf[512];
    int n = s.front->ReadInput(buf, static_cast<int>(std::min(sizeof buf, s.pacer.room())));
    if (n < 0) s.source_ended = true;
    if (n <= 0) break;
    s.pacer.Add(std::string_view(buf, static_cast<size_t>(n)));
  }
  int64_t now = ConsoleLoop().NowMs();
  size_t room = s.keys.room() - std::min(s.keys.room(), s.decoder.pending_size());
  std::string key = s.pacer.Next(now, room);
  if (!key.empty()) s.decoder.Feed(key, now, events);
  if (s.source_ended && s.pacer.Empty() && !s.input_ended) {
    s.input_ended = true;
    s.decoder.Flush(now, events, true);
  }
}

// Reads what the front end has, without blocking.
void TakeInput() {
  auto& s = S();
  if (!s.front || s.suspended) return;
  std::vector<KeyEvent> events;
  if (Paced()) {
    TakePacedInput(&events);
  } else {
    TakeTypedInput(&events);
  }
  if (s.decoder.Pending()) s.decoder.Flush(ConsoleLoop().NowMs(), &events);
  Deliver(events);
  UpdateWatch();
}

// Shows the grid, on the braille display too (the cursor's row).
void Present() {
  if (S().front) S().front->Present(S().grid);
  FollowCursorRow(S().grid);
}

// A beep of the chord keyboard's signals.
void Tone(int frequency, int ms) {
  WavePlayer& player = InstalledConsole().speech.player;
  Sound(player, frequency);
  Delay(ConsolePlatform(), ms);
  NoSound(player);
}

void SetBrailleMode(int mode) {
  auto& s = S();
  bool was_on = s.braille.on();
  s.braille.SetMode(mode);
  if (s.front) s.front->SetKeyReleases(s.braille.on());
  switch (s.braille.mode()) {
    case 0:
      if (was_on) Tone(100, 200);
      break;
    case 1:
      Tone(800, 200);
      Tone(1600, 200);
      break;
    case 2:
      Tone(800, 200);
      Tone(400, 200);
      break;
  }
}

KeyDecoder MakeDecoder(const ConsoleFrontEnd* front) {
  if (front && front->TerminalKeys())
    return KeyDecoder(KeyDecoder::Source::kTerminal, static_cast<uint8_t>(front->EraseByte()));
  return KeyDecoder(KeyDecoder::Source::kStream);
}

}  // namespace

void SetConsoleFrontEnd(std::unique_ptr<ConsoleFrontEnd> front) {
  auto& s = S();
  if (s.watching && s.front) ConsoleLoop().Unwatch(s.front->InputFd());
  s.watching = false;
  s.front = std::move(front);
  s.decoder = MakeDecoder(s.front.get());
  s.pacer = KeyPacer();
  s.source_ended = false;
  s.painter.Forget();
  if (s.front) s.front->SetFramePainter([](bool full) { return S().painter.Frame(S().grid, full); });
  UpdateWatch();
}

// The console's screen, as S() gives the installed one: the console becomes
// the key input and the notice writer at its first use.
ConsoleScreen& ScreenOf(Console& c) {
  if (!c.hooked) c.Hook();
  return c.screen;
}

ConsoleFrontEnd* FrontEndOf(Console& console) { return ScreenOf(console).front.get(); }
ConsoleGrid& GridOf(Console& console) { return ScreenOf(console).grid; }

void InitConsole() {
  auto& s = S();
  if (s.created) return;
  s.created = true;
  ConsoleSettings cfg = ReadConsoleSettings(InstalledConsole().config);
  s.grid = ConsoleGrid(ConsoleGrid::kWidth, ConsoleGrid::kHeight,
                       static_cast<uint8_t>(cfg.background * 16 + cfg.foreground));
  std::array<int, 16> table;
  for (int i = 0; i < 16; ++i) table[i] = i;
  ParseColourTable(cfg.colour_table, &table);
  for (int i = 0; i < 16; ++i) s.grid.set_colour_entry(i, table[i]);
  s.grid.set_colours_allowed(!cfg.colours_fixed);
  s.painter.set_slow_scroll(cfg.slow_scroll);
  s.painter.Forget();
  OpenBrailleDisplay();
  Present();
  if (cfg.braille_mode != 0) SetBrailleMode(cfg.braille_mode);
}

void SetBrailleKeyboardMode(int mode) {
  InitConsole();
  SetBrailleMode(mode);
}

int BrailleKeyboardMode() { return S().braille.mode(); }

void ConsoleWrite(std::string_view bytes) {
  InitConsole();
  auto& s = S();
  uint64_t bells = s.grid.bells();
  // A row that a line feed leaves goes to the braille display before the
  // cursor moves on, so that a written line is shown even when the next
  // one follows in the same write.
  std::string_view rest = bytes;
  for (size_t lf; (lf = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(lf + 1)) {
    s.grid.Write(rest.substr(0, lf));
    FollowCursorRow(s.grid);
    s.grid.Write("\n");
  }
  s.grid.Write(rest);
  FollowCursorRow(s.grid);
  if (s.front) {
    s.front->OnWrite(bytes);
    if (s.grid.bells() != bells) s.front->Bell();
    s.front->Present(s.grid);
  }
  TakeInput();
}

void DrawOnConsole(std::string_view bytes) {
  InitConsole();
  S().grid.Write(bytes);
  Present();
}

void AddToTranscript(std::string_view bytes) {
  if (S().front) S().front->OnWrite(bytes);
}

void ConsoleWriteLine(std::string_view bytes) {
  std::string line(bytes);
  line += "\r\n";
  ConsoleWrite(line);
}

namespace {

// A terminal smaller than the grid shows only the part around the cursor:
// said once per terminal session (6_console/small_terminal.h), written on
// the first fresh screen within the columns the terminal shows, and spoken
// when the program first waits for a key, so that it never holds up the
// start; a key cuts it short.
void SayIfTerminalSmall() {
  auto& s = S();
  if (s.small_said || !s.front || !s.front->SmallerThanGrid()) return;
  s.small_said = true;
  if (SmallTerminalToldBefore(s.front->TerminalName())) return;
  std::string notice = L1(console_msg::kSmallTerminal);
  for (const std::string& line : WrapText(notice, s.front->VisibleColumns())) ConsoleWriteLine(line);
  s.small_speech = notice;
}

// The notice waiting to be said, when no key is there to cut it short.
void SaySmallTerminalNotice() {
  auto& s = S();
  if (s.small_speech.empty() || !s.keys.Empty() || StopRequested(ConsolePlatform())) return;
  std::string notice = std::move(s.small_speech);
  s.small_speech.clear();
  SpeakText(InstalledConsole().speech, notice);
}

}  // namespace

void ClearScreen() {
  InitConsole();
  S().grid.Clear();
  Present();
  SayIfTerminalSmall();
}

void ClearEol() {
  InitConsole();
  S().grid.ClearEol();
  Present();
}

void GotoXY(int column, int row) {
  InitConsole();
  S().grid.GotoXY(column, row);
  Present();
}

int WhereX() {
  InitConsole();
  return S().grid.X() + 1;
}

int WhereY() {
  InitConsole();
  return S().grid.Y() + 1;
}

void TextColor(int colour) {
  InitConsole();
  S().grid.TextColor(colour);
}

void TextBackground(int colour) {
  InitConsole();
  S().grid.TextBackground(colour);
}

void SetConsoleTitle(std::string_view title) {
  S().title = std::string(title);
  if (S().front) S().front->SetTitle(title);
}

std::string ConsoleTitle() { return S().title; }

void RefreshConsole() { Present(); }

bool InputEnded() {
  TakeInput();
  return S().input_ended && S().keys.Empty() && !S().decoder.Pending();
}

namespace {

bool KeyWaiting() {
  InitConsole();
  ConsoleLoop().Wait(0);
  TakeInput();
  return !S().keys.Empty() || StopRequested(ConsolePlatform());
}

// The wait for a key of ReadKey: the caret is shown while it lasts; at the
// end of the input, with the queue empty, the stop is requested and no key
// (kNoKeyByte) is the answer.
uint8_t ReadQueuedKey() {
  auto& s = S();
  SaySmallTerminalNotice();
  bool caret = false;
  while (!KeyWaiting()) {
    if (InputEnded()) {
      RequestStop(ConsolePlatform(), EndOf(EndReason::kInputEnded));
      break;
    }
    if (s.front) {
      if (!caret) s.front->ShowCaret(true);
      caret = true;
      s.front->WaitingForKey();
    }
    // A key written ahead may be typed now, unless one is still being read
    // (a lone Esc waiting for its pause).
    if (!s.decoder.Pending()) s.pacer.AllowNext();
    TakeInput();
    if (!s.keys.Empty()) continue;
    // A held Esc needs a wake-up when its pause is over, and so does a key
    // written ahead that waits for the pause after a lone Esc.
    bool soon = s.decoder.Pending() || !s.pacer.Empty();
    ConsoleLoop().Wait(soon ? KeyDecoder::kEscPauseMs / 5 : 100);
  }
  if (caret && s.front) s.front->ShowCaret(false);
  s.pacer.Withhold();  // the wait is over: the next key waits for the next one
  if (StopRequested(ConsolePlatform())) {
    s.last_mods = 0;
    return kNoKeyByte;
  }
  uint8_t k = s.keys.Pop(&s.last_mods);
  UpdateWatch();
  return k;
}

}  // namespace

void ConsoleKeys::Open() { InitConsole(); }
void ConsoleKeys::TakeInput() { kal::TakeInput(); }
bool ConsoleKeys::KeyQueued() { return !S().keys.Empty(); }
uint8_t ConsoleKeys::ReadKey() { return ReadQueuedKey(); }

void ConsoleKeys::ClearQueue() {
  S().keys.Clear();
  UpdateWatch();
}

uint8_t LastKeyModifiers() { return S().last_mods; }

bool PushKeyBytes(std::string_view bytes) {
  if (S().keys.size() + bytes.size() > KeyQueue::kCapacity) return false;
  for (char c : bytes) S().keys.PushByte(static_cast<uint8_t>(c));
  return true;
}

void PushKeyEvents(const std::vector<KeyEvent>& events) {
  Deliver(events);
  UpdateWatch();
}

size_t KeyQueueSize() { return S().keys.size(); }

bool DropKeysWrittenAhead() {
  auto& s = S();
  bool any = !s.pacer.Empty();
  s.pacer = KeyPacer();
  UpdateWatch();
  return any;
}

void SetCheckEof(bool on) { S().check_eof = on; }
void SetMouseEnabled(bool on) { S().mouse_enabled = on; }
void IgnoreNextClick() { S().ignore_next_click = true; }

std::string ConsoleReadLine() {
  std::string line;
  for (;;) {
    uint8_t k = ReadKey(ConsolePlatform());
    if (StopRequested(ConsolePlatform())) return line;
    if (k == kKeyEnter) {
      ConsoleWrite("\r\n");
      return line + "\r\n";
    }
    if (k == kKeyCtrlZ && S().check_eof) return line + "\x1A";
    if (k == kKeyBackspace) {
      if (!line.empty()) {
        line.pop_back();
        ConsoleWrite("\b");
      }
      continue;
    }
    if (k == 0) {
      ReadKey(ConsolePlatform());  // the scan code of an extended key is not text
      continue;
    }
    if (k >= 32 && line.size() < 126) {
      line.push_back(static_cast<char>(k));
      ConsoleWrite(std::string(1, static_cast<char>(k)));
    }
  }
}

void SuspendConsole() {
  auto& s = S();
  if (s.suspended) return;
  s.suspended = true;
  UpdateWatch();
  if (s.front) s.front->Suspend();
}

void ResumeConsole() {
  auto& s = S();
  if (!s.suspended) return;
  s.suspended = false;
  if (s.front) {
    s.front->Resume();
    s.front->SetTitle(s.title);
    s.front->Present(s.grid);
  }
  UpdateWatch();
}

void EndConsoleOnStop() {
  auto& s = S();
  s.check_break = false;
  s.keys.Clear();
  if (s.front) s.front->Restore();
}

void EndConsoleNormally() {
  auto& s = S();
  s.check_break = false;
  SetConsoleTitle("Programa terminado");
  if (s.front) s.front->Restore();
}

void EndConsoleAfterError() {
  if (S().front) S().front->Restore();
}

}  // namespace kal
