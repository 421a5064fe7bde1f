// MBROLA as a persistent co-process on Windows: the process and its pipes.
// The input pipe is written without waiting (PIPE_NOWAIT) and the output
// pipe read only as far as it holds bytes (PeekNamedPipe), so a full pipe
// never stalls us. The utterance rules are shared with the other hosts
// (1_platform/mbrola_pipe.h).
//
// Windows cannot tell that the process sleeps waiting for input, so it
// counts as idle once all our input has been written and the output has
// stayed empty for a quiet spell.
#include <windows.h>

#include <algorithm>
#include <string>

#include "1_platform/mbrola.h"
#include "1_platform/mbrola_pipe.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

// Output silent this long after the flush was written: the utterance is over.
constexpr int kQuietMs = 150;

void CloseH(HANDLE* h) {
  if (*h) CloseHandle(*h);
  *h = nullptr;
}

class MbrolaProcess : public MbrolaPipeSynth {
 public:
  explicit MbrolaProcess(std::string program) : MbrolaPipeSynth(1), program_(std::move(program)) {}
  ~MbrolaProcess() override { close_MBR(); }

 protected:
  bool StartProcess(const std::string& database) override {
    DWORD attr = GetFileAttributesW(Widen(database).c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) return false;
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
    return true;
  }

  void EndProcess() override {
    if (process_) {
      CloseH(&in_);
      if (WaitForSingleObject(process_, 500) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
      CloseH(&process_);
    }
    CloseH(&in_);
    CloseH(&out_h_);
    CloseH(&err_);
  }

  // Sleeps when there is nothing to read yet.
  void WaitForPipes(int timeout_ms, bool) override {
    DWORD avail = 0;
    if (timeout_ms > 0 && PeekNamedPipe(out_h_, nullptr, 0, nullptr, &avail, nullptr) && avail == 0)
      Sleep(static_cast<DWORD>(timeout_ms));
  }

  long WriteInput(const char* data, size_t size) override {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 4096));
    if (!WriteFile(in_, data, chunk, &written, nullptr)) return -1;
    return static_cast<long>(written);
  }

  long ReadOutput(std::string* samples) override {
    long got = 0;
    std::string errors;
    if (!Drain(out_h_, samples, &got) || !Drain(err_, &errors, &got)) return -1;
    return got;
  }

  bool ProcessIdle() override { return MsSinceProgress() >= kQuietMs; }

  // Windows has no signal to make mbrola drop its input: a synthesiser with
  // something in flight is replaced by a fresh one on the same database.
  void AbandonUtterance() override {
    std::string db = database_;
    close_MBR();
    init_MBR(db);
  }

 private:
  // Reads what a pipe holds now, counting into *got; false once it is closed.
  static bool Drain(HANDLE h, std::string* into, long* got) {
    char buf[65536];
    for (;;) {
      DWORD avail = 0;
      if (!PeekNamedPipe(h, nullptr, 0, nullptr, &avail, nullptr)) return false;
      if (avail == 0) return true;
      DWORD n = 0;
      if (!ReadFile(h, buf, std::min<DWORD>(avail, sizeof buf), &n, nullptr) || n == 0) return false;
      into->append(buf, n);
      *got += static_cast<long>(n);
    }
  }

  std::string program_;
  HANDLE process_ = nullptr;
  HANDLE in_ = nullptr, out_h_ = nullptr, err_ = nullptr;
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

// The key is read as a 32-bit program reads it, which is where the 32-bit
// MBROLA installer writes it on 64-bit Windows too.
std::string RegisteredMbrolaDatabase(const std::string& name) {
  if (name.empty() || name.find_first_of("\\/") != std::string::npos) return "";
  std::wstring path = L"SOFTWARE\\TCTS\\Mbrola\\databases\\" + Widen(name);
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return "";
  DWORD bytes = 0;
  std::wstring value;
  if (RegGetValueW(key, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) == ERROR_SUCCESS &&
      bytes >= sizeof(wchar_t)) {
    value.assign(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(key, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, value.data(), &bytes) != ERROR_SUCCESS)
      value.clear();
  }
  RegCloseKey(key);
  value.resize(wcsnlen(value.c_str(), value.size()));
  return Narrow(value);
}

std::string_view MbrolaWhereToGet() {
  return "Obtenha o MBROLA para Windows em https://github.com/numediart/MBROLA "
         "e ponha mbrola.exe em C:\\ferlan\\kaldorin. ";
}

}  // namespace kal

