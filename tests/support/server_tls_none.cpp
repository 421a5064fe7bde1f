// No TLS for the local test server (Windows builds, where the TLS library is
// not linked).
#include "tests/support/server_tls.h"

namespace kal::test {

SSL_CTX* ServerTlsContext(CertNames) { return nullptr; }
SSL* ServerTlsAccept(SSL_CTX*, int, std::string*) { return nullptr; }
long ServerTlsRead(SSL*, char*, size_t) { return -1; }
long ServerTlsWrite(SSL*, const char*, size_t) { return -1; }
void ServerTlsEnd(SSL*) {}

}  // namespace kal::test
