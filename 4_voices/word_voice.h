// The recorded word voice as the speech facade sees it: a word translator
// that turns written words into the unit notation of the diphone word
// synthesizer, and the synthesizer, which plays through the wave player
// before it returns. The real one is the diphone voice of 4_voices/diphone/;
// tests give the facade (5_speech/speech.h) a stand-in that only logs.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace kal {

class WordVoice {
 public:
  virtual ~WordVoice() = default;
  // 0 when ready, else the synthesizer's start error code.
  virtual int Start() = 0;
  // After a failed start: the host path of the folder or file the voice
  // lacked, so that the report can name it; empty when unknown.
  virtual std::string MissingData() { return {}; }
  virtual void SetTuning(int cut, int minimum, int word_gap) = 0;
  virtual std::string Translate(std::string_view words) = 0;
  // Speaks unit notation as ordinary speech and returns when it has played
  // (or a key cut it short).
  virtual void Speak(std::string_view notation) = 0;
  virtual void Close() = 0;
};

struct SpeechLog;
struct Voices;

// The diphone voice of the installation, on the synthesizer and translator
// states of voices (which must outlive it).
std::unique_ptr<WordVoice> MakeDiphoneWordVoice(Voices& voices);

// A voice that starts, translates words to themselves and logs what it
// would speak as the detail "diphone NOTATION" to log (tests; the log must
// outlive it).
std::unique_ptr<WordVoice> MakeLoggingWordVoice(SpeechLog& log);

}  // namespace kal
