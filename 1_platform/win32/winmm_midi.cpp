// MIDI outputs of the Windows build. With no output named, notes go to the
// MIDI mapper, which hands them to the synthesizer the system is set to
// use; KALDORIN/SAIDAMIDI may name an output device instead, by its name
// as the system lists it or by its number (0 for the first).
#include "1_platform/win32/winmm_midi.h"

#include <cwctype>
#include <string>

#include "1_platform/win32/wide.h"

namespace kal {
namespace {

const WinmmMidiCalls kWinmm = {midiOutGetNumDevs, midiOutGetDevCapsW, midiOutOpen, midiOutShortMsg, midiOutReset,
                               midiOutClose};
const WinmmMidiCalls* g_calls = &kWinmm;

// No device at all behind the mapper or the number: the user is told so.
bool MeansNoDevice(MMRESULT r) {
  return r == MIDIERR_NODEVICE || r == MMSYSERR_NODRIVER || r == MMSYSERR_BADDEVICEID;
}

bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  return true;
}

// The device number a configured name stands for; false when none matches.
bool FindDevice(const std::string& name, UINT* device) {
  UINT count = g_calls->num_devs();
  if (!name.empty() && name.size() <= 3 && name.find_first_not_of("0123456789") == std::string::npos) {
    UINT n = static_cast<UINT>(std::stoul(name));
    if (n >= count) return false;
    *device = n;
    return true;
  }
  std::wstring wanted = Widen(name);
  for (UINT i = 0; i < count; ++i) {
    MIDIOUTCAPSW caps{};
    if (g_calls->get_caps(i, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
    caps.szPname[MAXPNAMELEN - 1] = 0;
    if (SameNameIgnoringCase(caps.szPname, wanted)) {
      *device = i;
      return true;
    }
  }
  return false;
}

class WinmmMidiOutput : public MidiOutput {
 public:
  // An empty name: the mapper.
  explicit WinmmMidiOutput(std::string device_name) : device_name_(std::move(device_name)) {}
  ~WinmmMidiOutput() override { Close(); }

  MidiOpenError Open(std::string* detail) override {
    Close();
    calls_ = g_calls;
    if (calls_->num_devs() == 0) {
      if (detail) *detail = "the system has no MIDI output device";
      return MidiOpenError::kNoDevice;
    }
    UINT device = MIDI_MAPPER;
    if (!device_name_.empty() && !FindDevice(device_name_, &device)) {
      if (detail) *detail = "no MIDI output device is called " + device_name_;
      return MidiOpenError::kNoPort;
    }
    MMRESULT r = calls_->open(&handle_, device, 0, 0, CALLBACK_NULL);
    if (r != MMSYSERR_NOERROR) {
      handle_ = nullptr;
      if (detail) *detail = "midiOutOpen failed with code " + std::to_string(r);
      if (MeansNoDevice(r)) return MidiOpenError::kNoDevice;
      return device_name_.empty() ? MidiOpenError::kNoSynthesizer : MidiOpenError::kNoPort;
    }
    return MidiOpenError::kNone;
  }

  // Notes still sounding are silenced before the device is let go.
  void Close() override {
    if (!handle_) return;
    calls_->reset(handle_);
    calls_->close(handle_);
    handle_ = nullptr;
  }

  bool Send(const MidiBytes& message) override {
    return handle_ && calls_->short_msg(handle_, PackMidiBytes(message)) == MMSYSERR_NOERROR;
  }

 private:
  std::string device_name_;
  const WinmmMidiCalls* calls_ = g_calls;
  HMIDIOUT handle_ = nullptr;
};

}  // namespace

void SetWinmmMidiCallsForTest(const WinmmMidiCalls* calls) { g_calls = calls ? calls : &kWinmm; }

DWORD PackMidiBytes(const MidiBytes& message) {
  DWORD packed = message.data[0];
  if (message.length >= 2) packed |= static_cast<DWORD>(message.data[1]) << 8;
  if (message.length >= 3) packed |= static_cast<DWORD>(message.data[2]) << 16;
  return packed;
}

// The Windows build has no synthesizer of its own: the mapper's takes the
// notes, so a sound font is of no use here.
std::unique_ptr<MidiOutput> MakeSynthMidiOutput(const std::string&) {
  return std::make_unique<WinmmMidiOutput>("");
}

std::unique_ptr<MidiOutput> MakeSequencerMidiOutput(const std::string& port) {
  return std::make_unique<WinmmMidiOutput>(port);
}

std::string DefaultSoundFont() { return {}; }

}  // namespace kal
