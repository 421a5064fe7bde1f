// The spoken progress report of a download.
#include <cstdio>
#include <string>

#include "7_net/http_download.h"
#include "1_platform/user_locale.h"

namespace kal {
namespace {

constexpr int64_t kKiB = 1024;
constexpr int64_t kMiB = kKiB * 1024;
constexpr int64_t kGiB = kMiB * 1024;

// General format with three significant digits, as the report says numbers:
// an exponent part is cut off and the decimal separator is the user's.
std::string General3(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3G", value);
  std::string s(buf);
  size_t e = s.find('E');
  if (e != std::string::npos) s.resize(e);
  for (auto& c : s)
    if (c == '.') c = UserDecimalSeparator();
  return s;
}

std::string TotalText(int64_t total) {
  if (total >= kGiB) return std::to_string(total / kGiB) + " GB.";
  if (total >= kMiB) return std::to_string(total / kMiB) + " MB.";
  if (total < kKiB) return std::to_string(total) + " Bytes.";
  return std::to_string(total / kKiB) + " KB.";
}

std::string WrittenText(int64_t written) {
  double w = static_cast<double>(written);
  if (written >= kGiB) return General3(w / kGiB) + " GigaBytes gravados.";
  if (written >= kMiB) return General3(w / kMiB) + " MegaBytes gravados.";
  if (written >= kKiB) return General3(w / kKiB) + " KBytes gravados.";
  return std::to_string(written) + " Bytes gravados.";
}

}  // namespace

std::string ProgressReport(bool unknown_length, int64_t written, int64_t announced, int64_t resumed,
                           const std::string& file) {
  std::string say;
  if (unknown_length) {
    say = std::to_string(written) + " bytes escritos em disco.";
  } else {
    int64_t total = announced + resumed;
    double percent = total > 0 ? static_cast<double>(written) / static_cast<double>(total) * 100.0 : 0.0;
    say = "Recebidos: " + General3(percent) + "% de " + TotalText(total);
  }
  return say + " " + WrittenText(written) + " Arquivo: " + file;
}

}  // namespace kal
