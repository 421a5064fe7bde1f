// The model is built in one pass over the lines. Names are looked for
// outside quoted text only; a label is referred to only by DESVIA and
// CHAMA (an '@' elsewhere is a screen position or text). Blocks follow the
// pairing a run uses: FIM X closes the nearest open X, and blocks opened
// within it and not closed stay unclosed.
#include "9_app/lsp_script_model.h"

#include <algorithm>
#include <string_view>

#include "5_speech/speech.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/script_index.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "9_app/lsp_command_help.h"

namespace kal {

namespace {

// How deep the outline nests blocks (a client's reader, like ours, bounds
// how deep a message may nest).
constexpr size_t kMostOutlineDepth = 32;

struct Builder {
  InterpreterState in;  // the condition reader's state; nothing is stored in it
  ScriptModel model;
  std::vector<size_t> open;  // indexes of blocks not closed yet
  int line = 0;
  std::string_view text;  // the line being read

  int ColumnOf(std::string_view part) const { return static_cast<int>(part.data() - text.data()); }
  LspSpan SpanOf(std::string_view part) const { return {line, ColumnOf(part), ColumnOf(part) + static_cast<int>(part.size())}; }
};

void OpenBlock(Builder& b, const char* word) {
  b.open.push_back(b.model.blocks.size());
  b.model.blocks.push_back({word, b.line, -1});
}

void CloseBlock(Builder& b, std::string_view args) {
  std::string which = UpperCaseText(TrimBlanks(args));
  for (size_t i = b.open.size(); i-- > 0;) {
    ScriptBlock& block = b.model.blocks[b.open[i]];
    if (block.word != which) continue;
    block.end = b.line;
    b.open.resize(i);
    return;
  }
}

// The $names of a command's own text, the first one given a value when the
// command gives its first variable one.
void ScanVariables(Builder& b, std::string_view args, const std::string& word) {
  const CommandHelp* help = FindCommandHelp(word);
  bool assigns = help != nullptr && help->assigns;
  ForEachDollarName(args, [&](std::string_view name) {
    b.model.names.push_back({NameKind::kVariable, UpperCaseText(name.substr(1)), b.SpanOf(name), assigns, word});
    assigns = false;
  });
}

void ScanLabelTarget(Builder& b, std::string_view args, const std::string& word) {
  if (args.empty() || args[0] != '@') return;
  std::string_view target = args.substr(0, args.find(' '));
  if (target.size() > 1) b.model.names.push_back({NameKind::kLabel, UpperCaseText(target.substr(1)), b.SpanOf(target), false, word});
}

void ScanCommand(Builder& b, std::string_view word, std::string_view args, int depth);

// SE: a block when nothing follows its condition, otherwise the condition
// and then the command after it, read as a line of its own.
void ScanSe(Builder& b, std::string_view args, int depth) {
  Condition condition;
  std::string_view rest;
  if (!DecodeConditionShape(b.in, args, &condition, &rest)) {
    ScanVariables(b, args, "SE");
    return;
  }
  ScanVariables(b, args.substr(0, static_cast<size_t>(rest.data() - args.data())), "SE");
  if (rest.empty()) {
    if (depth == 0) OpenBlock(b, "SE");
    return;
  }
  LineInfo nested;
  AnalyseLine(rest, &nested);
  std::string_view line = TrimBlanks(rest);
  if (nested.command && depth < kMaxNestedLines)
    ScanCommand(b, line.substr(0, line.find(' ')), rest.substr(nested.args_begin, nested.args_size), depth + 1);
}

void ScanCommand(Builder& b, std::string_view word, std::string_view args, int depth) {
  std::string upper = UpperCaseText(word);
  b.model.commands.push_back({upper, b.SpanOf(word)});
  if (upper == "SE") {
    ScanSe(b, args, depth);
    return;
  }
  if (depth == 0 && upper == "ENQUANTO") OpenBlock(b, "ENQUANTO");
  if (depth == 0 && upper == "REPETE") OpenBlock(b, "REPETE");
  if (depth == 0 && upper == "FIM") CloseBlock(b, args);
  if (upper == "DESVIA" || upper == "CHAMA") ScanLabelTarget(b, args, upper);
  ScanVariables(b, args, upper);
}

void ScanLine(Builder& b) {
  if (!b.text.empty() && b.text[0] == '@') {
    b.model.names.push_back({NameKind::kLabel, UpperCaseText(b.text.substr(1)), b.SpanOf(b.text), true, ""});
    return;
  }
  LineInfo info;
  AnalyseLine(b.text, &info);
  if (!info.command) return;
  std::string_view trimmed = TrimBlanks(b.text);
  ScanCommand(b, trimmed.substr(0, trimmed.find(' ')), b.text.substr(info.args_begin, info.args_size), 0);
}

bool Holds(const LspSpan& span, int line, int column) {
  return span.line == line && column >= span.begin && column <= span.end;
}

}  // namespace

ScriptModel ModelOf(const std::vector<std::string>& stored) {
  Builder b;
  for (size_t n = 0; n < stored.size(); ++n) {
    b.line = static_cast<int>(n);
    b.text = stored[n];
    ScanLine(b);
  }
  return std::move(b.model);
}

const NameUse* NameAt(const ScriptModel& model, int line, int column) {
  for (const NameUse& use : model.names)
    if (Holds(use.span, line, column)) return &use;
  return nullptr;
}

const CommandUse* CommandAt(const ScriptModel& model, int line, int column) {
  for (const CommandUse& use : model.commands)
    if (Holds(use.span, line, column)) return &use;
  return nullptr;
}

std::vector<const NameUse*> UsesOf(const ScriptModel& model, const NameUse& name) {
  std::vector<const NameUse*> out;
  for (const NameUse& use : model.names)
    if (use.kind == name.kind && use.key == name.key) out.push_back(&use);
  return out;
}

const NameUse* DefinitionOf(const ScriptModel& model, const NameUse& name) {
  std::vector<const NameUse*> uses = UsesOf(model, name);
  for (const NameUse* use : uses)
    if (use->defines) return use;
  return name.kind == NameKind::kVariable && !uses.empty() ? uses.front() : nullptr;
}

std::vector<OutlineItem> Outline(const std::vector<std::string>& stored, const ScriptModel& model) {
  std::vector<OutlineItem> out;
  int last_line = stored.empty() ? 0 : static_cast<int>(stored.size()) - 1;
  for (const NameUse& use : model.names) {
    if (use.kind != NameKind::kLabel || !use.defines) continue;
    if (!out.empty()) out.back().last = std::max(out.back().first, use.span.line - 1);
    out.push_back({true, stored[static_cast<size_t>(use.span.line)], use.span.line, last_line, -1});
  }
  size_t labels = out.size();
  std::vector<int> open;  // the items that may hold the next block, innermost last
  size_t next_label = 0;
  for (const ScriptBlock& block : model.blocks) {
    while (next_label < labels && out[next_label].first <= block.head) {
      open.assign(1, static_cast<int>(next_label));
      ++next_label;
    }
    int last = block.end < 0 ? block.head : block.end;
    while (!open.empty() && out[static_cast<size_t>(open.back())].last < last) open.pop_back();
    std::string name(TrimBlanks(stored[static_cast<size_t>(block.head)]));
    // Blocks deeper than the outline goes sit beside the deepest it shows.
    size_t parent_at = std::min(open.size(), kMostOutlineDepth);
    out.push_back({false, name, block.head, last, parent_at == 0 ? -1 : open[parent_at - 1]});
    open.resize(parent_at);
    open.push_back(static_cast<int>(out.size()) - 1);
  }
  return out;
}

}  // namespace kal
