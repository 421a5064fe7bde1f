#include "1_platform/pump.h"

#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "1_platform/stop_request.h"

namespace kal {

namespace {

constexpr uint8_t kEnter = 13;

}  // namespace

void SetKeyInput(Platform& p, KeyInput* input) { p.key_input = input; }

void PumpMessages(Platform& p) {
  RunPostedTasks(p);
  if (p.key_input) p.key_input->TakeInput();
}

void RunPostedTasks(Platform& p) { p.loop.Wait(0); }

void Delay(Platform& p, int ms) {
  EventLoop& loop = p.loop;
  KeyInput* in = p.key_input;
  if (in) in->Open();
  int64_t end = loop.NowMs() + ms;
  for (;;) {
    if (in) in->TakeInput();
    if (StopRequested(p)) return;
    int64_t left = end - loop.NowMs();
    if (left <= 0) break;
    loop.Wait(static_cast<int>(left));
  }
  if (in) in->TakeInput();
}

bool KeyPressed(Platform& p) {
  if (p.key_input) p.key_input->Open();
  PumpMessages(p);
  return (p.key_input && p.key_input->KeyQueued()) || StopRequested(p);
}

uint8_t ReadKey(Platform& p) {
  if (p.key_input) return p.key_input->ReadKey();
  return StopRequested(p) ? kNoKeyByte : kEnter;
}

void ClearKeyQueue(Platform& p) {
  if (p.key_input) p.key_input->ClearQueue();
}

}  // namespace kal
