// What the script check keeps while it reads a script: the findings so
// far, the blocks left open, the names and labels met, and the line being
// read. Shared by the check's files (script_check.cpp reads the lines and
// their blocks, check_flow.cpp what only the whole script shows).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "8_interpreter/check_codes.h"
#include "8_interpreter/script_check.h"

namespace kal {

struct InterpreterState;

enum class BlockKind : uint8_t { kSe, kEnquanto, kRepete };

constexpr int kBlockKinds = 3;

// A block not yet closed, on a stack. Each keeps where the nearest block of
// each kind at or below it stands, and the nearest SE below it that has had
// its SENÃO, so that opening and closing look at no other entry: the check
// stays linear however many blocks are left open.
struct OpenBlock {
  BlockKind kind;
  int line;
  int senao_line = 0;                       // kSe: its SENÃO, 0 before it
  int nearest[kBlockKinds] = {-1, -1, -1};  // indexes into the stack, -1 none
  int senao_below = -1;                     // the nearest SE below with a SENÃO
};

struct Checker {
  Checker(InterpreterState& state, bool alone) : in(state), line_alone(alone) {}
  InterpreterState& in;
  // Only what makes this one line fail when it runs: no block structure
  // (the run finds its partners in the scan tables), no variable count,
  // no warning, and no unknown word (the dispatcher says that itself).
  bool line_alone;
  std::vector<CheckFinding> found;
  std::unordered_set<std::string> said;  // each finding's key, said once
  std::vector<OpenBlock> open;
  std::unordered_map<std::string, int> names;  // upper-cased $names seen
  int line = 0;
  std::string_view text;  // the stored line being looked at
  int depth = 0;          // lines within the line being looked at, as the run nests them
  // Facts of the whole script, for the warnings that need all of it.
  // A DESVIA or CHAMA whose label is a value, or a CMD whose line is: a
  // jump or a call may then come from anywhere.
  bool computed_target = false;
  // Variables ("$NAME" upper-cased, or the letter): those some line sets,
  // and where each read one is first read (line, offset, length).
  struct Place {
    int line;
    size_t offset, length;
  };
  std::unordered_set<std::string> set_vars;
  std::unordered_map<std::string, Place> read_vars;
  // A line no shape reads whole (CMD's line, a value SEJA names): it may set
  // any variable, so none is said never set.
  bool sets_unknown = false;

  // The length Add covers by default: the first word at the place.
  static constexpr size_t kWord = static_cast<size_t>(-1);
  // A finding at the start of `at` (a part of the line), or at the line's
  // end when `at` is empty and not within it; its range covers `length`
  // characters (the first word of `at` by default).
  void Add(CheckCode code, std::string_view at, std::string message, size_t length = kWord);
};

struct VarRef;
struct Operand;
// The variable's key in set_vars and read_vars.
std::string VarKey(const VarRef& ref);
// Notes what an operand read at `at` (its text in the line) reads.
void NoteRead(Checker& c, const Operand& op, std::string_view at);
// Why no operand reads at the front of `at`, said with the code of that reason.
void AddOperandFault(Checker& c, std::string_view at);
// What a read operand shows by its literals alone (a division by a written
// zero); `at` is where the operand starts.
void CheckDecodedOperand(Checker& c, const Operand& op, std::string_view at);

// The first word of text (up to the first blank).
std::string_view FirstWord(std::string_view text);


// The warnings only the whole script shows: lines nothing reaches, labels
// nothing jumps to, RETORNA with no CHAMA, variables read and never set.
void CheckFlow(Checker& c);

}  // namespace kal
