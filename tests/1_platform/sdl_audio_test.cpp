// The real audio device through SDL's disk driver: what the player queues
// comes out, sample for sample, in the file the driver writes, paced in real
// time.
#include <algorithm>
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
#include "1_platform/pump.h"
#include "tests/support/memory_console.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/temp_folder.h"

namespace kal::test {

TEST(SdlAudio, PlaysAFileThroughTheDiskDriver) {
#if !KALDORIN_HAVE_SDL2
  GTEST_SKIP() << "built without SDL2";
#else
  auto dir = std::filesystem::temp_directory_path() / "kal_sdl_disk";
  std::filesystem::create_directories(dir);
  auto out = dir / "out.raw";
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv file("SDL_DISKAUDIOFILE", out.string());
  test::UseRealLoop();
  std::string console;
  UseMemoryConsole("", &console);
  SetAudio(Context().platform, MakeSdlAudio());

  // A third of a second of a recognisable pattern.
  std::string pcm(3675, '\0');
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<char>(20 + (i * 7) % 200);
  auto wav = dir / "in.wav";
  std::ofstream(wav, std::ios::binary) << MakeWaveImage(pcm, 11025, 1, 8);
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(PlayWaveFile(Context().player, wav.string()), 0);
  double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  SetAudio(Context().platform, nullptr);

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

#if KALDORIN_HAVE_SDL2
namespace {
// A steady tone made on the device's thread, a quarter of full scale.
class ToneSource : public AudioMixSource {
 public:
  void Render(float* out, int frames) override {
    for (int i = 0; i < frames; ++i, ++n_) {
      float v = (n_ / 22) % 2 ? 0.25f : -0.25f;  // about 1 kHz at the mix rate
      out[2 * i] = out[2 * i + 1] = v;
    }
  }

 private:
  long n_ = 0;
};

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

int MaxLevel(const std::string& s16) {
  int peak = 0;
  for (size_t i = 0; i + 1 < s16.size(); i += 2) {
    int v = static_cast<int16_t>(static_cast<uint8_t>(s16[i]) | static_cast<uint8_t>(s16[i + 1]) << 8);
    peak = std::max(peak, std::abs(v));
  }
  return peak;
}
}  // namespace
#endif

// A mix source plays on its own, then with a wave the player queues in
// another format: the device keeps playing the mix and adds the wave.
TEST(SdlAudio, MixesASourceWithTheQueue) {
#if !KALDORIN_HAVE_SDL2
  GTEST_SKIP() << "built without SDL2";
#else
  auto dir = std::filesystem::temp_directory_path() / "kal_sdl_mix";
  std::filesystem::create_directories(dir);
  auto out = dir / "out.raw";
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv file("SDL_DISKAUDIOFILE", out.string());
  test::UseRealLoop();
  std::string console;
  UseMemoryConsole("", &console);
  SetAudio(Context().platform, MakeSdlAudio());

  ToneSource tone;
  std::string err;
  ASSERT_TRUE(Audio(Context().platform).AttachMix(&tone, -1, &err)) << err;
  EXPECT_FALSE(Audio(Context().platform).IsOpen());  // the queue side is not open yet
  Delay(Context().platform, 200);
  int tone_alone = MaxLevel(ReadAll(out));

  std::string pcm(3300, '\0');  // 0.3 s of a loud 8-bit square wave at 11025 Hz
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<char>((i / 20) % 2 ? 250 : 6);
  auto wav = dir / "in.wav";
  std::ofstream(wav, std::ios::binary) << MakeWaveImage(pcm, 11025, 1, 8);
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(PlayWaveFile(Context().player, wav.string()), 0);
  double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  int together = MaxLevel(ReadAll(out));
  Audio(Context().platform).DetachMix();
  EXPECT_TRUE(Audio(Context().platform).IsOpen());  // the player's side stays open
  SetAudio(Context().platform, nullptr);

  EXPECT_EQ(console, "");
  EXPECT_NEAR(tone_alone, 8191, 300);  // 16-bit at a quarter of full scale
  EXPECT_GT(together, 20000);         // the wave came on top of the tone
  // The disk driver sleeps a whole number of milliseconds per buffer: with
  // the mixing device's 256-frame buffers (5.8 ms) it sleeps 5 ms and runs
  // about 14% faster than real time, so 0.3 s of sound drains in ~0.26 s.
  EXPECT_GE(took, 0.24);
  EXPECT_LT(took, 1.5);
  std::filesystem::remove_all(dir);
#endif
}

}  // namespace kal::test
