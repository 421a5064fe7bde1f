// Keys that were written ahead (standard input from a pipe or a file, the
// keys of a test) are handed to the program as a person would type them:
// the first key of what arrives at once goes in straight away, as a key
// pressed while the program is busy; each further one only when the
// program waits for a key. So a key that was meant for a prompt is not
// thrown away by a beep (which drops typed-ahead keys) or taken as cutting
// short what comes before it, and a run from standard input hears and
// reads what a user at the keyboard would.
//
// A lone Esc is followed by a pause, so that the key decoder does not take
// it as the start of an escape sequence with the key after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kal {

class KeyPacer {
 public:
  // Bytes held at most; the rest waits with the system.
  static constexpr size_t kCapacity = 4096;
  static constexpr int kEscPauseMs = 80;

  // Bytes that have just arrived together.
  void Add(std::string_view bytes);
  size_t room() const { return held_.size() < kCapacity ? kCapacity - held_.size() : 0; }
  bool Empty() const { return held_.empty(); }
  // The program waits for a key: the next one may be typed; until the wait
  // is over, when it may not any more.
  void AllowNext() { may_type_ = true; }
  void Withhold() { may_type_ = false; }
  // The bytes of the next key (an escape sequence, a UTF-8 character, a
  // zero byte with its code, CR LF, or one byte) when one may be typed at `now`
  // and it has at most `room` bytes; empty otherwise.
  std::string Next(int64_t now, size_t room);

 private:
  size_t KeyLength(size_t i) const;

  std::string held_;
  bool may_type_ = false;
  int64_t resume_at_ = 0;
};

}  // namespace kal
