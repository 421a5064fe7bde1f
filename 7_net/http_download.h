// The download command's HTTP/1.1 client: fetches one web address into a
// file, resuming a partial file, following redirections, saving audio
// streams of unknown length, and taking keys between blocks (Enter: spoken
// progress, space: ticks on or off, Esc then S: stop). Pages sent without a
// length are fetched again line by line.
#pragma once

#include <cstdint>
#include <string>

namespace kal {

// What became of a download, for a caller that tells its failures apart
// (the downloader that stands in for wget maps them to its exit codes).
struct DownloadReport {
  bool connected = false;     // a connection was made, its TLS handshake passed
  int status = 0;             // the last reply's status; 0 when none came
  bool write_failed = false;  // the target could not be written
};

struct DownloadRequest {
  std::string address;
  std::string file;  // the file name as the script gave it
  bool tick = false;  // a click per received block
  std::string agent;
  std::string cookie;  // "" sends no cookie
  DownloadReport* report = nullptr;  // filled in when given
};

// True when the download succeeded. Failures are only this result (and the
// spoken 400 and 404 messages); the connection and the file are always
// released.
bool Download(const DownloadRequest& request);

// How many redirections one download follows before it gives up.
constexpr int kMaxRedirections = 20;
// Seconds without a byte from the server after which a read gives up.
constexpr int kHttpWaitSeconds = 60;
// The request head a hostile server may send at most (status and headers).
constexpr size_t kMaxResponseHead = 1 << 20;

// Where download files are written: the host path of a script's file name
// (tests may map names their own way; nullptr: the usual mapping).
void SetDownloadPathMapper(std::string (*mapper)(const std::string& name));
std::string DownloadHostPath(const std::string& name);

}  // namespace kal
