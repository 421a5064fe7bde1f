// The braille display for tests: records every write of cells and hands
// out keys a test queued. It can be unplugged (the connection drops at the
// next write or read) and can refuse to open, to try how the console gets
// on without a display.
#pragma once

#include <deque>
#include <vector>

#include "1_platform/braille.h"

namespace kal {

class RecordingBraille : public BrailleDevice {
 public:
  explicit RecordingBraille(int cells = 40) : cells_(cells) {}

  bool Open() override;
  bool IsOpen() const override { return open_; }
  int CellCount() const override { return open_ ? cells_ : 0; }
  bool WriteCells(const std::vector<uint8_t>& dots) override;
  // Keys are taken by polling (TakeBrailleKeys), not through a descriptor.
  int KeyFd() const override { return -1; }
  bool ReadKey(BrailleKey* key) override;
  void Close() override { open_ = false; }

  // What the test controls.
  void PressKey(const BrailleKey& key) { keys_.push_back(key); }
  void set_present(bool present) { present_ = present; }  // answers Open
  void Unplug() { unplugged_ = true; }                   // drops at next use
  void set_cells(int cells) { cells_ = cells; }

  // What the test reads back: every write, and how often Open was called.
  const std::vector<std::vector<uint8_t>>& writes() const { return writes_; }
  int open_calls() const { return open_calls_; }

 private:
  int cells_;
  bool open_ = false;
  bool present_ = true;
  bool unplugged_ = false;
  int open_calls_ = 0;
  std::deque<BrailleKey> keys_;
  std::vector<std::vector<uint8_t>> writes_;
};

}  // namespace kal
