// Every test case runs on a fresh run context: the platform and
// configuration states, the wave player, the voices, the speech facade, the
// network and the console, built for the case as main builds them for a run
// and installed for its length. A case that needs a second fresh one in its
// middle builds it and installs it with its own scope.
#pragma once

namespace kal {
struct RunContext;
}

namespace kal::test {

// The context of the case that is running.
RunContext& Context();

}  // namespace kal::test
