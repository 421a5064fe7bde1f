// The accessibility tree through the classic interface (oleacc). Focus and
// active-window events come from a WinEvent hook set out of context: Windows
// calls it on this thread while the event loop pumps its messages, so the
// sink is called on the loop's thread, as the interface asks. Each event's
// object is read at once, since it may be gone when the script looks.
#include <windows.h>
#include <oleacc.h>

#include <memory>

#include "0_base/latin1.h"
#include "1_platform/accessibility.h"
#include "1_platform/platform.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

// The role a script gets for a role given only in words.
constexpr int kRoleInWordsOnly = 8;

std::string Latin1Of(std::wstring_view text) { return Utf8ToLatin1(Narrow(text)); }

// A BSTR's text, freed.
std::string TakeText(BSTR b) {
  if (b == nullptr) return "";
  std::string s = Latin1Of(std::wstring_view(b, SysStringLen(b)));
  SysFreeString(b);
  return s;
}

void ReadRole(IAccessible* acc, VARIANT child, AccessibleProperties* out) {
  VARIANT role;
  VariantInit(&role);
  if (FAILED(acc->get_accRole(child, &role))) return;
  if (role.vt == VT_I4) {
    out->role_code = static_cast<int>(role.lVal);
    wchar_t text[256];
    UINT n = GetRoleTextW(static_cast<DWORD>(role.lVal), text, 256);
    out->role_text = Latin1Of(std::wstring_view(text, n < 256 ? n : 255));
  } else if (role.vt == VT_BSTR) {
    out->role_code = kRoleInWordsOnly;
    out->role_text = Latin1Of(std::wstring_view(role.bstrVal, SysStringLen(role.bstrVal)));
  }
  VariantClear(&role);
}

void ReadState(IAccessible* acc, VARIANT child, AccessibleProperties* out) {
  VARIANT state;
  VariantInit(&state);
  if (SUCCEEDED(acc->get_accState(child, &state)) && state.vt == VT_I4) {
    out->checked = (state.lVal & STATE_SYSTEM_CHECKED) != 0;
    out->unavailable = (state.lVal & STATE_SYSTEM_UNAVAILABLE) != 0;
  }
  VariantClear(&state);
}

bool ReadObject(IAccessible* acc, VARIANT child, AccessibleProperties* out) {
  *out = AccessibleProperties{};
  ReadRole(acc, child, out);
  BSTR text = nullptr;
  if (acc->get_accName(child, &text) == S_OK) out->name = TakeText(text);
  text = nullptr;
  if (acc->get_accValue(child, &text) == S_OK) out->value = TakeText(text);
  ReadState(acc, child, out);
  long left = 0, top = 0, width = 0, height = 0;
  if (SUCCEEDED(acc->accLocation(&left, &top, &width, &height, child))) {
    out->left = left;
    out->top = top;
    out->width = width;
    out->height = height;
  }
  return out->role_code != 0 || !out->name.empty();
}

class MsaaAccessibility : public Accessibility {
 public:
  ~MsaaAccessibility() override {
    StopMonitoring();
    if (com_started_) CoUninitialize();
  }

  bool Available() override {
    if (!com_tried_) {
      com_tried_ = true;
      HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      com_started_ = SUCCEEDED(hr);  // S_FALSE too: each success is undone once
      com_ready_ = com_started_ || hr == RPC_E_CHANGED_MODE;
    }
    return com_ready_;
  }

  bool StartMonitoring(AccessibilitySink sink) override {
    if (!Available()) return false;
    StopMonitoring();
    sink_ = std::move(sink);
    monitoring_ = this;
    DWORD flags = WINEVENT_OUTOFCONTEXT;
    foreground_hook_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnEvent, 0, 0, flags);
    focus_hook_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnEvent, 0, 0, flags);
    if (foreground_hook_ == nullptr || focus_hook_ == nullptr) {
      StopMonitoring();
      return false;
    }
    return true;
  }

  void StopMonitoring() override {
    if (foreground_hook_) UnhookWinEvent(foreground_hook_);
    if (focus_hook_) UnhookWinEvent(focus_hook_);
    foreground_hook_ = focus_hook_ = nullptr;
    sink_ = nullptr;
    if (monitoring_ == this) monitoring_ = nullptr;
  }

  bool ObjectAtPoint(int x, int y, AccessibleProperties* out) override {
    if (!Available()) return false;
    IAccessible* acc = nullptr;
    VARIANT child;
    VariantInit(&child);
    if (AccessibleObjectFromPoint(POINT{x, y}, &acc, &child) != S_OK || acc == nullptr) return false;
    bool found = ReadObject(acc, child, out);
    VariantClear(&child);
    acc->Release();
    return found;
  }

 private:
  // A WinEvent callback carries no user data, so the system forces a
  // process-wide pointer: the back end whose hooks are set (one at a time:
  // StartMonitoring of another takes the callback over, StopMonitoring and
  // the destructor let it go). Hooks made WINEVENT_OUTOFCONTEXT call back on
  // the thread that set them, the program's one thread.
  static inline MsaaAccessibility* monitoring_ = nullptr;

  static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    MsaaAccessibility* self = monitoring_;
    if (self == nullptr || !self->sink_) return;
    AccessibilityEvent e;
    e.kind = event == EVENT_SYSTEM_FOREGROUND ? AccessibilityEventKind::kForeground : AccessibilityEventKind::kFocus;
    IAccessible* acc = nullptr;
    VARIANT which;
    VariantInit(&which);
    if (AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(object), static_cast<DWORD>(child), &acc, &which) == S_OK &&
        acc != nullptr) {
      e.have_object = ReadObject(acc, which, &e.object);
      VariantClear(&which);
      acc->Release();
    }
    self->sink_(e);
  }

  bool com_tried_ = false, com_started_ = false, com_ready_ = false;
  HWINEVENTHOOK foreground_hook_ = nullptr, focus_hook_ = nullptr;
  AccessibilitySink sink_;
};

}  // namespace

std::unique_ptr<Accessibility> MakeHostAccessibility(Platform&) { return std::make_unique<MsaaAccessibility>(); }

}  // namespace kal
