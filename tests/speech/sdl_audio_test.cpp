// The real audio device through SDL's disk driver: what the player queues
// comes out, sample for sample, in the file the driver writes, paced in real
// time.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "6_console/console.h"
#include "0_base/wave_format.h"
#include "3_audio/wave_player.h"
#include "1_platform/audio.h"
#include "1_platform/event_loop.h"

namespace kal::test {

TEST(SdlAudio, PlaysAFileThroughTheDiskDriver) {
#if !KALDORIN_HAVE_SDL2
  GTEST_SKIP() << "built without SDL2";
#else
  auto dir = std::filesystem::temp_directory_path() / "kal_sdl_disk";
  std::filesystem::create_directories(dir);
  auto out = dir / "out.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  SetLoop(MakePollEventLoop());
  std::string console;
  ResetConsoleForTest("", &console);
  ResetWavePlayer();
  SetAudio(MakeSdlAudio());

  // A third of a second of a recognisable pattern.
  std::string pcm(3675, '\0');
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<char>(20 + (i * 7) % 200);
  auto wav = dir / "in.wav";
  std::ofstream(wav, std::ios::binary) << MakeWaveImage(pcm, 11025, 1, 8);
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(PlayWaveFile(wav.string()), 0);
  double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  SetAudio(nullptr);
  ResetWavePlayer();
  unsetenv("SDL_AUDIODRIVER");
  unsetenv("SDL_DISKAUDIOFILE");

  EXPECT_EQ(console, "");  // the device opened
  EXPECT_GE(took, 0.30);   // paced: the wait lasted as long as the sound
  EXPECT_LT(took, 1.5);
  std::ifstream in(out, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string written = ss.str();
  // The driver may write silence before the sound; the samples are found
  // somewhere in the file, all but the last one (set to the middle).
  EXPECT_NE(written.find(pcm.substr(0, pcm.size() - 1)), std::string::npos) << written.size();
  std::filesystem::remove_all(dir);
#endif
}

}  // namespace kal::test
