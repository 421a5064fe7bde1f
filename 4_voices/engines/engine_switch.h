// The engine switch: the one way the speech facade reaches a text-to-speech
// engine. The configured engine kind picks the engine at each start:
//   3   the built-in Orvan engine,
//   4   the in-process local voice,
//   54  the second speech server voice,
//   any other value the speech server voice (5 until the first start).
// The other four operations go to the engine picked at the last start.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "4_voices/engines/voice_engine.h"

namespace kal {

inline constexpr int kEngineOrvan = 3;
inline constexpr int kEngineLocal = 4;
inline constexpr int kEngineServer54 = 54;
inline constexpr int kEngineServer = 5;

// Which of the four engines a kind selects (0 Orvan, 1 local, 2 server 5.4,
// 3 server).
enum class EngineSlot { kOrvan, kLocal, kServer54, kServer };
EngineSlot SlotOfKind(int kind);

// Starts the engine of that kind; output_file is a script path (empty: the
// sound device). After a successful start, waits (pumping, 50 ms steps, at
// most 10 s) until the engine has taken in whatever it had pending.
bool EngineStart(int voice, int rate, int pitch, std::string_view output_file, int kind);
void EngineRelease();
void EngineSpeak(std::string_view text);
// Pumps, then asks the engine; flag as for VoiceEngine::Busy.
bool EngineBusy(int flag);
void EngineStop();
// The kind of the last start (5 before any).
int EngineKind();

// Replaces the engine of a slot (tests install fakes; nullptr puts the
// build's own engine back).
void SetEngineForSlot(EngineSlot slot, std::unique_ptr<VoiceEngine> engine);
// Releases nothing; forgets all engines and the kind (tests).
void ResetEngineSwitch();

// Installs the switch as the speech facade's engine.
void InstallEngineSwitch();

}  // namespace kal
