// What the language server knows of a script's names and blocks: where each
// label is and which DESVIA and CHAMA lines go to it, where each $name is
// given a value and where it is read, where the command words stand, and
// the blocks SE, ENQUANTO and REPETE with their FIM. Lines are split by the
// interpreter's own rules (AnalyseLine, the condition reader), so a one-line
// SE is told from a block SE as a run tells it. Columns are stored columns
// (one Latin-1 byte a character), lines 0-based.
#pragma once

#include <string>
#include <vector>

namespace kal {

struct LspSpan {
  int line = 0;
  int begin = 0;  // first column
  int end = 0;    // one past the last
};

enum class NameKind { kLabel, kVariable };

struct NameUse {
  NameKind kind = NameKind::kLabel;
  std::string key;       // the name without its mark, upper-cased (names are found in either case)
  LspSpan span;          // the name with its mark ('@' or '$'); a label line whole
  bool defines = false;  // a label line; a variable given a value by its command
  std::string command;   // the command word of the line, upper-cased; "" on a label line
};

struct CommandUse {
  std::string word;  // upper-cased
  LspSpan span;
};

struct ScriptBlock {
  std::string word;  // "SE", "ENQUANTO" or "REPETE"
  int head = 0;
  int end = -1;  // the line of its FIM, -1 when it is not closed
};

struct ScriptModel {
  std::vector<NameUse> names;  // in line and column order
  std::vector<CommandUse> commands;
  std::vector<ScriptBlock> blocks;  // in the order of their heads
};

ScriptModel ModelOf(const std::vector<std::string>& stored);

// The name whose span holds the column (its end included, where a cursor
// stands after typing it), or nullptr.
const NameUse* NameAt(const ScriptModel& model, int line, int column);
const CommandUse* CommandAt(const ScriptModel& model, int line, int column);

// Every use of the name (the same kind and key), in order.
std::vector<const NameUse*> UsesOf(const ScriptModel& model, const NameUse& name);

// Where the name is defined: a label's first line, a variable's first line
// that gives it a value (its first use when none does); nullptr for a label
// that is not in the script.
const NameUse* DefinitionOf(const ScriptModel& model, const NameUse& name);

// The outline: labels, each reaching to the line before the next label,
// with the blocks within them, nested as they nest. Flat, parents first;
// parent is an index into the outline, -1 at the top.
struct OutlineItem {
  bool label = false;
  std::string name;  // Latin-1: the label line, or the block's head trimmed
  int first = 0, last = 0;
  int parent = -1;
};
std::vector<OutlineItem> Outline(const std::vector<std::string>& stored, const ScriptModel& model);

}  // namespace kal
