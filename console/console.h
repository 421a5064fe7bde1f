// The console: one 80x25 text window with its key queue, shown through a
// front end (terminal or headless). All operations run on the one thread;
// every wait goes through the event loop, pumping input into the key queue.
//
// The module keeps one console for the process (console/console.cpp); tests
// make a fresh one with ResetConsoleForTest.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/console_frontend.h"

namespace kal {

class ConsoleGrid;

// Installs the front end (main does it once; tests before each run).
void SetConsoleFrontEnd(std::unique_ptr<ConsoleFrontEnd> front);
ConsoleFrontEnd* FrontEnd();
ConsoleGrid& Grid();

// Fresh console state over a memory front end; output text lands in *out.
void ResetConsoleForTest(std::string keys, std::string* out);

void InitConsole();
void ConsoleWrite(std::string_view bytes);
void ConsoleWriteLine(std::string_view bytes);  // the bytes, then CR LF
void ClearScreen();
void ClearEol();
void GotoXY(int column, int row);  // 1-based, clamped
int WhereX();
int WhereY();
void TextColor(int colour);
void TextBackground(int colour);
void SetConsoleTitle(std::string_view title);
std::string ConsoleTitle();

// Sleeps ms (virtual time in tests) while keeping input flowing.
void Delay(int ms);
// Takes pending input into the key queue without sleeping.
void PumpMessages();

// Key queue (the key byte stream: plain bytes, extended keys as 0 + scan).
bool KeyPressed();
uint8_t ReadKey();
// Appends decoded key bytes; returns false when the queue has no room.
bool PushKeyBytes(std::string_view bytes);
void ClearKeyQueue();

// Standard-input line read without speech (at most 126 characters); the
// result ends with CR LF as the line was stored.
std::string ConsoleReadLine();

// True once the input has ended and the queue is empty: a wait for a key
// can never be satisfied.
bool InputEnded();

// Ends the program as closing the window would: a line on standard error,
// a non-zero exit code.
[[noreturn]] void DoneConsole(int code);

// The normal end: the title becomes "Programa terminado", the front end is
// restored.
void EndConsoleNormally();

}  // namespace kal
