// The constants of the TLS table (7_net/ssl_api.h) are the library's own:
// checked against its headers when this test program is compiled.
#include <openssl/bio.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <gtest/gtest.h>

#include "7_net/ssl_api.h"

namespace kal::ssl {

static_assert(kErrorNone == SSL_ERROR_NONE && kErrorWantRead == SSL_ERROR_WANT_READ &&
              kErrorWantWrite == SSL_ERROR_WANT_WRITE && kErrorSyscall == SSL_ERROR_SYSCALL &&
              kErrorZeroReturn == SSL_ERROR_ZERO_RETURN);
static_assert(kVerifyPeer == SSL_VERIFY_PEER && kVerifyOk == X509_V_OK);
static_assert(kInitNoAtExit == OPENSSL_INIT_NO_ATEXIT && kIgnoreUnexpectedEof == SSL_OP_IGNORE_UNEXPECTED_EOF);
static_assert(kCtrlSetHostName == SSL_CTRL_SET_TLSEXT_HOSTNAME && kHostNameType == TLSEXT_NAMETYPE_host_name);
static_assert(kBioTypeSourceSink == BIO_TYPE_SOURCE_SINK && kBioCtrlFlush == BIO_CTRL_FLUSH);
static_assert(kBioFlagsRead == BIO_FLAGS_READ && kBioFlagsRws == BIO_FLAGS_RWS &&
              kBioFlagsShouldRetry == BIO_FLAGS_SHOULD_RETRY);

TEST(SslApi, ConstantsAreTheLibrarysOwn) { SUCCEED(); }

}  // namespace kal::ssl
