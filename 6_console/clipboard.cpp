#include "6_console/clipboard.h"

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

std::unique_ptr<ClipboardBackend>& Backend() {
  static std::unique_ptr<ClipboardBackend> b = std::make_unique<InProcessClipboard>();
  return b;
}

}  // namespace

void SetClipboardBackend(std::unique_ptr<ClipboardBackend> backend) {
  Backend() = backend ? std::move(backend) : std::make_unique<InProcessClipboard>();
}

void CopyToClipboard(std::string_view text) { Backend()->Put(text); }

std::string PasteFromClipboard(size_t capacity) {
  std::string text;
  if (capacity == 0 || !Backend()->Get(&text)) return {};
  if (text.size() > capacity - 1) text.resize(capacity - 1);
  return text;
}

}  // namespace kal
