// HostFileLock on Windows: a named mutex of the session, named after the
// folder of the file (upper-cased, since the file system ignores case). Every
// program of the family that takes this lock takes the same mutex. A holder
// that dies leaves the mutex abandoned, and the next waiter gets it.
//
// A Windows mutex lets the thread that holds it take it again; the lock must
// not, so the names held by this process are also kept in a set, and a
// second taker in this process waits for the first to let go.
#include "1_platform/file_lock.h"

#include <windows.h>

#include <map>
#include <mutex>

#include "1_platform/win32/wide.h"

namespace kal {
namespace {

std::wstring MutexName(const std::string& host_path) {
  std::wstring path = Widen(host_path);
  wchar_t full[32768];
  DWORD n = GetFullPathNameW(path.c_str(), 32768, full, nullptr);
  if (n > 0 && n < 32768) path.assign(full, n);
  size_t slash = path.find_last_of(L"\\/");
  std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash);
  CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
  // "\" may not appear in a mutex name after its namespace.
  for (wchar_t& c : folder)
    if (c == L'\\' || c == L'/') c = L'|';
  return L"Local\\kaldorin-lock-" + folder;
}

struct HeldNames {
  std::mutex mu;
  std::map<int, std::wstring> by_handle;  // the names this process holds
};

HeldNames& Held() {
  static HeldNames h;
  return h;
}

// Reserves the name under a negative key until the mutex is had; 0 when
// this process holds the name already.
int TakeName(const std::wstring& name) {
  static int reservations = 0;
  std::lock_guard<std::mutex> lock(Held().mu);
  for (auto& [handle, held] : Held().by_handle)
    if (held == name) return 0;
  int key = -(++reservations);
  Held().by_handle[key] = name;
  return key;
}

void DropName(int handle) {
  std::lock_guard<std::mutex> lock(Held().mu);
  Held().by_handle.erase(handle);
}

void KeepName(int key, int handle) {
  std::lock_guard<std::mutex> lock(Held().mu);
  auto& names = Held().by_handle;
  names[handle] = names[key];
  names.erase(key);
}

constexpr int kRetryMs = 2;

}  // namespace

HostFileLock::HostFileLock(const std::string& host_path, int timeout_ms) {
  std::wstring name = MutexName(host_path);
  ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms < 0 ? 0 : timeout_ms);
  int key;
  while ((key = TakeName(name)) == 0) {
    if (GetTickCount64() >= deadline) {
      busy_ = true;
      return;
    }
    Sleep(kRetryMs);
  }
  HANDLE m = CreateMutexW(nullptr, FALSE, name.c_str());
  ULONGLONG now = GetTickCount64();
  DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
  DWORD r = m ? WaitForSingleObject(m, left) : WAIT_FAILED;
  if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) {
    handle_ = static_cast<int>(reinterpret_cast<intptr_t>(m));
    KeepName(key, handle_);
    return;
  }
  busy_ = r == WAIT_TIMEOUT;
  DropName(key);
  if (m) CloseHandle(m);
}

HostFileLock::~HostFileLock() {
  if (handle_ < 0) return;
  HANDLE m = reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle_));
  ReleaseMutex(m);
  CloseHandle(m);
  DropName(handle_);
}

}  // namespace kal
