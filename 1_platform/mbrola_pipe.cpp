// The host-independent half of the MBROLA co-process: the utterance rules
// over the pipes a host subclass services.
#include "1_platform/mbrola_pipe.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace kal {

namespace {

constexpr size_t kHeaderBytes = 44;
constexpr size_t kMaxPendingInput = 32 * 1024;
// Lines are handed over in batches of about this size: one write per line
// would wake mbrola for every phoneme.
constexpr size_t kWriteBatch = 1024;
constexpr int kStartTimeoutMs = 5000;
// Without any progress for this long the utterance is given up.
constexpr int kStallTimeoutMs = 5000;

}  // namespace

int64_t MbrolaPipeSynth::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int64_t MbrolaPipeSynth::MsSinceProgress() const { return NowMs() - progress_ms_; }

int MbrolaPipeSynth::init_MBR(const std::string& database) {
  close_MBR();
  if (!StartProcess(database)) return -1;
  alive_ = true;
  database_ = database;
  // The header comes once, at the start of the stream.
  pending_ = "#\n";
  int64_t deadline = NowMs() + kStartTimeoutMs;
  while (alive_ && out_.size() < kHeaderBytes && NowMs() < deadline) Pump(20);
  if (out_.size() < kHeaderBytes || std::memcmp(out_.data(), "RIFF", 4) != 0) {
    close_MBR();
    return -1;
  }
  const unsigned char* h = reinterpret_cast<const unsigned char*>(out_.data());
  rate_ = h[24] | h[25] << 8 | h[26] << 16 | h[27] << 24;
  // The flush line may already have brought a little silence: dropped.
  out_.clear();
  return 0;
}

int MbrolaPipeSynth::write_MBR(std::string_view line) {
  if (!alive_) return -1;
  pending_.append(line);
  if (pending_.empty() || pending_.back() != '\n') pending_ += '\n';
  // Keep the input moving; when a lot is waiting, wait for mbrola to take
  // it while reading what it produces.
  if (pending_.size() >= kWriteBatch) Pump(0);
  while (alive_ && pending_.size() > kMaxPendingInput) Pump(20);
  return alive_ ? 0 : -1;
}

int MbrolaPipeSynth::flush_MBR() {
  if (!alive_) return -1;
  pending_ += "#\n";
  draining_ = true;
  Pump(0);
  return 0;
}

int MbrolaPipeSynth::read_MBR(int16_t* buffer, int count) {
  if (count <= 0) return 0;
  if (out_.size() < 2 && (draining_ || pending_.empty())) Pump(0);
  if (out_.size() < 2 && draining_) WaitForSamplesOrEnd();
  size_t samples = std::min(out_.size() / 2, static_cast<size_t>(count));
  std::memcpy(buffer, out_.data(), samples * 2);
  out_.erase(0, samples * 2);
  return static_cast<int>(samples);
}

void MbrolaPipeSynth::reset_MBR() {
  if (alive_ && (draining_ || !pending_.empty())) AbandonUtterance();
  out_.clear();
  draining_ = false;
}

void MbrolaPipeSynth::close_MBR() {
  EndProcess();
  alive_ = false;
  draining_ = false;
  pending_.clear();
  out_.clear();
}

void MbrolaPipeSynth::Died() {
  alive_ = false;
  draining_ = false;
  pending_.clear();
}

void MbrolaPipeSynth::Pump(int timeout_ms) {
  if (!alive_) return;
  WaitForPipes(timeout_ms, !pending_.empty());
  if (!pending_.empty()) {
    long w = WriteInput(pending_.data(), pending_.size());
    if (w < 0) {
      Died();
      return;
    }
    if (w > 0) {
      pending_.erase(0, static_cast<size_t>(w));
      progress_ms_ = NowMs();
    }
  }
  long r = ReadOutput(&out_);
  if (r > 0) progress_ms_ = NowMs();
  if (r < 0) Died();
}

void MbrolaPipeSynth::WaitForSamplesOrEnd() {
  progress_ms_ = NowMs();
  int idle_seen = 0;
  while (alive_ && draining_ && out_.size() < 2) {
    Pump(idle_seen > 0 ? 1 : 2);
    if (out_.size() >= 2) return;
    idle_seen = pending_.empty() && ProcessIdle() ? idle_seen + 1 : 0;
    if (idle_seen >= idle_rounds_ || MsSinceProgress() > kStallTimeoutMs) draining_ = false;
  }
}

}  // namespace kal
