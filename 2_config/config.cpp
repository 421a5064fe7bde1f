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

bool Legacy() {
  ConfigState* c = InstalledConfig();
  return c && c->legacy;
}

std::string FileIn(const std::string& folder) { return HostPathUnder(folder, "Talven.ini"); }

std::string ConfigFolderHost() {
  std::string candidate = UserConfigHome() + "/Talven";
  if (HostExists(FileIn(candidate))) return candidate;
  std::string windir = WindowsFolder();
  if (HostExists(FileIn(windir))) return windir;
  return candidate;
}

// The key's value as the file on disk has it, through the installed state's
// cache of the file's keys when there is one.
bool ReadFromDisk(ConfigState* c, const std::string& file, std::string_view section, std::string_view key,
                  std::string* value) {
  if (c) {
    const IniIndex* keys = c->files.Keys(file);
    return keys && keys->Lookup(section, key, value);
  }
  std::string text;
  return ReadHostFile(file, &text, kMaxConfigFileBytes) && IniLookup(text, section, key, value);
}

// The key's value in one file; false when the file, section or key is absent.
bool ReadFromFile(const std::string& file, std::string_view section, std::string_view key, size_t limit,
                  std::string* value) {
  ConfigState* c = InstalledConfig();
  if (!(c && c->updates.Lookup(file, section, key, value)) && !ReadFromDisk(c, file, section, key, value))
    return false;
  if (value->size() > limit) value->resize(limit);
  return true;
}

// Other programs of the family may update the file at the same moment: the
// lock keeps their read-modify-write and ours from interleaving, so that no
// update is lost (2_config/config_update.h).
bool WriteToFile(const std::string& file, std::string_view section, std::string_view key,
                 std::string_view value) {
  if (ConfigState* c = InstalledConfig()) return c->updates.Write(file, section, key, value);
  ConfigUpdates once;
  return once.Write(file, section, key, value);
}

std::string ReadRaw(std::string_view section, std::string_view key) {
  std::string value;
  ReadFromFile(ConfigFilePath(), section, key, kReadLimit, &value);
  if (value.empty() && Legacy()) ReadFromFile(LegacyConfigFilePath(), section, key, kReadLimit, &value);
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
std::string PgmFolder(bool expanding_pgm) {
  std::string program = ScriptPath(ProgramFolder());
  if (expanding_pgm) return program;
  std::string pgm = ReadConfig(cfg::kPgmTalven);
  return pgm.empty() || pgm[0] == '@' ? program : pgm;
}

std::string Expand(std::string value, bool expanding_pgm) {
  for (int round = 0; round < kMaxExpansionRounds; ++round) {
    if (value == "@") return ScriptPath(ProgramFolder());
    size_t at = value.find("@@\\");
    if (at != std::string::npos) value.replace(at, 2, ConfigFolder());
    at = value.find("@\\");
    if (at == std::string::npos) return value;
    value.replace(at, 1, PgmFolder(expanding_pgm));
  }
  return value;
}

}  // namespace

std::string ConfigFolder() { return ScriptPath(ConfigFolderHost()); }

std::string ConfigFilePath() { return FileIn(ConfigFolderHost()); }

std::string LegacyConfigFilePath() { return FileIn(WindowsFolder()); }

std::string ReadConfig(std::string_view section, std::string_view key) {
  return Expand(ReadRaw(section, key), IsPgmTalven(section, key));
}

std::string ReadConfigDefault(std::string_view section, std::string_view key, std::string_view def) {
  std::string value(IniTrim(ReadConfig(section, key)));
  if (!value.empty()) return value;
  WriteConfig(section, key, def);
  return std::string(def);
}

bool WriteConfig(std::string_view section, std::string_view key, std::string_view value) {
  std::string folder = ConfigFolderHost();
  MakeHostFolders(folder);
  std::string file = FileIn(folder);
  bool ok = WriteToFile(file, section, key, value);
  if (Legacy()) {
    std::string legacy = LegacyConfigFilePath();
    if (HostExists(legacy) && !HostSameFile(legacy, file)) WriteToFile(legacy, section, key, value);
  }
  return ok;
}

std::string ReadConfigDirect(std::string_view section, std::string_view key, std::string_view def) {
  std::string value;
  if (ReadFromFile(ConfigFilePath(), section, key, kDirectLimit, &value)) return value;
  return std::string(def.substr(0, kDirectLimit));
}

void LoadLegacyFlag() { SetLegacyFlag(ConfigYes(ReadConfig(cfg::kLegado))); }

void SetLegacyFlag(bool on) {
  if (ConfigState* c = InstalledConfig()) c->legacy = on;
}

bool LegacyFlag() { return Legacy(); }

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

int32_t ReadConfigInt(std::string_view section, std::string_view key, int32_t def) {
  int32_t v = 0;
  return ParseConfigInt(ReadConfig(section, key), &v) ? v : def;
}

bool ConfigYes(std::string_view value) { return !value.empty() && (value[0] == 'S' || value[0] == 's'); }

bool ConfigNotN(std::string_view value) { return !value.empty() && value[0] != 'N' && value[0] != 'n'; }

std::string ReadConfig(const cfg::ConfigKey& key) { return ReadConfig(key.section, key.name); }

std::string ReadConfigDefault(const cfg::ConfigKey& key) { return ReadConfigDefault(key.section, key.name, key.def); }

std::string ReadConfigDirect(const cfg::ConfigKey& key) { return ReadConfigDirect(key.section, key.name, key.def); }

int32_t ReadConfigInt(const cfg::ConfigKey& key) { return ReadConfigInt(key.section, key.name, key.number); }

bool WriteConfig(const cfg::ConfigKey& key, std::string_view value) { return WriteConfig(key.section, key.name, value); }

}  // namespace kal
