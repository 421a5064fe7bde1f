// The one TLS session of the program, over OpenSSL. The session's bytes
// travel through a small BIO of our own that calls the socket seam.
#include "7_net/tls.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cstdint>
#include <string>

#include "2_config/config.h"
#include "7_net/net_messages.h"
#include "7_net/net_user.h"
#include "1_platform/socket.h"

namespace kal {
namespace {

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

// Reads what the socket has without waiting; with nothing there, OpenSSL
// hears "try again" (want-read), and the caller decides how long to wait.
int BioRead(BIO* b, char* buffer, int size) {
  BIO_clear_retry_flags(b);
  long n = SockRecvNoWait(SocketOf(b), buffer, static_cast<size_t>(size));
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
  // The system's trust store (SSL_CERT_FILE and SSL_CERT_DIR override it);
  // whether it is used is decided for each connection.
  SSL_CTX_set_default_verify_paths(t.context);
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

// Asks for the peer's certificate to be checked against the trust store and
// the host name (an address literal is matched against the certificate's
// addresses). False when the name cannot be set.
bool RequireCertificate(SSL* connection, const std::string& name) {
  SSL_set_verify(connection, SSL_VERIFY_PEER, nullptr);
  return SSL_set1_host(connection, name.c_str()) == 1;
}

// Runs the client handshake, waiting for the peer between steps. True when
// it completed.
bool Handshake(SSL* connection, int socket, const StopCheck& stop) {
  int64_t deadline = DeadlineIn(SilenceLimitMs());
  for (;;) {
    ERR_clear_error();
    int r = SSL_connect(connection);
    if (r > 0) return true;
    int code = SSL_get_error(connection, r);
    if (code != SSL_ERROR_WANT_READ && code != SSL_ERROR_WANT_WRITE) return false;
    SocketEvent event = code == SSL_ERROR_WANT_READ ? SocketEvent::kReadable : SocketEvent::kWritable;
    if (WaitSocket(socket, event, deadline, stop) != WaitResult::kReady) return false;
  }
}

// After a failed handshake: a certificate that did not pass the check is
// told to the user with OpenSSL's reason.
void TellRefusedCertificate(SSL* connection) {
  long result = SSL_get_verify_result(connection);
  if (result == X509_V_OK) return;
  CurrentNetUser().Tell(net_msg::CertificateRefused(X509_verify_cert_error_string(result)));
}

}  // namespace

bool TlsChecksCertificates() {
  std::string value = ReadConfig(cfg::kVerificaCertificado);
  size_t first = value.find_first_not_of(" \t");
  return first == std::string::npos || (value[first] != 'N' && value[first] != 'n');
}

bool TlsConnect(int socket, std::string_view server_name, const StopCheck& stop) {
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
  bool checking = TlsChecksCertificates();
  if (checking && !RequireCertificate(t.connection, name)) return false;
  if (!Handshake(t.connection, socket, stop)) {
    // Unchecked connections record a chain's faults too, without failing
    // for them: only a check that was asked for can refuse.
    if (checking) TellRefusedCertificate(t.connection);
    return false;
  }
  t.socket = socket;
  t.active = true;
  return true;
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
      CurrentNetUser().Note(net_msg::SslError(code));
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
      CurrentNetUser().Pause(100);
      continue;
    }
    if (code == SSL_ERROR_WANT_READ) {
      CurrentNetUser().Pause(100);
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
