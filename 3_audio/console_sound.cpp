#include "3_audio/console_sound.h"

#include "0_base/speech_log.h"
#include "0_base/wave_format.h"
#include "3_audio/wave_player.h"
#include "3_audio/wave_player_state.h"

namespace kal {

namespace {
constexpr int kRate = 11025;
}  // namespace

std::string MakeSquareWave(int frequency) {
  if (frequency <= 0) return MakeWaveImage("", kRate, 1, 8);
  int period = kRate / frequency;
  std::string pcm;
  if (period > 0) {
    for (int start = 0; start + period <= kRate; start += period)
      for (int i = 0; i < period; ++i) pcm.push_back(static_cast<char>(i < period / 2 ? 96 : 160));
  }
  if (!pcm.empty()) pcm.back() = static_cast<char>(128);
  return MakeWaveImage(pcm, kRate, 1, 8);
}

void Sound(WavePlayer& player, int frequency) {
  if (frequency <= 0) return;
  if (player.tone_sounding) WaveStop(player);
  SpeechLogScope log(*player.speech_log, "sound", std::to_string(frequency));
  PlayWaveMemory(player, MakeSquareWave(frequency));
  player.tone_sounding = true;
}

void NoSound(WavePlayer& player) {
  if (!player.tone_sounding) return;
  WaveStop(player);
  player.tone_sounding = false;
  LogSpeech(*player.speech_log, "nosound");
}

}  // namespace kal
