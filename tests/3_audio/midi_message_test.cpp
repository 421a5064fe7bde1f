// Packing and unpacking the language's MIDI short messages, and the real
// parallel port's refusals where there is no port.
#include <gtest/gtest.h>

#include "3_audio/midi_message.h"
#include "1_platform/parallel_port.h"

namespace kal::test {
namespace {

MidiBytes Decoded(uint32_t packed) {
  MidiBytes m;
  EXPECT_TRUE(DecodeShortMessage(packed, &m)) << std::hex << packed;
  return m;
}

TEST(MidiMessage, PacksAsTheLanguageWritesIt) {
  EXPECT_EQ(BuildShortMessage(0x90, 60, 100), 0x90u + 60u * 256u + 100u * 65536u);
  EXPECT_EQ(BuildShortMessage(0xC9, 5), 0xC9u + 5u * 256u);
  EXPECT_EQ(BuildShortMessage(0xFF), 0xFFu);
}

TEST(MidiMessage, UnpacksAsManyBytesAsTheStatusCallsFor) {
  EXPECT_EQ(Decoded(BuildShortMessage(0x90, 60, 100)), (MidiBytes{{0x90, 60, 100}, 3}));
  EXPECT_EQ(Decoded(BuildShortMessage(0x8F, 1, 2)), (MidiBytes{{0x8F, 1, 2}, 3}));
  EXPECT_EQ(Decoded(BuildShortMessage(0xE0, 0, 64)), (MidiBytes{{0xE0, 0, 64}, 3}));
  // Program change and channel pressure carry one data byte: the rest of
  // the number is not sent.
  EXPECT_EQ(Decoded(0xC3u + 7u * 256u + 99u * 65536u), (MidiBytes{{0xC3, 7, 0}, 2}));
  EXPECT_EQ(Decoded(BuildShortMessage(0xD0, 40)), (MidiBytes{{0xD0, 40, 0}, 2}));
  EXPECT_EQ(Decoded(BuildShortMessage(0xF3, 2)), (MidiBytes{{0xF3, 2, 0}, 2}));
  EXPECT_EQ(Decoded(BuildShortMessage(0xF2, 1, 2)), (MidiBytes{{0xF2, 1, 2}, 3}));
  EXPECT_EQ(Decoded(0xFFu + 0x1234u * 256u), (MidiBytes{{0xFF, 0, 0}, 1}));
  // Data bytes are seven bits; the top byte of the number is ignored.
  EXPECT_EQ(Decoded(0xFF000090u + 0xBCu * 256u + 0xE4u * 65536u), (MidiBytes{{0x90, 0x3C, 0x64}, 3}));
}

TEST(MidiMessage, NoStatusByteOrAnExclusiveIsNoMessage) {
  MidiBytes m;
  EXPECT_FALSE(DecodeShortMessage(0x3F, &m));
  EXPECT_FALSE(DecodeShortMessage(0, &m));
  EXPECT_FALSE(DecodeShortMessage(60u * 256u + 0x7F, &m));
  EXPECT_FALSE(DecodeShortMessage(0xF0, &m));
}

TEST(PpdevPort, ANameThatIsNoPortDoesNotOpen) {
#ifdef _WIN32
  GTEST_SKIP() << "no parallel port access on this build";
#endif
  std::string err;
  auto missing = MakePpdevPort("/nonexistent/parport0");
  EXPECT_FALSE(missing->Open(&err));
  EXPECT_NE(err.find("/nonexistent/parport0"), std::string::npos) << err;
  EXPECT_FALSE(missing->IsOpen());
  // A file that opens but is no parallel port refuses to be claimed; its
  // registers are then left alone.
  auto not_a_port = MakePpdevPort("/dev/null");
  EXPECT_FALSE(not_a_port->Open(&err));
  EXPECT_NE(err.find("claim"), std::string::npos) << err;
  EXPECT_FALSE(not_a_port->IsOpen());
  not_a_port->WriteData(1);
  EXPECT_EQ(not_a_port->ReadStatus(), 0xFF);
}

}  // namespace
}  // namespace kal::test
