// Why a failing line failed, as the run's error report says it before the
// line's number: the broken scripts of check_corpus/ fail at run time with
// the check's own code and message, and failures that only a run can meet
// (what a variable holds, files, channels, lists, calls) say theirs. Each
// script runs both ways (lines decoded, and every line through its handler
// from the text), through the harness the script tests use.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/script_check.h"
#include "8_interpreter/state.h"
#include "9_app/script_file.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

// Windows takes no control characters in a file's name: it refuses the name
// before looking for the file.
#ifdef _WIN32
#define CONTROL_NAME_REFUSAL "nome inválido"
#else
#define CONTROL_NAME_REFUSAL "não existe"
#endif

namespace fs = std::filesystem;

// Runs the script (UTF-8) both ways in a private folder and returns the
// decoded run after checking that the other way ended the same.
ScriptResult RunBothWays(const std::string& script) {
  TalvenSandbox sandbox;
  fs::current_path(sandbox.tmp().path());
  ScriptResult decoded = RunScriptDecoded(true, script, "\r");
  ScriptResult from_text = RunScriptDecoded(false, script, "\r");
  EXPECT_EQ(decoded.line, from_text.line) << script;
  EXPECT_EQ(decoded.end.why, from_text.end.why) << script;
  EXPECT_EQ(decoded.end.why_code, from_text.end.why_code) << script;
  EXPECT_EQ(decoded.console, from_text.console) << script;
  return decoded;
}

// The reason is written once, right before the line's number (the words
// of the report are spoken, not written).
void ExpectReasonSaidOnce(const ScriptResult& r) {
  ASSERT_FALSE(r.end.why.empty());
  std::string said = r.end.why + "\n" + std::to_string(r.line) + "\n";
  EXPECT_NE(r.console.find(said), std::string::npos) << r.console;
  EXPECT_EQ(r.console.find(r.end.why), r.console.rfind(r.end.why)) << "said twice:\n" << r.console;
}

TEST(FailReasons, EachBrokenScriptFailsWithTheChecksCodeAndMessage) {
  fs::path folder = fs::path(KALDORIN_SOURCE_DIR) / "tests" / "8_interpreter" / "check_corpus" / "broken";
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".kal") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  int errors = 0;
  for (const fs::path& file : files) {
    std::vector<std::string> lines;
    std::string err;
    ASSERT_TRUE(LoadScriptFile(file.string(), &lines, &err)) << err;
    std::vector<CheckFinding> found = CheckScript(lines);
    ASSERT_EQ(found.size(), 1u) << file.filename();
    // Every error of these scripts is reached when it runs.
    if (found[0].severity != Severity::kError) continue;
    ++errors;
    std::string script;
    for (const std::string& line : lines) script += Latin1ToUtf8(line) + "\n";
    ScriptResult r = RunBothWays(script);
    EXPECT_EQ(r.end.reason, EndReason::kFailed) << file.filename();
    EXPECT_EQ(r.line, found[0].line) << file.filename();
    EXPECT_EQ(r.end.why_code, found[0].code) << file.filename() << ": " << r.end.why;
    // An unknown word is said as the run reads it, upper-cased.
    std::string want = found[0].message;
    if (found[0].code == "K101") want = std::string(kMsgInvalidCommand) + UpperCaseText(want.substr(kMsgInvalidCommand.size()));
    EXPECT_EQ(r.end.why, want) << file.filename();
    ExpectReasonSaidOnce(r);
  }
  EXPECT_GE(errors, 35);
}

struct RunFailure {
  const char* script;  // UTF-8; fails at its last line
  const char* code;
  const char* why;
};

// Failures that depend on what the run meets, each with its reason.
const RunFailure kRunFailures[] = {
    // Numbers: a variable or a value that holds a word where a number goes.
    {"SEJA $n \"dez\"\nSEJA $a 1\nSOMA $a $n\n", "K121", "Esperava um número: $N vale \"dez\""},
    {"SEJA $a \"muito\"\nSUBTRAI $a 1\n", "K121", "Esperava um número: $A vale \"muito\""},
    {"SEJA b \"x\"\nSEJA $a (b + 1)\n", "K121", "Esperava um número: B vale \"x\""},
    {"SEJA $n \"muitos\"\nREPETE $i $n\n", "K121", "Esperava um número: $N vale \"muitos\""},
    {"SEJA $p \"um\"\nSEJA $t \"texto\"\nCOPIA $c $t $p 2\n", "K121", "Esperava um número: $P vale \"um\""},
    {"LISTA [l] CRIA\nLISTA [l] ADICIONA \"a\"\nSEJA $i \"primeiro\"\nLISTA [l] ITEM $i $v\n", "K121",
     "Esperava um número: primeiro"},
    // Division by a zero that only the run sees.
    {"SEJA $z 0\nSEJA $a 10\nDIVIDE $a $z\n", "K110", "Divisão por zero"},
    {"SEJA $z 0\nSEJA $a (10 / $z)\n", "K110", "Divisão por zero"},
    // Channels and files.
    {"LE #3 $linha\n", "K301", "Canal #3 não está aberto"},
    {"ESCREVE #4 \"x\"\n", "K301", "Canal #4 não está aberto"},
    {"ABRE #1 \"saida.txt\" &\nLE #1 $linha\n", "K301", "Canal #1 não está aberto para leitura"},
    {"ABRE 1 \"a.txt\"\n", "K119", "Esperava um canal de #0 a #9: 1"},
    {"ABRE #1 \"falta.txt\"\n", "K302", "Erro na abertura do arquivo falta.txt: não existe"},
    {"SEJA $f \"a\x1b[2Jb.txt\"\nABRE #1 $f\n", "K302", "Erro na abertura do arquivo a^[[2Jb.txt: " CONTROL_NAME_REFUSAL},
    {"REMOVE \"falta.txt\"\n", "K302", "Erro no apagamento do arquivo falta.txt: não existe"},
    {"RENOMEIA \"falta.txt\" \"b.txt\"\n", "K302", "Não foi possível renomear falta.txt para b.txt: falta.txt não existe"},
    {"REPLICA \"falta.txt\" \"b.txt\"\n", "K302", "Não foi possível copiar falta.txt para b.txt: falta.txt não existe"},
    {"TAMARQ \"falta.txt\" $t\n", "K302", "Tamanho desconhecido, o arquivo não existe: falta.txt"},
    {"GRAVABYTES\n", "K301", "Nenhum arquivo binário aberto"},
    {"CODARQBASE64 \"falta.txt\" \"b.txt\"\n", "K302", "Erro na abertura do arquivo falta.txt: não existe"},
    {"DIR TROCA \"nenhuma\"\n", "K302", "Erro no processamento do diretório nenhuma: não existe"},
    // Control flow.
    {"SEJA $d \"longe\"\nDESVIA $d\n", "K113", "Rótulo não encontrado: @longe"},
    {"SEJA $d \"longe\"\nCHAMA $d\n", "K113", "Rótulo não encontrado: @longe"},
    {"DESVIA @a\x1b[2Jb\n", "K113", "Rótulo não encontrado: @a^[[2Jb"},  // decoded: the check's words
    {"SEJA $a 1\nRETORNA\n", "K303", "Retorno sem chamada"},
    {"@sub\nCHAMA @sub\n", "K304", "Muitas chamadas sem retorno"},
    {"TERMINA 300\n", "K122", "Código de saída fora do intervalo de 0 a 255: 300"},
    {"CMD \"xyz 1\"\n", "K101", "Comando inválido: XYZ"},
    {"CMD \"fim se\"\n", "K102", "Comando de bloco dentro de uma linha: fim"},
    {"SEJA $c \"CMD $c\"\nCMD $c\n", "K103", "Excesso de comandos aninhados"},
    // Lists.
    {"LISTA [nada] ADICIONA \"a\"\n", "K305", "Lista não encontrada: [nada]"},
    {"SEJA $a 1\nSE $a EM [nada] ESCREVE \"x\"\n", "K305", "Lista não encontrada: [nada]"},
    {"LISTA [l] CRIA\nLISTA [l] CRIA\n", "K305", "A lista especificada já existe"},
    {"LISTA [l] CRIA\nLISTA [l] ITEM 0 $v\n", "K310", "Item 0 fora da lista [l] (número de itens: 0)"},
    {"LISTA [l] CRIA\nLISTA [l] DELETA \"b\"\n", "K310", "Item não encontrado na lista [l]: b"},
    {"MENU ADICIONA \"um\"\n", "K301", "Nenhum menu criado (falta MENU CRIA)"},
    {"MENU EXECUTA $p $t $x\n", "K301", "Nenhum menu criado (falta MENU CRIA)"},
    // Programs.
    {"EXECUTA \"programa_que_nao_existe_42\"\n", "K307", "Programa não encontrado: programa_que_nao_existe_42"},
};

TEST(FailReasons, RunTimeFailuresSayWhy) {
  for (const RunFailure& f : kRunFailures) {
    std::string script = f.script;
    int last = static_cast<int>(std::count(script.begin(), script.end(), '\n'));
    ScriptResult r = RunBothWays(script);
    EXPECT_EQ(r.end.reason, EndReason::kFailed) << script;
    EXPECT_EQ(r.line, last) << script;
    EXPECT_EQ(r.end.why_code, f.code) << script << r.end.why;
    EXPECT_EQ(r.end.why, f.why) << script;
    ExpectReasonSaidOnce(r);
  }
}

// A reason belongs to the line that failed: a later line that fails by its
// text alone, here in a second run on the same interpreter, says its own.
TEST(FailReasons, AReasonIsClearedWithItsLine) {
  TalvenSandbox sandbox;
  fs::current_path(sandbox.tmp().path());
  InterpreterState in;
  ScriptResult r = RunScriptIn(in, "LE #3 $x\n", "\r");
  EXPECT_EQ(r.end.why_code, "K301");
  r = RunScriptIn(in, "SEJA $a 1\nSUBTRAI $a 1 2\n", "\r");
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.end.why_code, "K105");
  EXPECT_EQ(r.end.why, "Texto a mais: 2");
}

}  // namespace
}  // namespace kal::test
