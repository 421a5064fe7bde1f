#include "5_speech/time_speech.h"

#include <string>

#include "4_voices/number_words.h"
#include "5_speech/word_snippets.h"
#include "5_speech/speech.h"
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
void SayHourMinute(int h, int m) {
  SpeakWords(CardinalWords(h), true);
  if (!FullAnnouncements() && m != 0) PlayNamedSound("_EHORA");
  else PlayNamedSound(h == 0 || h == 1 ? "_hora" : "_horas");
  if (m == 0) return;
  SpeakWords(CardinalWords(m), false);
  if (FullAnnouncements()) PlayNamedSound(m == 1 ? "_minuto" : "_minutos");
}

}  // namespace

void SpeakTime() {
  SpeechLogScope log("time");
  LocalTime now = NowLocal();
  SayHourMinute(now.hour, now.minute);
}

void SpeakTimeOf(int hour, int minute) {
  SpeechLogScope log("time", std::to_string(hour) + ":" + (minute < 10 ? "0" : "") + std::to_string(minute));
  SayHourMinute(hour, minute);
}

void SpeakDate() {
  SpeechLogScope log("date");
  LocalTime now = NowLocal();
  int month = now.month < 1 || now.month > 12 ? 1 : now.month;
  PlayNamedSound(std::string("_") + kWeekdays[Weekday(now.year, month, now.day)]);
  if (now.day == 1) PlayNamedSound("_primeir");
  else SpeakWords(CardinalWords(now.day), false);
  PlayNamedSound("_de");
  PlayNamedSound(std::string("_") + std::string(kMonths[month - 1]).substr(0, 7));
  PlayNamedSound("_de");
  SpeakWords(CardinalWords(now.year), false);
}

}  // namespace kal
