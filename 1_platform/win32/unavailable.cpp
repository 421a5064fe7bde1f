// Services of the Linux build that this Windows build does not have: each
// factory gives an object that fails to open and says why, so that callers
// take their usual "not available" path.
#include <string>

#include "1_platform/accessibility.h"
#include "1_platform/braille.h"
#include "1_platform/speech_server.h"
#include "1_platform/text_synth.h"

namespace kal {
namespace {

class NoBraille : public BrailleDevice {
 public:
  bool Open() override { return false; }
  bool IsOpen() const override { return false; }
  int CellCount() const override { return 0; }
  bool WriteCells(const std::vector<uint8_t>&) override { return false; }
  int KeyFd() const override { return -1; }
  bool ReadKey(BrailleKey*) override { return false; }
  void Close() override {}
};

class NoSpeechServer : public SpeechServerConnection {
 public:
  bool Open(const std::string&, EventHandler, std::string* err) override {
    if (err) *err = "no speech server on Windows";
    return false;
  }
  bool SetOutputModule(const std::string&) override { return false; }
  std::vector<std::string> Voices() override { return {}; }
  bool SetVoice(const std::string&) override { return false; }
  bool SetRate(int) override { return false; }
  int Say(const std::string&) override { return -1; }
  bool Cancel() override { return false; }
  void Close() override {}
};

class NoTextSynth : public TextSynth {
 public:
  bool Open(std::string* err) override {
    if (err) *err = "no in-process synthesiser on Windows";
    return false;
  }
  void Close() override {}
  std::vector<SynthVoiceInfo> Voices(std::string_view) override { return {}; }
  bool SetVoice(const std::string&) override { return false; }
  void SetRate(int) override {}
  void SetPitch(int) override {}
  int SampleRate() override { return 0; }
  bool Synthesize(std::string_view, const SampleSink&) override { return false; }
};

// The accessibility tree (MSAA on Windows) is not reached yet: scripts hear
// that it is not available.
class NoAccessibility : public Accessibility {
 public:
  bool Available() override { return false; }
  bool StartMonitoring(AccessibilitySink) override { return false; }
  void StopMonitoring() override {}
  bool ObjectAtPoint(int, int, AccessibleProperties*) override { return false; }
};

}  // namespace

std::unique_ptr<Accessibility> MakeAtspiAccessibility() { return std::make_unique<NoAccessibility>(); }
std::unique_ptr<BrailleDevice> MakeBrlapiBraille() { return std::make_unique<NoBraille>(); }
std::unique_ptr<SpeechServerConnection> MakeSpeechdConnection() { return std::make_unique<NoSpeechServer>(); }
std::unique_ptr<TextSynth> MakeEspeakSynth() { return std::make_unique<NoTextSynth>(); }

}  // namespace kal
