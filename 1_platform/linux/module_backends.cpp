// The back ends that live in modules (1_platform/backend_module.h), as the
// rest of the program asks for them: each maker opens its module on first
// use, through the typed entries of 1_platform/module_entries.h, and gives
// the real back end, or a stand-in (1_platform/unavailable_backends.h) that
// says why not: the module or a library it needs is missing, the module has
// no such entry or is of another interface, or the module could not make
// the service (no display).
#include <dirent.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>

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
#include "1_platform/platform_messages.h"
#include "1_platform/speech_server.h"
#include "1_platform/text_synth.h"
#include "1_platform/unavailable_backends.h"

namespace kal {
namespace {

// What the maker entry `id` makes from `args`, or what `stand_in` makes from
// the reason it could not be had. A maker that runs but makes nothing says
// `otherwise` for itself.
template <typename T, typename... Args, typename MakeStandIn>
std::unique_ptr<T> Made(ModuleEntryId<T*(Args...)> id, MakeStandIn stand_in, std::string_view otherwise,
                        std::type_identity_t<Args>... args) {
  std::string why;
  if (auto* make = ModuleEntry(id, &why)) {
    if (T* made = make(args...)) return std::unique_ptr<T>(made);
    why = std::string(otherwise);
  }
  return stand_in(why);
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

// The x11 module's entry when a display is named; nullptr otherwise.
template <typename F>
F* DesktopEntry(ModuleEntryId<F> id) {
  return DisplayNamed() ? ModuleEntry(id, nullptr) : nullptr;
}

}  // namespace

std::unique_ptr<AudioDevice> MakeSdlAudio() {
  return Made(module_entry::kMakeSdlAudio, MakeNoAudio, platform_msg::kModuleMadeNothing);
}

std::unique_ptr<AudioDevice> MakeAlsaAudio() {
  return Made(module_entry::kMakeAlsaAudio, MakeNoAudio, platform_msg::kModuleMadeNothing);
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
  if (!BrailleServerAnnounced()) return MakeNoBraille(std::string(platform_msg::kNoBrailleServer));
  return Made(module_entry::kMakeBrlapiBraille, MakeNoBraille, platform_msg::kModuleMadeNothing);
}

std::unique_ptr<ConsoleFrontEnd> MakeWindowFrontEnd(Platform& platform, const WindowOptions& opts) {
  return Made(module_entry::kMakeWindowFrontEnd, MakeNoWindow, platform_msg::kNoDisplay, platform, opts);
}

std::unique_ptr<SpeechServerConnection> MakeSpeechdConnection() {
  return Made(module_entry::kMakeSpeechdConnection, MakeNoSpeechServer, platform_msg::kModuleMadeNothing);
}

std::unique_ptr<TextSynth> MakeEspeakSynth() {
  return Made(module_entry::kMakeEspeakSynth, MakeNoTextSynth, platform_msg::kModuleMadeNothing);
}

std::unique_ptr<MidiOutput> MakeSynthMidiOutput(const std::string& sound_font) {
  auto none = [](std::string why) { return MakeNoMidiOutput(MidiOpenError::kNoSynthesizer, std::move(why)); };
  return Made(module_entry::kMakeSynthOutput, none, platform_msg::kModuleMadeNothing, sound_font);
}

std::unique_ptr<MidiOutput> MakeSequencerMidiOutput(const std::string& port) {
  auto none = [](std::string why) { return MakeNoMidiOutput(MidiOpenError::kNoSequencer, std::move(why)); };
  return Made(module_entry::kMakeSequencerOutput, none, platform_msg::kModuleMadeNothing, port);
}

std::unique_ptr<Accessibility> MakeHostAccessibility(Platform& platform) {
  return Made(module_entry::kMakeAtspiAccessibility, MakeNoAccessibility, platform_msg::kModuleMadeNothing,
              platform);
}

std::unique_ptr<DesktopAutomation> MakeX11Automation(Platform& platform) {
  auto none = [&platform](std::string why) { return MakeNoDesktop(platform, std::move(why)); };
  if (!DisplayNamed()) return none(std::string(platform_msg::kNoDisplay));
  return Made(module_entry::kMakeX11Automation, none, platform_msg::kModuleMadeNothing, platform);
}

std::unique_ptr<DesktopAutomation> MakeHostAutomation(Platform& platform) { return MakeX11Automation(platform); }

std::unique_ptr<DesktopClipboard> MakeX11Clipboard(Platform& platform) {
  if (!DisplayNamed()) return MakeNoDesktopClipboard(std::string(platform_msg::kNoDisplay));
  return Made(module_entry::kMakeX11Clipboard, MakeNoDesktopClipboard, platform_msg::kNoDisplay, platform);
}

std::unique_ptr<DesktopClipboard> MakeHostClipboard(Platform& platform) { return MakeX11Clipboard(platform); }

bool QueryForegroundWindow(Platform& platform, ForegroundWindow* w) {
  auto* query = DesktopEntry(module_entry::kQueryForegroundWindow);
  return query && query(platform, w);
}

bool MinimizeConsoleWindow(Platform& platform) {
  auto* minimize = DesktopEntry(module_entry::kMinimizeConsoleWindow);
  return minimize && minimize(platform);
}

// Only a window that was minimized needs restoring: a run that never used
// the desktop does not load its module for this.
bool RestoreConsoleWindow(Platform& platform) {
  auto* restore = LoadedModuleEntry(module_entry::kRestoreConsoleWindow);
  return restore && restore(platform);
}

void NoteConsoleWindowAtStart(Platform& platform) {
  if (auto* note = DesktopEntry(module_entry::kNoteConsoleWindowAtStart)) note(platform);
}

}  // namespace kal
