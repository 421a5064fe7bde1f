// A whole set of run objects, built as main builds them for a run (the
// console with its hook guard): the one each test case runs on
// (fresh_subsystems.h), or a second one that a case builds beside its own.
// Each has its own speech log, which keeps nothing until a case asks it to
// capture, and goes with the set.
#pragma once

#include <memory>

#include "0_base/speech_log.h"
#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/voices.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "6_console/console_state.h"
#include "7_net/network.h"
#include "8_interpreter/run_context.h"

namespace kal::test {

struct FreshRun {
  explicit FreshRun(std::unique_ptr<EventLoop> run_loop);

  std::unique_ptr<EventLoop> loop;
  Platform platform{*loop};
  ConfigState config{platform};
  SpeechLog speech_log;
  WavePlayer player{platform, config, speech_log};
  Voices voices{player};
  SpeechState speech{voices, platform};
  Network network{platform, config};
  Console console{platform, speech};
  ConsoleHookGuard hooking{console};
  RunContext context{platform, config, player, voices, speech, network, console, *loop, speech_log};
};

}  // namespace kal::test
