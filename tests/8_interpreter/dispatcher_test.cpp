// The dispatcher and the command table. DEBUG is tested by the scripts
// under tests/scripts/debug/.
#include <gtest/gtest.h>

#include "8_interpreter/command_table.h"
#include "tests/support/script_harness.h"

namespace kal::test {

// Each word is found at its own entry (a word written twice would shadow
// the later entry); accented words are found as their Latin-1 bytes, and
// lookup takes the word already upper-cased.
TEST(Dispatcher, FindsEveryWordAtItsEntry) {
  for (int i = 0; i < kCommandCount; ++i) EXPECT_EQ(FindCommand(kCommandTable[i].word), i);
  EXPECT_GE(FindCommand("T\xCDTULO"), 0);
  EXPECT_GE(FindCommand("L\xCA"), 0);
  EXPECT_EQ(FindCommand("escreve"), -1);
}

}  // namespace kal::test

namespace kal::test {

// A line made from a command's operands in the table: `wrong` 'v' puts a
// number where the first variable stands, `extra` adds a word at the end.
std::string LineOf(const CommandEntry& e, bool wrong_variable, bool extra) {
  std::string line(e.word);
  int variables = 0;
  for (char want : e.operands) {
    if (want == 'v') {
      line += (wrong_variable && variables == 0) ? " 1" : (variables ? " $b" : " $a");
      ++variables;
    } else if (want == 'o') {
      line += " 1";
    }
  }
  return extra ? line + " demais" : line;
}

// The handlers read what the table says they read, which is what the script
// check holds a line to: right operands run, a number for a variable fails,
// and a word after the last operand fails where the table ends with '.'.
// (REPETE and RETORNA need their block and their call: not run alone.)
TEST(Dispatcher, HandlersReadTheOperandsTheTableGives) {
  int checked = 0;
  for (int i = 0; i < kCommandCount; ++i) {
    const CommandEntry& e = kCommandTable[i];
    // Only shapes of variables and operands alone: the others are held to
    // their handlers by the script check's tests. (CMD runs its operand as a
    // line, and ACIONA presses it as a key on the desktop.)
    if (e.operands.empty() || e.operands.find_first_not_of("vo.") != std::string_view::npos || e.word == "REPETE" ||
        e.word == "RETORNA" || e.word == "CMD" || e.word == "ACIONA")
      continue;
    ++checked;
    bool closed = e.operands.back() == '.';
    bool has_variable = e.operands.find('v') != std::string_view::npos;
    for (bool decoded : {false, true}) {
      auto run = [&](const std::string& line) {
        ScriptResult r = RunScriptDecoded(decoded, "seja $a 5\nseja $b \"abc\"\n" + line + "\n", "\n");
        return r.outcome == 0;
      };
      EXPECT_TRUE(run(LineOf(e, false, false))) << LineOf(e, false, false);
      if (has_variable) {
        EXPECT_FALSE(run(LineOf(e, true, false))) << LineOf(e, true, false);
      }
      EXPECT_EQ(run(LineOf(e, false, true)), !closed) << LineOf(e, false, true);
    }
  }
  EXPECT_GE(checked, 4);
}

}  // namespace kal::test
