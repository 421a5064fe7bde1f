// The headless front end over memory, for tests on every host: keys are
// typed from a string as a person would type them, and the lines written
// accumulate in a string.
#include <algorithm>

#include "0_base/latin1.h"
#include "1_platform/console_frontend.h"
#include "1_platform/event_loop.h"

namespace kal {
namespace {

// Turns the written byte stream into text: CR is dropped (LF ends a line),
// backspace removes the last character of the pending line.
class LineText {
 public:
  std::string Take(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
      if (c == '\r') continue;
      if (c == 8) {
        if (!pending_.empty()) pending_.pop_back();
        continue;
      }
      if (c == '\n') {
        out += Latin1ToUtf8(pending_) + "\n";
        pending_.clear();
        continue;
      }
      if (c == 7) continue;  // the bell is a sound, not text
      pending_.push_back(static_cast<char>(c));
    }
    return out;
  }
  // Text of the unfinished line, written out when the program waits or ends.
  std::string Flush() {
    std::string s = Latin1ToUtf8(pending_);
    pending_.clear();
    return s;
  }

 private:
  std::string pending_;
};

class MemoryFrontEnd : public ConsoleFrontEnd {
 public:
  MemoryFrontEnd(std::string input, std::string* out) : input_(std::move(input)), out_(out) {}
  void OnWrite(std::string_view bytes) override { *out_ += lines_.Take(bytes); }
  void Present(const ConsoleGrid&) override {}
  void SetTitle(std::string_view) override {}
  // Nothing is seen, so a picture that loaded counts as shown.
  bool ShowPicture(const Picture&, int, int) override { return true; }
  int InputFd() override { return -1; }
  // All of the input is there from the start; the console types it key by
  // key.
  int ReadInput(char* buf, int cap) override {
    if (pos_ >= input_.size()) return -1;
    size_t n = input_.copy(buf, static_cast<size_t>(cap), pos_);
    pos_ += n;
    return static_cast<int>(n);
  }
  bool InputWrittenAhead() const override { return true; }
  // Typed input may carry key releases ("CSI code;mods:3 u"); they are
  // taken as reported once asked for.
  void SetKeyReleases(bool on) override { releases_ = on; }
  bool ReportsKeyReleases() const override { return releases_; }
  void Restore() override { *out_ += lines_.Flush(); }

 private:
  std::string input_;
  size_t pos_ = 0;
  bool releases_ = false;
  std::string* out_;
  LineText lines_;
};

}  // namespace

std::unique_ptr<ConsoleFrontEnd> MakeMemoryFrontEnd(std::string input, std::string* out) {
  return std::make_unique<MemoryFrontEnd>(std::move(input), out);
}

}  // namespace kal
