// Layer 2_config: Talven.ini and the catalogue of its keys (config_keys.h),
// and the readers that turn keys into settings for the layers above.
//
// The family's shared configuration file, "Talven.ini".
//
// Where it is: the configuration folder is $XDG_CONFIG_HOME/Talven (default
// ~/.config/Talven); when no Talven.ini is there but the Windows directory
// (C:\windows under the drives folder, or $TALVEN_WINDIR) holds one, the
// Windows directory is the configuration folder.
//
// Every read looks at the file's stamp, so a change made by another program
// of the family is seen at once: its keys are kept only while the stamp
// stays (2_config/config_file_cache.h), and where it is only while the
// stamps of the folders that decide it stay (2_config/config_location.h). Writes replace the file atomically
// and keep every other line as it was; each write holds a lock from its read
// of the file to the replacement (1_platform/file_lock.h), so that programs
// writing at the same time do not lose each other's keys. When the lock
// cannot be had, the update is kept in memory and read back from there
// (2_config/config_update.h).
//
// Values read through ReadConfig have their "@" prefixes expanded:
//   "@"        alone: the program folder (the executable's folder);
//   "@@\"      the configuration folder;
//   "@\"       the value of TALVEN/PGMTALVEN, or the program folder when that is
//              empty or begins with "@".
// Folders are given as a script sees them (1_platform/paths.h ScriptPath).
//
// Every function that reads or writes the file is given the configuration
// state of the run (config_state.h): where the file is, its keys as last
// read, the updates kept in memory and the legacy flag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "2_config/config_keys.h"

namespace kal {

struct ConfigState;

// The folder that holds the configuration file (script form, Latin-1).
std::string ConfigFolder(ConfigState& config);

// Host path of the configuration file (it need not exist yet).
std::string ConfigFilePath(ConfigState& config);

// section/key with an empty default, the legacy copy as fall-back and the
// "@" prefixes expanded. An absent key yields "". At most 49999 bytes are
// read from the file.
std::string ReadConfig(ConfigState& config, std::string_view section, std::string_view key);

// ReadConfig, trimmed; when that is empty the default is written into the
// file and returned.
std::string ReadConfigDefault(ConfigState& config, std::string_view section, std::string_view key,
                              std::string_view def);

// Writes the key into the configuration file (creating the folder, the file,
// the section or the key as needed); with the legacy flag on, also into the
// Windows directory's Talven.ini when that exists. False when the
// configuration file could not be written; callers may ignore it.
bool WriteConfig(ConfigState& config, std::string_view section, std::string_view key, std::string_view value);

// The direct reader: the configuration file only, no "@" expansion, no legacy
// fall-back, at most 79 bytes. The default is returned only when the key is
// absent; a key present with an empty value reads as "".
std::string ReadConfigDirect(ConfigState& config, std::string_view section, std::string_view key,
                             std::string_view def);

// The same reads by catalogue entry (config_keys.h): the entry's default is
// the one given to ReadConfigDefault and ReadConfigDirect, its number the
// one of ReadConfigInt.
std::string ReadConfig(ConfigState& config, const cfg::ConfigKey& key);
std::string ReadConfigDefault(ConfigState& config, const cfg::ConfigKey& key);
std::string ReadConfigDirect(ConfigState& config, const cfg::ConfigKey& key);
int32_t ReadConfigInt(ConfigState& config, const cfg::ConfigKey& key);
bool WriteConfig(ConfigState& config, const cfg::ConfigKey& key, std::string_view value);

// The legacy flag (TALVEN/LEGADO begins with S): adds the Windows directory's
// Talven.ini as a second copy. LoadLegacyFlag reads it once at speech start.
void LoadLegacyFlag(ConfigState& config);
void SetLegacyFlag(ConfigState& config, bool on);
bool LegacyFlag(const ConfigState& config);

// Host path of the legacy copy: Talven.ini in the Windows directory.
std::string LegacyConfigFilePath(ConfigState& config);

// --- Values -------------------------------------------------------------------

// A signed decimal 32-bit integer filling the whole text (blanks around it
// allowed); false for an empty or partly numeric text or one out of range.
bool ParseConfigInt(std::string_view text, int32_t* out);

// ReadConfig as a number; `def` when the value is empty or invalid.
int32_t ReadConfigInt(ConfigState& config, std::string_view section, std::string_view key, int32_t def);

// Yes-key: on when the first character is S or s.
bool ConfigYes(std::string_view value);

// Not-N key: on when the value is not empty and does not begin with N or n.
bool ConfigNotN(std::string_view value);

}  // namespace kal
