// The engine switch: the engine of each kind, and the wait after a start.
#include "4_voices/engines/engine_switch.h"

#include <chrono>

#include "1_platform/pump.h"
#include "3_audio/wave_player_state.h"
#include "1_platform/event_loop.h"
#include "1_platform/paths.h"
#include "1_platform/platform.h"
#include "1_platform/system_voice.h"
#include "4_voices/voices.h"

namespace kal {

namespace {

// A start-up wait longer than this means the engine will not settle; the
// start still counts, and the facade's own waits end on a key.
constexpr int kSettleLimitMs = 10000;
constexpr int kSettleStepMs = 50;

// Kinds 5 and 54: the system's own voice object where the host has one,
// else the speech server.
std::unique_ptr<VoiceEngine> MakeSystemOrServerVoice(bool flavour54, WavePlayer& player, EventLoop& loop) {
  if (MakeSystemVoice(flavour54))
    return MakeSystemVoiceEngine([flavour54] { return MakeSystemVoice(flavour54); }, *player.platform);
  return MakeServerVoice(flavour54, player, loop);
}

std::unique_ptr<VoiceEngine> MakeEngine(Voices& voices, EngineSlot slot, EventLoop& loop) {
  switch (slot) {
    case EngineSlot::kOrvan: return MakeOrvanVoice(*voices.orvan, loop);
    case EngineSlot::kLocal: return MakeLocalVoice(voices.player, loop);
    case EngineSlot::kServer54: return MakeSystemOrServerVoice(true, voices.player, loop);
    case EngineSlot::kServer: return MakeSystemOrServerVoice(false, voices.player, loop);
  }
  return nullptr;
}

}  // namespace

void SleepAndPump(Platform& platform, int ms) {
  EventLoop& loop = platform.loop;
  int64_t until = loop.NowMs() + ms;
  for (int64_t now = loop.NowMs(); now < until; now = loop.NowMs()) loop.Wait(static_cast<int>(until - now));
  PumpMessages(platform);
}

EngineSlot SlotOfKind(int kind) {
  switch (kind) {
    case kEngineOrvan: return EngineSlot::kOrvan;
    case kEngineLocal: return EngineSlot::kLocal;
    case kEngineServer54: return EngineSlot::kServer54;
    default: return EngineSlot::kServer;
  }
}

bool EngineSwitch::Start(int voice, int rate, int pitch, std::string_view output_file, int kind) {
  kind_ = kind;
  std::string file = output_file.empty() ? std::string() : HostPath(output_file);
  bool ok = Current().Start(voice, rate, pitch, file);
  if (!ok) return false;
  // The wall clock bounds the wait as well: under a virtual clock the steps
  // take no time, while the engine's own thread works in real time.
  auto give_up = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSettleLimitMs);
  for (int64_t waited = 0; Busy(1) && waited < kSettleLimitMs; waited += kSettleStepMs) {
    if (std::chrono::steady_clock::now() > give_up) break;
    SleepAndPump(*voices_.player.platform, kSettleStepMs);
  }
  return true;
}

void EngineSwitch::Release() { Current().Release(); }

void EngineSwitch::Speak(std::string_view text) { Current().Speak(text); }

bool EngineSwitch::Busy(int flag) {
  PumpMessages(*voices_.player.platform);
  return Current().Busy(flag);
}

void EngineSwitch::Stop() { Current().Stop(); }

void EngineSwitch::SetEngine(EngineSlot slot, std::unique_ptr<VoiceEngine> engine) {
  engines_[static_cast<size_t>(slot)] = engine ? std::move(engine) : MakeEngine(voices_, slot, loop_);
}

VoiceEngine& EngineSwitch::EngineOf(EngineSlot slot) {
  auto& e = engines_[static_cast<size_t>(slot)];
  if (!e) e = MakeEngine(voices_, slot, loop_);
  return *e;
}

}  // namespace kal
