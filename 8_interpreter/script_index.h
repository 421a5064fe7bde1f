// What the interpreter knows about its stored lines without re-reading
// them. Lines never change once stored, so each is split when it is stored
// (command word, its table entry, the argument text), and the forms that
// the control-flow scans look for (labels, "FIM ..." lines, nested SE
// heads, first words of loop heads) are collected on first use after the
// store changed. Every answer is the one a textual scan of the store would
// give at that moment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "8_interpreter/line_code.h"
#include "8_interpreter/quick_code.h"

namespace kal {

struct InterpreterState;

// Lets the label table be searched with a string_view.
struct LabelHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

struct LineInfo {
  bool command = false;     // false: blank, comment or label line
  int16_t entry = -1;       // command table entry, -1 when the word is unknown
  std::string word;         // command word, upper-cased
  uint32_t args_begin = 0;  // argument text (trimmed) within the stored line
  uint32_t args_size = 0;
};

// How a line looks to the forward scans (its normalised form).
enum class ScanForm : uint8_t { kOther, kSeHead, kFimSe, kSenao, kFimEnquanto, kFimRepete };

struct ScanTables {
  int line_count = 0;
  std::vector<ScanForm> form;                   // per line, 1-based
  std::vector<std::string> se_condition;        // kSeHead: normalised text after "SE "
  std::vector<int> next_fim_se, next_fim_enquanto, next_fim_repete;  // first line > n, or count + 1
  std::vector<int> prev_enquanto, prev_repete;  // last line < n with that first word, or 0
  std::vector<std::string> repete_rest;         // REPETE heads: rest of the line, upper-cased
  std::unordered_map<std::string, int, LabelHash, std::equal_to<>> labels;  // upper-cased name -> first line
  // A line number as an index into the tables: lines run outside a stored
  // script may have any current line.
  size_t At(int line) const {
    return static_cast<size_t>(line < 0 ? 0 : (line > line_count ? line_count + 1 : line));
  }
};

struct ScriptIndex {
  std::vector<LineInfo> lines;  // 1-based, parallel to the store
  uint64_t generation = 1;      // bumped by every store
  uint64_t built_generation = 0;
  ScanTables scans;
  // The decoded lines (1-based), for the store of codes_generation; all are
  // undecoded again after the store changes.
  std::vector<LineCode> codes;
  uint64_t codes_generation = 0;
  // Their quick form (quick_code.h), for the same generation.
  QuickTable quick;
};

// Splits a trimmed line into its command word and the rest; fills *info.
void AnalyseLine(std::string_view stored, LineInfo* info);
// The scan tables for the current store and line count (rebuilt when stale).
const ScanTables& Scans(InterpreterState& in);
// Stored line n decoded (on its first run since the store changed).
LineCode& DecodeStoredLine(InterpreterState& in, int n);
inline LineCode& CodeOfLine(InterpreterState& in, ScriptIndex& idx, int n) {
  if (idx.codes_generation == idx.generation) {
    LineCode& code = idx.codes[static_cast<size_t>(n)];
    if (code.kind != LineKind::kUndecoded) return code;
  }
  return DecodeStoredLine(in, n);
}

}  // namespace kal
