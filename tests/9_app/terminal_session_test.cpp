// The program in a real terminal (tmux): whatever way it ends, the terminal
// is left in the mode it was found in.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

namespace fs = std::filesystem;

bool WaitFor(const std::function<bool()>& done, int seconds = 30) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

// One tmux server of its own running the program on a script in a private
// installation whose recorded voice is built first.
class TerminalSession : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string bin = KALDORIN_BINARY_DIR;
    if (std::system("tmux -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
    if (!fs::exists(bin + "/kaldorin") || !fs::exists(bin + "/build_diphones"))
      GTEST_SKIP() << "the program and its voice builder are not built";
    env_ = "XDG_CONFIG_HOME=" + dir_ / "config" + " TALVEN_DRIVES=" + dir_ / "drives" +
           " SDL_AUDIODRIVER=dummy";
    fs::create_directories(dir_ / "drives/c/ferlan/som/letras");
    std::string voice = env_ + " " + bin + "/build_diphones --install " + KALDORIN_SOURCE_DIR + "/data >/dev/null 2>&1";
    ASSERT_EQ(std::system(voice.c_str()), 0);
  }

  void TearDown() override { KillServer(); }

  // Each session gets a server (socket) of its own: a new server on the
  // socket of one just killed may fail to start.
  std::string Socket() const { return dir_ / ("sock" + std::to_string(session_)); }
  void KillServer() { std::system(("tmux -S " + Socket() + " kill-server 2>/dev/null").c_str()); }

  // Runs the script in the terminal: modes before and after, exit code.
  void Start(const std::string& script, int cols = 100, int rows = 30) {
    ++session_;
    std::ofstream(dir_ / "t.kal") << script;
    std::ofstream(dir_ / "run.sh") << "cd " << dir_.path() << "\n"
                                   << "stty -g > " << dir_ / "before" << "\n"
                                   << "sh -c 'echo $$ > " << dir_ / "pid" << "; exec env " << env_ << " "
                                   << KALDORIN_BINARY_DIR << "/kaldorin --speech-log " << dir_ / "speech.log" << " "
                                   << dir_ / "t.kal" << "'\n"
                                   << "echo $? > " << dir_ / "rc.tmp" << "\n"
                                   << "mv " << dir_ / "rc.tmp" << " " << dir_ / "rc" << "\n"
                                   << "stty -g > " << dir_ / "after.tmp" << "\n"
                                   << "mv " << dir_ / "after.tmp" << " " << dir_ / "after" << "\n"
                                   << "sleep 60\n";
    std::string cmd = "tmux -S " + Socket() + " new-session -d -x " + std::to_string(cols) + " -y " +
                      std::to_string(rows) + " 'sh " + dir_ / "run.sh" + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }

  std::string Tmux(const std::string& args) {
    std::string cmd = "tmux -S " + Socket() + " " + args + " > " + dir_ / "out" + " 2>/dev/null";
    std::system(cmd.c_str());
    return ReadFileBytes(dir_ / "out");
  }

  bool ScreenShows(const std::string& text) {
    return WaitFor([&] { return Tmux("capture-pane -p").find(text) != std::string::npos; });
  }

  // Waits for the end; the terminal's mode must be the one it started in.
  void ExpectRestored(const std::string& rc) {
    ASSERT_TRUE(WaitFor([&] { return fs::exists(dir_ / "after"); })) << Tmux("capture-pane -p");
    if (rc.empty()) {
      EXPECT_NE(ReadFileBytes(dir_ / "rc"), "0\n");  // a crash: the code is the sanitizer's or the signal's
    } else {
      EXPECT_EQ(ReadFileBytes(dir_ / "rc"), rc + "\n");
    }
    std::string before = ReadFileBytes(dir_ / "before");
    EXPECT_FALSE(before.empty());
    EXPECT_EQ(ReadFileBytes(dir_ / "after"), before);
  }

  TempFolder dir_;
  std::string env_;
  int session_ = 0;
};

TEST_F(TerminalSession, NormalEndRestoresTheModeAndSaysTheProgramEnded) {
  Start("escreve \"ok\"\n");
  ExpectRestored("0");
  EXPECT_EQ(Tmux("display -p '#{pane_title}'"), "Programa terminado\n");
}

TEST_F(TerminalSession, ErrorWaitsForEnterInRawModeThenRestores) {
  Start("xyz\n");
  ASSERT_TRUE(ScreenShows("XYZ"));
  Tmux("send-keys Enter");
  ExpectRestored("1");
}

TEST_F(TerminalSession, TerminationSignalsAndCrashesRestoreTheMode) {
  for (const char* sig : {"TERM", "INT", "HUP", "SEGV"}) {
    SCOPED_TRACE(sig);
    std::filesystem::remove(dir_ / "after");
    KillServer();
    Start("xyz\n");
    ASSERT_TRUE(ScreenShows("XYZ"));
    std::system(("kill -" + std::string(sig) + " $(cat " + dir_ / "pid" + ")").c_str());
    std::string s = sig;
    std::string code = s == "TERM" ? "143" : s == "INT" ? "130" : s == "HUP" ? "129" : "";
    ExpectRestored(code);
  }
}

// A script loop that never waits for anything: the break key and an
// interrupt from outside both end it at once, with the terminal restored.
// The break key says so before the end; a signal ends silently.
TEST_F(TerminalSession, BreakKeyAndInterruptEndATightLoopAtOnce) {
  const std::string loop = "escreve \"girando\"\nseja c 0\nenquanto 1 = 1\n  soma c 1\nfim enquanto\n";
  for (bool by_key : {true, false}) {
    SCOPED_TRACE(by_key ? "Ctrl+]" : "SIGINT");
    std::filesystem::remove(dir_ / "after");
    std::filesystem::remove(dir_ / "speech.log");
    KillServer();
    Start(loop);
    ASSERT_TRUE(ScreenShows("girando"));
    auto t0 = std::chrono::steady_clock::now();
    if (by_key) {
      Tmux("send-keys C-]");
    } else {
      std::system(("kill -INT $(cat " + dir_ / "pid" + ")").c_str());
    }
    ASSERT_TRUE(WaitFor([&] { return fs::exists(dir_ / "rc"); }));
    // The alarm that stands in for a program deaf to signals waits 3 s.
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(2500));
    ExpectRestored("130");
    std::filesystem::remove(dir_ / "rc");
    std::string speech = ReadFileBytes(dir_ / "speech.log");
    if (by_key) {
      EXPECT_EQ(speech, "say girando\nsay Interrompido\n");
    } else {
      EXPECT_EQ(speech, "say girando\n");
    }
  }
}

// The break key in a program the script waits for (the report viewer, a
// kaldorin of its own that holds the terminal meanwhile) ends that program
// and the script that waited for it: the whole program ends with 130.
TEST_F(TerminalSession, BreakKeyInAWaitedViewerEndsTheScriptToo) {
  std::ofstream(dir_ / "relatorio.txt") << "1. Rádio Um\nLugar\nhttp://a.example/um.mp3\n";
  Start("executa \"" + std::string(KALDORIN_BINARY_DIR) + "/kaldorin --view " + dir_ / "relatorio.txt" +
        "\"\nescreve \"depois do leitor\"\n");
  ASSERT_TRUE(ScreenShows("Rádio Um"));
  Tmux("send-keys C-]");
  ExpectRestored("130");
  std::string speech = ReadFileBytes(dir_ / "speech.log");
  EXPECT_EQ(speech.find("depois do leitor"), std::string::npos);
  // The viewer said it was interrupted; the script that waited for it does
  // not say it again.
  size_t said = speech.find("say Interrompido\n");
  EXPECT_NE(said, std::string::npos) << speech;
  EXPECT_EQ(speech.find("say Interrompido\n", said + 1), std::string::npos) << speech;
}

// The last screen stays on the normal screen as plain text.
TEST_F(TerminalSession, FinalScreenIsLeftOnTheNormalScreen) {
  Start("escreve \"primeira linha\"\nescreve \"segunda: ação\"\n");
  ExpectRestored("0");
  std::string screen = Tmux("capture-pane -p");
  EXPECT_EQ(screen.rfind("primeira linha\nsegunda: ação\n", 0), 0u) << screen;
}

// A terminal of 60x20: the notice is written once, and the view follows the
// cursor down to the last rows of the grid.
TEST_F(TerminalSession, SmallTerminalFollowsTheCursorAndSaysSoOnce) {
  std::string script;
  for (int i = 1; i <= 30; ++i) script += "escreve \"linha " + std::to_string(i) + "\"\n";
  script += "escreve \"fim\"\nle tecla $t\n";
  Start(script, 60, 20);
  ASSERT_TRUE(ScreenShows("fim"));
  std::string screen = Tmux("capture-pane -p");
  EXPECT_NE(screen.find("linha 30"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("linha 10\n"), std::string::npos) << screen;
  // Said while the program waits for the key.
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(dir_ / "speech.log").find("say Terminal menor") != std::string::npos; }));
  Tmux("send-keys Enter");
  ExpectRestored("0");
  std::string speech = ReadFileBytes(dir_ / "speech.log");
  size_t at = speech.find("Terminal menor que 80 por 25");
  EXPECT_NE(at, std::string::npos) << speech;
  EXPECT_EQ(speech.find("Terminal menor", at + 1), std::string::npos) << speech;
}

// At 50 columns the notice is written in whole words within them; it does
// not hold up the start but is said at the first wait for a key; a program
// the script starts on the same terminal (the viewer) does not say it again.
TEST_F(TerminalSession, SmallTerminalNoticeIsWrappedSaidWhileWaitingAndNotRepeated) {
  std::ofstream(dir_ / "v.txt") << "texto do leitor\n";
  env_ += " PATH=" + std::string(KALDORIN_BINARY_DIR) + ":/usr/bin:/bin";
  auto t0 = std::chrono::steady_clock::now();
  Start("escreve \"fim\"\nle tecla $t\nexecuta \"kaldorin --view v.txt\"\nle tecla $t\n", 50, 20);
  ASSERT_TRUE(ScreenShows("fim"));
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(4));
  std::string screen = Tmux("capture-pane -p");
  EXPECT_NE(screen.find("Terminal menor que 80 por 25: a tela acompanha o\ncursor.\n"), std::string::npos) << screen;
  auto said = [&](const std::string& text) {
    return WaitFor([&] { return ReadFileBytes(dir_ / "speech.log").find(text) != std::string::npos; }, 10);
  };
  EXPECT_TRUE(said("say Terminal menor que 80 por 25: a tela acompanha o cursor.\n")) << ReadFileBytes(dir_ / "speech.log");
  Tmux("send-keys Enter");
  ASSERT_TRUE(ScreenShows("texto do leitor"));
  Tmux("send-keys Escape");
  ASSERT_TRUE(ScreenShows("fim"));
  Tmux("send-keys Enter");
  ExpectRestored("0");
  std::string speech = ReadFileBytes(dir_ / "speech.log");
  size_t at = speech.find("Terminal menor");
  EXPECT_EQ(speech.find("Terminal menor", at + 1), std::string::npos) << speech;
}

// Screen review in a real terminal: entered from the field editor with
// Ctrl+R and with Ctrl+Alt+F9 as the terminal sends it, it reads a row.
TEST_F(TerminalSession, ScreenReviewReadsARowFromTheFieldEditor) {
  Start("escreve mudo \"alfa beta gama\"\nle $a\nescreve mudo \"saiu\"\n");
  ASSERT_TRUE(ScreenShows("alfa beta gama"));
  auto said = [&](const std::string& text) {
    return WaitFor([&] { return ReadFileBytes(dir_ / "speech.log").find(text) != std::string::npos; }, 10);
  };
  auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); };
  Tmux("send-keys C-r");
  pause();
  Tmux("send-keys PPage");
  ASSERT_TRUE(said("say alfa\nsay beta\nsay gama\nclick\n")) << ReadFileBytes(dir_ / "speech.log");
  Tmux("send-keys Escape");
  pause();
  Tmux("send-keys C-M-F9");
  pause();
  Tmux("send-keys C-k");
  ASSERT_TRUE(said("say 2 1\n")) << ReadFileBytes(dir_ / "speech.log");
  Tmux("send-keys Escape");
  pause();
  Tmux("send-keys Enter");
  ASSERT_TRUE(ScreenShows("saiu"));
  ExpectRestored("0");
}

}  // namespace
}  // namespace kal::test
