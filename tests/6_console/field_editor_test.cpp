#include "2_config/config_state.h"
#include "6_console/field_editor.h"

#include <gtest/gtest.h>

#include <string>

#include "6_console/clipboard.h"
#include "6_console/console.h"
#include "0_base/console_grid.h"
#include "2_config/console_settings.h"
#include "5_speech/speech.h"
#include "0_base/speech_log.h"
#include "1_platform/event_loop.h"
#include "1_platform/stop_request.h"
#include "tests/support/script_harness.h"
#include "tests/support/memory_console.h"
#include "6_console/console_state.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

using test::Joined;

// The end of input stops the run: the edit returns Esc at once, the field
// as it was shown and the text unchanged, and the stop is recorded.
void ExpectStoppedByEndOfInput(int key) {
  EXPECT_EQ(key, 27);
  EXPECT_EQ(RequestedStop(test::Context().platform).reason, EndReason::kInputEnded);
}


// Keys as a terminal sends them.
const std::string kLeft = "\x1b[D", kRight = "\x1b[C", kHome = "\x1b[H", kEnd = "\x1b[F";
const std::string kDel = "\x1b[3~", kShiftLeft = "\x1b[1;2D", kShiftRight = "\x1b[1;2C";
const std::string kCtrlLeft = "\x1b[1;5D", kCtrlRight = "\x1b[1;5C", kF1 = "\x1bOP", kUp = "\x1b[A";

class FieldEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CaptureSpeechLog(test::Context().speech_log, true);
    SetClipboardBackend(test::Context().console, nullptr);
  }
  void TearDown() override {
    test::Context().config.console_override = nullptr;
    test::Context().config.magnifier_override = nullptr;
    ClearStopRequest(test::Context().platform);
  }
  // Edits `text` in a field at (1, 5) of max_len characters with the keys.
  int Edit(const std::string& keys, std::string* text, int max_len = 40, bool editable = true) {
    test::UseMemoryConsole(keys, &out_);
    ClearCapturedSpeech(test::Context().speech_log);
    return EditField(test::Context().console, text, 1, 5, max_len, 40, editable);
  }
  std::string Speech() { return Joined(CapturedSpeech(test::Context().speech_log)); }
  std::string out_;
};

TEST_F(FieldEditorTest, TypedCharactersAreEchoedAndEnterEnds) {
  std::string text;
  EXPECT_EQ(Edit("ab\r", &text), 13);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(Speech(), "char 97\nchar 98\n");
  EXPECT_EQ(GridOf(test::Context().console).RowText(4).substr(0, 3), "ab ");
  EXPECT_EQ(WhereX(test::Context().console), 1);  // the cursor is left at the start of the field
}

TEST_F(FieldEditorTest, FirstTypedKeyReplacesAProposedTextAfterTwoClicks) {
  std::string text = "antigo";
  EXPECT_EQ(Edit("x\r", &text), 13);
  EXPECT_EQ(text, "x");
  EXPECT_EQ(Speech(), "click\nclick\nchar 120\n");
}

TEST_F(FieldEditorTest, ProposedTextIsKeptWhenTheFirstKeyIsAnArrow) {
  std::string text = "antigo";
  EXPECT_EQ(Edit(kEnd + "s\r", &text), 13);
  EXPECT_EQ(text, "antigos");
  EXPECT_EQ(Speech(), "char 115\n");
}

TEST_F(FieldEditorTest, TypingPastTheMaximumLengthBeepsAndChangesNothing) {
  std::string text;
  EXPECT_EQ(Edit("abcd\r", &text, 3), 13);
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(Speech(), "char 97\nchar 98\nchar 99\nbeep\n");
}

TEST_F(FieldEditorTest, BackspaceAndDeleteSpeakWhatTheyRemove) {
  std::string text;
  EXPECT_EQ(Edit("abc\x7f" + kHome + kDel + "\r", &text), 13);
  EXPECT_EQ(text, "b");
  EXPECT_EQ(Speech(), "char 97\nchar 98\nchar 99\nplay _DEL\nchar 99\nplay _DEL\nchar 97\n");
}

TEST_F(FieldEditorTest, BackspaceAtTheStartBeeps) {
  std::string text;
  EXPECT_EQ(Edit("\x7f\x1b", &text), 27);
  EXPECT_EQ(Speech(), "beep\n");
}

TEST_F(FieldEditorTest, ArrowsSpeakTheCharacterAndBeepAtTheEnds) {
  std::string text = "ok";
  EXPECT_EQ(Edit(kLeft + kRight + kRight + kRight + kLeft + "\t", &text), 9);
  EXPECT_EQ(Speech(), "beep\nchar 111\nchar 107\nbeep\nchar 107\n");
}

TEST_F(FieldEditorTest, UnhandledExtendedKeysEndTheEditWithTheirCode) {
  std::string text = "abc ";
  EXPECT_EQ(Edit(kUp, &text), 72);
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(Edit("\x1bOQ", &text), 60);    // F2
  EXPECT_EQ(Edit("\x1b[20;5~", &text), 102);  // Ctrl+F9
  EXPECT_EQ(Edit("\x1b[1;3P", &text), 104);   // Alt+F1
  EXPECT_EQ(Edit("\x1b[13;5u", &text), 10);   // Ctrl+Enter
  EXPECT_EQ(Edit("\x02", &text), 2);          // Ctrl+B
}

TEST_F(FieldEditorTest, F1ReadsWordsNumbersAndSpellsConsonantRuns) {
  std::string text = "casa  -42 xpt !";
  Edit(kF1 + kF1 + kF1 + kF1 + kF1 + "\r", &text);
  EXPECT_EQ(Speech(), "say casa\nsay -42\nspell xpt\nspell !\nbeep\n");
}

// Accented letters are letters: F1 says "Você" and "preço" whole, spells a
// run of consonants with Ç and Ñ, and takes the multiplication sign alone.
TEST_F(FieldEditorTest, F1ReadsAccentedWordsWhole) {
  std::string text = "Voc\xEA pre\xE7o \xE7\xF1 \xD7" "3";
  Edit(kF1 + kF1 + kF1 + kF1 + kF1 + kF1 + "\r", &text);
  EXPECT_EQ(Speech(), "say Voc\xC3\xAA\nsay pre\xC3\xA7o\nspell \xC3\xA7\xC3\xB1\nspell \xC3\x97\nsay 3\nbeep\n");
}

TEST_F(FieldEditorTest, CtrlKSpeaksThePositionAndCtrlF1TheField) {
  std::string text = "um dois";
  Edit(kEnd + "\x0b" + "\x1b[1;5P\r", &text);
  EXPECT_EQ(Speech(), "say 8\nsay um dois\n");
}

// Each move clicks and says the word reached, as a screen reader does; past
// the last word only the click.
TEST_F(FieldEditorTest, WordMovementStopsAtWordStartsClicksAndSaysTheWord) {
  std::string text = "um, dois 33";
  Edit(kCtrlRight + kCtrlRight + kCtrlRight + "\x0b" + kCtrlRight + kCtrlRight + kCtrlLeft + "\x0b" + "\r",
       &text);
  // "um" -> "," -> "dois" -> "33" (position 10), past the text: beep.
  EXPECT_EQ(Speech(),
            "click\nspell ,\nclick\nsay dois\nclick\nsay 33\nsay 10\nclick\nbeep\nclick\nsay 33\nsay 10\n");
}

TEST_F(FieldEditorTest, CtrlBackspaceDeletesTheWordWithItsSpaces) {
  std::string text = "um dois tres";
  Edit(kHome + kCtrlRight + "\x1b[C" + "\x1b[127;5u\r", &text);
  EXPECT_EQ(text, "um tres");
  EXPECT_EQ(Speech().substr(0, 40), "click\nsay dois\nchar 100\nplay _DEL\nchar 1");
}

// Ctrl+Backspace at the end of "ação coração" in a line of 255 takes the
// last word with one announcement: the first deleted character, never the
// field's padding after it.
TEST_F(FieldEditorTest, CtrlBackspaceSaysOnlyItsFirstDeletion) {
  std::string text;
  Edit("a\xC3\xA7\xC3\xA3o cora\xC3\xA7\xC3\xA3o" "\x1b[127;5u\r", &text, 255);
  EXPECT_EQ(text, "a\xE7\xE3o");
  std::string said = Speech();
  std::string echo = "char 97\nchar 231\nchar 227\nchar 111\nchar 32\n";
  EXPECT_EQ(said, echo + "char 99\nchar 111\nchar 114\nchar 97\nchar 231\nchar 227\nchar 111\nplay _DEL\nchar 99\n");
  // A word in the middle goes with the spaces after it, the same way.
  text = "um dois tres";
  Edit(kHome + kCtrlRight + "\x1b[127;5u\r", &text, 255);
  EXPECT_EQ(text, "um tres");
  EXPECT_EQ(Speech(), "click\nsay dois\nplay _DEL\nchar 100\n");
}

TEST_F(FieldEditorTest, ShiftArrowsSelectAndDeleteRemovesTheSelection) {
  std::string text = "abcdef";
  Edit(kHome + kRight + kShiftRight + kShiftRight + kDel + "\r", &text);
  EXPECT_EQ(text, "adef");
}

TEST_F(FieldEditorTest, CopySelectionAndPasteIt) {
  std::string text = "abcdef";
  Edit(kEnd + kShiftLeft + kShiftLeft + "\x03" + kHome + "\x16\r", &text);
  EXPECT_EQ(text, "efabcdef");
  EXPECT_EQ(PasteFromClipboard(test::Context().console, 100), "ef");
}

TEST_F(FieldEditorTest, CopyWithoutSelectionTakesTheWholeFieldWithALineEnd) {
  std::string text = "linha";
  Edit("\x1b[2;5~\r", &text);  // Ctrl+Insert
  EXPECT_EQ(PasteFromClipboard(test::Context().console, 100), "linha\r\n");
  EXPECT_EQ(Speech(), "say Copiado\n");
}

// A clipboard that cannot take the text: the error beep, not "Copiado".
TEST_F(FieldEditorTest, CopyThatFailsBeeps) {
  class Refusing : public ClipboardBackend {
   public:
    bool Put(std::string_view) override { return false; }
    bool Get(std::string*) override { return false; }
  };
  SetClipboardBackend(test::Context().console, std::make_unique<Refusing>());
  std::string text = "linha";
  Edit("\x03\r", &text);
  EXPECT_EQ(Speech(), "beep\n");
}

TEST_F(FieldEditorTest, PasteStopsAtTheFirstLineEndAndFitsTheField) {
  CopyToClipboard(test::Context().console, "primeira\r\nsegunda");
  std::string text;
  Edit("\x1b[2;2~\r", &text, 5);  // Shift+Insert
  EXPECT_EQ(text, "prime");
}

TEST_F(FieldEditorTest, CtrlUGivesBackTheInitialText) {
  std::string text = "era";
  Edit("novo\x15\r", &text);
  EXPECT_EQ(text, "era");
}

TEST_F(FieldEditorTest, CtrlDCtrlSAndCtrlYBlankPartsOfTheField) {
  std::string text = "abcdef";
  Edit(kRight + kRight + "\x04\r", &text);
  EXPECT_EQ(text, "ab");
  text = "abcdef";
  Edit(kRight + kRight + "\x13\r", &text);
  EXPECT_EQ(text, "cdef");
  text = "abcdef";
  Edit("\x19\r", &text);
  EXPECT_EQ(text, "");
  EXPECT_EQ(Speech(), "play _CPOAPA\n");
}

TEST_F(FieldEditorTest, ReadOnlyFieldCannotBeChanged) {
  std::string text = "fixo";
  Edit(std::string("x\x7f") + kDel + "\x19\x16\r", &text, 40, false);
  EXPECT_EQ(text, "fixo");
}

TEST_F(FieldEditorTest, F4TogglesTheEchoOfTypedCharacters) {
  std::string text;
  Edit("\x1bOSa\x1bOSb\r", &text);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(Speech(), "play _FALDLG\nplay _FALACI\nchar 98\n");
}

TEST_F(FieldEditorTest, F12OpensTheWordAroundTheCursorWithoutItsMarks) {
  std::string text = "veja <www.exemplo.com.br>. ok";
  Edit(kCtrlRight + kRight + kRight + "\x1b[24~\r", &text);
  EXPECT_EQ(Speech().find("open www.exemplo.com.br\n") != std::string::npos, true)
      << Speech();
}

TEST_F(FieldEditorTest, SelectionIsShownOnDarkGrey) {
  std::string text = "abc";
  test::UseMemoryConsole(kShiftRight + kShiftRight, &out_);
  // Enter never comes: the end of input ends the program, and the screen
  // shows the selection as it was.
  ExpectStoppedByEndOfInput(EditField(test::Context().console, &text, 1, 1, 10, 10, true));
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(GridOf(test::Context().console).Attr(0, 0) >> 4, 8);
  EXPECT_EQ(GridOf(test::Context().console).Attr(1, 0) >> 4, 8);
  EXPECT_EQ(GridOf(test::Context().console).Attr(2, 0) >> 4, 0);
}

TEST_F(FieldEditorTest, MagnifierStripOverdrawsTheTopRowInItsColours) {
  MagnifierSettings m;
  m.factor = 4;
  test::Context().config.console_override = nullptr;
  test::Context().config.magnifier_override = &m;
  std::string text = "abc";
  test::UseMemoryConsole(kEnd, &out_);
  ExpectStoppedByEndOfInput(EditField(test::Context().console, &text, 1, 5, 40, 40, true));
  EXPECT_TRUE(GridOf(test::Context().console).has_overlay());
  EXPECT_EQ(GridOf(test::Context().console).ShownCell(0, 0), 'a');
  EXPECT_EQ(GridOf(test::Context().console).ShownAttr(0, 0), 0x6E);  // letters 14 on 6
  EXPECT_EQ(GridOf(test::Context().console).ShownAttr(2, 0), 0x63);  // before the cursor: 3
  EXPECT_EQ(GridOf(test::Context().console).ShownCell(20, 0), ' ');  // 80 / 4 characters
}

// An empty field's strip shows where typing goes before the first key: the
// cursor's cell on the cursor colour.
TEST_F(FieldEditorTest, MagnifierStripShowsTheCursorOfAnEmptyFieldAtOnce) {
  MagnifierSettings m;
  m.factor = 2;
  test::Context().config.console_override = nullptr;
  test::Context().config.magnifier_override = &m;
  std::string text;
  test::UseMemoryConsole("", &out_);
  ExpectStoppedByEndOfInput(EditField(test::Context().console, &text, 1, 5, 40, 40, true));
  ASSERT_TRUE(GridOf(test::Context().console).has_overlay());
  int row = GridOf(test::Context().console).OverlayRow(1);
  EXPECT_EQ(GridOf(test::Context().console).ShownAttr(0, row), 0x3E);  // letters 14 on the cursor colour 3
  EXPECT_EQ(GridOf(test::Context().console).ShownAttr(1, row), 0x6E);
}

TEST_F(FieldEditorTest, ReadEditedLineWritesTheLineAndEscGivesNothing) {
  test::UseMemoryConsole("olá\r", &out_);
  ConsoleWrite(test::Context().console, "Nome: ");
  EXPECT_EQ(ReadEditedLine(test::Context().console), "ol\xe1");
  EXPECT_EQ(out_, "Nome: olá\n");
  EXPECT_EQ(WhereY(test::Context().console), 2);
  out_.clear();
  test::UseMemoryConsole("abc\x1b", &out_);
  ConsoleWrite(test::Context().console, "? ");
  EXPECT_EQ(ReadEditedLine(test::Context().console), "");
  EXPECT_EQ(GridOf(test::Context().console).RowText(0).substr(0, 6), "?     ");
  EXPECT_EQ(out_, "? \n");
}

TEST_F(FieldEditorTest, FieldPastTheRightEdgeStillTakesKeys) {
  test::UseMemoryConsole("abc\r", &out_);
  ConsoleWrite(test::Context().console, std::string(80, '-'));  // the cursor is parked past the last column
  EXPECT_EQ(ReadEditedLine(test::Context().console), "abc");
  EXPECT_EQ(WhereY(test::Context().console), 2);
}

TEST_F(FieldEditorTest, EditFieldAtRunsToTheRightEdge) {
  std::string text;
  test::UseMemoryConsole(std::string(100, 'x') + "\r", &out_);
  EXPECT_EQ(EditFieldAt(test::Context().console, &text, 1, 3, 200, true), 13);
  EXPECT_EQ(text, std::string(100, 'x'));
  EXPECT_EQ(GridOf(test::Context().console).RowText(2), std::string(78, 'x') + "  ");
}

}  // namespace
}  // namespace kal
