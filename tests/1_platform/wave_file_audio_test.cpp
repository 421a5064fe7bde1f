// The wave-file audio device: real-time draining on the loop's clock and a
// header that stays valid while the file grows.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "1_platform/event_loop.h"
#include "1_platform/wave_file_audio.h"
#include "tests/support/temp_folder.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

uint32_t Le32(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 | static_cast<uint8_t>(s[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

TEST(WaveFileAudio, PlaysInRealTimeAndWritesAValidWave) {
  test::TempFolder tmp;
  std::string path = tmp.path() + "/som.wav";
  auto dev = MakeWaveFileAudio(path, test::TestLoop());
  AudioFormat f{8000, 16, 1};
  ASSERT_TRUE(dev->Open(-1, f, nullptr));
  std::string second(16000, '\x01');  // one second at 8000 Hz, 16 bits
  ASSERT_EQ(dev->Queue(reinterpret_cast<const uint8_t*>(second.data()), second.size()), kAudioOk);
  EXPECT_EQ(dev->QueuedBytes(), 16000u);
  test::TestLoop().Wait(250);
  EXPECT_EQ(dev->QueuedBytes(), 12000u);
  test::TestLoop().Wait(1000);
  EXPECT_EQ(dev->QueuedBytes(), 0u);

  // The header is right while the device is still open, and after more.
  std::string wav = Slurp(path);
  ASSERT_EQ(wav.size(), 44u + 16000u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Le32(wav, 24), 8000u);
  EXPECT_EQ(Le32(wav, 40), 16000u);
  EXPECT_EQ(Le32(wav, 4), 36u + 16000u);

  ASSERT_EQ(dev->Queue(reinterpret_cast<const uint8_t*>(second.data()), 100), kAudioOk);
  dev->Clear();
  EXPECT_EQ(dev->QueuedBytes(), 0u);
  dev->Close();
  EXPECT_FALSE(dev->IsOpen());
  EXPECT_EQ(dev->Queue(reinterpret_cast<const uint8_t*>(second.data()), 2), kAudioInvalidHandle);
  EXPECT_EQ(Le32(Slurp(path), 40), 16100u);
}

TEST(WaveFileAudio, AFileThatCannotBeWrittenRefusesToOpen) {
  test::TempFolder tmp;
  auto dev = MakeWaveFileAudio(tmp.path() + "/no/such/folder/som.wav", test::TestLoop());
  std::string err;
  EXPECT_FALSE(dev->Open(-1, AudioFormat{}, &err));
  EXPECT_NE(err.find("cannot write"), std::string::npos);
  EXPECT_FALSE(dev->IsOpen());
}

}  // namespace
}  // namespace kal
