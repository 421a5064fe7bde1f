// The person at the keyboard as the network layer sees them: its keys come
// from the console's key queue, its messages are written on the console
// and spoken. ResetInterpreter installs it; tests that drive the network
// layer directly install it themselves.
#pragma once

#include "7_net/net_user.h"

namespace kal {

NetUser& ConsoleNetUser();

}  // namespace kal
