// The console's typed-key queue: 64 bytes of the key byte stream, each with
// the modifiers that were held when it was typed.
//
// A single byte is queued only while fewer than 64 bytes are queued; a
// two-byte code (extended key or Alt code) only while at most 62 are
// queued, so that it is never split. Keys that do not fit are dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

namespace kal {

class KeyQueue {
 public:
  static constexpr size_t kCapacity = 64;

  bool PushByte(uint8_t b, uint8_t mods = 0);
  bool PushExtended(uint8_t code, uint8_t mods = 0);
  bool Empty() const { return bytes_.empty(); }
  size_t size() const { return bytes_.size(); }
  size_t room() const { return kCapacity - bytes_.size(); }
  // Removes the first byte; its modifiers go to *mods when given.
  uint8_t Pop(uint8_t* mods = nullptr);
  uint8_t Front() const { return bytes_.front().byte; }
  void Clear() { bytes_.clear(); }

 private:
  struct Entry {
    uint8_t byte, mods;
  };
  std::deque<Entry> bytes_;
};

}  // namespace kal
