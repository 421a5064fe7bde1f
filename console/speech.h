// The speech facade: everything the program says goes through here, to the
// recorded voice, a speech engine, or recorded sound files. Every request is
// also written to the speech log.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kal {

// speed 0 = the configured speed; sounds_folder = the application sounds.
void InitSpeech(int speed, std::string_view sounds_folder);
void DoneSpeech();

void SpeakText(std::string_view text);
void SpeakChar(uint8_t c);
void SpellText(std::string_view text);
void PlayNamedSound(std::string_view name);
bool SoundExists(std::string_view name);
void WriteAndSpeak(std::string_view text);
void WriteLineAndSpeak(std::string_view text);
void WriteNumberAndSpeak(long long n);
uint8_t ReadKeySpoken();
bool SpeechBusy();
void WaitSpeech();
void StopSpeech();
void SpeechPause(int ms);
// Plays an in-memory wave image and waits for its end or a key.
void PlayWaveBuffer(std::string_view image);
void Click();
void ErrorBeep();
std::string UpperCaseText(std::string_view text);

}  // namespace kal
