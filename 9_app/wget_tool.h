// The downloader that the Windows package ships as wget.exe, for the
// embedded application's one command line:
//
//   wget --timeout=30 --tries=2 -O "FILE" --user-agent="AGENT" -- "ADDRESS"
//
// (and --deadline=SECONDS, a limit on the whole run that wget has not: a
// server that sends a byte now and then is never silent long enough for
// --timeout.) The page is written beside FILE and renamed over it once
// whole, so a failure leaves FILE as it was.
//
// Windows has no wget, and the application needs nothing of it but this
// line and its exit codes. A program of ours on our own HTTP client
// (7_net/http_download.h) is small, is built by the same cross build as
// kaldorin.exe, checks certificates exactly as the program's own downloads
// do (the same TLS library and cacert.pem beside it, VERIFICACERTIFICADO in
// Talven.ini) and is stopped the same way (the application ends the process
// by name). It takes exactly these options (also -U and
// --output-document=, their other spellings) and refuses any other with
// wget's code for bad options, rather than guessing at their meaning.
//
// Exit codes are wget's, those the application turns into reasons: 0 done,
// 1 another failure, 2 bad options, 3 the file could not be written, 4 a
// network failure (no connection, no reply, a reply cut short), 5 the
// certificate was refused (or no TLS library), 6 the site asked for a user
// and password, 7 a redirection that cannot be followed or a reply head
// over its limits, 8 the site answered with an error. The deadline passed
// counts as a network failure (4), as wget's time-outs do. Each code comes
// from the download's report, filled in where the failure happened.
#pragma once

#include <string>
#include <vector>

#include "7_net/http_download.h"

namespace kal {

namespace wget_exit {
constexpr int kOk = 0;
constexpr int kGeneric = 1;
constexpr int kUsage = 2;
constexpr int kFile = 3;
constexpr int kNetwork = 4;
constexpr int kCertificate = 5;
constexpr int kAuthorization = 6;
constexpr int kProtocol = 7;
constexpr int kServerError = 8;
}  // namespace wget_exit

// The longest --deadline taken: a day.
constexpr int kMaxDeadlineSeconds = 86400;

struct WgetOptions {
  int timeout_seconds = 900;  // silence before a connection or read gives up
  int tries = 20;             // attempts while the failure is the network's
  int deadline_seconds = 0;   // the whole run, every try included; 0: none
  std::string output;         // -O: the file written (a host path)
  std::string agent = "Wget/1.21";
  std::string address;
};

// The command line after the program's name. False, with the reason in
// *error, for anything this downloader does not take as wget would.
bool ParseWgetOptions(const std::vector<std::string>& args, WgetOptions* options, std::string* error);

// The exit code of one attempt: ok is Download's result, report what it saw.
int WgetExitCode(bool ok, const DownloadReport& report);

// Runs the download with the installed network, trying again while the
// failure is the network's. Returns the exit code; lines for the person
// go to *messages.
int RunWget(Network& network, const WgetOptions& options, std::string* messages);

// The whole program: the back ends it needs, the options, the run.
int WgetMain(const std::vector<std::string>& args);

}  // namespace kal
