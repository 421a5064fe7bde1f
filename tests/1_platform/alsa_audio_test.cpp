// The ALSA device writes the queue as queued, and silence around it
// (through ALSA's file plugin, which keeps every byte); the play queue converts to the mixing format and
// adds the mix; a device that cannot open gives way to the second choice.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "1_platform/audio.h"
#include "1_platform/fallback_audio.h"
#include "1_platform/pcm_queue.h"
#include "1_platform/unavailable_backends.h"
#include "1_platform/wave_file_audio.h"
#include "tests/support/temp_folder.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

TEST(AlsaAudio, WritesTheQueueAsQueued) {
#if !KALDORIN_HAVE_ALSA
  GTEST_SKIP() << "built without ALSA";
#else
  auto dir = std::filesystem::temp_directory_path() / ("kal_alsa_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto out = dir / "out.raw";
  std::ofstream(dir / "asound.conf") << "pcm.!default { type file slave.pcm \"nothing\" file \"" << out.string()
                                     << "\" format \"raw\" }\npcm.nothing { type null }\n";
  test::ScopedEnv config("ALSA_CONFIG_PATH", (dir / "asound.conf").string());
  {
    auto device = MakeAlsaAudio();
    std::string err;
    ASSERT_TRUE(device->Open(-1, AudioFormat{11025, 8, 1}, &err)) << err;
    std::string pcm(3675, '\0');
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<char>(20 + (i * 7) % 200);
    EXPECT_EQ(device->Queue(reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size()), kAudioOk);
    // The null device takes what it is given at once: the queue is taken
    // at once, among the silence the device plays while it is open.
    for (int i = 0; i < 2000 && device->QueuedBytes() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(device->QueuedBytes(), 0u);
    EXPECT_GT(device->BufferMs(), 0);
    device->Close();
    std::string written = test::ReadFileBytes(out);
    EXPECT_NE(written.find(pcm), std::string::npos) << written.size();
    EXPECT_EQ(written.find_first_not_of('\x80'), written.find(pcm));
  }
  std::filesystem::remove_all(dir);
#endif
}

class Constant : public AudioMixSource {
 public:
  void Render(float* out, int frames) override {
    for (int i = 0; i < 2 * frames; ++i) out[i] += 0.25f;
  }
};

TEST(PcmQueue, ConvertsToTheMixFormatAndAddsTheMix) {
  PcmQueue q;
  q.SetFormat(AudioFormat{11025, 8, 1}, true);
  const uint8_t samples[] = {128, 192, 64};  // 0, +16384, -16384
  ASSERT_TRUE(q.Append(samples, sizeof samples));
  // 11025 Hz is a quarter of the mix rate: four frames per sample, in steps
  // from one sample to the next; the last one held; then silence.
  int16_t out[2 * 16];
  q.Fill(reinterpret_cast<uint8_t*>(out), sizeof out);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[2], 4096);
  EXPECT_EQ(out[3], 4096);  // mono goes to both sides
  EXPECT_EQ(out[8], 16384);
  EXPECT_EQ(out[12], 0);
  EXPECT_EQ(out[16], -16384);
  EXPECT_EQ(out[24], 0);
  EXPECT_EQ(q.QueuedBytes(), 0u);

  Constant mix;
  q.SetMix(&mix);
  q.Fill(reinterpret_cast<uint8_t*>(out), sizeof out);
  EXPECT_EQ(out[5], 8191);

  // In the queue's own format the bytes go as they are, then silence.
  q.SetFormat(AudioFormat{11025, 8, 1}, false);
  ASSERT_TRUE(q.Append(samples, sizeof samples));
  uint8_t raw[5];
  q.Fill(raw, sizeof raw);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(raw), 5), std::string("\x80\xC0\x40\x80\x80", 5));
}

TEST(FallbackAudio, ADeviceThatCannotOpenGivesWayToTheSecond) {
  auto path = std::filesystem::temp_directory_path() / ("kal_fallback_" + std::to_string(getpid()) + ".wav");
  int made = 0;
  auto device = MakeFallbackAudio(MakeNoAudio("no sound here"), [&] {
    ++made;
    return MakeWaveFileAudio(path.string(), test::TestLoop());
  });
  std::string err;
  EXPECT_TRUE(device->Open(-1, AudioFormat{}, &err)) << err;
  EXPECT_TRUE(device->IsOpen());
  device->Close();
  EXPECT_TRUE(device->Open(-1, AudioFormat{}, &err));
  EXPECT_EQ(made, 1);
  device.reset();
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace kal
