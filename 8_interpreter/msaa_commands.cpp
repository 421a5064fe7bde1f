// MSAA: following the keyboard focus of other programs through the
// desktop's accessibility interface (1_platform/accessibility.h).
//
// MONITORA starts the events: each focus change and window activation
// lands, with its object already read, in a ring of 100 entries (the oldest
// are overwritten). CHECA takes the next one and makes its object the
// current one; CAPTURA makes the object at a screen point the current one;
// NOME, TIPO, CODIGO, ESTADO, VALOR and AREA read the current object.
#include <array>
#include <string>

#include "0_base/latin1.h"
#include "1_platform/accessibility.h"
#include "1_platform/pump.h"
#include "5_speech/speech.h"
#include "8_interpreter/automation_messages.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {
namespace {

constexpr int kRingSize = 100;

struct MsaaState {
  std::array<AccessibilityEvent, kRingSize> ring;
  int write = 0, read = 0;
  bool monitoring = false;
  AccessibleProperties current;
};

MsaaState& M() {
  static MsaaState m;
  return m;
}

void Push(const AccessibilityEvent& e) {
  auto& m = M();
  if (!m.monitoring) return;  // posted before FIM, arriving after it
  m.ring[static_cast<size_t>(m.write)] = e;
  m.write = (m.write + 1) % kRingSize;
  if (m.write == m.read) m.read = (m.read + 1) % kRingSize;  // full: the oldest goes
}

bool BusReady() {
  if (TheAccessibility().Available()) return true;
  SayLine(kMsgNoAccessibility);
  return false;
}

std::string StateText(const AccessibleProperties& p) {
  if (p.unavailable) return L1(kMsaaStateUnavailable);
  if (p.checked) return L1(kMsaaStateChecked);
  return "";
}

bool ReadInteger(std::string_view* args, int32_t* value) {
  std::string text;
  return ReadOperand(args, &text) && ParseNumber(text, value);
}

bool StoreIn(std::string_view args, const std::string& value) {
  int slot;
  if (!ReadVariableRef(&args, &slot)) return false;
  Var(slot) = value;
  return true;
}

bool Monitora() {
  if (!BusReady()) return false;
  auto& m = M();
  m.read = m.write = 0;
  m.monitoring = true;
  if (TheAccessibility().StartMonitoring(Push)) return true;
  m.monitoring = false;
  SayLine(kMsgNoAccessibility);
  return false;
}

bool Fim() {
  auto& m = M();
  if (m.monitoring) TheAccessibility().StopMonitoring();
  m.monitoring = false;
  m.current = AccessibleProperties{};
  return true;
}

bool Checa(std::string_view args) {
  int slot;
  if (!ReadVariableRef(&args, &slot)) return false;
  PumpMessages();  // events that have arrived meanwhile
  auto& m = M();
  if (m.read == m.write) {
    Var(slot) = "0";
    return true;
  }
  AccessibilityEvent e = m.ring[static_cast<size_t>(m.read)];
  m.read = (m.read + 1) % kRingSize;
  if (!e.have_object) {
    Var(slot) = "0";
    return true;
  }
  m.current = e.object;
  Var(slot) = "1";
  return true;
}

bool Captura(std::string_view args) {
  int32_t x = 0, y = 0;
  if (!ReadInteger(&args, &x) || !ReadInteger(&args, &y)) return false;
  if (!BusReady()) return false;
  AccessibleProperties p;
  if (TheAccessibility().ObjectAtPoint(x, y, &p)) M().current = p;
  return true;
}

bool Area(std::string_view args) {
  const auto& c = M().current;
  for (int v : {c.left, c.top, c.width, c.height}) {
    int slot;
    if (!ReadVariableRef(&args, &slot)) return false;
    Var(slot) = NumberToText(v);
  }
  return true;
}

}  // namespace

bool CmdMsaa(std::string_view args) {
  size_t blank = 0;
  while (blank < args.size() && !IsBlank(args[blank])) ++blank;
  std::string word = UpperCaseText(args.substr(0, blank));
  args = TrimBlanks(args.substr(blank));
  const auto& c = M().current;
  if (word == "MONITORA") return Monitora();
  if (word == "FIM") return Fim();
  if (word == "CHECA") return Checa(args);
  if (word == "CAPTURA") return Captura(args);
  if (word == "AREA") return Area(args);
  if (word == "NOME") return StoreIn(args, c.name);
  if (word == "TIPO") return StoreIn(args, c.role_text);
  if (word == "ESTADO") return StoreIn(args, StateText(c));
  if (word == "VALOR") return StoreIn(args, c.value);
  if (word == "CODIGO" || word == "C\xD3""DIGO") return StoreIn(args, NumberToText(c.role_code));
  return false;
}

}  // namespace kal
