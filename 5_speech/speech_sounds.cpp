// The two sounds the facade makes itself: a click (a short burst of noise)
// and the error beep (a triangle wave of about 1378 Hz), both 8-bit mono
// 11025 Hz, half as long with BIPSCLECSCURTOS.
#include <random>
#include <string>

#include "1_platform/pump.h"
#include "5_speech/speech.h"
#include "0_base/speech_log.h"
#include "5_speech/speech_state.h"
#include "0_base/wave_format.h"
#include "3_audio/wave_player.h"

namespace kal {

std::string MakeClickSound(int divisor) {
  size_t n = 256 / divisor;
  std::string pcm(n, static_cast<char>(128));
  std::minstd_rand noise(20061);
  for (size_t i = 0; i <= n / 4 && i < n; ++i) pcm[i] = static_cast<char>(128 + noise() % 60);
  return MakeWaveImage(pcm, 11025, 1, 8);
}

std::string MakeBeepSound(int divisor) {
  static const uint8_t kPattern[] = {128, 112, 96, 80, 64, 80, 96, 112};
  size_t n = 512 / divisor;
  std::string pcm(n, '\0');
  for (size_t i = 0; i < n; ++i) pcm[i] = static_cast<char>(kPattern[i % 8]);
  pcm.back() = static_cast<char>(128);
  return MakeWaveImage(pcm, 11025, 1, 8);
}

void Click(SpeechState& s) {
  SpeechLogScope log(SpeechLogOf(s), "click");
  EnsureSpeechModule(s);
  WaitSpeech(s);
  WaveFlags f = GetWaveFlags(s.player);
  WaveFlags plain = f;
  plain.cut = false;
  SetWaveFlags(s.player, plain);
  if (PlayWaveMemory(s.player, s.click) == 0) WaitWave(s.player);
  SetWaveFlags(s.player, f);
}

void ErrorBeep(SpeechState& s) {
  SpeechLogScope log(SpeechLogOf(s), "beep");
  EnsureSpeechModule(s);
  WaitSpeech(s);
  PumpMessages(s.platform);
  ClearKeyQueue(s.platform);
  if (PlayWaveMemory(s.player, s.beep) == 0) WaitWave(s.player);
}

}  // namespace kal
