// Letter recordings for benchmarks that speak without an installation: one
// short wave per character name (_32.wav to _255.wav) and _unknown.wav, all
// the same square tone of about a quarter of a second, written into the
// folder given (created). The speech layer finds them where an installed
// system keeps its own (under the drives folder, c:\ferlan\som\letras).
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "0_base/wave_format.h"

namespace bench {

inline void WriteScratchLetters(const std::filesystem::path& letters) {
  std::filesystem::create_directories(letters);
  std::string pcm(2500, '\0');  // about a quarter of a second, like a letter name
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<char>(128 + 60 * ((i / 20) % 2 ? 1 : -1));
  std::string image = kal::MakeWaveImage(pcm, 11025, 1, 8);
  for (int c = 32; c < 256; ++c) std::ofstream(letters / ("_" + std::to_string(c) + ".wav"), std::ios::binary) << image;
  std::ofstream(letters / "_unknown.wav", std::ios::binary) << image;
}

}  // namespace bench
