// The clock and the calendar read aloud from recordings: the hour in the
// feminine ("uma", "duas"), minutes, weekday, day, month and year.
#pragma once

namespace kal {

struct SpeechState;

void SpeakTime(SpeechState& speech);
// Reads the given hour (0-99) and minute (0-99) the way SpeakTime reads the
// clock.
void SpeakTimeOf(SpeechState& speech, int hour, int minute);
void SpeakDate(SpeechState& speech);

}  // namespace kal
