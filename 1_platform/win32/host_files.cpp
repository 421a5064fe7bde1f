// Questions about host files, folder listings, whole-file reads and safe
// replacement, over the wide Windows file calls.
#include <windows.h>

#include <algorithm>

#include "0_base/latin1.h"
#include "1_platform/host_file_parts.h"
#include "1_platform/paths.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA* data) {
  return GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, data) != 0;
}

bool IsFolderAttr(DWORD attr) { return (attr & FILE_ATTRIBUTE_DIRECTORY) != 0; }

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  return slash <= 2 ? path.substr(0, slash + 1) : path.substr(0, slash);
}

// Opens for reading with every sharing mode, as other programs expect of a
// reader.
HANDLE OpenForReading(const std::string& path) {
  return CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool WriteAll(HANDLE h, std::string_view data) {
  while (!data.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size(), 1 << 20));
    DWORD written = 0;
    if (!WriteFile(h, data.data(), chunk, &written, nullptr) || written == 0) return false;
    data.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool HostExists(const std::string& host_path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  return Attributes(host_path, &d);
}

bool HostIsFolder(const std::string& host_path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  return Attributes(host_path, &d) && IsFolderAttr(d.dwFileAttributes);
}

bool HostSameFile(const std::string& a, const std::string& b) {
  HANDLE ha = OpenForReading(a);
  if (ha == INVALID_HANDLE_VALUE) return false;
  HANDLE hb = OpenForReading(b);
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  bool same = hb != INVALID_HANDLE_VALUE && GetFileInformationByHandle(ha, &ia) &&
              GetFileInformationByHandle(hb, &ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
              ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
  CloseHandle(ha);
  if (hb != INVALID_HANDLE_VALUE) CloseHandle(hb);
  return same;
}

bool HostFileSize(const std::string& host_path, int64_t* size) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!Attributes(host_path, &d) || IsFolderAttr(d.dwFileAttributes)) return false;
  *size = (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  return true;
}

namespace {
// A file time (100 ns steps since 1601) as nanoseconds since 1970.
int64_t UnixNs(const FILETIME& t) {
  constexpr int64_t kFrom1601To1970 = 116444736000000000;
  int64_t ticks = (static_cast<int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  return (ticks - kFrom1601To1970) * 100;
}
}  // namespace

namespace {
void StampOf(const WIN32_FILE_ATTRIBUTE_DATA& d, HostFileStamp* stamp) {
  stamp->id = 0;  // the file index needs the file opened; size and time tell enough
  stamp->size = (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  stamp->changed = UnixNs(d.ftLastWriteTime);
}
}  // namespace

bool StampHostFile(const std::string& host_path, HostFileStamp* stamp) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!Attributes(host_path, &d) || IsFolderAttr(d.dwFileAttributes)) return false;
  StampOf(d, stamp);
  return true;
}

// A folder's last write time moves when an entry is added, removed or renamed.
bool StampHostFolder(const std::string& host_path, HostFileStamp* stamp) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!Attributes(host_path, &d) || !IsFolderAttr(d.dwFileAttributes)) return false;
  StampOf(d, stamp);
  return true;
}

int64_t HostFileClockNow() {
  FILETIME t;
  GetSystemTimeAsFileTime(&t);
  return UnixNs(t);
}

bool ListHostFolder(const std::string& host_path, std::vector<FolderEntry>* entries) {
  entries->clear();
  std::string pattern = host_path;
  if (pattern.empty() || (pattern.back() != '\\' && pattern.back() != '/')) pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(Widen(pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND && HostIsFolder(host_path);
  std::vector<std::pair<std::string, FolderEntry>> found;
  do {
    std::string name = Narrow(fd.cFileName);
    if (name == "." || name == "..") continue;
    FolderEntry entry = EntryNamed(name);
    entry.is_hidden = entry.is_hidden || (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entry.is_folder = IsFolderAttr(fd.dwFileAttributes);
    if (!entry.is_folder) entry.size = (static_cast<int64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    found.emplace_back(std::move(name), std::move(entry));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  *entries = SortedByName(std::move(found));
  return true;
}

FileRead ReadHostFileWithin(const std::string& host_path, const ReadBounds& bounds, std::string* contents) {
  contents->clear();
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!Attributes(host_path, &d)) {
    DWORD e = GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? FileRead::kMissing : FileRead::kUnreadable;
  }
  if (IsFolderAttr(d.dwFileAttributes)) return FileRead::kFolder;
  HANDLE h = OpenForReading(host_path);
  if (h == INVALID_HANDLE_VALUE) return FileRead::kUnreadable;
  // A pipe or a device (CON, COM1, \\.\pipe\...) is not read whole.
  FileRead result = FileRead::kRead;
  switch (GetFileType(h)) {
    case FILE_TYPE_DISK: break;
    case FILE_TYPE_PIPE: result = FileRead::kPipe; break;
    case FILE_TYPE_CHAR: result = FileRead::kDevice; break;
    default: result = FileRead::kNotAFile;
  }
  if (result == FileRead::kRead) {
    result = ReadWhole(
        [h](char* buf, size_t size) -> long {
          DWORD n = 0;
          return ReadFile(h, buf, static_cast<DWORD>(size), &n, nullptr) ? static_cast<long>(n) : -1;
        },
        bounds, contents);
  }
  CloseHandle(h);
  return result;
}

bool ReplaceHostFile(const std::string& host_path, std::string_view contents, std::string* err) {
  std::string folder = FolderOf(host_path);
  std::string tmp = host_path + ".kaldorin-new";
  for (int i = 0; HostExists(tmp) && i < 100; ++i) tmp = host_path + ".kaldorin-new" + std::to_string(i);
  // An existing file's attributes (read-only aside) carry over to the new one.
  WIN32_FILE_ATTRIBUTE_DATA old;
  DWORD attrs = Attributes(host_path, &old) ? (old.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY) : 0;
  if (attrs == 0 || attrs == FILE_ATTRIBUTE_DIRECTORY) attrs = FILE_ATTRIBUTE_NORMAL;
  HANDLE h = CreateFileW(Widen(tmp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attrs, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (err) *err = "cannot create a file in " + folder + ": " + SystemErrorText(GetLastError());
    return false;
  }
  bool ok = WriteAll(h, contents) && FlushFileBuffers(h);
  DWORD saved = GetLastError();
  CloseHandle(h);
  if (ok && !MoveFileExW(Widen(tmp).c_str(), Widen(host_path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    saved = GetLastError();
  }
  if (!ok) {
    DeleteFileW(Widen(tmp).c_str());
    if (err) *err = "cannot write " + host_path + ": " + SystemErrorText(saved);
    return false;
  }
  return true;
}

// The move that ends ReplaceHostFile here already replaces the entry at the
// name (a link there is replaced, not written through), as this asks.
bool ReplaceHostEntry(const std::string& host_path, std::string_view contents, std::string* err) {
  return ReplaceHostFile(host_path, contents, err);
}

std::string MakeFileBeside(const std::string& host_path, std::string* err) {
  for (int i = 0; i < 100; ++i) {
    std::string made = host_path + ".kaldorin-new" + (i ? std::to_string(i) : std::string());
    // CREATE_NEW fails on any entry already there, a link included.
    HANDLE h = CreateFileW(Widen(made).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return made;
    }
    DWORD e = GetLastError();
    if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) {
      if (err) *err = "cannot create a file in " + FolderOf(host_path) + ": " + SystemErrorText(e);
      return "";
    }
  }
  if (err) *err = "cannot create a file in " + FolderOf(host_path);
  return "";
}

bool PutFileInPlace(const std::string& made, const std::string& host_path, std::string* err) {
  if (MoveFileExW(Widen(made).c_str(), Widen(host_path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  if (err) *err = "cannot write " + host_path + ": " + SystemErrorText(GetLastError());
  DeleteFileW(Widen(made).c_str());
  return false;
}

bool MakeHostFolders(const std::string& host_path) {
  if (host_path.empty()) return false;
  if (HostIsFolder(host_path)) return true;
  size_t slash = host_path.find_last_of("\\/");
  if (slash != std::string::npos && slash > 2) MakeHostFolders(host_path.substr(0, slash));
  return CreateDirectoryW(Widen(host_path).c_str(), nullptr) || HostIsFolder(host_path);
}

std::string MakePrivateFolder(std::string_view prefix) {
  wchar_t tmp[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, tmp);
  if (n == 0 || n > MAX_PATH) return "";
  std::string base = Narrow(std::wstring_view(tmp, n)) + std::string(prefix);
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = base;
    unsigned seed = GetTickCount() ^ (GetCurrentProcessId() << 8) ^ static_cast<unsigned>(attempt * 7919);
    for (int i = 0; i < 6; ++i) {
      seed = seed * 1103515245u + 12345u;
      path += kLetters[(seed >> 16) % 36];
    }
    // The user's temporary folder is the user's own: a folder made in it
    // inherits that protection.
    if (CreateDirectoryW(Widen(path).c_str(), nullptr)) return path;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return "";
  }
  return "";
}

void RemovePrivateFolder(const std::string& host_path) {
  if (host_path.empty()) return;
  std::vector<FolderEntry> entries;
  if (ListHostFolder(host_path, &entries)) {
    for (auto& e : entries)
      if (!e.is_folder) DeleteFileW(Widen(host_path + "\\" + Latin1ToUtf8(e.name)).c_str());
  }
  RemoveDirectoryW(Widen(host_path).c_str());
}

}  // namespace kal
