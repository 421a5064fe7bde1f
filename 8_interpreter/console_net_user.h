// The person at the keyboard as the network layer sees them: its keys come
// from the console's key queue, its messages are written on the console
// and spoken. The interpreter holds one and sets it on the run's network
// when its run begins (InitInterpreter); tests that drive the network layer
// directly set one of their own. Going away, it takes itself off that
// network if it is still its user, so the network never talks to a user
// gone.
#pragma once

#include "7_net/net_user.h"
#include "7_net/network.h"

namespace kal {

struct Console;
struct Platform;

class ConsoleNetUser : public NetUser {
 public:
  // A user made without a console neither writes nor speaks until TalkOn
  // gives it one. One made on a console writes its messages there and,
  // unless it is made quiet, speaks them with the console's facade.
  ConsoleNetUser() = default;
  enum Voice { kSpeaking, kQuiet };
  explicit ConsoleNetUser(Console& console, Voice voice = kSpeaking)
      : console_(&console), speaking_(voice == kSpeaking) {}
  ConsoleNetUser(const ConsoleNetUser&) = delete;
  ConsoleNetUser& operator=(const ConsoleNetUser&) = delete;
  ~ConsoleNetUser() override;

  // Becomes the user of network (which must outlive it or see it go first),
  // writing on that console and speaking with its facade.
  void TalkOn(Network& network, Console& console);

  void TakeInput() override;
  void Pause(int ms) override;
  bool TakeDownloadKeys(const std::function<DownloadProgress()>& progress, bool* ticks) override;
  void Tell(const std::string& line) override;
  void Note(const std::string& line) override;
  void Click() override;

 private:
  Platform* WaitsOn() const;

  Network* network_ = nullptr;  // where it was set, if anywhere
  Console* console_ = nullptr;
  bool speaking_ = false;
};

}  // namespace kal
