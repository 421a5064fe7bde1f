#include "1_platform/unavailable_backends.h"

#include <utility>

namespace kal {
namespace {

class NoAudio : public AudioDevice, public StandIn {
 public:
  using StandIn::StandIn;
  std::vector<std::string> ListDevices() override { return {}; }
  bool Open(int, const AudioFormat&, std::string* err) override { return Fail(err); }
  void Close() override {}
  bool IsOpen() const override { return false; }
  int Queue(const uint8_t*, size_t) override { return kAudioInvalidHandle; }
  size_t QueuedBytes() override { return 0; }
  int BufferMs() override { return 0; }
  void Clear() override {}
  bool AttachMix(AudioMixSource*, int, std::string* err) override { return Fail(err); }
  void DetachMix() override {}

 private:
  bool Fail(std::string* err) const {
    if (err) *err = why();
    return false;
  }
};

class NoBraille : public BrailleDevice, public StandIn {
 public:
  using StandIn::StandIn;
  bool Open() override { return false; }
  bool IsOpen() const override { return false; }
  int CellCount() const override { return 0; }
  bool WriteCells(const std::vector<uint8_t>&) override { return false; }
  int KeyFd() const override { return -1; }
  bool ReadKey(BrailleKey*) override { return false; }
  void Close() override {}
};

class NoAccessibility : public Accessibility, public StandIn {
 public:
  using StandIn::StandIn;
  bool Available() override { return false; }
  bool StartMonitoring(AccessibilitySink) override { return false; }
  void StopMonitoring() override {}
  bool ObjectAtPoint(int, int, AccessibleProperties*) override { return false; }
};

class NoSpeechServer : public SpeechServerConnection, public StandIn {
 public:
  using StandIn::StandIn;
  bool Open(const std::string&, EventHandler, std::string* err) override {
    if (err) *err = why();
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

class NoTextSynth : public TextSynth, public StandIn {
 public:
  using StandIn::StandIn;
  bool Open(std::string* err) override {
    if (err) *err = why();
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

class NoDesktop : public DesktopAutomation, public StandIn {
 public:
  // The console's window is still the one a front end of that platform
  // state named.
  NoDesktop(const Platform& platform, std::string why) : StandIn(std::move(why)), platform_(platform) {}
  DesktopAvailability Availability() override { return DesktopAvailability::kNoDisplay; }
  bool KeyForVirtualKey(int, int*) override { return false; }
  bool KeyForCharacter(uint8_t, LayoutKey*) override { return false; }
  bool SendKey(int, bool) override { return false; }
  bool PointerPosition(int*, int*) override { return false; }
  bool MovePointer(int, int) override { return false; }
  bool SendLeftButton(bool) override { return false; }
  bool ForegroundOrigin(int*, int*) override { return false; }
  bool ActiveWindowTitle(std::string*) override { return false; }
  bool ConsoleIsActive() override { return false; }
  bool TopLevelWindows(std::vector<DesktopWindow>*) override { return false; }
  bool ActOnWindow(uint64_t, WindowAction) override { return false; }
  uint64_t ConsoleWindowId() override { return ExplicitConsoleWindowId(platform_); }

 private:
  const Platform& platform_;
};

class NoMidiOutput : public MidiOutput, public StandIn {
 public:
  NoMidiOutput(MidiOpenError error, std::string why) : StandIn(std::move(why)), error_(error) {}
  MidiOpenError Open(std::string* detail) override {
    if (detail) *detail = why();
    return error_;
  }
  void Close() override {}
  bool Send(const MidiBytes&) override { return false; }

 private:
  MidiOpenError error_;
};

class NoWindow : public ConsoleFrontEnd, public StandIn {
 public:
  using StandIn::StandIn;
  void OnWrite(std::string_view) override {}
  void Present(const ConsoleGrid&) override {}
  void SetTitle(std::string_view) override {}
  int InputFd() override { return -1; }
  int ReadInput(char*, int) override { return -1; }
};

class NoDesktopClipboard : public DesktopClipboard, public StandIn {
 public:
  using StandIn::StandIn;
  bool Put(std::string_view) override { return false; }
  bool Get(std::string*, size_t) override { return false; }
};

}  // namespace

std::unique_ptr<AudioDevice> MakeNoAudio(std::string why) { return std::make_unique<NoAudio>(std::move(why)); }
std::unique_ptr<BrailleDevice> MakeNoBraille(std::string why) { return std::make_unique<NoBraille>(std::move(why)); }
std::unique_ptr<Accessibility> MakeNoAccessibility(std::string why) {
  return std::make_unique<NoAccessibility>(std::move(why));
}
std::unique_ptr<SpeechServerConnection> MakeNoSpeechServer(std::string why) {
  return std::make_unique<NoSpeechServer>(std::move(why));
}
std::unique_ptr<TextSynth> MakeNoTextSynth(std::string why) { return std::make_unique<NoTextSynth>(std::move(why)); }
std::unique_ptr<DesktopAutomation> MakeNoDesktop(const Platform& platform, std::string why) {
  return std::make_unique<NoDesktop>(platform, std::move(why));
}
std::unique_ptr<ConsoleFrontEnd> MakeNoWindow(std::string why) { return std::make_unique<NoWindow>(std::move(why)); }
std::unique_ptr<DesktopClipboard> MakeNoDesktopClipboard(std::string why) {
  return std::make_unique<NoDesktopClipboard>(std::move(why));
}
std::unique_ptr<MidiOutput> MakeNoMidiOutput(MidiOpenError error, std::string why) {
  return std::make_unique<NoMidiOutput>(error, std::move(why));
}

}  // namespace kal
