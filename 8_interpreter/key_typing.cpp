#include "8_interpreter/key_typing.h"

#include "1_platform/automation.h"
#include "1_platform/pump.h"

namespace kal {
namespace {

// Sends one key event and lets the pump run.
bool Send(Platform& p, DesktopAutomation& d, int key, bool down) {
  bool ok = d.SendKey(key, down);
  PumpMessages(p);
  return ok;
}

struct Modifiers {
  int shift = 0, ctrl = 0, alt = 0;  // layout keys; 0 when not held
};

// Looks up the modifier keys a combination needs.
bool ModifierKeys(DesktopAutomation& d, bool shift, bool ctrl, bool alt, Modifiers* m) {
  return (!shift || d.KeyForVirtualKey(kVkShift, &m->shift)) && (!ctrl || d.KeyForVirtualKey(kVkCtrl, &m->ctrl)) &&
         (!alt || d.KeyForVirtualKey(kVkAlt, &m->alt));
}

// Modifiers down, the key down and up, modifiers up; then the pause.
bool Press(Platform& p, DesktopAutomation& d, int key, const Modifiers& m, int pause_ms) {
  bool ok = true;
  for (int mod : {m.shift, m.ctrl, m.alt})
    if (mod) ok = Send(p, d, mod, true) && ok;
  ok = Send(p, d, key, true) && ok;
  ok = Send(p, d, key, false) && ok;
  for (int mod : {m.shift, m.ctrl, m.alt})
    if (mod) ok = Send(p, d, mod, false) && ok;
  Delay(p, pause_ms);
  return ok;
}

bool TypePrintable(Platform& p, DesktopAutomation& d, uint8_t c, int pause_ms) {
  LayoutKey k;
  if (!d.KeyForCharacter(c, &k)) return false;
  Modifiers m;
  if (!ModifierKeys(d, k.shift, false, false, &m)) return false;
  return Press(p, d, k.key, m, pause_ms);
}

}  // namespace

bool AccentOf(uint8_t c, uint8_t* accent, uint8_t* base) {
  // Rows of the Latin-1 letters with accents, upper case; lower case is the
  // same 0x20 higher. Each position of a row is one accent.
  static constexpr uint8_t kGrave = '`', kAcute = 0xB4, kCircumflex = '^', kTilde = '~', kDiaeresis = 0xA8;
  struct Row {
    uint8_t first;
    uint8_t base;
    uint8_t accents[5];
    int count;
  };
  static constexpr Row kRows[] = {
      {0xC0, 'A', {kGrave, kAcute, kCircumflex, kTilde, kDiaeresis}, 5},
      {0xC8, 'E', {kGrave, kAcute, kCircumflex, kDiaeresis}, 4},
      {0xCC, 'I', {kGrave, kAcute, kCircumflex, kDiaeresis}, 4},
      {0xD2, 'O', {kGrave, kAcute, kCircumflex, kTilde, kDiaeresis}, 5},
      {0xD9, 'U', {kGrave, kAcute, kCircumflex, kDiaeresis}, 4},
      {0xD1, 'N', {kTilde}, 1},
      {0xDD, 'Y', {kAcute}, 1},
  };
  for (int lower = 0; lower <= 1; ++lower) {
    uint8_t shift = lower ? 0x20 : 0;
    for (const auto& r : kRows) {
      if (c >= r.first + shift && c < r.first + shift + r.count) {
        *accent = r.accents[c - r.first - shift];
        *base = static_cast<uint8_t>(r.base + shift);
        return true;
      }
    }
  }
  if (c == 0xFF || c == 0x9F) {  // ÿ, and Ÿ where the code page has it
    *accent = kDiaeresis;
    *base = c == 0xFF ? 'y' : 'Y';
    return true;
  }
  return false;
}

bool PressCombination(Platform& p, DesktopAutomation& d, const KeyCombination& k, int pause_ms) {
  int key = 0;
  if (k.character >= 0) {
    LayoutKey lk;
    if (!d.KeyForCharacter(static_cast<uint8_t>(k.character), &lk)) return false;
    key = lk.key;
  } else if (!d.KeyForVirtualKey(k.vk, &key)) {
    return false;
  }
  Modifiers m;
  if (!ModifierKeys(d, k.shift, k.ctrl, k.alt, &m)) return false;
  return Press(p, d, key, m, pause_ms);
}

bool TypeCharacter(Platform& p, DesktopAutomation& d, uint8_t c, int pause_ms) {
  if (c < 32) {
    uint8_t letter = static_cast<uint8_t>(c + 64);
    if (letter >= 'A' && letter <= 'Z') letter = static_cast<uint8_t>(letter + 32);
    LayoutKey k;
    Modifiers m;
    if (!d.KeyForCharacter(letter, &k) || !ModifierKeys(d, false, true, false, &m)) return false;
    bool ok = Press(p, d, k.key, m, pause_ms);
    Delay(p, pause_ms);
    return ok;
  }
  if (TypePrintable(p, d, c, pause_ms)) return true;
  uint8_t accent = 0, base = 0;
  if (c >= 128 && AccentOf(c, &accent, &base) && TypePrintable(p, d, accent, pause_ms) && TypePrintable(p, d, base, pause_ms))
    return true;
  return TypePrintable(p, d, ' ', pause_ms);
}

bool PressCharacterKey(Platform& p, DesktopAutomation& d, uint8_t c) {
  LayoutKey k;
  if (!d.KeyForCharacter(c, &k)) return false;
  bool ok = Send(p, d, k.key, true);
  Delay(p, 1);
  ok = Send(p, d, k.key, false) && ok;
  Delay(p, 1);
  return ok;
}

}  // namespace kal
