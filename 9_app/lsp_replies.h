// The language server's answers as the protocol's JSON: each takes a script
// as the server holds it and a position in stored columns, and gives the
// result of one request, with every position turned back into the
// editor's UTF-16 columns and every text into UTF-8.
#pragma once

#if KALDORIN_HAVE_JSON
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "8_interpreter/script_check.h"
#include "9_app/lsp_document.h"
#include "9_app/lsp_script_model.h"

namespace kal {

using Json = nlohmann::json;

// Diagnostics sent for one script at most (its first ones, and the line
// limit's finding always among them).
inline constexpr size_t kMostLspDiagnostics = 1000;

struct OpenScript {
  LspDocument doc;
  ScriptModel model;
  std::vector<CheckFinding> findings;  // at most kMostLspDiagnostics
};

// A script from the editor's whole text: its model and its findings. A
// script over the interpreter's line limit is checked up to the limit, and
// the limit is a finding of its own at the first line past it.
OpenScript OpenScriptOf(std::string_view utf8_text);

struct LspWhere {
  int line = 0;
  int column = 0;  // stored
};

Json RangeOf(const LspDocument& doc, const LspSpan& span);
Json DiagnosticOf(const LspDocument& doc, const CheckFinding& finding);
Json DiagnosticsOf(const OpenScript& script);

Json HoverReply(const OpenScript& script, LspWhere at);
Json CompletionReply(const OpenScript& script, LspWhere at);
Json SignatureReply(const OpenScript& script, LspWhere at);
Json FormattingReply(const OpenScript& script, int tab_size, bool spaces);
Json CodeActionsReply(const OpenScript& script, const std::string& uri, int first_line, int last_line);

Json DefinitionReply(const OpenScript& script, const std::string& uri, LspWhere at);
Json ReferencesReply(const OpenScript& script, const std::string& uri, LspWhere at, bool with_definition);
// A workspace edit; null with *why when the new name cannot be one, or
// when there is no name at the place (then *why says so too).
Json RenameReply(const OpenScript& script, const std::string& uri, LspWhere at, const std::string& new_name, std::string* why);
Json SymbolsReply(const OpenScript& script);

}  // namespace kal
#endif
