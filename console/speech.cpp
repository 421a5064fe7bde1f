// The speech facade. For now every request is only logged; the voices and
// the wave player plug in behind these calls.
#include "console/speech.h"

#include <string>

#include "console/console.h"
#include "console/speech_log.h"
#include "console/wave_player.h"

namespace kal {

void InitSpeech(int, std::string_view) {}
void DoneSpeech() {}

void SpeakText(std::string_view text) { LogSpeech("say", text); }
void SpeakChar(uint8_t c) { LogSpeech("char", std::to_string(c)); }
void SpellText(std::string_view text) { LogSpeech("spell", text); }
void PlayNamedSound(std::string_view name) { LogSpeech("play", name); }
bool SoundExists(std::string_view) { return false; }

void WriteAndSpeak(std::string_view text) {
  ConsoleWrite(text);
  SpeakText(text);
}

void WriteLineAndSpeak(std::string_view text) {
  WriteAndSpeak(text);
  ConsoleWrite("\r\n");
}

void WriteNumberAndSpeak(long long n) { WriteAndSpeak(std::to_string(n)); }

uint8_t ReadKeySpoken() {
  uint8_t k = ReadKey();
  StopSpeech();
  SpeakChar(k);
  return k;
}

bool SpeechBusy() { return false; }
void WaitSpeech() {}
void StopSpeech() {}
void SpeechPause(int ms) {
  for (int i = 0; i < ms / 50; ++i)
    if (!KeyPressed()) Delay(50);
}
void PlayWaveBuffer(std::string_view image) { PlayWaveMemory(image); }
void Click() { LogSpeech("click"); }
void ErrorBeep() {
  ClearKeyQueue();
  LogSpeech("beep");
}

std::string UpperCaseText(std::string_view text) {
  std::string out(text);
  for (auto& ch : out) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || c >= 0xE0) ch = static_cast<char>(c - 0x20);
  }
  return out;
}

}  // namespace kal
