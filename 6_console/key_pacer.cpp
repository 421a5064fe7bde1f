#include "6_console/key_pacer.h"

#include <algorithm>

namespace kal {

void KeyPacer::Add(std::string_view bytes) {
  if (bytes.empty()) return;
  if (held_.empty()) may_type_ = true;  // nothing was ahead of these: typed now
  held_.append(bytes);
}

std::string KeyPacer::Next(int64_t now, size_t room) {
  if (held_.empty() || !may_type_ || now < resume_at_) return {};
  size_t n = KeyLength(0);
  if (n > room) return {};
  std::string key = held_.substr(0, n);
  held_.erase(0, n);
  may_type_ = false;
  if (key == "\x1b") resume_at_ = now + kEscPauseMs;
  return key;
}

size_t KeyPacer::KeyLength(size_t i) const {
  size_t left = held_.size() - i;
  unsigned char c = static_cast<unsigned char>(held_[i]);
  size_t n = 1;
  if (c == 0x1b && left > 3 && held_[i + 1] == 0x1b && (held_[i + 2] == '[' || held_[i + 2] == 'O'))
    return 1 + KeyLength(i + 1);  // Alt as Esc before a whole sequence
  if (c == 0x1b && left > 2 && held_[i + 1] == 'O') {
    n = 2;
    while (i + n < held_.size() && held_[i + n] >= '0' && held_[i + n] <= '9') ++n;
    ++n;
  } else if (c == 0x1b && left > 2 && held_[i + 1] == '[') {
    n = 2;
    if (held_[i + 2] == '[') n = 4;
    while (n < left && held_[i + n] >= 0x20 && held_[i + n] <= 0x3F) ++n;
    if (held_[i + 2] != '[') ++n;
  } else if (c == 0 || (c == '\r' && left > 1 && held_[i + 1] == '\n')) {
    n = 2;  // a zero byte and its code; CR LF, one Enter
  } else if (c >= 0xC0) {
    n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
  }
  return std::min(n, left);
}

}  // namespace kal
