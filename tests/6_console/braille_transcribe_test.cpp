#include "6_console/braille_transcribe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "0_base/latin1.h"

namespace kal {
namespace {

struct Case {
  const char* text;    // UTF-8, converted to Latin-1 before transcription
  const char* braille; // UTF-8 of the expected Latin-1 result
};

// Each case starts with no parenthesis open.
void ExpectAll(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    bool paren = false;
    EXPECT_EQ(Latin1ToUtf8(TranscribeBraille(L1(c.text), &paren)), c.braille) << "text: " << c.text;
  }
}

TEST(TranscribeBraille, CapitalsAndRunsOfCapitals) {
  ExpectAll({
      {"Casa", "{casa"},
      {"ONU e", "{{onu e"},
      {"ONUs", "{{onu~s"},
      {"ÁGUA", "{{água"},
      {"Édipo", "{édipo"},
      {"A", "{a"},
      {"casa-grande", "casa-grande"},
  });
}

TEST(TranscribeBraille, NumbersAndPoints) {
  ExpectAll({
      {"123", "#abc"},
      {"1.000", "#a.jjj"},
      {"1.5", "#a.#e"},
      {"3a", "#c~a"},
      {"3k", "#ck"},  // only a-j could be read as digits
      {"2,50", "#b,ej"},
      {"R$ 5", "{r$ #e"},
      {"fim 7.", "fim #g."},
      {"10.000.000", "#aj.jjj.jjj"},
  });
}

TEST(TranscribeBraille, OrdinalsUseLowerDigits) {
  ExpectAll({
      {"1º", "#,o"},
      {"1ª", "#,a"},
      {"2as.", "#;as"},
      {"3os. lugares", "#:os lugares"},
      {"12o.", "#,;o"},
  });
}

TEST(TranscribeBraille, NumericParenthesesAndFractions) {
  ExpectAll({
      {"(2)", "ê#bã"},
      {"[4]", "á#dú"},
      {"(a)", "(.a\\)"},
      {"(2 itens)", "(.#b itens\\)"},
      {"`3/4", "#:4"},
      {"`12", "#,;"},
  });
}

TEST(TranscribeBraille, TextParenthesisIsRememberedFromRowToRow) {
  bool paren = false;
  EXPECT_EQ(TranscribeBraille("(nota", &paren), "(.nota");
  EXPECT_TRUE(paren);
  // The 2 before ")" does not make it the end of a numeric parenthesis.
  EXPECT_EQ(TranscribeBraille("item 2)", &paren), "item #b\\)");
  EXPECT_FALSE(paren);
  EXPECT_EQ(TranscribeBraille("item 2)", &paren), "item #b\xE3");
}

TEST(TranscribeBraille, GraveAccentEscapes) {
  ExpectAll({
      {"`\"", "üü"},  {"`%", "_}}"}, {"`'", "ü"},  {"`(", "ê"},   {"`)", "ã"},
      {"`*", "×"},    {"`X", "×"},   {"`x", "×"},  {"`+", "+"},   {"`-", "-"},
      {"`.", "."},    {"`/", "÷"},   {"`:", "÷"},  {"`=", "="},   {"`E", "\xC2\x80" "e"},
      {"`e", "\xC2\x80" "e"},        {"`O", "°"},  {"`o", "°"},   {"`[", "á"},
      {"`]", "ú"},    {"`^", "å"},   {"`_", "~÷"}, {"`÷", "~÷"},  {"`{", "~l"},
      {"`}", "_,"},   {"``", ""},    {"a``b", "ab"},
      {"`", "`"},     {"`!", "`!"},  // no escape: the accent stays
  });
}

TEST(TranscribeBraille, FullStopAndQuotes) {
  ExpectAll({{".", "."}, {"\"oi\"", "\"oi\""}});
  bool paren = false;
  EXPECT_EQ(TranscribeBraille("\x93oi\x94", &paren), "\"oi\"");  // typographic quotes
}

// Every entry of the symbol table, written as Latin-1 bytes.
TEST(TranscribeBraille, SymbolTable) {
  struct Byte {
    uint8_t in;
    const char* out;  // Latin-1
  };
  const std::vector<Byte> table = {
      {'#', "#"},        {'%', "_}"},       {'(', "(."},       {')', "\\)"},       {'*', "*"},
      {'/', "\\,"},      {'?', "?"},        {'[', "[."},       {'\\', "~."},       {']', "\\]"},
      {'_', "_"},        {128, "\x80" "e"}, {133, "..."},      {223, "\xAC" "b"},  {137, "_}}"},
      {145, "$\""},      {146, "$\""},      {149, "\xF5o"},    {150, "--"},        {151, "--"},
      {173, "--"},       {156, "oe"},       {167, "ss"},       {171, "\\\""},      {187, "\\\""},
      {178, "\xE5#b"},   {179, "\xE5#c"},   {185, "\xE5#a"},   {188, "#,d"},       {189, "#,b"},
      {190, "#:d"},      {'!', "!"},        {215, "\xD7"},     {'-', "-"},
  };
  for (const Byte& b : table) {
    bool paren = false;
    EXPECT_EQ(TranscribeBraille(std::string(1, static_cast<char>(b.in)), &paren), b.out) << "byte " << int(b.in);
  }
}

TEST(TranscribeBraille, LowerCaseRangeIsCopiedAsItIs) {
  // æ is in the lower-case range, which is copied before symbols are looked at.
  ExpectAll({{"ação", "ação"}, {"æ", "æ"}, {"ÿ", "ÿ"}});
}

TEST(TranscribeBraille, EmptyAndBlankRows) {
  ExpectAll({{"", ""}, {"   ", "   "}});
}

}  // namespace
}  // namespace kal
