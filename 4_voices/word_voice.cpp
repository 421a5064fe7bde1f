#include "4_voices/word_voice.h"

#include "0_base/speech_log.h"

#include "4_voices/diphone/diphone.h"
#include "4_voices/diphone/translator.h"

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

class DiphoneWordVoice : public WordVoice {
 public:
  int Start() override { return DiphoneStart(); }
  std::string MissingData() override { return DiphoneMissingPath(); }
  void SetTuning(int cut, int minimum, int word_gap) override { DiphoneSetTuning(cut, minimum, word_gap); }
  std::string Translate(std::string_view words) override { return TranslateWords(words); }
  void Speak(std::string_view notation) override {
    LogSpeechDetail("diphone", notation);
    DiphoneSpeak(notation, 0);
  }
  void Close() override { DiphoneClose(); }
};

}  // namespace

std::unique_ptr<WordVoice> MakeDiphoneWordVoice() { return std::make_unique<DiphoneWordVoice>(); }

std::unique_ptr<WordVoice> MakeLoggingWordVoice() { return std::make_unique<LoggingWordVoice>(); }

}  // namespace kal
