// The console's operations on the screen of the console they are given
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

// The console's screen: the console becomes the key input and the notice
// writer of its platform at the first use.
ConsoleScreen& ScreenOf(Console& c) {
  if (!c.hooked) c.Hook();
  return c.screen;
}

void TakeInput(Console& c);
void SetBrailleMode(Console& c, int mode);

bool Paced(Console& c) { return ScreenOf(c).front && ScreenOf(c).front->InputWrittenAhead(); }

// Watches the input descriptor only while the queue has room: a full queue
// leaves further keys with the system, and a readable descriptor that is
// not read would wake every wait at once.
void UpdateWatch(Console& c) {
  auto& s = ScreenOf(c);
  int fd = s.front ? s.front->InputFd() : -1;
  bool room = Paced(c) ? s.pacer.room() > 0 : s.keys.room() > 0;
  bool want = fd >= 0 && !s.suspended && !s.source_ended && room;
  if (want == s.watching) return;
  if (want) {
    c.loop.Watch(fd, [&c] { TakeInput(c); });
  } else {
    c.loop.Unwatch(fd);
  }
  s.watching = want;
}

// The break key: Ctrl+Break where the input reports it, and on a terminal
// Ctrl+] (byte 29), a control byte that no key of the program uses (the
// field editor keeps Ctrl+\ for dialling the field).
bool IsBreak(Console& c, const KeyEvent& e) {
  if (e.kind == KeyEvent::kBreak) return true;
  auto& s = ScreenOf(c);
  return e.kind == KeyEvent::kChar && e.code == kBreakByte && (e.mods & kModCtrl) && s.front && s.front->TerminalKeys();
}

// Puts decoded keys into the queue by its rules; some keys act at once.
void Deliver(Console& c, const std::vector<KeyEvent>& events) {
  auto& s = ScreenOf(c);
  for (const KeyEvent& e : events) {
    bool ctrl = e.mods & kModCtrl;
    if (IsBreak(c, e)) {
      if (s.check_break) {
        RunEnd end = EndOf(EndReason::kInterrupted);
        end.break_key = true;
        RequestStop(c.platform, end);
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
          SetBrailleMode(c, e.code == 105 ? 0 : s.braille.mode() + 1);
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
void TakeTypedInput(Console& c, std::vector<KeyEvent>* events) {
  auto& s = ScreenOf(c);
  while (!s.input_ended) {
    int room = static_cast<int>(s.keys.room()) - static_cast<int>(s.decoder.pending_size());
    if (room <= 0) break;
    char buf[KeyQueue::kCapacity];
    int n = s.front->ReadInput(buf, room);
    if (n < 0) {
      s.input_ended = s.source_ended = true;
      s.decoder.Flush(c.loop.NowMs(), events, true);
      break;
    }
    if (n == 0) break;
    s.decoder.Feed(std::string_view(buf, n), c.loop.NowMs(), events);
    Deliver(c, *events);
    events->clear();
  }
}

// Keys written ahead: what the front end has goes to the pacer, and the
// pacer gives the key that may be typed now, if any.
void TakePacedInput(Console& c, std::vector<KeyEvent>* events) {
  auto& s = ScreenOf(c);
  while (!s.source_ended && s.pacer.room() > 0) {
    char buf[512];
    int n = s.front->ReadInput(buf, static_cast<int>(std::min(sizeof buf, s.pacer.room())));
    if (n < 0) s.source_ended = true;
    if (n <= 0) break;
    s.pacer.Add(std::string_view(buf, static_cast<size_t>(n)));
  }
  int64_t now = c.loop.NowMs();
  size_t room = s.keys.room() - std::min(s.keys.room(), s.decoder.pending_size());
  std::string key = s.pacer.Next(now, room);
  if (!key.empty()) s.decoder.Feed(key, now, events);
  if (s.source_ended && s.pacer.Empty() && !s.input_ended) {
    s.input_ended = true;
    s.decoder.Flush(now, events, true);
  }
}

// Reads what the front end has, without blocking.
void TakeInput(Console& c) {
  auto& s = ScreenOf(c);
  if (!s.front || s.suspended) return;
  std::vector<KeyEvent> events;
  if (Paced(c)) {
    TakePacedInput(c, &events);
  } else {
    TakeTypedInput(c, &events);
  }
  if (s.decoder.Pending()) s.decoder.Flush(c.loop.NowMs(), &events);
  Deliver(c, events);
  UpdateWatch(c);
}

// Shows the grid, on the braille display too (the cursor's row).
void Present(Console& c) {
  if (ScreenOf(c).front) ScreenOf(c).front->Present(ScreenOf(c).grid);
  FollowCursorRow(c, ScreenOf(c).grid);
}

// A beep of the chord keyboard's signals.
void Tone(Console& c, int frequency, int ms) {
  WavePlayer& player = c.speech.player;
  Sound(player, frequency);
  Delay(c.platform, ms);
  NoSound(player);
}

void SetBrailleMode(Console& c, int mode) {
  auto& s = ScreenOf(c);
  bool was_on = s.braille.on();
  s.braille.SetMode(mode);
  if (s.front) s.front->SetKeyReleases(s.braille.on());
  switch (s.braille.mode()) {
    case 0:
      if (was_on) Tone(c, 100, 200);
      break;
    case 1:
      Tone(c, 800, 200);
      Tone(c, 1600, 200);
      break;
    case 2:
      Tone(c, 800, 200);
      Tone(c, 400, 200);
      break;
  }
}

KeyDecoder MakeDecoder(const ConsoleFrontEnd* front) {
  if (front && front->TerminalKeys())
    return KeyDecoder(KeyDecoder::Source::kTerminal, static_cast<uint8_t>(front->EraseByte()));
  return KeyDecoder(KeyDecoder::Source::kStream);
}

}  // namespace

void SetConsoleFrontEnd(Console& c, std::unique_ptr<ConsoleFrontEnd> front) {
  auto& s = ScreenOf(c);
  if (s.watching && s.front) c.loop.Unwatch(s.front->InputFd());
  s.watching = false;
  s.front = std::move(front);
  s.decoder = MakeDecoder(s.front.get());
  s.pacer = KeyPacer();
  s.source_ended = false;
  s.painter.Forget();
  if (s.front) s.front->SetFramePainter([&c](bool full) { return c.screen.painter.Frame(c.screen.grid, full); });
  UpdateWatch(c);
}

ConsoleFrontEnd* FrontEndOf(Console& console) { return ScreenOf(console).front.get(); }
ConsoleGrid& GridOf(Console& console) { return ScreenOf(console).grid; }

void InitConsole(Console& c) {
  auto& s = ScreenOf(c);
  if (s.created) return;
  s.created = true;
  ConsoleSettings cfg = ReadConsoleSettings(c.config);
  s.grid = ConsoleGrid(ConsoleGrid::kWidth, ConsoleGrid::kHeight,
                       static_cast<uint8_t>(cfg.background * 16 + cfg.foreground));
  std::array<int, 16> table;
  for (int i = 0; i < 16; ++i) table[i] = i;
  ParseColourTable(cfg.colour_table, &table);
  for (int i = 0; i < 16; ++i) s.grid.set_colour_entry(i, table[i]);
  s.grid.set_colours_allowed(!cfg.colours_fixed);
  s.painter.set_slow_scroll(cfg.slow_scroll);
  s.painter.Forget();
  OpenBrailleDisplay(c);
  Present(c);
  if (cfg.braille_mode != 0) SetBrailleMode(c, cfg.braille_mode);
}

void SetBrailleKeyboardMode(Console& c, int mode) {
  InitConsole(c);
  SetBrailleMode(c, mode);
}

int BrailleKeyboardMode(Console& c) { return ScreenOf(c).braille.mode(); }

void ConsoleWrite(Console& c, std::string_view bytes) {
  InitConsole(c);
  auto& s = ScreenOf(c);
  uint64_t bells = s.grid.bells();
  // A row that a line feed leaves goes to the braille display before the
  // cursor moves on, so that a written line is shown even when the next
  // one follows in the same write.
  std::string_view rest = bytes;
  for (size_t lf; (lf = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(lf + 1)) {
    s.grid.Write(rest.substr(0, lf));
    FollowCursorRow(c, s.grid);
    s.grid.Write("\n");
  }
  s.grid.Write(rest);
  FollowCursorRow(c, s.grid);
  if (s.front) {
    s.front->OnWrite(bytes);
    if (s.grid.bells() != bells) s.front->Bell();
    s.front->Present(s.grid);
  }
  TakeInput(c);
}

void DrawOnConsole(Console& c, std::string_view bytes) {
  InitConsole(c);
  ScreenOf(c).grid.Write(bytes);
  Present(c);
}

void AddToTranscript(Console& c, std::string_view bytes) {
  if (ScreenOf(c).front) ScreenOf(c).front->OnWrite(bytes);
}

void ConsoleWriteLine(Console& c, std::string_view bytes) {
  std::string line(bytes);
  line += "\r\n";
  ConsoleWrite(c, line);
}

namespace {

// A terminal smaller than the grid shows only the part around the cursor:
// said once per terminal session (6_console/small_terminal.h), written on
// the first fresh screen within the columns the terminal shows, and spoken
// when the program first waits for a key, so that it never holds up the
// start; a key cuts it short.
void SayIfTerminalSmall(Console& c) {
  auto& s = ScreenOf(c);
  if (s.small_said || !s.front || !s.front->SmallerThanGrid()) return;
  s.small_said = true;
  if (SmallTerminalToldBefore(s.front->TerminalName())) return;
  std::string notice = L1(console_msg::kSmallTerminal);
  for (const std::string& line : WrapText(notice, s.front->VisibleColumns())) ConsoleWriteLine(c, line);
  s.small_speech = notice;
}

// The notice waiting to be said, when no key is there to cut it short.
void SaySmallTerminalNotice(Console& c) {
  auto& s = ScreenOf(c);
  if (s.small_speech.empty() || !s.keys.Empty() || StopRequested(c.platform)) return;
  std::string notice = std::move(s.small_speech);
  s.small_speech.clear();
  SpeakText(c.speech, notice);
}

}  // namespace

void ClearScreen(Console& c) {
  InitConsole(c);
  ScreenOf(c).grid.Clear();
  Present(c);
  SayIfTerminalSmall(c);
}

void ClearEol(Console& c) {
  InitConsole(c);
  ScreenOf(c).grid.ClearEol();
  Present(c);
}

void GotoXY(Console& c, int column, int row) {
  InitConsole(c);
  ScreenOf(c).grid.GotoXY(column, row);
  Present(c);
}

int WhereX(Console& c) {
  InitConsole(c);
  return ScreenOf(c).grid.X() + 1;
}

int WhereY(Console& c) {
  InitConsole(c);
  return ScreenOf(c).grid.Y() + 1;
}

void TextColor(Console& c, int colour) {
  InitConsole(c);
  ScreenOf(c).grid.TextColor(colour);
}

void TextBackground(Console& c, int colour) {
  InitConsole(c);
  ScreenOf(c).grid.TextBackground(colour);
}

void SetConsoleTitle(Console& c, std::string_view title) {
  ScreenOf(c).title = std::string(title);
  if (ScreenOf(c).front) ScreenOf(c).front->SetTitle(title);
}

std::string ConsoleTitle(Console& c) { return ScreenOf(c).title; }

void RefreshConsole(Console& c) { Present(c); }

bool InputEnded(Console& c) {
  TakeInput(c);
  return ScreenOf(c).input_ended && ScreenOf(c).keys.Empty() && !ScreenOf(c).decoder.Pending();
}

namespace {

bool KeyWaiting(Console& c) {
  InitConsole(c);
  c.loop.Wait(0);
  TakeInput(c);
  return !ScreenOf(c).keys.Empty() || StopRequested(c.platform);
}

// The wait for a key of ReadKey: the caret is shown while it lasts; at the
// end of the input, with the queue empty, the stop is requested and no key
// (kNoKeyByte) is the answer.
uint8_t ReadQueuedKey(Console& c) {
  auto& s = ScreenOf(c);
  SaySmallTerminalNotice(c);
  bool caret = false;
  while (!KeyWaiting(c)) {
    if (InputEnded(c)) {
      RequestStop(c.platform, EndOf(EndReason::kInputEnded));
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
    TakeInput(c);
    if (!s.keys.Empty()) continue;
    // A held Esc needs a wake-up when its pause is over, and so does a key
    // written ahead that waits for the pause after a lone Esc.
    bool soon = s.decoder.Pending() || !s.pacer.Empty();
    c.loop.Wait(soon ? KeyDecoder::kEscPauseMs / 5 : 100);
  }
  if (caret && s.front) s.front->ShowCaret(false);
  s.pacer.Withhold();  // the wait is over: the next key waits for the next one
  if (StopRequested(c.platform)) {
    s.last_mods = 0;
    return kNoKeyByte;
  }
  uint8_t k = s.keys.Pop(&s.last_mods);
  UpdateWatch(c);
  return k;
}

}  // namespace

void ConsoleKeys::Open() { InitConsole(console_); }
void ConsoleKeys::TakeInput() { kal::TakeInput(console_); }
bool ConsoleKeys::KeyQueued() { return !ScreenOf(console_).keys.Empty(); }
uint8_t ConsoleKeys::ReadKey() { return ReadQueuedKey(console_); }

void ConsoleKeys::ClearQueue() {
  ScreenOf(console_).keys.Clear();
  UpdateWatch(console_);
}

uint8_t LastKeyModifiers(Console& c) { return ScreenOf(c).last_mods; }

bool PushKeyBytes(Console& c, std::string_view bytes) {
  if (ScreenOf(c).keys.size() + bytes.size() > KeyQueue::kCapacity) return false;
  for (char b : bytes) ScreenOf(c).keys.PushByte(static_cast<uint8_t>(b));
  return true;
}

void PushKeyEvents(Console& c, const std::vector<KeyEvent>& events) {
  Deliver(c, events);
  UpdateWatch(c);
}

size_t KeyQueueSize(Console& c) { return ScreenOf(c).keys.size(); }

bool DropKeysWrittenAhead(Console& c) {
  auto& s = ScreenOf(c);
  bool any = !s.pacer.Empty();
  s.pacer = KeyPacer();
  UpdateWatch(c);
  return any;
}

void SetCheckEof(Console& c, bool on) { ScreenOf(c).check_eof = on; }
void SetMouseEnabled(Console& c, bool on) { ScreenOf(c).mouse_enabled = on; }
void IgnoreNextClick(Console& c) { ScreenOf(c).ignore_next_click = true; }

std::string ConsoleReadLine(Console& c) {
  std::string line;
  for (;;) {
    uint8_t k = ReadKey(c.platform);
    if (StopRequested(c.platform)) return line;
    if (k == kKeyEnter) {
      ConsoleWrite(c, "\r\n");
      return line + "\r\n";
    }
    if (k == kKeyCtrlZ && ScreenOf(c).check_eof) return line + "\x1A";
    if (k == kKeyBackspace) {
      if (!line.empty()) {
        line.pop_back();
        ConsoleWrite(c, "\b");
      }
      continue;
    }
    if (k == 0) {
      ReadKey(c.platform);  // the scan code of an extended key is not text
      continue;
    }
    if (k >= 32 && line.size() < 126) {
      line.push_back(static_cast<char>(k));
      ConsoleWrite(c, std::string(1, static_cast<char>(k)));
    }
  }
}

void SuspendConsole(Console& c) {
  auto& s = ScreenOf(c);
  if (s.suspended) return;
  s.suspended = true;
  UpdateWatch(c);
  if (s.front) s.front->Suspend();
}

void ResumeConsole(Console& c) {
  auto& s = ScreenOf(c);
  if (!s.suspended) return;
  s.suspended = false;
  if (s.front) {
    s.front->Resume();
    s.front->SetTitle(s.title);
    s.front->Present(s.grid);
  }
  UpdateWatch(c);
}

void EndConsoleOnStop(Console& c) {
  auto& s = ScreenOf(c);
  s.check_break = false;
  s.keys.Clear();
  if (s.front) s.front->Restore();
}

void EndConsoleNormally(Console& c) {
  auto& s = ScreenOf(c);
  s.check_break = false;
  SetConsoleTitle(c, "Programa terminado");
  if (s.front) s.front->Restore();
}

void EndConsoleAfterError(Console& c) {
  if (ScreenOf(c).front) ScreenOf(c).front->Restore();
}

}  // namespace kal
