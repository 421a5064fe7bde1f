// Until the configuration file reader is in, the speech layer sees every key
// absent and takes its defaults.
#include "console/speech_config.h"

#include <cctype>
#include <cstdlib>

namespace kal {

std::string SpeechConfig(std::string_view, std::string_view) { return {}; }

std::string SpeechConfigDefault(std::string_view section, std::string_view key, std::string_view def) {
  std::string v = SpeechConfig(section, key);
  return v.empty() ? std::string(def) : v;
}

std::string SpeechConfigDirect(std::string_view, std::string_view, std::string_view def) {
  return std::string(def);
}

void SpeechLoadLegacyFlag() {}

int SpeechConfigNumber(const std::string& value, int def) {
  if (value.empty()) return def;
  char* end = nullptr;
  long v = std::strtol(value.c_str(), &end, 10);
  if (*end != '\0' || v < -2147483647L - 1 || v > 2147483647L) return def;
  return static_cast<int>(v);
}

bool SpeechConfigYes(const std::string& value) {
  return !value.empty() && std::toupper(static_cast<unsigned char>(value[0])) == 'S';
}

bool SpeechConfigNotN(const std::string& value) {
  return !value.empty() && std::toupper(static_cast<unsigned char>(value[0])) != 'N';
}

}  // namespace kal
