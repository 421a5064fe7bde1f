// The installed network user, and the quiet one used until another is
// installed (tools and benchmarks that fetch without a console).
#include "7_net/net_user.h"

#include "1_platform/event_loop.h"

namespace kal {
namespace {

// No keys, no messages; its waits still let the event loop run posted
// tasks, so a download without a console still moves.
class QuietUser : public NetUser {
 public:
  void TakeInput() override { Loop().Wait(0); }
  void Pause(int ms) override {
    int64_t end = Loop().NowMs() + ms;
    for (int64_t left = ms; left > 0; left = end - Loop().NowMs()) Loop().Wait(static_cast<int>(left));
  }
  bool TakeDownloadKeys(const std::function<DownloadProgress()>&, bool*) override { return false; }
  void Tell(const std::string&) override {}
  void Note(const std::string&) override {}
  void Click() override {}
};

NetUser& Quiet() {
  static QuietUser quiet;
  return quiet;
}

NetUser* g_user = nullptr;  // nullptr: the quiet one

}  // namespace

void SetNetUser(NetUser* user) { g_user = user; }

NetUser& CurrentNetUser() { return g_user ? *g_user : Quiet(); }

}  // namespace kal
