// One text-to-speech engine as the engine switch drives it: the built-in
// Orvan engine, the in-process local voice (kind 4) or a system voice
// (kinds 5 and 54: the speech server's, or the system's own voice object
// where the host has one). Every engine lives for the whole process and is started
// and released any number of times.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kal {

class EventLoop;
struct OrvanState;
struct Platform;
struct WavePlayer;

class SystemVoice;

class VoiceEngine {
 public:
  virtual ~VoiceEngine() = default;
  // voice: 1-based number in the engine's own list; rate and pitch in the
  // engine's units (0 keeps a default where the engine has one);
  // output_file: a host path, empty to speak to the sound device. True when
  // the engine is ready.
  virtual bool Start(int voice, int rate, int pitch, const std::string& output_file) = 0;
  // Text in Latin-1; returns at once.
  virtual void Speak(std::string_view text) = 0;
  // flag 1 asks only whether text is still waiting to be spoken; flag 0
  // also whether its sound is still playing. Engines that cannot tell the
  // two apart ignore it.
  virtual bool Busy(int flag) = 0;
  virtual void Stop() = 0;
  virtual void Release() = 0;
};

// The engines of this build. The Orvan engine works on the state it is
// given, and plays on its player; the local voice plays on the player it is
// given (each must outlive the engine). Each posts what it learns on its own
// threads to loop and waits in it.
std::unique_ptr<VoiceEngine> MakeOrvanVoice(OrvanState& state, EventLoop& loop);
std::unique_ptr<VoiceEngine> MakeLocalVoice(WavePlayer& player, EventLoop& loop);
// The two speech server flavours: each has its own connection and state.
// The 5.4 flavour reads its output module from its own key. Speech into a
// file goes through a local voice made on player.
std::unique_ptr<VoiceEngine> MakeServerVoice(bool flavour54, WavePlayer& player, EventLoop& loop);
// A system voice object's flavour (1_platform/system_voice.h); the maker
// gives a fresh object for each start.
using SystemVoiceMaker = std::function<std::unique_ptr<SystemVoice>()>;
// It waits in the platform state's loop and sees the run's stop there.
std::unique_ptr<VoiceEngine> MakeSystemVoiceEngine(SystemVoiceMaker maker, Platform& platform);

// Sleeps ms in the platform state's loop (real time, or the loop's virtual
// time in tests), then takes pending input and posted work.
void SleepAndPump(Platform& platform, int ms);

// The text the local voice hands to its synthesiser: trimmed; a single
// digit gets a "." so that it is read as a number. Empty: nothing to say.
std::string LocalVoiceText(std::string_view text);

}  // namespace kal
