// The changes the language server offers to make to a script: its block
// indentation, a name renamed, and the quick fixes for what the script check
// finds (a block left open closed, a misspelt command word corrected to the
// nearest one, a missing label created). Edits are in stored columns and
// Latin-1 text; the server converts them for the editor.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "8_interpreter/script_check.h"
#include "9_app/lsp_document.h"
#include "9_app/lsp_script_model.h"

namespace kal {

struct LspEdit {
  LspSpan span;      // replaced; begin == end inserts
  std::string text;  // Latin-1
};

// Each line within blocks indented by `unit` once a level (SENÃO and FIM at
// their head's level), others at the left margin; label lines, lines whose
// blanks hide a label, and lines already right are left alone.
std::vector<LspEdit> IndentEdits(const LspDocument& doc, const ScriptModel& model, std::string_view unit);

// Every use of the name renamed. The new name may be written with or
// without its mark; false with *why (UTF-8) when it is no name of that kind.
bool RenameEdits(const ScriptModel& model, const NameUse& name, std::string_view new_name_utf8,
                 std::vector<LspEdit>* edits, std::string* why);

struct QuickFix {
  std::string title;  // UTF-8
  size_t finding = 0; // the finding it fixes (an index)
  LspEdit edit;
};

// The fixes for the findings on lines first..last.
std::vector<QuickFix> QuickFixes(const LspDocument& doc, const ScriptModel& model,
                                 const std::vector<CheckFinding>& findings, int first, int last);

// The command words nearest the word by edit distance (two edits at most,
// fewer than the word has letters), written in the word's case.
std::vector<std::string> NearestCommandWords(std::string_view word);

// The word (Latin-1) in the case another word is written in: all small
// letters, a capital and small letters, or capitals.
std::string InCaseOf(std::string_view word, std::string_view like);

}  // namespace kal
