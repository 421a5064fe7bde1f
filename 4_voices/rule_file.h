// The line-oriented rule files of both voices (letter-to-sound rules, word
// exceptions, abbreviations, diphone lists): Latin-1 text, one entry a line,
// LF or CR LF line ends, ';' opening a comment line. Two line forms are
// common to both voices and read here:
//   LEFT(FOCUS)RIGHT=OUTPUT|comment   a letter rule: the focus is replaced by
//                                     the output where the contexts match;
//   WORD=REPLACEMENT|comment          a word exception (a line without '='
//                                     names a word with an empty replacement).
// Each voice keeps its own limits, case rules and trimming.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kal::rule_file {

// Reads the file as lines without their line ends (LF or CR LF), bytes as
// they are. False when the file cannot be opened.
bool ReadLines(const std::string& path, std::vector<std::string>* lines);

// A comment line: its first byte is ';' (nothing is trimmed first).
inline bool IsComment(std::string_view line) { return !line.empty() && line[0] == ';'; }

struct ContextRule {
  std::string left;    // left context, read backwards from the focus
  std::string focus;   // never empty
  std::string right;   // right context
  std::string output;  // what the focus becomes
};

// Splits a letter rule, each context cut to max_context bytes and the output
// to max_output. The '=' is the first one after ')'; the output ends at the
// first '|' after it. False for a comment, a line without the "(" ")" "="
// frame, or an empty focus. Nothing is trimmed.
bool ParseContextRule(std::string_view line, size_t max_context, size_t max_output, ContextRule* rule);

struct WordEntry {
  std::string word;
  std::string replacement;
};

// Splits a word exception at its first '='; the replacement ends at the
// first '|' after it. Nothing is trimmed or case-changed.
WordEntry ParseWordEntry(std::string_view line);

}  // namespace kal::rule_file
