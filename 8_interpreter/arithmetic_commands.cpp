// SOMA, SUBTRAI, MULTIPLICA, DIVIDE (signed 32-bit, wrapping: the rules
// are in line_rules.h) and RANDOMIZA with the random generator.
#include <cstdint>

#include "8_interpreter/commands.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/line_rules.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/random.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "1_platform/event_loop.h"

namespace kal {

namespace {

uint64_t NextRandom(InterpreterState& in) {
  // xorshift64*
  uint64_t& x = in.random_state;
  x ^= x >> 12;
  x ^= x << 25;
  x ^= x >> 27;
  return x * 0x2545F4914F6CDD1DULL;
}

}  // namespace

uint32_t RandomBelow(InterpreterState& in, uint32_t bound) {
  if (bound == 0) return 0;
  return static_cast<uint32_t>((NextRandom(in) >> 32) % bound);
}

void SeedRandomFromClock(InterpreterState& in) {
  LocalTime t = NowLocal(in.context->platform);
  uint64_t seed = static_cast<uint64_t>(in.context->loop.NowMs()) * 1000003u;
  seed ^= static_cast<uint64_t>(((t.hour * 60 + t.minute) * 60 + t.second) * 100 + t.hundredths) << 20;
  seed ^= static_cast<uint64_t>(t.year * 400 + t.month * 31 + t.day) << 44;
  in.random_state = seed ? seed : 1;
}

// "var number", decoded and run as a stored line is (line_code.h): SOMA
// does not look at text after the number; for the others the variable's
// value is read as a number before the operand, and text after the operand
// fails the line once the result is in.
bool CmdSoma(InterpreterState& in, std::string_view args) { return RunLineFromText(in, "SOMA", args); }
bool CmdSubtrai(InterpreterState& in, std::string_view args) { return RunLineFromText(in, "SUBTRAI", args); }
bool CmdMultiplica(InterpreterState& in, std::string_view args) { return RunLineFromText(in, "MULTIPLICA", args); }
bool CmdDivide(InterpreterState& in, std::string_view args) { return RunLineFromText(in, "DIVIDE", args); }

bool CmdRandomiza(InterpreterState& in, std::string_view args) {
  if (!args.empty()) return false;
  SeedRandomFromClock(in);
  return true;
}

}  // namespace kal
