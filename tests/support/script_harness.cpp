#include "tests/support/script_harness.h"

#include <gtest/gtest.h>

#include "9_app/script_file.h"
#include "6_console/console.h"
#include "0_base/speech_log.h"
#include "3_audio/wave_player.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/word_voice.h"
#include "5_speech/speech.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"
#include "1_platform/event_loop.h"
#include "1_platform/fake/capture_audio.h"
#include "1_platform/fake/fake_parallel_port.h"
#include "1_platform/stop_request.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/memory_console.h"

namespace kal::test {

ScriptResult RunScriptText(const std::string& script, const std::string& keys,
                           const std::vector<std::string>& params) {
  InterpreterState in;
  in.params = params;
  return RunScriptIn(in, script, keys);
}

ScriptResult RunScriptIn(InterpreterState& in, const std::string& script, const std::string& keys) {
  ScriptResult r;
  if (!in.context) in.context = &Context();
  UseMemoryConsole(in.context->console, keys, &r.console);
  // Sound goes to a capture device and words to a stand-in voice, so that
  // runs need neither a sound card nor the voice database.
  // The wave player starts fresh; its MIDI part (with the output maker a
  // test set) stays, and the run's start closes any output left open.
  WavePlayer& player = in.context->player;
  CloseWaveDevice(player);
  MidiState midi = std::move(player.midi);
  player = WavePlayer(in.context->platform, in.context->config, in.context->speech_log);
  player.midi = std::move(midi);
  InstallCaptureAudio(in.context->platform);
  SetWordVoice(in.context->speech, MakeLoggingWordVoice(in.context->speech_log));
  // No parallel port unless the test installed a fake one of its own, so
  // that a machine with a real port runs the scripts alike.
  if (!dynamic_cast<FakeParallelPort*>(&Port(in.context->platform)))
    InstallFakeParallelPort(in.context->platform)->SetPresent(false);
  // The run's own lines: a case may run several scripts on one context.
  CaptureSpeechLog(in.context->speech_log, true);
  ClearCapturedSpeech(in.context->speech_log);
  std::vector<std::string> lines;
  std::string err;
  SplitScriptText(script, &lines, &err);
  InitInterpreter(in, "teste");
  RunEnd end = StopRequested(Context().platform) ? RequestedStop(Context().platform) : RunEnd{};
  if (!StopRequested(Context().platform)) {
    for (size_t i = 0; i < lines.size(); ++i) StoreLine(in, lines[i], static_cast<int>(i + 1));
    end = RunDriver(in);
  }
  // As main ends a run: a stopped one restores the console, any other
  // speaks its end and restores it.
  if (IsStop(end)) {
    EndConsoleOnStop(in.context->console);
  } else {
    EndConsoleNormally(in.context->console);
  }
  r.end = end;
  r.outcome = end.reason == EndReason::kFailed ? 1 : 0;
  r.line = end.line;
  r.exit_code = end.exit_code;
  ClearStopRequest(Context().platform);
  r.speech = CapturedSpeech(in.context->speech_log);
  return r;
}

std::string Out(const std::string& script, const std::vector<std::string>& params) {
  auto r = RunScriptText(script, "\n", params);
  EXPECT_EQ(r.outcome, 0) << script;
  return r.console;
}

int FailLine(const std::string& script) {
  auto r = RunScriptText(script, "\n");
  return r.outcome == 1 ? r.line : 0;
}

ScriptResult RunScriptDecoded(bool decoded, const std::string& script, const std::string& keys,
                              const std::vector<std::string>& params) {
  InterpreterState in;
  in.limits.decode_lines = decoded;
  in.params = params;
  return RunScriptIn(in, script, keys);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (auto& l : lines) s += l + "\n";
  return s;
}

}  // namespace kal::test
