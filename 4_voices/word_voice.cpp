#include "4_voices/word_voice.h"

#include "0_base/speech_log.h"

#include "4_voices/diphone/diphone.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/diphone/diphone_settings.h"
#include "4_voices/diphone/translator.h"
#include "4_voices/voices.h"

namespace kal {

namespace {

class LoggingWordVoice : public WordVoice {
 public:
  explicit LoggingWordVoice(SpeechLog& log) : log_(log) {}
  int Start() override { return 0; }
  void SetTuning(int, int, int) override {}
  std::string Translate(std::string_view words) override { return std::string(words); }
  void Speak(std::string_view notation) override { LogSpeechDetail(log_, "diphone", notation); }
  void Close() override {}

 private:
  SpeechLog& log_;
};

// The diphone synthesizer and its translator, on the states of the voices
// it was made with. Many runs never say a word with this voice, so its start
// only checks that its files are there (a missing one is reported at the
// start as before) and the files are read at the first word.
class DiphoneWordVoice : public WordVoice {
 public:
  explicit DiphoneWordVoice(Voices& voices) : voices_(voices) {}
  int Start() override {
    Close();
    folders_ = ConfiguredDiphoneFolders(*voices_.player.config);
    return DiphoneCheckIn(voices_, folders_.letters, folders_.diphones);
  }
  std::string MissingData() override { return DiphoneMissingPath(voices_); }
  void SetTuning(int cut, int minimum, int word_gap) override { DiphoneSetTuning(voices_, cut, minimum, word_gap); }
  std::string Translate(std::string_view words) override {
    return Loaded() ? TranslateWords(*voices_.translator, words) : std::string();
  }
  void Speak(std::string_view notation) override {
    LogSpeechDetail(*voices_.player.speech_log, "diphone", notation);
    if (Loaded()) DiphoneSpeak(voices_, notation, 0);
  }
  void Close() override {
    load_ = Load::kNotYet;
    DiphoneClose(voices_);
  }

 private:
  // Reads the files at the first word after a start; a file taken away
  // since the start leaves the voice silent rather than read again per word.
  bool Loaded() {
    if (load_ == Load::kNotYet)
      load_ = DiphoneStartIn(voices_, folders_.letters, folders_.diphones) == kDiphoneReady ? Load::kDone
                                                                                           : Load::kFailed;
    return load_ == Load::kDone;
  }

  enum class Load { kNotYet, kDone, kFailed };
  Voices& voices_;
  DiphoneFolders folders_;
  Load load_ = Load::kNotYet;
};

}  // namespace

std::unique_ptr<WordVoice> MakeDiphoneWordVoice(Voices& voices) { return std::make_unique<DiphoneWordVoice>(voices); }

std::unique_ptr<WordVoice> MakeLoggingWordVoice(SpeechLog& log) { return std::make_unique<LoggingWordVoice>(log); }

}  // namespace kal
