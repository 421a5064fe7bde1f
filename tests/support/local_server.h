// A small server on 127.0.0.1 for network tests: it accepts connections on
// a thread of its own and hands each to the test's handler on a thread of
// the connection's own.
// With tls set it answers with a certificate signed by the test CA
// (tests/support/test_ca.h) for localhost and 127.0.0.1, or, with
// kOtherHost, for another host name only.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace kal::test {

class LocalServer;

class ServerConnection {
 public:
  ServerConnection(int socket, SSL* ssl, LocalServer* server);
  ~ServerConnection();
  // The request head up to and including the empty line (recorded in the
  // server); "" when the client closed first.
  std::string ReadHead();
  // One line without its LF (and CR); false when the client closed.
  bool ReadLine(std::string* line);
  bool Send(std::string_view bytes);
  // Bytes the client sent until it closed, or until limit.
  std::string ReadAll(size_t limit = 1 << 20);
  bool Stopping() const;
  int socket() const { return socket_; }

 private:
  long Recv(char* buffer, size_t size);
  int socket_;
  SSL* ssl_;
  LocalServer* server_;
  std::string pending_;
};

// Whom the TLS server's certificate names.
enum class CertNames { kLocal, kOtherHost };

class LocalServer {
 public:
  using Handler = std::function<void(ServerConnection&)>;
  explicit LocalServer(Handler handler, bool tls = false, CertNames names = CertNames::kLocal);
  ~LocalServer();
  int port() const { return port_; }
  std::string Url(std::string_view path, bool https = false) const;
  // What ReadHead collected, one entry per request, in order.
  std::vector<std::string> Heads();
  // Server names the TLS clients sent (empty text for none).
  std::vector<std::string> ServerNames();
  int Connections() const { return connections_.load(); }
  void RecordHead(const std::string& head);
  bool Stopping() const { return stopping_.load(); }

 private:
  void Run();
  void Serve(int socket);
  Handler handler_;
  bool tls_;
  SSL_CTX* context_ = nullptr;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::mutex mu_;
  std::vector<int> open_;  // sockets of connections being served
  std::vector<std::thread> workers_;
  std::vector<std::string> heads_;
  std::vector<std::string> names_;
  std::thread thread_;
};

// A handler that reads the request head and answers with the given bytes.
LocalServer::Handler Reply(std::string response);

}  // namespace kal::test
