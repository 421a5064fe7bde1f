#include "6_console/clipboard.h"

#include "0_base/latin1.h"
#include "1_platform/desktop_clipboard.h"
#include "1_platform/unavailable_backends.h"
#include "5_speech/speech.h"
#include "6_console/console_messages.h"
#include "6_console/console_state.h"

namespace kal {
namespace {

class InProcessClipboard : public ClipboardBackend {
 public:
  bool Put(std::string_view text) override {
    text_ = std::string(text);
    return true;
  }
  bool Get(std::string* text) override {
    *text = text_;
    return true;
  }

 private:
  std::string text_;
};

// The desktop's clipboard when there is one, else the in-process one.
class DesktopBackend : public ClipboardBackend {
 public:
  // The clipboard of that platform state's desktop.
  explicit DesktopBackend(Platform& platform) : platform_(platform) {}
  bool Put(std::string_view text) override {
    Open();
    return desktop_ ? desktop_->Put(text) : local_.Put(text);
  }
  bool Get(std::string* text) override {
    Open();
    return desktop_ ? desktop_->Get(text, kMaxText) : local_.Get(text);
  }

 private:
  static constexpr size_t kMaxText = 1000000;
  void Open() {
    if (tried_) return;
    tried_ = true;
    desktop_ = MakeHostClipboard(platform_);
    if (!StandInReason(*desktop_).empty()) desktop_.reset();  // no desktop: the in-process one
  }
  Platform& platform_;
  bool tried_ = false;
  std::unique_ptr<DesktopClipboard> desktop_;
  InProcessClipboard local_;
};

// The console's clipboard; the in-process one until another is set.
std::unique_ptr<ClipboardBackend>& Backend(Console& console) {
  std::unique_ptr<ClipboardBackend>& b = console.clipboard;
  if (!b) b = std::make_unique<InProcessClipboard>();
  return b;
}

}  // namespace

void SetClipboardBackend(Console& c, std::unique_ptr<ClipboardBackend> backend) {
  Backend(c) = backend ? std::move(backend) : std::make_unique<InProcessClipboard>();
}

void UseDesktopClipboard(Console& c) { Backend(c) = std::make_unique<DesktopBackend>(c.platform); }

bool CopyToClipboard(Console& c, std::string_view text) { return Backend(c)->Put(text); }

void CopyAndSay(Console& c, std::string_view text) {
  if (CopyToClipboard(c, text)) {
    SpeakText(c.speech, L1(console_msg::kCopied));
  } else {
    ErrorBeep(c.speech);
  }
}

std::string PasteFromClipboard(Console& c, size_t capacity) {
  std::string text;
  if (capacity == 0 || !Backend(c)->Get(&text)) return {};
  if (text.size() > capacity - 1) text.resize(capacity - 1);
  return text;
}

}  // namespace kal
