// The rules of the decoded lines (line_code.h): their runners read the
// operands and hand the values to the one function here that holds the
// command's rule: the numeric rule of its operands, overflow, division by
// zero, how the result is written. The control-flow outcomes are in control_flow.h, the
// comparison of conditions in conditions.h, the channel write of ESCREVE
// in channel_io.h, on the same terms.
#pragma once

#include <cstdint>

#include "8_interpreter/control_flow.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"

namespace kal {

// SEJA: the variable takes the value (a number, or a text that is the plain
// decimal of one, is held as a number, written out when its text is asked
// for).
void AssignValue(InterpreterState& in, int slot, const Value& value);

// SEJA's built-in values (NamesBuiltInValue(text)): the one the text names
// becomes the variable's value; false when its operands fail.
bool AssignBuiltIn(InterpreterState& in, int slot, std::string_view text);

// CONCATENA: the value's text after the variable's; false, said, when the
// result would be longer than a value may be.
bool AppendValue(InterpreterState& in, int slot, const Value& value);

// COPIA: the bytes from..to (1-based, clipped to the text) of src into
// dest, or the empty text; src may be dest.
void CopyPart(InterpreterState& in, int dest, int src, int32_t from, int32_t to);

// SOMA: n added, wrapping in 32 bits, to the numeric suffix of the
// variable's value (numbers.h), the prefix kept; false when that suffix
// does not fit in 32 bits. A value held as a number is all suffix (inline:
// the counting loops run on it).
bool AddToTextSuffix(InterpreterState& in, int slot, int32_t n);
inline bool AddToSuffix(InterpreterState& in, int slot, int32_t n) {
  int32_t suffix;
  if (!in.var_is_number[static_cast<size_t>(slot)]) return AddToTextSuffix(in, slot, n);
  if (!VarAsNumber(in, slot, &suffix)) return FailNotNumber(in, slot);
  SetVarNumber(in, slot, Wrap32(static_cast<int64_t>(n) + suffix));
  return true;
}

enum class ArithmeticOp : uint8_t { kSub, kMul, kDiv };
// SUBTRAI, MULTIPLICA, DIVIDE: v (the variable's value under the numeric
// rule, read before the operand) op n, wrapped to 32 bits, becomes the
// variable's value; false, said, for a division by zero.
bool ApplyArithmetic(InterpreterState& in, ArithmeticOp op, int slot, int32_t v, int32_t n);

// REPETE: the counter starts at 1; a count below 1 passes over the loop.
void StartCount(InterpreterState& in, int slot, int32_t count);
// The step of FIM REPETE, with the current line at the loop's head: the
// counter (under the numeric rule, read after the count) plus one, and out
// of the loop once it passes the count; false when the counter is no
// number.
inline bool StepCount(InterpreterState& in, int slot, int32_t count) {
  int32_t value;
  if (!VarAsNumber(in, slot, &value)) return FailNotNumber(in, slot);
  int64_t next = static_cast<int64_t>(value) + 1;
  SetVarNumber(in, slot, next);
  if (count < next) SkipToEnd(in, Block::kRepete);
  return true;
}

}  // namespace kal
