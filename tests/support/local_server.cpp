// The local test server: plain or TLS with a certificate made at start.
#include "tests/support/local_server.h"

#include "1_platform/socket.h"
#include "tests/support/server_tls.h"

namespace kal::test {

ServerConnection::ServerConnection(int socket, SSL* ssl, LocalServer* server)
    : socket_(socket), ssl_(ssl), server_(server) {}

ServerConnection::~ServerConnection() {
  if (ssl_) {
    ServerTlsEnd(ssl_);
  }
  SockClose(socket_);
}

bool ServerConnection::Stopping() const { return server_->Stopping(); }

long ServerConnection::Recv(char* buffer, size_t size) {
  if (!pending_.empty()) {
    size_t n = std::min(size, pending_.size());
    pending_.copy(buffer, n);
    pending_.erase(0, n);
    return static_cast<long>(n);
  }
  if (ssl_) return ServerTlsRead(ssl_, buffer, size);
  // Waits in slices so that a server being stopped ends its connections:
  // shutting a socket down does not wake a receive blocked on it in every
  // system (Wine's Winsock keeps waiting).
  for (;;) {
    int ready = SockWaitReadable(socket_, 20000);
    if (ready < 0 || Stopping()) return -1;
    if (ready > 0) return SockRecv(socket_, buffer, size);
  }
}

std::string ServerConnection::ReadHead() {
  std::string head;
  char c;
  while (head.size() < (1 << 20)) {
    if (Recv(&c, 1) <= 0) return "";
    head.push_back(c);
    if (head.size() >= 4 && head.compare(head.size() - 4, 4, "\r\n\r\n") == 0) break;
  }
  server_->RecordHead(head);
  return head;
}

bool ServerConnection::ReadLine(std::string* line) {
  line->clear();
  char c;
  for (;;) {
    if (Recv(&c, 1) <= 0) return !line->empty();
    if (c == '\n') break;
    line->push_back(c);
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

std::string ServerConnection::ReadAll(size_t limit) {
  std::string all;
  char buf[4096];
  while (all.size() < limit) {
    long n = Recv(buf, sizeof buf);
    if (n <= 0) break;
    all.append(buf, static_cast<size_t>(n));
  }
  return all;
}

bool ServerConnection::Send(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    long n = ssl_ ? ServerTlsWrite(ssl_, bytes.data() + done, bytes.size() - done)
                  : SockSend(socket_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

LocalServer::LocalServer(Handler handler, bool tls, CertNames names) : handler_(std::move(handler)), tls_(tls) {
  if (tls_) context_ = ServerTlsContext(names);
  listener_ = SockCreateTcp();
  SockBind(listener_, kLoopbackAddress, 0, true);
  SockListen(listener_, 8);
  port_ = SockLocalPort(listener_);
  thread_ = std::thread([this] { Run(); });
}

LocalServer::~LocalServer() {
  stopping_ = true;
  thread_.join();
  {
    std::lock_guard<std::mutex> lock(mu_);
    for (int s : open_) SockShutdown(s);
  }
  for (auto& w : workers_) w.join();
  SockClose(listener_);
}

std::string LocalServer::Url(std::string_view path, bool https) const {
  return std::string(https ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void LocalServer::Run() {
  while (!stopping_) {
    if (SockWaitReadable(listener_, 20000) <= 0) continue;
    int s = SockAccept(listener_);
    if (s < 0) continue;
    ++connections_;
    std::lock_guard<std::mutex> lock(mu_);
    open_.push_back(s);
    workers_.emplace_back([this, s] { Serve(s); });
  }
}

void LocalServer::Serve(int s) {
  SSL* ssl = nullptr;
  if (tls_) {
    std::string sni;
    ssl = ServerTlsAccept(context_, s, &sni);
    if (ssl) {
      std::lock_guard<std::mutex> lock(mu_);
      names_.push_back(sni);
    }
  }
  // The socket leaves the list before it is closed, so that its number,
  // once given to a new connection, is not taken for this one.
  auto forget = [this, s] {
    std::lock_guard<std::mutex> lock(mu_);
    std::erase(open_, s);
  };
  if (!tls_ || ssl) {
    ServerConnection conn(s, ssl, this);  // closes the socket when done
    handler_(conn);
    forget();
  } else {
    forget();
    SockClose(s);
  }
}

void LocalServer::RecordHead(const std::string& head) {
  std::lock_guard<std::mutex> lock(mu_);
  heads_.push_back(head);
}

std::vector<std::string> LocalServer::Heads() {
  std::lock_guard<std::mutex> lock(mu_);
  return heads_;
}

std::vector<std::string> LocalServer::ServerNames() {
  std::lock_guard<std::mutex> lock(mu_);
  return names_;
}

LocalServer::Handler Reply(std::string response) {
  return [response](ServerConnection& c) {
    if (!c.ReadHead().empty()) c.Send(response);
  };
}

}  // namespace kal::test
