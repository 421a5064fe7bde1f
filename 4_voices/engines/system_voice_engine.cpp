// Kinds 5 and 54 where the system has voices of its own (Windows): the
// system's voice object driven from the program's thread. It speaks on its
// own; this engine only queues text and looks whether speech has ended,
// waiting in short slices of the event pump so that a key is never kept
// waiting.
//
// Without the runtime, or with no voice installed, the start fails and the
// facade goes on without this engine, as it does on Linux when the speech
// server is missing.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "1_platform/event_loop.h"
#include "1_platform/stop_request.h"
#include "1_platform/platform.h"
#include "1_platform/system_voice.h"
#include "4_voices/engines/voice_engine.h"

namespace kal {

namespace {

constexpr int kBusyWaitMs = 20;
constexpr int kStopPauseMs = 50;
constexpr int kReleaseStepMs = 300;
// Release waits for speech to end; a voice still talking after this long
// is silenced instead.
constexpr int kReleaseLimitMs = 60000;

// The system's own words mean little to the user; they go to standard
// error only when KALDORIN_AUDIO_DEBUG asks for them.
void DebugDetail(const std::string& detail) {
  if (!detail.empty() && std::getenv("KALDORIN_AUDIO_DEBUG"))
    std::fprintf(stderr, "kaldorin: system voice: %s\n", detail.c_str());
}

class SystemVoiceEngine : public VoiceEngine {
 public:
  SystemVoiceEngine(SystemVoiceMaker maker, Platform& platform)
      : maker_(std::move(maker)), platform_(platform), loop_(platform.loop) {}
  ~SystemVoiceEngine() override { Drop(); }

  bool Start(int voice, int rate, int, const std::string& output_file) override {
    Release();
    std::unique_ptr<SystemVoice> v = maker_ ? maker_() : nullptr;
    std::string err = "this system has no voices of its own";
    if (!v || !v->Open(&err)) {
      DebugDetail(err);
      return false;
    }
    int count = v->VoiceCount();
    // A voice number outside the list: the first voice at its normal rate.
    if (voice < 1 || voice > count) voice = 1, rate = 0;
    bool ok = count > 0 && v->UseVoice(voice - 1);
    if (ok) v->SetRate(std::clamp(rate, -10, 10));  // refused: the voice keeps its rate
    if (ok && !output_file.empty()) ok = v->SetOutputFile(output_file);
    if (!ok) {
      DebugDetail(count > 0 ? "the voice could not be set up" : "no voice is installed");
      v->Close();
      return false;
    }
    voice_ = std::move(v);
    return true;
  }

  // A text the voice refuses is lost.
  void Speak(std::string_view text) override {
    if (voice_ && !voice_->Speak(text.empty() ? std::string_view(" ") : text)) DebugDetail("a text was refused");
  }

  bool Busy(int) override {
    if (!voice_ || !voice_->Speaking()) return false;
    // Posted work and keys wake this wait early.
    loop_.Wait(kBusyWaitMs);
    return voice_->Speaking();
  }

  void Stop() override {
    if (!voice_) return;
    voice_->Purge();
    SleepAndPump(platform_, kStopPauseMs);
  }

  // Speech under way is let finish, unless the run is being stopped.
  void Release() override {
    if (!voice_) return;
    for (int waited = 0; Busy(0) && !StopRequested(platform_) && waited < kReleaseLimitMs; waited += kReleaseStepMs)
      SleepAndPump(platform_, kReleaseStepMs);
    Drop();
  }

 private:
  void Drop() {
    if (!voice_) return;
    if (voice_->Speaking()) voice_->Purge();
    voice_->Close();
    voice_.reset();
  }

  SystemVoiceMaker maker_;
  Platform& platform_;
  EventLoop& loop_;
  std::unique_ptr<SystemVoice> voice_;
};

}  // namespace

std::unique_ptr<VoiceEngine> MakeSystemVoiceEngine(SystemVoiceMaker maker, Platform& platform) {
  return std::make_unique<SystemVoiceEngine>(std::move(maker), platform);
}

}  // namespace kal
