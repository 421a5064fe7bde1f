#include "5_speech/time_speech.h"

#include <string>

#include "4_voices/number_words.h"
#include "5_speech/word_snippets.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "0_base/speech_log.h"
#include "1_platform/event_loop.h"

namespace kal {

namespace {

const char* const kWeekdays[] = {"Domingo", "Segunda", "Terca", "Quarta", "Quinta", "Sexta", "Sabado"};
const char* const kMonths[] = {"Janeiro", "Fevereiro", "Marco",    "Abril",   "Maio",     "Junho",
                               "Julho",   "Agosto",    "Setembro", "Outubro", "Novembro", "Dezembro"};

// Day of the week of a date, Sunday = 0 (Sakamoto's method).
int Weekday(int y, int m, int d) {
  static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 3) y -= 1;
  return (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
}

// The hour and its word, then the minutes and theirs.
void SayHourMinute(SpeechState& s, int h, int m) {
  SpeakWords(s, CardinalWords(h), true);
  if (!FullAnnouncements(s) && m != 0) PlayNamedSound(s, "_EHORA");
  else PlayNamedSound(s, h == 0 || h == 1 ? "_hora" : "_horas");
  if (m == 0) return;
  SpeakWords(s, CardinalWords(m), false);
  if (FullAnnouncements(s)) PlayNamedSound(s, m == 1 ? "_minuto" : "_minutos");
}

}  // namespace

void SpeakTime(SpeechState& s) {
  SpeechLogScope log(SpeechLogOf(s), "time");
  LocalTime now = NowLocal(s.platform);
  SayHourMinute(s, now.hour, now.minute);
}

void SpeakTimeOf(SpeechState& s, int hour, int minute) {
  std::string shown = std::to_string(hour) + ":" + (minute < 10 ? "0" : "") + std::to_string(minute);
  SpeechLogScope log(SpeechLogOf(s), "time", shown);
  SayHourMinute(s, hour, minute);
}

void SpeakDate(SpeechState& s) {
  SpeechLogScope log(SpeechLogOf(s), "date");
  LocalTime now = NowLocal(s.platform);
  int month = now.month < 1 || now.month > 12 ? 1 : now.month;
  PlayNamedSound(s, std::string("_") + kWeekdays[Weekday(now.year, month, now.day)]);
  if (now.day == 1) PlayNamedSound(s, "_primeir");
  else SpeakWords(s, CardinalWords(now.day), false);
  PlayNamedSound(s, "_de");
  PlayNamedSound(s, std::string("_") + std::string(kMonths[month - 1]).substr(0, 7));
  PlayNamedSound(s, "_de");
  SpeakWords(s, CardinalWords(now.year), false);
}

}  // namespace kal
