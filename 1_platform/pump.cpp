#include "1_platform/pump.h"

#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "1_platform/stop_request.h"

namespace kal {

namespace {

constexpr uint8_t kEnter = 13;

KeyInput* Input() {
  Platform* p = InstalledPlatform();
  return p ? p->key_input : nullptr;
}

// The run's loop, which the platform state holds; nullptr when none is
// installed (after main has returned), and then a wait returns at once.
EventLoop* RunLoop() {
  Platform* p = InstalledPlatform();
  return p ? &p->loop : nullptr;
}

}  // namespace

void SetKeyInput(KeyInput* input) {
  if (Platform* p = InstalledPlatform()) p->key_input = input;
}

void PumpMessages() {
  RunPostedTasks();
  if (Input()) Input()->TakeInput();
}

void RunPostedTasks() {
  if (EventLoop* loop = RunLoop()) loop->Wait(0);
}

void Delay(int ms) {
  EventLoop* loop = RunLoop();
  if (!loop) return;
  KeyInput* in = Input();
  if (in) in->Open();
  int64_t end = loop->NowMs() + ms;
  for (;;) {
    if (in) in->TakeInput();
    if (StopRequested()) return;
    int64_t left = end - loop->NowMs();
    if (left <= 0) break;
    loop->Wait(static_cast<int>(left));
  }
  if (in) in->TakeInput();
}

bool KeyPressed() {
  if (Input()) Input()->Open();
  PumpMessages();
  return (Input() && Input()->KeyQueued()) || StopRequested();
}

uint8_t ReadKey() {
  if (Input()) return Input()->ReadKey();
  return StopRequested() ? kNoKeyByte : kEnter;
}

void ClearKeyQueue() {
  if (Input()) Input()->ClearQueue();
}

}  // namespace kal
