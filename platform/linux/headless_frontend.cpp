// The headless front end: what the program writes goes to standard output as
// UTF-8 text, line by line as written; keys are raw bytes from standard input.
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "console/latin1.h"
#include "platform/console_frontend.h"
#include "platform/event_loop.h"

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

class HeadlessFrontEnd : public ConsoleFrontEnd {
 public:
  HeadlessFrontEnd(int in_fd, int out_fd) : in_(in_fd), out_(out_fd) {
    int fl = fcntl(in_, F_GETFL);
    if (fl >= 0) fcntl(in_, F_SETFL, fl | O_NONBLOCK);
  }
  void OnWrite(std::string_view bytes) override {
    // Partial lines are written as they come, so that a prompt without a
    // line end is visible before the program waits for its answer.
    std::string s;
    for (unsigned char c : bytes) {
      if (c == '\r' || c == 7) continue;
      if (c == 8) { s += "\b"; continue; }
      if (c == '\n') { s += "\n"; continue; }
      s += Latin1ToUtf8(std::string(1, static_cast<char>(c)));
    }
    WriteAll(s);
  }
  void Present(const ConsoleGrid&) override {}
  void SetTitle(std::string_view) override {}
  int InputFd() override { return in_; }
  int ReadInput(char* buf, int cap) override {
    if (eof_) return -1;
    ssize_t n = read(in_, buf, cap);
    if (n > 0) return static_cast<int>(n);
    if (n == 0) {
      eof_ = true;
      return -1;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
    eof_ = true;
    return -1;
  }

 private:
  void WriteAll(const std::string& s) {
    size_t off = 0;
    while (off < s.size()) {
      ssize_t n = write(out_, s.data() + off, s.size() - off);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;  // nowhere to write: the program carries on
      off += n;
    }
  }
  int in_, out_;
  bool eof_ = false;
};

class MemoryFrontEnd : public ConsoleFrontEnd {
 public:
  MemoryFrontEnd(std::string input, std::string* out) : input_(std::move(input)), out_(out) {}
  void OnWrite(std::string_view bytes) override { *out_ += lines_.Take(bytes); }
  void Present(const ConsoleGrid&) override {}
  void SetTitle(std::string_view) override {}
  int InputFd() override { return -1; }
  // All input is there at once, except that a lone Esc (one not followed
  // by '[' or 'O') is followed by a pause, as a person typing it makes, so
  // that it is not taken as the start of an escape sequence.
  int ReadInput(char* buf, int cap) override {
    if (pos_ >= input_.size()) return -1;
    if (Loop().NowMs() < resume_at_) return 0;
    size_t end = std::min<size_t>(input_.size(), pos_ + cap);
    for (size_t i = pos_; i < end; ++i) {
      if (input_[i] != '\x1b') continue;
      bool sequence = i + 1 < input_.size() && (input_[i + 1] == '[' || input_[i + 1] == 'O');
      if (!sequence) {
        end = i + 1;
        resume_at_ = Loop().NowMs() + 80;
        break;
      }
    }
    int n = static_cast<int>(end - pos_);
    input_.copy(buf, n, pos_);
    pos_ += n;
    return n;
  }
  void Restore() override { *out_ += lines_.Flush(); }

 private:
  std::string input_;
  size_t pos_ = 0;
  int64_t resume_at_ = 0;
  std::string* out_;
  LineText lines_;
};

}  // namespace

std::unique_ptr<ConsoleFrontEnd> MakeHeadlessFrontEnd(int in_fd, int out_fd) {
  return std::make_unique<HeadlessFrontEnd>(in_fd, out_fd);
}

std::unique_ptr<ConsoleFrontEnd> MakeMemoryFrontEnd(std::string input, std::string* out) {
  return std::make_unique<MemoryFrontEnd>(std::move(input), out);
}

}  // namespace kal
