// The in-process text-to-speech library seam: a synthesiser that turns a
// text into 16-bit mono samples, handing them over piece by piece as it
// goes, and returns when the text is done. The library is one instance per
// process: every call must come from one thread (the local voice's worker).
//
// Back end: espeak-ng (1_platform/linux/espeak_synth.cpp). Without it in the
// build, Open fails and says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

struct SynthVoiceInfo {
  std::string name;      // what SetVoice takes
  std::string language;  // e.g. "pt-br"
};

class TextSynth {
 public:
  virtual ~TextSynth() = default;
  // Loads the library. False with *err filled when it cannot.
  virtual bool Open(std::string* err) = 0;
  virtual void Close() = 0;
  // The installed voices whose language begins with the prefix, in the
  // library's order of preference; voices whose data is missing are left
  // out.
  virtual std::vector<SynthVoiceInfo> Voices(std::string_view language_prefix) = 0;
  virtual bool SetVoice(const std::string& name) = 0;
  // Words per minute, and pitch 0..100 (50 normal); values are clamped to
  // what the library takes, 0 restores the library's default. The settings
  // are the process's, not this object's.
  virtual void SetRate(int words_per_minute) = 0;
  virtual void SetPitch(int pitch) = 0;
  // Samples per second of the current voice.
  virtual int SampleRate() = 0;
  // Speaks a UTF-8 text. sink gets the samples in order; when it answers
  // false the synthesis ends early. False when the library refused the text.
  using SampleSink = std::function<bool(const int16_t* samples, size_t count)>;
  virtual bool Synthesize(std::string_view utf8, const SampleSink& sink) = 0;
};

std::unique_ptr<TextSynth> MakeEspeakSynth();

}  // namespace kal
