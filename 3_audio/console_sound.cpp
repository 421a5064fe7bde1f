#include "3_audio/console_sound.h"

#include "0_base/speech_log.h"
#include "0_base/wave_format.h"
#include "3_audio/wave_player.h"

namespace kal {

namespace {
constexpr int kRate = 11025;
bool g_sounding = false;
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

void Sound(int frequency) {
  if (frequency <= 0) return;
  if (g_sounding) WaveStop();
  SpeechLogScope log("sound", std::to_string(frequency));
  PlayWaveMemory(MakeSquareWave(frequency));
  g_sounding = true;
}

void NoSound() {
  if (!g_sounding) return;
  WaveStop();
  g_sounding = false;
  LogSpeech("nosound");
}

}  // namespace kal
