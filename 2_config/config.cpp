// Talven.ini: locating it, reading with "@" expansion and the legacy copy,
// writing (through 2_config/config_update.h), and value parsing.
#include "2_config/config.h"

#include <cctype>
#include <climits>

#include "0_base/ini_file.h"
#include "2_config/config_state.h"
#include "2_config/config_update.h"
#include "1_platform/paths.h"

namespace kal {
namespace {

constexpr size_t kReadLimit = 50000 - 1;   // value buffer of ReadConfig
constexpr size_t kDirectLimit = 80 - 1;    // value buffer of the direct readers
// Rounds of "@" expansion in one value. Enough for any sensible setting; a
// value whose insertions bring back "@\" or "@@\" stops here as it stands.
constexpr int kMaxExpansionRounds = 16;

// The key's value as the file on disk has it, through the state's cache of
// the file's keys.
bool ReadFromDisk(ConfigState& c, const std::string& file, std::string_view section, std::string_view key,
                  std::string* value) {
  const IniIndex* keys = c.files.Keys(file);
  return keys && keys->Lookup(section, key, value);
}

// The key's value in one file (an update still in memory first); false when
// the file, section or key is absent.
bool ReadFromFile(ConfigState& c, const std::string& file, std::string_view section, std::string_view key,
                  size_t limit, std::string* value) {
  if (!c.updates.Lookup(file, section, key, value) && !ReadFromDisk(c, file, section, key, value)) return false;
  if (value->size() > limit) value->resize(limit);
  return true;
}

std::string ReadRaw(ConfigState& c, const ConfigPlace& place, std::string_view section, std::string_view key) {
  std::string value;
  ReadFromFile(c, place.file, section, key, kReadLimit, &value);
  if (value.empty() && c.legacy) ReadFromFile(c, place.legacy, section, key, kReadLimit, &value);
  return value;
}

bool IsPgmTalven(std::string_view section, std::string_view key) {
  std::string s(section), k(key);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (char& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s == cfg::kPgmTalven.section && k == cfg::kPgmTalven.name;
}

// The text inserted for "@\". PGMTALVEN cannot stand for itself: inside its
// own value "@\" means the program folder.
std::string PgmFolder(ConfigState& c, const ConfigPlace& place, bool expanding_pgm) {
  if (expanding_pgm) return place.program_folder;
  std::string pgm = ReadConfig(c, cfg::kPgmTalven);
  return pgm.empty() || pgm[0] == '@' ? place.program_folder : pgm;
}

// The place is the one the value was read from: the folders a value names
// are those of the file it came from.
std::string Expand(ConfigState& c, const ConfigPlace& place, std::string value, bool expanding_pgm) {
  for (int round = 0; round < kMaxExpansionRounds; ++round) {
    if (value == "@") return place.program_folder;
    size_t at = value.find("@@\\");
    if (at != std::string::npos) value.replace(at, 2, place.script_folder);
    at = value.find("@\\");
    if (at == std::string::npos) return value;
    value.replace(at, 1, PgmFolder(c, place, expanding_pgm));
  }
  return value;
}

}  // namespace

std::string ConfigFolder(ConfigState& config) { return config.location.Place().script_folder; }

std::string ConfigFilePath(ConfigState& config) { return config.location.Place().file; }

std::string LegacyConfigFilePath(ConfigState& config) { return config.location.Place().legacy; }

std::string ReadConfig(ConfigState& config, std::string_view section, std::string_view key) {
  ConfigPlace place = config.location.Place();
  return Expand(config, place, ReadRaw(config, place, section, key), IsPgmTalven(section, key));
}

std::string ReadConfigDefault(ConfigState& config, std::string_view section, std::string_view key,
                              std::string_view def) {
  std::string value(IniTrim(ReadConfig(config, section, key)));
  if (!value.empty()) return value;
  WriteConfig(config, section, key, def);
  return std::string(def);
}

// A write may make the folder and the file, and so move where the file is
// found: the place is found again after it.
// Other programs of the family may update the file at the same moment: the
// lock keeps their read-modify-write and ours from interleaving, so that no
// update is lost (2_config/config_update.h).
bool WriteConfig(ConfigState& config, std::string_view section, std::string_view key, std::string_view value) {
  ConfigPlace place = config.location.Place();
  MakeHostFolders(place.folder);
  bool ok = config.updates.Write(place.file, section, key, value);
  if (config.legacy && HostExists(place.legacy) && !HostSameFile(place.legacy, place.file))
    config.updates.Write(place.legacy, section, key, value);
  config.location.Forget();
  return ok;
}

std::string ReadConfigDirect(ConfigState& config, std::string_view section, std::string_view key,
                             std::string_view def) {
  std::string value;
  if (ReadFromFile(config, config.location.Place().file, section, key, kDirectLimit, &value)) return value;
  return std::string(def.substr(0, kDirectLimit));
}

void LoadLegacyFlag(ConfigState& config) { SetLegacyFlag(config, ConfigYes(ReadConfig(config, cfg::kLegado))); }

void SetLegacyFlag(ConfigState& config, bool on) { config.legacy = on; }

bool LegacyFlag(const ConfigState& config) { return config.legacy; }

bool ParseConfigInt(std::string_view text, int32_t* out) {
  text = IniTrim(text);
  if (text.empty()) return false;
  bool negative = text[0] == '-';
  if (text[0] == '-' || text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > int64_t{INT32_MAX} + 1) return false;
  }
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

int32_t ReadConfigInt(ConfigState& config, std::string_view section, std::string_view key, int32_t def) {
  int32_t v = 0;
  return ParseConfigInt(ReadConfig(config, section, key), &v) ? v : def;
}

bool ConfigYes(std::string_view value) { return !value.empty() && (value[0] == 'S' || value[0] == 's'); }

bool ConfigNotN(std::string_view value) { return !value.empty() && value[0] != 'N' && value[0] != 'n'; }

std::string ReadConfig(ConfigState& config, const cfg::ConfigKey& key) {
  return ReadConfig(config, key.section, key.name);
}

std::string ReadConfigDefault(ConfigState& config, const cfg::ConfigKey& key) {
  return ReadConfigDefault(config, key.section, key.name, key.def);
}

std::string ReadConfigDirect(ConfigState& config, const cfg::ConfigKey& key) {
  return ReadConfigDirect(config, key.section, key.name, key.def);
}

int32_t ReadConfigInt(ConfigState& config, const cfg::ConfigKey& key) {
  return ReadConfigInt(config, key.section, key.name, key.number);
}

bool WriteConfig(ConfigState& config, const cfg::ConfigKey& key, std::string_view value) {
  return WriteConfig(config, key.section, key.name, value);
}

}  // namespace kal
