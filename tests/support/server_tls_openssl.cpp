// The local test server's TLS side over OpenSSL, with certificates signed
// by the test CA.
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <csignal>
#include <mutex>

#include "tests/support/server_tls.h"
#include "tests/support/test_ca.h"

namespace kal::test {
namespace {

// One server context per kind of certificate, made once.
SSL_CTX* ServerContext(CertNames names) {
  static SSL_CTX* contexts[2] = {nullptr, nullptr};
  static std::mutex mu;
  std::lock_guard<std::mutex> lock(mu);
  SSL_CTX*& c = contexts[names == CertNames::kLocal ? 0 : 1];
  if (c) return c;
  std::signal(SIGPIPE, SIG_IGN);  // the server writes with OpenSSL's own calls
  X509* cert = nullptr;
  EVP_PKEY* key = nullptr;
  MakeServerCertificate(names == CertNames::kLocal ? "DNS:localhost,IP:127.0.0.1" : "DNS:outro.example", &cert,
                        &key);
  c = SSL_CTX_new(TLS_server_method());
  SSL_CTX_use_certificate(c, cert);
  SSL_CTX_use_PrivateKey(c, key);
  X509_free(cert);
  EVP_PKEY_free(key);
  return c;
}

}  // namespace

SSL_CTX* ServerTlsContext(CertNames names) { return ServerContext(names); }

SSL* ServerTlsAccept(SSL_CTX* context, int socket, std::string* server_name) {
  SSL* ssl = SSL_new(context);
  SSL_set_fd(ssl, socket);
  if (SSL_accept(ssl) <= 0) {
    SSL_free(ssl);
    return nullptr;
  }
  const char* sni = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
  *server_name = sni ? sni : "";
  return ssl;
}

long ServerTlsRead(SSL* session, char* buffer, size_t size) {
  return SSL_read(session, buffer, static_cast<int>(size));
}

long ServerTlsWrite(SSL* session, const char* data, size_t size) {
  return SSL_write(session, data, static_cast<int>(size));
}

void ServerTlsEnd(SSL* session) {
  SSL_shutdown(session);
  SSL_free(session);
}

}  // namespace kal::test
