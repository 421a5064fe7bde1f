// The back ends that live in modules (1_platform/backend_module.h), as the
// rest of the program asks for them: each factory opens its module on first
// use and, when the module or a library it needs is missing, gives the
// stand-in that says the service is not available.
#include <dirent.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "1_platform/accessibility.h"
#include "1_platform/audio.h"
#include "1_platform/automation.h"
#include "1_platform/backend_module.h"
#include "1_platform/braille.h"
#include "1_platform/console_frontend.h"
#include "1_platform/desktop.h"
#include "1_platform/desktop_clipboard.h"
#include "1_platform/fallback_audio.h"
#include "1_platform/midi_out.h"
#include "1_platform/speech_server.h"
#include "1_platform/text_synth.h"
#include "1_platform/unavailable_backends.h"

namespace kal {
namespace {

// The module's entry as the function it is; nullptr when it cannot be had.
template <typename F>
F* Entry(const char* module, const char* entry, std::string* why = nullptr) {
  return reinterpret_cast<F*>(ModuleEntry(module, entry, why));
}

// What the module's maker entry makes; nullptr when it cannot be had.
template <typename T>
T* FromModule(const char* module, const char* entry, std::string* why) {
  auto* make = Entry<T*()>(module, entry, why);
  return make ? make() : nullptr;
}

// Whether an X display is named: without one the desktop's module is not
// loaded at all.
bool DisplayNamed() {
  const char* display = std::getenv("DISPLAY");
  return display && *display;
}

// Whether a braille server may be there to talk to: one named by
// BRLAPI_HOST, or a local socket of the server's in its folder. Without
// either the braille library is not even loaded.
bool BrailleServerAnnounced() {
  const char* host = std::getenv("BRLAPI_HOST");
  if (host && *host) return true;
  DIR* dir = opendir("/var/lib/BrlAPI");
  if (!dir) return false;
  bool any = false;
  while (dirent* e = readdir(dir)) {
    if (e->d_name[0] != '.') {
      any = true;
      break;
    }
  }
  closedir(dir);
  return any;
}

}  // namespace

std::unique_ptr<AudioDevice> MakeSdlAudio() {
  std::string why;
  if (AudioDevice* device = FromModule<AudioDevice>("audio", "kaldorin_make_sdl_audio", &why))
    return std::unique_ptr<AudioDevice>(device);
  return MakeNoAudio(why);
}

std::unique_ptr<AudioDevice> MakeAlsaAudio() {
  std::string why;
  if (AudioDevice* device = FromModule<AudioDevice>("alsa", "kaldorin_make_alsa_audio", &why))
    return std::unique_ptr<AudioDevice>(device);
  return MakeNoAudio(why);
}

// ALSA first, for its light start; the sound library where ALSA cannot
// open (a system whose sound server ALSA does not reach), or first when
// SDL_AUDIODRIVER asks for one of its drivers.
std::unique_ptr<AudioDevice> MakeHostAudio() {
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  if (driver && *driver) return MakeFallbackAudio(MakeSdlAudio(), MakeAlsaAudio);
  return MakeFallbackAudio(MakeAlsaAudio(), MakeSdlAudio);
}

std::unique_ptr<BrailleDevice> MakeBrlapiBraille() {
  if (!BrailleServerAnnounced()) return MakeNoBraille();
  if (BrailleDevice* device = FromModule<BrailleDevice>("braille", "kaldorin_make_brlapi_braille", nullptr))
    return std::unique_ptr<BrailleDevice>(device);
  return MakeNoBraille();
}

std::unique_ptr<ConsoleFrontEnd> MakeWindowFrontEnd(const WindowOptions& opts) {
  auto* make = Entry<ConsoleFrontEnd*(const WindowOptions&)>("window", "kaldorin_make_window_front_end");
  return std::unique_ptr<ConsoleFrontEnd>(make ? make(opts) : nullptr);
}

std::unique_ptr<SpeechServerConnection> MakeSpeechdConnection() {
  std::string why;
  if (auto* c = FromModule<SpeechServerConnection>("speechd", "kaldorin_make_speechd_connection", &why))
    return std::unique_ptr<SpeechServerConnection>(c);
  return MakeNoSpeechServer(why);
}

std::unique_ptr<TextSynth> MakeEspeakSynth() {
  std::string why;
  if (auto* s = FromModule<TextSynth>("espeak", "kaldorin_make_espeak_synth", &why)) return std::unique_ptr<TextSynth>(s);
  return MakeNoTextSynth(why);
}

std::unique_ptr<MidiOutput> MakeSynthMidiOutput(const std::string& sound_font) {
  std::string why;
  if (auto* make = Entry<MidiOutput*(const std::string&)>("fluidsynth", "kaldorin_make_synth_output", &why))
    return std::unique_ptr<MidiOutput>(make(sound_font));
  return MakeNoMidiOutput(MidiOpenError::kNoSynthesizer, why);
}

std::unique_ptr<MidiOutput> MakeSequencerMidiOutput(const std::string& port) {
  std::string why;
  if (auto* make = Entry<MidiOutput*(const std::string&)>("sequencer", "kaldorin_make_sequencer_output", &why))
    return std::unique_ptr<MidiOutput>(make(port));
  return MakeNoMidiOutput(MidiOpenError::kNoSequencer, why);
}

std::unique_ptr<Accessibility> MakeHostAccessibility() {
  if (auto* a = FromModule<Accessibility>("atspi", "kaldorin_make_atspi_accessibility", nullptr))
    return std::unique_ptr<Accessibility>(a);
  return MakeNoAccessibility();
}

std::unique_ptr<DesktopAutomation> MakeX11Automation() {
  if (DisplayNamed())
    if (auto* d = FromModule<DesktopAutomation>("x11", "kaldorin_make_x11_automation", nullptr))
      return std::unique_ptr<DesktopAutomation>(d);
  return MakeNoDesktop();
}

std::unique_ptr<DesktopAutomation> MakeHostAutomation() { return MakeX11Automation(); }

std::unique_ptr<DesktopClipboard> MakeX11Clipboard() {
  if (!DisplayNamed()) return nullptr;
  return std::unique_ptr<DesktopClipboard>(FromModule<DesktopClipboard>("x11", "kaldorin_make_x11_clipboard", nullptr));
}

std::unique_ptr<DesktopClipboard> MakeHostClipboard() { return MakeX11Clipboard(); }

bool QueryForegroundWindow(ForegroundWindow* w) {
  auto* query = DisplayNamed() ? Entry<bool(ForegroundWindow*)>("x11", "kaldorin_query_foreground_window") : nullptr;
  return query && query(w);
}

bool MinimizeConsoleWindow() {
  auto* minimize = DisplayNamed() ? Entry<bool()>("x11", "kaldorin_minimize_console_window") : nullptr;
  return minimize && minimize();
}

// Only a window that was minimized needs restoring: a run that never used
// the desktop does not load its module for this.
bool RestoreConsoleWindow() {
  auto* restore = reinterpret_cast<bool (*)()>(LoadedModuleEntry("x11", "kaldorin_restore_console_window"));
  return restore && restore();
}

void NoteConsoleWindowAtStart() {
  auto* note = DisplayNamed() ? Entry<void()>("x11", "kaldorin_note_console_window_at_start") : nullptr;
  if (note) note();
}

}  // namespace kal
