// The in-process synthesiser over espeak-ng in synchronous mode: espeak_Synth
// calls our callback with each piece of samples on the calling thread and
// returns when the text is done; the callback answering 1 ends it early.
#include "1_platform/text_synth.h"
#include "1_platform/module_entries.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <sys/stat.h>

#include <algorithm>
#include <mutex>

namespace kal {
namespace {

// The library keeps one callback for the process; the synthesis in progress
// hands its sink as the user data that every event of a piece carries.
int OnSamples(short* wav, int count, espeak_EVENT* events) {
  if (!wav || !events || !events->user_data) return 0;  // end of this text
  if (count <= 0) return 0;
  const auto& sink = *static_cast<const TextSynth::SampleSink*>(events->user_data);
  return sink(reinterpret_cast<const int16_t*>(wav), static_cast<size_t>(count)) ? 0 : 1;
}

// An MBROLA-backed voice names its database after the "mb-" of its file; it
// is usable only when that database is installed.
bool MbrolaDatabaseInstalled(const char* identifier) {
  std::string id = identifier ? identifier : "";
  size_t dash = id.rfind("mb-");
  if (dash == std::string::npos) return true;
  std::string db = id.substr(dash + 3);
  struct stat st;
  for (const char* dir : {"/usr/share/mbrola/", "/usr/share/mbrola/voices/"}) {
    std::string a = std::string(dir) + db + "/" + db, b = std::string(dir) + db;
    if (stat(a.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return true;
    if (stat(b.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return true;
  }
  return false;
}

// The library's state. The library is initialised once for the process and
// never terminated: after espeak_Terminate a second espeak_Initialize waits
// for ever on the library's own internal thread. Its calls are serialised
// by the lock, in case a synthesiser left behind by a stuck worker is still
// at work.
struct EspeakLibrary {
  std::mutex mu;
  bool initialised = false;
  int rate = 0;  // espeak_Initialize's answer: the sample rate, or an error
};

// Process-wide as the library itself is: every synthesiser, on whatever
// worker, shares its one initialisation and its lock.
EspeakLibrary& Library() {
  static EspeakLibrary library;
  return library;
}

// With the library's lock held.
int InitialisedRate(EspeakLibrary& library) {
  if (!library.initialised) {
    library.initialised = true;
    library.rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
    if (library.rate > 0) espeak_SetSynthCallback(OnSamples);
  }
  return library.rate;
}

class EspeakSynth : public TextSynth {
 public:
  bool Open(std::string* err) override {
    if (open_) return true;
    std::lock_guard<std::mutex> lock(Library().mu);
    rate_ = InitialisedRate(Library());
    if (rate_ <= 0) {
      if (err) *err = "espeak-ng could not be initialised";
      return false;
    }
    open_ = true;
    return true;
  }

  void Close() override { open_ = false; }

  std::vector<SynthVoiceInfo> Voices(std::string_view prefix) override {
    std::vector<SynthVoiceInfo> out;
    if (!open_) return out;
    std::lock_guard<std::mutex> lock(Library().mu);
    std::string lang(prefix);
    espeak_VOICE wanted{};
    wanted.languages = lang.c_str();
    const espeak_VOICE** list = espeak_ListVoices(&wanted);
    for (int i = 0; list && list[i]; ++i) {
      const espeak_VOICE* v = list[i];
      // languages: priority byte, name, zero; the first is the voice's own.
      std::string own = v->languages && v->languages[0] ? std::string(v->languages + 1) : "";
      if (own.compare(0, lang.size(), lang) != 0) continue;
      if (!MbrolaDatabaseInstalled(v->identifier)) continue;
      out.push_back({v->name ? v->name : "", own});
    }
    return out;
  }

  bool SetVoice(const std::string& name) override {
    if (!open_) return false;
    std::lock_guard<std::mutex> lock(Library().mu);
    if (espeak_SetVoiceByName(name.c_str()) != EE_OK) return false;
    rate_ = espeak_ng_GetSampleRate();
    return true;
  }

  void SetRate(int wpm) override {
    std::lock_guard<std::mutex> lock(Library().mu);
    if (open_) espeak_SetParameter(espeakRATE, wpm == 0 ? espeakRATE_NORMAL : std::clamp(wpm, espeakRATE_MINIMUM, espeakRATE_MAXIMUM), 0);
  }

  void SetPitch(int pitch) override {
    std::lock_guard<std::mutex> lock(Library().mu);
    if (open_) espeak_SetParameter(espeakPITCH, pitch == 0 ? 50 : std::clamp(pitch, 0, 100), 0);
  }

  int SampleRate() override { return rate_; }

  bool Synthesize(std::string_view utf8, const SampleSink& sink) override {
    if (!open_) return false;
    std::string text(utf8);
    std::lock_guard<std::mutex> lock(Library().mu);
    void* user_data = const_cast<SampleSink*>(&sink);
    espeak_ERROR e = espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                                  espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, user_data);
    return e == EE_OK;
  }

 private:
  bool open_ = false;
  int rate_ = 0;
};

}  // namespace

}  // namespace kal

// The module's entry (1_platform/module_entries.h).
extern "C" kal::TextSynth* kaldorin_make_espeak_synth() { return new kal::EspeakSynth(); }
