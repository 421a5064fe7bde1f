// ACIONA's key names and combinations, JANELA's title patterns and the
// accent table of the typing rule.
#include <gtest/gtest.h>

#include "8_interpreter/key_names.h"
#include "8_interpreter/key_typing.h"
#include "8_interpreter/title_pattern.h"

namespace kal::test {
namespace {

KeyCombination Parsed(std::string_view text) {
  KeyCombination k;
  EXPECT_TRUE(ParseKeyCombination(text, &k)) << text;
  return k;
}

bool Refused(std::string_view text) {
  KeyCombination k;
  return !ParseKeyCombination(text, &k);
}

TEST(KeyNames, TheTableGivesItsCodes) {
  struct {
    const char* name;
    int vk;
  } const cases[] = {{"UP", 38},     {"DOWN", 40},    {"LEFT", 37},     {"RIGHT", 39},  {"ESCAPE", 27},
                     {"ESC", 27},    {"ENTER", 13},   {"RETURN", 13},   {"BACKSPACE", 8}, {"TAB", 9},
                     {"INS", 45},    {"HOME", 36},    {"DEL", 46},      {"DELETE", 46}, {"END", 35},
                     {"PAGEUP", 33}, {"PRIOR", 33},   {"PAGEDN", 34},   {"NEXT", 34},   {"SNAPSHOT", 44},
                     {"F1", 112},    {"F9", 120},     {"F10", 121},     {"F12", 123}};
  for (const auto& c : cases) EXPECT_EQ(VirtualKeyByName(c.name), c.vk) << c.name;
  for (const char* none : {"F0", "F13", "F01", "F", "PAGEDOWN", "up", "ESCAPES", ""})
    EXPECT_EQ(VirtualKeyByName(none), 0) << none;
}

TEST(KeyNames, PrefixesComeOnceEachInTheirOrder) {
  KeyCombination k = Parsed("CTRL+SHIFT+ESC");
  EXPECT_EQ(k.vk, 27);
  EXPECT_TRUE(k.ctrl && k.shift && !k.alt);
  k = Parsed("ALT+F4");
  EXPECT_EQ(k.vk, 115);
  EXPECT_TRUE(k.alt && !k.ctrl && !k.shift);
  k = Parsed("CTRL+SHIFT+ALT+DEL");
  EXPECT_TRUE(k.ctrl && k.shift && k.alt);
  EXPECT_EQ(k.vk, 46);
  EXPECT_TRUE(Refused("SHIFT+CTRL+A"));
  EXPECT_TRUE(Refused("ALT+CTRL+A"));
  EXPECT_TRUE(Refused("CTRL+CTRL+A"));
  EXPECT_TRUE(Refused("CTRL+"));
}

TEST(KeyNames, CodesAndSingleCharacters) {
  EXPECT_EQ(Parsed("#65").vk, 65);
  EXPECT_EQ(Parsed("CTRL+#9").vk, 9);
  EXPECT_TRUE(Refused("#0"));
  EXPECT_TRUE(Refused("#256"));
  EXPECT_TRUE(Refused("#6A"));
  EXPECT_TRUE(Refused("#1000"));
  EXPECT_EQ(Parsed("CTRL+A").vk, 'A');
  EXPECT_EQ(Parsed("ALT+7").vk, '7');
  // A punctuation character stands for the key that types it, not for the
  // virtual key of the same number (',' would be 44, the print-screen key).
  KeyCombination comma = Parsed("CTRL+,");
  EXPECT_EQ(comma.vk, 0);
  EXPECT_EQ(comma.character, ',');
  EXPECT_EQ(Parsed("#").character, '#');
  EXPECT_TRUE(Refused("CTRL+AB"));
  EXPECT_TRUE(Refused("NOTAKEY"));
}

TEST(TitlePatterns, TheStarMarksTheAnchoredSide) {
  EXPECT_TRUE(TitleMatches("Bloco de notas", "*bloco"));
  EXPECT_FALSE(TitleMatches("Meu bloco de notas", "*bloco"));
  EXPECT_TRUE(TitleMatches("Meu bloco de notas", "NOTAS*"));
  EXPECT_FALSE(TitleMatches("Notas do dia", "notas*"));
  EXPECT_TRUE(TitleMatches("Meu bloco de notas", "bloco"));
  EXPECT_TRUE(TitleMatches("notas e notas", "*notas*"));
  EXPECT_FALSE(TitleMatches("notas e mais", "*notas*"));
  EXPECT_TRUE(TitleMatches("qualquer", "*"));
  EXPECT_FALSE(TitleMatches("ab", "*abc"));
  EXPECT_FALSE(TitleMatches("ab", "abc*"));
}

TEST(TitlePatterns, CaseIsIgnoredAccentsIncludedAndOnly143CharactersCount) {
  EXPECT_TRUE(TitleMatches("A\xC7\xC3O - Editor", "*a\xE7\xE3o"));  // AÇÃO against ação
  std::string title = std::string(140, 'x') + "fim do titulo";
  EXPECT_TRUE(TitleMatches(title, "xfim"));
  EXPECT_FALSE(TitleMatches(title, "fim do"));
  EXPECT_FALSE(TitleMatches(title, "titulo*"));
}

TEST(AccentTable, LettersWithAccentsSplitIntoAccentAndBase) {
  struct {
    uint8_t c, accent, base;
  } const cases[] = {{0xE3, '~', 'a'},  {0xC3, '~', 'A'},  {0xE9, 0xB4, 'e'}, {0xC0, '`', 'A'},
                     {0xF4, '^', 'o'},  {0xFC, 0xA8, 'u'}, {0xF1, '~', 'n'},  {0xD1, '~', 'N'},
                     {0xFD, 0xB4, 'y'}, {0xFF, 0xA8, 'y'}, {0x9F, 0xA8, 'Y'}, {0xCF, 0xA8, 'I'}};
  for (const auto& c : cases) {
    uint8_t accent = 0, base = 0;
    ASSERT_TRUE(AccentOf(c.c, &accent, &base)) << int(c.c);
    EXPECT_EQ(accent, c.accent) << int(c.c);
    EXPECT_EQ(base, c.base) << int(c.c);
  }
  for (uint8_t plain : {0xE7, 0xC7, 0xC5, 0xE5, 0xC6, 0xD8, 0xDF, 0xA9, 0xD7, 0xF7, 0xD0}) {
    uint8_t accent, base;
    EXPECT_FALSE(AccentOf(plain, &accent, &base)) << int(plain);
  }
}

}  // namespace
}  // namespace kal::test
