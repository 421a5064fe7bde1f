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
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/msaa_state.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {
namespace {

void Push(MsaaEvents& m, const AccessibilityEvent& e) {
  if (!m.monitoring) return;  // posted before FIM, arriving after it
  m.ring[static_cast<size_t>(m.write)] = e;
  m.write = (m.write + 1) % kMsaaRingSize;
  if (m.write == m.read) m.read = (m.read + 1) % kMsaaRingSize;  // full: the oldest goes
}

bool BusReady(InterpreterState& in, Accessibility& bus) {
  return bus.Available() || Fail(in, RunFault::kNotAvailable, std::string(kMsgNoAccessibility));
}

std::string StateText(const AccessibleProperties& p) {
  if (p.unavailable) return L1(kMsaaStateUnavailable);
  if (p.checked) return L1(kMsaaStateChecked);
  return "";
}

bool ReadInteger(InterpreterState& in, std::string_view* args, int32_t* value) {
  std::string text;
  return ReadOperand(in, args, &text) && ParseNumber(text, value);
}

bool StoreIn(InterpreterState& in, std::string_view args, const std::string& value) {
  int slot;
  if (!ReadVariableRef(in, &args, &slot)) return false;
  Var(in, slot) = value;
  return true;
}

bool Monitora(InterpreterState& in, Accessibility& bus) {
  MsaaState& s = in.msaa;
  if (!BusReady(in, bus)) return false;
  auto& m = *s.events;
  m.read = m.write = 0;
  m.monitoring = true;
  if (bus.StartMonitoring([events = s.events](const AccessibilityEvent& e) { Push(*events, e); }))
    return true;
  m.monitoring = false;
  return Fail(in, RunFault::kNotAvailable, std::string(kMsgNoAccessibility));
}

bool Fim(Accessibility& bus, MsaaState& s) {
  if (s.events->monitoring) bus.StopMonitoring();
  s.events->monitoring = false;
  s.current = AccessibleProperties{};
  return true;
}

bool Checa(InterpreterState& in, std::string_view args) {
  int slot;
  if (!ReadVariableRef(in, &args, &slot)) return false;
  PumpMessages(in.context->platform);  // events that have arrived meanwhile
  auto& m = *in.msaa.events;
  if (m.read == m.write) {
    Var(in, slot) = "0";
    return true;
  }
  AccessibilityEvent e = m.ring[static_cast<size_t>(m.read)];
  m.read = (m.read + 1) % kMsaaRingSize;
  if (!e.have_object) {
    Var(in, slot) = "0";
    return true;
  }
  in.msaa.current = e.object;
  Var(in, slot) = "1";
  return true;
}

bool Captura(InterpreterState& in, std::string_view args) {
  int32_t x = 0, y = 0;
  if (!ReadInteger(in, &args, &x) || !ReadInteger(in, &args, &y)) return false;
  Accessibility& bus = TheAccessibility(in.context->platform);
  if (!BusReady(in, bus)) return false;
  AccessibleProperties p;
  if (bus.ObjectAtPoint(x, y, &p)) in.msaa.current = p;
  return true;
}

bool Area(InterpreterState& in, std::string_view args) {
  const auto& c = in.msaa.current;
  for (int v : {c.left, c.top, c.width, c.height}) {
    int slot;
    if (!ReadVariableRef(in, &args, &slot)) return false;
    Var(in, slot) = NumberToText(v);
  }
  return true;
}

}  // namespace

bool CmdMsaa(InterpreterState& in, std::string_view args) {
  size_t blank = 0;
  while (blank < args.size() && !IsBlank(args[blank])) ++blank;
  std::string word = UpperCaseText(args.substr(0, blank));
  args = TrimBlanks(args.substr(blank));
  const auto& c = in.msaa.current;
  if (word == "MONITORA") return Monitora(in, TheAccessibility(in.context->platform));
  if (word == "FIM") return Fim(TheAccessibility(in.context->platform), in.msaa);
  if (word == "CHECA") return Checa(in, args);
  if (word == "CAPTURA") return Captura(in, args);
  if (word == "AREA") return Area(in, args);
  if (word == "NOME") return StoreIn(in, args, c.name);
  if (word == "TIPO") return StoreIn(in, args, c.role_text);
  if (word == "ESTADO") return StoreIn(in, args, StateText(c));
  if (word == "VALOR") return StoreIn(in, args, c.value);
  if (word == "CODIGO" || word == "C\xD3""DIGO") return StoreIn(in, args, NumberToText(c.role_code));
  return false;
}

}  // namespace kal
