// Kind 4: the local voice, a synthesiser running inside the program.
//
// The synthesiser works on a thread of its own (the library is one global
// instance and each text blocks until it is done). Its samples collect in a
// bounded queue; the program's thread moves them to the wave player a piece
// at a time, only while the player has room, so that feeding never waits.
// A text is pending from Speak until the synthesiser is through with it;
// sound is playing while samples wait in the queue or the player still has
// pieces in flight. Stop ends the synthesis at its next piece of samples,
// drops what was queued and clears the player.
//
// With an output file the samples go to that wave file instead.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "1_platform/pump.h"
#include "3_audio/wave_player_state.h"
#include "0_base/latin1.h"
#include "3_audio/wave_player.h"
#include "1_platform/event_loop.h"
#include "1_platform/text_synth.h"
#include "4_voices/engines/engine_worker.h"
#include "4_voices/engines/voice_engine.h"
#include "4_voices/engines/wave_writer.h"

namespace kal {

namespace {

constexpr int kStartLimitMs = 3000;
constexpr size_t kPieceSamples = 4096;    // 8192 bytes, one player piece
constexpr int kPlayerRoom = 14;           // pieces in flight before feeding pauses
constexpr int kFeedRetryMs = 50;
constexpr size_t kTextLimit = 64000;      // one synthesis at most; longer texts are split
constexpr int kQueueSeconds = 4;          // samples waiting for the player, at most

// What the worker and the program's thread share. Fields marked "main" are
// only touched on the program's thread (from posted tasks and the engine's
// calls); the rest under mu.
struct LocalShared {
  LocalShared(WavePlayer& plays_on, EventLoop& run_loop) : player(plays_on), loop(run_loop.Mailbox()) {}
  WavePlayer& player;                     // main
  std::shared_ptr<LoopMailbox> loop;      // the worker posts what it made here
  std::unique_ptr<TextSynth> synth;       // worker only
  WaveWriter writer;                      // worker only
  int sample_rate = 0;                    // set at start
  std::atomic<uint64_t> generation{0};    // bumped by stop and release
  std::mutex mu;
  std::condition_variable room;
  std::deque<std::vector<int16_t>> pieces;
  size_t queued_samples = 0;
  bool feed_posted = false;
  int pending = 0;                        // main
  bool fed = false;                       // main: pieces went to the player
  bool feeding = false;                   // main
};

void Feed(const std::shared_ptr<LocalShared>& s);

void PostFeed(const std::shared_ptr<LocalShared>& s) {
  {
    std::lock_guard<std::mutex> lock(s->mu);
    if (s->feed_posted) return;
    s->feed_posted = true;
  }
  s->loop->Post([s] {
    {
      std::lock_guard<std::mutex> lock(s->mu);
      s->feed_posted = false;
    }
    Feed(s);
  });
}

// Moves queued samples to the player while it has room. The player's
// speeding-up of recorded speech does not apply to the synthesiser's sound.
void Feed(const std::shared_ptr<LocalShared>& s) {
  if (s->feeding || KeyPressed(*s->player.platform)) return;
  s->feeding = true;
  WaveFlags saved = GetWaveFlags(s->player);
  WaveFlags plain = saved;
  plain.fast = plain.cut = false;
  SetWaveFlags(s->player, plain);
  while (WaveInFlight(s->player) < kPlayerRoom && !KeyPressed(*s->player.platform)) {
    std::vector<int16_t> piece;
    {
      std::lock_guard<std::mutex> lock(s->mu);
      if (s->pieces.empty()) break;
      piece = std::move(s->pieces.front());
      s->pieces.pop_front();
      s->queued_samples -= piece.size();
    }
    s->room.notify_all();
    s->fed = true;
    PlayPcm(s->player, reinterpret_cast<const uint8_t*>(piece.data()), piece.size() * 2, s->sample_rate, 1, 16);
  }
  SetWaveFlags(s->player, saved);
  s->feeding = false;
}

// Worker side: hands samples of one synthesis (of generation gen) to the
// queue, waiting for room; false ends the synthesis.
bool QueueSamples(const std::shared_ptr<LocalShared>& s, uint64_t gen, const int16_t* data, size_t n) {
  size_t limit = static_cast<size_t>(s->sample_rate) * kQueueSeconds;
  while (n > 0) {
    {
      std::unique_lock<std::mutex> lock(s->mu);
      while (s->queued_samples >= limit && s->generation == gen) {
        s->room.wait_for(lock, std::chrono::milliseconds(kFeedRetryMs));
        if (s->queued_samples >= limit && !s->feed_posted) {
          lock.unlock();
          PostFeed(s);
          lock.lock();
        }
      }
      if (s->generation != gen) return false;
      if (s->pieces.empty() || s->pieces.back().size() >= kPieceSamples) s->pieces.emplace_back();
      auto& back = s->pieces.back();
      size_t take = std::min(n, kPieceSamples - back.size());
      back.insert(back.end(), data, data + take);
      s->queued_samples += take;
      data += take;
      n -= take;
    }
    PostFeed(s);
  }
  return true;
}

// Worker side, after a text: keeps the program's thread feeding until the
// queue is empty (nothing else would wake it while it waits for a key).
void DrainToPlayer(const std::shared_ptr<LocalShared>& s, uint64_t gen) {
  std::unique_lock<std::mutex> lock(s->mu);
  while (!s->pieces.empty() && s->generation == gen) {
    lock.unlock();
    PostFeed(s);
    lock.lock();
    s->room.wait_for(lock, std::chrono::milliseconds(kFeedRetryMs));
  }
}

}  // namespace

// "7" is read as a number, not as the name of a key.
std::string LocalVoiceText(std::string_view text) {
  size_t b = text.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return "";
  size_t e = text.find_last_not_of(" \t\r\n");
  std::string t(text.substr(b, e - b + 1));
  if (t.size() == 1 && t[0] >= '0' && t[0] <= '9') t += '.';
  return t;
}

namespace {

// Splits a long text at blanks into parts the synthesiser takes at once.
std::vector<std::string> SplitText(const std::string& text) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (text.size() - pos > kTextLimit) {
    size_t cut = text.rfind(' ', pos + kTextLimit);
    if (cut == std::string::npos || cut <= pos) cut = pos + kTextLimit;
    parts.push_back(text.substr(pos, cut - pos));
    pos = cut;
  }
  parts.push_back(text.substr(pos));
  return parts;
}

class LocalVoice : public VoiceEngine {
 public:
  LocalVoice(WavePlayer& player, EventLoop& loop) : player_(player), loop_(loop) {}
  ~LocalVoice() override { Release(); }

  bool Start(int voice, int rate, int pitch, const std::string& output_file) override {
    Release();
    auto s = std::make_shared<LocalShared>(player_, loop_);
    auto worker = std::make_unique<EngineWorker>();
    auto ok = std::make_shared<bool>(false);
    // A start that overruns its limit may still finish later: the job owns
    // everything it touches.
    bool done = worker->Call([s, ok, voice, rate, pitch, output_file] {
      *ok = OpenOnWorker(*s, voice, rate, pitch, output_file);
    }, kStartLimitMs);
    if (!done || !*ok) return false;
    s_ = s;
    worker_ = std::move(worker);
    to_file_ = !output_file.empty();
    return true;
  }

  void Speak(std::string_view text) override {
    std::string t = LocalVoiceText(text);
    if (t.empty() || !s_ || KeyPressed(*player_.platform)) return;
    for (auto& part : SplitText(Latin1ToUtf8(t))) Queue(std::move(part));
  }

  bool Busy(int flag) override {
    if (!s_) return false;
    // A wait inside the feeding itself (the player pumps the event loop, and
    // a task posted there, such as a notice being spoken, may wait for
    // speech) would never see this text end: what is left of it is fed only
    // after that wait returns. The voice counts as free there, and what that
    // task says is queued behind.
    if (s_->feeding) return false;
    Feed(s_);
    if (s_->pending > 0) return true;
    return flag == 0 && Playing();
  }

  void Stop() override {
    if (!s_) return;
    ++s_->generation;
    {
      std::lock_guard<std::mutex> lock(s_->mu);
      s_->pieces.clear();
      s_->queued_samples = 0;
    }
    s_->room.notify_all();
    if (s_->fed) WaveStop(player_);
    s_->fed = false;
    s_->pending = 0;
  }

  void Release() override {
    if (!s_) return;
    Stop();
    auto s = s_;
    worker_->Call([s] {
      s->writer.Close();
      s->synth->Close();
    }, kStartLimitMs);
    worker_.reset();
    s_.reset();
  }

 private:
  static bool OpenOnWorker(LocalShared& s, int voice, int rate, int pitch, const std::string& file) {
    s.synth = MakeEspeakSynth();
    std::string err;
    if (!s.synth->Open(&err)) return false;
    auto voices = OrderedVoices(*s.synth);
    if (voice < 1) voice = 1;
    if (voices.empty() || voice > static_cast<int>(voices.size())) return false;
    if (!s.synth->SetVoice(voices[voice - 1].name)) return false;
    s.synth->SetRate(rate);    // 0: the default
    s.synth->SetPitch(pitch);
    s.sample_rate = s.synth->SampleRate();
    if (s.sample_rate <= 0) return false;
    return file.empty() || s.writer.Open(file, s.sample_rate, &err);
  }

  // Portuguese voices, the Brazilian ones first.
  static std::vector<SynthVoiceInfo> OrderedVoices(TextSynth& synth) {
    std::vector<SynthVoiceInfo> all = synth.Voices("pt"), out;
    for (auto& v : all)
      if (v.language == "pt-br") out.push_back(v);
    for (auto& v : all)
      if (v.language != "pt-br") out.push_back(v);
    return out;
  }

  void Queue(std::string text) {
    auto s = s_;
    uint64_t gen = s->generation;
    bool to_file = to_file_;
    ++s->pending;
    bool queued = worker_->Post([s, gen, to_file, text = std::move(text)] {
      if (s->generation == gen) {
        TextSynth::SampleSink sink = [&](const int16_t* d, size_t n) {
          if (to_file) return s->generation == gen && s->writer.Append(d, n);
          return QueueSamples(s, gen, d, n);
        };
        s->synth->Synthesize(text, sink);
        if (to_file) s->writer.Flush();
      }
      s->loop->Post([s, gen] {
        if (s->generation == gen && s->pending > 0) --s->pending;
        Feed(s);
      });
      DrainToPlayer(s, gen);
    });
    if (!queued) --s->pending;
  }

  bool Playing() {
    bool queued;
    {
      std::lock_guard<std::mutex> lock(s_->mu);
      queued = !s_->pieces.empty();
    }
    if (queued) return true;
    if (s_->fed && WaveInFlight(player_) > 0) return true;
    s_->fed = false;
    return false;
  }

  WavePlayer& player_;
  EventLoop& loop_;
  std::shared_ptr<LocalShared> s_;
  std::unique_ptr<EngineWorker> worker_;
  bool to_file_ = false;
};

}  // namespace

std::unique_ptr<VoiceEngine> MakeLocalVoice(WavePlayer& player, EventLoop& loop) {
  return std::make_unique<LocalVoice>(player, loop);
}

}  // namespace kal
