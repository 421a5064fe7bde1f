// Windows' virtual keys and modifier state named as the window key bytes
// (1_platform/window_keys.h) name them.
#pragma once

#include <windows.h>

namespace kal {

// The window key of a virtual key (kWinKeyNone for keys without one):
// letters and digits as their lower-case characters, the punctuation keys
// as the unshifted character of the keyboard layout.
int WindowKeyOfVirtualKey(WPARAM vk);

// kWinMod* bits of the keyboard state as the thread's messages see it. The
// right Alt counts as the layout's AltGr, and the left Ctrl that Windows
// reports with it is not counted.
unsigned WindowModsNow();

}  // namespace kal
