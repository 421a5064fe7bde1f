// Kinds 5 and 54: a voice of the speech server. Each flavour has its own
// connection, worker thread and state; the 5.4 flavour may name another
// output module.
//
// The client library blocks on every call until the server answers, and a
// server can stop answering, so every call runs on the flavour's worker
// thread: the start waits for it with time limits, everything else is
// handed over without waiting. End and cancel notifications come on the
// library's thread and reach this code only as tasks posted to the event
// loop. A message is outstanding from Speak until its end or cancel
// notification; one that never gets either stops counting after a time
// reckoned from its length, so that a server that lost its sound device
// cannot hold the program for ever.
//
// With an output file the server cannot help (it only speaks), so the
// text goes through the in-process synthesiser into that file.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <deque>

#include "2_config/config.h"
#include "2_config/config_keys.h"
#include "1_platform/pump.h"
#include "0_base/latin1.h"
#include "1_platform/event_loop.h"
#include "1_platform/speech_server.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/engines/engine_worker.h"
#include "4_voices/engines/voice_engine.h"

namespace kal {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kConnectLimitMs = 900;     // no server: the recorded voice within a second
constexpr int kSetupLimitMs = 15000;     // listing voices takes seconds
constexpr int kCloseLimitMs = 1000;
constexpr int kStuckMs = 5000;           // a call running this long: the server hangs
constexpr int kBusyWaitMs = 20;
constexpr int kStopPauseMs = 50;
constexpr int kReleaseStepMs = 300;
constexpr int kEndMarginMs = 4000;
constexpr int kEndPerByteMs = 250;       // slower than the slowest rate measured
constexpr size_t kMaxQueued = 512;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

struct Message {
  uint64_t seq;
  int id;          // -1 until the server's answer is back
  int64_t expires;  // real-time ms
};

// State of one started voice. Touched only on the program's thread (the
// engine's calls and tasks posted to the loop); the connection only on the
// worker.
struct ServerShared {
  explicit ServerShared(EventLoop& run_loop) : loop(run_loop.Mailbox()) {}
  std::shared_ptr<LoopMailbox> loop;  // the worker and the server's thread post to it
  std::unique_ptr<SpeechServerConnection> conn;
  std::deque<Message> outstanding;
  std::deque<int> early;  // ids that ended before Say's answer was back
  uint64_t next_seq = 0;
  bool broken = false;  // the server stopped answering or went away
};

void Finished(ServerShared& s, int id) {
  for (auto it = s.outstanding.begin(); it != s.outstanding.end(); ++it)
    if (it->id == id) {
      s.outstanding.erase(it);
      return;
    }
  s.early.push_back(id);
  if (s.early.size() > 64) s.early.pop_front();
}

void Answered(ServerShared& s, uint64_t seq, int id) {
  // The server did not take the text: the connection is gone, and with it
  // every notification still awaited.
  if (id < 0) s.broken = true;
  for (auto it = s.outstanding.begin(); it != s.outstanding.end(); ++it) {
    if (it->seq != seq) continue;
    auto e = std::find(s.early.begin(), s.early.end(), id);
    if (id < 0 || e != s.early.end()) {
      if (e != s.early.end()) s.early.erase(e);
      s.outstanding.erase(it);
    } else {
      it->id = id;
    }
    return;
  }
}

// Server rate units -10..10 as words per minute of the in-process
// synthesiser, about a third of normal speed to three times it.
int WordsPerMinute(int rate) {
  rate = std::clamp(rate, -10, 10);
  return static_cast<int>(std::lround(175.0 * std::pow(2.5, rate / 10.0)));
}

class ServerVoice : public VoiceEngine {
 public:
  ServerVoice(bool flavour54, WavePlayer& player, EventLoop& loop) : flavour54_(flavour54), player_(player), loop_(loop) {}
  ~ServerVoice() override { Release(); }

  bool Start(int voice, int rate, int pitch, const std::string& output_file) override {
    Release();
    if (!output_file.empty()) return StartFile(rate, output_file);
    auto s = std::make_shared<ServerShared>(loop_);
    s->conn = MakeSpeechdConnection();
    auto worker = std::make_unique<EngineWorker>();
    if (!Connect(*worker, s)) return false;
    if (!Configure(*worker, s, voice, rate)) {
      worker->Post([s] { s->conn->Close(); });
      return false;
    }
    s_ = s;
    worker_ = std::move(worker);
    return true;
  }

  void Speak(std::string_view text) override {
    if (file_voice_) return file_voice_->Speak(text.empty() ? " " : text);
    if (!s_ || Broken()) return;
    std::string utf8 = Latin1ToUtf8(text.empty() ? std::string_view(" ") : text);
    auto s = s_;
    uint64_t seq = ++s->next_seq;
    s->outstanding.push_back({seq, -1, NowMs() + kEndMarginMs + kEndPerByteMs * static_cast<int64_t>(text.size())});
    bool queued = worker_->Post([s, seq, utf8] {
      int id = s->conn->Say(utf8);
      s->loop->Post([s, seq, id] { Answered(*s, seq, id); });
    }, kMaxQueued);
    if (!queued) s->outstanding.pop_back();  // too much queued already: the text is dropped
  }

  bool Busy(int flag) override {
    if (file_voice_) return file_voice_->Busy(flag);
    if (!s_ || Outstanding() == 0) return false;
    // The end notification wakes this wait early.
    loop_.Wait(kBusyWaitMs);
    return Outstanding() > 0;
  }

  void Stop() override {
    if (file_voice_) return file_voice_->Stop();
    if (!s_ || Broken()) return;
    auto s = s_;
    uint64_t upto = s->next_seq;
    worker_->Post([s, upto] {
      s->conn->Cancel();
      s->loop->Post([s, upto] {
        std::erase_if(s->outstanding, [upto](const Message& m) { return m.seq <= upto; });
      });
    }, kMaxQueued + 1);
    SleepAndPump(*player_.platform, kStopPauseMs);
  }

  void Release() override {
    if (file_voice_) {
      file_voice_->Release();
      file_voice_.reset();
    }
    if (!s_) return;
    while (Busy(0)) SleepAndPump(*player_.platform, kReleaseStepMs);
    auto s = s_;
    if (!worker_->stuck()) worker_->Call([s] { s->conn->Close(); }, kCloseLimitMs);
    worker_.reset();  // a stuck worker is left behind, holding what it uses
    s_.reset();
  }

 private:
  bool Connect(EngineWorker& worker, const std::shared_ptr<ServerShared>& s) {
    std::weak_ptr<ServerShared> weak = s;
    auto ok = std::make_shared<bool>(false);
    std::string name = flavour54_ ? "kaldorin54" : "kaldorin";
    std::shared_ptr<LoopMailbox> loop = s->loop;
    bool done = worker.Call([s, ok, weak, name, loop] {
      std::string err;
      *ok = s->conn->Open(name, [weak, loop](int id, ServerEvent) {
        loop->Post([weak, id] {
          if (auto live = weak.lock()) Finished(*live, id);
        });
      }, &err);
    }, kConnectLimitMs);
    return done && *ok;
  }

  bool Configure(EngineWorker& worker, const std::shared_ptr<ServerShared>& s, int voice, int rate) {
    ConfigState& config = *player_.config;
    std::string module = ReadConfig(config, flavour54_ ? cfg::kModulo54 : cfg::kModulo);
    if (flavour54_ && module.empty()) module = ReadConfig(config, cfg::kModulo);
    auto ok = std::make_shared<bool>(false);
    bool done = worker.Call([s, ok, module, voice, rate] {
      if (!s->conn->SetOutputModule(module)) return;
      std::vector<std::string> voices = s->conn->Voices();
      if (voices.empty()) return;
      int v = voice, r = rate;
      // A voice number outside the list: the first voice at its normal rate.
      if (v < 1 || v > static_cast<int>(voices.size())) v = 1, r = 0;
      if (!s->conn->SetVoice(voices[v - 1])) return;
      s->conn->SetRate(std::clamp(r, -10, 10) * 10);  // refused: the voice keeps its rate
      *ok = true;
    }, kSetupLimitMs);
    return done && *ok;
  }

  bool StartFile(int rate, const std::string& output_file) {
    file_voice_ = MakeLocalVoice(player_, loop_);
    if (file_voice_->Start(1, WordsPerMinute(rate), 0, output_file)) return true;
    file_voice_.reset();
    return false;
  }

  // A server that has stopped answering or gone away: nothing is
  // outstanding any more and nothing more is sent.
  bool Broken() {
    if (!s_->broken && worker_->RunningForMs() > kStuckMs) s_->broken = true;
    if (s_->broken) s_->outstanding.clear();
    return s_->broken;
  }

  size_t Outstanding() {
    if (Broken()) return 0;
    int64_t now = NowMs();
    std::erase_if(s_->outstanding, [now](const Message& m) { return m.expires <= now; });
    return s_->outstanding.size();
  }

  bool flavour54_;
  WavePlayer& player_;
  EventLoop& loop_;
  std::shared_ptr<ServerShared> s_;
  std::unique_ptr<EngineWorker> worker_;
  std::unique_ptr<VoiceEngine> file_voice_;
};

}  // namespace

std::unique_ptr<VoiceEngine> MakeServerVoice(bool flavour54, WavePlayer& player, EventLoop& loop) {
  return std::make_unique<ServerVoice>(flavour54, player, loop);
}

}  // namespace kal
