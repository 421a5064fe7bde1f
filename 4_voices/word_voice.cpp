#include "4_voices/word_voice.h"

#include "0_base/speech_log.h"

#include "4_voices/diphone/diphone.h"
#include "4_voices/diphone/translator.h"
#include "4_voices/voices.h"

namespace kal {

namespace {

class LoggingWordVoice : public WordVoice {
 public:
  int Start() override { return 0; }
  void SetTuning(int, int, int) override {}
  std::string Translate(std::string_view words) override { return std::string(words); }
  void Speak(std::string_view notation) override { LogSpeechDetail("diphone", notation); }
  void Close() override {}
};

// The diphone synthesizer and its translator, on the states of the voices
// it was made with.
class DiphoneWordVoice : public WordVoice {
 public:
  explicit DiphoneWordVoice(Voices& voices) : voices_(voices) {}
  int Start() override { return DiphoneStart(voices_); }
  std::string MissingData() override { return DiphoneMissingPath(voices_); }
  void SetTuning(int cut, int minimum, int word_gap) override { DiphoneSetTuning(voices_, cut, minimum, word_gap); }
  std::string Translate(std::string_view words) override { return TranslateWords(*voices_.translator, words); }
  void Speak(std::string_view notation) override {
    LogSpeechDetail("diphone", notation);
    DiphoneSpeak(voices_, notation, 0);
  }
  void Close() override { DiphoneClose(voices_); }

 private:
  Voices& voices_;
};

}  // namespace

std::unique_ptr<WordVoice> MakeDiphoneWordVoice(Voices& voices) { return std::make_unique<DiphoneWordVoice>(voices); }

std::unique_ptr<WordVoice> MakeLoggingWordVoice() { return std::make_unique<LoggingWordVoice>(); }

}  // namespace kal
