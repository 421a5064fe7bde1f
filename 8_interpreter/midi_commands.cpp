// MIDI: INICIA opens the output (3_audio/midi.h), TERMINA closes it, PANE
// silences every note of every channel, and NL, ND and TT send a note-on, a
// note-off and a program change. The argument is upper-cased first; of the
// note and program forms the first two characters are the subcommand and
// the rest its decimal operands, with nothing after the last.
#include <string>

#include "3_audio/midi.h"
#include "3_audio/midi_message.h"
#include "5_speech/speech.h"
#include "6_console/console.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"

namespace kal {
namespace {

constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kSystemReset = 0xFF;
// Sent after the reset when the output opens, as the family's programs
// always have; it is no status byte, so no output is given it.
constexpr uint32_t kAfterReset = 0x3F;

// An operand whose value is a decimal number from lo to hi (blanks around
// it allowed).
bool ReadMidiNumber(InterpreterState& in, std::string_view* args, int lo, int hi, int* out) {
  std::string text;
  if (TrimBlanks(*args).empty() || !ReadOperand(in, args, &text)) return false;
  std::string_view digits = TrimBlanks(text);
  if (digits.empty() || digits.size() > 3) return false;
  int v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < lo || v > hi) return false;
  *out = v;
  return true;
}

bool ReadChannelNumber(InterpreterState& in, std::string_view* args, int* channel) { return ReadMidiNumber(in, args, 1, 16, channel); }
bool ReadDataByte(InterpreterState& in, std::string_view* args, int* value) { return ReadMidiNumber(in, args, 0, 127, value); }

uint8_t Status(uint8_t kind, int channel) { return static_cast<uint8_t>(kind + channel - 1); }

// No output, no sound font, no device: the user hears why.
bool Inicia(InterpreterState& in) {
  WavePlayer& player = in.context->player;
  MidiStartError e = StartMidi(player);
  if (e != MidiStartError::kNone) {
    std::string_view why = MidiStartMessage(e);
    return why.empty() ? false : Fail(in, RunFault::kNotAvailable, std::string(why));
  }
  SendMidi(player, BuildShortMessage(kSystemReset));
  SendMidi(player, kAfterReset);
  in.midi_open = true;
  return true;
}

bool Pane(WavePlayer& player) {
  for (int channel = 1; channel <= 16; ++channel)
    for (int note = 0; note <= 127; ++note)
      SendMidi(player, BuildShortMessage(Status(kNoteOn, channel), static_cast<uint8_t>(note), 0));
  return true;
}

// NL channel note velocity, ND channel note, TT channel program.
bool NoteOrProgram(InterpreterState& in, std::string_view sub, std::string_view args) {
  int channel = 0, a = 0, b = 0;
  if (!ReadChannelNumber(in, &args, &channel) || !ReadDataByte(in, &args, &a)) return false;
  if (sub == "NL" && !ReadDataByte(in, &args, &b)) return false;
  if (!TrimBlanks(args).empty()) return false;
  if (sub == "TT") {
    if (!SendMidi(in.context->player, BuildShortMessage(Status(kProgramChange, channel), static_cast<uint8_t>(a))))
      ConsoleWriteLine(in.context->console, kMsgProgramChangeError);
    return true;
  }
  SendMidi(in.context->player, BuildShortMessage(Status(kNoteOn, channel), static_cast<uint8_t>(a), static_cast<uint8_t>(b)));
  return true;
}

}  // namespace

bool CmdMidi(InterpreterState& in, std::string_view args) {
  if (args.empty()) return false;
  std::string text = UpperCaseText(args);
  WavePlayer& player = in.context->player;
  if (text == "INICIA") return !MidiIsOpen(player) && Inicia(in);
  if (!MidiIsOpen(player)) return false;
  if (text == "TERMINA") {
    StopMidi(player);
    in.midi_open = false;
    return true;
  }
  if (text == "PANE") return Pane(player);
  std::string_view sub = std::string_view(text).substr(0, 2);
  if (sub != "NL" && sub != "ND" && sub != "TT") return false;
  return NoteOrProgram(in, sub, std::string_view(text).substr(2));
}

}  // namespace kal
