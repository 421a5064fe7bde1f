// Screen review: the clipboard copy over the known grid of the script
// tests (tests/scripts/review/ read it key by key), and the cells' view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "2_config/config_state.h"
#include "0_base/console_grid.h"
#include "0_base/word_letters.h"
#include "6_console/clipboard.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "6_console/screen_review.h"
#include "6_console/screen_review_cells.h"
#include "6_console/screen_review_session.h"
#include "1_platform/event_loop.h"
#include "2_config/console_settings.h"
#include "0_base/speech_log.h"
#include "4_voices/speech_engine_port.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "tests/support/script_harness.h"
#include "tests/support/memory_console.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

// Alt+Ctrl+F9 as a terminal sends it; Esc in its unambiguous form, so that
// the keys after it are not typed ahead (and dropped by the exit beeps).
const std::string kReview = "\x1b[20;7~", kEsc = "\x1b[27u";

// Row 1: a sentence; row 2: a spoken word, a spelled one, a run of dashes;
// row 3: a form whose fields have a blue background; row 5: 80 characters.
const char kGrid[] =
    "tela limpa\n"
    "escreve mudo \"Primeira linha do texto\"\n"
    "escreve mudo \"casa XYZ ----- fim\"\n"
    "escreve mudo \"Nome: \" &\n"
    "fundo 1\nescreve mudo \"Maria Silva\" &\nfundo 0\n"
    "escreve mudo \" Idade: \" &\n"
    "fundo 1\nescreve mudo \"42\" &\nfundo 0\n"
    "escreve mudo \"\"\n"
    "escreve mudo \"\"\n"
    "escreve mudo \"abcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghiZ\"\n"
    "tela @1,10\n"
    "le $a\n";

// The speech of the review alone: from its entry beep to its two exit beeps.
// Each starts without a search text, as a fresh console does.
std::string Review(const std::string& keys) {
  Context().console.review_search.clear();
  ScriptResult r = RunScriptText(kGrid, kReview + keys + kEsc + "\r");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(r.exit_code, 0) << r.console;
  std::vector<std::string> lines = r.speech;
  if (!lines.empty() && lines.back() == "say Fim do script") lines.pop_back();
  EXPECT_GE(lines.size(), 3u);
  if (lines.size() < 3) return Joined(lines);
  EXPECT_EQ(lines.front(), "beep");
  EXPECT_EQ(lines[lines.size() - 1], "beep");
  EXPECT_EQ(lines[lines.size() - 2], "beep");
  return Joined(std::vector<std::string>(lines.begin() + 1, lines.end() - 2));
}

// Ctrl+C puts the whole screen on the clipboard, a line per row.
TEST(ScreenReview, CopiesTheScreen) {
  std::string row5 = "abcdefghij";
  row5 = row5 + row5 + row5 + row5 + row5 + row5 + row5 + "abcdefghiZ";
  SetClipboardBackend(test::Context().console, nullptr);
  EXPECT_EQ(Review("\x03"), "say Copiado\n");
  std::string clip = PasteFromClipboard(test::Context().console, 10000);
  ASSERT_EQ(clip.size(), 25u * 82u);
  EXPECT_EQ(clip.substr(0, 25), "Primeira linha do texto  ");
  EXPECT_EQ(clip.substr(4 * 82, 82), row5 + "\r\n");
}

// The low-vision strip over the top row shows the review row without its
// leading spaces, in the strip's colours, and goes when review ends.
TEST(ScreenReview, MagnifiedStripShowsTheReviewRow) {
  MagnifierSettings m;
  m.factor = 2;
  Context().config.console_override = nullptr;
  Context().config.magnifier_override = &m;
  std::string out;
  UseMemoryConsole("", &out);
  GotoXY(test::Context().console, 1, 3);
  ConsoleWrite(test::Context().console, "   texto aqui");
  ReviewSession s(Context().console, GridOf(Context().console));
  s.magnifier = ReadMagnifierSettings(Context().config);
  s.row = 3;
  DrawReviewStrip(s);
  ASSERT_TRUE(GridOf(Context().console).has_overlay());
  std::string shown;
  for (int x = 0; x < 12; ++x) shown.push_back(GridOf(Context().console).ShownCell(x, 0));
  EXPECT_EQ(shown, "texto aqui  ");
  EXPECT_EQ(GridOf(Context().console).ShownAttr(0, 0), m.background * 16 + m.letters);
  RemoveReviewStrip(s);
  EXPECT_FALSE(GridOf(Context().console).has_overlay());
  Context().config.console_override = nullptr;
  Context().config.magnifier_override = nullptr;
}

// Records what a speech server is given; it is never busy.
class RecordingEngine : public SpeechEngine {
 public:
  bool Start(int, int, int, std::string_view, int) override { return true; }
  void Speak(std::string_view t) override { spoken += std::string(t) + "|"; }
  bool Busy(int) override { return false; }
  void Stop() override {}
  void Release() override {}
  std::string spoken;
};

// With a speech server each row goes to it as one text (without its
// trailing blanks; a blank row says nothing but still clicks); a waiting key
// stops the reading before the next row.
TEST(ScreenReview, ASpeechServerGetsWholeRows) {
  std::string out;
  UseMemoryConsole("", &out);
  CaptureSpeechLog(Context().speech_log, true);
  auto engine = std::make_unique<RecordingEngine>();
  RecordingEngine* e = engine.get();
  SetSpeechEngine(Context().speech, std::move(engine));
  Context().speech.engine_active = true;
  ConsoleWrite(test::Context().console, "casa XYZ  fim\r\n\r\n  outra linha\r\n");
  ReviewSession s(Context().console, GridOf(Context().console));
  ReadReviewRange(&s, 1, 6, 3, kReviewColumns);
  EXPECT_EQ(e->spoken, "XYZ  fim|  outra linha|");
  EXPECT_EQ(Joined(CapturedSpeech(Context().speech_log)), "say XYZ  fim\nclick\nclick\nsay   outra linha\nclick\n");
  EXPECT_EQ(s.row, 3);
  EXPECT_EQ(s.column, 14);  // the end of the last row read
  e->spoken.clear();
  PushKeyBytes(test::Context().console, "x");
  ReadReviewRange(&s, 1, 1, 3, kReviewColumns);
  EXPECT_EQ(e->spoken, "");
  Context().speech.engine_active = false;
  SetSpeechEngine(Context().speech, nullptr);
}

TEST(ScreenReviewCells, OutsideTheScreenIsBlank) {
  ConsoleGrid grid;
  grid.set_attribute(0x1F);
  grid.Write("ab");
  ReviewCells cells(grid);
  EXPECT_EQ(cells.Char(1, 1), 'a');
  EXPECT_EQ(cells.Char(0, 1), ' ');
  EXPECT_EQ(cells.Char(26, 1), ' ');
  EXPECT_EQ(cells.Char(1, 81), ' ');
  EXPECT_EQ(cells.Attr(1, 81), 0);
  EXPECT_EQ(cells.Attr(1, 1), 0x1F);
  EXPECT_EQ(cells.EndOfRow(1), 3);
  EXPECT_EQ(cells.EndOfRow(2), 1);
  int row = 0, column = 0;
  EXPECT_FALSE(cells.Find("", 1, 1, &row, &column));
  EXPECT_TRUE(cells.Find("b", 1, 1, &row, &column));
  EXPECT_EQ(column, 2);
  EXPECT_FALSE(cells.Find("b", 1, 2, &row, &column));
  EXPECT_FALSE(IsFieldDelimiter('a'));
  EXPECT_TRUE(IsFieldDelimiter(static_cast<uint8_t>(196)));
  EXPECT_FALSE(IsConsonantLetter('e'));
  EXPECT_TRUE(IsConsonantLetter('y'));
}

}  // namespace
}  // namespace kal::test
