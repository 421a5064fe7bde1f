// Stored lines decoded once for running many times. A script's lines never
// change once stored, so what a line of a common command does can be found
// out from its text the first time it runs: which operands it has, where
// each starts and ends, the values of its literals and the shape of its
// expressions. Running the line then reads only the values that can change
// (variables, and the names' slots, looked up the first time they are
// read, since looking a name up creates it).
//
// The commands with a decoded form have no reading of their own: their
// handlers decode the text as a stored line is decoded and run the same
// runner (RunLineFromText), so each line's shape and each rule is written
// once. A text the decoder refuses is left in a form that fails as reading
// that text fails: what it read before the fault is looked up and read, at
// the same point, with the same reason. A stored line whose text is refused
// keeps that form out of the store and runs through its handler.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "8_interpreter/conditions.h"
#include "8_interpreter/expression_code.h"
#include "8_interpreter/operands.h"

namespace kal {

struct InterpreterState;

// An operand as ReadOperand would read it.
struct Operand {
  enum class Kind : uint8_t { kText, kVariable, kExpression };
  Kind kind = Kind::kText;
  std::string text;          // kText: the value (a literal, a quoted string)
  bool numeric = false;      // kText: the value under the numeric rule
  int32_t number = 0;
  bool numeric_trimmed = false;  // the same for the value trimmed of blanks
  int32_t number_trimmed = 0;
  bool digits = false;       // kText: one to nineteen digits and nothing else
  uint64_t digits_value = 0;
  VarRef var;                // kVariable
  ExprCode expr;             // kExpression
};

enum class LineKind : uint8_t {
  kUndecoded,   // not looked at yet
  kByHandler,   // runs through the command's handler
  kFails,       // a text refused before anything is read: the line fails
  kSeja,        // var := operand
  kSejaBuiltIn, // var := a built-in value, read from its text (`command`)
  kSoma,        // var number
  kSubtrai,
  kMultiplica,
  kDivide,
  kConcatena,   // var operand
  kCopia,       // var var number number
  kSe,          // condition [command]
  kEnquanto,    // condition
  kRepete,      // var count
  kFimRepete,   // step of the REPETE line above
  kFimEnquanto, // back to the ENQUANTO line above
  kFimOther,    // FIM SE, FIM of any other word: nothing
  kDesvia,      // @label
  kEscreveChannel,  // ESCREVE #d operands (the last: kLineKinds)
};

struct Condition {
  bool negate = false;
  Operand left, right;  // right: not with EM
  CompareOp op = CompareOp::kEq;
  std::string list;     // EM: the list's name
};

struct LineCode;

// The command of a one-line SE, as ExecuteLine runs it from within the line.
struct NestedCommand {
  bool nothing = false;  // blank, comment or label text: succeeds
  bool refused = false;  // a block word, refused within a line: fails
  int entry = -1;        // command table entry of the word, -1 when unknown
  std::string word;      // upper-cased
  std::string written;   // the word as written, for a refusal's reason
  std::string args;      // trimmed
  std::unique_ptr<LineCode> code;  // decoded; null: through the handler
};

struct LineCode {
  LineKind kind = LineKind::kUndecoded;
  VarRef var, var2;
  std::vector<Operand> operands;
  bool text_after = false;  // text left after the operands
  bool stops_after_var = false;  // nothing follows the variable (SUBTRAI, MULTIPLICA, DIVIDE)
  Condition condition;      // kSe, kEnquanto
  std::string command;      // kSe: the command run when the condition holds; kSejaBuiltIn: the value's text
  NestedCommand nested;     // kSe: the same, decoded
  int head = 0;             // kFimRepete, kFimEnquanto: the loop's head line
  std::string label;        // kDesvia: upper-cased
  int channel = 0;          // kEscreveChannel
  bool no_line_end = false;
  // Run and succeeded, the line cannot have waited, spoken or run a line
  // of another kind, so it cannot have asked for a stop: the run loop need
  // not look at the request after it (a signal's is seen a little later).
  bool quiet = false;
  std::string scratch;      // kept between runs so that building a text allocates once
};

// Decodes stored line n (a command line whose upper-cased word and trimmed
// argument text are given) into *code; kByHandler when it is not decoded.
void DecodeLine(InterpreterState& in, int n, std::string_view upper_word, std::string_view args, LineCode* code);
// A line of a command with a decoded form, run from its text (the
// command's handler): decoded as line in.current_line, refused forms
// included, and run.
bool RunLineFromText(InterpreterState& in, std::string_view upper_word, std::string_view args);
// Whether commands limited to those marked in `allowed` (empty: all) let
// every command that has a decoded form run decoded.
bool DecodedCommandsAllowed(const std::vector<bool>& allowed);


// The readers the decoders share, on the text alone (nothing is looked up
// and no value read), each false where its reader would fail on the text:
// an operand where ReadOperand would read it; a variable where
// ReadVariableRef would; and a condition as EvaluateCondition reads it
// ([NAO|NÃO] left operator right, or left EM [list]; *rest is what
// follows, trimmed). Each removes what it read from the front. These are
// the one reading of operand syntax: the text readers of operands.h and
// conditions.h decode and then read the decoded form.
//
// An operand that fails to decode is left as an expression that fails
// when read, after looking up the names an expression's text met before
// it stopped being one (reading it from the text looks them up): reading
// a failed operand does what reading its text does. A condition that
// fails leaves its operands so too, the ones not reached empty texts.
bool DecodeOperand(InterpreterState& in, std::string_view* args, Operand* op);
// The same without a literal's numeric facts (numeric, digits), for an
// operand read once.
bool ReadOperandSyntax(std::string_view* args, Operand* op);
bool DecodeVarRef(std::string_view* args, VarRef* ref);
// On failure *stop says what was wanted and where reading stopped.
enum class ShapeNeed : uint8_t { kOperand, kOperator, kList };
struct ShapeStop {
  ShapeNeed need = ShapeNeed::kOperand;
  std::string_view at;
};
bool DecodeConditionShape(InterpreterState& in, std::string_view args, Condition* c, std::string_view* rest,
                          ShapeStop* stop = nullptr);
// The truth of a decoded condition: its operands read left to right, the
// list of EM looked up; false at the first that fails.
bool ConditionTruth(InterpreterState& in, Condition& c, bool* truth);

// FIM's word (args not empty) and the loop head of FIM ENQUANTO and FIM
// REPETE for line n, found in the scan tables: *code's kind (kFimEnquanto,
// kFimRepete, kFimOther) and head; false when that loop has no head.
bool DecodeFimHead(InterpreterState& in, int n, std::string_view args, LineCode* code);
// ESCREVE #d operands, its trailing '&' taken (no_line_end): the channel
// and the operands up to the first text that is not one (kept, failed, with
// text_after set); false when args does not begin with '#' and a digit.
bool DecodeChannelWrite(InterpreterState& in, std::string_view args, bool no_line_end, LineCode* code);

// Runs a decoded line (not kUndecoded, not kByHandler); its success. The
// runner of each kind is in a table, so that the run loop reaches it with
// one call.
using LineRunner = bool (*)(InterpreterState& in, LineCode& code);
constexpr size_t kLineKinds = static_cast<size_t>(LineKind::kEscreveChannel) + 1;
extern const LineRunner kLineRunners[kLineKinds];
inline bool RunLineCode(InterpreterState& in, LineCode& code) {
  return kLineRunners[static_cast<size_t>(code.kind)](in, code);
}

// Reads an operand's value; false where ReadOperandValue would fail.
bool OperandValue(InterpreterState& in, Operand& op, Value* value);

// A line run from within a line (the command of a one-line SE, a line run
// by CMD): split as ExecuteLine splits it, not decoded.
void SplitNestedLine(std::string_view text, NestedCommand* c);
// Runs it: nothing for blank, comment and label text, a block word
// refused, lines within lines nested up to a bound (beyond it the line
// fails, said); decoded when it was and decoded lines may run now.
bool RunNestedCommand(InterpreterState& in, NestedCommand& c);

}  // namespace kal
