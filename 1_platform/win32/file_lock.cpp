// HostFileLock on Windows: a named mutex of the session, named after the
// folder of the file (upper-cased, since the file system ignores case). Every
// program of the family that takes this lock takes the same mutex. A holder
// that dies leaves the mutex abandoned, and the next waiter gets it.
#include "1_platform/file_lock.h"

#include <windows.h>

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

}  // namespace

HostFileLock::HostFileLock(const std::string& host_path, int timeout_ms) {
  HANDLE m = CreateMutexW(nullptr, FALSE, MutexName(host_path).c_str());
  if (!m) return;
  DWORD r = WaitForSingleObject(m, timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms));
  if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) {
    handle_ = static_cast<int>(reinterpret_cast<intptr_t>(m));
    return;
  }
  CloseHandle(m);
}

HostFileLock::~HostFileLock() {
  if (handle_ < 0) return;
  HANDLE m = reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle_));
  ReleaseMutex(m);
  CloseHandle(m);
}

}  // namespace kal
