// What the language server tells an author as they write: the hover text
// of a command word (its operands and a summary, then the language
// reference's section), of a label (where it is, what goes to it) and of a
// $name (where it is given a value, where it is read); the words that may
// complete what is being typed; and the operands of the command being
// typed, with the one the cursor is on. Positions are stored columns.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "9_app/lsp_script_model.h"

namespace kal {

// Markdown (UTF-8), or "" when there is nothing to say there.
std::string HoverAt(const std::vector<std::string>& stored, const ScriptModel& model, int line, int column);

enum class WordKind { kCommand, kLabel, kVariable };

struct CompletionWord {
  std::string word;  // Latin-1, as it is to be written
  WordKind kind = WordKind::kCommand;
  std::string detail;  // UTF-8: a command's operands, "" otherwise
  std::string summary; // UTF-8
};

struct Completion {
  LspSpan typed;  // what the words replace: the word being typed, its mark included
  std::vector<CompletionWord> words;
};

// Command words at the start of a line (and after a one-line SE's
// condition), labels after '@', $names after '$' and among operands; only
// those that begin with what is typed (in either case), command words
// written in the author's case: in the case of what is typed, or, before
// anything is typed, as most of the script's command words are.
Completion CompleteAt(const std::vector<std::string>& stored, const ScriptModel& model, int line, int column);

struct Signature {
  std::string label;  // UTF-8: the word and its operands
  std::vector<std::pair<int, int>> parameters;  // each operand's place in the label, in UTF-16 units
  int active = 0;
  std::string summary;  // UTF-8
};

// The signature of the command the cursor is in the operands of; false
// when it is in none (or the word has no help).
bool SignatureAt(const std::vector<std::string>& stored, const ScriptModel& model, int line, int column, Signature* out);

}  // namespace kal
