// The utterance rules of the MBROLA co-process over a simulated process:
// the header, batching, the end of an utterance, a dying process and a
// reset in flight. The real program is driven by the Orvan engine tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "1_platform/mbrola_pipe.h"

namespace kal::test {
namespace {

// A process that turns each phoneme line into 10 samples, all of one
// utterance appearing when its flush line "#" arrives. The input pipe takes
// at most `capacity` bytes per write.
class SimulatedMbrola : public MbrolaPipeSynth {
 public:
  SimulatedMbrola() : MbrolaPipeSynth(2) {}
  ~SimulatedMbrola() override { close_MBR(); }

  std::string header = "RIFF";
  size_t capacity = 4096;
  bool dies_on_write = false;
  int abandoned = 0;
  int ends = 0;
  std::string taken;  // every byte the process took

 protected:
  bool StartProcess(const std::string& database) override {
    if (database == "missing") return false;
    started_ = false;
    line_.clear();
    phonemes_ = 0;
    produced_.clear();
    return true;
  }
  void EndProcess() override { ++ends; }
  void WaitForPipes(int, bool) override {}
  long WriteInput(const char* data, size_t size) override {
    if (dies_on_write) return -1;
    size_t n = std::min(size, capacity);
    taken.append(data, n);
    for (size_t i = 0; i < n; ++i) Take(data[i]);
    return static_cast<long>(n);
  }
  long ReadOutput(std::string* samples) override {
    long n = static_cast<long>(produced_.size());
    samples->append(produced_);
    produced_.clear();
    return n;
  }
  bool ProcessIdle() override { return produced_.empty(); }
  void AbandonUtterance() override {
    ++abandoned;
    pending_.clear();
    phonemes_ = 0;
  }

 private:
  void Take(char c) {
    if (c != '\n') return line_.push_back(c);
    if (line_ == "#") {
      if (!started_) {
        std::string h = header;
        h.resize(44, '\0');
        h[24] = static_cast<char>(16000 & 0xFF);
        h[25] = static_cast<char>(16000 >> 8);
        produced_ += h + std::string(8, '\0');  // a little silence after the header
        started_ = true;
      }
      for (int i = 0; i < phonemes_ * 10; ++i) produced_ += std::string("\x01\x00", 2);
      phonemes_ = 0;
    } else if (!line_.empty()) {
      ++phonemes_;
    }
    line_.clear();
  }

  bool started_ = false;
  std::string line_;
  int phonemes_ = 0;
  std::string produced_;
};

int ReadAll(MbrolaSynth& m) {
  int16_t buf[7];
  int total = 0;
  for (int n; (n = m.read_MBR(buf, 7)) > 0;) total += n;
  return total;
}

TEST(MbrolaPipe, HeaderGivesTheRateAndUtterancesEndAfterTheirSamples) {
  SimulatedMbrola m;
  ASSERT_EQ(m.init_MBR("br3"), 0);
  EXPECT_EQ(m.getFreq_MBR(), 16000);
  // Lines with and without their line end; nothing is read before a flush.
  EXPECT_EQ(m.write_MBR("a 100"), 0);
  EXPECT_EQ(m.write_MBR("b 100\n"), 0);
  int16_t one;
  EXPECT_EQ(m.read_MBR(&one, 1), 0);
  EXPECT_EQ(m.flush_MBR(), 0);
  EXPECT_EQ(ReadAll(m), 20);  // the header's silence is not part of it
  EXPECT_EQ(m.read_MBR(&one, 1), 0);
  EXPECT_EQ(m.taken, "#\na 100\nb 100\n#\n");
  // The next utterance starts clean.
  m.write_MBR("c 50");
  m.flush_MBR();
  EXPECT_EQ(ReadAll(m), 10);
}

TEST(MbrolaPipe, StartFailures) {
  SimulatedMbrola missing;
  EXPECT_EQ(missing.init_MBR("missing"), -1);
  EXPECT_EQ(missing.write_MBR("a 100"), -1);
  SimulatedMbrola wrong;
  wrong.header = "JUNK";
  EXPECT_EQ(wrong.init_MBR("br3"), -1);
  EXPECT_EQ(wrong.getFreq_MBR(), 0);
  EXPECT_EQ(wrong.flush_MBR(), -1);
}

TEST(MbrolaPipe, ASlowPipeGetsEveryByteAndADeadProcessIsSeen) {
  SimulatedMbrola m;
  ASSERT_EQ(m.init_MBR("br3"), 0);
  m.capacity = 100;  // far less than is written between flushes
  std::string expected = "#\n";
  for (int i = 0; i < 5000; ++i) {
    ASSERT_EQ(m.write_MBR("a 100"), 0);
    expected += "a 100\n";
  }
  m.flush_MBR();
  EXPECT_EQ(ReadAll(m), 50000);
  EXPECT_EQ(m.taken, expected + "#\n");

  m.dies_on_write = true;
  for (int i = 0; i < 300; ++i) m.write_MBR("a 100");
  EXPECT_EQ(m.write_MBR("a 100"), -1);
  EXPECT_EQ(m.flush_MBR(), -1);
  int16_t one;
  EXPECT_EQ(m.read_MBR(&one, 1), 0);
}

TEST(MbrolaPipe, ResetDropsOnlyAnUtteranceInFlight) {
  SimulatedMbrola m;
  ASSERT_EQ(m.init_MBR("br3"), 0);
  m.reset_MBR();
  EXPECT_EQ(m.abandoned, 0);
  m.capacity = 0;  // nothing taken: the input is still pending
  m.write_MBR("a 100");
  m.reset_MBR();
  EXPECT_EQ(m.abandoned, 1);
  m.capacity = 4096;
  m.write_MBR("a 100");
  m.flush_MBR();
  int16_t one;
  ASSERT_EQ(m.read_MBR(&one, 1), 1);
  m.reset_MBR();  // samples still unread are thrown away
  EXPECT_EQ(m.read_MBR(&one, 1), 0);
}

}  // namespace
}  // namespace kal::test
