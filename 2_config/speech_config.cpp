// The speech layer's reads go to the configuration file (2_config/config.h).
#include "2_config/speech_config.h"

#include "2_config/config.h"

namespace kal {

std::string SpeechConfig(std::string_view section, std::string_view key) { return ReadConfig(section, key); }

std::string SpeechConfigDefault(std::string_view section, std::string_view key, std::string_view def) {
  return ReadConfigDefault(section, key, def);
}

std::string SpeechConfigDirect(std::string_view section, std::string_view key, std::string_view def) {
  return ReadConfigDirect(section, key, def);
}

std::string SpeechConfig(const cfg::ConfigKey& key) { return ReadConfig(key); }
std::string SpeechConfigDefault(const cfg::ConfigKey& key) { return ReadConfigDefault(key); }
std::string SpeechConfigDirect(const cfg::ConfigKey& key) { return ReadConfigDirect(key); }
int SpeechConfigNumber(const cfg::ConfigKey& key) { return SpeechConfigNumber(SpeechConfig(key), key.number); }

std::string SpeechConfigStem(const cfg::ConfigKey& stem, std::string_view suffix) {
  return ReadConfig(stem.section, std::string(stem.name) + std::string(suffix));
}

void SpeechLoadLegacyFlag() { LoadLegacyFlag(); }

int SpeechConfigNumber(const std::string& value, int def) {
  int32_t v = 0;
  return ParseConfigInt(value, &v) ? v : def;
}

bool SpeechConfigYes(const std::string& value) { return ConfigYes(value); }
bool SpeechConfigNotN(const std::string& value) { return ConfigNotN(value); }

}  // namespace kal
