// The console's square-wave beeps (the braille keyboard's signals): a
// one-second wave of the frequency, played until NoSound.
#pragma once

#include <string>

namespace kal {

struct WavePlayer;

// One second of 8-bit mono 11025 Hz square wave: whole periods of
// 11025 / frequency samples, the first half at 96, the second at 160, the
// last sample 128.
std::string MakeSquareWave(int frequency);

// Starts the beep on the player (a previous one is stopped first); logged
// as "sound FREQ".
void Sound(WavePlayer& player, int frequency);
// Stops it; logged as "nosound".
void NoSound(WavePlayer& player);

}  // namespace kal
