// Stand-ins for services this run cannot have (a Windows build without the
// service, a Linux module or library that is missing, no display): each
// opens never, so that callers take their usual "not available" path, and
// says why: through its interface where that has room for a reason, and
// always through StandInReason.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "1_platform/accessibility.h"
#include "1_platform/audio.h"
#include "1_platform/automation.h"
#include "1_platform/braille.h"
#include "1_platform/console_frontend.h"
#include "1_platform/desktop_clipboard.h"
#include "1_platform/midi_out.h"
#include "1_platform/speech_server.h"
#include "1_platform/text_synth.h"

namespace kal {

struct Platform;

// What every stand-in is besides its service: the reason it stands in.
class StandIn {
 public:
  explicit StandIn(std::string why) : why_(std::move(why)) {}
  virtual ~StandIn() = default;
  const std::string& why() const { return why_; }

 private:
  std::string why_;
};

// Why `service` is a stand-in; empty when it is the real one.
template <typename Service>
std::string StandInReason(const Service& service) {
  const auto* stand_in = dynamic_cast<const StandIn*>(&service);
  return stand_in ? stand_in->why() : std::string();
}

std::unique_ptr<AudioDevice> MakeNoAudio(std::string why);
std::unique_ptr<BrailleDevice> MakeNoBraille(std::string why);
std::unique_ptr<Accessibility> MakeNoAccessibility(std::string why);
std::unique_ptr<SpeechServerConnection> MakeNoSpeechServer(std::string why);
std::unique_ptr<TextSynth> MakeNoTextSynth(std::string why);
// A desktop that is never there (no display); the console's window is the
// one a front end named in the platform state.
std::unique_ptr<DesktopAutomation> MakeNoDesktop(const Platform& platform, std::string why);
// A window that did not open: its input has ended at once.
std::unique_ptr<ConsoleFrontEnd> MakeNoWindow(std::string why);
// A desktop clipboard that cannot be reached.
std::unique_ptr<DesktopClipboard> MakeNoDesktopClipboard(std::string why);
// A MIDI output that never opens, with that error and reason.
std::unique_ptr<MidiOutput> MakeNoMidiOutput(MidiOpenError error, std::string why);

}  // namespace kal
