#include "9_app/lsp_assist.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/operands.h"
#include "9_app/lsp_command_help.h"
#include "9_app/lsp_edits.h"

namespace kal {

namespace {

constexpr std::string_view kReference =
#include "language_reference.inc"
    ;

// Lines listed in a hover before "e mais N".
constexpr size_t kMostListedLines = 12;

bool IsWordByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 0xC0;
}

bool HoldsWholeWord(std::string_view text, std::string_view word) {
  for (size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
    bool starts = at == 0 || !IsWordByte(static_cast<unsigned char>(text[at - 1]));
    size_t end = at + word.size();
    if (starts && (end == text.size() || !IsWordByte(static_cast<unsigned char>(text[end])))) return true;
  }
  return false;
}

// The reference's section whose "### " heading names the word (UTF-8):
// the heading and the text up to the next heading.
std::string ReferenceOf(const std::string& upper_word) {
  size_t pos = 0;
  while ((pos = kReference.find("\n### ", pos)) != std::string_view::npos) {
    size_t eol = kReference.find('\n', pos + 1);
    std::string heading = UpperCaseText(Utf8ToLatin1(kReference.substr(pos + 5, eol - pos - 5)));
    if (HoldsWholeWord(heading, upper_word)) {
      size_t next = kReference.find("\n#", eol);
      return std::string(kReference.substr(pos + 1, (next == std::string_view::npos ? kReference.size() : next) - pos - 1));
    }
    pos = eol;
  }
  return {};
}

std::string CommandHover(const std::string& word) {
  const CommandHelp* help = FindCommandHelp(word);
  if (help == nullptr) return {};
  std::string text = "**" + Latin1ToUtf8(word) + "**";
  if (!help->operands.empty()) text += " `" + std::string(help->operands) + "`";
  text += "\n\n" + std::string(help->summary);
  std::string reference = ReferenceOf(word);
  if (!reference.empty()) text += "\n\n---\n\n" + reference;
  return text;
}

// "2, 5 e 9" (1-based), at most kMostListedLines of them.
std::string LineList(const std::vector<int>& lines) {
  std::string out;
  size_t shown = std::min(lines.size(), kMostListedLines);
  for (size_t i = 0; i < shown; ++i) {
    if (i > 0) out += i + 1 == shown && shown == lines.size() ? " e " : ", ";
    out += std::to_string(lines[i] + 1);
  }
  if (shown < lines.size()) out += " e mais " + std::to_string(lines.size() - shown);
  return out;
}

std::string Lines(const std::vector<int>& lines) {
  return (lines.size() == 1 ? "na linha " : "nas linhas ") + LineList(lines);
}

// The name as written where it is defined (where it is used, without a
// definition), its mark included.
std::string Spelling(const std::vector<std::string>& stored, const ScriptModel& model, const NameUse& name) {
  const NameUse* def = DefinitionOf(model, name);
  const LspSpan& span = (def != nullptr ? def : &name)->span;
  const std::string& line = stored[static_cast<size_t>(span.line)];
  return Latin1ToUtf8(line.substr(static_cast<size_t>(span.begin), static_cast<size_t>(span.end - span.begin)));
}

std::string LabelHover(const std::vector<std::string>& stored, const ScriptModel& model, const NameUse& name) {
  const NameUse* def = DefinitionOf(model, name);
  std::string text = "**" + Spelling(stored, model, name) + "**\n\n";
  text += def == nullptr ? "Rótulo que não está no script." : "Rótulo da linha " + std::to_string(def->span.line + 1) + ".";
  std::vector<int> desvia, chama;
  for (const NameUse* use : UsesOf(model, name))
    if (!use->defines) (use->command == "CHAMA" ? chama : desvia).push_back(use->span.line);
  if (!desvia.empty()) text += " DESVIA vem " + Lines(desvia) + ".";
  if (!chama.empty()) text += " CHAMA vem " + Lines(chama) + ".";
  if (desvia.empty() && chama.empty()) text += " Nenhum DESVIA ou CHAMA vai até ele.";
  return text;
}

std::string VariableHover(const std::vector<std::string>& stored, const ScriptModel& model, const NameUse& name) {
  std::vector<int> given, read;
  std::set<std::string> by;
  for (const NameUse* use : UsesOf(model, name)) {
    (use->defines ? given : read).push_back(use->span.line);
    if (use->defines) by.insert(use->command);
  }
  std::string text = "**" + Spelling(stored, model, name) + "**\n\n";
  if (given.empty()) {
    text += "Não recebe valor no script (vale o texto vazio).";
  } else {
    std::string commands;
    for (const std::string& c : by) commands += (commands.empty() ? "" : ", ") + Latin1ToUtf8(c);
    text += "Recebe valor " + Lines(given) + " (" + commands + ").";
  }
  if (!read.empty()) text += " Usada " + Lines(read) + ".";
  return text;
}

// What most of the script's command words are written in: "a" when in
// small letters, otherwise "A".
std::string_view ScriptCase(const std::vector<std::string>& stored, const ScriptModel& model) {
  int small = 0;
  for (const CommandUse& use : model.commands) {
    unsigned char c = static_cast<unsigned char>(stored[static_cast<size_t>(use.span.line)][static_cast<size_t>(use.span.begin)]);
    small += c >= 'a' && c <= 'z' ? 1 : -1;
  }
  return small > 0 ? "a" : "A";
}

bool Begins(std::string_view word, std::string_view typed_upper) {
  return UpperCaseText(word).compare(0, typed_upper.size(), typed_upper) == 0;
}

void AddCommands(std::string_view like, std::string_view typed_upper, std::vector<CompletionWord>* out) {
  for (int i = 0; i < kCommandCount; ++i) {
    const CommandHelp* help = FindCommandHelp(kCommandTable[i].word);
    if (kCommandTable[i].handler == nullptr || help == nullptr || !Begins(help->word, typed_upper)) continue;
    out->push_back({InCaseOf(help->word, like), WordKind::kCommand, std::string(help->operands), std::string(help->summary)});
  }
}

// The names of a kind, each once, as first written (its mark included),
// but for the one being typed.
void AddNames(const std::vector<std::string>& stored, const ScriptModel& model, NameKind kind, const LspSpan& typed,
              std::string_view typed_upper, std::vector<CompletionWord>* out) {
  std::set<std::string> seen;
  for (const NameUse& use : model.names) {
    if (use.span.line == typed.line && use.span.begin == typed.begin) continue;  // the name being typed
    if (use.kind != kind || (kind == NameKind::kLabel && !use.defines) || !Begins(use.key, typed_upper)) continue;
    if (!seen.insert(use.key).second) continue;
    const std::string& line = stored[static_cast<size_t>(use.span.line)];
    std::string word = line.substr(static_cast<size_t>(use.span.begin), static_cast<size_t>(use.span.end - use.span.begin));
    out->push_back({word, kind == NameKind::kLabel ? WordKind::kLabel : WordKind::kVariable, "", ""});
  }
}

// The last command word on the line that starts at or before the column.
const CommandUse* CommandBefore(const ScriptModel& model, int line, int column) {
  const CommandUse* found = nullptr;
  for (const CommandUse& use : model.commands)
    if (use.span.line == line && use.span.end < column) found = &use;
  return found;
}

int Utf16Length(std::string_view utf8) {
  int units = 0;
  for (unsigned char c : utf8) units += (c & 0xC0) != 0x80 ? (c >= 0xF0 ? 2 : 1) : 0;
  return units;
}

// The operand the column is in: how many operands stand wholly before it.
int OperandIndex(std::string_view args_to_cursor) {
  int count = 0, depth = 0;
  bool quoted = false, in_operand = false;
  for (char c : args_to_cursor) {
    if (!quoted && depth == 0 && IsBlank(c)) {
      in_operand = false;
      continue;
    }
    if (!in_operand) ++count;
    in_operand = true;
    if (c == '"') quoted = !quoted;
    if (!quoted && c == '(') ++depth;
    if (!quoted && c == ')' && depth > 0) --depth;
  }
  return in_operand ? count - 1 : count;
}

}  // namespace

std::string HoverAt(const std::vector<std::string>& stored, const ScriptModel& model, int line, int column) {
  if (const NameUse* name = NameAt(model, line, column))
    return name->kind == NameKind::kLabel ? LabelHover(stored, model, *name) : VariableHover(stored, model, *name);
  if (const CommandUse* command = CommandAt(model, line, column)) return CommandHover(command->word);
  return {};
}

Completion CompleteAt(const std::vector<std::string>& stored, const ScriptModel& model, int line, int column) {
  Completion out;
  if (line < 0 || static_cast<size_t>(line) >= stored.size()) return out;
  const std::string& text = stored[static_cast<size_t>(line)];
  size_t end = std::min(static_cast<size_t>(std::max(column, 0)), text.size()), start = end;
  while (start > 0 && IsWordByte(static_cast<unsigned char>(text[start - 1]))) --start;
  char mark = start > 0 && (text[start - 1] == '@' || text[start - 1] == '$') ? text[start - 1] : '\0';
  std::string_view typed = std::string_view(text).substr(start, end - start);
  std::string typed_upper = UpperCaseText(typed);
  if (mark != '\0') --start;
  out.typed = {line, static_cast<int>(start), static_cast<int>(end)};
  const CommandUse* command = CommandBefore(model, line, static_cast<int>(start));
  std::string_view like = typed.empty() ? ScriptCase(stored, model) : typed;
  if (mark == '@') {
    AddNames(stored, model, NameKind::kLabel, out.typed, typed_upper, &out.words);
  } else if (mark == '$') {
    AddNames(stored, model, NameKind::kVariable, out.typed, typed_upper, &out.words);
  } else if (command == nullptr) {
    if (TrimBlanks(std::string_view(text).substr(0, start)).empty()) AddCommands(like, typed_upper, &out.words);
  } else if (command->word == "SE") {
    AddCommands(like, typed_upper, &out.words);
    AddNames(stored, model, NameKind::kVariable, out.typed, typed_upper, &out.words);
  } else {
    AddNames(stored, model, NameKind::kVariable, out.typed, typed_upper, &out.words);
  }
  return out;
}

bool SignatureAt(const std::vector<std::string>& stored, const ScriptModel& model, int line, int column, Signature* out) {
  const CommandUse* command = CommandBefore(model, line, column);
  const CommandHelp* help = command == nullptr ? nullptr : FindCommandHelp(command->word);
  if (help == nullptr) return false;
  const std::string& text = stored[static_cast<size_t>(line)];
  size_t to = std::min(static_cast<size_t>(column), text.size());
  std::string_view args = std::string_view(text).substr(static_cast<size_t>(command->span.end), to - static_cast<size_t>(command->span.end));
  *out = Signature();
  out->label = Latin1ToUtf8(help->word);
  for (std::string_view parameter : HelpParameters(*help)) {
    out->label += " ";
    int begin = Utf16Length(out->label);
    out->label += parameter;
    out->parameters.emplace_back(begin, begin + Utf16Length(parameter));
  }
  int last = std::max(0, static_cast<int>(out->parameters.size()) - 1);
  int index = OperandIndex(args);
  constexpr std::string_view kCondition = "condição";  // left, operator, right: one placeholder
  if (help->operands.substr(0, kCondition.size()) == kCondition) index = index < 3 ? 0 : 1;
  out->active = std::min(index, last);
  out->summary = help->summary;
  return true;
}

}  // namespace kal
