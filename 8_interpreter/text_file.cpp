// Text files behind channels.
#include "8_interpreter/text_file.h"

#include <cerrno>

#include "1_platform/host_file.h"
#include "1_platform/paths.h"

namespace kal {

std::unique_ptr<TextFile> TextFile::Open(const std::string& host_path, bool append, int* err) {
  if (HostIsFolder(host_path)) {
    *err = EISDIR;
    return nullptr;
  }
  errno = 0;
  std::FILE* f = OpenHostFile(host_path, append ? "ab" : "rb");
  if (!f) {
    *err = errno ? errno : EIO;
    return nullptr;
  }
  if (append) std::setvbuf(f, nullptr, _IONBF, 0);
  *err = 0;
  return std::unique_ptr<TextFile>(new TextFile(f, append));
}

TextFile::~TextFile() { Close(); }

int TextFile::ReadLine(std::string* line) {
  line->clear();
  if (!file_ || append_) return EBADF;
  int c = std::getc(file_);
  if (c == EOF) {
    int e = std::ferror(file_) ? (errno ? errno : EIO) : 1;
    std::clearerr(file_);
    return e;
  }
  while (c != EOF && c != '\n' && c != '\r') {
    line->push_back(static_cast<char>(c));
    if (line->size() >= kMaxLine) {
      // The rest of the line comes with the next read; a line of exactly
      // kMaxLine bytes is whole.
      c = std::getc(file_);
      if (c == EOF || c == '\n' || c == '\r') break;
      std::ungetc(c, file_);
      return kStatusLineCut;
    }
    c = std::getc(file_);
  }
  if (c == '\r') {
    int next = std::getc(file_);
    if (next != '\n' && next != EOF) std::ungetc(next, file_);
  }
  if (std::ferror(file_)) {
    int e = errno ? errno : EIO;
    std::clearerr(file_);
    return e;
  }
  return 0;
}

int TextFile::Write(std::string_view bytes) {
  if (!file_ || !append_) return EBADF;
  if (bytes.empty()) return 0;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size()) return 0;
  int e = errno ? errno : EIO;
  std::clearerr(file_);
  return e;
}

int TextFile::Close() {
  if (!file_) return 0;
  errno = 0;
  int rc = std::fclose(file_);
  file_ = nullptr;
  return rc == 0 ? 0 : (errno ? errno : EIO);
}

}  // namespace kal
