// Reading the console's settings. The values are taken through one reader
// function so that the parsing rules stay the same whatever supplies them.
#include "2_config/console_settings.h"

#include <cctype>
#include <functional>

#include "2_config/config.h"
#include "2_config/config_state.h"

namespace kal {

namespace {

using Reader = std::function<std::string(const cfg::ConfigKey& key)>;

// The console window's keys are read directly (no "@" expansion), with the
// default when the key is absent.
Reader DirectReader(ConfigState& config) {
  return [&config](const cfg::ConfigKey& key) { return ReadConfigDirect(config, key); };
}

// The magnifier's keys go through the full reader; absent reads as empty.
Reader ExpandedReader(ConfigState& config) {
  return [&config](const cfg::ConfigKey& key) { return ReadConfig(config, key); };
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
  c.colour_table = read(cfg::kTabCores);
  c.colours_fixed = YesValue(read(cfg::kCoresFixas));
  c.slow_scroll = YesValue(read(cfg::kLento));
  c.background = NumberOr(read(cfg::kCorFundo), cfg::kCorFundo.number) & 15;
  c.foreground = NumberOr(read(cfg::kCorLetra), cfg::kCorLetra.number) & 15;
  // The low two bits of the first character: "0", "1", "2"; "3" acts as 1.
  std::string mode = read(cfg::kBrailleModo);
  c.braille_mode = mode.empty() ? 0 : static_cast<unsigned char>(mode[0]) & 3;
  if (c.braille_mode == 3) c.braille_mode = 1;
  return c;
}

MagnifierSettings ParseMagnifierSettings(const Reader& read) {
  MagnifierSettings m;
  std::string f = read(cfg::kAmpliacao);
  if (!f.empty()) {
    int v = NumberOr(f, cfg::kAmpliacao.number);
    m.factor = v >= 0 && v <= 10 ? v : cfg::kAmpliacao.number;
  }
  m.letters = ColourOr(read(cfg::kLupaCorLetra), cfg::kLupaCorLetra.number);
  m.background = ColourOr(read(cfg::kLupaCorFundo), cfg::kLupaCorFundo.number);
  m.cursor = ColourOr(read(cfg::kLupaCorCursor), cfg::kLupaCorCursor.number);
  return m;
}

// A size in pixels: a positive whole number up to 1000, else 0 (absent).
int PixelsOr0(const std::string& s) {
  int v = NumberOr(s, 0);
  return v > 0 && v <= 1000 ? v : 0;
}

// A font weight: a whole number from 1 to 1000, else 0 (the regular style).
int WeightOr0(const std::string& s) {
  int v = NumberOr(s, 0);
  return v > 0 && v <= 1000 ? v : 0;
}

WindowSettings ParseWindowSettings(const Reader& read) {
  WindowSettings w;
  w.window = YesValue(read(cfg::kJanela));
  std::string face = read(cfg::kFonte);
  if (!face.empty()) w.face = face;
  w.cell_width = PixelsOr0(read(cfg::kLarguraLetra));
  w.cell_height = PixelsOr0(read(cfg::kAlturaLetra));
  w.weight = WeightOr0(read(cfg::kPesoLetra));
  w.maximised = !YesValue(read(cfg::kCantoTela));
  return w;
}

}  // namespace

bool YesValue(const std::string& value) {
  size_t i = value.find_first_not_of(' ');
  return i != std::string::npos && (value[i] == 'S' || value[i] == 's');
}

ConsoleSettings ReadConsoleSettings(ConfigState& config) {
  if (config.console_override) return *config.console_override;
  return ParseConsoleSettings(DirectReader(config));
}

WindowSettings ReadWindowSettings(ConfigState& config) { return ParseWindowSettings(DirectReader(config)); }

MagnifierSettings ReadMagnifierSettings(ConfigState& config) {
  if (config.magnifier_override) return *config.magnifier_override;
  return ParseMagnifierSettings(ExpandedReader(config));
}

}  // namespace kal
