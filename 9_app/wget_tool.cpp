// The downloader shipped as wget.exe: its options, its exit codes, its run.
#include "9_app/wget_tool.h"

#include <charconv>
#include <cstdio>
#include <filesystem>

#include "1_platform/event_loop.h"
#include "1_platform/host_file.h"
#include "1_platform/paths.h"
#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "7_net/http_reply.h"
#include "7_net/net_user.h"
#include "7_net/network.h"

namespace kal {
namespace {

using namespace wget_exit;

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// A whole number from low to high, nothing else.
bool ReadCount(std::string_view text, int low, int high, int* out) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) return false;
  *out = value;
  return true;
}

// The agent goes into the request head: no byte that could end its line.
bool PlainText(std::string_view text) {
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7f) return false;
  return true;
}

// One option (with its value, when it takes one). False with *error when
// the option is unknown or its value is wrong; *used counts the arguments
// it took.
bool TakeOption(const std::vector<std::string>& args, size_t i, WgetOptions* o, size_t* used,
                std::string* error) {
  const std::string& a = args[i];
  *used = 1;
  auto next = [&](std::string* value) {
    if (i + 1 >= args.size()) return false;
    *value = args[i + 1];
    *used = 2;
    return true;
  };
  bool ok = true;
  if (StartsWith(a, "--deadline=")) {
    ok = ReadCount(std::string_view(a).substr(11), 1, kMaxDeadlineSeconds, &o->deadline_seconds);
  } else if (a == "--deadline") {
    std::string value;
    ok = next(&value) && ReadCount(value, 1, kMaxDeadlineSeconds, &o->deadline_seconds);
  } else if (StartsWith(a, "--timeout=")) {
    ok = ReadCount(std::string_view(a).substr(10), 1, 3600, &o->timeout_seconds);
  } else if (StartsWith(a, "--tries=")) {
    ok = ReadCount(std::string_view(a).substr(8), 1, 100, &o->tries);
  } else if (a == "-O") {
    ok = next(&o->output);
  } else if (StartsWith(a, "-O")) {
    o->output = a.substr(2);
  } else if (StartsWith(a, "--output-document=")) {
    o->output = a.substr(18);
  } else if (StartsWith(a, "--user-agent=")) {
    o->agent = a.substr(13);
  } else if (a == "-U") {
    ok = next(&o->agent);
  } else {
    *error = "unknown option " + a;
    return false;
  }
  if (!ok) *error = "bad value for " + a;
  return ok;
}

// Writes down what the network layer says.
class WgetUser : public NetUser {
 public:
  WgetUser(std::string* messages, EventLoop& loop) : messages_(messages), loop_(loop) {}

  void TakeInput() override { loop_.Wait(0); }
  void Pause(int ms) override {
    int64_t end = loop_.NowMs() + ms;
    for (int64_t left = ms; left > 0; left = end - loop_.NowMs()) loop_.Wait(static_cast<int>(left));
  }
  bool TakeDownloadKeys(const std::function<DownloadProgress()>&, bool*) override { return false; }
  void Tell(const std::string& line) override { Note(line); }
  void Note(const std::string& line) override { *messages_ += line + "\n"; }
  void Click() override {}

 private:
  std::string* messages_;
  EventLoop& loop_;
};

// One try: the page goes to a new file beside the output, which takes the
// output's name only once the download is whole. So a failed try leaves the
// output as it was, and a symbolic link at its name is replaced, never
// written through (it could point at any file of the user's).
int TryOnce(Network& network, const WgetOptions& options, int64_t deadline_ms, std::string* messages) {
  std::string err;
  std::string made = MakeFileBeside(options.output, &err);
  if (made.empty()) {
    *messages += err + "\n";
    return kFile;
  }
  DownloadReport report;
  DownloadRequest request{options.address, made, false, options.agent, "", &report};
  request.resume = false;
  request.deadline_ms = deadline_ms;
  bool ok = Download(network, request);
  if (ok && !PutFileInPlace(made, options.output, &err)) {
    *messages += err + "\n";
    return kFile;
  }
  std::error_code ec;
  if (!ok) std::filesystem::remove(HostFsPath(made), ec);
  if (report.out_of_time) *messages += "deadline of " + std::to_string(options.deadline_seconds) + " s passed\n";
  return WgetExitCode(ok, report);
}

// The output is the host path the command line gave.
std::string AsGiven(const std::string& name) { return name; }

}  // namespace

bool ParseWgetOptions(const std::vector<std::string>& args, WgetOptions* options, std::string* error) {
  WgetOptions o;
  std::vector<std::string> addresses;
  bool options_end = false;
  for (size_t i = 0; i < args.size();) {
    const std::string& a = args[i];
    if (options_end || a.empty() || a[0] != '-') {
      addresses.push_back(a);
      ++i;
      continue;
    }
    if (a == "--") {
      options_end = true;
      ++i;
      continue;
    }
    size_t used = 1;
    if (!TakeOption(args, i, &o, &used, error)) return false;
    i += used;
  }
  if (addresses.size() != 1) {
    *error = addresses.empty() ? "missing address" : "one address only";
    return false;
  }
  if (o.output.empty() || o.output == "-") {
    *error = "-O FILE is required";
    return false;
  }
  if (!PlainText(o.agent)) {
    *error = "bad value for --user-agent";
    return false;
  }
  o.address = addresses[0];
  *options = o;
  return true;
}

int WgetExitCode(bool ok, const DownloadReport& report) {
  if (ok) return kOk;
  if (report.write_failed) return kFile;
  if (report.tls_refused) return kCertificate;
  if (report.out_of_time) return kNetwork;
  if (report.head_refused) return kProtocol;
  if (report.status == 401 || report.status == 407) return kAuthorization;
  if (report.status >= 400) return kServerError;
  if (report.status >= 300) return kProtocol;
  return kNetwork;
}

int RunWget(Network& network, const WgetOptions& options, std::string* messages) {
  if (!FollowableScheme(options.address) || !SafeLocation(options.address)) {
    *messages += "not an http or https address: " + options.address + "\n";
    return kGeneric;
  }
  network.silence_ms = static_cast<int64_t>(options.timeout_seconds) * 1000;
  network.path_mapper = AsGiven;
  WgetUser user(messages, network.loop);
  SetNetUser(network, &user);
  int64_t deadline_ms = DeadlineIn(network, int64_t{options.deadline_seconds} * 1000);
  int code = kNetwork;
  for (int attempt = 0; attempt < options.tries && code == kNetwork; ++attempt) {
    if (deadline_ms != kNoDeadline && network.loop.NowMs() >= deadline_ms) break;
    code = TryOnce(network, options, deadline_ms, messages);
  }
  SetNetUser(network, nullptr);
  network.path_mapper = nullptr;
  return code;
}

int WgetMain(const std::vector<std::string>& args) {
  std::unique_ptr<EventLoop> loop = MakePollEventLoop();  // outlives what waits on it
  Platform platform(*loop);
  ConfigState config(platform);
  Network network(platform, config);
  WgetOptions options;
  std::string error;
  if (!ParseWgetOptions(args, &options, &error)) {
    std::fprintf(stderr, "wget: %s\nusage: wget [--timeout=S] [--tries=N] [--deadline=S] [--user-agent=TEXT] -O FILE [--] ADDRESS\n",
                 error.c_str());
    return kUsage;
  }
  std::string messages;
  int code = RunWget(network, options, &messages);
  std::fputs(messages.c_str(), stderr);
  return code;
}

}  // namespace kal
