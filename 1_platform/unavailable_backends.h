// Stand-ins for services this run cannot have (a Windows build without the
// service, a Linux module or library that is missing): each opens never and
// says why where its interface has room for a reason, so that callers take
// their usual "not available" path.
#pragma once

#include <memory>
#include <string>

#include "1_platform/accessibility.h"
#include "1_platform/audio.h"
#include "1_platform/automation.h"
#include "1_platform/braille.h"
#include "1_platform/midi_out.h"
#include "1_platform/speech_server.h"
#include "1_platform/text_synth.h"

namespace kal {

std::unique_ptr<AudioDevice> MakeNoAudio(std::string why);
std::unique_ptr<BrailleDevice> MakeNoBraille();
std::unique_ptr<Accessibility> MakeNoAccessibility();
std::unique_ptr<SpeechServerConnection> MakeNoSpeechServer(std::string why);
std::unique_ptr<TextSynth> MakeNoTextSynth(std::string why);
// A desktop that is never there (no display).
std::unique_ptr<DesktopAutomation> MakeNoDesktop();
// A MIDI output that never opens, with that error and reason.
std::unique_ptr<MidiOutput> MakeNoMidiOutput(MidiOpenError error, std::string why);

}  // namespace kal
