// The network layer's state for a run: the user it talks to, the TCP
// settings read at startup, the one TLS session, the silence a download
// waits out, and where downloads put their files. main builds one and
// hands it down: every function of the layer that connects, waits or talks
// is given it. A test gets a fresh one for each case.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kal {

class EventLoop;
class NetUser;
struct ConfigState;
struct Platform;
struct TlsSession;
struct TlsSessionDeleter {
  void operator()(TlsSession* session) const;  // frees what the session holds
};
using TlsSessionPtr = std::unique_ptr<TlsSession, TlsSessionDeleter>;
// A session with nothing open yet (tls.cpp).
TlsSessionPtr MakeTlsSession();

struct Network {
  // Every wait of the network sleeps in this platform state's loop, keeps
  // time on its clock and ends when a stop of the run is requested; its
  // settings (TIMEOUT_REDE, VERIFICACERTIFICADO) come from that
  // configuration. Both must outlive the network.
  Network(Platform& run_platform, ConfigState& run_config);
  ~Network();
  Network(const Network&) = delete;
  Network& operator=(const Network&) = delete;

  Platform& platform;
  ConfigState& config;
  EventLoop& loop;
  NetUser* user = nullptr;            // nullptr: the quiet one
  std::unique_ptr<NetUser> quiet;     // no keys, no messages
  long readiness_us = 0;              // TIMEOUT_REDE, read at startup
  std::function<std::string()> read_timeout_setting;  // empty: the configuration
  int64_t silence_ms = 60000;         // a download gives up after this much silence
  std::string (*path_mapper)(const std::string&) = nullptr;  // nullptr: HostPath
  TlsSessionPtr tls;
};

}  // namespace kal
