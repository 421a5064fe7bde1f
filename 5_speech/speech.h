// Layer 5_speech: the speech facade, and spoken numbers and times, over the
// voices and the wave player. Text that is both written and spoken belongs
// to the console above (6_console/write_and_speak.h).
//
// The speech facade: everything the program says goes through here, to the
// recorded voice (character and message recordings, number words, the
// diphone word voice) or to a speech engine, and recorded sound files. A
// key waiting in the console's queue (seen through 1_platform/pump.h) cuts
// every sound short at the next check and stays in the queue. Every request
// is also written to the speech log (0_base/speech_log.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "0_base/run_end.h"

namespace kal {

class SpeechEngine;
class WordVoice;
struct SpeechState;

// The functions of the facade work on the state they are given
// (speech_state.h), the first argument of each that reads or changes it:
// main builds one for the run and hands it down; a test builds a fresh one
// per case.

// The voices of the facade: the speech engine (main gives the engine
// switch; nullptr: none) and the recorded word voice (nullptr: the diphone
// voice of the installation).
void SetSpeechEngine(SpeechState& speech, std::unique_ptr<SpeechEngine> engine);
void SetWordVoice(SpeechState& speech, std::unique_ptr<WordVoice> voice);

// speed 0 = the configured speed; sounds_folder = the application sounds.
// Loads the voice settings of the speed, starts the word voice and the
// speech engine when one is configured. When the word voice cannot start,
// the error is written and spoken (by the configured engine or the local
// one), naming the missing folder or file; then "Tecle Enter", a wait for
// Enter; then the stop is requested with kNoVoice (1_platform/stop_request.h),
// and the caller returns to main, which ends the program with kExitNoVoice.
void InitSpeech(SpeechState& speech, int speed, std::string_view sounds_folder);
// Waits for the end of speech (a key cuts it), stops, releases the engine,
// closes the word voice.
void DoneSpeech(SpeechState& speech);

void SpeakText(SpeechState& speech, std::string_view text);
// The recording of one character (bytes 0, 12, 32-255; other control bytes
// are silent).
void SpeakChar(SpeechState& speech, uint8_t c);
// Character by character, stopping when a key is waiting.
void SpellText(SpeechState& speech, std::string_view text);
// A name beginning with "_" is a system sound (DIRLETRAS), any other an
// application sound; ".wav" is appended.
void PlayNamedSound(SpeechState& speech, std::string_view name);
bool SoundExists(SpeechState& speech, std::string_view name);
// ReadKey, stop speech, speak the key.
uint8_t ReadKeySpoken(SpeechState& speech);
// False (and speech stopped) when a key is waiting; else true while sound
// plays or the engine speaks.
bool SpeechBusy(SpeechState& speech);
void WaitSpeech(SpeechState& speech);
void StopSpeech(SpeechState& speech);
// Waits in 50 ms steps; once a key is waiting the rest passes at once.
void SpeechPause(SpeechState& speech, int ms);
// Plays an in-memory wave image and waits for its end or a key.
void PlayWaveBuffer(SpeechState& speech, std::string_view image);
void Click(SpeechState& speech);
// Throws away the keys typed ahead, then beeps.
void ErrorBeep(SpeechState& speech);
// Telephone tones for digits, "#" and "*"; "," waits a second.
void DialDigits(SpeechState& speech, std::string_view text);
// The battery's charge, or that there is no battery, and whether the
// machine runs on it.
void SpeakBatteryStatus(SpeechState& speech);
// Opens a web address, a document or a program.
void OpenLink(SpeechState& speech, std::string_view text);
std::string UpperCaseText(std::string_view text);

// Settings of the facade used by the console.
bool SpeechEchoOn(SpeechState& speech);          // FALANDO: echo typed characters
void SetSpeechEcho(SpeechState& speech, bool on);  // F4 in the field editor
bool FullAnnouncements(SpeechState& speech);     // FALARTUDO
// ECOAROPCAO: a chosen option is told by its own recording when one exists.
bool OptionEchoOn(SpeechState& speech);
bool EngineActive(SpeechState& speech);
// Why the Orvan engine the configuration asks for did not start (MBROLA or
// its voice missing, a broken data file), in Latin-1; "" when it started or
// another voice was asked for. The recorded voice speaks meanwhile.
std::string VoiceStartProblem(SpeechState& speech);
// On a host where MBROLA is installed by hand (Windows: a silent install
// says nothing of it), the first run that finds the Orvan voice configured
// (TIPOSAPI 3, on or not) and MBROLA missing gets the engine's words on
// where to get it, in Latin-1; the configuration remembers that it was said
// ([ORVANTTS] AVISOMBROLA), so later runs get "".
std::string MissingMbrolaNoticeOnce(SpeechState& speech);
int SpeechSpeed(SpeechState& speech);
std::string AppSoundsFolder(SpeechState& speech);
std::string SystemSoundsFolder(SpeechState& speech);  // DIRLETRAS, trailing backslash
std::string LettersFolder(SpeechState& speech);       // dirLetras, trailing backslash

}  // namespace kal
