// The table over the TLS library, loaded on first use: libcrypto and libssl
// of its version 3 (on Windows their DLLs, from the program's folder or the
// system's). When either is missing, or lacks a function, there is no table
// and the reason is kept for every later caller. Most runs never make a TLS
// connection and never load it.
#include <string>

#include "1_platform/shared_library.h"
#include "7_net/ssl_api.h"

namespace kal::ssl {
namespace {

#ifdef _WIN32
constexpr char kCryptoLibrary[] = "libcrypto-3.dll";
constexpr char kSslLibrary[] = "libssl-3.dll";
#else
constexpr char kCryptoLibrary[] = "libcrypto.so.3";
constexpr char kSslLibrary[] = "libssl.so.3";
#endif

// Fills one entry; false (with the name in *missing) when it is not there.
template <typename F>
bool Get(void* library, const char* name, F* entry, std::string* missing) {
  *entry = reinterpret_cast<F>(SharedLibrarySymbol(library, name));
  if (!*entry && missing->empty()) *missing = name;
  return *entry != nullptr;
}

bool Fill(void* crypto, void* ssl, Api* a, std::string* missing) {
  bool ok = true;
  ok &= Get(ssl, "OPENSSL_init_ssl", &a->init_ssl, missing);
  ok &= Get(ssl, "TLS_client_method", &a->client_method, missing);
  ok &= Get(ssl, "SSL_CTX_new", &a->ctx_new, missing);
  ok &= Get(ssl, "SSL_CTX_free", &a->ctx_free, missing);
  ok &= Get(ssl, "SSL_CTX_set_default_verify_paths", &a->ctx_set_default_verify_paths, missing);
  ok &= Get(ssl, "SSL_CTX_load_verify_locations", &a->ctx_load_verify_locations, missing);
  ok &= Get(ssl, "SSL_CTX_set_options", &a->ctx_set_options, missing);
  ok &= Get(ssl, "SSL_new", &a->ssl_new, missing);
  ok &= Get(ssl, "SSL_free", &a->ssl_free, missing);
  ok &= Get(ssl, "SSL_set_bio", &a->set_bio, missing);
  ok &= Get(ssl, "SSL_ctrl", &a->ctrl, missing);
  ok &= Get(ssl, "SSL_set_verify", &a->set_verify, missing);
  ok &= Get(ssl, "SSL_set1_host", &a->set1_host, missing);
  ok &= Get(ssl, "SSL_connect", &a->connect, missing);
  ok &= Get(ssl, "SSL_get_error", &a->get_error, missing);
  ok &= Get(ssl, "SSL_get_verify_result", &a->get_verify_result, missing);
  ok &= Get(ssl, "SSL_read", &a->read, missing);
  ok &= Get(ssl, "SSL_write", &a->write, missing);
  ok &= Get(ssl, "SSL_pending", &a->pending, missing);
  ok &= Get(ssl, "SSL_shutdown", &a->shutdown, missing);
  ok &= Get(crypto, "X509_verify_cert_error_string", &a->verify_error_string, missing);
  ok &= Get(crypto, "ERR_clear_error", &a->err_clear, missing);
  ok &= Get(crypto, "BIO_get_new_index", &a->bio_new_index, missing);
  ok &= Get(crypto, "BIO_meth_new", &a->bio_meth_new, missing);
  ok &= Get(crypto, "BIO_meth_set_write", &a->bio_meth_set_write, missing);
  ok &= Get(crypto, "BIO_meth_set_read", &a->bio_meth_set_read, missing);
  ok &= Get(crypto, "BIO_meth_set_ctrl", &a->bio_meth_set_ctrl, missing);
  ok &= Get(crypto, "BIO_meth_set_create", &a->bio_meth_set_create, missing);
  ok &= Get(crypto, "BIO_meth_set_destroy", &a->bio_meth_set_destroy, missing);
  ok &= Get(crypto, "BIO_new", &a->bio_new, missing);
  ok &= Get(crypto, "BIO_free", &a->bio_free, missing);
  ok &= Get(crypto, "BIO_set_data", &a->bio_set_data, missing);
  ok &= Get(crypto, "BIO_get_data", &a->bio_get_data, missing);
  ok &= Get(crypto, "BIO_set_init", &a->bio_set_init, missing);
  ok &= Get(crypto, "BIO_set_flags", &a->bio_set_flags, missing);
  ok &= Get(crypto, "BIO_clear_flags", &a->bio_clear_flags, missing);
  return ok;
}

struct Loaded {
  bool ok = false;
  Api api{};
  std::string why;
};

// Opens the two libraries and fills the table; done once.
Loaded LoadLibraries() {
  Loaded l;
  // libssl needs libcrypto: loading it first lets libssl find it.
  void* crypto = OpenSharedLibrary(kCryptoLibrary, &l.why);
  void* ssl = crypto ? OpenSharedLibrary(kSslLibrary, &l.why) : nullptr;
  std::string missing;
  if (ssl) {
    l.ok = Fill(crypto, ssl, &l.api, &missing);
    if (!l.ok) l.why = "no " + missing;
  }
  return l;
}

}  // namespace

const Api* LoadApi(std::string* why) {
  static const Loaded kLoaded = LoadLibraries();
  if (!kLoaded.ok && why) *why = kLoaded.why;
  return kLoaded.ok ? &kLoaded.api : nullptr;
}

}  // namespace kal::ssl
