// The recording lists of the installation cover every recording the speech
// layer can ask for, and the conversions produce the installation's format.
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "0_base/latin1.h"
#include "4_voices/number_words.h"
#include "5_speech/word_snippets.h"
#include "3_audio/wave_convert.h"
#include "0_base/wave_format.h"

namespace kal::test {

namespace {

// The file names (without ".wav") of a list, as Latin-1 as the program
// names them.
std::set<std::string> ListedNames(const std::string& list) {
  std::ifstream in(std::string(KALDORIN_SOURCE_DIR) + "/data/recordings/" + list);
  EXPECT_TRUE(in) << list;
  std::set<std::string> names;
  std::string line;
  while (std::getline(in, line)) {
    size_t tab = line.find('\t');
    EXPECT_NE(tab, std::string::npos) << line;
    EXPECT_GT(line.size(), tab + 1) << "no text: " << line;
    std::string file = line.substr(0, tab);
    EXPECT_EQ(file.substr(file.size() - 4), ".wav");
    names.insert(Utf8ToLatin1(file.substr(0, file.size() - 4)));
  }
  return names;
}

// Goertzel power of one frequency in 8-bit samples.
double Power(std::string_view pcm, double freq, int rate) {
  double k = 2 * std::cos(2 * 3.14159265358979 * freq / rate), s1 = 0, s2 = 0;
  for (unsigned char c : pcm) {
    double s = (c - 128) + k * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  return s1 * s1 + s2 * s2 - k * s1 * s2;
}

}  // namespace

TEST(RecordingLists, EveryNumberSnippetIsListed) {
  std::set<std::string> listed = ListedNames("numbers.tsv");
  std::set<std::string> wanted;
  // Each group of three digits is read on its own, so every word a number
  // below a million can need shows up in the numbers below 2000 and in the
  // thousands with a few kinds of remainder.
  auto want = [&](uint64_t n, bool feminine) {
    for (auto& name : SnippetNames(CardinalWords(n), feminine)) wanted.insert(name);
  };
  for (uint64_t n = 0; n < 2000; ++n) want(n, n < 24);
  for (uint64_t k = 0; k < 1000; ++k)
    for (uint64_t r : {0, 1, 2, 16, 17, 100, 101, 999}) want(k * 1000 + r, false);
  for (uint64_t n : {1000000ULL, 2000000ULL, 1000000000ULL, 2000000000ULL, 1000000000000ULL, 2000000000000ULL})
    for (auto& name : SnippetNames(CardinalWords(n), false)) wanted.insert(name);
  for (auto& w : wanted) EXPECT_TRUE(listed.count(w)) << Latin1ToUtf8(w);
  EXPECT_TRUE(listed.count("_zero"));
}

TEST(RecordingLists, EveryCharacterAndSystemSoundIsListed) {
  std::set<std::string> chars = ListedNames("characters.tsv");
  EXPECT_TRUE(chars.count("_0") && chars.count("_12") && chars.count("_unknown"));
  for (int c = 32; c <= 255; ++c) EXPECT_TRUE(chars.count("_" + std::to_string(c))) << c;
  std::set<std::string> sys = ListedNames("system.tsv");
  for (const char* s : {"_DEL", "_APFCPO", "_APICPO", "_CPOAPA", "_FALACI", "_FALDLG", "_VELOC", "_MENOS",
                        "_SEMBAT", "_SEMENER", "_hora", "_horas", "_EHORA", "_minuto", "_minutos", "_de",
                        "_primeir", "_Domingo", "_Segunda", "_Terca", "_Quarta", "_Quinta", "_Sexta", "_Sabado",
                        "_Janeiro", "_Feverei", "_Marco", "_Abril", "_Maio", "_Junho", "_Julho", "_Agosto",
                        "_Setembr", "_Outubro", "_Novembr", "_Dezembr"})
    EXPECT_TRUE(sys.count(s)) << s;
  std::set<std::string> fon = ListedNames("phonetic.tsv");
  EXPECT_TRUE(fon.count("_FON9"));
  for (int c = 'A'; c <= 'Z'; ++c) EXPECT_TRUE(fon.count("_FON" + std::to_string(c)) && fon.count("_FON" + std::to_string(c + 32)));
}

TEST(WaveConvert, TonesAreTheTwoFrequenciesOfTheKey) {
  std::string image = MakeDtmfRecording('5', 150);
  WaveInfo info;
  std::string_view pcm;
  ASSERT_TRUE(ParseWaveImage(image, &info, &pcm));
  EXPECT_EQ(image.size(), 44u + 1653u);
  EXPECT_EQ(info.rate, 11025);
  EXPECT_EQ(info.bits, 8);
  double row = Power(pcm, 770, 11025), col = Power(pcm, 1336, 11025);
  for (double other : {697.0, 852.0, 941.0, 1209.0, 1477.0}) {
    EXPECT_GT(row, 20 * Power(pcm, other, 11025)) << other;
    EXPECT_GT(col, 20 * Power(pcm, other, 11025)) << other;
  }
  EXPECT_TRUE(MakeDtmfRecording('x', 150).empty());
}

TEST(WaveConvert, SpeechBecomesEightBitMonoAt11025WithoutSilenceAround) {
  // Half a second of silence, 0.2 s of a 440 Hz tone, half a second of
  // silence, 16-bit stereo at 22050 Hz.
  std::string pcm;
  for (int i = 0; i < 22050 * 6 / 5; ++i) {
    double t = i / 22050.0;
    int16_t v = (t >= 0.5 && t < 0.7) ? static_cast<int16_t>(12000 * std::sin(2 * 3.14159265 * 440 * t)) : 0;
    for (int ch = 0; ch < 2; ++ch) {
      pcm.push_back(static_cast<char>(v & 0xFF));
      pcm.push_back(static_cast<char>((v >> 8) & 0xFF));
    }
  }
  std::string rec, err;
  ASSERT_TRUE(ConvertToRecording(MakeWaveImage(pcm, 22050, 2, 16), &rec, &err));
  WaveInfo info;
  std::string_view out;
  ASSERT_TRUE(ParseWaveImage(rec, &info, &out));
  EXPECT_EQ(info.rate, 11025);
  EXPECT_EQ(info.channels, 1);
  EXPECT_EQ(info.bits, 8);
  EXPECT_NEAR(static_cast<double>(out.size()), 0.22 * 11025, 0.02 * 11025);
  EXPECT_GT(Power(out, 440, 11025), 100 * Power(out, 1000, 11025));
  EXPECT_FALSE(ConvertToRecording("RIFF nothing", &rec, &err));
}

}  // namespace kal::test
