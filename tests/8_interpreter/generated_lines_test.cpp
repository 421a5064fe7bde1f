// Generated lines, run both ways: every script here is put together at
// random from operands, variables and commands that include the odd forms
// (unclosed quotes, doubled quote marks, broken and failing expressions,
// names that fill the name table, numbers past 32 bits, missing lists),
// and runs once with its lines decoded and once read by the handlers from
// the text. Both runs must end alike, at the same line, with the same text,
// speech, variables and names created in the same order.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "8_interpreter/interpreter.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

struct Outcome {
  ScriptResult result;
  std::vector<std::string> vars;  // every slot's text
  std::vector<std::string> names;
  int64_t lines_run = 0;
};

Outcome RunOneWay(const std::string& script, bool decoded) {
  InterpreterState in;
  in.limits.decode_lines = decoded;
  in.limits.max_lines = 400;
  Outcome o;
  o.result = RunScriptIn(in, script, "\r");
  for (int slot = 1; slot <= kVariableSlots; ++slot) o.vars.push_back(Var(in, slot));
  o.names = in.names;
  o.lines_run = in.lines_run;
  return o;
}

void ExpectSameBothWays(const std::string& script) {
  Outcome d = RunOneWay(script, true), t = RunOneWay(script, false);
  EXPECT_EQ(d.result.end.reason, t.result.end.reason) << script;
  EXPECT_EQ(d.result.line, t.result.line) << script;
  EXPECT_EQ(d.result.console, t.result.console) << script;
  EXPECT_EQ(Joined(d.result.speech), Joined(t.result.speech)) << script;
  EXPECT_EQ(d.vars, t.vars) << script;
  EXPECT_EQ(d.names, t.names) << script;
  EXPECT_EQ(d.lines_run, t.lines_run) << script;
}

class LineMaker {
 public:
  explicit LineMaker(uint32_t seed) : random_(seed) {}

  std::string Line() {
    std::string v = Var(), o = Operand();
    switch (Pick(16)) {
      case 0: return "seja " + v + " " + o;
      case 1: return "seja " + v + " = " + o;
      case 2: return "soma " + v + " " + o;
      case 3: return "subtrai " + v + " " + o + (Pick(4) == 0 ? " " + Operand() : "");
      case 4: return "multiplica " + v + " " + o;
      case 5: return "divide " + v + " " + o;
      case 6: return "concatena " + v + " " + o;
      case 7: return "copia " + v + " " + Var() + " " + o + " " + Operand();
      case 8: return "se " + Condition() + " " + Nested();
      case 9: return "escreve " + o + " " + Operand();
      case 10: return "escreve #1 " + o + " " + Operand() + (Pick(2) ? " &" : "");
      case 11: return "repete " + v + " " + o;
      case 12: return "fim repete";
      case 13: return "enquanto " + Condition();
      case 14: return "fim enquanto";
      default: return "lista [l] adiciona " + o;
    }
  }

  std::string Script(bool crowded) {
    std::string script = "lista [l] cria\nabre #1 \"c:\\saida.txt\" &\n";
    // Nearly every name taken: the names a line reads fill the table in
    // the order it reads them, and the next one fails.
    if (crowded)
      for (int i = 1; i <= 98; ++i) script += "seja $w" + std::to_string(i) + " 1\n";
    int lines = 3 + static_cast<int>(Pick(6));
    for (int i = 0; i < lines; ++i) script += Line() + "\n";
    return script;
  }

 private:
  uint32_t Pick(uint32_t n) { return static_cast<uint32_t>(random_() % n); }
  template <size_t N>
  std::string OneOf(const char* const (&options)[N]) {
    return options[Pick(N)];
  }

  std::string Var() {
    static const char* const kVars[] = {"a", "b", "Z", "$n1", "$N1", "$n2", "$n3", "a1", "5", "$", "$n4_x"};
    return OneOf(kVars);
  }
  std::string Operand() {
    static const char* const kOperands[] = {
        "0",          "7",         "-3",          "-",           "2147483647",  "-2147483648", "99999999999999999999",
        "007",        "\"a b\"",   "\"x\"\"y\"",  "\"open",      "\"\"",        "\"10\"",      "\" 12 \"",
        "$n1",        "$n2",       "$n5",         "a",           "b",           "z",           "(a+1)",
        "(a*$n2-3)",  "((1)",      "(a",          "($n3 +)",     "(1/0)",       "( $n6 )",     "($n7 + q)",
        "x1",         "#1",        "[l]",         "",            "$",           "\xE9",        "(2147483647+1)",
        "(-(a))",     "(a/b)",     "(\"1\")",     "tempo"};
    return OneOf(kOperands);
  }
  std::string Condition() {
    static const char* const kOps[] = {"=", "<>", "<", ">", "<=", ">=", "==", "=*", "*=", "*=*", "em", "", "!"};
    std::string op = OneOf(kOps);
    std::string negate = Pick(4) == 0 ? "nao " : "";
    if (op == "em") return negate + Operand() + " em " + (Pick(3) ? "[l]" : "[m]");
    return negate + Operand() + " " + op + " " + Operand();
  }
  std::string Nested() {
    static const char* const kNested[] = {"", "soma a 1", "seja $n8 a", "escreve a", "* comment",
                                          "fim", "se a = 1 soma b 1", "xyz"};
    return OneOf(kNested);
  }

  std::mt19937 random_;
};

// Many scripts from fixed seeds, half of them with a nearly full name table.
TEST(GeneratedLines, RunAlikeDecodedAndFromTheText) {
  TalvenSandbox box;
  std::filesystem::create_directories(box.drives() + "/c");
  for (uint32_t seed = 1; seed <= 150; ++seed) {
    LineMaker maker(seed);
    ExpectSameBothWays(maker.Script(seed % 2 == 0));
    if (HasFailure()) return;  // one script's report is enough
  }
}

// DEBUG shows decoded lines as the handlers' lines: each line before it
// runs, its word upper-cased, lines within lines too.
TEST(GeneratedLines, DebugEchoesDecodedLines) {
  std::string script = "debug\nseja a 0\nrepete i 2\n  soma a 1\n  se a = 1 soma b 1\nfim repete\ndebug -\n";
  Outcome d = RunOneWay(script, true), t = RunOneWay(script, false);
  EXPECT_EQ(d.result.console, t.result.console);
  EXPECT_EQ(d.result.console,
            "Debug ligado\nSEJA a 0\nREPETE i 2\nSOMA a 1\nSE a = 1 soma b 1\nSOMA b 1\n"
            "FIM repete\nSOMA a 1\nSE a = 1 soma b 1\nFIM repete\nDEBUG -\nDebug desligado\n");
}

}  // namespace
}  // namespace kal::test
