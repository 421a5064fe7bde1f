// The variable table: 127 global text slots. Slots 1..26 are the letter
// variables A..Z (either case); slots 27..127 are named variables ($name),
// given out in order of first mention and kept for the whole process.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kal {

struct InterpreterState;

constexpr int kLetterVariables = 26;
constexpr int kMaxNamedVariables = 101;
constexpr int kVariableSlots = kLetterVariables + kMaxNamedVariables;  // 127

// The value of a slot (1..127): Var(in, slot), declared in 8_interpreter/state.h.

// The slot of a letter a..z or A..Z; 0 for any other byte.
inline int LetterSlot(unsigned char c) {
  unsigned char folded = c | 0x20;
  return folded >= 'a' && folded <= 'z' ? folded - 'a' + 1 : 0;
}

// Characters of a variable name: a..z, A..Z, 0..9 and '_'.
inline bool IsNameChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
// Length of the run of name characters at the front of text.
size_t NameLength(std::string_view text);

// Calls each(mention) for every "$name" of an operand text outside quoted
// texts, in order; mention includes the '$'. How the checker and the
// editor's outline find the names a line mentions.
template <typename Each>
void ForEachDollarName(std::string_view args, Each&& each) {
  bool quoted = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == '"') quoted = !quoted;
    if (quoted || args[i] != '$') continue;
    size_t n = NameLength(args.substr(i + 1));
    if (n == 0) continue;
    each(args.substr(i, n + 1));
    i += n;
  }
}

// Finds or creates the named variable (name compared after ASCII
// upper-casing). Fails, after saying so, when 101 names are already taken.
bool LookupName(InterpreterState& in, std::string_view name, int* slot);

// Longest value a command may build. Commands that grow a text check the
// new size with this before assigning; on failure it says so.
bool ValueSizeOk(InterpreterState& in, size_t size);

}  // namespace kal
