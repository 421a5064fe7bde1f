// The engine switch's state (the last kind and the four engines) and its
// five operations, plus the adapter that plugs it into the speech facade.
#include "4_voices/engines/engine_switch.h"

#include <array>
#include <chrono>

#include "1_platform/pump.h"
#include "4_voices/speech_engine_port.h"
#include "1_platform/event_loop.h"
#include "1_platform/paths.h"
#include "1_platform/system_voice.h"

namespace kal {

namespace {

// A start-up wait longer than this means the engine will not settle; the
// start still counts, and the facade's own waits end on a key.
constexpr int kSettleLimitMs = 10000;
constexpr int kSettleStepMs = 50;

struct SwitchState {
  int kind = kEngineServer;
  std::array<std::unique_ptr<VoiceEngine>, 4> engines;
};

SwitchState& S() {
  static SwitchState s;
  return s;
}

// Kinds 5 and 54: the system's own voice object where the host has one,
// else the speech server.
std::unique_ptr<VoiceEngine> MakeSystemOrServerVoice(bool flavour54) {
  if (MakeSystemVoice(flavour54)) return MakeSystemVoiceEngine([flavour54] { return MakeSystemVoice(flavour54); });
  return MakeServerVoice(flavour54);
}

std::unique_ptr<VoiceEngine> MakeEngine(EngineSlot slot) {
  switch (slot) {
    case EngineSlot::kOrvan: return MakeOrvanVoice();
    case EngineSlot::kLocal: return MakeLocalVoice();
    case EngineSlot::kServer54: return MakeSystemOrServerVoice(true);
    case EngineSlot::kServer: return MakeSystemOrServerVoice(false);
  }
  return nullptr;
}

VoiceEngine& EngineOf(EngineSlot slot) {
  auto& e = S().engines[static_cast<size_t>(slot)];
  if (!e) e = MakeEngine(slot);
  return *e;
}

VoiceEngine& Current() { return EngineOf(SlotOfKind(S().kind)); }

// The facade's view of the switch.
class SwitchPort : public SpeechEngine {
 public:
  bool Start(int voice, int rate, int pitch, std::string_view output_file, int kind) override {
    return EngineStart(voice, rate, pitch, output_file, kind);
  }
  void Speak(std::string_view text) override { EngineSpeak(text); }
  bool Busy(int flag) override { return EngineBusy(flag); }
  void Stop() override { EngineStop(); }
  void Release() override { EngineRelease(); }
};

}  // namespace

void SleepAndPump(int ms) {
  int64_t until = Loop().NowMs() + ms;
  for (int64_t now = Loop().NowMs(); now < until; now = Loop().NowMs()) Loop().Wait(static_cast<int>(until - now));
  PumpMessages();
}

EngineSlot SlotOfKind(int kind) {
  switch (kind) {
    case kEngineOrvan: return EngineSlot::kOrvan;
    case kEngineLocal: return EngineSlot::kLocal;
    case kEngineServer54: return EngineSlot::kServer54;
    default: return EngineSlot::kServer;
  }
}

bool EngineStart(int voice, int rate, int pitch, std::string_view output_file, int kind) {
  S().kind = kind;
  std::string file = output_file.empty() ? std::string() : HostPath(output_file);
  bool ok = Current().Start(voice, rate, pitch, file);
  if (!ok) return false;
  // The wall clock bounds the wait as well: under a virtual clock the steps
  // take no time, while the engine's own thread works in real time.
  auto give_up = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSettleLimitMs);
  for (int64_t waited = 0; EngineBusy(1) && waited < kSettleLimitMs; waited += kSettleStepMs) {
    if (std::chrono::steady_clock::now() > give_up) break;
    SleepAndPump(kSettleStepMs);
  }
  return true;
}

void EngineRelease() { Current().Release(); }

void EngineSpeak(std::string_view text) { Current().Speak(text); }

bool EngineBusy(int flag) {
  PumpMessages();
  return Current().Busy(flag);
}

void EngineStop() { Current().Stop(); }

int EngineKind() { return S().kind; }

void SetEngineForSlot(EngineSlot slot, std::unique_ptr<VoiceEngine> engine) {
  S().engines[static_cast<size_t>(slot)] = engine ? std::move(engine) : MakeEngine(slot);
}

void ResetEngineSwitch() { S() = SwitchState(); }

void InstallEngineSwitch() { SetSpeechEngine(std::make_unique<SwitchPort>()); }

}  // namespace kal
