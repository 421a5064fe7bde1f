// Every test case runs on a fresh run context: the event loop, the platform
// and configuration states, the wave player, the voices, the speech facade,
// the network and the console, built for the case as main builds them for a
// run (those that main installs, installed for its length). The loop is a fake one, whose clock is
// virtual, unless the case asks for the host's. A case that needs a second
// set beside its own builds a FreshRun (fresh_run.h).
#pragma once

namespace kal {
class EventLoop;
struct RunContext;
}

namespace kal::test {

// The context of the case that is running.
RunContext& Context();

// The loop of the case's context.
EventLoop& TestLoop();

// Builds the case's context anew on the host's own loop (real time, watched
// descriptors polled), for a case that waits on a device, a thread or a
// socket. Called first in the case: what the old context held is gone.
void UseRealLoop();

}  // namespace kal::test
