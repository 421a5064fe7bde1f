// The window automation commands: DIGITA, ACIONA, CLICA, LE MOUSE / LE RATO
// (reached through LE), JANELA, CAPTURA, TRANSFERE and HANDLE. They drive
// whatever program is in front through 1_platform/automation.h; without a
// desktop they fail the line saying why (TRANSFERE alone keeps working, on
// the console's own clipboard).
#include <string>
#include <vector>

#include "1_platform/automation.h"
#include "5_speech/speech.h"
#include "6_console/clipboard.h"
#include "8_interpreter/automation_messages.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/key_names.h"
#include "8_interpreter/key_typing.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"
#include "8_interpreter/title_pattern.h"
#include "8_interpreter/variables.h"

namespace kal {
namespace {

constexpr size_t kActiveTitleMax = 255;
constexpr size_t kFieldTextMax = 255;
constexpr size_t kClipboardMax = 1000000;

// The run's desktop back end.
DesktopAutomation& DesktopOf(InterpreterState& in) { return Desktop(in.context->platform); }

// True when the desktop can be driven; otherwise says why.
bool DesktopReady(InterpreterState& in) {
  switch (DesktopOf(in).Availability()) {
    case DesktopAvailability::kReady: return true;
    case DesktopAvailability::kWaylandOnly: return Fail(in, RunFault::kNotAvailable, std::string(kMsgWaylandOnly));
    case DesktopAvailability::kNoInputExtension: return Fail(in, RunFault::kNotAvailable, std::string(kMsgNoInputExtension));
    case DesktopAvailability::kNoDisplay: break;
  }
  return Fail(in, RunFault::kNotAvailable, std::string(kMsgNoDisplay));
}

bool TakeWord(std::string_view* args, std::string_view word) {
  if (!StartsWithKeyword(*args, word)) return false;
  args->remove_prefix(word.size());
  *args = TrimBlanks(*args);
  return true;
}

bool ReadInteger(InterpreterState& in, std::string_view* args, int32_t* value) {
  std::string text;
  return ReadOperand(in, args, &text) && ParseNumber(text, value);
}

// The origin of coordinates: the screen's, or the window in front's.
bool Origin(DesktopAutomation& d, bool screen, int* x, int* y) {
  *x = *y = 0;
  return screen || d.ForegroundOrigin(x, y);
}

// The first word of args, upper-cased; args keeps the rest.
std::string TakeFirstWord(std::string_view* args) {
  size_t blank = 0;
  while (blank < args->size() && !IsBlank((*args)[blank])) ++blank;
  std::string word = UpperCaseText(args->substr(0, blank));
  *args = TrimBlanks(args->substr(blank));
  return word;
}

void Store(InterpreterState& in, int slot, std::string value, size_t max) {
  if (value.size() > max) value.resize(max);
  Var(in, slot) = std::move(value);
}

}  // namespace

bool CmdDigita(InterpreterState& in, std::string_view args) {
  bool no_enter = TakeTrailingAmpersand(&args);
  std::string text;
  if (!ReadOperand(in, &args, &text) || !args.empty()) return false;
  if (!DesktopReady(in)) return false;
  auto& d = DesktopOf(in);
  for (unsigned char c : text) {
    if (!TypeCharacter(in.context->platform, d, c, kKeyPauseMs))
      return Fail(in, RunFault::kNotAvailable, kMsgKeyUnavailable, std::string(1, static_cast<char>(c)));
  }
  if (no_enter) return true;
  KeyCombination enter;
  enter.vk = kVkEnter;
  return PressCombination(in.context->platform, d, enter, kKeyPauseMs);
}

bool CmdAciona(InterpreterState& in, std::string_view args) {
  std::string text;
  if (!ReadOperand(in, &args, &text) || !args.empty() || text.empty()) return false;
  if (text.size() == 1) {
    if (!DesktopReady(in)) return false;
    unsigned char c = static_cast<unsigned char>(text[0]);
    bool ok = c >= 32 && c <= 127 ? PressCharacterKey(in.context->platform, DesktopOf(in), c) : TypeCharacter(in.context->platform, DesktopOf(in), c, 1);
    return ok || Fail(in, RunFault::kNotAvailable, kMsgKeyUnavailable, text);
  }
  KeyCombination k;
  if (!ParseKeyCombination(UpperCaseText(text), &k)) return false;
  if (!DesktopReady(in)) return false;
  if (PressCombination(in.context->platform, DesktopOf(in), k, kKeyPauseMs)) return true;
  return Fail(in, RunFault::kNotAvailable, kMsgKeyUnavailable, text);
}

bool CmdClica(InterpreterState& in, std::string_view args) {
  enum { kSingle, kDouble, kMoveOnly } kind = kSingle;
  if (TakeWord(&args, "DUPLO")) {
    kind = kDouble;
  } else if (TakeWord(&args, "NULO")) {
    kind = kMoveOnly;
  }
  bool screen = TakeWord(&args, "TELA");
  int32_t x = 0, y = 0;
  if (!ReadInteger(in, &args, &x)) return false;
  if (!args.empty() && args[0] == ',') args = TrimBlanks(args.substr(1));
  if (!ReadInteger(in, &args, &y)) return false;
  if (!DesktopReady(in)) return false;
  auto& d = DesktopOf(in);
  int ox, oy;
  Origin(d, screen, &ox, &oy);
  d.MovePointer(ox + x, oy + y);
  for (int i = 0; i < (kind == kDouble ? 2 : kind == kSingle ? 1 : 0); ++i) {
    d.SendLeftButton(true);
    d.SendLeftButton(false);
  }
  return args.empty();
}

bool LeMouse(InterpreterState& in, std::string_view args) {
  if (!TakeWord(&args, "MOUSE") && !TakeWord(&args, "RATO")) return false;
  bool screen = TakeWord(&args, "TELA");
  if (!DesktopReady(in)) return false;
  auto& d = DesktopOf(in);
  int ox, oy, px = 0, py = 0;
  Origin(d, screen, &ox, &oy);
  d.PointerPosition(&px, &py);
  int slot;
  if (!ReadVariableRef(in, &args, &slot)) return false;
  Var(in, slot) = NumberToText(px - ox);
  if (!ReadVariableRef(in, &args, &slot)) return false;
  Var(in, slot) = NumberToText(py - oy);
  return args.empty();
}

bool CmdJanela(InterpreterState& in, std::string_view args) {
  in.last_status = 0;
  std::string action = TakeFirstWord(&args);
  std::string pattern;
  if (!ReadOperand(in, &args, &pattern)) return false;
  if (!DesktopReady(in)) {
    in.last_status = 1;
    return false;
  }
  auto& d = DesktopOf(in);
  std::vector<DesktopWindow> windows;
  d.TopLevelWindows(&windows);
  for (const auto& w : windows) {
    if (!TitleMatches(w.title, pattern)) continue;
    WindowAction a;
    if (action == "FECHA") {
      a = WindowAction::kClose;
    } else if (action == "NORMAL") {
      a = WindowAction::kRestore;
    } else if (action == "MAXIMIZA") {
      a = WindowAction::kMaximize;
    } else if (action == "MINIMIZA") {
      a = WindowAction::kMinimize;
    } else {
      return false;
    }
    d.ActOnWindow(w.id, a);
    return true;
  }
  in.last_status = 1;
  return true;
}

bool CmdCaptura(InterpreterState& in, std::string_view args) {
  std::string what = TakeFirstWord(&args);
  int slot;
  if (!ReadVariableRef(in, &args, &slot)) return false;
  bool title = what == "TITULO" || what == UpperCaseText("T\xCDTULO") || what == "ATIVA";
  if (!title && what != "FOCO" && what != "CAMPO") {
    Var(in, slot).clear();
    return true;
  }
  if (!DesktopReady(in)) return false;
  auto& d = DesktopOf(in);
  std::string text;
  if (title || (what == "FOCO" && d.ConsoleIsActive())) {
    d.ActiveWindowTitle(&text);
    Store(in, slot, std::move(text), kActiveTitleMax);
    return true;
  }
  if (what == "FOCO") {
    Var(in, slot).clear();
    return true;
  }
  // CAMPO: select the focused field's text and copy it.
  KeyCombination home, select, copy;
  home.vk = kVkHome;
  select.vk = kVkEnd;
  select.shift = true;
  copy.vk = kVkInsert;
  copy.ctrl = true;
  if (!PressCombination(in.context->platform, d, home, kKeyPauseMs) || !PressCombination(in.context->platform, d, select, kKeyPauseMs) ||
      !PressCombination(in.context->platform, d, copy, kKeyPauseMs))
    return Fail(in, RunFault::kNotAvailable, kMsgKeyUnavailable, "Home/End/Insert");
  Var(in, slot) = PasteFromClipboard(in.context->console, kFieldTextMax + 1);
  return true;
}

bool CmdTransfere(InterpreterState& in, std::string_view args) {
  bool to_clipboard = false;
  if (StartsWithKeyword(args, "DE ")) {
    to_clipboard = true;
    args.remove_prefix(3);
  } else if (StartsWithKeyword(args, "PARA ")) {
    args.remove_prefix(5);
  } else {
    return false;
  }
  int slot;
  if (!ReadVariableRef(in, &args, &slot) || !args.empty()) return false;
  if (to_clipboard) {
    const std::string& v = Var(in, slot);
    CopyToClipboard(in.context->console, std::string_view(v).substr(0, kClipboardMax));
    return true;
  }
  std::string text = PasteFromClipboard(in.context->console, kClipboardMax + 1);
  if (!ValueSizeOk(in, text.size())) return false;
  Var(in, slot) = std::move(text);
  return true;
}

bool CmdHandle(InterpreterState& in, std::string_view args) {
  int slot;
  if (!ReadVariableRef(in, &args, &slot)) return false;
  uint64_t id = ExplicitConsoleWindowId(in.context->platform);
  if (!id) {
    if (!DesktopReady(in)) return false;
    id = DesktopOf(in).ConsoleWindowId();
  }
  Var(in, slot) = NumberToText(static_cast<int64_t>(id));
  return true;
}

}  // namespace kal
