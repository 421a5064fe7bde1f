// The one TLS session of a network (network.h), over OpenSSL's functions as the
// table of 7_net/ssl_api.h gives them. The session's bytes travel through a
// small BIO of our own that calls the socket seam.
#include "7_net/tls.h"

#include <cstdint>
#include <string>

#include "1_platform/paths.h"
#include "1_platform/socket.h"
#include "2_config/config.h"
#include "7_net/net_messages.h"
#include "7_net/net_user.h"
#include "7_net/network.h"
#include "7_net/ssl_api.h"

namespace kal {
namespace {

using ssl::Bio;
using ssl::Ssl;

// Certificates of trusted authorities that may lie beside the program, for
// hosts whose TLS library has no trust store of its own (Windows).
constexpr char kTrustFileName[] = "cacert.pem";

}  // namespace

// The network's one session (network.h).
struct TlsSession {
  const ssl::Api* api = nullptr;  // set once the library is there
  ssl::SslContext* context = nullptr;
  Ssl* connection = nullptr;
  int socket = 0;  // 0 when no socket carries the session
  bool active = false;
  bool ready = false;
  bool available = true;  // tests switch the capability off
  int contexts_made = 0;
  TlsRefusal refusal = TlsRefusal::kNone;  // why the last handshake was refused
};

namespace {

// The library's table once it is loaded (ReadyLibrary). The BIO's callbacks
// get no data of ours beside the socket, so they reach the table through the
// loader, which keeps the one it loaded.
const ssl::Api& A() { return *ssl::LoadApi(nullptr); }

// --- The BIO over the socket seam ---------------------------------------

int SocketOf(Bio* b) { return static_cast<int>(reinterpret_cast<intptr_t>(A().bio_get_data(b))); }

int BioWrite(Bio* b, const char* data, int length) {
  A().bio_clear_flags(b, ssl::kBioFlagsRws | ssl::kBioFlagsShouldRetry);
  long n = SockSend(SocketOf(b), data, static_cast<size_t>(length));
  return n > 0 ? static_cast<int>(n) : -1;
}

// Reads what the socket has without waiting; with nothing there, OpenSSL
// hears "try again" (want-read), and the caller decides how long to wait.
int BioRead(Bio* b, char* buffer, int size) {
  A().bio_clear_flags(b, ssl::kBioFlagsRws | ssl::kBioFlagsShouldRetry);
  long n = SockRecvNoWait(SocketOf(b), buffer, static_cast<size_t>(size));
  if (n == kNothingYet) {
    A().bio_set_flags(b, ssl::kBioFlagsRead | ssl::kBioFlagsShouldRetry);
    return -1;
  }
  return n >= 0 ? static_cast<int>(n) : -1;  // 0 is the end of the stream
}

long BioCtrl(Bio*, int command, long, void*) {
  return command == ssl::kBioCtrlFlush ? 1 : 0;
}

int BioCreate(Bio* b) {
  A().bio_set_init(b, 1);
  return 1;
}

int BioDestroy(Bio*) { return 1; }

// The BIO type over the socket seam: made once, when the library is first
// used, and never changed; a type index is a scarce process resource.
ssl::BioMethod* SocketSeamMethod() {
  static ssl::BioMethod* const kMethod = [] {
    ssl::BioMethod* m = A().bio_meth_new(A().bio_new_index() | ssl::kBioTypeSourceSink, "kaldorin socket");
    if (!m) return m;
    A().bio_meth_set_write(m, BioWrite);
    A().bio_meth_set_read(m, BioRead);
    A().bio_meth_set_ctrl(m, BioCtrl);
    A().bio_meth_set_create(m, BioCreate);
    A().bio_meth_set_destroy(m, BioDestroy);
    return m;
  }();
  return kMethod;
}

// --- The session ---------------------------------------------------------

// Finds the library; when it is not installed the user hears why, since
// every secure address fails without it.
bool ReadyLibrary(Network& net) {
  TlsSession& t = *net.tls;
  if (t.api) return true;
  std::string why;
  t.api = ssl::LoadApi(&why);
  if (!t.api) UserOf(net).Tell(net_msg::TlsMissing(why));
  return t.api != nullptr;
}

// Makes the context when there is none; false when the TLS capability is
// missing.
bool ReadyContext(Network& net) {
  TlsSession& t = *net.tls;
  if (t.ready) return true;
  if (!t.available || !ReadyLibrary(net)) return false;
  // No clean-up at exit: a connection still open when the program ends is
  // closed after that point, and must find the library still there.
  A().init_ssl(ssl::kInitNoAtExit, nullptr);
  t.context = A().ctx_new(A().client_method());
  if (!t.context) return false;
  // The system's trust store (SSL_CERT_FILE and SSL_CERT_DIR override it),
  // and the authorities' file beside the program when there is one; whether
  // they are used is decided for each connection.
  A().ctx_set_default_verify_paths(t.context);
  std::string beside = HostPathUnder(ProgramFolder(), kTrustFileName);
  if (HostExists(beside)) A().ctx_load_verify_locations(t.context, beside.c_str(), nullptr);
  // A peer that closes without saying goodbye ends the stream quietly, as
  // closing a plain connection does.
  A().ctx_set_options(t.context, ssl::kIgnoreUnexpectedEof);
  ++t.contexts_made;
  t.ready = true;
  return true;
}

void FreeConnection(TlsSession& t) {
  if (t.connection) {
    A().ssl_free(t.connection);
    t.connection = nullptr;
  }
}

// Asks for the peer's certificate to be checked against the trust store and
// the host name (an address literal is matched against the certificate's
// addresses). False when the name cannot be set.
bool RequireCertificate(Ssl* connection, const std::string& name) {
  A().set_verify(connection, ssl::kVerifyPeer, nullptr);
  return A().set1_host(connection, name.c_str()) == 1;
}

// Runs the client handshake, waiting for the peer between steps. True when
// it completed.
bool Handshake(Network& net, Ssl* connection, int socket, const StopCheck& stop) {
  int64_t deadline = DeadlineIn(net, SilenceLimitMs(net));
  for (;;) {
    A().err_clear();
    int r = A().connect(connection);
    if (r > 0) return true;
    int code = A().get_error(connection, r);
    if (code != ssl::kErrorWantRead && code != ssl::kErrorWantWrite) return false;
    SocketEvent event = code == ssl::kErrorWantRead ? SocketEvent::kReadable : SocketEvent::kWritable;
    if (WaitSocket(net, socket, event, deadline, stop) != WaitResult::kReady) return false;
  }
}

// After a failed handshake: a certificate that did not pass the check is
// told to the user with OpenSSL's reason.
void TellRefusedCertificate(Network& net, Ssl* connection) {
  long result = A().get_verify_result(connection);
  if (result == ssl::kVerifyOk) return;
  net.tls->refusal = TlsRefusal::kCertificate;
  UserOf(net).Tell(net_msg::CertificateRefused(A().verify_error_string(result)));
}

}  // namespace

bool TlsChecksCertificates(ConfigState& config) {
  std::string value = ReadConfig(config, cfg::kVerificaCertificado);
  size_t first = value.find_first_not_of(" \t");
  return first == std::string::npos || (value[first] != 'N' && value[first] != 'n');
}

bool TlsConnect(Network& net, int socket, std::string_view server_name, const StopCheck& stop) {
  TlsSession& t = *net.tls;
  t.refusal = TlsRefusal::kNone;
  if (!ReadyContext(net)) {
    t.refusal = TlsRefusal::kNoLibrary;
    return false;
  }
  FreeConnection(t);  // a second session replaces the first
  t.active = false;
  t.socket = 0;
  Bio* bio = SocketSeamMethod() ? A().bio_new(SocketSeamMethod()) : nullptr;
  t.connection = bio ? A().ssl_new(t.context) : nullptr;
  if (!t.connection) {
    if (bio) A().bio_free(bio);
    return false;
  }
  A().bio_set_data(bio, reinterpret_cast<void*>(static_cast<intptr_t>(socket)));
  A().set_bio(t.connection, bio, bio);
  std::string name(server_name);
  A().ctrl(t.connection, ssl::kCtrlSetHostName, ssl::kHostNameType, name.data());
  bool checking = TlsChecksCertificates(net.config);
  if (checking && !RequireCertificate(t.connection, name)) return false;
  if (!Handshake(net, t.connection, socket, stop)) {
    // Unchecked connections record a chain's faults too, without failing
    // for them: only a check that was asked for can refuse.
    if (checking) TellRefusedCertificate(net, t.connection);
    return false;
  }
  t.socket = socket;
  t.active = true;
  return true;
}

TlsRefusal LastTlsRefusal(const Network& net) { return net.tls->refusal; }

void TlsEnd(Network& net) {
  TlsSession& t = *net.tls;
  if (t.context) {
    A().ctx_free(t.context);  // reference-counted: the connection keeps it until freed
    t.context = nullptr;
  }
  if (t.connection) {
    if (t.active) A().shutdown(t.connection);
    FreeConnection(t);
  }
  if (t.api) A().err_clear();
  t.socket = 0;
  t.active = false;
  t.ready = false;
}

int TlsReceiveNoWait(Network& net, char* buffer, int size) {
  TlsSession& t = *net.tls;
  if (!t.connection) return 0;
  A().err_clear();
  int n = A().read(t.connection, buffer, size);
  int code = A().get_error(t.connection, n);
  switch (code) {
    case ssl::kErrorNone:
      return n;
    case ssl::kErrorWantRead:
    case ssl::kErrorWantWrite:
      return -1;
    case ssl::kErrorSyscall:
    case ssl::kErrorZeroReturn:
      return 0;
    default:
      UserOf(net).Note(net_msg::SslError(code));
      return 0;
  }
}

int TlsSend(Network& net, const char* data, int length) {
  TlsSession& t = *net.tls;
  if (!t.connection) return -1;
  for (;;) {
    A().err_clear();
    int n = A().write(t.connection, data, length);
    int code = A().get_error(t.connection, n);
    if (code == ssl::kErrorNone) return n;
    if (code == ssl::kErrorWantWrite) {
      UserOf(net).Pause(100);
      continue;
    }
    if (code == ssl::kErrorWantRead) {
      UserOf(net).Pause(100);
      return n;
    }
    return -1;
  }
}

bool TlsPending(const Network& net) {
  const TlsSession& t = *net.tls;
  return t.active && t.connection && A().pending(t.connection) > 0;
}

bool TlsCarries(const Network& net, int socket) {
  return net.tls->active && net.tls->socket == socket && socket > 0;
}

TlsSessionPtr MakeTlsSession() { return TlsSessionPtr(new TlsSession); }

void TlsSessionDeleter::operator()(TlsSession* s) const {
  if (s->api && s->connection) s->api->ssl_free(s->connection);
  if (s->api && s->context) s->api->ctx_free(s->context);
  delete s;
}

void SetTlsAvailableForTest(Network& net, bool available) { net.tls->available = available; }
int TlsContextsMadeForTest(const Network& net) { return net.tls->contexts_made; }

}  // namespace kal
