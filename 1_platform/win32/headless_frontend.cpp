// The headless front end on Windows: what the program writes goes to the
// standard output handle as UTF-8 text, as written (a console shows it as
// such: 1_platform/console_code_page.h); keys are the bytes of the standard
// input handle, or a console's keys as UTF-8. Windows cannot wait on a
// pipe, so one thread reads standard input into a buffer and wakes the
// event loop; the program's thread takes the bytes from that buffer.
//
// A program started with the console reads standard input while it runs.
// The thread cannot be kept from a read it already sits in (Wine cannot
// cancel a read of a host pipe), so the started program gets a pipe of its
// own as standard input, and what the thread reads meanwhile goes there.
// A console is shared as it is: its keys go to whichever reads first.
#include <windows.h>

#include <memory>
#include <mutex>
#include <thread>

#include "1_platform/event_loop.h"
#include "1_platform/headless_base.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

// State shared with the reader thread; it outlives the front end, since
// the thread may still sit in a read when the front end goes.
struct InputBuffer {
  std::mutex mu;
  std::string bytes;
  bool ended = false;
  HANDLE relay = nullptr;  // a started program's input while it runs
};

// Passes bytes on to a started program; a program that has ended (or
// stopped reading) leaves them unread.
void Relay(HANDLE to, const std::string& text) {
  DWORD n = 0;
  for (size_t off = 0; off < text.size(); off += n) {
    if (!WriteFile(to, text.data() + off, static_cast<DWORD>(text.size() - off), &n, nullptr) || n == 0) return;
  }
}

// One read of standard input as UTF-8; false at its end. A console gives
// its keys as UTF-16 here (ReadFile would give them in the console's input
// code page, 850 on a Brazilian system); Ctrl+Z at the start of a line ends
// the input, as it does for ReadFile.
bool ReadSome(HANDLE in, bool console, std::string* out) {
  if (console) {
    wchar_t wide[1024];
    DWORD n = 0;
    if (!ReadConsoleW(in, wide, 1024, &n, nullptr) || n == 0 || wide[0] == 0x1A) return false;
    *out = Narrow(std::wstring_view(wide, n));
    return true;
  }
  char buf[4096];
  DWORD n = 0;
  if (!ReadFile(in, buf, sizeof buf, &n, nullptr) || n == 0) return false;
  out->assign(buf, n);
  return true;
}

void ReadStandardInput(HANDLE in, std::shared_ptr<InputBuffer> buffer, std::shared_ptr<LoopMailbox> loop) {
  DWORD mode = 0;
  bool console = GetConsoleMode(in, &mode) != 0;
  for (;;) {
    std::string text;
    bool ok = ReadSome(in, console, &text);
    {
      std::lock_guard<std::mutex> lock(buffer->mu);
      if (ok && buffer->relay) {
        Relay(buffer->relay, text);
        continue;
      }
      if (ok) buffer->bytes += text;
      else buffer->ended = true;
      if (!ok && buffer->relay) CloseHandle(buffer->relay), buffer->relay = nullptr;
    }
    loop->Post([] {});  // wakes the program's wait
    if (!ok) return;
  }
}

class HeadlessFrontEnd : public HeadlessFrontEndBase {
 public:
  // The reader thread wakes loop's wait when input comes.
  HeadlessFrontEnd(EventLoop& loop, HANDLE in, HANDLE out)
      : loop_(loop), in_(in), out_(out), input_(std::make_shared<InputBuffer>()) {}

  int InputFd() override { return -1; }

  // While a program started with the console runs, the standard input it
  // inherits is a pipe that the reader thread fills.
  void Suspend() override {
    if (!reader_started_ || console_input_ || relay_read_) return;
    HANDLE write_end = nullptr;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(&relay_read_, &write_end, &inherit, 1 << 16)) return;
    SetHandleInformation(write_end, HANDLE_FLAG_INHERIT, 0);
    std::lock_guard<std::mutex> lock(input_->mu);
    if (input_->ended) {
      CloseHandle(write_end);  // the started program reads the end at once
    } else {
      input_->relay = write_end;
    }
    SetStdHandle(STD_INPUT_HANDLE, relay_read_);
  }

  // The program has ended: our end of its pipe goes first, so that a write
  // to it fails at once instead of waiting for a reader.
  void Resume() override {
    if (!relay_read_) return;
    SetStdHandle(STD_INPUT_HANDLE, in_);
    CloseHandle(relay_read_);
    relay_read_ = nullptr;
    std::lock_guard<std::mutex> lock(input_->mu);
    if (input_->relay) CloseHandle(input_->relay), input_->relay = nullptr;
  }

  int ReadInput(char* buf, int cap) override {
    StartReader();
    std::lock_guard<std::mutex> lock(input_->mu);
    if (input_->bytes.empty()) return input_->ended ? -1 : 0;
    int n = static_cast<int>(std::min<size_t>(input_->bytes.size(), static_cast<size_t>(cap)));
    input_->bytes.copy(buf, static_cast<size_t>(n));
    input_->bytes.erase(0, static_cast<size_t>(n));
    return n;
  }

 private:
  void StartReader() {
    if (reader_started_) return;
    reader_started_ = true;
    if (in_ == nullptr || in_ == INVALID_HANDLE_VALUE) {
      input_->ended = true;
      return;
    }
    // The thread is left behind at the end: it may be blocked in a read
    // that only the end of the process ends, so it posts through the
    // loop's mailbox.
    DWORD mode = 0;
    console_input_ = GetConsoleMode(in_, &mode) != 0;
    std::thread(ReadStandardInput, in_, input_, loop_.Mailbox()).detach();
  }

  void WriteAll(const std::string& s) override {
    size_t off = 0;
    while (off < s.size()) {
      DWORD n = 0;
      if (!WriteFile(out_, s.data() + off, static_cast<DWORD>(s.size() - off), &n, nullptr) || n == 0)
        return;  // nowhere to write: the program carries on
      off += n;
    }
  }

  EventLoop& loop_;
  HANDLE in_, out_;
  std::shared_ptr<InputBuffer> input_;
  bool reader_started_ = false;
  bool console_input_ = false;
  HANDLE relay_read_ = nullptr;  // the started program's standard input
};

}  // namespace

// The descriptors are the C run-time's; their Windows handles are used.
std::unique_ptr<ConsoleFrontEnd> MakeHeadlessFrontEnd(EventLoop& loop, int in_fd, int out_fd) {
  HANDLE in = in_fd == 0 ? GetStdHandle(STD_INPUT_HANDLE) : nullptr;
  HANDLE out = GetStdHandle(out_fd == 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  return std::make_unique<HeadlessFrontEnd>(loop, in, out);
}

}  // namespace kal
