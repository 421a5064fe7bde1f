// The codes of the script check's findings. Each kind of mistake has a code
// of its own ("K" and three digits) that never changes once given, so that
// an editor, a test or a user's note can name it whatever the message says,
// and a severity: an error is a line that fails when it runs; a warning is
// a line the language accepts that almost surely does not do what its
// author meant. Errors are K1xx, warnings K2xx.
#pragma once

#include <cstdint>
#include <string_view>

namespace kal {

enum class Severity : uint8_t { kError, kWarning };

enum class CheckCode : uint8_t {
  // Errors: the line fails when it runs.
  kUnreadableScript,   // K100 a file that is not read as a script (said at its line 1)
  kUnknownCommand,     // K101 a word no command has
  kBlockWithinLine,    // K102 a block word run from within a line
  kNestedTooDeep,      // K103 one-line SEs chained past the run's depth
  kMissingOperand,     // K104 an operand the command needs is not there
  kTextLeft,           // K105 more than the command reads
  kExpectedVariable,   // K106 something else where a variable goes
  kBadOperand,         // K107 text no operand starts with
  kParenNotClosed,     // K108 an expression left open
  kBadExpression,      // K109 an expression that does not read
  kDivisionByZero,     // K110 a division by a literal zero
  kExpectedOperator,   // K111 no comparison operator in a condition
  kExpectedList,       // K112 a list name in brackets wanted
  kLabelNotFound,      // K113 a jump to a label no line has
  kMissingLabel,       // K114 a jump with nothing after it
  kLabelWithSpace,     // K115 a jump to a name with a space
  kFimWithoutHead,     // K116 FIM ENQUANTO / FIM REPETE with no loop above
  kFimWithoutName,     // K117 FIM alone
  kTooManyNames,       // K118 more $names than the table holds
  kExpectedChannel,    // K119 a channel #0..#9 wanted
  kExpectedWord,       // K120 a word of the command's own wanted
  kExpectedNumber,     // K121 a literal that is not a number where one goes
  kOutOfRange,         // K122 a literal number outside what the command takes
  // Warnings: legal, almost surely unintended.
  kQuoteNotClosed,     // K201 the text runs to the end of the line
  kUnreachable,        // K202 a line after TERMINA or DESVIA nothing reaches
  kLabelUnused,        // K203 a label nothing jumps to
  kNeverSet,           // K204 a variable read and never set
  kReturnWithoutCall,  // K205 RETORNA in a script with no CHAMA
  kUnknownBlock,       // K206 FIM of a word that is no block
  kLabelAfterBlanks,   // K207 a label line that does not start with '@'
  kRepeatedLabel,      // K208 a second label of a name
  kBlockNotClosed,     // K209 a block with no FIM
  kFimSeWithoutSe,     // K210 FIM SE with no SE open
  kFimBeforeInner,     // K211 a block closed around an open inner one
  kLoopInSameLoop,     // K212 a loop within a loop of its kind
  kSeAfterSenao,       // K213 a SE block after a SENÃO
  kSecondSenao,        // K214 two SENÃOs in one SE
  kSenaoOutsideSe,     // K215 SENÃO with no SE open
  kFimOfClosedLoop,    // K216 FIM ENQUANTO / REPETE with its loop closed already
  kTextIgnored,        // K217 text after the last operand, which the command does not read
};

struct CheckCodeInfo {
  std::string_view id;  // "K101"
  Severity severity;
};

const CheckCodeInfo& InfoOf(CheckCode code);

constexpr int kCheckCodeCount = static_cast<int>(CheckCode::kTextIgnored) + 1;

}  // namespace kal
