// The TLS side of the local test server: OpenSSL where the tests link it
// (server_tls_openssl.cpp), nothing on Windows (server_tls_none.cpp), where
// a TLS server cannot start and its tests are left out.
#pragma once

#include <cstddef>
#include <string>

#include "tests/support/local_server.h"

namespace kal::test {

// The context for the kind of certificate, made once; nullptr without TLS.
SSL_CTX* ServerTlsContext(CertNames names);
// The server side of a handshake on the socket; nullptr when it failed. The
// name the client asked for goes to *server_name.
SSL* ServerTlsAccept(SSL_CTX* context, int socket, std::string* server_name);
long ServerTlsRead(SSL* session, char* buffer, size_t size);
long ServerTlsWrite(SSL* session, const char* data, size_t size);
void ServerTlsEnd(SSL* session);

}  // namespace kal::test
