// CONCATENA, COPIA, DELETA and SUBSTITUI: joining and cutting texts (the
// rules of CONCATENA and COPIA are in line_rules.h).
// Positions are 1-based bytes; out-of-range positions clip instead of
// failing, as scripts that cut fields out of pages rely on.
#include <algorithm>
#include <cstring>

#include "8_interpreter/commands.h"
#include "8_interpreter/line_rules.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {

namespace {

// An operand whose value, trimmed, satisfies the numeric rule.
bool ReadTrimmedNumber(InterpreterState& in, std::string_view* args, int32_t* n) { return ReadNumberOperand(in, args, true, n); }

// Replaces every occurrence of old in text, scanning positions from the
// right once; each comparison sees the text as already changed to its
// right. The part still to the right is kept reversed so that every
// replacement costs only its own length.
std::string ReplaceFromRight(const std::string& text, const std::string& old, const std::string& repl) {
  size_t len = old.size();
  if (len > text.size()) return text;
  size_t start = text.size() - len;  // 0-based first position compared
  std::string right(text.rbegin(), text.rbegin() + static_cast<std::ptrdiff_t>(len));  // reversed
  std::string reversed_repl(repl.rbegin(), repl.rend());
  std::string reversed_old(old.rbegin(), old.rend());
  for (size_t p = start + 1; p-- > 0;) {
    if (p < start) right.push_back(text[p]);  // the byte at p joins the compared window
    // The window is the first len bytes from p: the last len bytes of right.
    if (right.size() >= len && std::memcmp(right.data() + right.size() - len, reversed_old.data(), len) == 0) {
      right.resize(right.size() - len);
      right += reversed_repl;
    }
  }
  return std::string(right.rbegin(), right.rend());
}

}  // namespace

bool CmdConcatena(InterpreterState& in, std::string_view args) {
  int slot;
  std::string scratch;
  Value value;
  return ReadVariableRef(in, &args, &slot) && ReadOperandValue(in, &args, &value, &scratch) && args.empty() &&
         AppendValue(in, slot, value);
}

bool CmdCopia(InterpreterState& in, std::string_view args) {
  int dest, src;
  int32_t from, to;
  if (!ReadVariableRef(in, &args, &dest) || !ReadVariableRef(in, &args, &src) || !ReadTrimmedNumber(in, &args, &from) ||
      !ReadTrimmedNumber(in, &args, &to))
    return false;
  CopyPart(in, dest, src, from, to);
  return true;
}

bool CmdDeleta(InterpreterState& in, std::string_view args) {
  int slot;
  int32_t pos, count;
  if (!ReadVariableRef(in, &args, &slot) || !ReadTrimmedNumber(in, &args, &pos) || !ReadTrimmedNumber(in, &args, &count))
    return false;
  std::string& var = Var(in, slot);
  if (pos >= 1 && static_cast<size_t>(pos) <= var.size() && count >= 1)
    var.erase(static_cast<size_t>(pos - 1), static_cast<size_t>(count));
  return true;
}

bool CmdSubstitui(InterpreterState& in, std::string_view args) {
  int slot;
  std::string old, repl;
  if (!ReadVariableRef(in, &args, &slot) || !ReadOperand(in, &args, &old) || !ReadOperand(in, &args, &repl)) return false;
  std::string& var = Var(in, slot);
  // Worst case every position takes the replacement.
  if (repl.size() > old.size()) {
    size_t positions = var.size() - std::min(var.size(), old.size()) + 1;
    size_t growth = (repl.size() - old.size()) * positions;
    if (positions > 0 && growth / positions != repl.size() - old.size()) return ValueSizeOk(in, SIZE_MAX);
    if (!ValueSizeOk(in, var.size() + growth)) return false;
  }
  var = ReplaceFromRight(var, old, repl);
  return true;
}

}  // namespace kal
