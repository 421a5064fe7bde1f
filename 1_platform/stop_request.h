// The "stop requested" state of a run (Platform::stop): the one place where
// a run learns that it must end before its script does.
//
// Whatever asks for the end (the console when the input ends during a wait
// for a key or the break key is read, the speech facade when the voice
// cannot start, a signal handler) records it here and returns. From then on
// every wait unwinds at once: KeyPressed is true (a waiting key cuts every
// sound short), ReadKey answers a neutral byte at once, Delay returns, the
// field editor and the viewer leave; the run loop looks at the flag after
// each line and hands the recorded end back to main.
#pragma once

#include "0_base/run_end.h"

namespace kal {

struct Platform;

// Records the end unless one was recorded already: the first reason wins.
void RequestStop(Platform& platform, const RunEnd& end);
// Async-signal-safe (one sig_atomic_t store): a termination signal asks for
// the end of whatever run the process has. A signal handler has no state to
// reach, so this one flag is process-wide; every run sees it as its own
// stop. A plain request made earlier still wins.
void RequestStopFromSignal(int sig);
bool StopRequested(const Platform& platform);
// The recorded end; {kNormal, 0} while none was requested.
RunEnd RequestedStop(const Platform& platform);
// Forgets the request (and a signal's): a fresh run in the same process
// (tests), or main once it holds the end and wants a last word heard.
void ClearStopRequest(Platform& platform);

// The byte ReadKey answers once a stop is requested: no key.
inline constexpr unsigned char kNoKeyByte = 0;

}  // namespace kal
