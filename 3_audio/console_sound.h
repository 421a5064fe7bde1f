// The console's square-wave beeps (the braille keyboard's signals): a
// one-second wave of the frequency, played until NoSound.
#pragma once

#include <string>

namespace kal {

// One second of 8-bit mono 11025 Hz square wave: whole periods of
// 11025 / frequency samples, the first half at 96, the second at 160, the
// last sample 128.
std::string MakeSquareWave(int frequency);

// Starts the beep (a previous one is stopped first); logged as "sound FREQ".
void Sound(int frequency);
// Stops it; logged as "nosound".
void NoSound();

}  // namespace kal
