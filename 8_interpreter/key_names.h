// ACIONA's key names and combinations.
//
// A combination is a virtual-key code (the neutral key vocabulary of
// 1_platform/automation.h) with Shift, Ctrl and Alt. Written forms, after
// upper-casing: the prefixes "CTRL+", "SHIFT+" and "ALT+", each at most once
// and only in this order, then a key name of the table (UP, F4, PAGEDN...),
// '#' and a decimal virtual-key code, or one character: a letter or digit
// stands for its own key code, any other character for the key that types
// it.
#pragma once

#include <string_view>

namespace kal {

struct KeyCombination {
  int vk = 0;              // virtual-key code; 0 when character is used
  int character = -1;      // a punctuation key: the Latin-1 byte it types
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// Virtual-key codes the commands use by name.
inline constexpr int kVkBackspace = 8;
inline constexpr int kVkEnter = 13;
inline constexpr int kVkShift = 16;
inline constexpr int kVkCtrl = 17;
inline constexpr int kVkAlt = 18;
inline constexpr int kVkEnd = 35;
inline constexpr int kVkHome = 36;
inline constexpr int kVkInsert = 45;

// The code of a key name of the table (upper-case); 0 when it is none.
int VirtualKeyByName(std::string_view name);

// Parses the upper-cased text of a combination; false when it is none of
// the forms above (prefixes out of order or repeated, unknown name, a code
// that is not 1..255, more than one character left).
bool ParseKeyCombination(std::string_view upper, KeyCombination* out);

}  // namespace kal
