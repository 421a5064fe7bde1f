// The test CA: an EC key and a self-signed CA certificate, made once.
#include "tests/support/test_ca.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>

#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  if (ext) X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

// A certificate valid from an hour ago to an hour ahead, named cn.
X509* NewCertificate(EVP_PKEY* key, const char* cn, long serial) {
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
  X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
  X509_set_pubkey(cert, key);
  X509_NAME_add_entry_by_txt(X509_get_subject_name(cert), "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(cn), -1, -1, 0);
  return cert;
}

struct Ca {
  EVP_PKEY* key = nullptr;
  X509* cert = nullptr;
  TempFolder folder;
  std::string file;

  Ca() {
    key = EVP_EC_gen("P-256");
    cert = NewCertificate(key, "Kaldorin Test CA", 1);
    X509_set_issuer_name(cert, X509_get_subject_name(cert));
    AddExtension(cert, cert, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(cert, cert, NID_key_usage, "critical,keyCertSign,cRLSign");
    X509_sign(cert, key, EVP_sha256());
    file = folder / "ca.pem";
    std::FILE* f = std::fopen(file.c_str(), "w");
    if (f) {
      PEM_write_X509(f, cert);
      std::fclose(f);
    }
  }
};

Ca& TheCa() {
  static Ca ca;
  return ca;
}

}  // namespace

const std::string& TestCaFile() { return TheCa().file; }

void MakeServerCertificate(const std::string& names, X509** cert, EVP_PKEY** key) {
  static long serial = 100;
  Ca& ca = TheCa();
  *key = EVP_EC_gen("P-256");
  *cert = NewCertificate(*key, "kaldorin test server", ++serial);
  X509_set_issuer_name(*cert, X509_get_subject_name(ca.cert));
  AddExtension(*cert, ca.cert, NID_subject_alt_name, names.c_str());
  AddExtension(*cert, ca.cert, NID_ext_key_usage, "serverAuth");
  X509_sign(*cert, ca.key, EVP_sha256());
}

}  // namespace kal::test
