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
  // The input is typed like a person would type it: the first key is there
  // at once, every further key is typed when the program waits for one, so
  // that keys are not typed ahead of what the program asks for (and not
  // thrown away by a beep). A lone Esc (one not followed by '[' or 'O') is
  // followed by a pause, so that it is not taken as the start of an escape
  // sequence.
  int ReadInput(char* buf, int cap) override {
    if (pos_ >= input_.size()) return -1;
    if (pos_ > 0 && !may_type_) return 0;
    int64_t now = Loop().NowMs();
    if (now < resume_at_) return 0;
    size_t n = KeyLength(pos_);
    if (n > static_cast<size_t>(cap)) return 0;
    input_.copy(buf, n, pos_);
    may_type_ = false;
    if (n == 1 && input_[pos_] == '\x1b') resume_at_ = now + 80;
    pos_ += n;
    return static_cast<int>(n);
  }
  void WaitingForKey() override { may_type_ = true; }
  // Typed input may carry key releases ("CSI code;mods:3 u"); they are
  // taken as reported once asked for.
  void SetKeyReleases(bool on) override { releases_ = on; }
  bool ReportsKeyReleases() const override { return releases_; }
  void Restore() override { *out_ += lines_.Flush(); }

 private:
  std::string input_;
  // Bytes of the key at i: an escape sequence, a UTF-8 character, a zero
  // byte with its code, or one byte.
  size_t KeyLength(size_t i) const {
    size_t left = input_.size() - i;
    unsigned char c = static_cast<unsigned char>(input_[i]);
    size_t n = 1;
    if (c == 0x1b && left > 3 && input_[i + 1] == 0x1b && (input_[i + 2] == '[' || input_[i + 2] == 'O'))
      return 1 + KeyLength(i + 1);  // Alt as Esc before a whole sequence
    if (c == 0x1b && left > 2 && input_[i + 1] == 'O') {
      n = 2;
      while (i + n < input_.size() && input_[i + n] >= '0' && input_[i + n] <= '9') ++n;
      ++n;
    } else if (c == 0x1b && left > 2 && input_[i + 1] == '[') {
      n = 2;
      if (input_[i + 2] == '[') n = 4;
      while (n < left && input_[i + n] >= 0x20 && input_[i + n] <= 0x3F) ++n;
      if (input_[i + 2] != '[') ++n;
    } else if (c == 0) {
      n = 2;
    } else if (c >= 0xC0) {
      n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    }
    return std::min(n, left);
  }

  size_t pos_ = 0;
  int64_t resume_at_ = 0;
  bool may_type_ = false;
  bool releases_ = false;
  std::string* out_;
  LineText lines_;
};

}  // namespace

std::unique_ptr<ConsoleFrontEnd> MakeMemoryFrontEnd(std::string input, std::string* out) {
  return std::make_unique<MemoryFrontEnd>(std::move(input), out);
}

}  // namespace kal
