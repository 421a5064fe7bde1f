// MBROLA as a persistent co-process on Windows: `mbrola.exe -e DB - -.wav`
// reads the phoneme stream on its standard input and writes a wave header
// once, then raw 16-bit samples, on its standard output. The input pipe is
// written without waiting (PIPE_NOWAIT) and the output pipe read only as far
// as it holds bytes (PeekNamedPipe), so a full pipe never stalls us.
//
// The output stream has no end-of-utterance mark. A line "#" makes mbrola
// synthesise and flush everything pending; Windows cannot tell that the
// process sleeps waiting for input, so the utterance counts as complete once
// all our input has been written and the output has stayed empty for a
// quiet spell.
#include <windows.h>

#include <cstring>
#include <string>

#include "1_platform/mbrola.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

constexpr size_t kHeaderBytes = 44;
constexpr size_t kMaxPendingInput = 32 * 1024;
constexpr size_t kWriteBatch = 1024;
constexpr int kStartTimeoutMs = 5000;
constexpr int kStallTimeoutMs = 5000;
// Output silent this long after the flush was written: the utterance is over.
constexpr int kQuietMs = 150;

int64_t NowMs() { return static_cast<int64_t>(GetTickCount64()); }

void CloseH(HANDLE* h) {
  if (*h) CloseHandle(*h);
  *h = nullptr;
}

class MbrolaProcess : public MbrolaSynth {
 public:
  explicit MbrolaProcess(std::string program) : program_(std::move(program)) {}
  ~MbrolaProcess() override { close_MBR(); }

  int init_MBR(const std::string& database) override {
    close_MBR();
    DWORD attr = GetFileAttributesW(Widen(database).c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) return -1;
    if (!Spawn(database)) return -1;
    database_ = database;
    pending_ = "#\n";
    int64_t deadline = NowMs() + kStartTimeoutMs;
    while (alive_ && out_.size() < kHeaderBytes && NowMs() < deadline) Pump(20);
    if (out_.size() < kHeaderBytes || std::memcmp(out_.data(), "RIFF", 4) != 0) {
      close_MBR();
      return -1;
    }
    const unsigned char* h = reinterpret_cast<const unsigned char*>(out_.data());
    rate_ = h[24] | h[25] << 8 | h[26] << 16 | h[27] << 24;
    out_.clear();
    return 0;
  }

  int write_MBR(std::string_view line) override {
    if (!alive_) return -1;
    pending_.append(line);
    if (pending_.empty() || pending_.back() != '\n') pending_ += '\n';
    if (pending_.size() >= kWriteBatch) Pump(0);
    while (alive_ && pending_.size() > kMaxPendingInput) Pump(20);
    return alive_ ? 0 : -1;
  }

  int flush_MBR() override {
    if (!alive_) return -1;
    pending_ += "#\n";
    draining_ = true;
    Pump(0);
    return 0;
  }

  int read_MBR(int16_t* buffer, int count) override {
    if (count <= 0) return 0;
    if (out_.size() < 2 && (draining_ || pending_.empty())) Pump(0);
    if (out_.size() < 2 && draining_) WaitForSamplesOrEnd();
    size_t samples = std::min(out_.size() / 2, static_cast<size_t>(count));
    std::memcpy(buffer, out_.data(), samples * 2);
    out_.erase(0, samples * 2);
    return static_cast<int>(samples);
  }

  // Windows has no signal to make mbrola drop its input: a synthesiser with
  // something in flight is replaced by a fresh one on the same database.
  void reset_MBR() override {
    if (alive_ && (draining_ || !pending_.empty())) {
      std::string db = database_;
      close_MBR();
      init_MBR(db);
    }
    out_.clear();
    draining_ = false;
  }

  void close_MBR() override {
    if (process_) {
      CloseH(&in_);
      if (WaitForSingleObject(process_, 500) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
      CloseH(&process_);
    }
    CloseH(&in_);
    CloseH(&out_h_);
    CloseH(&err_);
    alive_ = false;
    draining_ = false;
    pending_.clear();
    out_.clear();
  }

  void setNoError_MBR(int no_error) override { no_error_ = no_error; }
  int getFreq_MBR() override { return rate_; }

 private:
  bool Spawn(const std::string& database) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE in[2] = {nullptr, nullptr}, out[2] = {nullptr, nullptr}, err[2] = {nullptr, nullptr};
    bool pipes = CreatePipe(&in[0], &in[1], &sa, 0) && CreatePipe(&out[0], &out[1], &sa, 0) &&
                 CreatePipe(&err[0], &err[1], &sa, 0);
    if (!pipes) {
      for (HANDLE* h : {&in[0], &in[1], &out[0], &out[1], &err[0], &err[1]}) CloseH(h);
      return false;
    }
    for (HANDLE h : {in[1], out[0], err[0]}) SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in[0];
    si.hStdOutput = out[1];
    si.hStdError = err[1];
    std::wstring command = QuoteArgument(Widen(program_)) + L" -e " + QuoteArgument(Widen(database)) + L" - -.wav";
    PROCESS_INFORMATION pi{};
    BOOL ok = CreateProcessW(Widen(program_).c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                             nullptr, nullptr, &si, &pi);
    CloseH(&in[0]);
    CloseH(&out[1]);
    CloseH(&err[1]);
    if (!ok) {
      CloseH(&in[1]);
      CloseH(&out[0]);
      CloseH(&err[0]);
      return false;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    in_ = in[1];
    out_h_ = out[0];
    err_ = err[0];
    DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
    SetNamedPipeHandleState(in_, &mode, nullptr, nullptr);
    alive_ = true;
    return true;
  }

  // Reads what a pipe holds now; false once it is closed.
  bool Drain(HANDLE h, std::string* into) {
    char buf[65536];
    for (;;) {
      DWORD avail = 0;
      if (!PeekNamedPipe(h, nullptr, 0, nullptr, &avail, nullptr)) return false;
      if (avail == 0) return true;
      DWORD n = 0;
      if (!ReadFile(h, buf, std::min<DWORD>(avail, sizeof buf), &n, nullptr) || n == 0) return false;
      if (into) into->append(buf, n);
      progress_ms_ = NowMs();
    }
  }

  void Died() {
    alive_ = false;
    draining_ = false;
    pending_.clear();
  }

  // One round of I/O; sleeps timeout_ms first when there is nothing to read.
  void Pump(int timeout_ms) {
    if (!alive_) return;
    DWORD avail = 0;
    if (timeout_ms > 0 && PeekNamedPipe(out_h_, nullptr, 0, nullptr, &avail, nullptr) && avail == 0)
      Sleep(static_cast<DWORD>(timeout_ms));
    if (!pending_.empty()) {
      DWORD written = 0;
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(pending_.size(), 4096));
      if (!WriteFile(in_, pending_.data(), chunk, &written, nullptr)) {
        Died();
        return;
      }
      if (written > 0) {
        pending_.erase(0, written);
        progress_ms_ = NowMs();
      }
    }
    std::string errors;
    if (!Drain(out_h_, &out_) || !Drain(err_, &errors)) Died();
  }

  // After a flush: returns when samples are there or the utterance is over.
  void WaitForSamplesOrEnd() {
    progress_ms_ = NowMs();
    while (alive_ && draining_ && out_.size() < 2) {
      Pump(2);
      if (out_.size() >= 2) return;
      int64_t quiet = NowMs() - progress_ms_;
      if ((pending_.empty() && quiet >= kQuietMs) || quiet > kStallTimeoutMs) draining_ = false;
    }
  }

  std::string program_;
  std::string database_;
  HANDLE process_ = nullptr;
  HANDLE in_ = nullptr, out_h_ = nullptr, err_ = nullptr;
  bool alive_ = false;
  bool draining_ = false;
  std::string pending_;
  std::string out_;
  int rate_ = 0;
  int no_error_ = 0;
  int64_t progress_ms_ = 0;
};

bool IsProgram(const std::wstring& path) {
  DWORD attr = GetFileAttributesW(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string FindMbrolaProgram() {
  wchar_t self[32768];
  DWORD n = GetModuleFileNameW(nullptr, self, 32768);
  if (n > 0 && n < 32768) {
    std::wstring dir(self, n);
    dir.erase(dir.find_last_of(L"\\/") + 1);
    if (IsProgram(dir + L"mbrola.exe")) return Narrow(dir + L"mbrola.exe");
  }
  wchar_t found[32768];
  n = SearchPathW(nullptr, L"mbrola.exe", nullptr, 32768, found, nullptr);
  if (n > 0 && n < 32768) return Narrow(std::wstring_view(found, n));
  return "";
}

std::unique_ptr<MbrolaSynth> MakeMbrolaProcess(const std::string& program) {
  return std::make_unique<MbrolaProcess>(program);
}

}  // namespace kal
