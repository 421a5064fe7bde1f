// Hostile and random text through the whole chain without MBROLA: the
// stream must stay well formed for the synthesiser, whatever comes in.
#include <gtest/gtest.h>

#include <random>

#include "4_voices/orvan/letter_rules.h"
#include "4_voices/orvan/orvan_engine.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/orvan/prosody.h"
#include "4_voices/orvan/text_normaliser.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::orvan {
namespace {

// "name duration [percent hertz]", a ";" comment, or empty.
bool WellFormed(const std::string& line) {
  if (line.empty() || line[0] == ';') return true;
  size_t blank = line.find(' ');
  if (blank == 0 || blank == std::string::npos) return false;
  for (size_t i = 0; i < blank; ++i) {
    char c = line[i];
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@')) return false;
  }
  int fields = 0;
  for (size_t i = blank; i < line.size(); ++i) {
    if (line[i] == ' ') {
      ++fields;
      continue;
    }
    if (!std::isdigit(static_cast<unsigned char>(line[i]))) return false;
  }
  return fields == 1 || fields == 3;
}

TEST(OrvanRobustness, RandomTextGivesAWellFormedStream) {
  std::string dir = std::string(KALDORIN_SOURCE_DIR) + "/data/orvan/";
  OrvanSettings settings{"", dir, "portug"};
  std::string err;
  OrvanState state{test::Context().player};  // the engine's tables, without MBROLA
  OrvanTables& tables = state.tables;
  ASSERT_TRUE(LoadOrvanWordData(tables, settings, &err));
  SetProsodyMessageSink(tables, [](const std::string&) {});
  ASSERT_TRUE(LoadAbbreviations(tables, dir + "portug.abr"));
  ASSERT_TRUE(LoadProsody(tables, dir + "portug.pro", test::Context().speech_log));
  std::mt19937 rng(7);
  const std::string pieces[] = {"1.000.000", "3,5", "-7", "2º", "1a.", "Sr. ", "...", " - ", "FGTS", "\t",
                                "ção", "?", "!", "(", ")", "9999999999999999999", "0000", "-", ".", " "};
  for (int round = 0; round < 400; ++round) {
    std::string text;
    int n = rng() % 30;
    for (int i = 0; i < n; ++i) {
      if (rng() % 3 == 0) text += pieces[rng() % std::size(pieces)];
      else text += static_cast<char>(rng() % 256);
    }
    for (const std::string& line : OrvanPhonemeStream(state, text)) {
      ASSERT_TRUE(WellFormed(line)) << "line [" << line << "] from text [" << text << "]";
    }
  }
}

}  // namespace
}  // namespace kal::orvan
