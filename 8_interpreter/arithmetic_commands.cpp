// SOMA, SUBTRAI, MULTIPLICA, DIVIDE (signed 32-bit, wrapping) and
// RANDOMIZA with the random generator.
#include <cstdint>

#include "8_interpreter/commands.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/random.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "1_platform/event_loop.h"

namespace kal {

namespace {

// Reads "var number": the variable slot and the number operand.
bool ReadVarAndNumber(std::string_view* args, int* slot, int32_t* n) {
  std::string scratch;
  std::string_view text;
  return ReadVariableRef(args, slot) && !args->empty() && ReadOperandView(args, &text, &scratch) &&
         ParseNumber(text, n);
}

enum class Op { kSub, kMul, kDiv };

bool Arithmetic(std::string_view args, Op op) {
  int slot;
  if (!ReadVariableRef(&args, &slot) || args.empty()) return false;
  std::string& var = Var(slot);
  int32_t v, n;
  if (!ParseNumber(var, &v)) return false;
  std::string text;
  if (!ReadOperand(&args, &text) || !ParseNumber(text, &n)) return false;
  int64_t result;
  if (op == Op::kSub) {
    result = Wrap32(static_cast<int64_t>(v) - n);
  } else if (op == Op::kMul) {
    result = Wrap32(static_cast<int64_t>(v) * n);
  } else if (n == 0) {
    SayLine(kMsgDivisionByZero);
    return false;
  } else {
    result = Wrap32(static_cast<int64_t>(v) / n);  // -2147483648 / -1 wraps to itself
  }
  var.clear();
  AppendNumber(&var, result);
  return args.empty();
}

uint64_t NextRandom() {
  // xorshift64*
  uint64_t& x = Interp().random_state;
  x ^= x >> 12;
  x ^= x << 25;
  x ^= x >> 27;
  return x * 0x2545F4914F6CDD1DULL;
}

}  // namespace

uint32_t RandomBelow(uint32_t bound) {
  if (bound == 0) return 0;
  return static_cast<uint32_t>((NextRandom() >> 32) % bound);
}

void SeedRandomFromClock() {
  LocalTime t = NowLocal();
  uint64_t seed = static_cast<uint64_t>(Loop().NowMs()) * 1000003u;
  seed ^= static_cast<uint64_t>(((t.hour * 60 + t.minute) * 60 + t.second) * 100 + t.hundredths) << 20;
  seed ^= static_cast<uint64_t>(t.year * 400 + t.month * 31 + t.day) << 44;
  Interp().random_state = seed ? seed : 1;
}

bool CmdSoma(std::string_view args) {
  int slot;
  int32_t n, suffix;
  if (!ReadVarAndNumber(&args, &slot, &n)) return false;
  std::string& var = Var(slot);
  size_t prefix;
  if (!SplitNumericSuffix(var, &prefix, &suffix)) return false;
  var.resize(prefix);
  AppendNumber(&var, Wrap32(static_cast<int64_t>(n) + suffix));
  return true;
}

bool CmdSubtrai(std::string_view args) { return Arithmetic(args, Op::kSub); }
bool CmdMultiplica(std::string_view args) { return Arithmetic(args, Op::kMul); }
bool CmdDivide(std::string_view args) { return Arithmetic(args, Op::kDiv); }

bool CmdRandomiza(std::string_view args) {
  if (!args.empty()) return false;
  SeedRandomFromClock();
  return true;
}

}  // namespace kal
