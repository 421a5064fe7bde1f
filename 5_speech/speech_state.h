// The speech facade's module state, shared by its source files
// (speech.cpp, speak_text.cpp, speech_sounds.cpp, speech_services.cpp).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "1_platform/platform.h"
#include "4_voices/speech_engine_port.h"
#include "4_voices/word_voice.h"

namespace kal {

class EventLoop;
struct ConfigState;
struct SpeechLog;
struct Voices;
struct WavePlayer;

struct SpeechState {
  // The facade speaks with the word voice of these voices unless it is
  // given another, plays on their wave player, and waits for speech and
  // keys, and asks for the end of the run, through that platform state (all
  // must outlive it). It reads its settings from the configuration the
  // player was built with.
  SpeechState(Voices& voices_used, Platform& run_platform);

  Voices* voices;
  WavePlayer& player;
  ConfigState& config;
  Platform& platform;
  EventLoop& loop;
  bool module_ready = false;   // the start-up reads were done
  bool engine_active = false;
  int engine_kind = 5;
  bool speaking = true;        // text went to the engine: wait before the next sound
  bool stop = false;           // ends the recorded-voice loop of SpeakText
  // InitSpeech is starting the voices: texts asked for meanwhile (a notice
  // of a wait for the configuration file) are held and said once a voice
  // can say them.
  bool voice_starting = false;
  std::vector<std::string> held;
  std::string app_folder;      // application sounds, trailing backslash
  std::string system_folder;   // DIRLETRAS, trailing backslash
  std::string letters_folder;  // dirLetras, trailing backslash
  std::string voice_database;
  int speed = 3;
  int pause_full = 250;
  int pause_comma = 150;
  int pause_colon = 200;
  bool echo = true;
  bool echo_option = true;
  bool full_announce = true;
  bool first_key_replaces = true;
  int divisor = 1;
  std::string click;           // wave images
  std::string beep;
  // The voices: the engine the configuration may name, and the recorded word
  // voice. Each is made on first use when none was given (no engine; the
  // diphone voice of the installation).
  std::unique_ptr<SpeechEngine> engine;
  std::unique_ptr<WordVoice> words;
};

// The voices of the state, each made on first use when none was given.
SpeechEngine& Engine(SpeechState& s);
WordVoice& Words(SpeechState& s);

// The speech log of the run: the one the facade's wave player holds.
SpeechLog& SpeechLogOf(SpeechState& s);

// Sleeps in the facade's loop, in short steps, while speech or a wave is
// heard; a key cuts it short (SpeechBusy).
void WaitWhileSpeaking(SpeechState& s);

// The start-up reads of the module (done once, before the first use).
void EnsureSpeechModule(SpeechState& s);

// The sounds of the module, built for the divisor.
std::string MakeClickSound(int divisor);
std::string MakeBeepSound(int divisor);

// The recorded voice's SpeakText.
void SpeakRecorded(SpeechState& s, std::string_view text);

// A folder with its trailing backslash.
std::string WithBackslash(std::string folder);

}  // namespace kal
