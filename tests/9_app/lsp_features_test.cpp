// The language server's reading of a script (labels, $names, blocks) and
// what it builds from it: the outline, block indentation, renames, quick
// fixes, completion, signature help and hover texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "0_base/latin1.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/script_check.h"
#include "9_app/lsp_assist.h"
#include "9_app/lsp_command_help.h"
#include "9_app/lsp_edits.h"
#include "9_app/lsp_script_model.h"

namespace kal::test {
namespace {

const char* const kScript =
    "@inicio\n"                    // 0
    "seja $conta 0\n"              // 1
    "enquanto $conta < 3\n"        // 2
    "soma $Conta 1\n"              // 3
    "se $conta = 2 desvia @fim\n"  // 4
    "se $conta = 1\n"              // 5
    "escreve \"$nada\" $conta\n"   // 6
    "senão\n"                      // 7
    "  chama @sub\n"               // 8
    "fim se\n"                     // 9
    "fim enquanto\n"               // 10
    "@sub\n"                       // 11
    "tela @1,2\n"                  // 12
    "retorna\n"                    // 13
    "@fim\n";                      // 14

std::vector<std::string> Lines(const std::string& text) { return DocumentOf(text).stored; }

TEST(LspScriptModel, FindsNamesBlocksAndOneLineSe) {
  std::vector<std::string> lines = Lines(kScript);
  ScriptModel m = ModelOf(lines);
  ASSERT_EQ(m.blocks.size(), 2u);  // the SE with a command after it is no block
  EXPECT_EQ(m.blocks[0].word, "ENQUANTO");
  EXPECT_EQ(m.blocks[0].end, 10);
  EXPECT_EQ(m.blocks[1].head, 5);
  EXPECT_EQ(m.blocks[1].end, 9);
  const NameUse* conta = NameAt(m, 3, 8);  // $Conta: names in either case
  ASSERT_NE(conta, nullptr);
  std::vector<int> lines_of;
  for (const NameUse* use : UsesOf(m, *conta)) lines_of.push_back(use->span.line);
  EXPECT_EQ(lines_of, (std::vector<int>{1, 2, 3, 4, 5, 6}));  // not within quotes
  EXPECT_EQ(DefinitionOf(m, *conta)->span.line, 1);
  const NameUse* fim = NameAt(m, 4, 24);  // @fim after a one-line SE's condition
  ASSERT_NE(fim, nullptr);
  EXPECT_EQ(fim->command, "DESVIA");
  EXPECT_EQ(DefinitionOf(m, *fim)->span.line, 14);
  EXPECT_EQ(NameAt(m, 12, 6), nullptr);  // TELA's @ is a place on the screen
  ASSERT_NE(CommandAt(m, 4, 16), nullptr);
  EXPECT_EQ(CommandAt(m, 4, 16)->word, "DESVIA");
}

TEST(LspScriptModel, OutlineNestsBlocksWithinTheirLabels) {
  std::vector<std::string> lines = Lines(kScript);
  std::vector<OutlineItem> items = Outline(lines, ModelOf(lines));
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].name, "@inicio");
  EXPECT_EQ(items[0].last, 10);
  EXPECT_EQ(items[1].name, "@sub");
  EXPECT_EQ(items[1].last, 13);
  EXPECT_EQ(items[3].name, "enquanto $conta < 3");
  EXPECT_EQ(items[3].parent, 0);
  EXPECT_EQ(items[4].name, "se $conta = 1");
  EXPECT_EQ(items[4].parent, 3);
}

TEST(LspEdits, IndentsBlocksAndLeavesLabelsAtTheMargin) {
  LspDocument doc = DocumentOf(kScript);
  std::vector<LspEdit> edits = IndentEdits(doc, ModelOf(doc.stored), "  ");
  std::vector<std::string> got;
  for (const LspEdit& e : edits)
    got.push_back(std::to_string(e.span.line) + ":" + std::to_string(e.span.end) + ":" + std::to_string(e.text.size()));
  // Lines 3-6 and 8-9 one or two levels in; SENÃO at its SE's level; line 8
  // had two blanks and needs four.
  EXPECT_EQ(got, (std::vector<std::string>{"3:0:2", "4:0:2", "5:0:2", "6:0:4", "7:0:2", "8:2:4", "9:0:2"}));
  LspDocument open = DocumentOf("repete $i 2\nescreve $i\n");  // not closed: indented to the end
  ASSERT_EQ(IndentEdits(open, ModelOf(open.stored), "\t").size(), 1u);
  EXPECT_EQ(IndentEdits(open, ModelOf(open.stored), "\t")[0].text, "\t");
}

TEST(LspEdits, RenamesEveryUseAndRefusesWhatIsNoName) {
  std::vector<std::string> lines = Lines(kScript);
  ScriptModel m = ModelOf(lines);
  std::vector<LspEdit> edits;
  std::string why;
  ASSERT_TRUE(RenameEdits(m, *NameAt(m, 11, 1), "@rotina", &edits, &why));
  ASSERT_EQ(edits.size(), 2u);
  EXPECT_EQ(edits[0].span.line, 8);
  EXPECT_EQ(edits[0].span.begin, 8);
  EXPECT_EQ(edits[1].text, "@rotina");
  EXPECT_TRUE(RenameEdits(m, *NameAt(m, 1, 6), "total", &edits, &why));
  EXPECT_EQ(edits.size(), 6u);
  EXPECT_EQ(edits[0].text, "$total");
  EXPECT_FALSE(RenameEdits(m, *NameAt(m, 1, 6), "a b", &edits, &why));
  EXPECT_FALSE(RenameEdits(m, *NameAt(m, 1, 6), "ação", &edits, &why));  // not a name's letters
  EXPECT_FALSE(RenameEdits(m, *NameAt(m, 11, 1), "dois nomes", &edits, &why));
  EXPECT_FALSE(RenameEdits(m, *NameAt(m, 11, 1), "\xE2\x82\xAC", &edits, &why));  // outside Latin-1
  EXPECT_TRUE(RenameEdits(m, *NameAt(m, 11, 1), "a\xC3\xA7\xC3\xA3o", &edits, &why));  // ação, in Latin-1
  EXPECT_EQ(edits[0].text, "@a\xE7\xE3o");
}

TEST(LspEdits, QuickFixesCloseBlocksCorrectWordsAndCreateLabels) {
  LspDocument doc = DocumentOf("  enquanto 1 = 1\n  escrve 1\n\n@outra\ndesvia @longe");
  ScriptModel m = ModelOf(doc.stored);
  std::vector<CheckFinding> findings = CheckScript(doc.stored);
  std::vector<QuickFix> fixes = QuickFixes(doc, m, findings, 0, 4);
  ASSERT_EQ(fixes.size(), 3u);
  EXPECT_EQ(fixes[0].title, "Fechar o bloco com fim enquanto");
  EXPECT_EQ(fixes[0].edit.span.line, 2);  // before the blank line above the next label
  EXPECT_EQ(fixes[0].edit.text, "  fim enquanto\n");
  EXPECT_EQ(fixes[1].title, "Trocar por escreve");
  EXPECT_EQ(fixes[1].edit.span.begin, 2);
  EXPECT_EQ(fixes[1].edit.span.end, 8);
  EXPECT_EQ(fixes[2].title, "Criar o rótulo @longe");
  EXPECT_EQ(fixes[2].edit.span.line, 4);  // after the last line, which has no line end
  EXPECT_EQ(fixes[2].edit.text, "\n@longe");
  EXPECT_TRUE(QuickFixes(doc, m, findings, 3, 3).empty());
}

TEST(LspEdits, NearestWordsKeepTheAuthorsCase) {
  EXPECT_EQ(NearestCommandWords("Escrve"), (std::vector<std::string>{"Escreve"}));
  EXPECT_EQ(NearestCommandWords("SOAM"), (std::vector<std::string>{"SOMA"}));  // two letters swapped: one edit
  EXPECT_TRUE(NearestCommandWords("xyzzy").empty());
  EXPECT_TRUE(NearestCommandWords("Z").empty());
  EXPECT_TRUE(NearestCommandWords(std::string(1 << 20, 'a')).empty());  // a long word costs nothing
  for (int i = 0; i < kCommandCount; ++i) EXPECT_LE(kCommandTable[i].word.size(), 14u);
  EXPECT_EQ(InCaseOf("L\xCA", "l"), "l\xEA");
}

TEST(LspAssist, CompletesInTheAuthorsCase) {
  std::vector<std::string> lines = Lines("esc\nSEJA $nome 1\nescreve $n\ndesvia @\n@alvo\n");
  ScriptModel m = ModelOf(lines);
  Completion c = CompleteAt(lines, m, 0, 3);
  ASSERT_EQ(c.words.size(), 2u);  // ESCREVE, ESCREVEBYTE
  EXPECT_EQ(c.words[0].word, "escreve");
  EXPECT_EQ(c.typed.begin, 0);
  c = CompleteAt(lines, m, 2, 10);
  ASSERT_EQ(c.words.size(), 1u);
  EXPECT_EQ(c.words[0].word, "$nome");
  EXPECT_EQ(c.typed.begin, 8);  // the mark is replaced too
  c = CompleteAt(lines, m, 3, 8);
  ASSERT_EQ(c.words.size(), 1u);
  EXPECT_EQ(c.words[0].word, "@alvo");
  EXPECT_EQ(CompleteAt(lines, m, 1, 0).words.size(), static_cast<size_t>(kCommandCount));  // nothing typed: all
}

TEST(LspAssist, SignatureFollowsTheOperandBeingTyped) {
  std::vector<std::string> lines = Lines("copia $a \"x (y\" (1 + 2) \nse $a = 1 soma $b \n");
  ScriptModel m = ModelOf(lines);
  Signature s;
  ASSERT_TRUE(SignatureAt(lines, m, 0, 6, &s));
  EXPECT_EQ(s.label, "COPIA destino origem de até");
  EXPECT_EQ(s.active, 0);
  ASSERT_TRUE(SignatureAt(lines, m, 0, 25, &s));
  EXPECT_EQ(s.active, 3);  // quotes and parentheses hold their blanks
  EXPECT_EQ(s.parameters[3], std::make_pair(24, 27));
  ASSERT_TRUE(SignatureAt(lines, m, 1, 7, &s));  // a condition is one operand of three words
  EXPECT_EQ(s.active, 0);
  ASSERT_TRUE(SignatureAt(lines, m, 1, 19, &s));  // the command after a one-line SE
  EXPECT_EQ(s.label, "SOMA v valor");
  EXPECT_EQ(s.active, 1);
  EXPECT_FALSE(SignatureAt(lines, m, 0, 3, &s));  // still on the word
}

TEST(LspAssist, HoverSaysWhatAWordDoesAndWhereANameIs) {
  std::vector<std::string> lines = Lines(kScript);
  ScriptModel m = ModelOf(lines);
  std::string seja = HoverAt(lines, m, 1, 2);
  EXPECT_EQ(seja.substr(0, 20), "**SEJA** `v valor`\n\n");
  EXPECT_NE(seja.find("### SEJA"), std::string::npos);  // the reference's section follows
  EXPECT_EQ(HoverAt(lines, m, 3, 7), "**$conta**\n\nRecebe valor nas linhas 2 e 4 (SEJA, SOMA). Usada nas linhas 3, 5, 6 e 7.");
  EXPECT_EQ(HoverAt(lines, m, 11, 2), "**@sub**\n\nRótulo da linha 12. CHAMA vem na linha 9.");
  EXPECT_EQ(HoverAt(lines, m, 12, 7), "");
}

TEST(LspCommandHelp, EveryCommandWordHasOneRowAndEveryRowACommand) {
  for (int i = 0; i < kCommandCount; ++i) {
    if (kCommandTable[i].handler != nullptr) {
      EXPECT_NE(FindCommandHelp(kCommandTable[i].word), nullptr) << Latin1ToUtf8(kCommandTable[i].word);
    }
  }
  for (int i = 0; i < kCommandHelpCount; ++i) {
    EXPECT_GE(FindCommand(kCommandHelp[i].word), 0) << Latin1ToUtf8(kCommandHelp[i].word);
    EXPECT_EQ(FindCommandHelp(kCommandHelp[i].word), &kCommandHelp[i]) << "a word twice";
    EXPECT_EQ(std::string(kCommandHelp[i].summary).find('\n'), std::string::npos);
  }
}

}  // namespace
}  // namespace kal::test
