// The one TLS session of the program, over OpenSSL. The session's bytes
// travel through a small BIO of our own that calls the socket seam.
#include "net/tls.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cstdint>
#include <string>

#include "console/console.h"
#include "platform/socket.h"

namespace kal {
namespace {

// How long a read of the session waits for bytes before it says want-read.
constexpr long kReadStepUs = 100000;
// Handshake steps that may each wait that long: a silent server is given up
// after about a minute.
constexpr int kHandshakeSteps = 600;

struct TlsSession {
  SSL_CTX* context = nullptr;
  SSL* connection = nullptr;
  int socket = 0;  // 0 when no socket carries the session
  bool active = false;
  bool ready = false;
  bool available = true;  // tests switch the capability off
  int contexts_made = 0;
};

TlsSession& T() {
  static TlsSession s;
  return s;
}

// --- The BIO over the socket seam ---------------------------------------

int SocketOf(BIO* b) { return static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(b))); }

int BioWrite(BIO* b, const char* data, int length) {
  BIO_clear_retry_flags(b);
  long n = SockSend(SocketOf(b), data, static_cast<size_t>(length));
  return n > 0 ? static_cast<int>(n) : -1;
}

// Reads what the socket has, waiting at most a short step for the rest of a
// record; with nothing there, OpenSSL hears "try again" (want-read), so no
// read of the session ever blocks for long.
int BioRead(BIO* b, char* buffer, int size) {
  BIO_clear_retry_flags(b);
  int s = SocketOf(b);
  long n = SockRecvNoWait(s, buffer, static_cast<size_t>(size));
  if (n == kNothingYet && SockWaitReadable(s, kReadStepUs) > 0) n = SockRecvNoWait(s, buffer, static_cast<size_t>(size));
  if (n == kNothingYet) {
    BIO_set_retry_read(b);
    return -1;
  }
  return n >= 0 ? static_cast<int>(n) : -1;  // 0 is the end of the stream
}

long BioCtrl(BIO*, int command, long, void*) {
  return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int BioCreate(BIO* b) {
  BIO_set_init(b, 1);
  return 1;
}

int BioDestroy(BIO*) { return 1; }

BIO_METHOD* SocketSeamMethod() {
  static BIO_METHOD* method = [] {
    BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "kaldorin socket");
    if (!m) return m;
    BIO_meth_set_write(m, BioWrite);
    BIO_meth_set_read(m, BioRead);
    BIO_meth_set_ctrl(m, BioCtrl);
    BIO_meth_set_create(m, BioCreate);
    BIO_meth_set_destroy(m, BioDestroy);
    return m;
  }();
  return method;
}

// --- The session ---------------------------------------------------------

// Makes the context when there is none; false when the TLS capability is
// missing.
bool ReadyContext() {
  auto& t = T();
  if (t.ready) return true;
  if (!t.available) return false;
  // No clean-up at exit: a connection still open when the program ends is
  // closed after that point, and must find the library still there.
  OPENSSL_init_ssl(OPENSSL_INIT_NO_ATEXIT, nullptr);
  t.context = SSL_CTX_new(TLS_client_method());
  if (!t.context) return false;
  // The peer's certificate is accepted as it is.
  SSL_CTX_set_verify(t.context, SSL_VERIFY_NONE, nullptr);
  // A peer that closes without saying goodbye ends the stream quietly, as
  // closing a plain connection does.
  SSL_CTX_set_options(t.context, SSL_OP_IGNORE_UNEXPECTED_EOF);
  ++t.contexts_made;
  t.ready = true;
  return true;
}

void FreeConnection() {
  auto& t = T();
  if (t.connection) {
    SSL_free(t.connection);
    t.connection = nullptr;
  }
}

}  // namespace

bool TlsConnect(int socket, std::string_view server_name) {
  auto& t = T();
  if (!ReadyContext()) return false;
  FreeConnection();  // a second session replaces the first
  t.active = false;
  t.socket = 0;
  BIO* bio = SocketSeamMethod() ? BIO_new(SocketSeamMethod()) : nullptr;
  t.connection = bio ? SSL_new(t.context) : nullptr;
  if (!t.connection) {
    BIO_free(bio);
    return false;
  }
  BIO_set_data(bio, reinterpret_cast<void*>(static_cast<intptr_t>(socket)));
  SSL_set_bio(t.connection, bio, bio);
  std::string name(server_name);
  SSL_set_tlsext_host_name(t.connection, name.c_str());
  for (int step = 0; step < kHandshakeSteps; ++step) {
    ERR_clear_error();
    int r = SSL_connect(t.connection);
    if (r > 0) {
      t.socket = socket;
      t.active = true;
      break;
    }
    int code = SSL_get_error(t.connection, r);
    if (code != SSL_ERROR_WANT_READ && code != SSL_ERROR_WANT_WRITE) break;
  }
  return t.active;
}

void TlsEnd() {
  auto& t = T();
  if (t.context) {
    SSL_CTX_free(t.context);  // reference-counted: the connection keeps it until freed
    t.context = nullptr;
  }
  if (t.connection) {
    if (t.active) SSL_shutdown(t.connection);
    FreeConnection();
  }
  ERR_clear_error();
  t.socket = 0;
  t.active = false;
  t.ready = false;
}

int TlsReceive(char* buffer, int size) {
  auto& t = T();
  if (!t.connection) return -1;
  for (;;) {
    ERR_clear_error();
    int n = SSL_read(t.connection, buffer, size);
    int code = SSL_get_error(t.connection, n);
    switch (code) {
      case SSL_ERROR_NONE:
        return n;
      case SSL_ERROR_WANT_READ:
        Delay(100);
        continue;
      case SSL_ERROR_WANT_WRITE:
        Delay(100);
        return n;
      case SSL_ERROR_SYSCALL:
      case SSL_ERROR_ZERO_RETURN:
        return -1;
      default:
        ConsoleWriteLine("Erro SSL: " + std::to_string(code));
        return -1;
    }
  }
}

int TlsReceiveNoWait(char* buffer, int size) {
  auto& t = T();
  if (!t.connection) return 0;
  ERR_clear_error();
  int n = SSL_read(t.connection, buffer, size);
  int code = SSL_get_error(t.connection, n);
  switch (code) {
    case SSL_ERROR_NONE:
      return n;
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
      return -1;
    case SSL_ERROR_SYSCALL:
    case SSL_ERROR_ZERO_RETURN:
      return 0;
    default:
      ConsoleWriteLine("Erro SSL: " + std::to_string(code));
      return 0;
  }
}

int TlsSend(const char* data, int length) {
  auto& t = T();
  if (!t.connection) return -1;
  for (;;) {
    ERR_clear_error();
    int n = SSL_write(t.connection, data, length);
    int code = SSL_get_error(t.connection, n);
    if (code == SSL_ERROR_NONE) return n;
    if (code == SSL_ERROR_WANT_WRITE) {
      Delay(100);
      continue;
    }
    if (code == SSL_ERROR_WANT_READ) {
      Delay(100);
      return n;
    }
    return -1;
  }
}

bool TlsPending() { return T().active && T().connection && SSL_pending(T().connection) > 0; }

bool TlsCarries(int socket) { return T().active && T().socket == socket && socket > 0; }

void SetTlsAvailableForTest(bool available) { T().available = available; }
int TlsContextsMadeForTest() { return T().contexts_made; }

}  // namespace kal
