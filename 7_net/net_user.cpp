// The installed network with its user, and the quiet user used until
// another is installed (tools and benchmarks that fetch without a console).
#include "7_net/net_user.h"

#include <memory>

#include "7_net/network.h"
#include "7_net/tls.h"

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

// The installed network. Process-wide because every layer above reaches
// the network through free functions; main sets it for the run.
Network* g_network = nullptr;

}  // namespace

void SetNetUser(NetUser* user) { InstalledNetwork().user = user; }

NetUser& CurrentNetUser() {
  Network& n = InstalledNetwork();
  return n.user ? *n.user : *n.quiet;
}

Network::Network() : quiet(std::make_unique<QuietUser>()), tls(MakeTlsSession()) {}
Network::~Network() = default;

NetworkScope::NetworkScope(Network& network) : previous_(g_network) { g_network = &network; }
NetworkScope::~NetworkScope() { g_network = previous_; }

Network& InstalledNetwork() { return *g_network; }

}  // namespace kal
