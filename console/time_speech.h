// The clock and the calendar read aloud from recordings: the hour in the
// feminine ("uma", "duas"), minutes, weekday, day, month and year.
#pragma once

namespace kal {

void SpeakTime();
void SpeakDate();

}  // namespace kal
