// The console commands: ESCREVE, LE/LÊ, FALA, SOLETRA, FALAHORA, ESPERA,
// TITULO/TÍTULO, COR, FUNDO, TELA. The channel forms of ESCREVE and LE go to
// the file family, LE CONSOLE to the program family.
#include <string>

#include "6_console/console.h"
#include "6_console/console_state.h"
#include "0_base/console_grid.h"
#include "0_base/keys.h"
#include "6_console/field_editor.h"
#include "5_speech/speech.h"
#include "5_speech/time_speech.h"
#include "5_speech/speech_state.h"
#include "8_interpreter/channel_io.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/program_commands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "1_platform/desktop.h"
#include "1_platform/stop_request.h"

namespace kal {
namespace {

constexpr int kTitlePollMs = 500;
constexpr size_t kTitleMax = 249;
constexpr size_t kConsoleTitleMax = 300;
constexpr int kEditFieldMax = 1024;

// Removes a keyword written at the front (any case, no blank needed after).
bool TakeKeyword(std::string_view* args, std::string_view keyword) {
  if (!StartsWithKeyword(*args, keyword)) return false;
  args->remove_prefix(keyword.size());
  *args = TrimBlanks(*args);
  return true;
}

// The key-code text of a key read from the queue: printable keys as
// themselves, control keys as '#' and the code, extended keys as "#0#" and
// the scan code. With the modifier prefix (TECLA) printable keys too are
// given by code, after one digit each for Shift, Ctrl and Alt.
std::string ReadKeyCode(Console& console, bool spoken, bool with_modifiers) {
  uint8_t k = spoken ? ReadKeySpoken(console.speech) : ReadKey(console.platform);
  std::string text;
  if (k == 0) {
    text = "#0#" + std::to_string(ReadKey(console.platform));
  } else if (k < 32 || with_modifiers) {
    text = "#" + std::to_string(k);
  } else {
    text = std::string(1, static_cast<char>(k));
  }
  if (!with_modifiers) return text;
  uint8_t mods = LastKeyModifiers(console);
  std::string prefix = {mods & 1 ? '1' : '0', mods & 2 ? '1' : '0', mods & 4 ? '1' : '0'};
  return prefix + text;
}

std::string WithoutLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

// A console line read without speech; with hidden typing the text colour
// is black on black for the read.
std::string ReadSilentLine(Console& console, bool hidden) {
  ConsoleGrid& g = GridOf(console);
  uint8_t attribute = g.attribute();
  if (hidden) g.set_attribute(0);
  std::string line = WithoutLineEnd(ConsoleReadLine(console));
  if (hidden) g.set_attribute(attribute);
  return line;
}

// The speaking field editor at the cursor with the proposed text; Esc gives
// the empty text. No line end follows.
std::string EditAtCursor(Console& console, std::string text) {
  if (EditFieldAt(console, &text, WhereX(console), WhereY(console), kEditFieldMax, true) == kKeyEsc) return "";
  return text;
}

}  // namespace

bool CmdEscreve(InterpreterState& in, std::string_view args) {
  in.last_status = 0;
  bool no_line_end = TakeTrailingAmpersand(&args);
  if (!args.empty() && args[0] == '#') return WriteToChannel(in, args, no_line_end);
  bool mute = TakeKeyword(&args, "MUDO");
  if (args.empty()) {
    ConsoleWrite(in.context->console, "\r\n");
    if (!mute) SpeakText(in.context->speech, "");
    WaitSpeech(in.context->speech);
    return true;
  }
  std::string text = JoinOperands(in, &args);
  ConsoleWrite(in.context->console, no_line_end ? text : text + "\r\n");
  if (!mute) SpeakText(in.context->speech, text);
  if (!args.empty()) return false;
  WaitSpeech(in.context->speech);
  return true;
}

bool CmdLe(InterpreterState& in, std::string_view args) {
  in.last_status = 0;
  if (args.empty()) {
    ConsoleReadLine(in.context->console);
    return true;
  }
  // LE MOUSE and LE RATO belong to the window automation.
  if (StartsWithKeyword(args, "MOUSE ") || StartsWithKeyword(args, "RATO ")) return LeMouse(in, args);
  bool modifiers = false;
  std::string upper = UpperCaseText(args);
  size_t tecla = upper.find("TECLA ");
  std::string rewritten;
  if (tecla != std::string::npos) {
    rewritten = std::string(args.substr(0, tecla)) + std::string(args.substr(tecla + 6));
    rewritten = std::string(TrimBlanks(rewritten));
    if (rewritten.empty() || rewritten.back() != '&') rewritten += '&';
    args = rewritten;
    modifiers = true;
  }
  bool single_key = TakeTrailingAmpersand(&args);
  if (args.empty()) {
    ReadKey(in.context->platform);
    return true;
  }
  if (args[0] == '#') return ReadFromChannel(in, args);
  bool edit = false, silent = false, hidden = false;
  if (TakeKeyword(&args, "EDITA")) {
    edit = true;
  } else if (StartsWithKeyword(args, "CONSOLE ")) {
    return ReadConsoleProgram(in, args);
  } else if (TakeKeyword(&args, "MUDO")) {
    silent = true;
  } else if (TakeKeyword(&args, "SENHA")) {
    silent = hidden = true;
  }
  int slot = 0;
  if (!ReadVariableRef(in, &args, &slot)) return false;
  std::string text;
  if (single_key) {
    text = ReadKeyCode(in.context->console, !silent, modifiers);
  } else if (silent) {
    text = ReadSilentLine(in.context->console, hidden);
  } else if (edit) {
    text = EditAtCursor(in.context->console, Var(in, slot));
  } else {
    text = ReadEditedLine(in.context->console);
  }
  Var(in, slot) = std::move(text);
  return true;
}

bool CmdFala(InterpreterState& in, std::string_view args) {
  bool no_wait = TakeTrailingAmpersand(&args);
  if (args.empty()) {
    StopSpeech(in.context->speech);
    if (!no_wait) WaitSpeech(in.context->speech);
    return true;
  }
  std::string text = JoinOperands(in, &args);
  SpeakText(in.context->speech, text);
  if (!no_wait) WaitSpeech(in.context->speech);
  return args.empty();
}

bool CmdSoletra(InterpreterState& in, std::string_view args) {
  if (args.empty()) return false;
  std::string text;
  ReadOperand(in, &args, &text);  // an invalid operand spells nothing
  SpellText(in.context->speech, text);
  ConsoleWrite(in.context->console, text);
  WaitSpeech(in.context->speech);
  return true;
}

// FALAHORA "HH:MM": speaks that time.
bool CmdFalaHora(InterpreterState& in, std::string_view args) {
  std::string t;
  if (args.empty() || !ReadOperand(in, &args, &t)) return false;
  if (t.size() != 5 || t[2] != ':') return false;
  for (int i : {0, 1, 3, 4})
    if (t[i] < '0' || t[i] > '9') return false;
  SpeakTimeOf(in.context->speech, (t[0] - '0') * 10 + (t[1] - '0'), (t[3] - '0') * 10 + (t[4] - '0'));
  WaitSpeech(in.context->speech);
  return true;
}

// ESPERA [MS] n [title]: waits n seconds (or milliseconds); with a title
// fragment, polls the window in front every 500 ms, at most 2 * n times, and
// leaves status 1 when the title never showed. Delays are 16-bit counts of
// milliseconds, so the longest wait is 65535 ms.
bool CmdEspera(InterpreterState& in, std::string_view args) {
  if (args.empty()) return false;
  in.last_status = 0;
  bool ms = TakeKeyword(&args, "MS");
  std::string count_text;
  int32_t n = 0;
  if (!ReadOperand(in, &args, &count_text) || !ParseNumber(count_text, &n)) return false;
  if (!args.empty()) {
    std::string fragment;
    if (!ReadOperand(in, &args, &fragment)) return true;
    fragment = UpperCaseText(fragment);
    int64_t polls = 2 * static_cast<int64_t>(n);
    for (int64_t i = 0; i < polls && !StopRequested(in.context->platform); ++i) {
      if (UpperCaseText(ForegroundTitle(in.context->console).substr(0, kTitleMax)).find(fragment) != std::string::npos) return true;
      Delay(in.context->platform, kTitlePollMs);
    }
    in.last_status = 1;
    return true;
  }
  int64_t total = ms ? n : static_cast<int64_t>(n) * 1000;
  Delay(in.context->platform, static_cast<int>(total & 0xFFFF));
  return true;
}

bool CmdTitulo(InterpreterState& in, std::string_view args) {
  if (args.empty()) return false;
  std::string title;
  ReadOperand(in, &args, &title);  // an invalid operand gives the empty title
  if (title.size() > kConsoleTitleMax) title.resize(kConsoleTitleMax);
  SetConsoleTitle(in.context->console, title);
  return true;
}

bool ReadColour(InterpreterState& in, std::string_view args, int32_t* colour) {
  std::string text;
  return !args.empty() && ReadOperand(in, &args, &text) && ParseNumber(text, colour);
}

bool CmdCor(InterpreterState& in, std::string_view args) {
  int32_t c = 0;
  if (!ReadColour(in, args, &c)) return false;
  TextColor(in.context->console, c);
  return true;
}

bool CmdFundo(InterpreterState& in, std::string_view args) {
  int32_t c = 0;
  if (!ReadColour(in, args, &c)) return false;
  TextBackground(in.context->console, c);
  return true;
}

// TELA LIMPA | MINIMIZADA | NORMAL | @x,y. A single letter stands for the
// value of that letter variable, taken as it is stored.
bool CmdTela(InterpreterState& in, std::string_view args) {
  if (args.empty()) return false;
  std::string word = UpperCaseText(args);
  if (word.size() == 1 && word[0] >= 'A' && word[0] <= 'Z') word = Var(in, LetterSlot(word[0]));
  if (word == "LIMPA") {
    ClearScreen(in.context->console);
  } else if (word == "MINIMIZADA") {
    MinimizeConsoleWindow(in.context->platform);  // without a desktop there is no window to hide
  } else if (word == "NORMAL") {
    RestoreConsoleWindow(in.context->platform);
  } else if (!word.empty() && word[0] == '@') {
    std::string_view rest = std::string_view(word).substr(1);
    size_t comma = rest.find(',');
    std::string_view xs = TrimBlanks(rest.substr(0, comma));
    std::string_view ys = comma == std::string_view::npos ? std::string_view() : TrimBlanks(rest.substr(comma + 1));
    int32_t x = 0, y = 0;
    if (!ParseNumber(xs, &x) || !ParseNumber(ys, &y)) return false;
    GotoXY(in.context->console, x, y);
  } else {
    return false;
  }
  return true;
}

}  // namespace kal
