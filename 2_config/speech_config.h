// The configuration reads of the speech layer, in one place: the facade and
// the wave player read their keys of Talven.ini through these.
#pragma once

#include <string>
#include <string_view>

#include "2_config/config_keys.h"

namespace kal {

// ReadConfig: expanded value, empty when absent.
std::string SpeechConfig(std::string_view section, std::string_view key);
// ReadConfigDefault: trimmed value; an empty one writes and gives the default.
std::string SpeechConfigDefault(std::string_view section, std::string_view key, std::string_view def);
// Read straight from the file, no expansion, the default when absent.
std::string SpeechConfigDirect(std::string_view section, std::string_view key, std::string_view def);

// The same by catalogue entry (config_keys.h), with the entry's default.
std::string SpeechConfig(const cfg::ConfigKey& key);
std::string SpeechConfigDefault(const cfg::ConfigKey& key);
std::string SpeechConfigDirect(const cfg::ConfigKey& key);
// A numeric entry: its value when that is a whole number, else its default.
int SpeechConfigNumber(const cfg::ConfigKey& key);
// A stem entry with its suffix appended to the key (the speed digit).
std::string SpeechConfigStem(const cfg::ConfigKey& stem, std::string_view suffix);
// Reads the legacy flag (TALVEN/LEGADO) that adds the second copy of the
// file; done when speech starts.
void SpeechLoadLegacyFlag();

// Numbers: the value when it is entirely a signed decimal number, else def.
int SpeechConfigNumber(const std::string& value, int def);
// Yes-key: first letter S. Not-N key: not empty and first letter not N.
bool SpeechConfigYes(const std::string& value);
bool SpeechConfigNotN(const std::string& value);

}  // namespace kal
