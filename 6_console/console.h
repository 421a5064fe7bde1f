// Layer 6_console: the console over the platform's front ends, the key
// decoder and queue, the field editor, screen review, the console menu,
// braille, and the functions that both write and speak. It implements the
// pump's key input and the notice writer that the layers below use.
//
// The console: one 80x25 text window with its key queue, shown through a
// front end (terminal or headless). All operations run on the one thread;
// every wait goes through the event loop, pumping input into the key queue.
//
// These functions work on the console they are given (console_state.h),
// which main builds for the run and hands down; tests get a fresh one for
// each case.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "1_platform/console_frontend.h"
#include "1_platform/pump.h"

namespace kal {

class ConsoleGrid;
struct Console;
struct KeyEvent;

// Installs the front end (main does it once; tests before each run).
void SetConsoleFrontEnd(Console& console, std::unique_ptr<ConsoleFrontEnd> front);
// The console's front end (nullptr when none is installed) and its grid.
ConsoleFrontEnd* FrontEndOf(Console& console);
ConsoleGrid& GridOf(Console& console);

void InitConsole(Console& console);
void ConsoleWrite(Console& console, std::string_view bytes);
void ConsoleWriteLine(Console& console, std::string_view bytes);  // the bytes, then CR LF
void ClearScreen(Console& console);
void ClearEol(Console& console);
void GotoXY(Console& console, int column, int row);  // 1-based, clamped
int WhereX(Console& console);
int WhereY(Console& console);
void TextColor(Console& console, int colour);
void TextBackground(Console& console, int colour);
void SetConsoleTitle(Console& console, std::string_view title);
std::string ConsoleTitle(Console& console);
// Shows the grid again after a change made through GridOf(console) directly.
void RefreshConsole(Console& console);
// Draws bytes at the cursor as ConsoleWrite does, but as a picture of the
// screen only: the headless text (the transcript of what the program
// wrote) does not get them. The field editor redraws its field this way.
void DrawOnConsole(Console& console, std::string_view bytes);
// Adds bytes to the headless text only (the grid already shows them).
void AddToTranscript(Console& console, std::string_view bytes);

// The waits and the key queue's reading (Delay, PumpMessages, KeyPressed,
// ReadKey, ClearKeyQueue) are declared with the event loop in
// 1_platform/pump.h, for the layers below too; the console is their key
// input. Once a stop is requested (1_platform/stop_request.h) they unwind:
// Delay returns, KeyPressed is true and ReadKey answers kNoKeyByte at once.
// ReadKey requests the stop itself when the input has ended and no key can
// come.

// The modifiers (KeyModifier bits: Shift 1, Ctrl 2, Alt 4) that were held
// with the key ReadKey returned last.
uint8_t LastKeyModifiers(Console& console);
// Appends decoded key bytes; returns false when the queue has no room.
bool PushKeyBytes(Console& console, std::string_view bytes);
// Queues keys by the queue's rules (a two-byte code only when it fits whole).
void PushKeyEvents(Console& console, const std::vector<KeyEvent>& events);
size_t KeyQueueSize(Console& console);
// Throws away the keys written ahead that are still held back to be typed
// one at a time (standard input from a pipe or a file); true when there
// were any. They were typed before whatever now takes the keyboard.
bool DropKeysWrittenAhead(Console& console);

// The braille chord keyboard: 0 off, 1 direct, 2 with capital and number
// signs (values above 2 mean 1); each mode is announced by beeps. Chords
// need key releases, which only some front ends report; elsewhere the mode
// is kept but typing is not changed.
void SetBrailleKeyboardMode(Console& console, int mode);
int BrailleKeyboardMode(Console& console);

// End-of-file check of ConsoleReadLine (Ctrl+Z ends a line); off at start.
void SetCheckEof(Console& console, bool on);
// Mouse buttons and wheel as keys; on at start.
void SetMouseEnabled(Console& console, bool on);
// The next mouse event only clears this flag.
void IgnoreNextClick(Console& console);

// Standard-input line read without speech (at most 126 characters); the
// result ends with CR LF as the line was stored (without it when a stop
// was requested during the read).
std::string ConsoleReadLine(Console& console);

// True once the input has ended and the queue is empty: a wait for a key
// can never be satisfied.
bool InputEnded(Console& console);

// A program started in a shown mode runs in the foreground: the terminal is
// handed over (raw mode and the alternate screen left, input not read) and
// taken back afterwards, redrawn.
void SuspendConsole(Console& console);
void ResumeConsole(Console& console);

// The end of a run that was stopped (the input ended during a wait for a
// key, the break key, a signal, a voice that could not start): the queue is
// emptied and the front end restored, the title kept. Main calls it.
void EndConsoleOnStop(Console& console);

// The normal end: the title becomes "Programa terminado", the front end is
// restored.
void EndConsoleNormally(Console& console);
// The end after a run-time error: the front end is restored, the title kept.
void EndConsoleAfterError(Console& console);

}  // namespace kal
