// A certificate authority made when a test program starts, and the server
// certificates it signs. The test environment trusts it through
// SSL_CERT_FILE, so the local TLS servers pass the client's certificate
// check the way a real server with a public certificate does; tests of
// refusals take that trust away.
#pragma once

#include <string>

typedef struct x509_st X509;
typedef struct evp_pkey_st EVP_PKEY;

namespace kal::test {

// The PEM file holding the test CA's certificate.
const std::string& TestCaFile();

// A server key and a certificate for it signed by the test CA, naming the
// given subject alternative names (e.g. "DNS:localhost,IP:127.0.0.1").
// The caller frees both.
void MakeServerCertificate(const std::string& names, X509** cert, EVP_PKEY** key);

}  // namespace kal::test
