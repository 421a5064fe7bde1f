// The download command's HTTP/1.1 client: fetches one web address into a
// file, resuming a partial file, following redirections, saving audio
// streams of unknown length, and taking keys between blocks (Enter: spoken
// progress, space: ticks on or off, Esc then S: stop). Pages sent without a
// length are fetched again line by line.
#pragma once

#include <cstdint>
#include <string>

#include "7_net/net_wait.h"

namespace kal {

struct Network;

// What became of a download, for a caller that tells its failures apart
// (the downloader that stands in for wget maps them to its exit codes).
// Each is set where the failure happens.
struct DownloadReport {
  bool connected = false;     // a connection was made, its TLS handshake passed
  int status = 0;             // the last reply's status; 0 when none came
  bool write_failed = false;  // the target could not be written
  bool tls_refused = false;   // TLS refused: no library, or the certificate failed the check
  bool head_refused = false;  // the reply's head passed its size or line count
  bool out_of_time = false;   // the request's deadline passed
};

struct DownloadRequest {
  std::string address;
  std::string file;  // the file name as the script gave it
  bool tick = false;  // a click per received block
  std::string agent;
  std::string cookie;  // "" sends no cookie
  DownloadReport* report = nullptr;  // filled in when given
  // false: a file already there is written anew, never resumed (the caller
  // made it empty for this download).
  bool resume = true;
  // The whole download (every request, redirections and the fetch line by
  // line included) ends by then, a time on the network's loop, or fails;
  // kNoDeadline: only the silence limit applies.
  int64_t deadline_ms = kNoDeadline;
};

// True when the download succeeded. Failures are only this result (and the
// spoken 400 and 404 messages); the connection and the file are always
// released. It runs on the network given (its user hears the messages).
bool Download(Network& net, const DownloadRequest& request);

// How many redirections one download follows before it gives up.
constexpr int kMaxRedirections = 20;
// Seconds without a byte from the server after which a read gives up.
constexpr int kHttpWaitSeconds = 60;
// The reply head a hostile server may send at most: status line and
// headers together, their line ends counted; that many lines; and the
// seconds from the request to the head's end.
constexpr size_t kMaxResponseHead = 256 * 1024;
constexpr int kMaxResponseHeadLines = 1000;
constexpr int kMaxResponseHeadSeconds = 120;

// Where download files are written: the host path of a script's file name
// (tests may map names their own way; nullptr: the usual mapping).
void SetDownloadPathMapper(Network& net, std::string (*mapper)(const std::string& name));
std::string DownloadHostPath(const Network& net, const std::string& name);

}  // namespace kal
