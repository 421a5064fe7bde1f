// The replies about a script's text: its diagnostics, hover, completion,
// signature help, formatting and quick fixes.
#include "9_app/lsp_replies.h"

#if KALDORIN_HAVE_JSON
#include <algorithm>
#include <cstddef>

#include "0_base/latin1.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/operands.h"
#include "9_app/app_messages.h"
#include "9_app/lsp_assist.h"
#include "9_app/lsp_edits.h"
#include "9_app/script_file.h"

namespace kal {

namespace {

// The protocol's numbers for kinds and severities.
constexpr int kSeverityError = 1;
constexpr int kSeverityWarning = 2;
constexpr int kCompletionVariable = 6;
constexpr int kCompletionKeyword = 14;
constexpr int kCompletionReference = 18;

Json PositionOf(const LspDocument& doc, int line, int column) {
  return {{"line", line}, {"character", Utf16Column(doc, static_cast<size_t>(line), static_cast<size_t>(column))}};
}

Json EditOf(const LspDocument& doc, const LspEdit& edit) {
  return {{"range", RangeOf(doc, edit.span)}, {"newText", Latin1ToUtf8(edit.text)}};
}

// The finding at the line limit, when the script passes it.
void AddLineLimit(const LspDocument& doc, std::vector<CheckFinding>* findings) {
  if (doc.stored.size() <= static_cast<size_t>(kMaxScriptLines)) return;
  if (findings->size() >= kMostLspDiagnostics) findings->resize(kMostLspDiagnostics - 1);
  CheckFinding limit;
  limit.line = kMaxScriptLines + 1;
  limit.column = 1;
  limit.message = std::string(app_msg::kScriptPrefix) + TooManyLinesMessage();
  findings->push_back(limit);
}

int KindOf(WordKind kind) {
  return kind == WordKind::kCommand ? kCompletionKeyword : kind == WordKind::kLabel ? kCompletionReference : kCompletionVariable;
}

}  // namespace

OpenScript OpenScriptOf(std::string_view utf8_text) {
  OpenScript script;
  script.doc = DocumentOf(utf8_text);
  script.model = ModelOf(script.doc.stored);
  const std::vector<std::string>& stored = script.doc.stored;
  size_t checked = std::min(stored.size(), static_cast<size_t>(kMaxScriptLines));
  if (checked == stored.size()) {
    script.findings = CheckScript(stored);
  } else {
    script.findings = CheckScript(std::vector<std::string>(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(checked)));
  }
  if (script.findings.size() > kMostLspDiagnostics) script.findings.resize(kMostLspDiagnostics);
  AddLineLimit(script.doc, &script.findings);
  return script;
}

Json RangeOf(const LspDocument& doc, const LspSpan& span) {
  return {{"start", PositionOf(doc, span.line, span.begin)}, {"end", PositionOf(doc, span.line, span.end)}};
}

// The finding's range (one character at least), its severity and its code.
Json DiagnosticOf(const LspDocument& doc, const CheckFinding& f) {
  int line = f.line - 1;
  int begin = f.column - 1, end = std::max(f.end_column - 1, begin + 1);
  int severity = f.severity == Severity::kError ? kSeverityError : kSeverityWarning;
  Json diagnostic = {{"range", RangeOf(doc, {line, begin, end})}, {"severity", severity}, {"source", "kaldorin"},
                     {"message", f.message}};
  if (!f.code.empty()) diagnostic["code"] = f.code;
  return diagnostic;
}

Json DiagnosticsOf(const OpenScript& script) {
  Json out = Json::array();
  for (const CheckFinding& f : script.findings) out.push_back(DiagnosticOf(script.doc, f));
  return out;
}

Json HoverReply(const OpenScript& script, LspWhere at) {
  std::string text = HoverAt(script.doc.stored, script.model, at.line, at.column);
  if (text.empty()) return nullptr;
  return {{"contents", {{"kind", "markdown"}, {"value", text}}}};
}

Json CompletionReply(const OpenScript& script, LspWhere at) {
  Completion c = CompleteAt(script.doc.stored, script.model, at.line, at.column);
  Json items = Json::array();
  Json range = RangeOf(script.doc, c.typed);
  for (const CompletionWord& w : c.words) {
    std::string word = Latin1ToUtf8(w.word);
    Json item = {{"label", word}, {"kind", KindOf(w.kind)}, {"textEdit", {{"range", range}, {"newText", word}}}};
    if (!w.detail.empty()) item["detail"] = w.detail;
    if (!w.summary.empty()) item["documentation"] = w.summary;
    items.push_back(item);
  }
  return items;
}

Json SignatureReply(const OpenScript& script, LspWhere at) {
  Signature s;
  if (!SignatureAt(script.doc.stored, script.model, at.line, at.column, &s)) return nullptr;
  Json parameters = Json::array();
  for (const auto& p : s.parameters) parameters.push_back({{"label", {p.first, p.second}}});
  Json signature = {{"label", s.label}, {"documentation", s.summary}, {"parameters", parameters}};
  return {{"signatures", Json::array({signature})}, {"activeSignature", 0}, {"activeParameter", s.active}};
}

Json FormattingReply(const OpenScript& script, int tab_size, bool spaces) {
  int width = tab_size < 1 ? 2 : std::min(tab_size, 16);  // 2 when the editor gives none
  std::string unit = spaces ? std::string(static_cast<size_t>(width), ' ') : "\t";
  Json out = Json::array();
  for (const LspEdit& edit : IndentEdits(script.doc, script.model, unit)) out.push_back(EditOf(script.doc, edit));
  return out;
}

Json CodeActionsReply(const OpenScript& script, const std::string& uri, int first_line, int last_line) {
  Json out = Json::array();
  for (const QuickFix& fix : QuickFixes(script.doc, script.model, script.findings, first_line, last_line)) {
    Json edit = {{"changes", {{uri, Json::array({EditOf(script.doc, fix.edit)})}}}};
    out.push_back({{"title", fix.title},
                   {"kind", "quickfix"},
                   {"diagnostics", Json::array({DiagnosticOf(script.doc, script.findings[fix.finding])})},
                   {"edit", edit}});
  }
  return out;
}

}  // namespace kal
#endif
