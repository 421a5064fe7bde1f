// The script check: every kind of finding on a file of bad lines, with its
// column and message; no finding on lines that read well; the variable
// table's limit.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "0_base/latin1.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/script_check.h"
#include "8_interpreter/state.h"
#include "9_app/script_file.h"

namespace kal::test {
namespace {

std::vector<std::string> Found(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const CheckFinding& f : CheckScript(lines))
    out.push_back(std::to_string(f.line) + ":" + std::to_string(f.column) + ": " + f.message);
  return out;
}

// The findings with their ranges and codes: "LINE:COLUMN-END CODE: message".
std::vector<std::string> FoundWithCodes(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const CheckFinding& f : CheckScript(lines))
    out.push_back(std::to_string(f.line) + ":" + std::to_string(f.column) + "-" + std::to_string(f.end_column) + " " +
                  f.code + ": " + f.message);
  return out;
}

// script_check_findings.kal: each "*! COLUMN-END CODE: message" line is a
// finding on the nearest line above it that is not one.
TEST(ScriptCheck, FindsWhatTheBadLinesFileSays) {
  std::ifstream file(std::string(KALDORIN_SOURCE_DIR) + "/tests/8_interpreter/script_check_findings.kal",
                     std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  std::vector<std::string> lines;
  std::string err;
  ASSERT_TRUE(SplitScriptText(bytes.str(), &lines, &err)) << err;
  std::vector<std::string> want;
  int owner = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("*! ", 0) == 0) {
      want.push_back(std::to_string(owner) + ":" + Latin1ToUtf8(lines[i].substr(3)));
    } else {
      owner = static_cast<int>(i + 1);
    }
  }
  ASSERT_GT(want.size(), 30u);
  std::vector<std::string> found = FoundWithCodes(lines);
  std::string listed;
  for (const std::string& f : found) listed += "\n" + f;
  EXPECT_EQ(found, want) << "found:" << listed;
}

// One-line SE chained past the depth a run allows: one finding where the
// run would stop, and no recursion as deep as the line (a small stack, as
// Windows gives, overflowed on it).
TEST(ScriptCheck, LinesNestedPastTheRunsDepthAreOneFinding) {
  std::string line;
  for (int i = 0; i < 5000; ++i) line += "se 1 = 1 ";
  line += "escreve \"x\"";
  EXPECT_EQ(Found({line}), std::vector<std::string>{"1:1810: Excesso de comandos aninhados"});
}

// Loops left open on every line: each line says once what it opens inside
// of (the nearest loop of its kind), and each loop is said unclosed once,
// where it opens; a SE after SENÃOs names the nearest SENÃO only.
TEST(ScriptCheck, EachOpenBlockIsSaidOnce) {
  std::vector<std::string> lines(300, "enquanto 1 = 1");
  std::vector<std::string> found = Found(lines);
  ASSERT_EQ(found.size(), 599u);
  EXPECT_EQ(found[0], "1:1: ENQUANTO sem FIM ENQUANTO");
  EXPECT_EQ(found[597], "300:1: ENQUANTO dentro do ENQUANTO da linha 299: o FIM ENQUANTO volta sempre ao ENQUANTO "
                        "mais próximo acima");
  EXPECT_EQ(found[598], "300:1: ENQUANTO sem FIM ENQUANTO");
  EXPECT_EQ(Found({"se 1 = 1", L1("senão"), "se 2 = 2", L1("senão"), "se 3 = 3", "repete $i 2", "se 4 = 4",
                   "fim enquanto", "fim repete", "fim se", "fim se", "fim se"}),
            (std::vector<std::string>{
                "3:1: Bloco SE depois do SENÃO da linha 2: o SENÃO salta para o primeiro FIM SE que vem depois dele",
                "5:1: Bloco SE depois do SENÃO da linha 4: o SENÃO salta para o primeiro FIM SE que vem depois dele",
                "7:1: Bloco SE depois do SENÃO da linha 4: o SENÃO salta para o primeiro FIM SE que vem depois dele",
                "8:1: FIM ENQUANTO sem ENQUANTO", "9:1: FIM REPETE antes do FIM SE do SE da linha 7"}));
}

TEST(ScriptCheck, LinesThatReadWellGiveNothing) {
  std::vector<std::string> lines = {
      "* a comment, a blank line, labels",
      "",
      "@inicio",
      "SEJA $n = 0",
      "SEJA $hoje DATA",
      "SEJA a \"diz \"\"oi\"\"\"",
      "REPETE $i 3",
      "  ENQUANTO $n < (3 * ($i + 1))",
      "    SOMA $n 1",
      "    SE $n = 2 DESVIA @fora",
      "    SE $n EM [nomes] ESCREVE \"sim\"",
      "  FIM ENQUANTO",
      "  SE NÃO $i > 1",
      "    SE a = b",
      "      ESCREVE \"x\" $n (1+2) &",
      "    FIM SE",
      "  SENÃO",
      "    CHAMA @sub",
      "  FIM SE",
      "@fora",
      "FIM REPETE",
      "DESVIA $destino",
      "FIM QUALQUER",
      "TERMINA MUDO 3",
      "@sub",
      "RETORNA",
  };
  for (std::string& line : lines) line = L1(line);  // scripts are stored as Latin-1
  // FIM of a word that is no block runs, but is reported as a likely typo;
  // so are variables no line sets.
  EXPECT_EQ(Found(lines), (std::vector<std::string>{"14:8: Variável lida mas nunca definida: B",
                                                    "22:8: Variável lida mas nunca definida: $DESTINO",
                                                    "23:5: Bloco desconhecido: FIM QUALQUER"}));
}

TEST(ScriptCheck, SaysWhereTheVariableNamesRunOut) {
  std::vector<std::string> lines;
  for (int i = 0; i < 102; ++i) lines.push_back("SEJA $v" + std::to_string(i) + " $v0");
  EXPECT_EQ(Found(lines), std::vector<std::string>{"102:6: Variáveis demais: $v101 passa do máximo de 101"});
}

// The reason said when a stored line fails: what its text shows, in the
// store it runs in; nothing when the text is fine (the failure came from a
// value, and its command has said so) or the word is unknown (the
// dispatcher says so itself).
TEST(ScriptCheck, ALineFaultIsWhatTheLineAloneShows) {
  InterpreterState in;
  const char* lines[] = {"@volta",           "DESVIA @volta",  "DESVIA @fim",     "ENQUANTO a < 3",
                         "FIM ENQUANTO",     "FIM REPETE",     "xyz 1",           "SEJA a (1/0)",
                         "SE a = 1 FIM SE",  "SEJA a \"sem fim", "CHECA 5",        "TELA pisca"};
  int n = 0;
  for (const char* line : lines) ASSERT_TRUE(StoreLine(in, line, ++n));
  std::vector<std::string> want = {"", "", "Rótulo não encontrado: @fim", "", "", "FIM REPETE sem REPETE", "",
                                   "Divisão por zero", "Comando de bloco dentro de uma linha: FIM", "",
                                   // the command's whole shape, its own words included
                                   "Esperava uma variável: 5",
                                   "Esperava uma destas palavras: LIMPA, MINIMIZADA, NORMAL, @x,y; veio pisca"};
  for (int i = 1; i <= n; ++i) EXPECT_EQ(LineFault(in, i), want[static_cast<size_t>(i - 1)]) << lines[i - 1];
  EXPECT_EQ(LineFault(in, 0), "");
  EXPECT_EQ(LineFault(in, n + 1), "");
}

}  // namespace
}  // namespace kal::test
