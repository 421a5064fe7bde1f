#include "1_platform/fake/recording_desktop.h"

namespace kal {

bool RecordingDesktop::KeyForVirtualKey(int vk, int* key) {
  if (missing_virtual_keys.count(vk)) return false;
  *key = 1000 + vk;
  return true;
}

bool RecordingDesktop::KeyForCharacter(uint8_t c, LayoutKey* key) {
  if (missing_characters.count(c) || c < 32) return false;
  bool upper = c >= 'A' && c <= 'Z';
  key->key = upper ? c + 32 : c;
  key->shift = upper;
  return true;
}

bool RecordingDesktop::SendKey(int key, bool down) {
  events.push_back((down ? "down " : "up ") + std::to_string(key));
  return true;
}

bool RecordingDesktop::PointerPosition(int* x, int* y) {
  *x = pointer_x_;
  *y = pointer_y_;
  return true;
}

bool RecordingDesktop::MovePointer(int x, int y) {
  pointer_x_ = x;
  pointer_y_ = y;
  events.push_back("move " + std::to_string(x) + " " + std::to_string(y));
  return true;
}

bool RecordingDesktop::SendLeftButton(bool down) {
  events.push_back(down ? "button down" : "button up");
  return true;
}

bool RecordingDesktop::ForegroundOrigin(int* x, int* y) {
  *x = origin_x;
  *y = origin_y;
  return true;
}

bool RecordingDesktop::ActiveWindowTitle(std::string* title) {
  *title = active_title;
  return true;
}

bool RecordingDesktop::TopLevelWindows(std::vector<DesktopWindow>* out) {
  *out = windows;
  return true;
}

bool RecordingDesktop::ActOnWindow(uint64_t id, WindowAction action) {
  static const char* const kNames[] = {"close", "restore", "maximize", "minimize"};
  events.push_back(std::string(kNames[static_cast<int>(action)]) + " " + std::to_string(id));
  return true;
}

}  // namespace kal
