// The entries of the back ends' modules (1_platform/backend_module.h), in
// one table: each entry's module, its C name and its type, written once.
//
// From the table come the entries' declarations, which every module's source
// includes, so that the compiler holds each definition to its type; the ids
// the core asks the loader for, which carry the same type; and the module
// interface that each module exports (kaldorin_module_interface) and the
// loader compares with its own before it takes any entry: a module built from
// another table, or before the last change of the interfaces it implements,
// is refused with that reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kal {
class Accessibility;
class AudioDevice;
class BrailleDevice;
class ConsoleFrontEnd;
class DesktopAutomation;
class DesktopClipboard;
class EventLoop;
class MidiOutput;
class SpeechServerConnection;
class TextSynth;
struct ForegroundWindow;
struct Platform;
struct Picture;
struct WindowOptions;
}  // namespace kal

// X(id, module, entry, type): the entry `entry` of kaldorin-MODULE, a
// function of that type. A maker returns a new object, or nullptr when it
// cannot make one (no display); the core then gives a stand-in.
#define KALDORIN_MODULE_ENTRIES(X)                                                                         \
  X(kMakeSdlAudio, "audio", kaldorin_make_sdl_audio, kal::AudioDevice*())                                  \
  X(kMakeAlsaAudio, "alsa", kaldorin_make_alsa_audio, kal::AudioDevice*())                                 \
  X(kMakeWindowFrontEnd, "window", kaldorin_make_window_front_end,                                         \
    kal::ConsoleFrontEnd*(kal::Platform&, const kal::WindowOptions&))                                      \
  X(kMakeBrlapiBraille, "braille", kaldorin_make_brlapi_braille, kal::BrailleDevice*())                    \
  X(kDecodeJpeg, "jpeg", kaldorin_decode_jpeg, bool(const char*, std::size_t, kal::Picture*))              \
  X(kMakeX11Automation, "x11", kaldorin_make_x11_automation, kal::DesktopAutomation*(kal::Platform&))      \
  X(kMakeX11Clipboard, "x11", kaldorin_make_x11_clipboard, kal::DesktopClipboard*(kal::Platform&))         \
  X(kQueryForegroundWindow, "x11", kaldorin_query_foreground_window,                                       \
    bool(kal::Platform&, kal::ForegroundWindow*))                                                          \
  X(kMinimizeConsoleWindow, "x11", kaldorin_minimize_console_window, bool(kal::Platform&))                 \
  X(kRestoreConsoleWindow, "x11", kaldorin_restore_console_window, bool(kal::Platform&))                   \
  X(kNoteConsoleWindowAtStart, "x11", kaldorin_note_console_window_at_start,                               \
    void(kal::Platform&))                                                                                  \
  X(kMakeAtspiAccessibility, "atspi", kaldorin_make_atspi_accessibility,                                   \
    kal::Accessibility*(kal::Platform&))                                                                   \
  X(kScreenReaderEnabled, "atspi", kaldorin_screen_reader_enabled, int(const char*))                       \
  X(kMakeSpeechdConnection, "speechd", kaldorin_make_speechd_connection, kal::SpeechServerConnection*())   \
  X(kMakeEspeakSynth, "espeak", kaldorin_make_espeak_synth, kal::TextSynth*())                             \
  X(kMakeSynthOutput, "fluidsynth", kaldorin_make_synth_output, kal::MidiOutput*(const std::string&))      \
  X(kMakeSequencerOutput, "sequencer", kaldorin_make_sequencer_output, kal::MidiOutput*(const std::string&))

// Raised whenever an interface that a module implements (AudioDevice,
// ConsoleFrontEnd, ...) changes in a way a module built before would not
// follow; a change of the table above changes the interface by itself.
#define KALDORIN_MODULE_REVISION 1

namespace kal {

template <typename F>
using ModuleFunction = F;

}  // namespace kal

// Every entry, declared with its C name and type, and the interface entry.
#define KALDORIN_DECLARE_MODULE_ENTRY(id, module, entry, ...) \
  extern "C" kal::ModuleFunction<__VA_ARGS__> entry;
KALDORIN_MODULE_ENTRIES(KALDORIN_DECLARE_MODULE_ENTRY)
#undef KALDORIN_DECLARE_MODULE_ENTRY
extern "C" std::uint32_t kaldorin_module_interface();

namespace kal {

// An entry of the table: which module, which name, and (as F) its type.
template <typename F>
struct ModuleEntryId {
  const char* module;
  const char* entry;
};

namespace module_entry {
#define KALDORIN_MODULE_ENTRY_ID(id, module, entry, ...) \
  inline constexpr ModuleEntryId<__VA_ARGS__> id{module, #entry};
KALDORIN_MODULE_ENTRIES(KALDORIN_MODULE_ENTRY_ID)
#undef KALDORIN_MODULE_ENTRY_ID
}  // namespace module_entry

// Every entry by name, for what goes through them all.
struct ModuleEntryName {
  const char* module;
  const char* entry;
};
#define KALDORIN_MODULE_ENTRY_NAME(id, module, entry, ...) ModuleEntryName{module, #entry},
inline constexpr ModuleEntryName kModuleEntries[] = {KALDORIN_MODULE_ENTRIES(KALDORIN_MODULE_ENTRY_NAME)};
#undef KALDORIN_MODULE_ENTRY_NAME

// The module interface: the revision and the table's own text, hashed
// (FNV-1a), so that a module and the core agree only when both were built
// from the same table and revision.
constexpr std::uint32_t ModuleInterfaceOf(const char* text) {
  std::uint32_t h = 2166136261u;
  for (; *text; ++text) h = (h ^ static_cast<unsigned char>(*text)) * 16777619u;
  return h;
}
#define KALDORIN_MODULE_ENTRY_TEXT(id, module, entry, ...) module #entry #__VA_ARGS__ ";"
#define KALDORIN_TEXT_OF(x) #x
#define KALDORIN_TEXT(x) KALDORIN_TEXT_OF(x)
inline constexpr std::uint32_t kModuleInterface =
    ModuleInterfaceOf(KALDORIN_TEXT(KALDORIN_MODULE_REVISION) KALDORIN_MODULE_ENTRIES(KALDORIN_MODULE_ENTRY_TEXT));
#undef KALDORIN_MODULE_ENTRY_TEXT
#undef KALDORIN_TEXT
#undef KALDORIN_TEXT_OF

}  // namespace kal
