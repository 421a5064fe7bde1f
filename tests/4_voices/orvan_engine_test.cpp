// The Orvan engine driver over a scripted synthesiser (calls, chunks,
// padding, failures, keys, output file) and over the real mbrola program.
#include <filesystem>
#include <fstream>
#include <thread>

#include "1_platform/platform.h"
#include "3_audio/wave_player_state.h"
#include "0_base/latin1.h"
#include "1_platform/mbrola.h"
#include "4_voices/orvan/orvan_engine.h"
#include "4_voices/orvan/orvan_state.h"
#include "4_voices/voices.h"
#include "4_voices/orvan/prosody.h"
#include "tests/support/speech_fixture.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

const char* const kBr3 = "/usr/share/mbrola/br3/br3";

// Records the calls; each phoneme line written makes samples_per_line
// samples readable.
struct FakeMbrolaLog {
  std::vector<std::string> calls;
  int creations = 0;
  int samples_per_line = 10;
  bool fail_next_write = false;
  bool fail_init = false;  // the voice's database cannot be opened
};

class FakeMbrola : public MbrolaSynth {
 public:
  explicit FakeMbrola(FakeMbrolaLog* log) : log_(log) { ++log_->creations; }
  int init_MBR(const std::string& db) override { return Call("init " + db), log_->fail_init ? -1 : 0; }
  int write_MBR(std::string_view line) override {
    if (log_->fail_next_write) {
      log_->fail_next_write = false;
      Call("write failed");
      return -1;
    }
    Call("write " + std::string(line));
    if (!line.empty() && line[0] != ';' && line != "\r\n") ready_ += log_->samples_per_line;
    return 0;
  }
  int flush_MBR() override { return Call("flush"), 0; }
  int read_MBR(int16_t* buffer, int count) override {
    int n = std::min(count, ready_);
    for (int i = 0; i < n; ++i) buffer[i] = 1000;
    ready_ -= n;
    return n;
  }
  void reset_MBR() override { Call("reset"); }
  void close_MBR() override { Call("close"); }
  void setNoError_MBR(int v) override { Call("noerror " + std::to_string(v)); }
  int getFreq_MBR() override { return 16000; }

 private:
  void Call(const std::string& c) { log_->calls.push_back(c); }
  FakeMbrolaLog* log_;
  int ready_ = 0;
};

class OrvanEngine : public SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    orvan::SetProsodyMessageSink(State().tables, [](const std::string&) {});
    data_ = dir_ / "orvan";
    std::filesystem::create_directories(data_);
    for (const char* ext : {".nrl", ".exc", ".abr", ".pro"})
      std::filesystem::copy_file(std::string(KALDORIN_SOURCE_DIR) + "/data/orvan/portug" + ext,
                                 data_ / (std::string("portug") + ext));
    WriteAllDiphones();
    SetOrvanSettings(State(), {kBr3, data_.string() + "/", "portug"});
  }
  void TearDown() override {
    OrvanRelease(State());
    Context().platform.mbrola_factory = nullptr;
    SpeechFixture::TearDown();
  }
  // Every pair of the voice's phonemes, so no transitions are inserted.
  void WriteAllDiphones() {
    const char* names[] = {"_", "b", "k", "d", "g", "p", "t", "f", "v", "j", "s", "s2", "x", "z", "m", "n",
                           "nh", "l", "lh", "r", "r2", "rr", "a", "@", "am", "e", "ee", "em", "i", "im", "o",
                           "oo", "om", "u", "um", "y", "w"};
    std::ofstream dfn(data_ / "portug.dfn");
    for (const char* a : names)
      for (const char* b : names) dfn << a << "-" << b << "\n";
  }
  void UseFake() {
    Context().platform.mbrola_factory = [this] { return std::make_unique<FakeMbrola>(&fake_); };
  }
  // The case's engine state, in its fresh voices.
  static OrvanState& State() { return *Context().voices.orvan; }
  static bool HaveMbrola() { return std::filesystem::exists(kBr3) && !FindMbrolaProgram().empty(); }

  std::filesystem::path data_;
  FakeMbrolaLog fake_;
};

TEST_F(OrvanEngine, StartFailsWithTheRecordedErrorOfEachFile) {
  UseFake();
  std::filesystem::remove(data_ / "portug.abr");
  EXPECT_FALSE(OrvanStart(State(), 0, 0, 0, ""));
  EXPECT_EQ(Latin1ToUtf8(OrvanLastError(State())), "Erro no arquivo de abreviaturas");
  std::filesystem::remove(data_ / "portug.exc");
  EXPECT_FALSE(OrvanStart(State(), 0, 0, 0, ""));
  EXPECT_EQ(Latin1ToUtf8(OrvanLastError(State())), "Erro na base de dados de português");
  Context().platform.mbrola_factory = [] { return nullptr; };
  EXPECT_FALSE(OrvanStart(State(), 0, 0, 0, ""));
}

// MBROLA and its voice come in packages of their own, which may be missing:
// each absence is told in words a user can act on.
TEST_F(OrvanEngine, AMissingSynthesiserOrVoiceIsToldAsSuch) {
  Context().platform.mbrola_factory = [] { return nullptr; };
  EXPECT_FALSE(OrvanStart(State(), 0, 0, 0, ""));
  // Where the host has no packages, the message says where to get it.
  EXPECT_EQ(Latin1ToUtf8(OrvanLastError(State())), "Voz Orvan indisponível: o programa mbrola não está instalado. " +
                                                std::string(MbrolaWhereToGet()) + "Fala a voz gravada.");
  fake_.fail_init = true;
  UseFake();
  EXPECT_FALSE(OrvanStart(State(), 0, 0, 0, ""));
  EXPECT_EQ(Latin1ToUtf8(OrvanLastError(State())), std::string("Voz Orvan indisponível: a voz do mbrola não foi encontrada: ") +
                                                kBr3 + ". Fala a voz gravada.");
  // Once both are there the engine starts and the reason is gone.
  fake_.fail_init = false;
  EXPECT_TRUE(OrvanStart(State(), 0, 0, 0, ""));
  EXPECT_EQ(OrvanLastError(State()), "");
}

TEST_F(OrvanEngine, BlankTextMakesNoCall) {
  UseFake();
  ASSERT_TRUE(OrvanStart(State(), 0, 0, 0, ""));
  fake_.calls.clear();
  OrvanSpeak(State(), "   \t ");
  EXPECT_TRUE(fake_.calls.empty());
  EXPECT_TRUE(audio_->pieces().empty());
}

TEST_F(OrvanEngine, UtteranceIsResetWrittenLineByLineAndFlushed) {
  UseFake();
  ASSERT_TRUE(OrvanStart(State(), 0, 0, 0, ""));
  EXPECT_EQ(fake_.calls, (std::vector<std::string>{"init " + std::string(kBr3), "noerror 0"}));
  fake_.calls.clear();
  EXPECT_TRUE(OrvanSpeak(State(), "sol"));
  std::vector<std::string> expected = {"reset", "noerror -63"};
  std::vector<std::string> lines = OrvanPhonemeStream(State(), "sol");
  for (size_t i = 0; i < lines.size(); ++i)
    if (!lines[i].empty() || i + 1 == lines.size()) expected.push_back("write " + lines[i] + "\r\n");
  expected.push_back("flush");
  ASSERT_GT(expected.size(), 6u);
  EXPECT_EQ(fake_.calls, expected);
}

TEST_F(OrvanEngine, ShortUtteranceIsPaddedAndLongOneChunked) {
  UseFake();
  ASSERT_TRUE(OrvanStart(State(), 0, 0, 0, ""));
  fake_.samples_per_line = 3;
  OrvanSpeak(State(), "a");
  EXPECT_EQ(audio_->AllData().size(), 256u);
  EXPECT_EQ(audio_->format().rate, 16000);
  EXPECT_EQ(audio_->format().bits, 16);
  audio_ = InstallCaptureAudio(Context().platform);
  // A fresh player for the new device.
  Context().player = WavePlayer(Context().platform, Context().config, Context().speech_log);
  fake_.samples_per_line = 20000;  // 40000 bytes per line
  OrvanSpeak(State(), "casa");
  // Every sample arrives once, in order; no chunk passes 64000 bytes.
  std::string all = audio_->AllData();
  EXPECT_EQ(all.size() % 40000, 0u);
  EXPECT_GE(all.size(), 5 * 40000u);
  EXPECT_EQ(all.find('\0'), std::string::npos);
}

TEST_F(OrvanEngine, FailedWriteRestartsTheSynthesiserAndGoesOn) {
  UseFake();
  ASSERT_TRUE(OrvanStart(State(), 0, 0, 0, ""));
  fake_.fail_next_write = true;
  fake_.calls.clear();
  EXPECT_FALSE(OrvanSpeak(State(), "casa"));
  EXPECT_EQ(fake_.creations, 2);
  auto restart = std::find(fake_.calls.begin(), fake_.calls.end(), "init " + std::string(kBr3));
  ASSERT_NE(restart, fake_.calls.end());
  EXPECT_EQ(*(restart - 1), "close");
  EXPECT_EQ(fake_.calls.back(), "flush");
  EXPECT_TRUE(OrvanSpeak(State(), "casa"));
}

TEST_F(OrvanEngine, KeyPressCutsSpeechAtTheNextBusyTest) {
  UseFake();
  audio_->set_buffer_ms(100);
  ASSERT_TRUE(OrvanStart(State(), 0, 0, 0, ""));
  fake_.samples_per_line = 20000;
  OrvanSpeak(State(), "uma frase longa");
  EXPECT_TRUE(OrvanBusy(State()));
  Type("x");
  EXPECT_FALSE(OrvanBusy(State()));
  EXPECT_GT(audio_->clears(), 0);
}

TEST_F(OrvanEngine, RateAndPitchSetTheFactors) {
  UseFake();
  ASSERT_TRUE(OrvanStart(State(), 0, 3, 11, ""));
  // Rate 3: factor 0.6 ("k" lasts 90 ms in the table); pitch 11: factor 2
  // (the phrase's first word starts at 100 % of 118 Hz).
  std::vector<std::string> lines = OrvanPhonemeStream(State(), "casa");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "k 54 50 236"), lines.end());
}

// The 44-byte header's fields of a wave file.
struct WaveInfo {
  uint32_t riff_size = 0, rate = 0, data_size = 0;
  uint16_t format = 0, channels = 0, bits = 0;
  size_t file_size = 0;
  std::string data;
};

WaveInfo ReadWave(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  WaveInfo w;
  w.file_size = all.size();
  if (all.size() < 44 || all.compare(0, 4, "RIFF") != 0 || all.compare(8, 8, "WAVEfmt ") != 0) return w;
  auto u32 = [&](size_t o) { return uint32_t(uint8_t(all[o])) | uint32_t(uint8_t(all[o + 1])) << 8 |
                                    uint32_t(uint8_t(all[o + 2])) << 16 | uint32_t(uint8_t(all[o + 3])) << 24; };
  auto u16 = [&](size_t o) { return uint16_t(uint8_t(all[o]) | uint8_t(all[o + 1]) << 8); };
  w.riff_size = u32(4), w.format = u16(20), w.channels = u16(22), w.rate = u32(24), w.bits = u16(34);
  if (all.compare(36, 4, "data") == 0) w.data_size = u32(40);
  w.data = all.substr(44);
  return w;
}

TEST_F(OrvanEngine, OutputFileGetsItsSizesOnRelease) {
  UseFake();
  std::string out = (dir_ / "fala.wav").string();
  ASSERT_TRUE(OrvanStart(State(), 0, 0, 0, out));
  OrvanSpeak(State(), "bom dia");
  EXPECT_FALSE(OrvanBusy(State()));
  EXPECT_TRUE(audio_->pieces().empty());
  EXPECT_EQ(ReadWave(out).data_size, 0u);  // until release
  OrvanRelease(State());
  WaveInfo w = ReadWave(out);
  EXPECT_EQ(w.riff_size, w.file_size - 8);
  EXPECT_EQ(w.data_size, w.file_size - 44);
  EXPECT_GT(w.data_size, 0u);
  EXPECT_EQ(w.rate, 16000u);
  EXPECT_EQ(OrvanStart(State(), 0, 0, 0, (dir_ / "no/such/folder/x.wav").string()), false);
}

// Peak and count of samples far from silence.
std::pair<int, size_t> Loudness(const std::string& pcm) {
  int peak = 0;
  size_t loud = 0;
  for (size_t i = 0; i + 1 < pcm.size(); i += 2) {
    int v = std::abs(int16_t(uint8_t(pcm[i]) | uint8_t(pcm[i + 1]) << 8));
    peak = std::max(peak, v);
    loud += v > 500;
  }
  return {peak, loud};
}

TEST_F(OrvanEngine, RealMbrolaSpeaksASentence) {
  if (!HaveMbrola()) GTEST_SKIP() << "mbrola or its br3 voice is not installed";
  ASSERT_TRUE(OrvanStart(State(), 0, 0, 0, "")) << Latin1ToUtf8(OrvanLastError(State()));
  EXPECT_EQ(OrvanSampleRate(State()), 22050);
  OrvanSpeak(State(), L1("Bom dia, tudo bem com você?"));
  ASSERT_FALSE(audio_->pieces().empty());
  EXPECT_EQ(audio_->format().rate, 22050);
  std::string pcm = audio_->AllData();
  double seconds = pcm.size() / 2 / 22050.0;
  EXPECT_GT(seconds, 1.0);
  EXPECT_LT(seconds, 4.0);
  auto [peak, loud] = Loudness(pcm);
  EXPECT_GT(peak, 3000);
  EXPECT_GT(loud, pcm.size() / 2 / 5);
  // A second utterance on the same process.
  size_t before = pcm.size();
  OrvanSpeak(State(), L1("Até logo."));
  EXPECT_GT(audio_->AllData().size(), before + 22050);
}

TEST_F(OrvanEngine, RealMbrolaWritesAValidWaveFile) {
  if (!HaveMbrola()) GTEST_SKIP() << "mbrola or its br3 voice is not installed";
  std::string out = (dir_ / "fala.wav").string();
  ASSERT_TRUE(OrvanStart(State(), 0, 0, 0, out));
  OrvanSpeak(State(), L1("A rádio começou a transmitir em 1998."));
  OrvanSpeak(State(), L1("Obrigado."));
  OrvanRelease(State());
  WaveInfo w = ReadWave(out);
  EXPECT_EQ(w.format, 1);
  EXPECT_EQ(w.channels, 1);
  EXPECT_EQ(w.bits, 16);
  EXPECT_EQ(w.rate, 22050u);
  EXPECT_EQ(w.data_size, w.file_size - 44);
  EXPECT_EQ(w.riff_size, w.file_size - 8);
  EXPECT_GT(w.data_size / 2 / 22050.0, 2.0);
  EXPECT_GT(Loudness(w.data).first, 3000);
}

TEST(OrvanMbrolaProcess, LongUtteranceDoesNotDeadlockAndDeathIsSeen) {
  if (!std::filesystem::exists(kBr3) || FindMbrolaProgram().empty()) GTEST_SKIP() << "no mbrola";
  auto m = MakeMbrolaProcess(FindMbrolaProgram());
  ASSERT_EQ(m->init_MBR(kBr3), 0);
  EXPECT_EQ(m->getFreq_MBR(), 22050);
  // 60 s of sound written before anything is read: far more than the pipes hold.
  ASSERT_EQ(m->write_MBR("_ 100\n"), 0);
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(m->write_MBR("a 100\n"), 0);
    ASSERT_EQ(m->write_MBR("i 100\n"), 0);
  }
  m->write_MBR("_ 100\n");
  m->flush_MBR();
  std::vector<int16_t> buf(64000);
  long total = 0;
  for (int n; (n = m->read_MBR(buf.data(), 64000)) > 0;) total += n;
  EXPECT_NEAR(total / 22050.0, 60.2, 1.0);
  // The next utterance starts clean.
  m->reset_MBR();
  m->write_MBR("_ 50\na 200\n_ 50\n");
  m->flush_MBR();
  total = 0;
  for (int n; (n = m->read_MBR(buf.data(), 64000)) > 0;) total += n;
  EXPECT_NEAR(total / 22050.0, 0.3, 0.05);
  // A malformed line makes mbrola stop; the binding notices.
  m->write_MBR("a abc\n");
  m->flush_MBR();
  while (m->read_MBR(buf.data(), 64000) > 0) {
  }
  int result = 0;
  for (int i = 0; i < 200 && result >= 0; ++i) {
    result = m->write_MBR("a 100\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_LT(result, 0);
  EXPECT_LT(m->init_MBR("/no/such/database"), 0);
}

}  // namespace
}  // namespace kal::test
