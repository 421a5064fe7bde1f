// The window automation commands against the recording desktop: the order
// of key and pointer events, the pauses (virtual time), the window search,
// and what every command does without a desktop.
#include <gtest/gtest.h>

#include "1_platform/event_loop.h"
#include "1_platform/fake/recording_desktop.h"
#include "6_console/clipboard.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/script_harness.h"

namespace kal::test {
namespace {

std::string Events(const std::vector<std::string>& events) {
  std::string out;
  for (const auto& e : events) out += e + "\n";
  return out;
}

class AutomationCommands : public ::testing::Test {
 protected:
  AutomationCommands() {
    auto d = std::make_unique<RecordingDesktop>();
    desktop_ = d.get();
    SetDesktopAutomation(Context().platform, std::move(d));
    SetClipboardBackend(test::Context().console, nullptr);
  }
  ~AutomationCommands() override {
    SetConsoleWindowId(Context().platform, 0);
    SetClipboardBackend(test::Context().console, nullptr);
  }
  ScriptResult Run(const std::string& script) { return RunScriptText(script, "\r"); }
  // Virtual milliseconds the script takes beyond an empty run (the runs of
  // a case share its loop's clock).
  int64_t Elapsed(const std::string& script) {
    int64_t start = test::TestLoop().NowMs();
    Run("escreve\n");
    int64_t empty = test::TestLoop().NowMs() - start;
    desktop_->events.clear();
    start = test::TestLoop().NowMs();
    Run(script);
    return test::TestLoop().NowMs() - start - empty;
  }
  RecordingDesktop* desktop_;
};

TEST_F(AutomationCommands, TypingPressesEachCharacterThenEnterWithPauses) {
  EXPECT_EQ(Elapsed("digita \"aB\"\n"), 300);
  EXPECT_EQ(Events(desktop_->events),
            "down 97\nup 97\n"
            "down 1016\ndown 98\nup 98\nup 1016\n"  // B: Shift with the b key
            "down 1013\nup 1013\n");                // Enter
  EXPECT_EQ(Elapsed("digita \"a\" &\n"), 100);
  EXPECT_EQ(Events(desktop_->events), "down 97\nup 97\n");
  EXPECT_EQ(Run("digita \"a\" \"b\"\n").outcome, 1);
  EXPECT_EQ(Run("digita\n").outcome, 1);
}

TEST_F(AutomationCommands, AccentedLettersTheKeyboardLacksGoAsAccentAndLetter) {
  desktop_->missing_characters = {0xE3};  // ã
  desktop_->events.clear();
  auto r = Run("digita \"a\xC3\xA7\xC3\xA3o\" &\n");  // ação
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(Events(desktop_->events),
            "down 97\nup 97\n"
            "down 231\nup 231\n"                // ç as itself
            "down 126\nup 126\ndown 97\nup 97\n"  // ã as ~ then a
            "down 111\nup 111\n");
  // Neither the letter nor its accent: a blank.
  desktop_->missing_characters = {0xE3, '~'};
  desktop_->events.clear();
  Run("digita \"\xC3\xA3\" &\n");
  EXPECT_EQ(Events(desktop_->events), "down 32\nup 32\n");
}

TEST_F(AutomationCommands, ControlBytesGoAsCtrlWithTheLetterAndPauseTwice) {
  // A control byte (here from a Base64 text) in the text: byte 1 is Ctrl+A.
  EXPECT_EQ(Elapsed("seja t \"AQ==\"\ndecodbase64 t\ndigita t &\n"), 200);
  EXPECT_EQ(Events(desktop_->events), "down 1017\ndown 97\nup 97\nup 1017\n");
}

TEST_F(AutomationCommands, KeyCombinationsPressModifiersInOrder) {
  EXPECT_EQ(Elapsed("aciona \"ctrl+shift+esc\"\n"), 100);
  EXPECT_EQ(Events(desktop_->events), "down 1016\ndown 1017\ndown 1027\nup 1027\nup 1016\nup 1017\n");
  Elapsed("aciona \"#65\"\n");
  EXPECT_EQ(Events(desktop_->events), "down 1065\nup 1065\n");
  Elapsed("aciona \"alt+f4\"\n");
  EXPECT_EQ(Events(desktop_->events), "down 1018\ndown 1115\nup 1115\nup 1018\n");
  EXPECT_EQ(Run("aciona \"shift+ctrl+a\"\n").outcome, 1);
  EXPECT_EQ(Run("aciona \"\"\n").outcome, 1);
  EXPECT_EQ(Run("aciona \"a\" \"b\"\n").outcome, 1);
}

TEST_F(AutomationCommands, OneCharacterPressesItsKeyWithoutModifiers) {
  EXPECT_EQ(Elapsed("aciona \"A\"\n"), 2);
  EXPECT_EQ(Events(desktop_->events), "down 97\nup 97\n");
  Elapsed("aciona \"a\"\n");
  EXPECT_EQ(Events(desktop_->events), "down 97\nup 97\n");
}

TEST_F(AutomationCommands, AKeyTheKeyboardLacksFailsSayingSo) {
  desktop_->missing_virtual_keys = {115};
  auto r = Run("aciona \"alt+f4\"\n");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_NE(r.console.find("Tecla não encontrada no teclado: alt+f4"), std::string::npos) << r.console;
}

TEST_F(AutomationCommands, ClicksAreRelativeToTheWindowInFrontUnlessTela) {
  desktop_->origin_x = 100;
  desktop_->origin_y = 50;
  auto r = Run("clica 10,20\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_EQ(Events(desktop_->events), "move 110 70\nbutton down\nbutton up\n");
  desktop_->events.clear();
  Run("clica duplo tela 5 , 6\n");
  EXPECT_EQ(Events(desktop_->events), "move 5 6\nbutton down\nbutton up\nbutton down\nbutton up\n");
  desktop_->events.clear();
  Run("clica nulo (3+4) 8\n");
  EXPECT_EQ(Events(desktop_->events), "move 107 58\n");
  EXPECT_EQ(Run("clica 10\n").outcome, 1);
  EXPECT_EQ(Run("clica \"x\" 2\n").outcome, 1);
  // Something after y: the click has happened, the line fails.
  desktop_->events.clear();
  EXPECT_EQ(Run("clica 1 2 3\n").outcome, 1);
  EXPECT_EQ(desktop_->events.size(), 3u);
}

TEST_F(AutomationCommands, MousePositionReadsRelativeToTheSameOrigin) {
  desktop_->origin_x = 100;
  desktop_->origin_y = 50;
  EXPECT_EQ(Out("clica nulo tela 130 95\nle mouse x y\nle rato tela $a $b\nescreve x \",\" y \" \" $a \",\" $b\n"),
            "30,45 130,95\n");
  EXPECT_EQ(Run("le mouse x\n").outcome, 1);
  EXPECT_EQ(Run("le mouse x y z\n").outcome, 1);
}

TEST_F(AutomationCommands, WindowsAreFoundByPatternAndMissesSetTheStatus) {
  desktop_->windows = {{7, "Documento - Editor", false}, {9, "Editor de imagens", true}};
  auto r = Run("janela minimiza \"*editor\"\ncheca s\nescreve s\n");
  EXPECT_EQ(r.console, "0\n");
  EXPECT_EQ(Events(desktop_->events), "minimize 9\n");
  desktop_->events.clear();
  EXPECT_EQ(Out("janela fecha \"EDITOR*\"\ncheca s\nescreve s\n"), "0\n");
  EXPECT_EQ(Events(desktop_->events), "close 7\n");
  desktop_->events.clear();
  EXPECT_EQ(Out("janela maximiza \"nada\"\ncheca s\nescreve s\n"), "1\n");
  EXPECT_EQ(Out("janela qualquer \"nada\"\ncheca s\nescreve s\n"), "1\n");
  EXPECT_TRUE(desktop_->events.empty());
  EXPECT_EQ(Run("janela salta \"editor\"\n").outcome, 1);  // a match with an unknown action
  EXPECT_EQ(Run("janela fecha\n").outcome, 1);
  Out("janela normal \"imagens\"\n");
  EXPECT_EQ(Events(desktop_->events), "restore 9\n");
}

TEST_F(AutomationCommands, CaptureReadsTitlesFocusAndTheField) {
  desktop_->active_title = "Janela da frente";
  EXPECT_EQ(Out("captura titulo a\ncaptura t\xC3\x8dtulo b\ncaptura ativa c\ncaptura foco d\ncaptura outra e\n"
                "escreve a \"|\" b \"|\" c \"|\" d \"|\" e \"|\"\n"),
            "Janela da frente|Janela da frente|Janela da frente|||\n");
  desktop_->console_active_ = true;
  EXPECT_EQ(Out("captura foco d\nescreve d\n"), "Janela da frente\n");
  desktop_->active_title = std::string(300, 't');
  EXPECT_EQ(Out("captura titulo a\nescreve a\n"), std::string(255, 't') + "\n");
  EXPECT_EQ(Run("captura titulo\n").outcome, 1);

  CopyToClipboard(test::Context().console, std::string(300, 'c'));
  desktop_->events.clear();
  EXPECT_EQ(Out("captura campo f\nescreve f\n"), std::string(255, 'c') + "\n");
  EXPECT_EQ(Events(desktop_->events),
            "down 1036\nup 1036\n"
            "down 1016\ndown 1035\nup 1035\nup 1016\n"
            "down 1017\ndown 1045\nup 1045\nup 1017\n");
}

TEST_F(AutomationCommands, TransferMovesTextBothWaysUpToAMillionCharacters) {
  EXPECT_EQ(Out("seja a \"texto \xC3\xA9\"\ntransfere de a\ntransfere para $b\nescreve $b\n"), "texto é\n");
  // Longer texts are cut at a million characters both ways.
  CopyToClipboard(test::Context().console, std::string(1000005, 'x'));
  EXPECT_EQ(Run("transfere para c\ntransfere de c\n").outcome, 0);
  EXPECT_EQ(PasteFromClipboard(test::Context().console, 2000000), std::string(1000000, 'x'));
  EXPECT_EQ(Run("transfere a\n").outcome, 1);
  EXPECT_EQ(Run("transfere de\n").outcome, 1);
  EXPECT_EQ(Run("transfere de a b\n").outcome, 1);
}

TEST_F(AutomationCommands, HandleGivesTheConsolesWindow) {
  desktop_->console_id_ = 81788929;
  EXPECT_EQ(Out("handle h\nescreve h\n"), "81788929\n");
  SetConsoleWindowId(Context().platform, 12);
  EXPECT_EQ(Out("handle h\nescreve h\n"), "12\n");
  EXPECT_EQ(Run("handle\n").outcome, 1);
}

TEST_F(AutomationCommands, WithoutADesktopEveryCommandSaysWhyAndFails) {
  desktop_->availability_ = DesktopAvailability::kNoDisplay;
  for (const char* line : {"digita \"a\"", "aciona \"esc\"", "aciona \"a\"", "clica 1 2", "le mouse x y",
                           "captura titulo t", "captura campo t", "handle h", "janela fecha \"x\""}) {
    auto r = Run(std::string(line) + "\n");
    EXPECT_EQ(r.outcome, 1) << line;
    EXPECT_NE(r.console.find("Automação indisponível: não há tela gráfica"), std::string::npos)
        << line << ": " << r.console;
    EXPECT_NE(Joined(r.speech).find("Automação indisponível"), std::string::npos) << line;
  }
  EXPECT_TRUE(desktop_->events.empty());
  desktop_->availability_ = DesktopAvailability::kWaylandOnly;
  auto r = Run("digita \"a\"\n");
  EXPECT_NE(r.console.find("sessão Wayland sem servidor X"), std::string::npos) << r.console;
  // The clipboard stays the console's own.
  EXPECT_EQ(Out("seja a \"x\"\ntransfere de a\ntransfere para b\nescreve b\n"), "x\n");
}

}  // namespace
}  // namespace kal::test
