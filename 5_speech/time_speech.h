// The clock and the calendar read aloud from recordings: the hour in the
// feminine ("uma", "duas"), minutes, weekday, day, month and year.
#pragma once

namespace kal {

void SpeakTime();
// Reads the given hour (0-99) and minute (0-99) the way SpeakTime reads the
// clock.
void SpeakTimeOf(int hour, int minute);
void SpeakDate();

}  // namespace kal
