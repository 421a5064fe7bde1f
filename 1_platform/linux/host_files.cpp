// Questions about host files, folder listings and whole-file reads and safe
// replacement, for the path layer's callers.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "1_platform/host_file_parts.h"
#include "1_platform/paths.h"

namespace kal {
namespace {

bool StatPath(const std::string& path, struct stat* st) { return stat(path.c_str(), st) == 0; }

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The file a write really goes to: the target of a symbolic link, so that a
// link to a shared file stays a link.
std::string WriteTarget(const std::string& path) {
  char real[PATH_MAX];
  if (realpath(path.c_str(), real)) return real;
  return path;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool HostExists(const std::string& host_path) {
  struct stat st;
  return StatPath(host_path, &st);
}

bool HostIsFolder(const std::string& host_path) {
  struct stat st;
  return StatPath(host_path, &st) && S_ISDIR(st.st_mode);
}

bool HostSameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (!StatPath(a, &sa) || !StatPath(b, &sb)) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool HostFileSize(const std::string& host_path, int64_t* size) {
  struct stat st;
  if (!StatPath(host_path, &st) || !S_ISREG(st.st_mode)) return false;
  *size = static_cast<int64_t>(st.st_size);
  return true;
}

namespace {

void StampOf(const struct stat& st, HostFileStamp* stamp) {
  stamp->id = static_cast<uint64_t>(st.st_ino) ^ (static_cast<uint64_t>(st.st_dev) << 40);
  stamp->size = static_cast<int64_t>(st.st_size);
  // The later of the data's and the inode's change: a file rewritten in
  // place within one clock tick may keep its modification time.
  const struct timespec& t = st.st_ctim.tv_sec > st.st_mtim.tv_sec ||
                                     (st.st_ctim.tv_sec == st.st_mtim.tv_sec && st.st_ctim.tv_nsec > st.st_mtim.tv_nsec)
                                 ? st.st_ctim
                                 : st.st_mtim;
  stamp->changed = static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

}  // namespace

bool StampHostFile(const std::string& host_path, HostFileStamp* stamp) {
  struct stat st;
  if (!StatPath(host_path, &st) || !S_ISREG(st.st_mode)) return false;
  StampOf(st, stamp);
  return true;
}

bool StampHostFolder(const std::string& host_path, HostFileStamp* stamp) {
  struct stat st;
  if (!StatPath(host_path, &st) || !S_ISDIR(st.st_mode)) return false;
  StampOf(st, stamp);
  return true;
}

int64_t HostFileClockNow() {
  struct timespec t;
  clock_gettime(CLOCK_REALTIME, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

bool ListHostFolder(const std::string& host_path, std::vector<FolderEntry>* entries) {
  entries->clear();
  DIR* dir = opendir(host_path.c_str());
  if (!dir) return false;
  std::vector<std::pair<std::string, FolderEntry>> found;
  while (struct dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry entry = EntryNamed(name);
    struct stat st;
    std::string full = host_path == "/" ? "/" + name : host_path + "/" + name;
    if (StatPath(full, &st)) {
      entry.is_folder = S_ISDIR(st.st_mode);
      if (S_ISREG(st.st_mode)) entry.size = static_cast<int64_t>(st.st_size);
    }
    found.emplace_back(std::move(name), std::move(entry));
  }
  closedir(dir);
  *entries = SortedByName(std::move(found));
  return true;
}

namespace {

// What a file's type says about reading it whole.
FileRead KindOf(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return FileRead::kRead;
  if (S_ISDIR(st.st_mode)) return FileRead::kFolder;
  if (S_ISFIFO(st.st_mode)) return FileRead::kPipe;
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return FileRead::kDevice;
  return FileRead::kNotAFile;
}

}  // namespace

FileRead ReadHostFileWithin(const std::string& host_path, const ReadBounds& bounds, std::string* contents) {
  contents->clear();
  // The type is looked at before the open, which for a device may already
  // do something; the open never waits (a pipe without a writer would), and
  // the type of what was opened is looked at again, since the name may have
  // changed in between.
  struct stat st;
  if (!StatPath(host_path, &st)) return errno == ENOENT || errno == ENOTDIR ? FileRead::kMissing : FileRead::kUnreadable;
  if (FileRead kind = KindOf(st); kind != FileRead::kRead) return kind;
  int fd = open(host_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return FileRead::kUnreadable;
  FileRead result = fstat(fd, &st) != 0 ? FileRead::kUnreadable : KindOf(st);
  if (result == FileRead::kRead) {
    result = ReadWhole(
        [fd](char* buf, size_t size) -> long {
          for (;;) {
            ssize_t n = read(fd, buf, size);
            if (n >= 0 || errno != EINTR) return static_cast<long>(n);
          }
        },
        bounds, contents);
  }
  close(fd);
  return result;
}

namespace {

// Creates a new file beside `target` (named after it, hidden, with random
// letters: mkstemp makes it with O_EXCL); its descriptor, or -1 with the
// reason in *err.
int CreateBeside(const std::string& target, std::string* tmp, std::string* err) {
  std::string folder = FolderOf(target);
  std::string base = target.substr(target.find_last_of('/') + 1);
  *tmp = folder + "/." + base + ".XXXXXX";
  int fd = mkstemp(tmp->data());
  if (fd < 0 && err) *err = "cannot create a file in " + folder + ": " + strerror(errno);
  return fd;
}

// Writes the contents to a new file beside `target` and renames it over
// that name, which rename() replaces as a directory entry (a link there is
// replaced, never followed). With `durable` the bytes and the rename are
// flushed to the disk first.
bool ReplaceName(const std::string& target, std::string_view contents, mode_t mode, bool durable, std::string* err) {
  std::string folder = FolderOf(target);
  std::string tmp;
  int fd = CreateBeside(target, &tmp, err);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, contents) && fchmod(fd, mode) == 0 && (!durable || fsync(fd) == 0);
  int saved = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && rename(tmp.c_str(), target.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    unlink(tmp.c_str());
    if (err) *err = "cannot write " + target + ": " + strerror(saved);
    return false;
  }
  int dfd = durable ? open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return true;
}

}  // namespace

bool ReplaceHostFile(const std::string& host_path, std::string_view contents, std::string* err) {
  std::string target = WriteTarget(host_path);
  struct stat st;
  mode_t mode = StatPath(target, &st) ? (st.st_mode & 07777) : NewFileMode();
  return ReplaceName(target, contents, mode, true, err);
}

bool ReplaceHostEntry(const std::string& host_path, std::string_view contents, std::string* err) {
  return ReplaceName(host_path, contents, NewFileMode(), false, err);
}

std::string MakeFileBeside(const std::string& host_path, std::string* err) {
  std::string made;
  int fd = CreateBeside(host_path, &made, err);
  if (fd < 0) return "";
  // The permissions a new file gets, not mkstemp's private ones.
  bool ok = fchmod(fd, NewFileMode()) == 0;
  int saved = errno;
  if (close(fd) != 0 || !ok) {
    unlink(made.c_str());
    if (err) *err = "cannot create a file beside " + host_path + ": " + strerror(ok ? errno : saved);
    return "";
  }
  return made;
}

bool PutFileInPlace(const std::string& made, const std::string& host_path, std::string* err) {
  if (rename(made.c_str(), host_path.c_str()) == 0) return true;
  if (err) *err = "cannot write " + host_path + ": " + strerror(errno);
  unlink(made.c_str());
  return false;
}

bool MakeHostFolders(const std::string& host_path) {
  if (host_path.empty()) return false;
  if (HostIsFolder(host_path)) return true;
  size_t slash = host_path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) MakeHostFolders(host_path.substr(0, slash));
  return mkdir(host_path.c_str(), 0777) == 0 || HostIsFolder(host_path);
}

std::string MakePrivateFolder(std::string_view prefix) {
  const char* tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + std::string(prefix) + "XXXXXX";
  return mkdtemp(pattern.data()) ? pattern : "";  // mkdtemp makes it with mode 0700
}

void RemovePrivateFolder(const std::string& host_path) {
  if (host_path.empty()) return;
  if (DIR* d = opendir(host_path.c_str())) {
    while (dirent* e = readdir(d))
      if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) unlink((host_path + "/" + e->d_name).c_str());
    closedir(d);
  }
  rmdir(host_path.c_str());
}

}  // namespace kal
