// The binary file and the byte buffer: CRIABIN, ESCREVEBYTE, LEBYTE,
// GRAVABYTES, LIMPABYTES, FECHABIN. The buffer keeps its limit of
// kByteBufferCapacity bytes but grows only as bytes come, so a script that
// never uses it costs nothing; an append that would pass the limit is
// refused and the command fails.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

#include "1_platform/host_file.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/file_state.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"
#include "1_platform/paths.h"

namespace kal {
namespace {

constexpr int64_t kLargestReadableFile = 0x8000000;
// LEBYTE refuses to start at exactly this fill count (the old buffer's mark).
constexpr size_t kLeByteFullMark = 0x8000000;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A byte position: decimal digits only.
bool ParsePosition(const std::string& text, int64_t* value) {
  if (text.empty() || text.size() > 18) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return true;
}

bool RoomFor(const FileState& f, size_t count) { return f.bytes.size() + count <= kByteBufferCapacity; }

}  // namespace

// CRIABIN name: creates a new file as the binary file. An existing file is
// never touched, nor is a binary file that is already open.
bool CmdCriaBin(InterpreterState& in, std::string_view args) {
  auto& f = in.files;
  std::string name;
  if (!ReadOperand(in, &args, &name) || name.empty()) return false;
  std::string path = HostPath(name);
  if (f.binary) return Fail(in, RunFault::kLimitReached, std::string(kMsgBinaryFileOpen));
  if (HostExists(path)) return FailOnFile(in, kMsgFileCreateError, name, EEXIST);
  f.binary = OpenHostFile(path, "wbx");
  return f.binary != nullptr || FailOnFile(in, kMsgFileCreateError, name, errno);
}

bool CmdEscreveByte(InterpreterState& in, std::string_view args) {
  std::string text;
  if (!ReadOperand(in, &args, &text) || !RoomFor(in.files, text.size())) return false;
  in.files.bytes += text;
  return true;
}

// LEBYTE name first last: appends the bytes from first up to (not
// including) last; equal positions read the one byte at first.
bool CmdLeByte(InterpreterState& in, std::string_view args) {
  auto& f = in.files;
  std::string name, first_text, last_text;
  if (!ReadOperand(in, &args, &name) || !ReadOperand(in, &args, &first_text) || !ReadOperand(in, &args, &last_text))
    return false;
  if (f.bytes.size() == kLeByteFullMark) return false;
  int64_t first = 0, last = 0, size = 0;
  if (!ParsePosition(first_text, &first) || !ParsePosition(last_text, &last)) return false;
  std::string path = HostPath(name);
  if (!HostFileSize(path, &size)) return FailOnFile(in, kMsgFileOpenError, name, HostIsFolder(path) ? EISDIR : ENOENT);
  if (size > kLargestReadableFile) return false;
  File file(OpenHostFile(path, "rb"));
  if (!file) return FailOnFile(in, kMsgFileOpenError, name, errno);
  if (first > last || first >= size) return false;
  int64_t count = first == last ? 1 : last - first;
  count = std::min(count, size - first);
  if (!RoomFor(f, static_cast<size_t>(count))) return false;
  if (std::fseek(file.get(), static_cast<long>(first), SEEK_SET) != 0) return false;
  size_t old = f.bytes.size();
  f.bytes.resize(old + static_cast<size_t>(count));
  size_t got = std::fread(f.bytes.data() + old, 1, static_cast<size_t>(count), file.get());
  f.bytes.resize(old + got);
  return true;
}

// GRAVABYTES: writes the buffer to the binary file and empties it; fails
// when no binary file is open or the write fails.
bool CmdGravaBytes(InterpreterState& in, std::string_view) {
  auto& f = in.files;
  if (!f.binary) return Fail(in, RunFault::kChannelNotOpen, std::string(kMsgNoBinaryFile));
  bool ok = std::fwrite(f.bytes.data(), 1, f.bytes.size(), f.binary) == f.bytes.size() &&
            std::fflush(f.binary) == 0;
  f.bytes.clear();
  return ok;
}

// LIMPABYTES: empties the buffer and gives its memory back.
bool CmdLimpaBytes(InterpreterState& in, std::string_view) {
  std::string().swap(in.files.bytes);
  return true;
}

bool CmdFechaBin(InterpreterState& in, std::string_view) {
  auto& f = in.files;
  if (!f.binary) return Fail(in, RunFault::kChannelNotOpen, std::string(kMsgNoBinaryFile));
  bool ok = std::fclose(f.binary) == 0;
  f.binary = nullptr;
  return ok;
}

}  // namespace kal
