// Download throughput: the download command's client fetching a 200 MB file
// from a server on 127.0.0.1, beside curl fetching the same file in the same
// run, in turns, the best of several rounds each. Ticks are off; the keys
// are looked at through the console as in the program. Prints MB/s for
// both and their ratio (1.0 or more: at least as fast as curl).
//
// Usage: bench_download [megabytes]   (default 200)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "0_base/speech_log.h"
#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "3_audio/wave_player_state.h"
#include "5_speech/speech.h"
#include "4_voices/voices.h"
#include "5_speech/speech_state.h"
#include "7_net/network.h"
#include "6_console/console_state.h"
#include "6_console/console.h"
#include "7_net/http_download.h"
#include "7_net/net_user.h"
#include "8_interpreter/console_net_user.h"
#include "1_platform/event_loop.h"
#include "1_platform/host.h"
#include "1_platform/socket.h"

namespace {

using Clock = std::chrono::steady_clock;

// Serves the same body to every client until told to stop: reads the request
// head, answers 200 with the length, sends the body in large pieces.
class BodyServer {
 public:
  explicit BodyServer(size_t size) : body_(size, 'k') {
    for (size_t i = 0; i < size; i += 4093) body_[i] = static_cast<char>(i);
    listener_ = kal::SockCreateTcp();
    kal::SockBind(listener_, kal::kLoopbackAddress, 0, true);
    kal::SockListen(listener_, 8);
    port_ = kal::SockLocalPort(listener_);
    thread_ = std::thread([this] { Run(); });
  }
  ~BodyServer() {
    stop_ = true;
    thread_.join();
    kal::SockClose(listener_);
  }
  int port() const { return port_; }

 private:
  void Run() {
    while (!stop_) {
      if (kal::SockWaitReadable(listener_, 50000) <= 0) continue;
      int s = kal::SockAccept(listener_);
      if (s < 0) continue;
      std::string head;
      char c;
      while (head.size() < 65536 && kal::SockRecv(s, &c, 1) == 1) {
        head.push_back(c);
        if (head.size() >= 4 && head.compare(head.size() - 4, 4, "\r\n\r\n") == 0) break;
      }
      std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                          std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n";
      kal::SockSend(s, reply.data(), reply.size());
      size_t done = 0;
      while (done < body_.size()) {
        long n = kal::SockSend(s, body_.data() + done, std::min<size_t>(1 << 20, body_.size() - done));
        if (n <= 0) break;
        done += static_cast<size_t>(n);
      }
      kal::SockClose(s);
    }
  }
  std::string body_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<kal::EventLoop> loop = kal::MakePollEventLoop();  // outlives what waits on it
  kal::Platform platform(*loop);  // the platform layer's state for the run
  kal::ConfigState config(platform);  // and the configuration's
  kal::SpeechLog speech_log;  // the speech log: no file, nothing kept
  kal::WavePlayer player(platform, config, speech_log);  // the wave player the voices play on
  kal::Voices voices(player);  // the voices and the speech facade the console speaks with
  kal::SpeechState speech(voices, platform);
  kal::Console the_console(platform, speech);  // and the console's
  kal::ConsoleHookGuard hooking(the_console);
  size_t mb = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
  if (mb == 0) mb = 200;
  size_t size = mb << 20;
  kal::Network network(platform, config);
  kal::SetConsoleFrontEnd(the_console, kal::MakeConsoleFrontEnd(platform, true));
  kal::ConsoleNetUser user(the_console);
  kal::SetNetUser(network, &user);
  BodyServer server(size);
  std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/big.bin";
  auto dir = std::filesystem::temp_directory_path();
  std::string ours = (dir / "kaldorin-bench-ours.bin").string();
  std::string theirs = (dir / "kaldorin-bench-curl.bin").string();

  constexpr int kRounds = 5;
  double best_ours = 0, best_curl = 0;
  for (int round = 0; round < kRounds; ++round) {
    std::filesystem::remove(ours);
    auto t0 = Clock::now();
    bool ok = kal::Download(network, {url, ours, false, "bench", ""});
    double s = Seconds(t0);
    if (!ok || std::filesystem::file_size(ours) != size) {
      std::fprintf(stderr, "download failed\n");
      return 1;
    }
    best_ours = std::max(best_ours, mb / s);

    std::filesystem::remove(theirs);
    std::string cmd = "curl -s -o '" + theirs + "' '" + url + "'";
    t0 = Clock::now();
    int rc = std::system(cmd.c_str());
    s = Seconds(t0);
    if (rc == 0 && std::filesystem::file_size(theirs) == size) best_curl = std::max(best_curl, mb / s);
  }
  std::filesystem::remove(ours);
  std::filesystem::remove(theirs);
  std::printf("download of %zu MB from 127.0.0.1 (best of %d rounds)\n", mb, kRounds);
  std::printf("  kaldorin: %8.1f MB/s\n", best_ours);
  if (best_curl > 0) {
    std::printf("  curl:     %8.1f MB/s\n", best_curl);
    std::printf("  ratio to curl: %.2f\n", best_ours / best_curl);
  } else {
    std::printf("  curl:     not available\n");
  }
  return 0;
}
