#include "1_platform/fake/recording_braille.h"

namespace kal {

bool RecordingBraille::Open() {
  ++open_calls_;
  open_ = present_;
  if (open_) unplugged_ = false;
  return open_;
}

bool RecordingBraille::WriteCells(const std::vector<uint8_t>& dots) {
  if (!open_) return false;
  if (unplugged_) {
    open_ = false;
    return false;
  }
  writes_.push_back(dots);
  return true;
}

bool RecordingBraille::ReadKey(BrailleKey* key) {
  if (!open_) return false;
  if (unplugged_) {
    open_ = false;
    return false;
  }
  if (keys_.empty()) return false;
  *key = keys_.front();
  keys_.pop_front();
  return true;
}

}  // namespace kal
