// The TLS library's functions as the net layer calls them, through a table.
//
// The library is loaded on first use and the table filled from its exports
// (7_net/ssl_api_loaded.cpp): on Windows two DLLs that may or may not be
// installed beside the program, on Linux the system's shared libraries. The
// types are the library's opaque structures, declared here by their tags;
// the constants are the values of the library's stable interface (a test
// checks them against its headers).
#pragma once

#include <cstdint>
#include <string>

struct ssl_st;
struct ssl_ctx_st;
struct ssl_method_st;
struct bio_st;
struct bio_method_st;

namespace kal::ssl {

using Ssl = ::ssl_st;
using SslContext = ::ssl_ctx_st;
using SslMethod = ::ssl_method_st;
using Bio = ::bio_st;
using BioMethod = ::bio_method_st;

// SSL_get_error's answers.
inline constexpr int kErrorNone = 0;
inline constexpr int kErrorWantRead = 2;
inline constexpr int kErrorWantWrite = 3;
inline constexpr int kErrorSyscall = 5;
inline constexpr int kErrorZeroReturn = 6;

inline constexpr int kVerifyPeer = 1;               // SSL_VERIFY_PEER
inline constexpr long kVerifyOk = 0;                // X509_V_OK
inline constexpr uint64_t kInitNoAtExit = 0x00080000;  // OPENSSL_INIT_NO_ATEXIT
inline constexpr uint64_t kIgnoreUnexpectedEof = uint64_t{1} << 7;  // SSL_OP_IGNORE_UNEXPECTED_EOF
inline constexpr int kCtrlSetHostName = 55;         // SSL_CTRL_SET_TLSEXT_HOSTNAME
inline constexpr long kHostNameType = 0;            // TLSEXT_NAMETYPE_host_name
inline constexpr int kBioTypeSourceSink = 0x0400;   // BIO_TYPE_SOURCE_SINK
inline constexpr int kBioCtrlFlush = 11;            // BIO_CTRL_FLUSH
inline constexpr int kBioFlagsRead = 0x01;          // BIO_FLAGS_READ
inline constexpr int kBioFlagsRws = 0x07;           // BIO_FLAGS_RWS
inline constexpr int kBioFlagsShouldRetry = 0x08;   // BIO_FLAGS_SHOULD_RETRY

struct Api {
  // libssl
  int (*init_ssl)(uint64_t opts, const void* settings);
  const SslMethod* (*client_method)();
  SslContext* (*ctx_new)(const SslMethod*);
  void (*ctx_free)(SslContext*);
  int (*ctx_set_default_verify_paths)(SslContext*);
  int (*ctx_load_verify_locations)(SslContext*, const char* file, const char* folder);
  uint64_t (*ctx_set_options)(SslContext*, uint64_t);
  Ssl* (*ssl_new)(SslContext*);
  void (*ssl_free)(Ssl*);
  void (*set_bio)(Ssl*, Bio* read, Bio* write);
  long (*ctrl)(Ssl*, int command, long larg, void* parg);
  void (*set_verify)(Ssl*, int mode, void* callback);
  int (*set1_host)(Ssl*, const char* name);
  int (*connect)(Ssl*);
  int (*get_error)(const Ssl*, int result);
  long (*get_verify_result)(const Ssl*);
  int (*read)(Ssl*, void* buffer, int size);
  int (*write)(Ssl*, const void* data, int length);
  int (*pending)(const Ssl*);
  int (*shutdown)(Ssl*);
  // libcrypto
  const char* (*verify_error_string)(long code);
  void (*err_clear)();
  int (*bio_new_index)();
  BioMethod* (*bio_meth_new)(int type, const char* name);
  int (*bio_meth_set_write)(BioMethod*, int (*)(Bio*, const char*, int));
  int (*bio_meth_set_read)(BioMethod*, int (*)(Bio*, char*, int));
  int (*bio_meth_set_ctrl)(BioMethod*, long (*)(Bio*, int, long, void*));
  int (*bio_meth_set_create)(BioMethod*, int (*)(Bio*));
  int (*bio_meth_set_destroy)(BioMethod*, int (*)(Bio*));
  Bio* (*bio_new)(const BioMethod*);
  int (*bio_free)(Bio*);
  void (*bio_set_data)(Bio*, void*);
  void* (*bio_get_data)(Bio*);
  void (*bio_set_init)(Bio*, int);
  void (*bio_set_flags)(Bio*, int);
  void (*bio_clear_flags)(Bio*, int);
};

// The library's table, loaded on the first call; nullptr when the library
// is not there (or lacks a function), with *why naming what is missing.
const Api* LoadApi(std::string* why);

}  // namespace kal::ssl
