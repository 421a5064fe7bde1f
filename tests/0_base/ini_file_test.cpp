#include "0_base/ini_file.h"

#include <gtest/gtest.h>

namespace kal::test {

std::string Lookup(const std::string& text, const std::string& section, const std::string& key) {
  std::string v;
  return IniLookup(text, section, key, &v) ? v : "<absent>";
}

TEST(IniFile, NamesIgnoreCaseAndTheFirstSectionAndKeyWin) {
  std::string text =
      "X=antes\n"
      "[Talven]\n"
      "falando = Sim\n"
      "FALANDO=Nao\n"
      "[TALVEN]\n"
      "PGMTALVEN=c:\\segunda\n"
      "[tradutor]\r\n"
      "  DirLetras  =  c:\\ferlan\\som\\letras  \r\n";
  EXPECT_EQ(Lookup(text, "TALVEN", "FALANDO"), "Sim");
  EXPECT_EQ(Lookup(text, "talven", "Falando"), "Sim");
  // Only the first [TALVEN] is searched.
  EXPECT_EQ(Lookup(text, "TALVEN", "PGMTALVEN"), "<absent>");
  EXPECT_EQ(Lookup(text, "TRADUTOR", "dirLetras"), "c:\\ferlan\\som\\letras");
  EXPECT_EQ(Lookup(text, "", "X"), "<absent>");
  EXPECT_EQ(Lookup(text, "NADA", "X"), "<absent>");
}

TEST(IniFile, ValuesAreTrimmedUnquotedAndKeptAsBytes) {
  std::string text =
      "[S]\n"
      "A=\"  com brancos  \"\n"
      "B='x'\n"
      "C=\"meio\"fim\"\n"
      "D=\"\n"
      "E=a ; nao e comentario\n"
      "; F=comentario\n"
      "  ;G=comentario\n"
      "H\n"
      "I=\t\n"
      "J=vers\xE3o \xE9\n"
      "K=\"'misto\"'\n";
  EXPECT_EQ(Lookup(text, "S", "A"), "  com brancos  ");
  EXPECT_EQ(Lookup(text, "S", "B"), "x");
  EXPECT_EQ(Lookup(text, "S", "C"), "meio\"fim");
  EXPECT_EQ(Lookup(text, "S", "D"), "\"");
  EXPECT_EQ(Lookup(text, "S", "E"), "a ; nao e comentario");
  EXPECT_EQ(Lookup(text, "S", "F"), "<absent>");
  EXPECT_EQ(Lookup(text, "S", "G"), "<absent>");
  EXPECT_EQ(Lookup(text, "S", "H"), "");
  EXPECT_EQ(Lookup(text, "S", "I"), "");
  EXPECT_EQ(Lookup(text, "S", "J"), "vers\xE3o \xE9");
  EXPECT_EQ(Lookup(text, "S", "K"), "\"'misto\"'");
}

TEST(IniFile, ReplacingAValueKeepsEveryOtherByte) {
  std::string text =
      "; cabe\xE7" "alho\r\n"
      "[TALVEN]\r\n"
      "  FALANDO = Sim   \r\n"
      "falando=segunda\r\n"
      "\r\n"
      "[VIDEO]\r\n"
      "CORFUNDO=0";
  ASSERT_TRUE(IniSet(&text, "talven", "Falando", "Nao"));
  EXPECT_EQ(text,
            "; cabe\xE7" "alho\r\n"
            "[TALVEN]\r\n"
            "  FALANDO = Nao\r\n"
            "falando=segunda\r\n"
            "\r\n"
            "[VIDEO]\r\n"
            "CORFUNDO=0");
  ASSERT_TRUE(IniSet(&text, "VIDEO", "CORFUNDO", "1"));
  EXPECT_TRUE(text.ends_with("[VIDEO]\r\nCORFUNDO=1"));
}

TEST(IniFile, AMissingKeyGoesAfterTheLastKeyOfItsSection) {
  std::string text =
      "[TALVEN]\n"
      "A=1\n"
      "; nota\n"
      "B=2\n"
      "\n"
      "; a secao de video\n"
      "[VIDEO]\n";
  ASSERT_TRUE(IniSet(&text, "TALVEN", "C", "3"));
  ASSERT_TRUE(IniSet(&text, "VIDEO", "D", "4"));
  EXPECT_EQ(text,
            "[TALVEN]\n"
            "A=1\n"
            "; nota\n"
            "B=2\n"
            "C=3\n"
            "\n"
            "; a secao de video\n"
            "[VIDEO]\n"
            "D=4\n");
}

TEST(IniFile, AMissingSectionIsAddedAtTheEnd) {
  std::string empty;
  ASSERT_TRUE(IniSet(&empty, "TALVEN", "FALANDO", "Sim"));
  EXPECT_EQ(empty, "[TALVEN]\nFALANDO=Sim\n");

  std::string no_final_break = "[A]\r\nX=1";
  ASSERT_TRUE(IniSet(&no_final_break, "B", "Y", "2"));
  EXPECT_EQ(no_final_break, "[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n");

  std::string key_at_end = "[A]\nX=1";
  ASSERT_TRUE(IniSet(&key_at_end, "A", "Y", "2"));
  EXPECT_EQ(key_at_end, "[A]\nX=1\nY=2\n");
}

TEST(IniFile, ABareKeyGetsItsValue) {
  std::string text = "[A]\n  CHAVE  \nZ=1\n";
  ASSERT_TRUE(IniSet(&text, "A", "chave", "v"));
  EXPECT_EQ(text, "[A]\n  CHAVE=v\nZ=1\n");
}

TEST(IniFile, WritesCannotAddLines) {
  std::string text = "[A]\nX=1\n";
  ASSERT_TRUE(IniSet(&text, "A", "X", "bom\r\n[B]\nY=mau"));
  EXPECT_EQ(text, "[A]\nX=bom\n");
  ASSERT_TRUE(IniSet(&text, "A", "X", std::string("a\0b", 3)));
  EXPECT_EQ(text, "[A]\nX=a\n");
  EXPECT_FALSE(IniSet(&text, "A", "K=V", "1"));
  EXPECT_FALSE(IniSet(&text, "A", "K\nL", "1"));
  EXPECT_FALSE(IniSet(&text, "A]", "K", "1"));
  EXPECT_FALSE(IniSet(&text, "A", "", "1"));
  EXPECT_FALSE(IniSet(&text, "A", ";K", "1"));
  EXPECT_EQ(text, "[A]\nX=a\n");
}

TEST(IniFile, RoundTripOfManyWritesReadsBackEachValue) {
  std::string text = "; topo\n[S1]\nK0=v\n";
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(IniSet(&text, "S" + std::to_string(i % 3), "K" + std::to_string(i), "valor" + std::to_string(i)));
  }
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(Lookup(text, "s" + std::to_string(i % 3), "k" + std::to_string(i)), "valor" + std::to_string(i));
  }
  EXPECT_TRUE(text.starts_with("; topo\n[S1]\nK0=v\n"));
}

}  // namespace kal::test
