// MENU as scripts where a test looks at the screen, the reset menu state or
// prepared recordings. The keys, the operand rules and the bound on items
// are tried in tests/scripts/menu/.
#include <gtest/gtest.h>

#include <string>

#include "0_base/console_grid.h"
#include "6_console/console.h"
#include "6_console/console_menu.h"
#include "6_console/console_state.h"
#include "6_console/screen_review.h"
#include "0_base/wave_format.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"
#include "tests/support/fresh_run.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

const std::string kDown = "\x1b[B";

// The console without a menu, as a fresh one starts: for a second run in
// one case.
void ForgetMenu() { Context().console.menu = MenuState(); }

const char kMenu[] =
    "menu cria 10 5 30 6\n"
    "menu adiciona \"um\"\n"
    "menu adiciona \"dois\"\n"
    "menu adiciona \"tres\"\n";

// Runs the menu from position 1 and writes what EXECUTA gave back.
const char kMenuRun[] = "seja $p 1\nmenu executa $p $k $t\nescreve \"[\" $p \"|\" $k \"|\" $t \"]\"\n";

std::string Said(const ScriptResult& r) {
  std::string s;
  for (auto& l : r.speech)
    if (l.rfind("say [", 0) != 0 && l != "say Fim do script") s += l + "\n";
  return s;
}

bool Shows(const ScriptResult& r, const std::string& text) {
  return r.console.find(text) != std::string::npos;
}

TEST(MenuCommands, DrawingScrollsAndTerminaBlanks) {
  ScriptResult r = RunScriptText(std::string(kMenu) + "cor 7\nseja $p 1\nmenu executa $p $k $t\n",
                                 kDown + kDown + "\r");
  EXPECT_EQ(r.outcome, 0) << r.console;
  // Two rows show items 2 and 3 (scrolled), the current one in yellow, each
  // padded to the rectangle's width; the text colour is back afterwards.
  const ConsoleGrid& g = GridOf(Context().console);
  EXPECT_EQ(g.RowText(4).substr(9, 21), "dois" + std::string(17, ' '));
  EXPECT_EQ(g.RowText(5).substr(9, 21), "tres" + std::string(17, ' '));
  EXPECT_EQ(g.Attr(9, 4) & 0x0F, 7);
  EXPECT_EQ(g.Attr(9, 5) & 0x0F, 14);
  EXPECT_EQ(g.attribute() & 0x0F, 7);
  ForgetMenu();
  r = RunScriptText(std::string(kMenu) + "seja $p 1\nmenu executa $p $k $t\ntela @1,1\nmenu termina\n", "\r");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(GridOf(Context().console).RowText(4).substr(9, 21), std::string(21, ' '));
  EXPECT_EQ(GridOf(Context().console).RowText(5).substr(9, 21), std::string(21, ' '));
  EXPECT_EQ(WhereX(test::Context().console), 10);
  EXPECT_EQ(WhereY(test::Context().console), 5);
}

// The menu leaves the cursor at the left edge of the chosen item's row, so
// that what the script writes next starts there (not past the box's last
// row); also when the position ended after the last item.
TEST(MenuCommands, WritingAfterTheMenuStartsOnTheChosenRow) {
  std::string run = std::string(kMenu) + "seja $p 1\nmenu executa $p $k $t\nescreve mudo \"X\"&\n";
  ScriptResult r = RunScriptText(run, kDown + "\r");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(GridOf(Context().console).RowText(5).substr(9, 5), "Xois ");  // row 6: dois, the current item
  EXPECT_EQ(GridOf(Context().console).RowText(4).substr(9, 3), "um ");
  EXPECT_EQ(GridOf(Context().console).RowText(6).substr(9, 3), "   ");
  ForgetMenu();
  r = RunScriptText(run, kDown + kDown + kDown + "\r");  // past the last item: the row after it
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(GridOf(Context().console).RowText(4).substr(9, 5), "tres ");
  EXPECT_EQ(GridOf(Context().console).RowText(5).substr(9, 5), "X    ");
}

// A menu is made by a run and kept by the console; each case starts with a
// fresh console and so without one. The other operand rules are files under
// tests/scripts/menu/.
TEST(MenuCommands, AddingWithoutAMenuFails) {
  EXPECT_EQ(FailLine("menu adiciona \"x\"\n"), 1);
}

// With the option to tell options by their recordings on (ECOAROPCAO, on by
// default), an item that has a recording in the application's sounds folder
// is played instead of spoken.
TEST(MenuCommands, ItemWithARecordingIsPlayed) {
  for (const char* option : {"Sim", "Nao"}) {
    TalvenSandbox box;
    WriteFileBytes(box.config_home() + "/Talven/Talven.ini",
                   std::string("[KALDORIN]\nDIRKALDORIN=C:\\sons\n[TALVEN]\nECOAROPCAO=") + option + "\n");
    WriteFileBytes(box.drives() + "/c/sons/dois.wav", MakeWaveImage(std::string(100, '\x80'), 11025, 1, 8));
    FreshRun own(MakeFakeEventLoop());  // the recording option is read at the facade's start
    InterpreterState in;
    in.context = &own.context;
    ScriptResult r = RunScriptIn(in, std::string(kMenu) + kMenuRun, kDown + "\r");
    EXPECT_EQ(r.outcome, 0) << r.console;
    EXPECT_TRUE(Shows(r, "[2|#13|dois]")) << r.console;
    EXPECT_EQ(Said(r), std::string("say um\n") + (option[0] == 'S' ? "play dois\n" : "say dois\n")) << option;
  }
}

}  // namespace
}  // namespace kal::test
