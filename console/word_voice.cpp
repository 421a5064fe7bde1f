#include "console/word_voice.h"

#include "console/speech_log.h"

#if __has_include("speech/diphone/diphone.h") && __has_include("speech/diphone/translator.h")
#define KALDORIN_HAVE_DIPHONE 1
#include "speech/diphone/diphone.h"
#include "speech/diphone/translator.h"
#endif

namespace kal {

namespace {

std::unique_ptr<WordVoice>& Current() {
  static std::unique_ptr<WordVoice> v;
  return v;
}

class LoggingWordVoice : public WordVoice {
 public:
  int Start() override { return 0; }
  void SetTuning(int, int, int) override {}
  std::string Translate(std::string_view words) override { return std::string(words); }
  void Speak(std::string_view notation) override { LogSpeechDetail("diphone", notation); }
  void Close() override {}
};

#if KALDORIN_HAVE_DIPHONE
class DiphoneWordVoice : public WordVoice {
 public:
  int Start() override { return DiphoneStart(); }
  void SetTuning(int cut, int minimum, int word_gap) override { DiphoneSetTuning(cut, minimum, word_gap); }
  std::string Translate(std::string_view words) override { return TranslateWords(words); }
  void Speak(std::string_view notation) override {
    LogSpeechDetail("diphone", notation);
    DiphoneSpeak(notation, 0);
  }
  void Close() override { DiphoneClose(); }
};
#endif

}  // namespace

WordVoice& Words() {
  if (!Current()) Current() = MakeDiphoneWordVoice();
  return *Current();
}

void SetWordVoice(std::unique_ptr<WordVoice> voice) { Current() = std::move(voice); }

std::unique_ptr<WordVoice> MakeDiphoneWordVoice() {
#if KALDORIN_HAVE_DIPHONE
  return std::make_unique<DiphoneWordVoice>();
#else
  // Without the diphone voice in the build, words are not spoken.
  return std::make_unique<LoggingWordVoice>();
#endif
}

std::unique_ptr<WordVoice> MakeLoggingWordVoice() { return std::make_unique<LoggingWordVoice>(); }

}  // namespace kal
