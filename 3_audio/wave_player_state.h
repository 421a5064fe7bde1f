// The wave player's state for a run: the configuration that names its
// device and the MIDI output's, the device it opened and in which format,
// the pieces in flight, the flags, whether a square-wave tone
// (console_sound.h) is sounding, the MIDI output (midi_state.h), and the
// speech log of the run (0_base/speech_log.h). main builds one for the run
// and hands it down: the operations of wave_player.h, midi.h and
// console_sound.h are given it, and the voices and the speech facade hold
// the one they play on, and write to its log. A test gets a fresh one for
// each case.
#pragma once

#include <cstdint>
#include <deque>

#include "1_platform/audio.h"
#include "3_audio/midi_state.h"
#include "3_audio/wave_player.h"

namespace kal {

struct ConfigState;
struct Platform;
struct SpeechLog;

struct WavePlayer {
  // The player plays on the device of this platform state (audio.h) that
  // this configuration names, and writes what it plays to this speech log;
  // all must outlive it. The voices below the speech facade read their
  // settings from the same configuration and log to the same log.
  WavePlayer(Platform& platform, ConfigState& config, SpeechLog& speech_log);
  // Ends the MIDI output, then closes the device when it is open.
  ~WavePlayer();
  WavePlayer(const WavePlayer&) = delete;
  WavePlayer& operator=(const WavePlayer&) = delete;
  // A fresh player in place of this one (close the device first; the MIDI
  // output of this one ends).
  WavePlayer& operator=(WavePlayer&&) = default;

  // A queued piece: where it ends in the device's byte stream, and when the
  // device took all of it (-1: not yet).
  struct Flight {
    uint64_t end = 0;
    int64_t taken_at = -1;
  };

  Platform* platform;
  ConfigState* config;
  SpeechLog* speech_log;
  bool open = false;
  AudioFormat format;
  int device = -1;
  bool device_chosen = false;  // SAIDADEAUDIO looked up
  bool unavailable = false;    // no device could be opened: play silently
  std::deque<Flight> flights;
  uint64_t queued_total = 0;   // bytes queued since the device was opened or cleared
  int ring_index = 0;          // 1..16, advanced before each use
  uint64_t last_waiting = 0;   // device queue at the last look, and when it last moved
  int64_t last_progress = 0;
  WaveFlags flags;
  bool exit_hook = false;      // the device is closed at the program's exit
  bool tone_sounding = false;  // a Sound() tone plays until NoSound()
  MidiState midi;              // midi.h: its synthesizer mixes into the device
};

}  // namespace kal
