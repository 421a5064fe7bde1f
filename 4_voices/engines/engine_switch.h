// The engine switch: the speech engine the facade speaks with
// (4_voices/speech_engine_port.h). The engine kind given at each start
// picks one of four engines:
//   3   the built-in Orvan engine,
//   4   the in-process local voice,
//   54  the second speech server voice,
//   any other value the speech server voice (5 until the first start).
// The other four operations go to the engine picked at the last start. The
// switch owns its engines; each is made on its first use and lives as long
// as the switch, started and released any number of times.
#pragma once

#include <array>
#include <memory>
#include <string_view>

#include "4_voices/engines/voice_engine.h"
#include "4_voices/speech_engine_port.h"

namespace kal {

inline constexpr int kEngineOrvan = 3;
inline constexpr int kEngineLocal = 4;
inline constexpr int kEngineServer54 = 54;
inline constexpr int kEngineServer = 5;

// Which of the four engines a kind selects.
enum class EngineSlot { kOrvan, kLocal, kServer54, kServer };
EngineSlot SlotOfKind(int kind);

struct Voices;

class EngineSwitch : public SpeechEngine {
 public:
  // The Orvan engine speaks with the Orvan state of these voices, and the
  // engines post to loop and wait in it (both must outlive the switch).
  EngineSwitch(Voices& voices, EventLoop& loop) : voices_(voices), loop_(loop) {}

  // output_file is a script path (empty: the sound device). After a
  // successful start, waits (pumping, 50 ms steps, at most 10 s) until the
  // engine has taken in whatever it had pending.
  bool Start(int voice, int rate, int pitch, std::string_view output_file, int kind) override;
  void Speak(std::string_view text) override;
  // Pumps, then asks the engine; flag as for VoiceEngine::Busy.
  bool Busy(int flag) override;
  void Stop() override;
  void Release() override;

  // The kind of the last start (5 before any).
  int Kind() const { return kind_; }
  // Replaces the engine of a slot (tests install fakes; nullptr puts the
  // build's own engine back).
  void SetEngine(EngineSlot slot, std::unique_ptr<VoiceEngine> engine);

 private:
  VoiceEngine& EngineOf(EngineSlot slot);
  VoiceEngine& Current() { return EngineOf(SlotOfKind(kind_)); }

  Voices& voices_;
  EventLoop& loop_;
  int kind_ = kEngineServer;
  std::array<std::unique_ptr<VoiceEngine>, 4> engines_;
};

}  // namespace kal
