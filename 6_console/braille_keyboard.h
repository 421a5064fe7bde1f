// The six-key braille chord keyboard: the keys F, D, S, J, K, L are dots
// 1 to 6 and the space bar is a seventh key; a chord is typed by holding
// keys together and is translated when the last of them is released.
//
// Mode 1 gives the character of the chord's dots directly; mode 2 adds the
// capital sign (dots 4-6), the number sign (dots 3-4-5-6) and a few
// substitutions. Space with dots gives a control character.
//
// The logic needs key-down and key-up events; it is fed by a front end that
// has them and gives back the bytes to queue.
#pragma once

#include <cstdint>

namespace kal {

class BrailleKeyboard {
 public:
  static constexpr int kNothing = -1;

  // 0 off, 1 direct, 2 with signs; values above 2 mean 1. The chord being
  // typed is dropped.
  void SetMode(int mode);
  int mode() const { return mode_; }
  bool on() const { return mode_ != 0; }

  // A key went down. key is the character of the key (a letter in either
  // case, or space); ctrl tells whether Ctrl is held. True when the chord
  // keyboard takes the key (it gives no character of its own).
  bool KeyDown(uint8_t key, bool ctrl);

  // A key went up. True when the chord keyboard takes the key; *out is the
  // byte to queue, or kNothing.
  bool KeyUp(uint8_t key, bool ctrl, int* out);

  // The dots of a chord key (F 1, D 2, S 4, J 8, K 16, L 32, space 64), 0
  // for other keys.
  static uint8_t DotOf(uint8_t key);
  // The Latin-1 character of dots 0-63.
  static uint8_t CharOf(uint8_t dots);

 private:
  int Translate();
  int PostProcess(uint8_t c);
  void ClearSigns() { capital_ = locked_ = number_ = false; }

  int mode_ = 0;
  uint8_t chord_ = 0;  // dots collected for the chord being typed
  uint8_t held_ = 0;   // chord keys down now
  bool capital_ = false, locked_ = false, number_ = false;
};

}  // namespace kal
