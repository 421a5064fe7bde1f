#include "6_console/key_queue.h"

namespace kal {

bool KeyQueue::PushByte(uint8_t b, uint8_t mods) {
  if (bytes_.size() >= kCapacity) return false;
  bytes_.push_back({b, mods});
  return true;
}

bool KeyQueue::PushExtended(uint8_t code, uint8_t mods) {
  if (bytes_.size() > kCapacity - 2) return false;
  bytes_.push_back({0, mods});
  bytes_.push_back({code, mods});
  return true;
}

uint8_t KeyQueue::Pop(uint8_t* mods) {
  Entry e = bytes_.front();
  bytes_.pop_front();
  if (mods) *mods = e.mods;
  return e.byte;
}

}  // namespace kal
