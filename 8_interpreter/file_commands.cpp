// The text-file commands: channels (ABRE, FECHA, the channel forms of LE and
// ESCREVE, CHECA) and whole-file operations (REMOVE, RENOMEIA, REPLICA,
// TAMARQ, HTAMARQ). Every file name goes through the path layer, so scripts
// name files the Windows way.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "1_platform/host_file.h"
#include "5_speech/speech.h"
#include "8_interpreter/channel_io.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"
#include "8_interpreter/text_file.h"
#include "8_interpreter/variables.h"
#include "1_platform/paths.h"
#include "1_platform/user_locale.h"

namespace kal {
namespace {

constexpr size_t kCopyBlock = 30000;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// True when both names are the same file on the disk.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(HostFsPath(a), HostFsPath(b), ec);
}

bool FileSizeOf(InterpreterState& in, std::string_view* args, int* slot, int64_t* size) {
  std::string name;
  if (!ReadOperand(in, args, &name) || !ReadVariableRef(in, args, slot)) return false;
  return HostFileSize(HostPath(name), size) || Fail(in, RunFault::kFileRefused, kMsgFileSizeUnknown, name);
}

// The size for people: scaled by 1024 while it is at least 1024, two
// decimals, and the unit by the number of divisions.
std::string HumanFileSize(int64_t size, char decimal_separator) {
  static const char* const kUnits[] = {" B", "KB", " MB", "GB", " TB"};
  double v = static_cast<double>(size);
  int divisions = 0;
  while (v >= 1024) {
    v /= 1024;
    ++divisions;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  std::string text = buf;
  size_t dot = text.find('.');
  if (dot != std::string::npos) text[dot] = decimal_separator;
  if (divisions < 5) text += kUnits[divisions];
  return text;
}

// The error number of a failed file-system call, as <cerrno> numbers it.
int ErrorNumber(const std::error_code& ec) { return ec.default_error_condition().value(); }

// A command on two files failed on `which` of them.
bool FailTwoFiles(InterpreterState& in, std::string_view message, std::string_view from, std::string_view to,
                  std::string_view which, int err) {
  std::string_view words = FileErrorWords(err);
  std::string why = words.empty() ? ShownText(which) : ShownText(which) + " " + std::string(words);
  return Fail(in, RunFault::kFileRefused, Filled(message, {ShownText(from), ShownText(to), why}));
}

}  // namespace

int CloseChannel(InterpreterState& in, int channel) {
  Channel& ch = in.channels[channel];
  int err = 0;
  if (ch.kind == ChannelKind::kFileRead || ch.kind == ChannelKind::kFileAppend) {
    if (auto* f = static_cast<TextFile*>(ch.stream.get())) err = f->Close();
  }
  ch.Close();
  return err;
}

// ABRE #d name [&]: without '&' the file is opened for reading and must
// exist; with '&' it is opened for writing at its end, created when missing.
// A channel that was open is closed first, so nothing it held is lost.
bool CmdAbre(InterpreterState& in, std::string_view args) {
  bool append = TakeTrailingAmpersand(&args);
  int channel = 0;
  std::string name;
  if (!ReadChannel(&args, &channel)) return FailNoChannel(in, args);
  if (!ReadOperand(in, &args, &name)) return false;  // the text shows why
  if (name.empty()) return Fail(in, RunFault::kFileRefused, std::string(kMsgNoFileName));
  CloseChannel(in, channel);
  int err = 0;
  std::unique_ptr<TextFile> file = TextFile::Open(HostPath(name), append, &err);
  if (!file) return FailOnFile(in, kMsgFileOpenError, name, err);
  Channel& ch = in.channels[channel];
  ch.stream = std::move(file);
  ch.kind = append ? ChannelKind::kFileAppend : ChannelKind::kFileRead;
  return true;
}

bool CmdFecha(InterpreterState& in, std::string_view args) {
  int channel = 0;
  if (!ReadChannel(&args, &channel)) return FailNoChannel(in, args);
  if (CloseChannel(in, channel) != 0) return Fail(in, RunFault::kFileRefused, std::string(kMsgFileCloseError));
  return true;
}

bool ReadFromChannel(InterpreterState& in, std::string_view args) {
  auto& s = in;
  s.last_status = 0;
  int channel = 0;
  if (!ReadChannel(&args, &channel)) return FailNoChannel(in, args);
  if (args.empty()) return Fail(in, CheckCode::kMissingOperand, std::string(kMsgNoOperand));
  int slot = 0;
  if (!ReadVariableRef(in, &args, &slot)) return false;
  Channel& ch = s.channels[channel];
  // A closed channel or one open for writing has nothing to read from.
  if (!ch.stream) return FailChannelClosed(in, channel);
  if (ch.kind == ChannelKind::kFileAppend)
    return Fail(in, RunFault::kChannelNotOpen, Filled(kMsgChannelNotForReading, {std::to_string(channel)}));
  std::string line;
  s.last_status = ch.stream->ReadLine(&line);
  Var(in, slot) = std::move(line);
  return true;
}

bool WriteToChannel(InterpreterState& in, std::string_view args, bool no_line_end) {
  in.last_status = 0;
  LineCode code;
  if (!DecodeChannelWrite(in, args, no_line_end, &code)) return FailNoChannel(in, args);
  return RunLineCode(in, code);
}

bool WriteJoinedToChannel(InterpreterState& in, int channel, std::string* text, bool no_line_end, bool complete) {
  auto& s = in;
  Channel& ch = s.channels[static_cast<size_t>(channel)];
  if (!ch.stream) return FailChannelClosed(in, channel);
  if (!no_line_end) *text += "\r\n";
  s.last_status = ch.stream->Write(*text);
  if (!complete) return false;
  WaitSpeech(in.context->speech);
  return true;
}

bool CmdCheca(InterpreterState& in, std::string_view args) {
  int slot = 0;
  if (!ReadVariableRef(in, &args, &slot) || !args.empty()) return false;
  Var(in, slot) = NumberToText(in.last_status);
  return true;
}

// REMOVE name [&]: deletes a file (never a folder).
bool CmdRemove(InterpreterState& in, std::string_view args) {
  bool silent = TakeTrailingAmpersand(&args);
  std::string name;
  if (!ReadOperand(in, &args, &name)) return false;
  if (name.empty()) return Fail(in, RunFault::kFileRefused, std::string(kMsgNoFileName));
  std::string path = HostPath(name);
  std::error_code ec;
  if (HostIsFolder(path)) return silent || FailOnFile(in, kMsgFileDeleteError, name, EISDIR);
  if (std::filesystem::remove(HostFsPath(path), ec) && !ec) return true;
  return silent || FailOnFile(in, kMsgFileDeleteError, name, ec ? ErrorNumber(ec) : ENOENT);
}

// RENOMEIA old new [&]: renames or moves a file or folder. An existing
// destination is never replaced, as on the family's original system.
bool CmdRenomeia(InterpreterState& in, std::string_view args) {
  bool silent = TakeTrailingAmpersand(&args);
  std::string from, to;
  if (!ReadOperand(in, &args, &from) || !ReadOperand(in, &args, &to) || !args.empty()) return false;
  std::string src = HostPath(from), dst = HostPath(to);
  std::error_code ec;
  int err = !HostExists(src) ? ENOENT : src != dst && HostExists(dst) ? EEXIST : 0;
  if (err == 0) std::filesystem::rename(HostFsPath(src), HostFsPath(dst), ec);
  if (err == 0 && ec) err = ErrorNumber(ec);
  return err == 0 || silent || FailTwoFiles(in, kMsgRenameFailed, from, to, err == ENOENT ? from : to, err);
}

// REPLICA source destination [&]: copies byte for byte. Without '&' a read
// or write error stops the copy with a message; with '&' errors are passed
// over. A source that cannot be opened leaves the destination untouched, and
// a file is never copied onto itself (that would empty it).
bool CmdReplica(InterpreterState& in, std::string_view args) {
  bool silent = TakeTrailingAmpersand(&args);
  std::string from, to;
  if (!ReadOperand(in, &args, &from) || !ReadOperand(in, &args, &to) || !args.empty()) return false;
  std::string src = HostPath(from), dst = HostPath(to);
  bool src_folder = HostIsFolder(src);
  File source(src_folder ? nullptr : OpenHostFile(src, "rb"));
  if (!source) return silent || FailTwoFiles(in, kMsgCopyFailed, from, to, from, src_folder ? EISDIR : errno);
  if (HostIsFolder(dst)) return silent || FailTwoFiles(in, kMsgCopyFailed, from, to, to, EISDIR);
  if (SameFile(src, dst)) return silent || Fail(in, RunFault::kFileRefused, Filled(kMsgCopyFailed, {ShownText(from), ShownText(to), kMsgCopyOntoItself}));
  File out(OpenHostFile(dst, "wb"));
  if (!out) return silent || FailTwoFiles(in, kMsgCopyFailed, from, to, to, errno);
  std::setvbuf(out.get(), nullptr, _IONBF, 0);
  std::string block(kCopyBlock, '\0');
  for (;;) {
    size_t n = std::fread(block.data(), 1, block.size(), source.get());
    if (n < block.size() && std::ferror(source.get()) && !silent)
      return Fail(in, RunFault::kFileRefused, kMsgFileProcessingError, std::string(" ") + from);
    if (n > 0 && std::fwrite(block.data(), 1, n, out.get()) < n && !silent)
      return Fail(in, RunFault::kFileRefused, kMsgFileWriteError, to);
    if (n < block.size()) break;
  }
  if (std::fclose(out.release()) != 0 && !silent) return Fail(in, RunFault::kFileRefused, kMsgFileWriteError, to);
  return true;
}

bool CmdTamArq(InterpreterState& in, std::string_view args) {
  int slot = 0;
  int64_t size = 0;
  if (!FileSizeOf(in, &args, &slot, &size)) return false;
  Var(in, slot) = NumberToText(size);
  return true;
}

bool CmdHTamArq(InterpreterState& in, std::string_view args) {
  int slot = 0;
  int64_t size = 0;
  if (!FileSizeOf(in, &args, &slot, &size)) return false;
  Var(in, slot) = HumanFileSize(size, UserDecimalSeparator());
  return true;
}

}  // namespace kal
