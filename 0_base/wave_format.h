// The RIFF/WAVE layout the player reads and the tools write: a "RIFF"
// header, a "fmt " chunk first, and a "data" chunk somewhere after it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kal {

struct WaveInfo {
  int rate = 0;
  int channels = 0;
  int bits = 0;
};

// A PCM format the player can play: 1 or 2 channels of 8 or 16 bits at a
// sane rate. Anything else is treated as a broken file.
bool PlayableFormat(const WaveInfo& info);

// Reads the format fields from the body of a "fmt " chunk.
bool ParseFormatChunk(std::string_view body, WaveInfo* info);

// Finds the format and the sample data of a complete in-memory image
// ("RIFF" at 0, "fmt " at 12). False when it is not such an image.
bool ParseWaveImage(std::string_view image, WaveInfo* info, std::string_view* data);

// A complete wave image (44-byte header) around PCM data.
std::string MakeWaveImage(std::string_view pcm, int rate, int channels, int bits);

uint32_t ReadLe32(const char* p);
uint16_t ReadLe16(const char* p);

}  // namespace kal
