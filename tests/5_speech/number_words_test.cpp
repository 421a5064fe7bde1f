#include "1_platform/platform.h"
#include "4_voices/number_words.h"
#include "5_speech/word_snippets.h"

#include "0_base/latin1.h"
#include "5_speech/time_speech.h"
#include "tests/support/speech_fixture.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {

TEST(NumberToWords, GroupsHundredsAndConjunctions) {
  struct Case {
    uint64_t n;
    const char* words;
  } cases[] = {
      {0, "zero"},
      {7, "sete"},
      {15, "quinze"},
      {20, "vinte"},
      {21, "vinte e um"},
      {100, "cem"},
      {101, "cento e um"},
      {110, "cento e dez"},
      {200, "duzentos"},
      {999, "novecentos e noventa e nove"},
      {1000, "mil "},
      {1001, "mil e um"},
      {1234, "mil e duzentos e trinta e quatro"},
      {2000, "dois mil "},
      {21000, "vinte e um mil "},
      {100000, "cem mil "},
      {1000000, "um milhão "},
      {1000005, "um milhão e cinco"},
      {2500000, "dois milhões e quinhentos mil "},
      {2000000000, "dois bilhões "},
      {1000000000000ULL, "um trilhão "},
      {4294967295ULL, "quatro bilhões duzentos e noventa e quatro milhões novecentos e sessenta e sete mil "
                      "e duzentos e noventa e cinco"},
  };
  for (auto& c : cases) EXPECT_EQ(Latin1ToUtf8(CardinalWords(c.n)), c.words) << c.n;
}

// The recorded voice and Orvan's normaliser read numbers with these same
// words; the edges each of them once handled on its own stay as they were.
TEST(NumberWords, EdgesOrdinalsAndDigitsInLatin1) {
  EXPECT_EQ(CardinalWords(3), "tr\xEAs");
  EXPECT_EQ(CardinalWords(50), "cinq\xFC" "enta");
  EXPECT_EQ(CardinalWords(-5), "zero");
  EXPECT_EQ(Latin1ToUtf8(CardinalWords(kMaxNumber)),
            "novecentos e noventa e nove trilhões novecentos e noventa e nove bilhões novecentos e noventa e nove "
            "milhões novecentos e noventa e nove mil e novecentos e noventa e nove");
  EXPECT_EQ(CardinalWords(kMaxNumber + 1), CardinalWords(kMaxNumber));
  // Only a number that begins with one thousand drops its "um".
  EXPECT_EQ(Latin1ToUtf8(CardinalWords(1001000)), "um milhão e um mil ");
  EXPECT_EQ(Latin1ToUtf8(OrdinalWords(1999, Gender::kFeminine)), "milésima nongentésima nonagésima nona");
  EXPECT_EQ(Latin1ToUtf8(OrdinalWords(7, Gender::kMasculine)), "sétimo");
  EXPECT_EQ(Latin1ToUtf8(OrdinalWords(2000, Gender::kFeminine)), "dois mil ");
  EXPECT_EQ(OrdinalWords(0, Gender::kFeminine), "zero");
  EXPECT_EQ(Latin1ToUtf8(DigitWord(3)), "três");
  EXPECT_EQ(DigitWord(10), "zero");
}

std::string Names(uint64_t n, bool feminine = false) {
  std::string s;
  for (auto& name : SnippetNames(CardinalWords(n), feminine)) s += Latin1ToUtf8(name) + " ";
  return s;
}

TEST(SnippetNames, CutToEightCharactersWithoutTildes) {
  EXPECT_EQ(Names(17), "_dezeset ");
  EXPECT_EQ(Names(16), "_dezesse ");
  EXPECT_EQ(Names(45), "_quarent _e _cinco ");
  EXPECT_EQ(Names(50), "_cinqüen ");
  EXPECT_EQ(Names(3000000), "_três _milhoes ");
  EXPECT_EQ(Names(1000000000000ULL), "_um _trilhao ");
  EXPECT_EQ(Names(1, true), "_uma ");
  EXPECT_EQ(Names(22, true), "_vinte _e _duas ");
  EXPECT_EQ(Names(12, true), "_doze ");
}

class TimeSpeech : public SpeechFixture {
 protected:
  void At(int h, int m, int y = 2026, int mo = 12, int d = 8) {
    now_ = LocalTime{y, mo, d, 0, h, m, 0, 0};
    Context().platform.pinned_time = &now_;
  }
  void TearDown() override {
    Context().platform.pinned_time = nullptr;
    SpeechFixture::TearDown();
  }
  // Only the snippets and named sounds, in order.
  std::string Heard() {
    std::string s;
    for (auto& l : CapturedSpeech(Context().speech_log)) {
      size_t p = l.find_first_not_of(' ');
      if (l.compare(p, 8, "snippet ") == 0) s += l.substr(p + 8) + " ";
      else if (l.compare(p, 5, "play ") == 0) s += l.substr(p + 5) + " ";
    }
    return s;
  }
  LocalTime now_{};
};

TEST_F(TimeSpeech, HoursAreFeminineAndMinutesNamedWithFullAnnouncements) {
  InitSpeech(Context().speech, 0, "");
  At(1, 1);
  ClearCapturedSpeech(Context().speech_log);
  SpeakTime(Context().speech);
  EXPECT_EQ(Heard(), "_uma _hora _um _minuto ");
  At(2, 0);
  ClearCapturedSpeech(Context().speech_log);
  SpeakTime(Context().speech);
  EXPECT_EQ(Heard(), "_duas _horas ");
  At(0, 45);
  ClearCapturedSpeech(Context().speech_log);
  SpeakTime(Context().speech);
  EXPECT_EQ(Heard(), "_zero _hora _quarent _e _cinco _minutos ");
}

TEST_F(TimeSpeech, ShortAnnouncementsSayEHora) {
  WriteFile("config/Talven/Talven.ini", "[TALVEN]\r\nFALARTUDO=Nao\r\n");
  InitSpeech(Context().speech, 0, "");
  At(13, 5);
  ClearCapturedSpeech(Context().speech_log);
  SpeakTime(Context().speech);
  EXPECT_EQ(Heard(), "_treze _EHORA _cinco ");
}

TEST_F(TimeSpeech, DateReadsWeekdayDayMonthAndYear) {
  InitSpeech(Context().speech, 0, "");
  At(9, 0, 2026, 12, 8);  // a Tuesday
  ClearCapturedSpeech(Context().speech_log);
  SpeakDate(Context().speech);
  EXPECT_EQ(Heard(), "_Terca _oito _de _Dezembr _de _dois _mil _e _vinte _e _seis ");
  At(9, 0, 2027, 2, 1);  // a Monday
  ClearCapturedSpeech(Context().speech_log);
  SpeakDate(Context().speech);
  EXPECT_EQ(Heard(), "_Segunda _primeir _de _Feverei _de _dois _mil _e _vinte _e _sete ");
}

TEST_F(TimeSpeech, SnippetsAreJoinedIntoBuffersOfAtMost30000Bytes) {
  InitSpeech(Context().speech, 0, "");
  std::string big = Ramp(20000);
  WriteWave(DriveC("ferlan/som/letras/_vinte.wav"), big);
  WriteWave(DriveC("ferlan/som/letras/_e.wav"), Ramp(5000));
  WriteWave(DriveC("ferlan/som/letras/_um.wav"), Ramp(8000));
  SpeakWords(Context().speech, CardinalWords(21), false);
  // vinte + e fit (25000); um would pass 30000, so the first two play first.
  EXPECT_EQ(audio_->AllData().size(), 33000u);
  EXPECT_EQ(audio_->AllData().substr(0, 20000), big);
  SpeakWords(Context().speech, "nada existe", false);  // missing snippets are skipped
  EXPECT_EQ(audio_->AllData().size(), 33000u);
  // A snippet longer than the whole buffer is played up to its size.
  WriteWave(DriveC("ferlan/som/letras/_cem.wav"), Ramp(45000));
  SpeakWords(Context().speech, "cem", false);
  EXPECT_EQ(audio_->AllData().size(), 63000u);
}

}  // namespace kal::test
