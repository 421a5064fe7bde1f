// Virtual keys to window keys.
#include "1_platform/win32/win_window_keys.h"

#include "1_platform/window_keys.h"

namespace kal {

namespace {

bool Down(int vk) { return GetKeyState(vk) < 0; }

}  // namespace

int WindowKeyOfVirtualKey(WPARAM vk) {
  if (vk >= 'A' && vk <= 'Z') return static_cast<int>(vk - 'A' + 'a');
  if ((vk >= '0' && vk <= '9') || vk == VK_SPACE) return static_cast<int>(vk);
  if (vk >= VK_F1 && vk <= VK_F12) return kWinKeyF1 + static_cast<int>(vk - VK_F1);
  switch (vk) {
    case VK_UP: return kWinKeyUp;
    case VK_DOWN: return kWinKeyDown;
    case VK_RIGHT: return kWinKeyRight;
    case VK_LEFT: return kWinKeyLeft;
    case VK_HOME: return kWinKeyHome;
    case VK_END: return kWinKeyEnd;
    case VK_INSERT: return kWinKeyInsert;
    case VK_DELETE: return kWinKeyDelete;
    case VK_PRIOR: return kWinKeyPageUp;
    case VK_NEXT: return kWinKeyPageDown;
    case VK_RETURN: return kWinKeyEnter;
    case VK_BACK: return kWinKeyBackspace;
    case VK_ESCAPE: return kWinKeyEscape;
    case VK_TAB: return kWinKeyTab;
    case VK_PAUSE: case VK_CANCEL: return kWinKeyBreak;
    default: break;
  }
  // Punctuation: the layout's character without Shift (dead keys carry the
  // top bit, and count as none).
  UINT ch = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_CHAR);
  if (ch >= 33 && ch < 127) return static_cast<int>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  return kWinKeyNone;
}

unsigned WindowModsNow() {
  unsigned m = 0;
  bool alt_gr = Down(VK_RMENU);
  if (Down(VK_SHIFT)) m |= kWinModShift;
  if (alt_gr ? Down(VK_RCONTROL) : Down(VK_CONTROL)) m |= kWinModCtrl;
  if (Down(VK_LMENU)) m |= kWinModLeftAlt;
  if (alt_gr) m |= kWinModRightAlt;
  return m;
}

}  // namespace kal
