// Screen review over a known grid: a script draws the screen, the field
// editor's Alt+Ctrl+F9 enters review, and the keys read it. Each case checks
// what was said and (with Ctrl+K) where the review position ended.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "0_base/console_grid.h"
#include "6_console/clipboard.h"
#include "6_console/console.h"
#include "6_console/screen_review.h"
#include "6_console/screen_review_cells.h"
#include "tests/support/script_harness.h"

namespace kal::test {
namespace {

// Keys as a terminal sends them. Esc is given in its unambiguous form, so
// that the keys after it are not typed ahead (and dropped by the exit beeps).
const std::string kReview = "\x1b[20;7~", kEsc = "\x1b[27u", kF1 = "\x1bOP", kF5 = "\x1b[15~";
const std::string kF6 = "\x1b[17~", kCtrlF1 = "\x1b[1;5P", kCtrlF5 = "\x1b[15;5~";
const std::string kLeft = "\x1b[D", kRight = "\x1b[C", kUp = "\x1b[A", kDown = "\x1b[B";
const std::string kPgUp = "\x1b[5~", kPgDn = "\x1b[6~", kHome = "\x1b[H", kEnd = "\x1b[F";
const std::string kCtrlLeft = "\x1b[1;5D", kCtrlRight = "\x1b[1;5C", kShiftTab = "\x1b[Z";
const std::string kCtrlPgUp = "\x1b[5;5~", kCtrlPgDn = "\x1b[6;5~", kWhere = "\x0b";

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
std::string Review(const std::string& keys) {
  ResetScreenReviewForTest();
  ScriptResult r = RunScriptText(kGrid, kReview + keys + kEsc + "\r");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(r.exit_code, -1) << r.console;
  std::vector<std::string> lines = r.speech;
  if (!lines.empty() && lines.back() == "say Fim do script") lines.pop_back();
  EXPECT_GE(lines.size(), 3u);
  if (lines.size() < 3) return Joined(lines);
  EXPECT_EQ(lines.front(), "beep");
  EXPECT_EQ(lines[lines.size() - 1], "beep");
  EXPECT_EQ(lines[lines.size() - 2], "beep");
  return Joined(std::vector<std::string>(lines.begin() + 1, lines.end() - 2));
}

// "F6 r r c c" as keys.
std::string GoTo(const std::string& digits) { return kF6 + digits; }
const std::string kAskPlace = "say Entre linha e coluna\n";
std::string Spoken(const std::string& digits) {
  std::string s;
  for (char d : digits) s += "char " + std::to_string(d) + "\n";
  return s;
}

TEST(ScreenReview, StartsAtTheCursorAndMovesByRows) {
  EXPECT_EQ(Review(kWhere), "say 10 1\n");
  EXPECT_EQ(Review(kPgUp + kWhere), "say Primeira\nsay linha\nsay do\nsay texto\nclick\nsay 1 1\n");
  // Down: a click, the row read, column 1 kept.
  EXPECT_EQ(Review(kPgUp + kDown + kWhere),
            "say Primeira\nsay linha\nsay do\nsay texto\nclick\n"
            "click\nsay casa\nspell XYZ\nsay ---\nsay fim\nclick\nsay 2 1\n");
  // Up at row 1 and Page Down then Down past the last row beep.
  EXPECT_EQ(Review(kPgUp + kUp + kWhere), "say Primeira\nsay linha\nsay do\nsay texto\nclick\nbeep\nsay 1 1\n");
  EXPECT_EQ(Review(kPgDn + kDown + kWhere), "click\nbeep\nsay 25 1\n");
  EXPECT_EQ(Review("\r" + kWhere), "click\nsay 11 1\n");
}

TEST(ScreenReview, WordsSpelledSpokenAndSymbolRuns) {
  std::string keys = GoTo("0201") + kF1 + kF1 + kF1 + kWhere + kF1 + kWhere;
  // casa spoken, XYZ spelled, five dashes told as three. Past the last word
  // only spaces are left: a click and the column after the text.
  EXPECT_EQ(Review(keys), kAskPlace + Spoken("0201") +
                              "say casa\nspell XYZ\nsay ---\nsay 2 15\nsay fim\nsay 2 19\n");
  EXPECT_EQ(Review(GoTo("0275") + kF1 + kWhere), kAskPlace + Spoken("0275") + "click\nsay 2 19\n");
}

TEST(ScreenReview, CharactersAndTheRightEdge) {
  // Column 80: Right says the last character and goes to 81; a second Right
  // says the space of column 81, beeps and comes back to 80.
  EXPECT_EQ(Review(GoTo("0580") + kRight + kWhere + kRight + kWhere),
            kAskPlace + Spoken("0580") + "char 90\nsay 5 81\nchar 32\nbeep\nsay 5 80\n");
  EXPECT_EQ(Review(GoTo("0502") + kLeft + kLeft + kWhere + "\x08"),
            kAskPlace + Spoken("0502") + "char 97\nbeep\nsay 5 1\nbeep\n");
  EXPECT_EQ(Review(GoTo("0205") + kHome + kWhere + kEnd + kWhere),
            kAskPlace + Spoken("0205") + "say 2 1\nsay 2 19\n");
}

TEST(ScreenReview, WordMovesAndPositionEntry) {
  EXPECT_EQ(Review(GoTo("0207") + kCtrlLeft + kWhere + kCtrlLeft + kWhere + kCtrlRight + kCtrlRight +
                   kCtrlRight + kWhere + kCtrlRight + kWhere),
            kAskPlace + Spoken("0207") + "click\nsay 2 6\nclick\nsay 2 1\nclick\nclick\nclick\nsay 2 16\n" +
                "beep\nsay 2 19\n");
  EXPECT_EQ(Review(GoTo("0512") + kWhere), kAskPlace + Spoken("0512") + "say 5 12\n");
  // A non-digit: two beeps, the position unchanged.
  EXPECT_EQ(Review(kF6 + "0x" + kWhere), kAskPlace + Spoken("0x") + "beep\nbeep\nsay 10 1\n");
  // A row past the screen is clamped with a beep.
  EXPECT_EQ(Review(GoTo("9901") + kWhere), kAskPlace + Spoken("9901") + "beep\nsay 25 1\n");
}

const std::string kRow1 = "say Primeira\nsay linha\nsay do\nsay texto\nclick\n";
const std::string kRow2 = "say casa\nspell XYZ\nsay ---\nsay fim\nclick\n";

TEST(ScreenReview, SearchFindsOnlyTextAfterThePosition) {
  const std::string ask = "say Qual texto\n";
  // Backspace plays the deletion sound and names the character removed.
  EXPECT_EQ(Review(kPgUp + kF5 + "fiz\x08m\r" + kWhere + kF5 + "casa\r" + kWhere + kCtrlF5 + kWhere),
            kRow1 + ask + "char 102\nchar 105\nchar 122\nplay _DEL\nchar 122\nchar 109\nclick\nsay 2 16\n" +
                ask + "char 99\nchar 97\nchar 115\nchar 97\nbeep\nbeep\nsay 2 16\nbeep\nbeep\nsay 2 16\n");
  // The text is kept: Ctrl+F5 from the top finds it again; Esc cancels a search.
  EXPECT_EQ(Review(kPgUp + kF5 + "fim\r" + kPgUp + kCtrlF5 + kWhere + kF5 + "a" + kEsc + kWhere),
            kRow1 + ask + "char 102\nchar 105\nchar 109\nclick\n" + kRow1 + "click\nsay 2 16\n" + ask +
                "char 97\nsay 2 16\n");
}

TEST(ScreenReview, FieldsOfAColouredForm) {
  // "Nome: " white on black, "Maria Silva" (columns 7-17) on blue, " Idade: ",
  // "42" (columns 26-27) on blue.
  EXPECT_EQ(Review(GoTo("0308") + kCtrlF1 + kWhere), kAskPlace + Spoken("0308") +
                                                        "say Maria\nsay Silva\nclick\nsay 3 8\n");
  EXPECT_EQ(Review(GoTo("0308") + "ic" + "FC" + "tC" + kWhere),
            kAskPlace + Spoken("0308") + "say Ma\nclick\nsay aria\nsay Silva\nclick\n" +
                "say Maria\nsay Silva\nclick\nsay 3 8\n");
  // The colon ends the label's field.
  EXPECT_EQ(Review(GoTo("0303") + kCtrlF1), kAskPlace + Spoken("0303") + "say Nome\nclick\n");
  // Tab: two cells after the field; Shift+Tab: two before the field's start.
  EXPECT_EQ(Review(GoTo("0308") + "\t" + kWhere + kShiftTab + kWhere + GoTo("0326") + "\t" + kWhere),
            kAskPlace + Spoken("0308") + "click\nsay 3 19\nclick\nsay 3 16\n" + kAskPlace + Spoken("0326") +
                "click\nsay 3 29\n");
  // A field reaching column 80: Tab goes to the end of the row, no click.
  EXPECT_EQ(Review(GoTo("0501") + "\t" + kWhere), kAskPlace + Spoken("0501") + "say 5 81\n");
}

TEST(ScreenReview, TwoLetterCommands) {
  std::string at = kAskPlace + Spoken("0206");
  EXPECT_EQ(Review(GoTo("0206") + "tl" + kWhere), at + kRow2 + "say 2 6\n");
  EXPECT_EQ(Review(GoTo("0206") + "il" + kWhere), at + "say casa\nclick\nsay 2 6\n");
  EXPECT_EQ(Review(GoTo("0206") + "fl" + kWhere), at + "spell XYZ\nsay ---\nsay fim\nclick\nsay 2 6\n");
  // From the top to just before the position; the position stays where the
  // reading stopped.
  EXPECT_EQ(Review(GoTo("0206") + "it" + kWhere), at + kRow1 + "say casa\nclick\nsay 2 5\n");
  // L as a first letter counts as T; the whole screen ends at the end of the
  // last row.
  std::string whole = Review(GoTo("0206") + "LT" + kWhere);
  EXPECT_EQ(whole.substr(0, at.size() + kRow1.size()), at + kRow1);
  EXPECT_NE(whole.find("say Maria\nsay Silva\n"), std::string::npos);
  EXPECT_EQ(whole.substr(whole.size() - 9), "say 25 1\n");
  EXPECT_EQ(Review(GoTo("2401") + "ft" + kWhere), kAskPlace + Spoken("2401") + "click\nclick\nsay 25 1\n");
  EXPECT_EQ(Review("ix"), "beep\nclick\nbeep\n");
  EXPECT_EQ(Review("q"), "beep\nclick\nbeep\n");
  EXPECT_EQ(Review("!"), "beep\nclick\nbeep\n");
}

TEST(ScreenReview, FirstAndLastLetterAndCopy) {
  EXPECT_EQ(Review(kCtrlPgUp + kWhere), kRow1 + "say 1 1\n");
  std::string row5 = "abcdefghij";
  row5 = row5 + row5 + row5 + row5 + row5 + row5 + row5 + "abcdefghiZ";
  EXPECT_EQ(Review(kCtrlPgDn + kWhere), "say " + row5 + "\nclick\nsay 5 80\n");
  SetClipboardBackend(nullptr);
  EXPECT_EQ(Review("\x03"), "");
  std::string clip = PasteFromClipboard(10000);
  ASSERT_EQ(clip.size(), 25u * 82u);
  EXPECT_EQ(clip.substr(0, 25), "Primeira linha do texto  ");
  EXPECT_EQ(clip.substr(4 * 82, 82), row5 + "\r\n");
}

// Ctrl+R, which every terminal delivers, enters review as Alt+Ctrl+F9 does;
// so does rxvt's Esc + Ctrl+F9.
TEST(ScreenReview, OtherWaysIn) {
  for (std::string key : {std::string("\x12"), std::string("\x1b\x1b[20^")}) {
    ResetScreenReviewForTest();
    ScriptResult r = RunScriptText(kGrid, key + kWhere + kEsc + "\r");
    EXPECT_EQ(Joined(r.speech), "beep\nsay 10 1\nbeep\nbeep\nsay Fim do script\n");
  }
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
  EXPECT_FALSE(IsReviewConsonant('e'));
  EXPECT_TRUE(IsReviewConsonant('y'));
}

}  // namespace
}  // namespace kal::test
