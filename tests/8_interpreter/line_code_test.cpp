// Decoded stored lines against the handlers they stand in for: every
// script here runs twice, once with the lines decoded and once with every
// line read by its handler from the text, and both runs must write, say and
// end alike. The scripts aim at the places where a decoded line could part
// from its handler: numbers kept as numbers and their text, literals that
// look like numbers, names created when read, failures part-way through a
// line, and decoded lines whose store has changed. Whole scripts of this
// kind are files under tests/scripts/line_code/, which the script runner
// runs both ways against the same expectations; the cases here build their
// scripts, look at files, or store lines from C++.
#include <gtest/gtest.h>

#include <filesystem>

#include "1_platform/event_loop.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

ScriptResult RunDecoded(const std::string& script, bool decoded) {
  return RunScriptDecoded(decoded, script, "\r");
}

// Runs the script both ways; returns the decoded run's console text.
std::string Same(const std::string& script) {
  ScriptResult a = RunDecoded(script, true);
  ScriptResult b = RunDecoded(script, false);
  EXPECT_EQ(a.console, b.console) << script;
  EXPECT_EQ(Joined(a.speech), Joined(b.speech)) << script;
  EXPECT_EQ(a.outcome, b.outcome) << script;
  EXPECT_EQ(a.line, b.line) << script;
  return a.console;
}

// Names are created when a line reads them, in the order it reads them,
// and the 102nd fails at the line that reads it.
TEST(LineCode, NamesAreCreatedWhenReadInOrder) {
  std::string script;
  for (int i = 1; i <= 100; ++i) script += "seja $v" + std::to_string(i) + " " + std::to_string(i) + "\n";
  Same(script + "seja $a ($b)\n");
  Same(script + "seja $a 1\nsoma $a ($b + 1)\n");
  Same(script + "se ($x) = 1 escreve \"a\"\n");
  Same(script + "seja q \"x\"\nseja $a (q + $b)\nescreve $a\n");
}

TEST(LineCode, WritingToAFileChannel) {
  TalvenSandbox box;
  std::filesystem::create_directories(box.drives() + "/c");
  std::string file = box.drives() + "/c/saida.txt";
  std::string script =
      "abre #1 \"c:\\saida.txt\" &\n"
      "seja n 41\nsoma n 1\n"
      "escreve #1 \"n=\" n (n*2) &\n"
      "escreve #1\n"
      "escreve #1 \"x\" \"y\"\n"
      "checa s\nfecha #1\nescreve s\n";
  ScriptResult a = RunDecoded(script, true);
  std::string decoded_file = ReadFileBytes(file);
  std::filesystem::remove(file);
  ScriptResult b = RunDecoded(script, false);
  EXPECT_EQ(decoded_file, ReadFileBytes(file));
  EXPECT_EQ(decoded_file, "n=4284\r\nxy\r\n");
  EXPECT_EQ(a.console, b.console);
  // Text that is not an operand fails the line after the writing.
  Same("abre #1 \"c:\\saida.txt\" &\nescreve #1 \"x\" +1\n");
  Same("escreve #3 \"x\"\n");  // not open
}

// Decoded lines belong to the store they were decoded from: storing again
// (the same numbers, other texts) runs the new texts.
TEST(LineCode, StoringAgainDropsTheDecodedLines) {
  InterpreterState in;
  in.context = &Context();
  auto run = [&](std::vector<std::string> lines) {
    int n = 0;
    for (const auto& l : lines) StoreLine(in, l, ++n);
    RunScript(in);
    return Var(in, 1);
  };
  EXPECT_EQ(run({"seja a 1", "repete i 3", "soma a 1", "fim repete"}), "4");
  EXPECT_EQ(run({"seja a 1", "repete i 2", "soma a 10", "fim repete"}), "21");
  // The loop's head moved: FIM REPETE finds the new one.
  EXPECT_EQ(run({"repete j 2", "seja a 0", "repete i 3", "soma a 1", "fim repete"}), "3");
  EXPECT_EQ(run({"seja a 0", "desvia @b", "@a", "seja a 5", "@b", "soma a 1"}), "1");
  EXPECT_EQ(run({"seja a 0", "desvia @b", "@b", "seja a 5", "@a", "soma a 1"}), "6");
}

// A text the decoder refuses runs in a form that fails where reading the
// text fails: the variables and names read before the fault are looked
// up, in order, and nothing is written; the reason said is the fault's,
// never one from a value that would be read after it.
TEST(LineCode, RefusedTextsFailWhereTheirReadingFails) {
  struct Case {
    const char* script;
    int line;
    std::vector<std::string> names;
    const char* said;  // the first line said
  };
  const Case kCases[] = {
      {"seja a \"x\"\nsubtrai a\n", 2, {}, "Falta um operando"},  // not that a is no number
      {"seja $v $w 1\n", 1, {"V", "W"}, "Texto a mais: 1"},
      {"seja $v =\n", 1, {"V"}, "Falta um operando"},
      {"soma $n\n", 1, {"N"}, "Falta um operando"},
      {"soma $n (1 + $m\n", 1, {"N", "M"}, "Esperava um n\u00famero: $M vale \"\""},
      {"concatena $c \"a\" x\n", 1, {"C"}, "Texto a mais: x"},
      {"copia $d $ 1 2\n", 1, {"D"}, "Esperava uma vari\u00e1vel: $"},
      {"copia $d $s 1 x\n", 1, {"D", "S"}, "Esperava um n\u00famero: X vale \"\""},
      {"desvia @dentro\nrepete $i\n@dentro\nfim repete\n", 2, {"I"}, "Falta um operando"},  // said at the head
      {"fim repete\n", 1, {}, "FIM REPETE sem REPETE"},
  };
  for (const Case& c : kCases) {
    for (bool decoded : {true, false}) {
      InterpreterState in;
      in.limits.decode_lines = decoded;
      ScriptResult r = RunScriptIn(in, c.script, "\r");
      EXPECT_EQ(r.outcome, 1) << c.script;
      EXPECT_EQ(r.line, c.line) << c.script;
      EXPECT_EQ(in.names, c.names) << c.script;
      ASSERT_FALSE(r.speech.empty()) << c.script;
      EXPECT_EQ(r.speech[0], std::string("say ") + c.said) << c.script;
    }
  }
  InterpreterState in;
  RunScriptIn(in, "seja $v 1\nseja $v $w x\n", "\r");
  EXPECT_EQ(Var(in, in.name_slots.at("V")), "1");  // read, then refused: not written
}

}  // namespace
}  // namespace kal::test
