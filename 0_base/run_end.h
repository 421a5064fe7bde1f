// How a run ended, as it travels back to main. Nothing below main ends the
// process: whatever stops the program (the script's end, TERMINA, a failing
// line, the input ending while a key is awaited, a voice that cannot start,
// the break key, a signal) becomes a RunEnd that the run loop returns, and
// main alone restores the terminal and returns the exit code.
#pragma once

#include <string>

namespace kal {

enum class EndReason {
  kNormal,      // the script ran to its end or to TERMINA
  kFailed,      // a line failed (reported, Enter awaited)
  kNotLoaded,   // the script could not be loaded
  kInputEnded,  // the input ended while the program waited for a key
  kNoVoice,     // the recorded voice could not start
  kInterrupted, // the break key
  kSignal,      // a termination signal from outside
};

// The exit codes the program documents.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitInputEnded = 2;
inline constexpr int kExitNoVoice = 3;
// The break key and SIGINT, as a shell reports an interrupted command.
inline constexpr int kExitInterrupted = 130;

struct RunEnd {
  EndReason reason = EndReason::kNormal;
  int exit_code = kExitNormal;
  int line = 0;    // the script line at which the run stopped (0: none ran)
  int signal = 0;  // the signal's number for kSignal
  bool break_key = false;  // the break key was pressed in this program (it says so before it ends)
  std::string why;  // kFailed: why the line failed (UTF-8), said before the report; empty when unknown
  std::string why_code;  // kFailed: the reason's code ("K121"), when it has one
};

inline RunEnd EndWith(EndReason reason, int exit_code) {
  RunEnd end;
  end.reason = reason;
  end.exit_code = exit_code;
  return end;
}

// The end that each reason gives, with its documented exit code.
inline RunEnd EndOf(EndReason reason) {
  switch (reason) {
    case EndReason::kNormal: return EndWith(reason, kExitNormal);
    case EndReason::kFailed:
    case EndReason::kNotLoaded: return EndWith(reason, kExitFailed);
    case EndReason::kInputEnded: return EndWith(reason, kExitInputEnded);
    case EndReason::kNoVoice: return EndWith(reason, kExitNoVoice);
    case EndReason::kInterrupted: return EndWith(reason, kExitInterrupted);
    case EndReason::kSignal: break;
  }
  return EndWith(EndReason::kSignal, 128);
}

// A termination signal ends with 128 plus its number (SIGINT 130, SIGTERM
// 143, SIGHUP 129).
inline RunEnd EndOfSignal(int sig) {
  RunEnd end = EndWith(EndReason::kSignal, 128 + sig);
  end.signal = sig;
  return end;
}

// True for the ends that stop a run from outside its script: the program
// ends at once, without the script's spoken end or error report.
inline bool IsStop(const RunEnd& end) {
  return end.reason != EndReason::kNormal && end.reason != EndReason::kFailed && end.reason != EndReason::kNotLoaded;
}

}  // namespace kal
