// The desktop for tests: records every key, pointer and window request as a
// line of text and answers from what the test set up (windows, the window
// in front's origin, the pointer, which characters the keyboard has).
//
// Keys of the fake keyboard: a character's key is its byte code, typed
// with Shift for upper-case ASCII letters (whose key is the lower-case
// letter's); a virtual-key code's key is 1000 + the code. Events read
// "down 97", "up 1016", "move 110 70", "button down", "close 7".
#pragma once

#include <set>
#include <string>
#include <vector>

#include "1_platform/automation.h"

namespace kal {

class RecordingDesktop : public DesktopAutomation {
 public:
  DesktopAvailability Availability() override { return availability_; }
  bool KeyForVirtualKey(int vk, int* key) override;
  bool KeyForCharacter(uint8_t c, LayoutKey* key) override;
  bool SendKey(int key, bool down) override;
  bool PointerPosition(int* x, int* y) override;
  bool MovePointer(int x, int y) override;
  bool SendLeftButton(bool down) override;
  bool ForegroundOrigin(int* x, int* y) override;
  bool ActiveWindowTitle(std::string* title) override;
  bool ConsoleIsActive() override { return console_active_; }
  bool TopLevelWindows(std::vector<DesktopWindow>* windows) override;
  bool ActOnWindow(uint64_t id, WindowAction action) override;
  uint64_t ConsoleWindowId() override { return console_id_; }

  // What the test controls.
  std::vector<std::string> events;
  std::vector<DesktopWindow> windows;
  std::set<uint8_t> missing_characters;  // the keyboard cannot type these
  std::set<int> missing_virtual_keys;
  DesktopAvailability availability_ = DesktopAvailability::kReady;
  int origin_x = 0, origin_y = 0;
  std::string active_title;
  bool console_active_ = false;
  uint64_t console_id_ = 0;

 private:
  int pointer_x_ = 0, pointer_y_ = 0;
};

}  // namespace kal
