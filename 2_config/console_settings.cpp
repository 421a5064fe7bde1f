// Reading the console's settings. The values are taken through one reader
// function so that the parsing rules stay the same whatever supplies them.
#include "2_config/console_settings.h"

#include <cctype>
#include <functional>

#include "2_config/config.h"

namespace kal {

namespace {

using Reader = std::function<std::string(const char* section, const char* key, const char* def)>;

const ConsoleSettings* g_console_override = nullptr;
const MagnifierSettings* g_magnifier_override = nullptr;

// The console window's keys are read directly (no "@" expansion), with the
// default when the key is absent.
std::string ReadDirect(const char* section, const char* key, const char* def) {
  return ReadConfigDirect(section, key, def);
}

// The magnifier's keys go through the full reader; absent reads as empty.
std::string ReadExpanded(const char* section, const char* key, const char*) {
  return ReadConfig(section, key);
}

// A whole signed decimal number, else the fallback.
int NumberOr(const std::string& s, int fallback) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = i < s.size() && s[i] == '-';
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  size_t start = i;
  long v = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 100000) v = v * 10 + (s[i++] - '0');
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == start || i != s.size()) return fallback;
  return static_cast<int>(neg ? -v : v);
}

int ColourOr(const std::string& s, int fallback) {
  int v = NumberOr(s, fallback);
  return v >= 0 && v <= 15 ? v : fallback;
}

ConsoleSettings ParseConsoleSettings(const Reader& read) {
  ConsoleSettings c;
  c.colour_table = read("VIDEO", "TABCORES", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15");
  c.colours_fixed = YesValue(read("VIDEO", "CORESFIXAS", "N"));
  c.slow_scroll = YesValue(read("VIDEO", "LENTO", "N"));
  c.background = NumberOr(read("VIDEO", "CORFUNDO", "0"), 0) & 15;
  c.foreground = NumberOr(read("VIDEO", "CORLETRA", "15"), 15) & 15;
  // The low two bits of the first character: "0", "1", "2"; "3" acts as 1.
  std::string mode = read("BRAILLE", "MODO", "0");
  c.braille_mode = mode.empty() ? 0 : static_cast<unsigned char>(mode[0]) & 3;
  if (c.braille_mode == 3) c.braille_mode = 1;
  return c;
}

MagnifierSettings ParseMagnifierSettings(const Reader& read) {
  MagnifierSettings m;
  std::string f = read("BAIXAVISAO", "AMPLIACAO", "");
  if (!f.empty()) {
    int v = NumberOr(f, 3);
    m.factor = v >= 0 && v <= 10 ? v : 3;
  }
  m.letters = ColourOr(read("BAIXAVISAO", "CORLETRA", ""), 14);
  m.background = ColourOr(read("BAIXAVISAO", "CORFUNDO", ""), 6);
  m.cursor = ColourOr(read("BAIXAVISAO", "CORCURSOR", ""), 3);
  return m;
}

}  // namespace

bool YesValue(const std::string& value) {
  size_t i = value.find_first_not_of(' ');
  return i != std::string::npos && (value[i] == 'S' || value[i] == 's');
}

ConsoleSettings ReadConsoleSettings() {
  if (g_console_override) return *g_console_override;
  return ParseConsoleSettings(ReadDirect);
}

MagnifierSettings ReadMagnifierSettings() {
  if (g_magnifier_override) return *g_magnifier_override;
  return ParseMagnifierSettings(ReadExpanded);
}

void OverrideConsoleSettingsForTest(const ConsoleSettings* console, const MagnifierSettings* magnifier) {
  g_console_override = console;
  g_magnifier_override = magnifier;
}

}  // namespace kal
