#include "8_interpreter/key_names.h"

namespace kal {
namespace {

struct KeyName {
  std::string_view name;
  int vk;
};

// The names ACIONA knows, as scripts write them (after upper-casing).
constexpr KeyName kKeyNames[] = {
    {"UP", 38},       {"DOWN", 40},      {"LEFT", 37},      {"RIGHT", 39},    {"ESCAPE", 27},
    {"ESC", 27},      {"ENTER", 13},     {"RETURN", 13},    {"BACKSPACE", 8}, {"TAB", 9},
    {"INS", 45},      {"HOME", 36},      {"DEL", 46},       {"DELETE", 46},   {"END", 35},
    {"PAGEUP", 33},   {"PRIOR", 33},     {"PAGEDN", 34},    {"NEXT", 34},     {"SNAPSHOT", 44},
};

// F1..F12 give 112..123; 0 for anything else.
int FunctionKey(std::string_view name) {
  if (name.size() < 2 || name.size() > 3 || name[0] != 'F') return 0;
  int n = 0;
  for (char c : name.substr(1)) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= 12 && name[1] != '0' ? 111 + n : 0;
}

bool TakePrefix(std::string_view* text, std::string_view prefix) {
  if (text->substr(0, prefix.size()) != prefix) return false;
  text->remove_prefix(prefix.size());
  return true;
}

// '#' and a decimal code 1..255.
bool ParseCode(std::string_view digits, int* vk) {
  if (digits.empty() || digits.size() > 3) return false;
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > 255) return false;
  *vk = n;
  return true;
}

}  // namespace

int VirtualKeyByName(std::string_view name) {
  for (const auto& k : kKeyNames)
    if (k.name == name) return k.vk;
  return FunctionKey(name);
}

bool ParseKeyCombination(std::string_view upper, KeyCombination* out) {
  KeyCombination k;
  k.ctrl = TakePrefix(&upper, "CTRL+");
  k.shift = TakePrefix(&upper, "SHIFT+");
  k.alt = TakePrefix(&upper, "ALT+");
  if (upper.empty()) return false;
  if (upper[0] == '#' && upper.size() > 1) {
    if (!ParseCode(upper.substr(1), &k.vk)) return false;
  } else if (int vk = VirtualKeyByName(upper)) {
    k.vk = vk;
  } else if (upper.size() == 1) {
    unsigned char c = static_cast<unsigned char>(upper[0]);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
      k.vk = c;
    else
      k.character = c;
  } else {
    return false;
  }
  *out = k;
  return true;
}

}  // namespace kal
