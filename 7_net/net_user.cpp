// The network's user, and the quiet user used until another is set (tools and benchmarks that fetch without a console).
#include "7_net/net_user.h"

#include <memory>

#include "7_net/network.h"
#include "7_net/tls.h"

#include "1_platform/event_loop.h"
#include "1_platform/platform.h"

namespace kal {
namespace {

// No keys, no messages; its waits still let the event loop run posted
// tasks, so a download without a console still moves.
class QuietUser : public NetUser {
 public:
  explicit QuietUser(EventLoop& loop) : loop_(loop) {}
  void TakeInput() override { loop_.Wait(0); }
  void Pause(int ms) override {
    int64_t end = loop_.NowMs() + ms;
    for (int64_t left = ms; left > 0; left = end - loop_.NowMs()) loop_.Wait(static_cast<int>(left));
  }
  bool TakeDownloadKeys(const std::function<DownloadProgress()>&, bool*) override { return false; }
  void Tell(const std::string&) override {}
  void Note(const std::string&) override {}
  void Click() override {}

 private:
  EventLoop& loop_;
};

}  // namespace

void SetNetUser(Network& network, NetUser* user) { network.user = user; }

NetUser& UserOf(Network& network) { return network.user ? *network.user : *network.quiet; }

Network::Network(Platform& run_platform, ConfigState& run_config)
    : platform(run_platform),
      config(run_config),
      loop(run_platform.loop),
      quiet(std::make_unique<QuietUser>(run_platform.loop)),
      tls(MakeTlsSession()) {}
Network::~Network() = default;

}  // namespace kal
