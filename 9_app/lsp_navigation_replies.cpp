// The replies that find places in a script: definition, references,
// rename and the outline of labels and blocks.
#include "9_app/lsp_replies.h"

#if KALDORIN_HAVE_JSON
#include <algorithm>

#include "0_base/latin1.h"
#include "9_app/app_messages.h"
#include "9_app/lsp_edits.h"

namespace kal {

namespace {

// The protocol's numbers for the kinds of symbols.
constexpr int kSymbolNamespace = 3;
constexpr int kSymbolFunction = 12;

Json LocationOf(const LspDocument& doc, const std::string& uri, const LspSpan& span) {
  return {{"uri", uri}, {"range", RangeOf(doc, span)}};
}

Json SymbolOf(const LspDocument& doc, const OutlineItem& item) {
  int last_end = static_cast<int>(doc.stored[static_cast<size_t>(item.last)].size());
  int first_end = static_cast<int>(doc.stored[static_cast<size_t>(item.first)].size());
  Json range = {{"start", RangeOf(doc, {item.first, 0, 0})["start"]}, {"end", RangeOf(doc, {item.last, last_end, last_end})["end"]}};
  std::string detail = item.first == item.last ? "linha " + std::to_string(item.first + 1)
                                               : "linhas " + std::to_string(item.first + 1) + " a " + std::to_string(item.last + 1);
  return {{"name", Latin1ToUtf8(item.name)},
          {"detail", detail},
          {"kind", item.label ? kSymbolFunction : kSymbolNamespace},
          {"range", range},
          {"selectionRange", RangeOf(doc, {item.first, 0, first_end})},
          {"children", Json::array()}};
}

// Item i with its children within it.
Json TreeOf(const LspDocument& doc, const std::vector<OutlineItem>& items, const std::vector<std::vector<size_t>>& children,
            size_t i) {
  Json symbol = SymbolOf(doc, items[i]);
  for (size_t child : children[i]) symbol["children"].push_back(TreeOf(doc, items, children, child));
  return symbol;
}

}  // namespace

Json DefinitionReply(const OpenScript& script, const std::string& uri, LspWhere at) {
  const NameUse* name = NameAt(script.model, at.line, at.column);
  const NameUse* def = name == nullptr ? nullptr : DefinitionOf(script.model, *name);
  if (def == nullptr) return nullptr;
  return LocationOf(script.doc, uri, def->span);
}

Json ReferencesReply(const OpenScript& script, const std::string& uri, LspWhere at, bool with_definition) {
  const NameUse* name = NameAt(script.model, at.line, at.column);
  if (name == nullptr) return nullptr;
  Json out = Json::array();
  for (const NameUse* use : UsesOf(script.model, *name))
    if (with_definition || !(use->kind == NameKind::kLabel && use->defines)) out.push_back(LocationOf(script.doc, uri, use->span));
  return out;
}

Json RenameReply(const OpenScript& script, const std::string& uri, LspWhere at, const std::string& new_name, std::string* why) {
  const NameUse* name = NameAt(script.model, at.line, at.column);
  std::vector<LspEdit> edits;
  if (name == nullptr) *why = app_msg::kLspNotAName;
  if (name == nullptr || !RenameEdits(script.model, *name, new_name, &edits, why)) return nullptr;
  Json changes = Json::array();
  for (const LspEdit& edit : edits)
    changes.push_back({{"range", RangeOf(script.doc, edit.span)}, {"newText", Latin1ToUtf8(edit.text)}});
  return {{"changes", {{uri, changes}}}};
}

Json SymbolsReply(const OpenScript& script) {
  std::vector<OutlineItem> items = Outline(script.doc.stored, script.model);
  std::vector<std::vector<size_t>> children(items.size());
  std::vector<size_t> roots;
  for (size_t i = 0; i < items.size(); ++i)
    (items[i].parent < 0 ? roots : children[static_cast<size_t>(items[i].parent)]).push_back(i);
  std::stable_sort(roots.begin(), roots.end(), [&](size_t a, size_t b) { return items[a].first < items[b].first; });
  Json out = Json::array();
  for (size_t root : roots) out.push_back(TreeOf(script.doc, items, children, root));
  return out;
}

}  // namespace kal
#endif
