// MENU as scripts: a menu of three items in a rectangle, driven by keys;
// what EXECUTA gives back, what is said, what is drawn.
#include <gtest/gtest.h>

#include <string>

#include "0_base/console_grid.h"
#include "6_console/console.h"
#include "6_console/console_menu.h"
#include "6_console/screen_review.h"
#include "tests/support/script_harness.h"

namespace kal::test {
namespace {

const std::string kDown = "\x1b[B", kUp = "\x1b[A", kEnd = "\x1b[F", kHome = "\x1b[H", kLeft = "\x1b[D";
const std::string kShiftDown = "\x1b[1;2B", kF1 = "\x1bOP", kPgDn = "\x1b[6~";

const char kMenu[] =
    "menu cria 10 5 30 6\n"
    "menu adiciona \"um\"\n"
    "menu adiciona \"dois\"\n"
    "menu adiciona \"tres\"\n";

// Runs the menu from position 1 and writes what EXECUTA gave back.
ScriptResult Menu(const std::string& keys, const std::string& start = "1") {
  ResetConsoleMenuForTest();
  std::string script = std::string(kMenu) + "seja $p " + start +
                       "\nmenu executa $p $k $t\nescreve \"[\" $p \"|\" $k \"|\" $t \"]\"\n";
  ScriptResult r = RunScriptText(script, keys);
  EXPECT_EQ(r.outcome, 0) << r.console;
  return r;
}

std::string Said(const ScriptResult& r) {
  std::string s;
  for (auto& l : r.speech)
    if (l.rfind("say [", 0) != 0 && l != "say Fim do script") s += l + "\n";
  return s;
}

bool Shows(const ScriptResult& r, const std::string& text) {
  return r.console.find(text) != std::string::npos;
}

TEST(MenuCommands, EnterAtOnceGivesTheStartItem) {
  ScriptResult r = Menu("\r");
  EXPECT_TRUE(Shows(r, "[1|#13|um]")) << r.console;
  EXPECT_EQ(Said(r), "say um\n");
  r = Menu("\x1b", "2");
  EXPECT_TRUE(Shows(r, "[2|#27|dois]")) << r.console;
  // Not a number: the previous start (1) stays; 0 or less is 1.
  EXPECT_TRUE(Shows(Menu("x", "\"abc\""), "[1|x|um]"));
  EXPECT_TRUE(Shows(Menu("\r", "-4"), "[1|#13|um]"));
}

TEST(MenuCommands, MovingPastTheEndsBeeps) {
  ScriptResult r = Menu(kEnd + kDown + "\r");
  EXPECT_TRUE(Shows(r, "[4|#13|]")) << r.console;
  EXPECT_EQ(Said(r), "say um\nbeep\nsay tres\nbeep\n");
  r = Menu(kUp + "\r");
  EXPECT_TRUE(Shows(r, "[0|#13|]")) << r.console;
  r = Menu(kPgDn + kHome + "\r");
  EXPECT_TRUE(Shows(r, "[1|#13|um]")) << r.console;
  EXPECT_EQ(Said(r), "say um\nbeep\nbeep\nsay um\n");
}

TEST(MenuCommands, ShiftDownMarksAndMarkedItemsBeep) {
  // Shift+Down twice from the first item marks the first three; a marked
  // item beeps before it is said.
  ScriptResult r = Menu(kShiftDown + kShiftDown + kUp + "\r");
  EXPECT_TRUE(Shows(r, "[2|#13|dois]")) << r.console;
  EXPECT_EQ(Said(r), "say um\nbeep\nbeep\nsay dois\nbeep\nsay tres\nbeep\nsay dois\n");
  // Space flips, '-' unmarks, '*' marks all, '/' unmarks all.
  r = Menu(" " + kDown + "*" + "/" + kUp + "\r");
  EXPECT_EQ(Said(r), "say um\nbeep\nsay um\nsay dois\nbeep\nsay dois\nsay dois\nsay um\n");
}

TEST(MenuCommands, FunctionKeysEndOtherKeysRestart) {
  ScriptResult r = Menu(kDown + kF1);
  EXPECT_TRUE(Shows(r, "[2|#0#59|dois]")) << r.console;
  // Left ends the run but starts the menu again from its start position.
  r = Menu(kDown + kLeft + "\r");
  EXPECT_TRUE(Shows(r, "[1|#13|um]")) << r.console;
  EXPECT_EQ(Said(r), "say um\nsay dois\nsay um\n");
}

TEST(MenuCommands, ReviewFromTheMenuStaysInIt) {
  ResetScreenReviewForTest();
  ScriptResult r = Menu(kDown + "\x1b[20;7~" + "\x0b" + "\x1b[27u" + "\r");
  EXPECT_TRUE(Shows(r, "[2|#13|dois]")) << r.console;
  // The cursor was on the current item's row, at the rectangle's left.
  EXPECT_EQ(Said(r), "say um\nsay dois\nbeep\nsay 6 10\nbeep\nbeep\nsay dois\n");
}

TEST(MenuCommands, DrawingScrollsAndTerminaBlanks) {
  ResetConsoleMenuForTest();
  ScriptResult r = RunScriptText(std::string(kMenu) + "cor 7\nseja $p 1\nmenu executa $p $k $t\n",
                                 kDown + kDown + "\r");
  EXPECT_EQ(r.outcome, 0) << r.console;
  // Two rows show items 2 and 3 (scrolled), the current one in yellow, each
  // padded to the rectangle's width; the text colour is back afterwards.
  const ConsoleGrid& g = Grid();
  EXPECT_EQ(g.RowText(4).substr(9, 21), "dois" + std::string(17, ' '));
  EXPECT_EQ(g.RowText(5).substr(9, 21), "tres" + std::string(17, ' '));
  EXPECT_EQ(g.Attr(9, 4) & 0x0F, 7);
  EXPECT_EQ(g.Attr(9, 5) & 0x0F, 14);
  EXPECT_EQ(g.attribute() & 0x0F, 7);
  ResetConsoleMenuForTest();
  r = RunScriptText(std::string(kMenu) + "seja $p 1\nmenu executa $p $k $t\ntela @1,1\nmenu termina\n", "\r");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(Grid().RowText(4).substr(9, 21), std::string(21, ' '));
  EXPECT_EQ(Grid().RowText(5).substr(9, 21), std::string(21, ' '));
  EXPECT_EQ(WhereX(), 10);
  EXPECT_EQ(WhereY(), 5);
}

TEST(MenuCommands, OperandsAndBounds) {
  ResetConsoleMenuForTest();
  EXPECT_EQ(FailLine("menu adiciona \"x\"\n"), 1);  // no menu yet
  EXPECT_EQ(FailLine("menu cria 1 2 3\n"), 1);
  EXPECT_EQ(FailLine("menu cria 1 2 3 x\n"), 1);
  EXPECT_EQ(FailLine("menu cria 5 5 4 9\n"), 1);  // an empty rectangle
  EXPECT_EQ(FailLine("menu cria 1 1 10 2 x\n"), 1);
  EXPECT_EQ(FailLine("menu cria 1 1 10 2\nmenu adiciona \"a\" \"b\"\n"), 2);
  EXPECT_EQ(FailLine("menu cria 1 1 10 2\nmenu executa $p $k\n"), 2);
  EXPECT_EQ(FailLine("menu termina x\n"), 1);
  EXPECT_EQ(FailLine("menu\n"), 1);
  EXPECT_EQ(FailLine("menu cria 1 1 10 2\nmenu termina\nmenu termina\n"), 0);
  // The items are bounded: one more fails the line and says why.
  ResetConsoleMenuForTest();
  ScriptResult r = RunScriptText(
      "menu cria 1 1 10 2\nseja $i 0\nenquanto $i < 10001\n  menu adiciona $i\n  soma $i 1\nfim enquanto\n",
      "\r");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_NE(r.console.find("Menu cheio (máximo 10000 itens)"), std::string::npos) << r.console;
}

}  // namespace
}  // namespace kal::test
