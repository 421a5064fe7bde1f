// Loading pictures for the console.
#include "6_console/console_picture.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "0_base/bmp_image.h"
#include "0_base/latin1.h"
#include "1_platform/host_file.h"
#include "1_platform/paths.h"
#include "6_console/console.h"
#include "6_console/jpeg_picture.h"

namespace kal {

namespace {

// The largest JPEG file read into memory to be decoded.
constexpr size_t kMaxJpegFile = 64u * 1024 * 1024;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A file read piece by piece at the offsets the loader asks for.
ByteReader FileReader(std::FILE* f) {
  return [f](uint64_t offset, uint8_t* buf, size_t n) {
    if (offset > static_cast<uint64_t>(INT64_MAX) || std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0)
      return false;
    return std::fread(buf, 1, n, f) == n;
  };
}

bool EndsWithNoCase(std::string_view s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  return FoldFileName(s.substr(s.size() - tail.size())) == FoldFileName(tail);
}

bool IsJpegName(std::string_view name) { return EndsWithNoCase(name, ".JPG") || EndsWithNoCase(name, ".JPEG"); }

// The bitmap's bytes go to the front end as a picture.
bool ShowBitmap(Console& console, const ByteReader& read, uint64_t size, int x, int y) {
  Picture picture;
  if (!DecodeBmp(read, size, &picture)) return false;
  ConsoleFrontEnd* front = FrontEndOf(console);
  return front && front->ShowPicture(picture, x, y);
}

ByteReader TextReader(const std::string& bytes) {
  return [&bytes](uint64_t offset, uint8_t* buf, size_t n) {
    if (offset > bytes.size() || n > bytes.size() - offset) return false;
    std::memcpy(buf, bytes.data() + offset, n);
    return true;
  };
}

}  // namespace

bool ShowPicture(Console& console, const std::string& host_path, int x, int y) {
  InitConsole(console);
  if (HostIsFolder(host_path)) return false;
  File f(OpenHostFile(host_path, "rb"));
  int64_t size = 0;
  if (!f || !HostFileSize(host_path, &size)) return false;
  return ShowBitmap(console, FileReader(f.get()), static_cast<uint64_t>(size), x, y);
}

void RemovePicture(Console& console) {
  InitConsole(console);
  if (ConsoleFrontEnd* front = FrontEndOf(console)) front->RemovePicture();
}

bool ShowPictureFile(Console& console, std::string_view script_name, int x, int y) {
  std::string path = HostPath(script_name);
  if (!IsJpegName(script_name) || !HostExists(path)) return ShowPicture(console, path, x, y);
  std::string bytes;
  Picture picture;
  if (!ReadHostFile(path, &bytes, kMaxJpegFile) || !DecodeJpeg(bytes, &picture)) return false;
  // The temporary bitmap takes the place of whatever has its name (a link
  // planted there is replaced, never written through), and the picture
  // shown is the bitmap as written: nothing is read back through a name
  // that someone could have changed meanwhile.
  std::string temporary = HostPath(kTemporaryBitmap);
  std::string bitmap = EncodeBmp(picture);
  std::string err;
  if (!ReplaceHostEntry(temporary, bitmap, &err)) return false;
  InitConsole(console);
  bool shown = ShowBitmap(console, TextReader(bitmap), bitmap.size(), x, y);
  std::error_code ec;
  std::filesystem::remove(HostFsPath(temporary), ec);
  return shown;
}

}  // namespace kal
