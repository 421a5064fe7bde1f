// The table over the linked library (Linux). The constants of ssl_api.h are
// checked against the library's headers here.
#include <openssl/bio.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

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

const Api* LoadApi(std::string*) {
  static const Api kApi = {
      [](uint64_t opts, const void*) { return OPENSSL_init_ssl(opts, nullptr); },
      &TLS_client_method,
      &SSL_CTX_new,
      &SSL_CTX_free,
      &SSL_CTX_set_default_verify_paths,
      &SSL_CTX_load_verify_locations,
      &SSL_CTX_set_options,
      &SSL_new,
      &SSL_free,
      &SSL_set_bio,
      &SSL_ctrl,
      [](Ssl* s, int mode, void*) { SSL_set_verify(s, mode, nullptr); },
      &SSL_set1_host,
      &SSL_connect,
      &SSL_get_error,
      &SSL_get_verify_result,
      &SSL_read,
      &SSL_write,
      &SSL_pending,
      &SSL_shutdown,
      &X509_verify_cert_error_string,
      &ERR_clear_error,
      &BIO_get_new_index,
      &BIO_meth_new,
      &BIO_meth_set_write,
      &BIO_meth_set_read,
      &BIO_meth_set_ctrl,
      &BIO_meth_set_create,
      &BIO_meth_set_destroy,
      &BIO_new,
      &BIO_free,
      &BIO_set_data,
      &BIO_get_data,
      &BIO_set_init,
      &BIO_set_flags,
      &BIO_clear_flags,
  };
  return &kApi;
}

}  // namespace kal::ssl
