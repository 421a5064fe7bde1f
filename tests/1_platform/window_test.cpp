// The console as a desktop window, under a private Xvfb: what is painted is
// read back pixel by pixel, and keys and mouse buttons go in through XTest,
// pressed and released as a person would.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "2_config/config_state.h"
#include "0_base/bmp_image.h"
#include "0_base/console_grid.h"
#include "1_platform/console_frontend.h"
#include "1_platform/event_loop.h"
#include "1_platform/pump.h"
#include "1_platform/stop_request.h"
#include "1_platform/unavailable_backends.h"
#include "2_config/console_settings.h"
#include "6_console/console.h"
#include "6_console/console_picture.h"
#include "tests/support/picture_files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/xvfb_display.h"
#include "tests/support/memory_console.h"
#include "6_console/console_state.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

// The font and desktop-bus libraries keep caches for the life of the
// process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\nleak:libdbus-1\n"; }

namespace kal {
namespace {

using test::Pixel;
using test::XvfbDisplay;

constexpr int kCellW = 10, kCellH = 20;

XvfbDisplay* g_x = nullptr;

class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_x = new XvfbDisplay;
    if (!g_x->Start()) {
      delete g_x;
      g_x = nullptr;
    }
  }
  static void TearDownTestSuite() {
    delete g_x;
    g_x = nullptr;
  }

  void SetUp() override {
    if (!g_x) GTEST_SKIP() << "Xvfb is not available";
    test::UseRealLoop();
    display_ = std::make_unique<test::ScopedEnv>("DISPLAY", g_x->name());
    settings_.colour_table = "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15";
    test::Context().config.console_override = &settings_;
    test::Context().config.magnifier_override = nullptr;
    test::UseMemoryConsole("", &out_);
  }

  void TearDown() override {
    SetConsoleFrontEnd(test::Context().console, nullptr);
    test::Context().config.console_override = nullptr;
    test::Context().config.magnifier_override = nullptr;
    ClearStopRequest(test::Context().platform);
  }

  // The window front end with cells of 10 x 20 pixels.
  void Open(const std::string& title = "janela de teste", int weight = 0) {
    WindowOptions o;
    o.face = "DejaVu Sans Mono";
    o.weight = weight;
    o.cell_width = kCellW;
    o.cell_height = kCellH;
    o.title = title;
    auto front = MakeWindowFrontEnd(test::Context().platform, o);
    ASSERT_EQ(StandInReason(*front), "");
    SetConsoleFrontEnd(test::Context().console, std::move(front));
    InitConsole(test::Context().console);
    window_ = FrontEndOf(test::Context().console)->WindowId();
    ASSERT_NE(window_, 0u);
    g_x->Focus(window_);
    Settle();
  }

  // Lets the window take its events for a moment.
  void Settle(int ms = 60) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) PumpMessages(test::Context().platform), test::TestLoop().Wait(5);
  }

  void Shot() {
    g_x->Sync();
    ASSERT_TRUE(g_x->Capture(window_));
  }

  Pixel CellCentre(int column, int row) { return g_x->At(column * kCellW + kCellW / 2, row * kCellH + 2); }

  // The next key bytes the console queues, waiting at most a second.
  std::string Keys(size_t count) {
    std::string got;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (got.size() < count && std::chrono::steady_clock::now() < end) {
      if (KeyPressed(test::Context().platform)) {
        got.push_back(static_cast<char>(ReadKey(test::Context().platform)));
      } else {
        test::TestLoop().Wait(5);
      }
    }
    return got;
  }

  // Pixels of a rectangle brighter than half.
  int Ink(int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) n += g_x->At(x, y).r > 128;
    return n;
  }

  // Rows of a rectangle that hold a pixel of the colour.
  int InkRows(int x0, int y0, int w, int h, Pixel colour) {
    int first = -1, last = -1;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x)
        if (g_x->At(x, y) == colour) {
          if (first < 0) first = y;
          last = y;
        }
    return first < 0 ? 0 : last - first + 1;
  }

  ConsoleSettings settings_;
  std::unique_ptr<test::ScopedEnv> display_;
  std::string out_;
  uint64_t window_ = 0;
};

TEST_F(WindowTest, CellsArePaintedInTheColoursOfTheTable) {
  settings_.colour_table = "4,1,";  // colour 0 paints red
  Open();
  TextBackground(test::Context().console, 1);
  GotoXY(test::Context().console, 3, 2);
  ConsoleWrite(test::Context().console, "  ");
  TextBackground(test::Context().console, 0);
  TextColor(test::Context().console, 14);
  GotoXY(test::Context().console, 10, 5);
  ConsoleWrite(test::Context().console, "MM");
  Shot();
  EXPECT_EQ(CellCentre(2, 1), (Pixel{0, 0, 255}));       // blue background
  EXPECT_EQ(CellCentre(0, 0), (Pixel{255, 0, 0}));       // colour 0 is red
  EXPECT_GT(InkRows(9 * kCellW, 4 * kCellH, kCellW, kCellH, Pixel{255, 255, 0}), 8);  // yellow letters
  EXPECT_EQ(g_x->At(79 * kCellW + 5, 24 * kCellH + 10), (Pixel{255, 0, 0}));
}

TEST_F(WindowTest, CaretShowsWhileWaitingForAKeyAndGoesAfter) {
  Open();
  GotoXY(test::Context().console, 5, 3);
  auto caret_rows = [&] {
    int rows = 0;
    for (int y = 2 * kCellH; y < 3 * kCellH; ++y) {
      bool full = true;
      for (int x = 4 * kCellW; x < 5 * kCellW; ++x) full = full && g_x->At(x, y) == Pixel{255, 255, 255};
      rows += full;
    }
    return rows;
  };
  FrontEndOf(test::Context().console)->ShowCaret(true);
  Shot();
  EXPECT_EQ(caret_rows(), 2);
  FrontEndOf(test::Context().console)->ShowCaret(false);
  Shot();
  EXPECT_EQ(caret_rows(), 0);
}

TEST_F(WindowTest, MagnifiedStripIsDrawnEnlargedOverTheTopAndGoesAway) {
  Open();
  Pixel yellow{255, 255, 0}, brown{68, 34, 34};
  GotoXY(test::Context().console, 1, 5);  // the cursor below the strip
  GridOf(test::Context().console).SetTopOverlay("HH", std::vector<uint8_t>(80, 0x6E), 3);
  RefreshConsole(test::Context().console);
  Shot();
  // Three rows high, 80 / 3 = 26 enlarged cells wide.
  EXPECT_EQ(g_x->At(2 * 3 * kCellW + 15, 3 * kCellH - 1), brown);
  EXPECT_EQ(g_x->At(26 * 3 * kCellW - 1, 10), brown);
  EXPECT_NE(g_x->At(26 * 3 * kCellW + 1, 10), brown);
  int tall = InkRows(0, 0, 3 * kCellW, 3 * kCellH, yellow);
  EXPECT_GT(tall, kCellH + 10) << "the letter is not enlarged";
  GridOf(test::Context().console).ClearTopOverlay();
  RefreshConsole(test::Context().console);
  Shot();
  EXPECT_EQ(InkRows(0, 0, 3 * kCellW, 3 * kCellH, yellow), 0);
  EXPECT_EQ(g_x->At(2 * 3 * kCellW + 15, 3 * kCellH - 1), (Pixel{0, 0, 0}));
}

// The strip never hides the line being typed or the question above it:
// with either on a row it would cover, it is drawn over the bottom rows.
TEST_F(WindowTest, MagnifiedStripMovesToTheBottomWhileTheCursorIsUnderIt) {
  Open();
  Pixel brown{68, 34, 34}, black{0, 0, 0};
  GotoXY(test::Context().console, 1, 3);
  ConsoleWrite(test::Context().console, "Busca:\r\n");  // the question on the third row, the answer below it
  GridOf(test::Context().console).SetTopOverlay("HH", std::vector<uint8_t>(80, 0x6E), 3);
  RefreshConsole(test::Context().console);
  Shot();
  EXPECT_EQ(g_x->At(2 * 3 * kCellW + 15, 25 * kCellH - 1), brown);
  EXPECT_EQ(g_x->At(2 * 3 * kCellW + 15, 22 * kCellH), brown);
  EXPECT_EQ(g_x->At(2 * 3 * kCellW + 15, 22 * kCellH - 1), black);
  EXPECT_GT(Ink(0, 2 * kCellH, 6 * kCellW, kCellH), 20) << "the question is hidden";
  EXPECT_EQ(g_x->At(2 * 3 * kCellW + 15, 3 * kCellH - 1), black);
  // The cursor moves down, out from under the top rows with the row above
  // it: the strip goes back.
  GotoXY(test::Context().console, 1, 5);
  RefreshConsole(test::Context().console);
  Shot();
  EXPECT_EQ(g_x->At(2 * 3 * kCellW + 15, 3 * kCellH - 1), brown);
  EXPECT_EQ(g_x->At(2 * 3 * kCellW + 15, 25 * kCellH - 1), black);
  GridOf(test::Context().console).ClearTopOverlay();
  RefreshConsole(test::Context().console);
}

// A weight of 700 draws the cells and the strip in the face's bold style.
TEST_F(WindowTest, WeightOfSevenHundredDrawsBold) {
  auto ink_of = [&](int weight) {
    test::UseMemoryConsole("", &out_);
    Open("peso", weight);
    GotoXY(test::Context().console, 1, 5);
    ConsoleWrite(test::Context().console, "Busca MMMM");
    GridOf(test::Context().console).SetTopOverlay("MMMM", std::vector<uint8_t>(80, 0x6F), 2);
    RefreshConsole(test::Context().console);
    Shot();
    int cells = Ink(0, 4 * kCellH, 10 * kCellW, kCellH);
    int strip = Ink(0, 0, 4 * 2 * kCellW, 2 * kCellH);
    GridOf(test::Context().console).ClearTopOverlay();
    SetConsoleFrontEnd(test::Context().console, nullptr);
    return std::make_pair(cells, strip);
  };
  auto regular = ink_of(0);
  auto bold = ink_of(700);
  // Measured: about 1.7 times the bright pixels in the cells and 1.25 in
  // the strip (whose larger letters are mostly stroke either way).
  EXPECT_GT(bold.first, regular.first * 6 / 5);
  EXPECT_GT(bold.second, regular.second * 6 / 5);
}

TEST_F(WindowTest, ResizingTheWindowResizesTheCells) {
  Open();
  TextBackground(test::Context().console, 1);
  GotoXY(test::Context().console, 80, 25);
  ConsoleWrite(test::Context().console, " ");
  g_x->Resize(window_, 80 * 12, 25 * 24);
  Settle(200);
  Shot();
  ASSERT_EQ(g_x->width(), 80 * 12);
  EXPECT_EQ(g_x->At(79 * 12 + 6, 24 * 24 + 12), (Pixel{0, 0, 255}));
  EXPECT_EQ(g_x->At(79 * 12 - 3, 24 * 24 + 12), (Pixel{0, 0, 0}));
}

TEST_F(WindowTest, KeysArriveWithTheTerminalsCodes) {
  Open();
  g_x->Tap("a");
  g_x->Tap("F1");
  g_x->Key("Control_L", true);
  g_x->Tap("Left");
  g_x->Key("Control_L", false);
  g_x->Key("Alt_L", true);
  g_x->Tap("x");
  g_x->Key("Alt_L", false);
  g_x->Tap("Escape");
  g_x->Tap("Return");
  g_x->Key("Shift_L", true);
  g_x->Tap("Insert");
  g_x->Key("Shift_L", false);
  EXPECT_EQ(Keys(11), std::string("a\0\x3b\0\x73\0\x2d\x1b\x0d\0\xfe", 11));
}

TEST_F(WindowTest, MouseButtonsAndWheelAreKeys) {
  Open();
  g_x->Button(1, true);
  g_x->Button(1, false);
  g_x->Button(3, true);
  g_x->Button(3, false);
  g_x->Button(2, true);
  g_x->Button(2, false);
  g_x->Button(4, true);
  g_x->Button(4, false);
  g_x->Button(5, true);
  g_x->Button(5, false);
  EXPECT_EQ(Keys(8), std::string("\x0d\x1b\0\x43\0\x48\0\x50", 8));
}

// A chord: every key down, then every key up, a few milliseconds apart as
// a hand makes them (a release and a press of the same key within 2 ms
// are taken for the keyboard's own repeat).
void Chord(std::initializer_list<const char*> keys) {
  auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(4)); };
  for (const char* k : keys) g_x->Key(k, true), pause();
  for (const char* k : keys) g_x->Key(k, false), pause();
}

TEST_F(WindowTest, ChordKeyboardModeOneTypesTheChordsCharacters) {
  Open();
  SetBrailleKeyboardMode(test::Context().console, 1);
  Chord({"f", "d"});           // dots 1-2: b
  Chord({"f"});                // a
  Chord({"space", "f", "d"});  // space + b: Ctrl+B
  Chord({"space"});
  EXPECT_EQ(Keys(4), std::string("ba\x02 ", 4));
  SetBrailleKeyboardMode(test::Context().console, 0);
  g_x->Tap("f");
  EXPECT_EQ(Keys(1), "f");
}

TEST_F(WindowTest, ChordKeyboardModeTwoHasNumberAndCapitalSigns) {
  Open();
  SetBrailleKeyboardMode(test::Context().console, 2);
  Chord({"s", "j", "k", "l"});  // number sign
  Chord({"f"});                 // 1
  Chord({"f", "d"});            // 2
  Chord({"k"});                 // dot 5 (~) leaves number mode
  Chord({"f"});                 // a
  Chord({"j", "l"});            // capital sign
  Chord({"f"});                 // A
  EXPECT_EQ(Keys(5), "12~aA");
}

TEST_F(WindowTest, PicturesAreDrawnAtTheirPixelPositionAndRemoved) {
  test::TalvenSandbox sandbox;
  test::WriteFileBytes(sandbox.drives() + "/c/keep.txt", "");
  Open();
  Picture p;
  p.width = 4;
  p.height = 3;
  p.rgb.assign(4 * 3 * 3, 0);
  for (int i = 0; i < 12; ++i) {
    p.rgb[i * 3] = 200;
    p.rgb[i * 3 + 1] = static_cast<uint8_t>(i * 10);
  }
  test::WriteFileBytes(sandbox.drives() + "/c/fig.bmp", EncodeBmp(p));
  ASSERT_TRUE(ShowPictureFile(test::Context().console, "c:\\fig.bmp", 100, 50));
  Shot();
  EXPECT_EQ(g_x->At(100, 50), (Pixel{200, 0, 0}));
  EXPECT_EQ(g_x->At(103, 52), (Pixel{200, 110, 0}));
  EXPECT_EQ(g_x->At(104, 52), (Pixel{0, 0, 0}));
  // A bad file keeps the picture that is shown.
  test::WriteFileBytes(sandbox.drives() + "/c/bad.bmp", "BM nothing");
  EXPECT_FALSE(ShowPictureFile(test::Context().console, "c:\\bad.bmp", 0, 0));
  Shot();
  EXPECT_EQ(g_x->At(100, 50), (Pixel{200, 0, 0}));
  RemovePicture(test::Context().console);
  Shot();
  EXPECT_EQ(g_x->At(100, 50), (Pixel{0, 0, 0}));
}

}  // namespace
}  // namespace kal

namespace kal {
namespace {

// The whole program with --window: a script that writes in colour, shows a
// bitmap, then a JPEG, reading a key after each; Enter is typed into the
// window. Uses the installed voice data, as the other end-to-end runs do.
class WindowProgram : public WindowTest {
 protected:
  static std::string InstalledDrives() {
    const char* home = getenv("HOME");
    return std::string(home ? home : "") + "/.local/share/talven/drives";
  }

  // Starts the program; its exit code comes from Wait.
  // config_home, when given, holds the Talven.ini to use (Talven/Talven.ini).
  void Start(const std::string& script, const std::string& log, const std::string& config_home = "") {
    // Under the leak checker the program, as this test, leaves the caches of
    // the font and desktop-bus libraries behind.
    std::string suppressions = log + ".lsan";
    test::WriteFileBytes(suppressions, "leak:libfontconfig\nleak:libdbus-1\n");
    pid_ = fork();
    if (pid_ == 0) {
      const char* lsan = getenv("LSAN_OPTIONS");
      std::string options = std::string(lsan ? lsan : "") + (lsan && *lsan ? ":" : "") + "suppressions=" + suppressions;
      setenv("LSAN_OPTIONS", options.c_str(), 1);
      setenv("TALVEN_DRIVES", InstalledDrives().c_str(), 1);
      if (!config_home.empty()) setenv("XDG_CONFIG_HOME", config_home.c_str(), 1);
      int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(fd, 1);
      dup2(fd, 2);
      int null = open("/dev/null", O_RDONLY);
      dup2(null, 0);
      std::string program = std::string(KALDORIN_BINARY_DIR) + "/kaldorin";
      execl(program.c_str(), program.c_str(), "--window", "--speech-log", (log + ".speech").c_str(),
            script.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }

  static bool Installed() { return access((InstalledDrives() + "/c/windows/Talven.ini").c_str(), R_OK) == 0; }

  // The installed Talven.ini with the font weight and the magnifier (four
  // times) set, as the configuration of a run in folder/config.
  static std::string ConfigWith(const test::TempFolder& tmp, int weight) {
    std::string ini = test::ReadFileBytes(InstalledDrives() + "/c/windows/Talven.ini");
    // Lines that start with the text (the comments above name the keys too).
    auto line = [&](const std::string& text) { return ini.find("\n" + text) + 1; };
    size_t at = line("PESOLETRA=");
    if (at != 0) ini.erase(at, ini.find('\n', at) + 1 - at);
    at = line("[VIDEO]");
    if (at != 0) ini.insert(ini.find('\n', at) + 1, "PESOLETRA=" + std::to_string(weight) + "\n");
    at = line("[BAIXAVISAO]");
    if (at != 0) ini.insert(ini.find('\n', at) + 1, "AMPLIACAO=4\n");
    test::WriteFileBytes(tmp / "config/Talven/Talven.ini", ini);
    return tmp / "config";
  }

  int Wait(int timeout_ms) {
    for (int waited = 0; waited < timeout_ms; waited += 20) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

  uint64_t AwaitWindow(const std::string& title) {
    for (int i = 0; i < 500; ++i) {
      if (uint64_t w = g_x->FindWindow(title)) return w;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
  }

  // Waits until the speech log holds the text (the program reached it).
  bool AwaitSpeech(const std::string& log, const std::string& text) {
    for (int i = 0; i < 500; ++i) {
      if (test::ReadFileBytes(log + ".speech").find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  // Ends a program that did not end by itself.
  void KillLeftover() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
  }

  void TearDown() override {
    KillLeftover();
    WindowTest::TearDown();
  }

  // A question on the top row answered with the magnifier on (four times):
  // the strip is drawn over the bottom rows and the question stays in view.
  // Returns the bright pixels of the question's cells; the window is then
  // closed as a close box does, which ends the program as the break key does.
  int AskWithMagnifier(int weight) {
    test::TempFolder tmp;
    test::WriteFileBytes(tmp / "q.kal",
                         "titulo \"pergunta\"\r\nescreve \"Busca: \"\r\nle $busca\r\n"
                         "escreve \"lido\"\r\nle tecla $k\r\n");
    std::string log = tmp / "run.log";
    Start(tmp / "q.kal", log, ConfigWith(tmp, weight));
    uint64_t w = AwaitWindow("pergunta");
    EXPECT_NE(w, 0u) << test::ReadFileBytes(log);
    if (!w) return KillLeftover(), 0;
    Pixel brown{68, 34, 34};
    const int cw = 12, ch = 29;  // from the work area of 1024 x 768
    bool strip_at_bottom = false;
    for (int i = 0; i < 250 && !strip_at_bottom; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      // Far right of the strip: its first cell is the empty field's cursor.
      strip_at_bottom = g_x->Capture(w) && g_x->At(70 * cw, 25 * ch - 2) == brown;
    }
    EXPECT_TRUE(strip_at_bottom) << test::ReadFileBytes(log);
    EXPECT_NE(g_x->At(5, 2), brown);
    int ink = Ink(0, 0, 6 * cw, ch);
    EXPECT_GT(ink, 30) << "the question is hidden";
    g_x->AskToClose(w);
    EXPECT_EQ(Wait(10000), 130);
    KillLeftover();
    EXPECT_NE(test::ReadFileBytes(log).find("interrompido"), std::string::npos) << test::ReadFileBytes(log);
    return ink;
  }

  int pid_ = -1;
};

TEST_F(WindowProgram, MagnifierKeepsOffTheQuestionAndWeightDrawsBoldAndClosingEnds) {
  if (!Installed()) GTEST_SKIP() << "no installed data (scripts/setup.sh)";
  int regular = AskWithMagnifier(400);
  int bold = AskWithMagnifier(700);
  EXPECT_GT(bold, regular * 5 / 4);
}

// Another program destroying the window, or killing its connection to the
// display, ends the program as closing it does: no X error, the same exit
// code.
TEST_F(WindowProgram, WindowDestroyedOrKilledFromOutsideEndsAsAClose) {
  if (!Installed()) GTEST_SKIP() << "no installed data (scripts/setup.sh)";
  for (bool kill_owner : {false, true}) {
    SCOPED_TRACE(kill_owner ? "connection killed" : "window destroyed");
    test::TempFolder tmp;
    test::WriteFileBytes(tmp / "d.kal",
                         "titulo \"destruir\"\r\nescreve \"pronto\"\r\nle tecla $k\r\n"
                         "escreve \"ainda\"\r\nle tecla $k\r\n");
    std::string log = tmp / "run.log";
    Start(tmp / "d.kal", log);
    uint64_t w = AwaitWindow("destruir");
    ASSERT_NE(w, 0u) << test::ReadFileBytes(log);
    ASSERT_TRUE(AwaitSpeech(log, "pronto")) << test::ReadFileBytes(log + ".speech");
    if (kill_owner) {
      g_x->KillOwner(w);
    } else {
      g_x->Destroy(w);
    }
    EXPECT_EQ(Wait(10000), 130);
    KillLeftover();
    std::string out = test::ReadFileBytes(log);
    EXPECT_EQ(out.find("X Error"), std::string::npos) << out;
    EXPECT_EQ(out.find("X connection"), std::string::npos) << out;
    EXPECT_NE(out.find("interrompido"), std::string::npos) << out;
  }
}

TEST_F(WindowProgram, ShowsColoursAndPicturesAndTakesKeysFromTheWindow) {
  if (!Installed()) GTEST_SKIP() << "no installed data (scripts/setup.sh)";
  test::TempFolder tmp;
  Picture p = test::SolidPicture(6, 4, 0, 200, 0);
  test::WriteFileBytes(tmp / "fig.bmp", EncodeBmp(p));
  test::WriteFileBytes(tmp / "foto.jpg", test::EncodeJpeg(test::SolidPicture(16, 16, 250, 0, 250)));
  std::string script = "titulo \"janela e2e\"\r\nfundo 1\r\n"
                       "imagem \"" + tmp / "fig.bmp" + "\" 300 200\r\nhandle $h\r\nescreve \"pronto \" $h\r\nle tecla $k\r\n"
                       "imagem \"" + tmp / "foto.jpg" + "\" 400 250\r\nescreve \"jpeg\"\r\nle tecla $k\r\n"
                       "termina mudo\r\n";
  test::WriteFileBytes(tmp / "e2e.kal", script);
  std::string log = tmp / "run.log";
  Start(tmp / "e2e.kal", log);
  uint64_t w = AwaitWindow("janela e2e");
  ASSERT_NE(w, 0u) << test::ReadFileBytes(log);
  // HANDLE gives the window's own id.
  ASSERT_TRUE(AwaitSpeech(log, "pronto " + std::to_string(w))) << test::ReadFileBytes(log + ".speech");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_TRUE(g_x->Capture(w));
  EXPECT_EQ(g_x->At(5 * 12 + 11, 1), (Pixel{0, 0, 255}));  // "pronto" on blue, in cells of 12 x 29
  EXPECT_EQ(g_x->At(301, 201), (Pixel{0, 200, 0}));
  EXPECT_EQ(g_x->At(305, 203), (Pixel{0, 200, 0}));
  EXPECT_NE(g_x->At(306, 204), (Pixel{0, 200, 0}));
  g_x->Focus(w);
  g_x->Tap("Return");
  ASSERT_TRUE(AwaitSpeech(log, "jpeg")) << test::ReadFileBytes(log);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_TRUE(g_x->Capture(w));
  Pixel jpeg = g_x->At(408, 258);
  EXPECT_NEAR(jpeg.r, 250, 8);
  EXPECT_NEAR(jpeg.g, 0, 8);
  EXPECT_NEAR(jpeg.b, 250, 8);
  EXPECT_NE(g_x->At(301, 201), (Pixel{0, 200, 0}));  // the bitmap has gone
  g_x->Tap("Return");
  EXPECT_EQ(Wait(10000), 0) << test::ReadFileBytes(log);
}

}  // namespace
}  // namespace kal
