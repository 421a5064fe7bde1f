// The wave player: plays RIFF/WAVE files, in-memory wave images and raw PCM
// through the audio device, in pieces, stopping at once when a key is typed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kal {

// Plays a wave file; 0 on success, -1 when it cannot be opened or is not a
// wave, or the device error code. Waits for the end unless no_wait.
int PlayWaveFile(std::string_view path, bool no_wait = false);
// Queues the data of a complete in-memory RIFF/WAVE image and returns; the
// caller waits with WaveBusy. Returns the status as PlayPcm does.
int PlayWaveMemory(std::string_view image);
// Queues raw PCM in pieces.
int PlayPcm(const uint8_t* data, size_t length, int rate, int channels, int bits);
// Pumps; stops playback when a key is waiting; true while sound is in flight.
bool WaveBusy();
void WaveStop();

// A complete wave image (44-byte header) around PCM data.
std::string MakeWaveImage(std::string_view pcm, int rate, int channels, int bits);

}  // namespace kal
