// The person at the keyboard as the network layer sees them: its keys come
// from the console's key queue, its messages are written on the console
// and spoken. The interpreter holds one and installs it when its run
// begins (InitInterpreter); tests that drive the network layer directly
// install one of their own. Going away, it uninstalls itself if it is still
// the installed one, so the network layer never talks to a user gone.
#pragma once

#include "7_net/net_user.h"

namespace kal {

class ConsoleNetUser : public NetUser {
 public:
  ConsoleNetUser() = default;
  ConsoleNetUser(const ConsoleNetUser&) = delete;
  ConsoleNetUser& operator=(const ConsoleNetUser&) = delete;
  ~ConsoleNetUser() override;

  void TakeInput() override;
  void Pause(int ms) override;
  bool TakeDownloadKeys(const std::function<DownloadProgress()>& progress, bool* ticks) override;
  void Tell(const std::string& line) override;
  void Note(const std::string& line) override;
  void Click() override;
};

}  // namespace kal
