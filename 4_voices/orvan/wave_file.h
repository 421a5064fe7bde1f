// The 44-byte RIFF/WAVE header of 16-bit mono PCM, and the patch of its two
// size fields once a wave file written in pieces is complete.
#pragma once

#include <cstdint>
#include <string>

namespace kal {

std::string WaveHeader(uint32_t data_bytes, int sample_rate);
// Sets the RIFF and data sizes from the file's length; false when the file
// cannot be opened or is shorter than a header.
bool PatchWaveFileSizes(const std::string& path);

}  // namespace kal
