// The script store, the run loop and the run driver.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "2_config/config.h"
#include "3_audio/midi.h"
#include "6_console/console.h"
#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "6_console/write_and_speak.h"
#include "8_interpreter/console_net_user.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/script_check.h"
#include "8_interpreter/state.h"
#include "1_platform/console_frontend.h"
#include "1_platform/desktop.h"
#include "1_platform/event_loop.h"
#include "1_platform/host.h"
#include "1_platform/platform.h"
#include "1_platform/stop_request.h"

namespace kal {

namespace {

// The reset pauses a moment so that a window can deliver the messages
// queued since it opened (its first paint, its place on the desktop). That
// needs a window queue: the host's own (Windows) or a window of ours.
// Without one nothing waits to be delivered and the pause is only lost time;
// the input typed ahead (a break key pressed at the start) is still taken.
bool WindowQueueExists(InterpreterState& in) {
  if (HostKeepsWindowQueue()) return true;
  ConsoleFrontEnd* front = in.context ? FrontEndOf(in.context->console) : nullptr;
  return front && front->WindowId() != 0;
}

}  // namespace

void InitInterpreter(InterpreterState& in, std::string_view program_name) {
  if (WindowQueueExists(in)) {
    Delay(in.context->platform, 1);
  } else {
    PumpMessages(in.context->platform);
  }
  StopMidi(in.context->player);
  // The network layer asks and tells the user through the console.
  in.net_user.TalkOn(in.context->network, in.context->console);
  LocalTime t = NowLocal(in.context->platform);
  in.start_weekday = t.weekday;
  in.start_time = t.hour * 360000 + t.minute * 6000 + t.second * 100 + t.hundredths;
  // The application's own sounds live in the folder the configuration names.
  InitSpeech(in.context->speech, 0, ReadConfig(in.context->config, cfg::kDirKaldorin));
  ClearScreen(in.context->console);
  SetConsoleTitle(in.context->console, "KALDORIN");
  SetConsoleTitle(in.context->console, program_name);
  // The voice the configuration asks for could not start: the user hears
  // and reads why, since the recorded voice speaks instead. A missing
  // MBROLA that a silent install never mentioned is told once.
  std::string problem = VoiceStartProblem(in.context->speech);
  if (problem.empty()) problem = MissingMbrolaNoticeOnce(in.context->speech);
  if (!problem.empty()) WriteLineAndSpeak(in.context->console, problem);
}

bool StoreLine(InterpreterState& in, std::string_view text, int n) {
  if (n < 1 || n > kMaxScriptLines) return false;
  auto& s = in;
  if (s.lines.size() <= static_cast<size_t>(n)) {
    s.lines.resize(static_cast<size_t>(n) + 1);
    s.index.lines.resize(static_cast<size_t>(n) + 1);
  }
  s.lines[static_cast<size_t>(n)] = std::string(text);
  AnalyseLine(s.lines[static_cast<size_t>(n)], &s.index.lines[static_cast<size_t>(n)]);
  ++s.index.generation;
  s.line_count = n;
  return true;
}

namespace {

// How often the run loop takes input while no line waits for anything, and
// how many lines pass between two looks at the clock: reading the clock is
// dearer than a line, so it is read only every kLinesPerClockLook lines.
constexpr int64_t kInputEveryMs = 20;
constexpr int kLinesPerClockLook = 1024;

// A script loop that never waits would never look at the terminal: the
// pump is consulted between lines every kInputEveryMs, so that the break
// key ends such a loop.
void TakeInputNowAndThen(Platform& platform, int64_t* next) {
  if (platform.loop.NowMs() < *next) return;
  PumpMessages(platform);
  *next = platform.loop.NowMs() + kInputEveryMs;
}

// Whether the run loop may run quiet decoded lines in their quick form
// (quick_code.h; ExecuteStoredLine would run them so): the limits let
// every command that has a decoded form run decoded (`allowed`), no hook
// wants to see each line, and the table of decoded lines is the current
// store's. Only lines that are not quiet change these.
bool QuickLinesMayRun(const InterpreterState& in, bool allowed) {
  return allowed && !in.before_line && in.decode_lines && in.quick_lines &&
         in.index.codes_generation == in.index.generation;
}

// Why the current line failed: the reason its handler recorded, or else
// what its text shows wrong (the script check's reason for the line).
void FailedLineReason(InterpreterState& in, RunEnd* r) {
  if (!in.fail_reason.code.empty()) {
    r->why = in.fail_reason.message;
    r->why_code = std::string(in.fail_reason.code);
    return;
  }
  LineFault(in, in.current_line, &r->why, &r->why_code);
}

}  // namespace

RunEnd RunScript(InterpreterState& in) {
  auto& s = in;
  s.current_line = 1;
  s.error = false;
  s.stop = false;
  s.exit_code = 0;
  s.call_depth = 0;
  s.last_status = 0;
  s.commands_limited = !in.limits.allowed_commands.empty();
  s.decode_lines = in.limits.decode_lines;
  s.quick_lines = in.limits.quick_lines;
  EventLoop& loop = in.context->loop;
  int64_t next_input = loop.NowMs() + kInputEveryMs;
  int until_clock = kLinesPerClockLook;
  int64_t budget_end = in.limits.max_lines > 0 ? s.lines_run + in.limits.max_lines : INT64_MAX;
  bool stopped = StopRequested(in.context->platform);
  const bool allowed = DecodedCommandsAllowed(in.limits.allowed_commands);
  bool quick = QuickLinesMayRun(in, allowed);
  while (!stopped && s.current_line <= s.line_count && !s.stop && !s.error) {
    if (--until_clock == 0) {
      until_clock = kLinesPerClockLook;
      TakeInputNowAndThen(in.context->platform, &next_input);
      if ((stopped = StopRequested(in.context->platform))) break;
    }
    bool quiet;
    if (quick && s.index.codes[static_cast<size_t>(s.current_line)].quiet) {
      // This line and the quiet lines after it, up to the next look at the
      // input and the end of the budget.
      int most = static_cast<int>(std::min<int64_t>(until_clock, budget_end - s.lines_run));
      until_clock -= RunQuickLines(in, most) - 1;
      if (s.lines_run == budget_end) s.stop = true;
      if (!s.error) continue;
      quiet = false;  // the failed line ends as every line does
    } else {
      ClearFailReason(in);
      ExecuteStoredLine(in, s.current_line, &quiet);
      quick = QuickLinesMayRun(in, allowed);
    }
    // A stop asked for during the line (a wait cut short, a signal) ends
    // the run before the line's own outcome counts. A quiet line cannot
    // have asked for one; a signal's is seen at the next line that is not
    // quiet, or with the input now and then.
    if (!quiet && (stopped = StopRequested(in.context->platform))) break;
    if (!s.stop && !s.error) ++s.current_line;
    if (++s.lines_run == budget_end) s.stop = true;
  }
  // A stop outranks the line's own failure: the line failed because its
  // wait was cut short.
  RunEnd r = stopped ? RequestedStop(in.context->platform) : EndOf(s.error ? EndReason::kFailed : EndReason::kNormal);
  if (r.reason == EndReason::kNormal) r.exit_code = s.exit_code;
  if (r.reason == EndReason::kFailed) FailedLineReason(in, &r);
  r.line = s.current_line;
  s.line_count = 0;
  return r;
}

RunEnd RunDriver(InterpreterState& in) {
  RunEnd r = RunScript(in);
  if (IsStop(r)) return r;
  if (r.reason == EndReason::kNormal) {
    if (!in.quiet_end) SpeakText(in.context->speech, L1(kMsgEndOfScript));
    return r;
  }
  RestoreConsoleWindow(in.context->platform);  // TELA MINIMIZADA may have hidden it
  if (!r.why.empty()) SayLine(in, r.why);
  SpeakText(in.context->speech, L1(kMsgRunError));
  WriteNumberAndSpeak(in.context->console, r.line);
  ConsoleWrite(in.context->console, "\r\n");
  ConsoleReadLine(in.context->console);
  // The input may end during that wait: then that is how the run ended.
  if (StopRequested(in.context->platform)) {
    int line = r.line;
    r = RequestedStop(in.context->platform);
    r.line = line;
  }
  return r;
}

int LastStatus(InterpreterState& in) { return in.last_status; }
void SetLastStatus(InterpreterState& in, int status) { in.last_status = status; }

}  // namespace kal
