// The system's own voices on Windows, for real: Wine may have the runtime
// without any voice, or no runtime at all. Either way kinds 5 and 54 must
// fail their start cleanly and be ready to try again; where voices exist, a
// short text is queued at once and a stop ends it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "1_platform/event_loop.h"
#include "1_platform/system_voice.h"
#include "4_voices/engines/voice_engine.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

TEST(SapiVoice, StartsOnlyWithAVoiceAndSpeaksWithoutBlocking) {
  for (bool flavour54 : {false, true}) {
    auto raw = MakeSystemVoice(flavour54);
    ASSERT_NE(raw, nullptr);
    std::string err;
    bool opened = raw->Open(&err);
    int voices = opened ? raw->VoiceCount() : 0;
    raw->Close();
    if (!opened) {
      EXPECT_FALSE(err.empty());
    }

    auto engine = MakeSystemVoiceEngine([flavour54] { return MakeSystemVoice(flavour54); }, Context().platform);
    bool started = engine->Start(1, 0, 0, "");
    EXPECT_EQ(started, voices > 0) << "flavour54=" << flavour54 << " " << err;
    if (started) {
      auto begin = std::chrono::steady_clock::now();
      engine->Speak("ok");
      EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(500));
      engine->Stop();
      auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (engine->Busy(0) && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      EXPECT_FALSE(engine->Busy(0));
    }
    // Whatever happened, the engine can be released and started again.
    engine->Release();
    EXPECT_EQ(engine->Start(1, 0, 0, ""), started);
    engine->Release();
  }
}

}  // namespace
}  // namespace kal::test
