// The waits over the event loop, for every layer.
//
// A delay, a look at the keyboard, a wait for a key: audio, the voices and
// the speech facade need them while they play, and they must keep keys
// flowing into the console's key queue as every wait of the program does.
// The queue belongs to the console, above them, so the console implements
// KeyInput and installs it here; the waits below call these functions and
// never the console. Each wait works on the platform state it is given: its
// loop, its key input and its stop request.
#pragma once

#include <cstdint>

namespace kal {

struct Platform;

// The key queue as the waits see it; the console implements and installs it.
class KeyInput {
 public:
  virtual ~KeyInput() = default;
  // Makes the console ready before its first wait (it is drawn once).
  virtual void Open() = 0;
  // Takes pending input into the key queue without sleeping.
  virtual void TakeInput() = 0;
  // Whether the queue holds a key (nothing is read from the input).
  virtual bool KeyQueued() = 0;
  // Waits for a key and takes it from the queue.
  virtual uint8_t ReadKey() = 0;
  virtual void ClearQueue() = 0;
};

// Installs the key input (nullptr: none). Without one there are no keys:
// KeyPressed is false and ReadKey answers Enter at once, so no wait hangs.
void SetKeyInput(Platform& platform, KeyInput* input);

// Once a stop is requested (1_platform/stop_request.h) every wait unwinds:
// Delay returns, KeyPressed is true (a waiting key cuts every sound short)
// and ReadKey answers kNoKeyByte at once.

// Sleeps ms (virtual time in tests) while keeping input flowing.
void Delay(Platform& platform, int ms);
// Takes pending input into the key queue without sleeping.
void PumpMessages(Platform& platform);
// Runs what was posted to the loop and the handlers of ready descriptors,
// without sleeping and without taking keys.
void RunPostedTasks(Platform& platform);
// Key queue (the key byte stream: plain bytes, extended keys as 0 + scan).
bool KeyPressed(Platform& platform);
// The console's ReadKey requests the stop itself when the input has ended
// and no key can come.
uint8_t ReadKey(Platform& platform);
void ClearKeyQueue(Platform& platform);

}  // namespace kal
