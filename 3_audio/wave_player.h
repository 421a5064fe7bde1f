// Layer 3_audio: sound out of the device (the wave player, wave
// conversions, beeps), over the platform's audio seam and the configuration.
// It waits through the pump (1_platform/pump.h) and reaches the user only
// through the notice writer (1_platform/user_notice.h), which the console
// installs.
//
// The wave player: plays RIFF/WAVE files, in-memory wave images and raw PCM
// through the audio device (1_platform/audio.h), in pieces of at most 8192
// bytes with at most 16 pieces in flight, stopping at once when a key is
// typed. It can make recorded speech faster in two ways: playing at 1.5
// times the sample rate (fast), and dropping every second pitch period
// (speech cutting), preferring the fast recordings in a "rapido\" folder.
//
// A piece is in flight from the moment it is queued until the device has
// taken it and the device's own buffer has played on after it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "0_base/wave_format.h"

namespace kal {

struct WavePlayer;  // wave_player_state.h: the player of the run, which each operation is given

// Plays a wave file (program path); 0 on success, -1 when it cannot be
// opened or is not a wave ("fmt " chunk first, then a "data" chunk), or the
// device error code. Waits for the end unless no_wait or the player's
// no-wait flag is set.
int PlayWaveFile(WavePlayer& player, std::string_view path, bool no_wait = false);
// Queues the data of a complete in-memory RIFF/WAVE image and returns; the
// caller waits with WaveBusy. Returns the status as PlayPcm does, -1 for an
// image that is not a wave.
int PlayWaveMemory(WavePlayer& player, std::string_view image);
// Queues raw PCM in pieces; 0, or the error code of a device that cannot be
// opened.
int PlayPcm(WavePlayer& player, const uint8_t* data, size_t length, int rate, int channels, int bits);
// Pumps; stops playback when a key is waiting; true while sound is in flight.
bool WaveBusy(WavePlayer& player);
// Drops everything in flight at once.
void WaveStop(WavePlayer& player);
// Waits (pumping) while WaveBusy.
void WaitWave(WavePlayer& player);

// Output devices by name, and the index of a name (case ignored), -1 when
// there is none such.
std::vector<std::string> ListWaveDevices(WavePlayer& player);
int FindWaveDevice(WavePlayer& player, std::string_view name);
// The device used from the next opening on: -1 is the default. The player
// looks up SAIDADEAUDIO itself at its first opening.
void SetWaveDevice(WavePlayer& player, int device);
// The device the player plays on (SAIDADEAUDIO looked up when not yet done);
// other sound that shares the device opens the same one.
int ChosenWaveDevice(WavePlayer& player);

// Flags. Fast and speech cutting come from the voice settings of the
// current speed; no-wait is set by the field editor while it runs.
struct WaveFlags {
  bool fast = false;
  bool cut = false;
  bool no_wait = false;
};
WaveFlags GetWaveFlags(const WavePlayer& player);
void SetWaveFlags(WavePlayer& player, const WaveFlags& flags);
// The field editor queues echoes without waiting for their end while it runs.
void SetWaveNoWait(WavePlayer& player, bool on);

// Closes the device (program end). The next sound opens it again.
void CloseWaveDevice(WavePlayer& player);

// Pieces currently in flight.
int WaveInFlight(WavePlayer& player);

}  // namespace kal
