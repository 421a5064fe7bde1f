#include "9_app/lsp_edits.h"

#include <algorithm>

#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/variables.h"
#include "9_app/app_messages.h"

namespace kal {

namespace {

// No command word is longer (DECODARQBASE64).
constexpr size_t kLongestCommandWord = 14;

bool IsUpperLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7); }
bool IsLowerLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7 && c != 0xFF); }

char Lower(char c) {
  return IsUpperLetter(static_cast<unsigned char>(c)) ? static_cast<char>(static_cast<unsigned char>(c) + 0x20) : c;
}

bool IsBlankLine(std::string_view line) { return TrimBlanks(line).empty(); }

size_t LeadingBlanks(std::string_view line) {
  size_t n = 0;
  while (n < line.size() && (line[n] == ' ' || line[n] == '\t')) ++n;
  return n;
}

// How deep each line lies within blocks: the lines between a head and its
// FIM (to the end of the script when it has none) one level more; SENÃO at
// its SE's level.
std::vector<int> Depths(const LspDocument& doc, const ScriptModel& model) {
  size_t n = doc.stored.size();
  std::vector<int> step(n + 1, 0);
  for (const ScriptBlock& block : model.blocks) {
    size_t stop = block.end < 0 ? n : static_cast<size_t>(block.end);
    if (static_cast<size_t>(block.head) + 1 >= stop) continue;
    ++step[static_cast<size_t>(block.head) + 1];
    --step[stop];
  }
  std::vector<int> depth(n, 0);
  int level = 0;
  for (size_t i = 0; i < n; ++i) {
    level += step[i];
    depth[i] = level;
  }
  for (const CommandUse& use : model.commands)
    if ((use.word == "SENAO" || use.word == "SEN\xC3O") && use.span.begin == static_cast<int>(LeadingBlanks(doc.stored[static_cast<size_t>(use.span.line)])))
      depth[static_cast<size_t>(use.span.line)] = std::max(0, depth[static_cast<size_t>(use.span.line)] - 1);
  return depth;
}

// An edit that adds a line at the end of the script.
LspEdit LineAtEnd(const LspDocument& doc, const std::string& line) {
  int n = static_cast<int>(doc.stored.size());
  if (n == 0) return {{0, 0, 0}, line + "\n"};
  if (doc.ends_in_newline) return {{n, 0, 0}, line + "\n"};
  int end = static_cast<int>(doc.stored.back().size());
  return {{n - 1, end, end}, "\n" + line};
}

// An edit that adds a line before line k, or at the end when k is past it.
LspEdit LineBefore(const LspDocument& doc, int k, const std::string& line) {
  if (k >= static_cast<int>(doc.stored.size())) return LineAtEnd(doc, line);
  return {{k, 0, 0}, line + "\n"};
}

// The run of non-blank bytes at a column.
std::string_view TokenAt(std::string_view line, int column) {
  if (column < 0 || static_cast<size_t>(column) >= line.size()) return {};
  std::string_view rest = line.substr(static_cast<size_t>(column));
  size_t end = 0;
  while (end < rest.size() && !IsBlank(rest[end])) ++end;
  return rest.substr(0, end);
}

// The message with every {0} replaced by the word.
std::string WithWord(std::string_view message, std::string_view word) {
  std::string out(message);
  for (size_t at = out.find("{0}"); at != std::string::npos; at = out.find("{0}", at + word.size()))
    out.replace(at, 3, word);
  return out;
}

bool StartsWith(std::string_view text, std::string_view front) { return text.substr(0, front.size()) == front; }

int Distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      int cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

void FixWord(const LspDocument& doc, const CheckFinding& f, size_t index, std::vector<QuickFix>* out) {
  int line = f.line - 1;
  std::string_view word = TokenAt(doc.stored[static_cast<size_t>(line)], f.column - 1);
  LspSpan span{line, f.column - 1, f.column - 1 + static_cast<int>(word.size())};
  for (const std::string& near : NearestCommandWords(word))
    out->push_back({std::string(app_msg::kLspFixWord) + Latin1ToUtf8(near), index, {span, near}});
}

// FIM before the next label after the block's head (and before the blank
// lines above that label), or at the end; indented as its head is.
void FixOpenBlock(const LspDocument& doc, const ScriptModel& model, const ScriptBlock& block, size_t index,
                  std::vector<QuickFix>* out) {
  int k = static_cast<int>(doc.stored.size());
  for (const NameUse& use : model.names)
    if (use.kind == NameKind::kLabel && use.defines && use.span.line > block.head) {
      k = use.span.line;
      break;
    }
  while (k - 1 > block.head && IsBlankLine(doc.stored[static_cast<size_t>(k - 1)])) --k;
  const std::string& head = doc.stored[static_cast<size_t>(block.head)];
  std::string fim = InCaseOf("FIM " + block.word, TrimBlanks(head));
  out->push_back({std::string(app_msg::kLspFixClose) + Latin1ToUtf8(fim), index,
                  LineBefore(doc, k, head.substr(0, LeadingBlanks(head)) + fim)});
}

void FixLabel(const LspDocument& doc, const CheckFinding& f, size_t index, std::vector<QuickFix>* out) {
  std::string_view target = TokenAt(doc.stored[static_cast<size_t>(f.line - 1)], f.column - 1);
  if (target.size() < 2 || target[0] != '@') return;
  out->push_back({std::string(app_msg::kLspFixLabel) + Latin1ToUtf8(target), index, LineAtEnd(doc, std::string(target))});
}

}  // namespace

std::string InCaseOf(std::string_view word, std::string_view like) {
  bool lower = false, upper_after_first = false;
  for (size_t i = 0; i < like.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(like[i]);
    lower = lower || IsLowerLetter(c);
    upper_after_first = upper_after_first || (i > 0 && IsUpperLetter(c));
  }
  std::string out = UpperCaseText(word);
  if (!lower || upper_after_first) return out;
  bool capital = !like.empty() && IsUpperLetter(static_cast<unsigned char>(like[0]));
  for (size_t i = capital ? 1 : 0; i < out.size(); ++i) out[i] = Lower(out[i]);
  return out;
}

std::vector<std::string> NearestCommandWords(std::string_view word) {
  std::string upper = UpperCaseText(word);
  if (upper.size() > kLongestCommandWord + 2) return {};  // farther than two edits from every word
  int most = std::min(2, static_cast<int>(upper.size()) - 1);
  std::vector<std::string> best;
  for (int i = 0; i < kCommandCount; ++i) {
    const CommandEntry& entry = kCommandTable[i];
    if (entry.handler == nullptr) continue;
    int d = Distance(upper, entry.word);
    if (d > most) continue;
    if (d < most) best.clear();
    most = d;
    best.push_back(InCaseOf(entry.word, word));
  }
  if (best.size() > 3) best.resize(3);
  return best;
}

std::vector<LspEdit> IndentEdits(const LspDocument& doc, const ScriptModel& model, std::string_view unit) {
  std::vector<LspEdit> out;
  std::vector<int> depth = Depths(doc, model);
  for (size_t n = 0; n < doc.stored.size(); ++n) {
    const std::string& line = doc.stored[n];
    size_t lead = LeadingBlanks(line);
    if (lead == line.size() || line[lead] == '@' || static_cast<unsigned char>(line[lead]) <= ' ') continue;
    std::string indent;
    for (int i = 0; i < depth[n]; ++i) indent += unit;
    if (line.compare(0, lead, indent) != 0 || lead != indent.size())
      out.push_back({{static_cast<int>(n), 0, static_cast<int>(lead)}, indent});
  }
  return out;
}

bool RenameEdits(const ScriptModel& model, const NameUse& name, std::string_view new_name_utf8,
                 std::vector<LspEdit>* edits, std::string* why) {
  char mark = name.kind == NameKind::kLabel ? '@' : '$';
  if (!new_name_utf8.empty() && new_name_utf8[0] == mark) new_name_utf8.remove_prefix(1);
  std::string latin1 = Utf8ToLatin1(new_name_utf8);
  if (Latin1ToUtf8(latin1) != new_name_utf8) {
    *why = app_msg::kLspNotLatin1;
    return false;
  }
  bool blank = std::any_of(latin1.begin(), latin1.end(), [](char c) { return IsBlank(c); });
  if (name.kind == NameKind::kVariable && (latin1.empty() || NameLength(latin1) != latin1.size())) {
    *why = app_msg::kLspBadVariableName;
    return false;
  }
  if (name.kind == NameKind::kLabel && (latin1.empty() || blank)) {
    *why = app_msg::kLspBadLabelName;
    return false;
  }
  edits->clear();
  for (const NameUse* use : UsesOf(model, name)) edits->push_back({use->span, mark + latin1});
  return true;
}

std::vector<QuickFix> QuickFixes(const LspDocument& doc, const ScriptModel& model,
                                 const std::vector<CheckFinding>& findings, int first, int last) {
  std::vector<QuickFix> out;
  for (size_t i = 0; i < findings.size(); ++i) {
    const CheckFinding& f = findings[i];
    int line = f.line - 1;
    if (line < first || line > last || line >= static_cast<int>(doc.stored.size())) continue;
    if (StartsWith(f.message, kMsgInvalidCommand)) FixWord(doc, f, i, &out);
    if (StartsWith(f.message, kMsgLabelNotFound)) FixLabel(doc, f, i, &out);
    for (const ScriptBlock& block : model.blocks)
      if (block.head == line && block.end < 0 && f.message == WithWord(kMsgBlockNotClosed, block.word))
        FixOpenBlock(doc, model, block, i, &out);
  }
  return out;
}

}  // namespace kal
